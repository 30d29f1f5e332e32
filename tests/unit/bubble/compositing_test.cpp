// The twelve compositors: exact integer and float blending of the drawn tile over the source.
#include "filter/compositing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kPixels = 5;  // one row

// Blends a row of one drawn colour and alpha over `source` (kPixels x channels samples of T)
// and returns the destination.
template <class T>
std::vector<T> Blend(int channels, int bits, std::vector<T> source, int r, int g, int b, int a,
                     bool drawn = true) {
    std::vector<unsigned char> rgb, alpha(kPixels, (unsigned char)a);
    for (int i = 0; i < kPixels; ++i) rgb.insert(rgb.end(), {(unsigned char)r, (unsigned char)g, (unsigned char)b});
    std::vector<T> destination(source.size(), T(7));
    const std::ptrdiff_t column = channels * std::ptrdiff_t(sizeof(T)), row = kPixels * column;
    const BubblePixels pixels{drawn ? rgb.data() : nullptr, drawn ? alpha.data() : nullptr, kPixels, 1};
    const SourcePixels src{reinterpret_cast<const unsigned char*>(source.data()), row, column, 0};
    const DestinationPixels dst{reinterpret_cast<unsigned char*>(destination.data()), row, column, 0};
    EXPECT_TRUE(CompositeBubble(channels, bits, src, dst, pixels));
    return destination;
}

template <class T>
std::vector<T> Filled(int channels, T v) { return std::vector<T>(std::size_t(kPixels * channels), v); }

template <class T>
void ExpectUntouched(int bits, T maxSample) {
    for (int channels = 1; channels <= 4; ++channels) {
        std::vector<T> source = Filled<T>(channels, T(0));
        for (std::size_t i = 0; i < source.size(); ++i)
            source[i] = T(double(maxSample) * double(i) / double(source.size() - 1));
        for (bool drawn : {true, false}) {  // colour under alpha 0 must not leak; no pixels mean the same
            const std::vector<T> out = Blend<T>(channels, bits, source, 200, 10, 99, 0, drawn);
            for (std::size_t i = 0; i < source.size(); ++i) {
                if (bits == 32)  // 255 * s / 255 in float: within rounding
                    EXPECT_NEAR(out[i], source[i], 2.4e-7);
                else
                    EXPECT_EQ(out[i], source[i]) << channels << " planes, " << bits << " bits";
            }
        }
    }
}

TEST(Compositing, AnUntouchedTileEqualsItsSource) {
    ExpectUntouched<std::uint8_t>(8, 255);
    ExpectUntouched<std::uint16_t>(16, 32768);
    ExpectUntouched<float>(32, 1.0f);
}

TEST(Compositing, FullCoverGivesTheBubblesColourAndFullTransparency) {
    using V8 = std::vector<std::uint8_t>;
    using V16 = std::vector<std::uint16_t>;
    // Over a source whose transparency is 0; 16 bits scale C by 32768 / 255, white is 32768.
    const V8 rgba8 = Blend<std::uint8_t>(4, 8, Filled<std::uint8_t>(4, 0), 12, 200, 255, 255);
    EXPECT_EQ(V8(rgba8.end() - 4, rgba8.end()), (V8{12, 200, 255, 255}));
    const V16 rgba16 = Blend<std::uint16_t>(4, 16, Filled<std::uint16_t>(4, 0), 12, 200, 255, 255);
    EXPECT_EQ(V16(rgba16.begin(), rgba16.begin() + 4), (V16{1542, 25700, 32768, 32768}));
    const std::vector<float> rgbaF = Blend<float>(4, 32, Filled<float>(4, 0.0f), 12, 255, 255, 255);
    EXPECT_FLOAT_EQ(rgbaF[0], 12.0f / 255.0f);
    EXPECT_EQ(rgbaF[1], 1.0f);
    EXPECT_EQ(rgbaF[3], 1.0f);
    EXPECT_EQ(Blend<std::uint8_t>(3, 8, Filled<std::uint8_t>(3, 9), 1, 2, 3, 255)[2], 3);
    // Gray takes the integer average: pure red gives 85.
    EXPECT_EQ(Blend<std::uint8_t>(1, 8, Filled<std::uint8_t>(1, 200), 255, 0, 0, 255)[0], 85);
    EXPECT_EQ(Blend<std::uint8_t>(2, 8, Filled<std::uint8_t>(2, 0), 255, 0, 0, 255)[1], 255);
    EXPECT_EQ(Blend<std::uint16_t>(2, 16, Filled<std::uint16_t>(2, 0), 255, 0, 0, 255)[0], 10922);
    EXPECT_EQ(Blend<std::uint16_t>(2, 16, Filled<std::uint16_t>(2, 0), 255, 0, 0, 255)[1], 32768);
    EXPECT_FLOAT_EQ(Blend<float>(2, 32, Filled<float>(2, 0.5f), 255, 0, 0, 255)[0], 85.0f / 255.0f);
    EXPECT_EQ(Blend<float>(2, 32, Filled<float>(2, 0.0f), 255, 0, 0, 255)[1], 1.0f);
}

TEST(Compositing, PartialCoverTruncates) {
    // a = 128: white over black, black over white, and the transparency plane.
    EXPECT_EQ(Blend<std::uint8_t>(4, 8, Filled<std::uint8_t>(4, 0), 255, 255, 255, 128)[3], 128);
    EXPECT_EQ(Blend<std::uint8_t>(4, 8, Filled<std::uint8_t>(4, 255), 0, 0, 0, 128)[0], 127);
    EXPECT_EQ(Blend<std::uint16_t>(3, 16, Filled<std::uint16_t>(3, 0), 255, 255, 255, 128)[0], 16448);
}

TEST(Compositing, UnsupportedPlanesOrDepthsWriteNothing) {
    std::vector<unsigned char> source(64, 1), destination(64, 42), rgb(3, 255), alpha(1, 255);
    for (auto [channels, bits] : {std::pair{5, 8}, {0, 8}, {3, 1}, {1, 24}, {4, 64}}) {
        EXPECT_FALSE(HasCompositor(channels, bits));
        EXPECT_FALSE(CompositeBubble(channels, bits, {source.data(), 64, 8, 0}, {destination.data(), 64, 8, 0},
                                     {rgb.data(), alpha.data(), 1, 1}));
    }
    EXPECT_EQ(destination, std::vector<unsigned char>(64, 42));
}

TEST(Compositing, UnalignedSamplesAndPlaneStrides) {
    // 16-bit samples on an odd address, with a spare sample per pixel that stays untouched.
    std::vector<unsigned char> memory(1 + 8, 0xAB), zeros(9, 0), rgb{255, 255, 255}, alpha{255};
    CompositeRGB16({zeros.data() + 1, 8, 8, 2}, {memory.data() + 1, 8, 8, 2}, {rgb.data(), alpha.data(), 1, 1});
    std::uint16_t v[3];
    std::memcpy(v, memory.data() + 1, 6);
    EXPECT_EQ(std::vector<std::uint16_t>(v, v + 3), (std::vector<std::uint16_t>{32768, 32768, 32768}));
    EXPECT_EQ(memory[7], 0xAB);
    // Planar rows: plane p lies p * planeBytes after the pixel.
    std::vector<unsigned char> planar(6, 0), colour{10, 20, 30, 10, 20, 30}, opaque{255, 255};
    CompositeRGB8({planar.data(), 2, 1, 2}, {planar.data(), 2, 1, 2}, {colour.data(), opaque.data(), 2, 1});
    EXPECT_EQ(planar, (std::vector<unsigned char>{10, 10, 20, 20, 30, 30}));
}

}  // namespace
