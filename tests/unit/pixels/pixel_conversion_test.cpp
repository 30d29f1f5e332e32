#include "host/pixel_conversion.h"
#include "test_plugin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace Corvantis::Host::PS;

namespace {

fake::Options WithColorSpace(bool depthSuite = false) {
    fake::Options o;
    o.colorSpace = true;
    o.depthSuite = depthSuite;
    return o;
}

fake::Document SmallDoc() { return fake::Document::Make(4, 4, plugInModeRGBColor, 8, 3); }

}  // namespace

TEST(PixelConversion, ScratchSizesFollowTheLargerDepthAndTheColourChange) {
    EXPECT_EQ(ConversionScratchSize(plugInModeRGBColor, plugInModeRGB48, 8, 16, 10), 0u);  // same space
    EXPECT_EQ(ConversionScratchSize(plugInModeCMYKColor, plugInModeRGBColor, 8, 8, 10), 40u);
    EXPECT_EQ(ConversionScratchSize(plugInModeCMYK64, plugInModeRGBColor, 16, 8, 10), 80u);
    EXPECT_EQ(ConversionScratchSize(plugInModeRGB96, plugInModeGray32, 32, 32, 10), 0u);
    EXPECT_EQ(IntermediateRunSize(plugInModeCMYK64, plugInModeRGBColor, 4, 16, 8, 10), 0u + 2 * 3 * 10);
    EXPECT_EQ(IntermediateRunSize(plugInModeCMYK64, plugInModeRGBColor, 5, 16, 8, 10), 2u * 4 * 10);
    EXPECT_EQ(IntermediateRunSize(plugInModeGrayScale, plugInModeRGB48, 2, 8, 16, 10), 2u * 2 * 10);
    EXPECT_EQ(IntermediateRunSize(plugInModeCMYKColor, plugInModeRGBColor, 4, 8, 8, 10), 0u);
}

TEST(PixelConversion, OwnDepthArithmetic) {
    fake::FakeHost host(SmallDoc(), fake::Options{});
    BoundPlugin plugin(host);
    const uint8 in8[] = {0, 1, 128, 255};
    uint16 out16[4];
    ConvertDepth(plugin, 1, 8, 16, in8, out16, 4);
    EXPECT_EQ(out16[0], 0);
    EXPECT_EQ(out16[1], 128);
    EXPECT_EQ(out16[2], 16448);
    EXPECT_EQ(out16[3], 32768);

    const uint16 in16[] = {16384, 32768, 40000, 1};
    uint8 out8[4];
    ConvertDepth(plugin, 2, 16, 8, in16, out8, 2);
    EXPECT_EQ(out8[0], 127);
    EXPECT_EQ(out8[1], 255);
    EXPECT_EQ(out8[2], 255);
    EXPECT_EQ(out8[3], 0);

    const float in32[] = {1.5f, -0.2f, 1.0f, 0.999f, std::nanf("")};
    uint8 f8[5];
    ConvertDepth(plugin, 5, 32, 8, in32, f8, 1);
    EXPECT_EQ(f8[0], 255);
    EXPECT_EQ(f8[1], 0);
    EXPECT_EQ(f8[2], 255);
    EXPECT_EQ(f8[3], 254);
    EXPECT_EQ(f8[4], 0);

    float back[2];
    ConvertDepth(plugin, 2, 8, 32, in8 + 2, back, 1);
    EXPECT_FLOAT_EQ(back[0], 128.0f / 255.0f);
    EXPECT_FLOAT_EQ(back[1], 1.0f);

    // Pairs the effective modes never ask for leave the destination alone.
    uint16 untouched[2] = {7, 7};
    ConvertDepth(plugin, 2, 32, 16, in32, untouched, 1);
    EXPECT_EQ(untouched[0], 7);
}

TEST(PixelConversion, SuiteCallsAreChunkedAt32000) {
    fake::FakeHost host(SmallDoc(), WithColorSpace(true));
    BoundPlugin plugin(host);
    const uint64_t count = 70000;
    std::vector<uint8> rgb(count * 3), cmyk(count * 4), slots(ConversionScratchSize(3, 4, 8, 8, count));
    for (uint64_t i = 0; i < rgb.size(); ++i) rgb[i] = uint8(i * 7);
    ConvertColorSpace(plugin, plugInModeRGBColor, plugInModeCMYKColor, 3, 8, slots.data(), rgb.data(), cmyk.data(),
                      count);
    EXPECT_EQ(host.colorChunks, (std::vector<int>{32000, 32000, 6000}));
    // Right-aligned slots: R, G, B arrive as the suite's RGB and leave as C, M, Y, K.
    const uint64_t last = count - 1;
    EXPECT_EQ(cmyk[last * 4 + 0], 255 - rgb[last * 3 + 0]);
    EXPECT_EQ(cmyk[last * 4 + 2], 255 - rgb[last * 3 + 2]);
    EXPECT_EQ(cmyk[last * 4 + 3], 0);

    std::vector<uint16> wide(count);
    ConvertDepth(plugin, 1, 8, 16, rgb.data(), wide.data(), count);
    EXPECT_EQ(host.depthChunks, (std::vector<int>{32000, 32000, 6000}));
}

