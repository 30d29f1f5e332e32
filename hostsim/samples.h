// Samples as the host stores them: 8-bit 0..255, 16-bit 0..32768, 32-bit float 0..1, in
// native byte order and possibly unaligned in the plug-in's memory.
#pragma once
#include "pluginapi/pi_types.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace hostsim {

constexpr uint16 kMax16 = 32768;

inline int32 BytesPerSample(int32 depth) { return depth / 8; }
inline bool IsSupportedDepth(int32 depth) { return depth == 8 || depth == 16 || depth == 32; }

inline double LoadUnit(const uint8* p, int32 depth) {
    switch (depth) {
        case 8: return *p / 255.0;
        case 16: {
            uint16 v;
            std::memcpy(&v, p, 2);
            return v / double(kMax16);
        }
        default: {
            float v;
            std::memcpy(&v, p, 4);
            return v;
        }
    }
}

// Integer depths clamp and round; floats are stored as they are.
inline void StoreUnit(double u, uint8* p, int32 depth) {
    switch (depth) {
        case 8: *p = uint8(std::lround(std::clamp(u, 0.0, 1.0) * 255.0)); break;
        case 16: {
            const uint16 v = uint16(std::lround(std::clamp(u, 0.0, 1.0) * kMax16));
            std::memcpy(p, &v, 2);
            break;
        }
        default: {
            const float v = float(u);
            std::memcpy(p, &v, 4);
            break;
        }
    }
}

// Exact integer conversions between the host's depths, rounding to nearest.
inline uint16 Widen8To16(uint8 v) { return uint16((uint32(v) * kMax16 + 127) / 255); }
inline uint8 Narrow16To8(uint16 v) { return v >= kMax16 ? uint8(255) : uint8((uint32(v) * 255 + kMax16 / 2) / kMax16); }
inline uint8 Narrow32To8(float v) {
    if (!(v > 0.0f)) return 0;  // negatives, zero and NaN
    if (v >= 1.0f) return 255;
    return uint8(v * 255.0f + 0.5f);
}

// One sample from `src` (depth srcDepth) to `dst` (depth dstDepth).
inline void ConvertSample(const uint8* src, int32 srcDepth, uint8* dst, int32 dstDepth) {
    if (srcDepth == dstDepth) {
        std::memcpy(dst, src, size_t(BytesPerSample(srcDepth)));
    } else if (srcDepth == 8 && dstDepth == 16) {
        const uint16 v = Widen8To16(*src);
        std::memcpy(dst, &v, 2);
    } else if (srcDepth == 16 && dstDepth == 8) {
        uint16 v;
        std::memcpy(&v, src, 2);
        *dst = Narrow16To8(v);
    } else if (srcDepth == 32 && dstDepth == 8) {
        float v;
        std::memcpy(&v, src, 4);
        *dst = Narrow32To8(v);
    } else {
        StoreUnit(LoadUnit(src, srcDepth), dst, dstDepth);
    }
}

// The sample that an 8-bit value (padding, dummy planes) stands for at `depth`.
inline void StoreByteValue(uint8 value, uint8* p, int32 depth) {
    ConvertSample(&value, 8, p, depth);
}

}  // namespace hostsim
