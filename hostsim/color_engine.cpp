#include "hostsim/color_engine.h"

#include "hostsim/lab_to_rgb.h"

#include "pluginapi/color_space.h"

#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace hostsim {
namespace {

constexpr int16 kRGB = plugIncolorServicesRGBSpace;
constexpr int16 kHSB = plugIncolorServicesHSBSpace;
constexpr int16 kCMYK = plugIncolorServicesCMYKSpace;
constexpr int16 kLab = plugIncolorServicesLabSpace;
constexpr int16 kGray = plugIncolorServicesGraySpace;
constexpr int16 kHSL = plugIncolorServicesHSLSpace;

// Grid of the RGB-to-CMYK link; its separation is not piecewise linear, so it needs a fine
// grid. The CMYK-to-RGB direction is multilinear and exact on any grid.
constexpr cmsUInt32Number kSeparationGrid = 65;
constexpr cmsUInt32Number kCompositionGrid = 17;
constexpr std::size_t kChunk = 4096;
// A long 8-bit conversion is split over threads, each given at least this many pixels: below
// that, starting a thread costs more than it saves.
constexpr std::size_t kThreadShare = std::size_t(1) << 16;
constexpr unsigned kMaxThreads = 4;

// Runs `transform` over `count` pixels. A transform holds no state that a call changes, so
// separate parts of one buffer convert at once on as many cores as the machine offers (up to
// kMaxThreads); the result is the same as in one call.
void Transform8(cmsHTRANSFORM transform, const uint8* in, uint8* out, std::size_t count, std::size_t inStride,
                std::size_t outStride) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t parts = std::max<std::size_t>(1, std::min<std::size_t>(std::min(cores, kMaxThreads), count / kThreadShare));
    const std::size_t share = (count + parts - 1) / parts;
    auto run = [&](std::size_t start) {
        const std::size_t end = std::min(count, start + share);
        for (std::size_t at = start; at < end; at += kChunk * 16) {
            const std::size_t n = std::min(kChunk * 16, end - at);
            cmsDoTransform(transform, in + at * inStride, out + at * outStride, cmsUInt32Number(n));
        }
    };
    std::vector<std::thread> helpers;
    for (std::size_t part = 1; part < parts; ++part) {
        try {
            helpers.emplace_back(run, part * share);
        } catch (const std::system_error&) {
            run(part * share);  // no thread to be had: convert this part here
        }
    }
    run(0);
    for (std::thread& helper : helpers) helper.join();
}

// CMYK to RGB in bytes, exactly: the press absorbs multiplicatively, so each colour is
// (255 - ink) * (255 - black) / 255, rounded. One product table serves every pixel.
void ComposeBytes(const uint8* in, uint8* out, std::size_t count, std::size_t inStride, std::size_t outStride,
                  std::size_t outOffset) {
    static const std::vector<uint8> product = [] {
        std::vector<uint8> t(256 * 256);
        for (unsigned u = 0; u < 256; ++u)
            for (unsigned v = 0; v < 256; ++v) t[u * 256 + v] = uint8((u * v + 127) / 255);
        return t;
    }();
    for (std::size_t i = 0; i < count; ++i, in += inStride, out += outStride) {
        const uint8* row = product.data() + std::size_t(255 - in[3]) * 256;
        const uint8 c = row[255 - in[0]], m = row[255 - in[1]], y = row[255 - in[2]];
        out[outOffset] = c;
        out[outOffset + 1] = m;
        out[outOffset + 2] = y;
    }
}

// RGB to CMYK in bytes, exactly as the separation defines it: black takes 255 - max, and each
// ink 255 * (max - colour) / max, rounded. `in` and `out` must not overlap.
void SeparateBytes(const uint8* in, uint8* out, std::size_t count, std::size_t inStride, std::size_t outStride,
                   std::size_t inOffset) {
    // ratio[max * 256 + colour] for colour <= max.
    static const std::vector<uint8> ratio = [] {
        std::vector<uint8> t(256 * 256, 0);
        for (unsigned max = 1; max < 256; ++max)
            for (unsigned c = 0; c <= max; ++c) t[max * 256 + c] = uint8((510 * (max - c) + max) / (2 * max));
        return t;
    }();
    for (std::size_t i = 0; i < count; ++i, in += inStride, out += outStride) {
        const uint8 r = in[inOffset], g = in[inOffset + 1], b = in[inOffset + 2];
        const uint8 max = std::max({r, g, b});
        const uint8* row = ratio.data() + std::size_t(max) * 256;
        out[0] = row[r];
        out[1] = row[g];
        out[2] = row[b];
        out[3] = uint8(255 - max);
    }
}

