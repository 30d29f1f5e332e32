#include "hostsim/color_services.h"

#include "hostsim/color_engine.h"

#include "pluginapi/color_space.h"

#include <algorithm>
#include <cmath>

namespace hostsim {
namespace {

// A result space of -1 leaves the space to the host: the answer comes in the space of the
// colour it was given (or RGB for a set answer), and resultSpace says which.
constexpr int16 kHostChosenSpace = -1;
constexpr int32 kForegroundColor = plugIncolorServicesForegroundColor;
constexpr int32 kBackgroundColor = plugIncolorServicesBackgroundColor;

struct Range {
    int lo;
    int hi;
    double full;  // the span of a unit value
    double shift;
};

// The range of component `i` in `space`, as the record carries it.
Range RangeOf(int16 space, int i) {
    switch (space) {
        case plugIncolorServicesHSBSpace:
        case plugIncolorServicesHSLSpace:
            return i == 0 ? Range{0, 359, 360.0, 0.0} : Range{0, 255, 255.0, 0.0};
        case plugIncolorServicesLabSpace:
            return i == 0 ? Range{0, 255, 255.0, 0.0} : Range{-128, 127, 255.0, 128.0};
        default: return Range{0, 255, 255.0, 0.0};
    }
}

std::string SpaceText(int16 space) {
    if (space == kHostChosenSpace) return "host's choice";
    if (ColorEngine::Components(space) == 0) return "space " + std::to_string(space);
    return ColorEngine::SpaceName(space);
}

std::string Components(const std::array<int16, 4>& c, int16 space) {
    const int n = std::max(1, ColorEngine::Components(space) ? ColorEngine::Components(space) : 4);
    std::string text;
    for (int i = 0; i < n; ++i) text += (i ? "," : "") + std::to_string(c[std::size_t(i)]);
    return text;
}

const char* SelectorText(int16 selector) {
    switch (selector) {
        case plugIncolorServicesChooseColor: return "choose colour";
        case plugIncolorServicesConvertColor: return "convert colour";
        case plugIncolorServicesSamplePoint: return "sample point";
        case plugIncolorServicesGetSpecialColor: return "special colour";
        default: return "unknown selector";
    }
}

std::string PascalText(const Str255* p) {
    return p ? std::string(reinterpret_cast<const char*>(*p + 1), (*p)[0]) : "";
}

}  // namespace

std::string ColorRequest::Describe() const {
    std::string text = std::string("colorServices ") + SelectorText(selector) + " (" + std::to_string(selector) + ")";
    if (!prompt.empty()) text += " \"" + prompt + "\"";
    text += ": " + SpaceText(sourceSpace) + " " + Components(given, sourceSpace) + " -> " + SpaceText(resultSpace);
    if (result == noErr)
        text += " " + Components(answered, resultSpace);
    else
        text += ", result " + std::to_string(result);
    return text;
}

bool ColorServicesHost::Convert(ColorEngine& engine, int16 from, int16 to, const int16* in, int16* out,
                                std::string* why) {
    const int nIn = ColorEngine::Components(from);
    const int nOut = ColorEngine::Components(to);
    if (!nIn || !nOut) {
        if (why) *why = "unknown colour space " + std::to_string(nIn ? to : from);
        return false;
    }
    double unitIn[4] = {0, 0, 0, 0};
    double unitOut[4] = {0, 0, 0, 0};
    for (int i = 0; i < nIn; ++i) {
        const Range r = RangeOf(from, i);
        if (in[i] < r.lo || in[i] > r.hi) {
            if (why)
                *why = "component " + std::to_string(i) + " of " + SpaceText(from) + " is " + std::to_string(in[i]) +
                       ", outside " + std::to_string(r.lo) + ".." + std::to_string(r.hi);
            return false;
        }
        unitIn[i] = (in[i] + r.shift) / r.full;
    }
    if (from == to) {
        std::copy(in, in + nIn, out);
        return true;
    }
    if (!engine.Convert(from, to, unitIn, unitOut, 1)) {
        if (why) *why = "conversion failed: " + engine.error();
        return false;
    }
    for (int i = 0; i < nOut; ++i) {
        const Range r = RangeOf(to, i);
        const long v = std::lround(unitOut[i] * r.full - r.shift);
        // A hue of a full turn is hue 0.
        out[i] = int16(r.full == 360.0 && v >= 360 ? 0 : std::clamp<long>(v, r.lo, r.hi));
    }
    for (int i = nOut; i < 4; ++i) out[i] = 0;
    return true;
}

OSErr ColorServicesHost::Serve(ColorServicesInfo* info, const FilterRecord& record,
                               const std::function<ColorEngine&()>& engine, ProblemLog& problems) {
    if (!info) {
        problems.Add("colorServices: no request record");
        return paramErr;
    }
    if (info->infoSize < int32(sizeof(ColorServicesInfo))) {
        problems.Add("colorServices: infoSize " + std::to_string(info->infoSize) + ", the record has " +
                     std::to_string(sizeof(ColorServicesInfo)) + " bytes");
        return paramErr;
    }
    ColorRequest request;
    request.selector = info->selector;
    request.sourceSpace = info->sourceSpace;
    request.resultSpace = info->resultSpace;
    std::copy(info->colorComponents, info->colorComponents + 4, request.given.begin());
    request.answered = request.given;

    auto finish = [&](OSErr result) {
        request.result = result;
        std::copy(info->colorComponents, info->colorComponents + 4, request.answered.begin());
        requests_.push_back(request);
        return result;
    };
    auto misuse = [&](const std::string& why) {
        problems.Add(std::string("colorServices ") + SelectorText(info->selector) + ": " + why);
        return finish(paramErr);
    };
    // Answers `components` of `space` in the asked result space.
    auto answer = [&](int16 space, const int16* components) {
        const int16 to = info->resultSpace == kHostChosenSpace ? space : info->resultSpace;
        int16 out[4] = {0, 0, 0, 0};
        std::string why;
        if (!Convert(engine(), space, to, components, out, &why)) return misuse(why);
        std::copy(out, out + 4, info->colorComponents);
        info->resultSpace = to;
        info->resultGamutInfoValid = 0;
        return finish(noErr);
    };

    switch (info->selector) {
        case plugIncolorServicesChooseColor: {
            request.prompt = PascalText(info->selectorParameter.pickerPrompt);
            if (pick_ && pick_->cancel) return finish(userCanceledErr);
            if (pick_) return answer(plugIncolorServicesRGBSpace, pick_->rgb.data());
            if (chooser_) {
                // The user starts from the offered colour, seen in RGB.
                int16 rgb[4] = {0, 0, 0, 0};
                std::string why;
                if (!Convert(engine(), info->sourceSpace, plugIncolorServicesRGBSpace, info->colorComponents, rgb, &why))
                    return misuse(why);
                const auto chosen = chooser_({rgb[0], rgb[1], rgb[2]}, request.prompt);
                if (!chosen) return finish(userCanceledErr);
                return answer(plugIncolorServicesRGBSpace, chosen->data());
            }
            return answer(info->sourceSpace, info->colorComponents);
        }
        case plugIncolorServicesConvertColor: return answer(info->sourceSpace, info->colorComponents);
        case plugIncolorServicesGetSpecialColor: {
            const int32 id = info->selectorParameter.specialColorID;
            if (id != kBackgroundColor && id != kForegroundColor)
                return misuse("special colour " + std::to_string(id) + " (0 foreground, 1 background)");
            // The record's colours are 16-bit; colour services speak 0..255.
            const PSRGBColor& color = id == kBackgroundColor ? record.background : record.foreground;
            const int16 rgb[3] = {int16(color.red >> 8), int16(color.green >> 8), int16(color.blue >> 8)};
            request.sourceSpace = plugIncolorServicesRGBSpace;
            std::copy(rgb, rgb + 3, request.given.begin());
            request.given[3] = 0;
            return answer(plugIncolorServicesRGBSpace, rgb);
        }
        case plugIncolorServicesSamplePoint: return finish(errPlugInHostInsufficient);
        default: return misuse("no such selector");
    }
}

}  // namespace hostsim