TEST(PixelConversion, ExtraSamplesPassThroughEveryConversion) {
    fake::FakeHost host(SmallDoc(), WithColorSpace());
    BoundPlugin plugin(host);
    // 8-bit RGB plus one extra plane to gray: gray then the untouched extra.
    const uint8 rgba[] = {10, 20, 30, 40, 50, 60, 70, 80};
    uint8 slots[8], gray[4];
    ConvertPixels(plugin, plugInModeRGBColor, plugInModeGrayScale, 4, 8, 8, slots, nullptr, rgba, gray, 2);
    EXPECT_EQ((std::vector<uint8>(gray, gray + 4)), (std::vector<uint8>{20, 40, 60, 80}));

    // Same colour space and depth: a plain copy.
    uint8 copy[8] = {};
    ConvertPixels(plugin, plugInModeRGBColor, plugInModeRGBColor, 4, 8, 8, nullptr, nullptr, rgba, copy, 2);
    EXPECT_EQ(std::memcmp(copy, rgba, 8), 0);

    // 16-bit CMYK plus alpha to 8-bit RGB: colour at 16 bits, then 3 + 1 samples narrowed.
    const uint16 cmyka[] = {32768, 0, 16384, 0, 32768};
    uint16 slots16[4];
    std::vector<uint8> intermediate(IntermediateRunSize(plugInModeCMYK64, plugInModeRGBColor, 5, 16, 8, 1));
    ASSERT_EQ(intermediate.size(), 2u * 4);
    uint8 rgb8[4];
    ConvertPixels(plugin, plugInModeCMYK64, plugInModeRGBColor, 5, 16, 8, slots16, intermediate.data(), cmyka, rgb8,
                  1);
    EXPECT_EQ((std::vector<uint8>(rgb8, rgb8 + 4)), (std::vector<uint8>{0, 255, 127, 255}));

    // 32 bits: own rules for RGB <-> gray, extras kept.
    const float frgb[] = {0.5f, 1.0f, 0.0f, 0.25f};
    float fgray[2];
    ConvertPixels(plugin, plugInModeRGB96, plugInModeGray32, 4, 32, 32, nullptr, nullptr, frgb, fgray, 1);
    EXPECT_FLOAT_EQ(fgray[0], (1.0f * 6 + 0.5f * 3 + 0.0f) / 10);
    EXPECT_FLOAT_EQ(fgray[1], 0.25f);
    float frgb2[4];
    ConvertPixels(plugin, plugInModeGray32, plugInModeRGB96, 2, 32, 32, nullptr, nullptr, fgray, frgb2, 1);
    EXPECT_EQ((std::vector<float>(frgb2, frgb2 + 4)), (std::vector<float>{fgray[0], fgray[0], fgray[0], 0.25f}));
}

TEST(PixelConversion, ColourWithoutAWorkingSuiteFailsClearly) {
    const uint8 rgb[] = {1, 2, 3};
    uint8 slots[4], cmyk[4], gray[1] = {9};
    {
        fake::FakeHost host(SmallDoc(), fake::Options{});  // no ColorSpace suite
        BoundPlugin plugin(host);
        EXPECT_THROW(ConvertPixels(plugin, plugInModeRGBColor, plugInModeCMYKColor, 3, 8, 8, slots, nullptr, rgb,
                                   cmyk, 1),
                     PS::Host::ErrorAlreadySet);
        EXPECT_EQ(plugin.result, errPlugInHostInsufficient);
        // Depth conversion and 32-bit colour need no suite.
        uint16 wide[3];
        EXPECT_NO_THROW(ConvertPixels(plugin, plugInModeRGBColor, plugInModeRGB48, 3, 8, 16, nullptr, nullptr, rgb,
                                      wide, 1));
        EXPECT_EQ(wide[2], 3 * 32768 / 255);
    }
    {
        fake::FakeHost host(SmallDoc(), WithColorSpace());
        host.failColorConversion = true;
        BoundPlugin plugin(host);
        EXPECT_THROW(ConvertColorSpace(plugin, plugInModeRGBColor, plugInModeGrayScale, 3, 8, slots, rgb, gray, 1),
                     PS::Host::ErrorAlreadySet);
        EXPECT_EQ(plugin.result, errPlugInHostInsufficient);
    }
}