double Clamp01(double v) { return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0); }

// The idealised press, on unit values: each ink absorbs its complement, black absorbs all.
template <class T>
void Compose(const T* cmyk, T* rgb) {
    const T white = T(1) - cmyk[3];
    for (int i = 0; i < 3; ++i) rgb[i] = (T(1) - cmyk[i]) * white;
}

// Its separation, with full grey-component replacement: black carries all the darkness, one
// ink stays at zero.
template <class T>
void Separate(const T* rgb, T* cmyk) {
    const T max = std::max({rgb[0], rgb[1], rgb[2]});
    for (int i = 0; i < 3; ++i) cmyk[i] = max > T(0) ? (max - rgb[i]) / max : T(0);
    cmyk[3] = T(1) - max;
}

cmsInt32Number ComposeSampler(const cmsFloat32Number in[], cmsFloat32Number out[], void*) {
    Compose(in, out);
    return TRUE;
}

cmsInt32Number SeparateSampler(const cmsFloat32Number in[], cmsFloat32Number out[], void*) {
    Separate(in, out);
    return TRUE;
}

void HueToRgb(double h, double chroma, double m, double* rgb) {
    const double h6 = std::fmod(h, 1.0) * 6.0;
    const double x = chroma * (1.0 - std::fabs(std::fmod(h6, 2.0) - 1.0));
    double r = 0, g = 0, b = 0;
    switch (int(h6)) {
        case 0: r = chroma, g = x; break;
        case 1: r = x, g = chroma; break;
        case 2: g = chroma, b = x; break;
        case 3: g = x, b = chroma; break;
        case 4: r = x, b = chroma; break;
        default: r = chroma, b = x; break;
    }
    rgb[0] = Clamp01(r + m);
    rgb[1] = Clamp01(g + m);
    rgb[2] = Clamp01(b + m);
}

double HueOf(const double* rgb, double max, double delta) {
    if (delta <= 0) return 0.0;
    double h;
    if (max == rgb[0]) h = std::fmod((rgb[1] - rgb[2]) / delta + 6.0, 6.0);
    else if (max == rgb[1]) h = (rgb[2] - rgb[0]) / delta + 2.0;
    else h = (rgb[0] - rgb[1]) / delta + 4.0;
    return std::fmod(h / 6.0, 1.0);
}

void HsbToRgb(const double* hsb, double* rgb) {
    const double chroma = hsb[2] * hsb[1];
    HueToRgb(hsb[0], chroma, hsb[2] - chroma, rgb);
}

void RgbToHsb(const double* rgb, double* hsb) {
    const double max = std::max({rgb[0], rgb[1], rgb[2]});
    const double min = std::min({rgb[0], rgb[1], rgb[2]});
    hsb[0] = HueOf(rgb, max, max - min);
    hsb[1] = max > 0 ? (max - min) / max : 0.0;
    hsb[2] = max;
}

void HslToRgb(const double* hsl, double* rgb) {
    const double chroma = (1.0 - std::fabs(2.0 * hsl[2] - 1.0)) * hsl[1];
    HueToRgb(hsl[0], chroma, hsl[2] - chroma / 2.0, rgb);
}

void RgbToHsl(const double* rgb, double* hsl) {
    const double max = std::max({rgb[0], rgb[1], rgb[2]});
    const double min = std::min({rgb[0], rgb[1], rgb[2]});
    const double l = (max + min) / 2.0;
    const double d = 1.0 - std::fabs(2.0 * l - 1.0);
    hsl[0] = HueOf(rgb, max, max - min);
    hsl[1] = d > 0 ? std::min((max - min) / d, 1.0) : 0.0;
    hsl[2] = l;
}

bool IsCmsSpace(int16 s) { return s == kRGB || s == kCMYK || s == kLab || s == kGray; }

