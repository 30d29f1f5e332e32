#include "filter/tellora_plugin.h"
#include "host/image_modes.h"
#include "test_host.h"

#include <gtest/gtest.h>

using namespace Corvantis::Host::PS;

namespace {

TEST(ImageModes, TablesAndOutOfRangeModes) {
    EXPECT_EQ(BitsPerChannelOfMode(plugInModeBitmap), 1);
    EXPECT_EQ(BitsPerChannelOfMode(plugInModeCMYK64), 16);
    EXPECT_EQ(BitsPerChannelOfMode(plugInModeGray32), 32);
    EXPECT_EQ(BitsPerChannelOfMode(plugInModeDeepMultichannel), 16);
    EXPECT_EQ(ChannelCountOfMode(plugInModeMultichannel, 5), 5);
    EXPECT_EQ(ChannelCountOfMode(plugInModeDeepMultichannel, 2), 2);
    EXPECT_EQ(ChannelCountOfMode(plugInModeCMYKColor, 9), 4);
    EXPECT_EQ(ColorSpaceOfMode(plugInModeDuotone16), 4);
    EXPECT_EQ(ColorSpaceOfMode(plugInModeLab48), 3);
    EXPECT_EQ(EightBitModeOf(plugInModeRGB96), plugInModeRGBColor);
    EXPECT_EQ(EightBitModeOf(plugInModeDuotone16), plugInModeDuotone);
    for (int32 mode : {-3, 18, 1000}) {
        EXPECT_EQ(BitsPerChannelOfMode(mode), 8);
        EXPECT_EQ(ChannelCountOfMode(mode, 7), 7);
        EXPECT_EQ(ColorSpaceOfMode(mode), -1);
        EXPECT_EQ(EightBitModeOf(mode), mode);
    }
}

TEST(EffectiveMode, PluginProcessesCmykLabHsbHslAsRgbAndKeepsEveryOtherMode) {
    TelloraPluginPS plugin;
    const std::pair<int16, int16> expected[] = {
        {plugInModeBitmap, plugInModeBitmap},         {plugInModeGrayScale, plugInModeGrayScale},
        {plugInModeIndexedColor, plugInModeIndexedColor}, {plugInModeRGBColor, plugInModeRGBColor},
        {plugInModeCMYKColor, plugInModeRGBColor},    {plugInModeHSLColor, plugInModeRGBColor},
        {plugInModeHSBColor, plugInModeRGBColor},     {plugInModeMultichannel, plugInModeMultichannel},
        {plugInModeDuotone, plugInModeDuotone},       {plugInModeLabColor, plugInModeRGBColor},
        {plugInModeGray16, plugInModeGray16},         {plugInModeRGB48, plugInModeRGB48},
        {plugInModeLab48, plugInModeRGB48},           {plugInModeCMYK64, plugInModeRGB48},
        {plugInModeDeepMultichannel, plugInModeDeepMultichannel}, {plugInModeDuotone16, plugInModeDuotone16},
        {plugInModeRGB96, plugInModeRGB96},           {plugInModeGray32, plugInModeGray32},
    };
    for (auto [mode, effective] : expected) EXPECT_EQ(plugin.EffectiveMode(mode), effective) << "mode " << mode;
}

TEST(EffectiveMode, BaseDefaultsTreatGrayAsRgb) {
    TestHost host;
    EXPECT_EQ(host.EffectiveMode(plugInModeGrayScale), plugInModeRGBColor);
    EXPECT_EQ(host.EffectiveMode(plugInModeGray16), plugInModeRGB48);
    EXPECT_EQ(host.EffectiveMode(plugInModeGray32), plugInModeRGB96);
}

TEST(Rects, IntersectContainsScale) {
    const VRect a{0, 0, 100, 200}, b{50, -10, 150, 100};
    const VRect i = IntersectRect(a, b);
    EXPECT_EQ(i.top, 50);
    EXPECT_EQ(i.left, 0);
    EXPECT_EQ(i.bottom, 100);
    EXPECT_EQ(i.right, 100);
    EXPECT_TRUE(RectContains(a, VRect{10, 10, 20, 20}));
    EXPECT_FALSE(RectContains(a, b));
    const VRect inverted = IntersectRect(VRect{0, 0, 10, 10}, VRect{20, 20, 30, 30});
    EXPECT_EQ(inverted.top, 20);
    EXPECT_EQ(inverted.bottom, 10) << "an empty intersection comes out as it is";
    const VRect s = ScaleRect(VRect{-3, 3, 10, 11}, 0.5f);
    EXPECT_EQ(s.top, -1);
    EXPECT_EQ(s.left, 1);
    EXPECT_EQ(s.bottom, 5);
    EXPECT_EQ(s.right, 5);
}

TEST(HostRects, SixteenBitFieldsKeepLowBitsAndPlanesUseDummies) {
    FilterRecord record{};
    int16 result = 0;
    TestHost host;
    host.Init(&record, false, nullptr, &result, "T");
    host.SetOutRect(VRect{0, 0, 40000, 70000});
    EXPECT_EQ(record.outRect.bottom, int16(40000 - 65536));
    EXPECT_EQ(record.outRect.right, int16(70000 - 65536));

    record.planes = 4;
    record.supportsDummyChannels = true;
    host.SetOutPlanes(2, 3);
    EXPECT_EQ(record.outLoPlane, 2);
    EXPECT_EQ(record.outHiPlane, 3);
    EXPECT_EQ(record.outPostDummyPlanes, 1);
    record.supportsDummyChannels = false;
    EXPECT_THROW(host.SetOutPlanes(2, 3), Host::ErrorAlreadySet);
    EXPECT_EQ(result, errPlugInHostInsufficient);

    for (int16 c = -1; c <= 8; ++c) {
        record.filterCase = c;
        EXPECT_EQ(host.HasTransparencyPlane(), c >= 4 && c <= 7) << c;
    }
}

TEST(HostRects, FitScaleAndBitsPerChannel) {
    FilterRecord record{};
    record.filterRect = {0, 0, 400, 1000};
    record.imageMode = plugInModeRGB48;
    int16 result = 0;
    TestHost host;
    host.Init(&record, false, nullptr, &result, "T");
    EXPECT_FLOAT_EQ(host.GetFitScale(VRect{0, 0, 300, 500}), 0.5f);
    EXPECT_FLOAT_EQ(host.GetFitScale(VRect{0, 0, 3000, 5000}), 1.0f);
    EXPECT_EQ(host.GetBitsPerChannel(), 16);
    record.depth = 32;
    EXPECT_EQ(host.GetBitsPerChannel(), 32);
}

}  // namespace

