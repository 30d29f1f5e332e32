#include "host/pixel_conversion.h"

#include "host/host.h"
#include "host/image_modes.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace Corvantis::Host::PS {
namespace {

int32 ColourSamples(int32 mode) { return std::clamp<int32>(ChannelCountOfMode(mode, 0), 0, 4); }

// Samples of a pixel beyond the mode's colour samples.
int32 ExtraSamples(int32 mode, int32 channels) { return std::max<int32>(channels - ColourSamples(mode), 0); }

// Copies n (0 to 4) samples, each read before any is written; loops of a pixel's few samples
// would otherwise become a library call per pixel.
template <class Sample>
inline void CopyFew(const Sample* from, int32 n, Sample* to) {
    switch (n) {
        case 4: {
            const Sample a = from[0], b = from[1], c = from[2], d = from[3];
            to[0] = a, to[1] = b, to[2] = c, to[3] = d;
            return;
        }
        case 3: {
            const Sample a = from[0], b = from[1], c = from[2];
            to[0] = a, to[1] = b, to[2] = c;
            return;
        }
        case 2: {
            const Sample a = from[0], b = from[1];
            to[0] = a, to[1] = b;
            return;
        }
        case 1: to[0] = from[0]; return;
        case 0: return;
        default: std::copy(from, from + n, to);
    }
}

// Colour through the suite: each pixel's colour right-aligned in a slot of four components.
template <class Sample, class ConvertProc>
void ConvertThroughSuite(Host& host, ConvertProc convert, int32 srcMode, int32 dstMode, int32 channels,
                         Sample* slots, const Sample* src, Sample* dst, uint64_t count) {
    const int32 k = ColourSamples(srcMode);
    const int32 m = ColourSamples(dstMode);
    const int32 extras = ExtraSamples(srcMode, channels);
    const int32 srcStride = k + extras;
    const int32 dstStride = m + extras;
    const int16 s = ColorSpaceOfMode(srcMode);
    const int16 d = ColorSpaceOfMode(dstMode);
    for (uint64_t start = 0; start < count; start += kSuiteChunk) {
        const uint64_t n = std::min(kSuiteChunk, count - start);
        const Sample* in = src + start * srcStride;
        for (uint64_t i = 0; i < n; ++i) {
            Sample* slot = slots + i * 4;
            for (int32 c = 0; c < 4 - k; ++c) slot[c] = Sample(0);
            CopyFew(in + i * srcStride, k, slot + 4 - k);
        }
        // The suite takes arrays of four-sample colours (Color8 / Color16).
        if (convert(s, d, reinterpret_cast<Sample(*)[4]>(slots), int16(n)) != kSPNoError) host.CheckError(errPlugInHostInsufficient);
        Sample* out = dst + start * dstStride;
        for (uint64_t i = 0; i < n; ++i) {
            const Sample* slot = slots + i * 4;
            CopyFew(slot + 4 - m, m, out + i * dstStride);
            CopyFew(in + i * srcStride + k, extras, out + i * dstStride + m);
        }
    }
}

void ConvertFloatColour(int32 srcMode, int32 dstMode, int32 channels, const float* src, float* dst,
                        uint64_t count) {
    const int16 s = ColorSpaceOfMode(srcMode);
    const int16 d = ColorSpaceOfMode(dstMode);
    const int32 extras = ExtraSamples(srcMode, channels);
    if (s == plugIncolorServicesRGBSpace && d == plugIncolorServicesGraySpace) {
        for (uint64_t i = 0; i < count; ++i, src += 3 + extras, dst += 1 + extras) {
            dst[0] = (src[1] * 6.0f + src[0] * 3.0f + src[2]) / 10.0f;
            std::copy(src + 3, src + 3 + extras, dst + 1);
        }
    } else if (s == plugIncolorServicesGraySpace && d == plugIncolorServicesRGBSpace) {
        for (uint64_t i = 0; i < count; ++i, src += 1 + extras, dst += 3 + extras) {
            dst[0] = dst[1] = dst[2] = src[0];
            std::copy(src + 1, src + 1 + extras, dst + 3);
        }
    }
}

uint16 Own8To16(uint8 s) { return uint16(uint32(s) * 32768u / 255u); }
uint8 Own16To8(uint16 s) { return s <= 32768 ? uint8((uint32(s) * 255u) >> 15) : uint8(255); }
uint8 Own32To8(float s) {
    if (!(s > 0.0f)) return 0;  // negative, zero and NaN
    if (s > 1.0f) return 255;
    return uint8(s * 255.0f);
}

// Runs `suite` over chunks where the host offers it, and `own` wherever it is missing or fails.
template <class In, class Out, class SuiteProc, class OwnProc>
void ConvertSamples(SuiteProc suite, OwnProc own, const In* src, Out* dst, uint64_t n) {
    for (uint64_t start = 0; start < n; start += kSuiteChunk) {
        const uint64_t chunk = std::min(kSuiteChunk, n - start);
        // The suite's input is not const, though the host only reads it.
        if (suite && suite(const_cast<In*>(src + start), dst + start, int16(chunk)) == kSPNoError) continue;
        for (uint64_t i = start; i < start + chunk; ++i) dst[i] = own(src[i]);
    }
}

}  // namespace