// CMYK and RGB convert to each other by their defining formulas, and Lab to RGB by the RGB
// profile's own matrix and curves (LabToRgb), in bytes and doubles alike: the quickest way and
// the exact one. Other pairs go through LittleCMS.
// Doubles are evaluated exactly through the chain. Bytes go through LittleCMS's optimised
// 8-bit path, the chain resampled onto one table, where that stays within a step of the exact
// result: from RGB and gray on a grid as fine as the separation's (the default one misses the
// separation's kink at black by up to half the range), from CMYK on the default grid (the
// composition is multilinear). From Lab the table's interpolation strays by many steps where
// colours leave the RGB gamut and clip, so Lab is evaluated exactly, stage by stage.
cmsUInt32Number EightBitFlags(int16 from) {
    switch (from) {
        case kLab: return cmsFLAGS_NOOPTIMIZE;
        case kCMYK: return 0;
        default: return cmsFLAGS_GRIDPOINTS(kSeparationGrid);
    }
}

// How a transform's samples lie in memory: unit doubles, or bytes packed or in slots.
enum class Kind { Doubles, Packed8, Slots8 };

cmsUInt32Number FormatOf(int16 space, Kind kind) {
    if (kind == Kind::Doubles) {
        switch (space) {
            case kRGB: return TYPE_RGB_DBL;
            case kCMYK: return TYPE_CMYK_DBL;
            case kLab: return TYPE_Lab_DBL;
            default: return TYPE_GRAY_DBL;
        }
    }
    // In a slot the leading bytes are extra channels that LittleCMS skips.
    const bool slots = kind == Kind::Slots8;
    switch (space) {
        case kRGB: return slots ? TYPE_ARGB_8 : TYPE_RGB_8;
        case kCMYK: return TYPE_CMYK_8;
        case kLab:
            return slots ? COLORSPACE_SH(PT_Lab) | EXTRA_SH(1) | CHANNELS_SH(3) | BYTES_SH(1) | SWAPFIRST_SH(1)
                         : TYPE_Lab_8;
        default:
            return slots ? COLORSPACE_SH(PT_GRAY) | EXTRA_SH(3) | CHANNELS_SH(1) | BYTES_SH(1) | SWAPFIRST_SH(1)
                         : TYPE_GRAY_8;
    }
}

// Unit components to LittleCMS's double encodings and back.
void ToCms(int16 space, const double* in, double* out, std::size_t count) {
    const int n = ColorEngine::Components(space);
    for (std::size_t i = 0; i < count; ++i, in += n, out += n) {
        if (space == kCMYK) {
            for (int c = 0; c < 4; ++c) out[c] = in[c] * 100.0;
        } else if (space == kLab) {
            out[0] = in[0] * 100.0;
            out[1] = in[1] * 255.0 - 128.0;
            out[2] = in[2] * 255.0 - 128.0;
        } else {
            std::copy(in, in + n, out);
        }
    }
}

void FromCms(int16 space, const double* in, double* out, std::size_t count) {
    const int n = ColorEngine::Components(space);
    for (std::size_t i = 0; i < count; ++i, in += n, out += n) {
        if (space == kCMYK) {
            for (int c = 0; c < 4; ++c) out[c] = Clamp01(in[c] / 100.0);
        } else if (space == kLab) {
            out[0] = Clamp01(in[0] / 100.0);
            out[1] = Clamp01((in[1] + 128.0) / 255.0);
            out[2] = Clamp01((in[2] + 128.0) / 255.0);
        } else {
            for (int c = 0; c < n; ++c) out[c] = Clamp01(in[c]);
        }
    }
}

void LogError(cmsContext context, cmsUInt32Number, const char* text) {
    if (auto* sink = static_cast<std::string*>(cmsGetContextUserData(context))) *sink = text ? text : "";
}

}  // namespace

// The profiles and transforms: made once and kept for the whole process, as a host keeps its
// colour transforms for the session, so that no run pays for building them again. Shared by
// every engine; making a transform takes the lock, using one does not (LittleCMS transforms
// keep no state between calls).
struct ColorEngine::Impl {
    static std::shared_ptr<Impl> Shared() {
        static const std::shared_ptr<Impl> shared = std::make_shared<Impl>();
        return shared;
    }

    std::mutex mutex;
    std::string lastError;
    cmsContext context = nullptr;
    cmsHPROFILE rgb = nullptr;
    cmsHPROFILE lab = nullptr;
    cmsHPROFILE gray = nullptr;
    cmsHPROFILE cmykToRgb = nullptr;
    cmsHPROFILE rgbToCmyk = nullptr;
    std::map<std::tuple<int16, int16, Kind>, cmsHTRANSFORM> transforms;
    std::unique_ptr<LabToRgb> labToRgb;