namespace {

// Every cell of the four mode tables, modes 0 to 17: bits, colour channels (0 for the modes
// that take the caller's default), colour space, 8-bit counterpart.
struct ModeRow {
    int32 mode, bits, channels, space, eightBit;
};
constexpr ModeRow kModeTable[] = {
    {0, 1, 1, -1, 0},  {1, 8, 1, 4, 1},   {2, 8, 3, -1, 2},   {3, 8, 3, 0, 3},    {4, 8, 4, 2, 4},  {5, 8, 3, 5, 5},
    {6, 8, 3, 1, 6},   {7, 8, 0, -1, 7},  {8, 8, 1, 4, 8},    {9, 8, 3, 3, 9},    {10, 16, 1, 4, 1}, {11, 16, 3, 0, 3},
    {12, 16, 3, 3, 9}, {13, 16, 4, 2, 4}, {14, 16, 0, -1, 7}, {15, 16, 1, 4, 8},  {16, 32, 3, 0, 3}, {17, 32, 1, 4, 1},
};

TEST(ImageModes, EveryCellOfTheTables) {
    static_assert(sizeof kModeTable / sizeof kModeTable[0] == 18, "modes 0 to 17");
    for (const ModeRow& row : kModeTable) {
        EXPECT_EQ(BitsPerChannelOfMode(row.mode), row.bits) << "mode " << row.mode;
        const int32 channels = row.channels ? row.channels : 11;  // 11: the caller's default
        EXPECT_EQ(ChannelCountOfMode(row.mode, 11), channels) << "mode " << row.mode;
        EXPECT_EQ(ColorSpaceOfMode(row.mode), row.space) << "mode " << row.mode;
        EXPECT_EQ(EightBitModeOf(row.mode), row.eightBit) << "mode " << row.mode;
    }
}

TEST(HostRequests, ClearRequestsEmptiesRectsPlanesAndDummyCounts) {
    FilterRecord record{};
    int16 result = 0;
    TestHost host;
    host.Init(&record, false, nullptr, &result, "T");
    record.inRect = record.outRect = record.maskRect = {1, 2, 3, 4};
    record.inLoPlane = record.outLoPlane = 1;
    record.inHiPlane = record.outHiPlane = 2;
    record.inPreDummyPlanes = 1;
    record.inPostDummyPlanes = 2;
    record.outPreDummyPlanes = 3;
    record.outPostDummyPlanes = 4;
    host.ClearRequests(false);
    EXPECT_EQ(record.inRect.bottom, 0);
    EXPECT_EQ(record.outRect.right, 0);
    EXPECT_EQ(record.maskRect.top, 0);
    EXPECT_EQ(record.inLoPlane + record.inHiPlane + record.outLoPlane + record.outHiPlane, 0);
    EXPECT_EQ(record.inPreDummyPlanes, 0);
    EXPECT_EQ(record.inPostDummyPlanes, 0);
    EXPECT_EQ(record.outPreDummyPlanes, 0);
    EXPECT_EQ(record.outPostDummyPlanes, 0);
}

int gAdvances = 0;
OSErr CountAdvance() {
    ++gAdvances;
    return noErr;
}

TEST(HostRequests, ReleaseInputDataGivesBackInputAndMaskOnlyWhenHeld) {
    FilterRecord record{};
    int16 result = 0;
    TestHost host;
    host.Init(&record, false, nullptr, &result, "T");
    record.advanceState = CountAdvance;
    gAdvances = 0;
    host.ReleaseInputData();  // nothing held: no request
    EXPECT_EQ(gAdvances, 0);

    unsigned char pixels[4] = {};
    record.inData = pixels;
    record.inRect = record.maskRect = record.outRect = {0, 0, 2, 2};
    host.ReleaseInputData();
    EXPECT_EQ(gAdvances, 1);
    EXPECT_EQ(record.inRect.bottom, 0);
    EXPECT_EQ(record.maskRect.right, 0);
    EXPECT_EQ(record.outRect.bottom, 2);  // the output stays requested

    record.inData = nullptr;
    record.maskData = pixels;
    record.maskRect = {0, 0, 2, 2};
    host.ReleaseInputData();
    EXPECT_EQ(gAdvances, 2);
    EXPECT_EQ(record.maskRect.bottom, 0);
}

}  // namespace
