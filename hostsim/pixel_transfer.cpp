#include "hostsim/pixel_transfer.h"

#include "hostsim/samples.h"

#include <cstring>

namespace hostsim {
namespace {

template <std::size_t B>
void GatherSame(const uint8* src, int32 count, uint8* dst, int64_t dstStride) {
    if (dstStride == int64_t(B)) {
        std::memcpy(dst, src, std::size_t(count) * B);
        return;
    }
    for (int32 i = 0; i < count; ++i, src += B, dst += dstStride) std::memcpy(dst, src, B);
}

template <std::size_t B>
void ScatterSame(const uint8* src, int64_t srcStride, int32 count, uint8* dst) {
    if (srcStride == int64_t(B)) {
        std::memcpy(dst, src, std::size_t(count) * B);
        return;
    }
    for (int32 i = 0; i < count; ++i, src += srcStride, dst += B) std::memcpy(dst, src, B);
}

}  // namespace

void LoadRun(const Plane& plane, int32 x, int32 y, int32 count, uint8* dst, int64_t dstStride, int32 dstDepth) {
    const uint8* src = plane.At(x, y);
    const int32 depth = plane.depth();
    if (depth == dstDepth) {
        switch (depth) {
            case 8: GatherSame<1>(src, count, dst, dstStride); return;
            case 16: GatherSame<2>(src, count, dst, dstStride); return;
            default: GatherSame<4>(src, count, dst, dstStride); return;
        }
    }
    const int32 b = BytesPerSample(depth);
    for (int32 i = 0; i < count; ++i, src += b, dst += dstStride) ConvertSample(src, depth, dst, dstDepth);
}

void StoreRun(Plane& plane, int32 x, int32 y, int32 count, const uint8* src, int64_t srcStride, int32 srcDepth,
              const uint8* mask) {
    uint8* dst = plane.At(x, y);
    const int32 depth = plane.depth();
    const int32 b = BytesPerSample(depth);
    if (!mask && depth == srcDepth) {
        switch (depth) {
            case 8: ScatterSame<1>(src, srcStride, count, dst); return;
            case 16: ScatterSame<2>(src, srcStride, count, dst); return;
            default: ScatterSame<4>(src, srcStride, count, dst); return;
        }
    }
    for (int32 i = 0; i < count; ++i, src += srcStride, dst += b) {
        const uint8 m = mask ? mask[i] : uint8(255);
        if (m == 0) continue;
        if (m == 255) {
            ConvertSample(src, srcDepth, dst, depth);
            continue;
        }
        const double before = LoadUnit(dst, depth);
        const double after = LoadUnit(src, srcDepth);
        StoreUnit(before + (after - before) * (m / 255.0), dst, depth);
    }
}

void FillRun(uint8* dst, int32 count, int64_t stride, const uint8* sample, int32 depth) {
    const std::size_t b = std::size_t(BytesPerSample(depth));
    for (int32 i = 0; i < count; ++i, dst += stride) std::memcpy(dst, sample, b);
}

}  // namespace hostsim