    // Lab to RGB by formula, made on first use; null when the RGB profile does not allow it.
    const LabToRgb* LabFormula() {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!labToRgb) labToRgb = std::make_unique<LabToRgb>(rgb);
        return labToRgb->usable() ? labToRgb.get() : nullptr;
    }

    Impl() {
        context = cmsCreateContext(nullptr, &lastError);
        cmsSetLogErrorHandlerTHR(context, &LogError);
        rgb = cmsCreate_sRGBProfileTHR(context);
        lab = cmsCreateLab4ProfileTHR(context, cmsD50_xyY());
        const cmsFloat64Number srgbCurve[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
        cmsToneCurve* curve = cmsBuildParametricToneCurve(context, 4, srgbCurve);
        gray = curve ? cmsCreateGrayProfileTHR(context, cmsD50_xyY(), curve) : nullptr;
        if (curve) cmsFreeToneCurve(curve);
    }

    ~Impl() {
        for (auto& entry : transforms)
            if (entry.second) cmsDeleteTransform(entry.second);
        for (cmsHPROFILE p : {rgb, lab, gray, cmykToRgb, rgbToCmyk})
            if (p) cmsCloseProfile(p);
        if (context) cmsDeleteContext(context);
    }

    // A device link whose one table maps `inputs` channels of `from` to `outputs` of `to`.
    cmsHPROFILE MakeLink(cmsColorSpaceSignature from, cmsColorSpaceSignature to, cmsUInt32Number inputs,
                         cmsUInt32Number outputs, cmsUInt32Number grid, cmsSAMPLERFLOAT sampler) {
        cmsHPROFILE link = cmsCreateProfilePlaceholder(context);
        cmsPipeline* pipeline = cmsPipelineAlloc(context, inputs, outputs);
        cmsStage* table = cmsStageAllocCLutFloat(context, grid, inputs, outputs, nullptr);
        bool ok = link && pipeline && table && cmsStageSampleCLutFloat(table, sampler, nullptr, 0);
        if (ok) {
            ok = cmsPipelineInsertStage(pipeline, cmsAT_END, table);
            table = nullptr;  // the pipeline owns it now (or freed it on failure)
        }
        if (ok) {
            cmsSetProfileVersion(link, 4.3);
            cmsSetDeviceClass(link, cmsSigLinkClass);
            cmsSetColorSpace(link, from);
            cmsSetPCS(link, to);
            ok = cmsWriteTag(link, cmsSigAToB0Tag, pipeline);
        }
        if (table) cmsStageFree(table);
        if (pipeline) cmsPipelineFree(pipeline);
        if (!ok && link) {
            cmsCloseProfile(link);
            link = nullptr;
        }
        return link;
    }

    cmsHPROFILE ProfileOf(int16 space) {
        switch (space) {
            case kRGB: return rgb;
            case kLab: return lab;
            default: return gray;
        }
    }

    // The transform from `from` to `to` for samples of `kind`, made on first use and kept; when
    // there is none, why, in `failure`.
    cmsHTRANSFORM Transform(int16 from, int16 to, Kind kind, std::string& failure) {
        const std::lock_guard<std::mutex> lock(mutex);
        const auto key = std::make_tuple(from, to, kind);
        const auto found = transforms.find(key);
        if (found != transforms.end()) {
            if (!found->second) failure = lastError;
            return found->second;
        }

        if ((from == kCMYK || to == kCMYK) && !cmykToRgb) {
            cmykToRgb = MakeLink(cmsSigCmykData, cmsSigRgbData, 4, 3, kCompositionGrid, &ComposeSampler);
            rgbToCmyk = MakeLink(cmsSigRgbData, cmsSigCmykData, 3, 4, kSeparationGrid, &SeparateSampler);
        }
        // CMYK is defined against sRGB: go through it on the CMYK side.
        std::vector<cmsHPROFILE> chain;
        if (from == kCMYK && to == kRGB) chain = {cmykToRgb};
        else if (from == kRGB && to == kCMYK) chain = {rgbToCmyk};
        else if (from == kCMYK) chain = {cmykToRgb, rgb, ProfileOf(to)};
        else if (to == kCMYK) chain = {ProfileOf(from), rgb, rgbToCmyk};
        else chain = {ProfileOf(from), ProfileOf(to)};
        cmsHTRANSFORM transform = nullptr;
        if (std::all_of(chain.begin(), chain.end(), [](cmsHPROFILE p) { return p != nullptr; })) {
            std::vector<cmsBool> bpc(chain.size(), FALSE);
            std::vector<cmsUInt32Number> intents(chain.size(), INTENT_RELATIVE_COLORIMETRIC);
            std::vector<cmsFloat64Number> adaptation(chain.size(), 1.0);
            const cmsUInt32Number flags = kind == Kind::Doubles ? cmsFLAGS_NOCACHE | cmsFLAGS_NOOPTIMIZE
                                                                : EightBitFlags(from);
            transform = cmsCreateExtendedTransform(context, cmsUInt32Number(chain.size()), chain.data(), bpc.data(),
                                                   intents.data(), adaptation.data(), nullptr, 0,
                                                   FormatOf(from, kind), FormatOf(to, kind), flags);
        }
        transforms[key] = transform;
        if (!transform) failure = lastError;
        return transform;
    }
};

