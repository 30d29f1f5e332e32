#include "filter/compositing.h"

#include <cstring>

namespace {

// Host samples need not be aligned to their size: load and store them byte-wise.
template <class T>
T Load(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <class T>
void Store(unsigned char* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

// Blend arithmetic per depth. C is a colour byte, a the bubble's alpha, na = 255 - a.
struct Blend8 {
    using Sample = std::uint8_t;
    // A fully covering pixel takes C itself and the full transparency: the blend's exact value.
    static constexpr bool kExactOpaque = true;
    static Sample Opaque(std::uint32_t c) { return Sample(c); }
    static constexpr Sample kFull = 255;
    static Sample Colour(std::uint32_t c, std::uint32_t a, std::uint32_t na, Sample s) {
        return Sample((c * a + std::uint32_t(s) * na) / 255u);
    }
    static Sample Transparency(std::uint32_t a, std::uint32_t na, Sample s) {
        return Sample((std::uint32_t(s) * na + a * 255u) / 255u);
    }
};

struct Blend16 {
    using Sample = std::uint16_t;
    static constexpr bool kExactOpaque = true;
    static Sample Opaque(std::uint32_t c) { return Sample(c * 32768u / 255u); }
    static constexpr Sample kFull = 32768;
    static Sample Colour(std::uint32_t c, std::uint32_t a, std::uint32_t na, Sample s) {
        const std::uint32_t c16 = c * 32768u / 255u;
        return Sample((c16 * a + std::uint32_t(s) * na) / 255u);
    }
    static Sample Transparency(std::uint32_t a, std::uint32_t na, Sample s) {
        return Sample((std::uint32_t(s) * na + a * 32768u) / 255u);
    }
};

struct Blend32F {
    using Sample = float;
    // (Cf * 255 + 0 * s) / 255 need not give Cf back in floats: always blended.
    static constexpr bool kExactOpaque = false;
    static Sample Opaque(std::uint32_t) { return 0.0f; }
    static constexpr Sample kFull = 1.0f;
    static Sample Colour(std::uint32_t c, std::uint32_t a, std::uint32_t na, Sample s) {
        const float cf = float(c) / 255.0f;
        return (cf * float(a) + float(na) * s) / 255.0f;
    }
    static Sample Transparency(std::uint32_t a, std::uint32_t na, Sample s) {
        return (float(na) * s + float(a)) / 255.0f;
    }
};

// Channels: 4 RGB + transparency, 3 RGB, 2 gray + transparency, 1 gray.
template <class B, int Channels>
void Composite(const SourcePixels& source, const DestinationPixels& destination, const BubblePixels& bubble) {
    using Sample = typename B::Sample;
    constexpr bool kGray = Channels <= 2;
    constexpr bool kTransparency = Channels == 4 || Channels == 2;
    constexpr int kColourPlanes = kGray ? 1 : 3;
    if (!source.data || !destination.data || bubble.width <= 0 || bubble.height <= 0) return;
    const std::ptrdiff_t srcPlane = source.planeBytes ? source.planeBytes : std::ptrdiff_t(sizeof(Sample));
    const std::ptrdiff_t dstPlane = destination.planeBytes ? destination.planeBytes : std::ptrdiff_t(sizeof(Sample));

    const std::size_t width = std::size_t(bubble.width);
    const std::size_t stride = bubble.stride > bubble.width ? std::size_t(bubble.stride) : width;
    constexpr int kPlanes = kColourPlanes + (kTransparency ? 1 : 0);
    constexpr std::ptrdiff_t kPixel = kPlanes * std::ptrdiff_t(sizeof(Sample));
    // Samples packed pixel after pixel on both sides: runs of untouched pixels copy at once.
    const bool packed = source.columnBytes == kPixel && destination.columnBytes == kPixel &&
                        srcPlane == std::ptrdiff_t(sizeof(Sample)) && dstPlane == std::ptrdiff_t(sizeof(Sample));
    // 8-bit RGB rows are laid out as the drawn colours: runs of full cover copy at once too.
    constexpr bool kRgbBytes = sizeof(Sample) == 1 && Channels == 3;
    for (std::int32_t r = 0; r < bubble.height; ++r) {
        const unsigned char* srcRow = source.data + r * source.rowBytes;
        unsigned char* dstRow = destination.data + r * destination.rowBytes;
        const std::size_t row = bubble.sameRows ? 0 : std::size_t(r);
        const unsigned char* rgb = bubble.rgb ? bubble.rgb + row * stride * 3 : nullptr;
        const unsigned char* alpha = bubble.alpha ? bubble.alpha + row * stride : nullptr;
        for (std::size_t c = 0; c < width;) {
            const unsigned char* src = srcRow + std::ptrdiff_t(c) * source.columnBytes;
            unsigned char* dst = dstRow + std::ptrdiff_t(c) * destination.columnBytes;
            const std::uint32_t a = alpha ? alpha[c] : 0u;
            if (a == 0) {
                // Untouched: the source's samples exactly (the float blend would round them).
                std::size_t end = c + 1;
                while (end < width && (!alpha || alpha[end] == 0)) ++end;
                if (packed) {
                    std::memmove(dst, src, (end - c) * std::size_t(kPixel));
                } else {
                    for (std::size_t i = c; i < end; ++i) {
                        for (int p = 0; p < kPlanes; ++p)
                            std::memcpy(dst + p * dstPlane, src + p * srcPlane, sizeof(Sample));
                        src += source.columnBytes;
                        dst += destination.columnBytes;
                    }
                }
                c = end;
                continue;
            }
            std::uint32_t colour[3] = {0, 0, 0};
            if (rgb) {
                colour[0] = rgb[c * 3];
                colour[1] = rgb[c * 3 + 1];
                colour[2] = rgb[c * 3 + 2];
            }
            if (kGray) colour[0] = (colour[0] + colour[1] + colour[2]) / 3u;
            if (B::kExactOpaque && a == 255) {
                if (kRgbBytes && packed && rgb) {
                    std::size_t end = c + 1;
                    while (end < width && alpha[end] == 255) ++end;
                    std::memcpy(dst, rgb + c * 3, (end - c) * 3);
                    c = end;
                    continue;
                }
                for (int p = 0; p < kColourPlanes; ++p) Store<Sample>(dst + p * dstPlane, B::Opaque(colour[p]));
                if (kTransparency) Store<Sample>(dst + kColourPlanes * dstPlane, B::kFull);
                ++c;
                continue;
            }
            const std::uint32_t na = 255u - a;
            for (int p = 0; p < kColourPlanes; ++p)
                Store<Sample>(dst + p * dstPlane, B::Colour(colour[p], a, na, Load<Sample>(src + p * srcPlane)));
            if (kTransparency)
                Store<Sample>(dst + kColourPlanes * dstPlane,
                              B::Transparency(a, na, Load<Sample>(src + kColourPlanes * srcPlane)));
            ++c;
        }
    }
}

}  // namespace

void CompositeRGBA8(const SourcePixels& s, const DestinationPixels& d, const BubblePixels& b) {
    Composite<Blend8, 4>(s, d, b);
}
void CompositeRGB8(const SourcePixels& s, const DestinationPixels& d, const BubblePixels& b) {
    Composite<Blend8, 3>(s, d, b);
}
void CompositeGrayAlpha8(const SourcePixels& s, const DestinationPixels& d, const BubblePixels& b) {
    Composite<Blend8, 2>(s, d, b);
}
void CompositeGray8(const SourcePixels& s, const DestinationPixels& d, const BubblePixels& b) {
    Composite<Blend8, 1>(s, d, b);
}
void CompositeRGBA16(const SourcePixels& s, const DestinationPixels& d, const BubblePixels& b) {
    Composite<Blend16, 4>(s, d, b);
}
void CompositeRGB16(const SourcePixels& s, const DestinationPixels& d, const BubblePixels& b) {
    Composite<Blend16, 3>(s, d, b);
}
void CompositeGrayAlpha16(const SourcePixels& s, const DestinationPixels& d, const BubblePixels& b) {
    Composite<Blend16, 2>(s, d, b);
}
void CompositeGray16(const SourcePixels& s, const DestinationPixels& d, const BubblePixels& b) {
    Composite<Blend16, 1>(s, d, b);
}
void CompositeRGBA32F(const SourcePixels& s, const DestinationPixels& d, const BubblePixels& b) {
    Composite<Blend32F, 4>(s, d, b);
}
void CompositeRGB32F(const SourcePixels& s, const DestinationPixels& d, const BubblePixels& b) {
    Composite<Blend32F, 3>(s, d, b);
}
void CompositeGrayAlpha32F(const SourcePixels& s, const DestinationPixels& d, const BubblePixels& b) {
    Composite<Blend32F, 2>(s, d, b);
}
void CompositeGray32F(const SourcePixels& s, const DestinationPixels& d, const BubblePixels& b) {
    Composite<Blend32F, 1>(s, d, b);
}

namespace {

using Compositor = void (*)(const SourcePixels&, const DestinationPixels&, const BubblePixels&);

Compositor FindCompositor(int channels, int bits) {
    // Rows: 4, 3, 2, 1 channels; columns: 8, 16, 32 bits.
    static const Compositor table[4][3] = {
        {CompositeRGBA8, CompositeRGBA16, CompositeRGBA32F},
        {CompositeRGB8, CompositeRGB16, CompositeRGB32F},
        {CompositeGrayAlpha8, CompositeGrayAlpha16, CompositeGrayAlpha32F},
        {CompositeGray8, CompositeGray16, CompositeGray32F},
    };
    if (channels < 1 || channels > 4) return nullptr;
    const int column = bits == 8 ? 0 : bits == 16 ? 1 : bits == 32 ? 2 : -1;
    if (column < 0) return nullptr;
    return table[4 - channels][column];
}

}  // namespace

bool HasCompositor(int channels, int bits) { return FindCompositor(channels, bits) != nullptr; }

bool CompositeBubble(int channels, int bits, const SourcePixels& source, const DestinationPixels& destination,
                     const BubblePixels& bubble) {
    const Compositor compositor = FindCompositor(channels, bits);
    if (!compositor) return false;
    compositor(source, destination, bubble);
    return true;
}

void CopyUncovered(int channels, int bits, const SourcePixels& source, const DestinationPixels& destination,
                   std::int32_t width, std::int32_t height) {
    if (!source.data || !destination.data || width <= 0 || height <= 0 || channels <= 0) return;
    const std::ptrdiff_t sample = bits / 8;
    const std::ptrdiff_t srcPlane = source.planeBytes ? source.planeBytes : sample;
    const std::ptrdiff_t dstPlane = destination.planeBytes ? destination.planeBytes : sample;
    const std::ptrdiff_t pixel = sample * channels;
    // Interleaved rows of exactly the copied planes on both sides: whole rows at once.
    const bool rows = source.columnBytes == pixel && destination.columnBytes == pixel && srcPlane == sample &&
                      dstPlane == sample;
    for (std::int32_t r = 0; r < height; ++r) {
        const unsigned char* src = source.data + r * source.rowBytes;
        unsigned char* dst = destination.data + r * destination.rowBytes;
        if (rows) {
            std::memmove(dst, src, std::size_t(pixel) * std::size_t(width));
            continue;
        }
        for (std::int32_t c = 0; c < width; ++c) {
            for (int p = 0; p < channels; ++p)
                std::memmove(dst + p * dstPlane, src + p * srcPlane, std::size_t(sample));
            src += source.columnBytes;
            dst += destination.columnBytes;
        }
    }
}