uint64_t ConversionScratchSize(int32 srcMode, int32 dstMode, int32 srcBits, int32 dstBits, uint64_t count) {
    if (ColorSpaceOfMode(srcMode) == ColorSpaceOfMode(dstMode)) return 0;
    const int32 b = std::max(srcBits, dstBits);
    if (b == 8) return count * 4;
    if (b == 16) return count * 8;
    return 0;
}

uint64_t IntermediateRunSize(int32 srcMode, int32 dstMode, int32 channels, int32 srcBits, int32 dstBits,
                             uint64_t count) {
    if (ColorSpaceOfMode(srcMode) == ColorSpaceOfMode(dstMode) || srcBits == dstBits) return 0;
    const int32 c = srcBits < dstBits
                        ? channels
                        : channels + ChannelCountOfMode(dstMode, 0) - ChannelCountOfMode(srcMode, 0);
    if (c <= 0) return 0;
    return uint64_t(std::max(srcBits, dstBits) / 8) * uint64_t(c) * count;
}

void ConvertPixels(Host& host, int32 srcMode, int32 dstMode, int32 channels, int32 srcBits, int32 dstBits,
                   void* scratch, void* intermediate, const void* src, void* dst, uint64_t count) {
    if (ColorSpaceOfMode(srcMode) == ColorSpaceOfMode(dstMode)) {
        ConvertDepth(host, uint64_t(std::max(channels, 0)), srcBits, dstBits, src, dst, count);
    } else if (srcBits == dstBits) {
        ConvertColorSpace(host, srcMode, dstMode, channels, srcBits, scratch, src, dst, count);
    } else {
        if (!intermediate && count) throw std::logic_error("pixel conversion without an intermediate run");
        if (srcBits < dstBits) {
            // Widen first, so that colour is converted at the larger depth.
            ConvertDepth(host, uint64_t(std::max(channels, 0)), srcBits, dstBits, src, intermediate, count);
            ConvertColorSpace(host, srcMode, dstMode, channels, dstBits, scratch, intermediate, dst, count);
        } else {
            ConvertColorSpace(host, srcMode, dstMode, channels, srcBits, scratch, src, intermediate, count);
            const int32 samples = ColourSamples(dstMode) + ExtraSamples(srcMode, channels);
            ConvertDepth(host, uint64_t(samples), srcBits, dstBits, intermediate, dst, count);
        }
    }
}

void ConvertColorSpace(Host& host, int32 srcMode, int32 dstMode, int32 channels, int32 bits, void* scratch,
                       const void* src, void* dst, uint64_t count) {
    if (count == 0) return;
    if (bits == 32) {
        ConvertFloatColour(srcMode, dstMode, channels, static_cast<const float*>(src), static_cast<float*>(dst),
                           count);
        return;
    }
    if (bits != 8 && bits != 16) return;
    // No colour formulas of our own exist at these depths: without the suite we cannot go on.
    const PSColorSpaceSuite1* suite = host.colorSpace;
    if (!suite || (bits == 8 ? !suite->Convert8 : !suite->Convert16)) host.CheckError(errPlugInHostInsufficient);
    if (!scratch) throw std::logic_error("colour conversion without scratch memory");
    if (bits == 8)
        ConvertThroughSuite(host, suite->Convert8, srcMode, dstMode, channels, static_cast<uint8*>(scratch),
                            static_cast<const uint8*>(src), static_cast<uint8*>(dst), count);
    else
        ConvertThroughSuite(host, suite->Convert16, srcMode, dstMode, channels, static_cast<uint16*>(scratch),
                            static_cast<const uint16*>(src), static_cast<uint16*>(dst), count);
}

void ConvertDepth(Host& host, uint64_t samplesPerPixel, int32 srcBits, int32 dstBits, const void* src, void* dst,
                  uint64_t count) {
    const uint64_t n = count * samplesPerPixel;
    if (n == 0) return;
    const PSColorSpaceSuite1* suite = host.colorSpace;
    if (srcBits == dstBits) {
        if (srcBits > 0) std::memmove(dst, src, n * uint64_t(srcBits) / 8);
    } else if (srcBits == 8 && dstBits == 16) {
        ConvertSamples(suite ? suite->Convert8to16 : nullptr, Own8To16, static_cast<const uint8*>(src),
                       static_cast<uint16*>(dst), n);
    } else if (srcBits == 8 && dstBits == 32) {
        const uint8* in = static_cast<const uint8*>(src);
        float* out = static_cast<float*>(dst);
        for (uint64_t i = 0; i < n; ++i) out[i] = float(in[i]) / 255.0f;
    } else if (srcBits == 16 && dstBits == 8) {
        ConvertSamples(suite ? suite->Convert16to8 : nullptr, Own16To8, static_cast<const uint16*>(src),
                       static_cast<uint8*>(dst), n);
    } else if (srcBits == 32 && dstBits == 8) {
        ConvertSamples(suite ? suite->Convert32to8 : nullptr, Own32To8, static_cast<const float*>(src),
                       static_cast<uint8*>(dst), n);
    }
    // 16 <-> 32 and other pairs: the effective modes never ask for them; left unchanged.
}

}  // namespace Corvantis::Host::PS