ColorEngine::ColorEngine() : impl_(Impl::Shared()) {}
ColorEngine::~ColorEngine() = default;

int ColorEngine::Components(int16 space) {
    switch (space) {
        case kRGB:
        case kHSB:
        case kLab:
        case kHSL: return 3;
        case kCMYK: return 4;
        case kGray: return 1;
        default: return 0;
    }
}

const char* ColorEngine::SpaceName(int16 space) {
    switch (space) {
        case kRGB: return "RGB";
        case kHSB: return "HSB";
        case kCMYK: return "CMYK";
        case kLab: return "Lab";
        case kGray: return "gray";
        case kHSL: return "HSL";
        default: return "unknown";
    }
}

bool ColorEngine::Convert(int16 from, int16 to, const double* in, double* out, std::size_t count) {
    const int nIn = Components(from);
    const int nOut = Components(to);
    if (!nIn || !nOut) {
        error_ = "no colour space " + std::to_string(from == to || nIn ? to : from);
        return false;
    }
    if (from == to) {
        std::copy(in, in + count * std::size_t(nIn), out);
        return true;
    }
    if (from == kCMYK && to == kRGB) {
        // The press itself, without a table's rounding.
        for (std::size_t i = 0; i < count; ++i, in += 4, out += 3) {
            const double cmyk[4] = {Clamp01(in[0]), Clamp01(in[1]), Clamp01(in[2]), Clamp01(in[3])};
            Compose(cmyk, out);
        }
        return true;
    }
    if (from == kRGB && to == kCMYK) {
        // The separation itself; out may be in, so each pixel is read whole first.
        for (std::size_t i = count; i-- > 0;) {
            const double rgb[3] = {Clamp01(in[i * 3]), Clamp01(in[i * 3 + 1]), Clamp01(in[i * 3 + 2])};
            Separate(rgb, out + i * 4);
        }
        return true;
    }
    // HSB and HSL are rearrangements of RGB: reduce both ends to RGB, LittleCMS does the rest.
    const bool hsIn = from == kHSB || from == kHSL;
    const bool hsOut = to == kHSB || to == kHSL;
    const int16 cmsFrom = hsIn ? kRGB : from;
    const int16 cmsTo = hsOut ? kRGB : to;
    cmsHTRANSFORM transform = nullptr;
    const LabToRgb* lab = cmsFrom == kLab && cmsTo == kRGB ? impl_->LabFormula() : nullptr;
    if (cmsFrom != cmsTo && IsCmsSpace(cmsFrom) && IsCmsSpace(cmsTo) && !lab) {
        std::string failure;
        transform = impl_->Transform(cmsFrom, cmsTo, Kind::Doubles, failure);
        if (!transform) {
            error_ = "LittleCMS cannot convert " + std::string(SpaceName(cmsFrom)) + " to " + SpaceName(cmsTo) +
                     (failure.empty() ? "" : ": " + failure);
            return false;
        }
    }
    const std::size_t scratch = std::min(kChunk, count) * 4;
    std::vector<double> a(scratch), b(scratch);
    for (std::size_t start = 0; start < count; start += kChunk) {
        const std::size_t n = std::min(kChunk, count - start);
        const double* src = in + start * std::size_t(nIn);
        // Step 1: source components to the LittleCMS input (RGB for HSB/HSL).
        if (hsIn) {
            for (std::size_t i = 0; i < n; ++i)
                (from == kHSB ? HsbToRgb : HslToRgb)(src + i * 3, a.data() + i * 3);
        } else {
            ToCms(from, src, a.data(), n);
        }
        // Step 2: colour management.
        const int16 mid = cmsTo;
        if (lab) {
            for (std::size_t i = 0; i < n; ++i) lab->Unit(a.data() + i * 3, b.data() + i * 3);
        } else if (transform) {
            cmsDoTransform(transform, a.data(), b.data(), cmsUInt32Number(n));
            FromCms(mid, b.data(), b.data(), n);
        } else {
            FromCms(mid, a.data(), b.data(), n);
        }
        // Step 3: to the destination's components.
        double* dst = out + start * std::size_t(nOut);
        if (hsOut) {
            for (std::size_t i = 0; i < n; ++i) (to == kHSB ? RgbToHsb : RgbToHsl)(b.data() + i * 3, dst + i * 3);
        } else {
            std::copy(b.data(), b.data() + n * std::size_t(nOut), dst);
        }
    }
    return true;
}

