#include "hostsim/color_space_suite.h"

#include "hostsim/samples.h"

#include <cmath>
#include <string>
#include <vector>

namespace hostsim {
namespace {

thread_local ColorSpaceSuiteHost* activeHost = nullptr;

constexpr SPErr kBadParameter = SPErr(paramErr);

std::string SpaceText(int16 space) { return std::to_string(space) + " (" + ColorEngine::SpaceName(space) + ")"; }

}  // namespace

ColorSpaceSuiteHost::ColorSpaceSuiteHost(ColorEngine& engine, FaultPlan& faults, ProblemLog& problems)
    : engine_(engine), faults_(faults), problems_(problems) {
    RestoreTable();
}

ColorSpaceSuiteHost::~ColorSpaceSuiteHost() {
    if (activeHost == this) activeHost = nullptr;
}

void ColorSpaceSuiteHost::RestoreTable() {
    table_ = PSColorSpaceSuite1{&Make,         &Delete,           &StuffComponents,  &ExtractComponents,
                               &StuffXYZ,     &ExtractXYZ,       &Convert8,         &Convert16,
                               &GetNativeSpace, &IsBookColor,    &ExtractColorName, &PickColor,
                               &Convert8to16, &Convert16to8,     &ConvertToMonitorRGB, &Convert32to8};
}

ColorSpaceSuiteHost::ActiveScope::ActiveScope(ColorSpaceSuiteHost& host) : previous_(activeHost) {
    activeHost = &host;
}
ColorSpaceSuiteHost::ActiveScope::~ActiveScope() { activeHost = previous_; }

ColorSpaceSuiteHost* ColorSpaceSuiteHost::Enter(PixelCall call, SPErr* failure) {
    ColorSpaceSuiteHost* self = activeHost;
    if (!self) {
        *failure = kBadParameter;
        return nullptr;
    }
    int32 code = 0;
    if (self->faults_.Enter(call, &code)) {
        *failure = code;
        return nullptr;
    }
    return self;
}

ColorSpaceSuiteHost::Color* ColorSpaceSuiteHost::Find(ColorID id, const char* caller) {
    const auto it = colors_.find(id);
    if (it != colors_.end()) return it->second.get();
    problems_.Add(std::string(caller) + ": no colour with that id");
    return nullptr;
}

template <class Sample>
SPErr ColorSpaceSuiteHost::ConvertSlots(const char* caller, int16 from, int16 to, Sample* slots, int16 count,
                                        double full) {
    const int k = ColorEngine::Components(from);
    const int m = ColorEngine::Components(to);
    if (!k || !m) {
        problems_.Add(std::string(caller) + ": unknown colour space " + SpaceText(k ? to : from));
        return kBadParameter;
    }
    if (count < 0 || (count > 0 && !slots)) {
        problems_.Add(std::string(caller) + ": " + (count < 0 ? "negative count" : "no colour array"));
        return kBadParameter;
    }
    if (count == 0 || from == to) return kSPNoError;
    const std::size_t n = std::size_t(count);  // at most 32767: small
    if constexpr (sizeof(Sample) == 1) {
        // Bytes convert in their slots with one call of the engine's 8-bit transform.
        if (engine_.Convert8(from, to, slots, slots, n, ColorEngine::Layout::Slots)) return kSPNoError;
        problems_.Add(std::string(caller) + ": " + engine_.error());
        return SPErr(errPlugInHostInsufficient);
    }
    std::vector<double> in(n * std::size_t(k)), out(n * std::size_t(m));
    for (std::size_t i = 0; i < n; ++i)
        for (int c = 0; c < k; ++c) in[i * k + c] = std::min(double(slots[i * 4 + 4 - k + c]), full) / full;
    if (!engine_.Convert(from, to, in.data(), out.data(), n)) {
        problems_.Add(std::string(caller) + ": " + engine_.error());
        return SPErr(errPlugInHostInsufficient);
    }
    for (std::size_t i = 0; i < n; ++i) {
        Sample* slot = slots + i * 4;
        for (int c = 0; c < 4 - m; ++c) slot[c] = 0;
        for (int c = 0; c < m; ++c) slot[4 - m + c] = Sample(std::lround(out[i * m + c] * full));
    }
    return kSPNoError;
}

SPErr ColorSpaceSuiteHost::Make(ColorID* colorID) {
    SPErr failure = 0;
    ColorSpaceSuiteHost* self = Enter(PixelCall::MakeColor, &failure);
    if (!self) return failure;
    if (!colorID) return kBadParameter;
    auto color = std::make_unique<Color>();
    const ColorID id = reinterpret_cast<ColorID>(color.get());
    self->colors_[id] = std::move(color);
    *colorID = id;
    return kSPNoError;
}

SPErr ColorSpaceSuiteHost::Delete(ColorID* colorID) {
    SPErr failure = 0;
    ColorSpaceSuiteHost* self = Enter(PixelCall::DeleteColor, &failure);
    if (!self) return failure;
    if (!colorID || !self->Find(*colorID, "Delete")) return kBadParameter;
    self->colors_.erase(*colorID);
    *colorID = nullptr;
    return kSPNoError;
}

SPErr ColorSpaceSuiteHost::StuffComponents(ColorID colorID, int16 colorSpace, uint8 c0, uint8 c1, uint8 c2,
                                           uint8 c3) {
    SPErr failure = 0;
    ColorSpaceSuiteHost* self = Enter(PixelCall::StuffComponents, &failure);
    if (!self) return failure;
    Color* color = self->Find(colorID, "StuffComponents");
    if (!color) return kBadParameter;
    if (!ColorEngine::Components(colorSpace)) {
        self->problems_.Add("StuffComponents: unknown colour space " + SpaceText(colorSpace));
        return kBadParameter;
    }
    const uint8 c[4] = {c0, c1, c2, c3};
    color->space = colorSpace;
    for (int i = 0; i < 4; ++i) color->unit[i] = c[i] / 255.0;
    return kSPNoError;
}

SPErr ColorSpaceSuiteHost::ExtractComponents(ColorID colorID, int16 colorSpace, uint8* c0, uint8* c1, uint8* c2,
                                             uint8* c3, Boolean* gamutFlag) {
    SPErr failure = 0;
    ColorSpaceSuiteHost* self = Enter(PixelCall::ExtractComponents, &failure);
    if (!self) return failure;
    Color* color = self->Find(colorID, "ExtractComponents");
    if (!color) return kBadParameter;
    double out[4] = {0, 0, 0, 0};
    if (!ColorEngine::Components(colorSpace)) {
        self->problems_.Add("ExtractComponents: unknown colour space " + SpaceText(colorSpace));
        return kBadParameter;
    }
    if (!self->engine_.Convert(color->space, colorSpace, color->unit, out, 1)) return SPErr(errPlugInHostInsufficient);
    uint8* c[4] = {c0, c1, c2, c3};
    for (int i = 0; i < 4; ++i)
        if (c[i]) *c[i] = uint8(std::lround(out[i] * 255.0));
    if (gamutFlag) *gamutFlag = 0;
    return kSPNoError;
}

SPErr ColorSpaceSuiteHost::StuffXYZ(ColorID, CS_XYZColor) { return kSPUnimplementedError; }
SPErr ColorSpaceSuiteHost::ExtractXYZ(ColorID, CS_XYZColor*) { return kSPUnimplementedError; }

SPErr ColorSpaceSuiteHost::Convert8(int16 inputCSpace, int16 outputCSpace, Color8* colorArray, int16 count) {
    SPErr failure = 0;
    ColorSpaceSuiteHost* self = Enter(PixelCall::Convert8, &failure);
    if (!self) return failure;
    return self->ConvertSlots("Convert8", inputCSpace, outputCSpace, reinterpret_cast<uint8*>(colorArray), count, 255.0);
}

SPErr ColorSpaceSuiteHost::Convert16(int16 inputCSpace, int16 outputCSpace, Color16* colorArray, int16 count) {
    SPErr failure = 0;
    ColorSpaceSuiteHost* self = Enter(PixelCall::Convert16, &failure);
    if (!self) return failure;
    return self->ConvertSlots("Convert16", inputCSpace, outputCSpace, reinterpret_cast<uint16*>(colorArray), count,
                              double(kMax16));
}

SPErr ColorSpaceSuiteHost::GetNativeSpace(ColorID colorID, int16* nativeSpace) {
    ColorSpaceSuiteHost* self = activeHost;
    if (!self || !nativeSpace) return kBadParameter;
    Color* color = self->Find(colorID, "GetNativeSpace");
    if (!color) return kBadParameter;
    *nativeSpace = color->space;
    return kSPNoError;
}

SPErr ColorSpaceSuiteHost::IsBookColor(ColorID colorID, Boolean* isBookColor) {
    ColorSpaceSuiteHost* self = activeHost;
    if (!self || !isBookColor || !self->Find(colorID, "IsBookColor")) return kBadParameter;
    *isBookColor = 0;
    return kSPNoError;
}

SPErr ColorSpaceSuiteHost::ExtractColorName(ColorID, ASZString*) { return kSPUnimplementedError; }
SPErr ColorSpaceSuiteHost::PickColor(ColorID*, ASZString) { return kSPUnimplementedError; }

namespace {

template <class In, class Out, class Fn>
SPErr ConvertRun(ColorSpaceSuiteHost* self, ProblemLog& problems, const char* caller, const In* in, Out* out,
                 int16 count, Fn convert) {
    (void)self;
    if (count < 0 || (count > 0 && (!in || !out))) {
        problems.Add(std::string(caller) + ": " + (count < 0 ? "negative count" : "no data"));
        return kBadParameter;
    }
    for (int16 i = 0; i < count; ++i) out[i] = convert(in[i]);
    return kSPNoError;
}

}  // namespace

SPErr ColorSpaceSuiteHost::Convert8to16(uint8* inputData, uint16* outputData, int16 count) {
    SPErr failure = 0;
    ColorSpaceSuiteHost* self = Enter(PixelCall::Convert8to16, &failure);
    if (!self) return failure;
    return ConvertRun(self, self->problems_, "Convert8to16", inputData, outputData, count, &Widen8To16);
}

SPErr ColorSpaceSuiteHost::Convert16to8(uint16* inputData, uint8* outputData, int16 count) {
    SPErr failure = 0;
    ColorSpaceSuiteHost* self = Enter(PixelCall::Convert16to8, &failure);
    if (!self) return failure;
    return ConvertRun(self, self->problems_, "Convert16to8", inputData, outputData, count, &Narrow16To8);
}

SPErr ColorSpaceSuiteHost::Convert32to8(real32* inputData, uint8* outputData, int16 count) {
    SPErr failure = 0;
    ColorSpaceSuiteHost* self = Enter(PixelCall::Convert32to8, &failure);
    if (!self) return failure;
    return ConvertRun(self, self->problems_, "Convert32to8", inputData, outputData, count, &Narrow32To8);
}

SPErr ColorSpaceSuiteHost::ConvertToMonitorRGB(int16 inputCSpace, Color8* inputData, Color8* outputData,
                                               int16 count) {
    SPErr failure = 0;
    ColorSpaceSuiteHost* self = Enter(PixelCall::ConvertToMonitorRGB, &failure);
    if (!self) return failure;
    if (count < 0 || (count > 0 && (!inputData || !outputData))) return kBadParameter;
    // Slots in, RGB slots out (0 R G B).
    const uint8* in = reinterpret_cast<const uint8*>(inputData);
    std::vector<uint8> slots(in, in + std::size_t(count) * 4);
    const SPErr err = self->ConvertSlots("ConvertToMonitorRGB", inputCSpace, plugIncolorServicesRGBSpace,
                                         slots.data(), count, 255.0);
    if (err == kSPNoError) std::copy(slots.begin(), slots.end(), reinterpret_cast<uint8*>(outputData));
    return err;
}

}  // namespace hostsim