bool ColorEngine::Convert8(int16 from, int16 to, const uint8* in, uint8* out, std::size_t count, Layout layout) {
    const int nIn = Components(from);
    const int nOut = Components(to);
    if (!nIn || !nOut) {
        error_ = "no colour space " + std::to_string(from == to || nIn ? to : from);
        return false;
    }
    const bool slots = layout == Layout::Slots;
    const std::size_t inStride = slots ? 4 : std::size_t(nIn);
    const std::size_t outStride = slots ? 4 : std::size_t(nOut);
    if (count == 0) return true;
    if (from == to) {
        if (in != out) std::copy(in, in + count * inStride, out);
        return true;
    }
    if (from == kCMYK && to == kRGB) {
        // Each pixel is read before it is written, and a slot keeps its place: safe in place.
        ComposeBytes(in, out, count, inStride, outStride, slots ? 1 : 0);
    } else if (from == kRGB && to == kCMYK) {
        std::vector<uint8> copy;
        if (in == out && !slots) {
            copy.assign(in, in + count * inStride);
            in = copy.data();
        }
        SeparateBytes(in, out, count, inStride, outStride, slots ? 1 : 0);
    } else if (const LabToRgb* lab = from == kLab && to == kRGB ? impl_->LabFormula() : nullptr) {
        lab->Bytes(in, out, count, inStride, outStride, slots ? 1 : 0, slots ? 1 : 0);
    } else if (IsCmsSpace(from) && IsCmsSpace(to)) {
        std::string failure;
        cmsHTRANSFORM transform = impl_->Transform(from, to, slots ? Kind::Slots8 : Kind::Packed8, failure);
        if (!transform) {
            error_ = "LittleCMS cannot convert " + std::string(SpaceName(from)) + " to " + SpaceName(to) +
                     (failure.empty() ? "" : ": " + failure);
            return false;
        }
        // LittleCMS reads each pixel before it writes it, but sizes may differ when packed:
        // a conversion in place goes through a copy.
        std::vector<uint8> copy;
        if (in == out) {
            copy.assign(in, in + count * inStride);
            in = copy.data();
        }
        Transform8(transform, in, out, count, inStride, outStride);
    } else {
        // HSB and HSL: through unit values.
        std::vector<double> a(std::min(kChunk, count) * 4), b(std::min(kChunk, count) * 4);
        for (std::size_t start = 0; start < count; start += kChunk) {
            const std::size_t n = std::min(kChunk, count - start);
            const uint8* src = in + start * inStride + (slots ? 4 - nIn : 0);
            for (std::size_t i = 0; i < n; ++i)
                for (int c = 0; c < nIn; ++c) a[i * nIn + c] = src[i * inStride + c] / 255.0;
            if (!Convert(from, to, a.data(), b.data(), n)) return false;
            uint8* dst = out + start * outStride + (slots ? 4 - nOut : 0);
            for (std::size_t i = 0; i < n; ++i)
                for (int c = 0; c < nOut; ++c) dst[i * outStride + c] = uint8(std::lround(b[i * nOut + c] * 255.0));
        }
    }
    // The leading bytes of a slot are zero.
    if (slots && nOut < 4)
        for (std::size_t i = 0; i < count; ++i) std::fill(out + i * 4, out + i * 4 + (4 - nOut), uint8(0));
    return true;
}

}  // namespace hostsim
