// The ColorSpace suite: slots, spaces, depths, colour objects, and what it refuses.
#include "pixel_test_support.h"

#include "hostsim/color_space_suite.h"

#include <lcms2.h>

#include <algorithm>

#include <array>
#include <cmath>
#include <cstdlib>

namespace pixel_test {
namespace {

class ColorSpaceTest : public ::testing::Test {
protected:
    ColorEngine engine;
    FaultPlan faults;
    ProblemLog problems;
    ColorSpaceSuiteHost host{engine, faults, problems};
    ColorSpaceSuiteHost::ActiveScope active{host};
    const PSColorSpaceSuite1& suite = *host.table();

    // The suite takes arrays of four-sample colours.
    static Color8* C8(uint8* samples) { return reinterpret_cast<Color8*>(samples); }
    static Color16* C16(uint16* samples) { return reinterpret_cast<Color16*>(samples); }

    using Slot8 = std::array<uint8, 4>;
    Slot8 Convert8(int16 from, int16 to, Slot8 slot) {
        EXPECT_EQ(suite.Convert8(from, to, C8(slot.data()), 1), kSPNoError);
        return slot;
    }
};

TEST_F(ColorSpaceTest, ColoursSitRightAlignedInTheirSlots) {
    EXPECT_EQ(Convert8(plugIncolorServicesRGBSpace, plugIncolorServicesLabSpace, {9, 255, 255, 255}),
              (Slot8{0, 255, 128, 128}));
    EXPECT_EQ(Convert8(plugIncolorServicesGraySpace, plugIncolorServicesRGBSpace, {0, 0, 0, 128}),
              (Slot8{0, 128, 128, 128}));
    EXPECT_EQ(Convert8(plugIncolorServicesRGBSpace, plugIncolorServicesGraySpace, {0, 255, 255, 255}),
              (Slot8{0, 0, 0, 255}));
    EXPECT_EQ(Convert8(plugIncolorServicesCMYKSpace, plugIncolorServicesRGBSpace, {0, 0, 0, 0}),
              (Slot8{0, 255, 255, 255}));
    EXPECT_EQ(Convert8(plugIncolorServicesRGBSpace, plugIncolorServicesCMYKSpace, {0, 255, 0, 0}),
              (Slot8{0, 255, 255, 0}));
    EXPECT_EQ(Convert8(plugIncolorServicesRGBSpace, plugIncolorServicesCMYKSpace, {0, 0, 0, 0}),
              (Slot8{0, 0, 0, 255}));
    EXPECT_EQ(Convert8(plugIncolorServicesRGBSpace, plugIncolorServicesHSBSpace, {0, 255, 0, 0}),
              (Slot8{0, 0, 255, 255}));
    EXPECT_EQ(Convert8(plugIncolorServicesRGBSpace, plugIncolorServicesHSLSpace, {0, 0, 0, 255}),
              (Slot8{0, 170, 255, 128}));
}

TEST_F(ColorSpaceTest, SixteenBitSlotsRunTo32768) {
    std::array<uint16, 8> slots{0, 32768, 32768, 32768, 0, 0, 0, 16384};
    ASSERT_EQ(suite.Convert16(plugIncolorServicesRGBSpace, plugIncolorServicesLabSpace, C16(slots.data()), 1), kSPNoError);
    EXPECT_EQ(slots[1], 32768);
    EXPECT_NEAR(slots[2], 128.0 / 255 * 32768, 2);
    ASSERT_EQ(suite.Convert16(plugIncolorServicesGraySpace, plugIncolorServicesRGBSpace, C16(slots.data() + 4), 1),
              kSPNoError);
    EXPECT_NEAR(slots[5], 16384, 1);
    EXPECT_NEAR(slots[7], 16384, 1);
}

TEST_F(ColorSpaceTest, EveryPairOfSpacesKeepsColoursAnRGBImageCanHold) {
    const int16 spaces[] = {plugIncolorServicesRGBSpace, plugIncolorServicesHSBSpace, plugIncolorServicesCMYKSpace,
                            plugIncolorServicesLabSpace, plugIncolorServicesHSLSpace};
    for (int16 space : spaces) {
        // 16-bit slots: 1000 colours to the space and back.
        std::vector<uint16> slots(4000), original;
        for (int i = 0; i < 1000; ++i)
            for (int c = 1; c < 4; ++c) slots[std::size_t(i * 4 + c)] = uint16(Pattern(i, c, space) * 32768);
        original = slots;
        ASSERT_EQ(suite.Convert16(plugIncolorServicesRGBSpace, space, C16(slots.data()), 1000), kSPNoError);
        ASSERT_EQ(suite.Convert16(space, plugIncolorServicesRGBSpace, C16(slots.data()), 1000), kSPNoError);
        int worst = 0;
        for (std::size_t i = 0; i < slots.size(); ++i) worst = std::max(worst, std::abs(slots[i] - original[i]));
        EXPECT_LE(worst, 160) << ColorEngine::SpaceName(space);  // under half an 8-bit step
    }
}

// The exact conversion of 8-bit colours: the engine on unit doubles, rounded.
std::vector<uint8> Exact8(ColorEngine& engine, int16 from, int16 to, const std::vector<uint8>& packed) {
    const int k = ColorEngine::Components(from), m = ColorEngine::Components(to);
    const std::size_t n = packed.size() / std::size_t(k);
    std::vector<double> in(packed.size()), out(n * std::size_t(m));
    for (std::size_t i = 0; i < packed.size(); ++i) in[i] = packed[i] / 255.0;
    EXPECT_TRUE(engine.Convert(from, to, in.data(), out.data(), n));
    std::vector<uint8> exact(out.size());
    for (std::size_t i = 0; i < out.size(); ++i) exact[i] = uint8(std::lround(out[i] * 255.0));
    return exact;
}

TEST_F(ColorSpaceTest, EightBitTransformsStayWithinAStepOfTheExactConversion) {
    // The 8-bit transforms interpolate a table: one step of rounding is all they may add. The
    // colours include every corner and edge of the cube, where the separation's kinks lie.
    const int16 spaces[] = {plugIncolorServicesRGBSpace, plugIncolorServicesHSBSpace, plugIncolorServicesCMYKSpace,
                            plugIncolorServicesLabSpace, plugIncolorServicesGraySpace, plugIncolorServicesHSLSpace};
    for (int16 from : spaces) {
        const int k = ColorEngine::Components(from);
        std::vector<uint8> packed;
        for (int i = 0; i < 20000; ++i)
            for (int c = 0; c < k; ++c) {
                const int v = (i * (37 + 11 * c) + c * 101) % 263;  // past 255: clipped to the edge
                packed.push_back(uint8(std::min(v, 255)));
            }
        for (int16 to : spaces) {
            if (from == to) continue;
            const int m = ColorEngine::Components(to);
            const std::size_t n = packed.size() / std::size_t(k);
            const std::vector<uint8> exact = Exact8(engine, from, to, packed);
            std::vector<uint8> out(n * std::size_t(m));
            ASSERT_TRUE(engine.Convert8(from, to, packed.data(), out.data(), n, ColorEngine::Layout::Packed));
            int worst = 0;
            for (std::size_t i = 0; i < out.size(); ++i) worst = std::max(worst, std::abs(out[i] - exact[i]));
            EXPECT_LE(worst, 1) << ColorEngine::SpaceName(from) << " -> " << ColorEngine::SpaceName(to);

            // The suite's slots, converted in place, hold the same colours right-aligned.
            std::vector<uint8> slots(n * 4, 77);
            for (std::size_t i = 0; i < n; ++i)
                std::copy(packed.begin() + long(i * k), packed.begin() + long((i + 1) * k), slots.begin() + long(i * 4 + 4 - k));
            ASSERT_EQ(suite.Convert8(from, to, C8(slots.data()), int16(std::min<std::size_t>(n, 32000))), kSPNoError);
            for (std::size_t i = 0; i < n; ++i) {
                for (int c = 0; c < 4 - m; ++c) ASSERT_EQ(slots[i * 4 + std::size_t(c)], 0) << i;
                for (int c = 0; c < m; ++c) ASSERT_EQ(slots[i * 4 + std::size_t(4 - m + c)], out[i * m + c]) << i;
            }
        }
    }
}

TEST_F(ColorSpaceTest, LabIsConvertedExactlyAlsoOutsideTheRGBGamut) {
    // Saturated Lab colours clip in RGB; a table would smear the clipping across its cells.
    std::vector<uint8> lab;
    for (int l = 0; l < 256; l += 15)
        for (int a = 0; a < 256; a += 17)
            for (int b = 0; b < 256; b += 17) lab.insert(lab.end(), {uint8(l), uint8(a), uint8(b)});
    const std::size_t n = lab.size() / 3;
    std::vector<uint8> rgb(n * 3);
    ASSERT_TRUE(engine.Convert8(plugIncolorServicesLabSpace, plugIncolorServicesRGBSpace, lab.data(), rgb.data(), n,
                                ColorEngine::Layout::Packed));
    EXPECT_EQ(rgb, Exact8(engine, plugIncolorServicesLabSpace, plugIncolorServicesRGBSpace, lab));
}

TEST_F(ColorSpaceTest, LabToRgbAgreesWithLittleCmsStageByStage) {
    // The engine converts Lab to sRGB by the profile's matrix and curves itself; LittleCMS,
    // unoptimised, is the reference. Its pipeline runs in single precision: a step apart where
    // a value sits on a rounding edge, never more. White, black and grey stay neutral, and
    // colours past the gamut clip.
    cmsHPROFILE labProfile = cmsCreateLab4Profile(cmsD50_xyY());
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHTRANSFORM reference = cmsCreateTransform(labProfile, TYPE_Lab_DBL, srgb, TYPE_RGB_DBL,
                                                 INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOOPTIMIZE | cmsFLAGS_NOCACHE);
    ASSERT_NE(reference, nullptr);
    std::vector<uint8> lab;
    for (int l = 0; l < 256; l += 5)
        for (int a = 0; a < 256; a += 9)
            for (int b = 0; b < 256; b += 9) lab.insert(lab.end(), {uint8(l), uint8(a), uint8(b)});
    const std::size_t n = lab.size() / 3;
    std::vector<uint8> rgb(n * 3);
    ASSERT_TRUE(engine.Convert8(plugIncolorServicesLabSpace, plugIncolorServicesRGBSpace, lab.data(), rgb.data(), n,
                                ColorEngine::Layout::Packed));
    int worst = 0;
    std::size_t off = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double in[3] = {lab[i * 3] / 255.0 * 100.0, lab[i * 3 + 1] - 128.0, lab[i * 3 + 2] - 128.0};
        double out[3];
        cmsDoTransform(reference, in, out, 1);
        for (int c = 0; c < 3; ++c) {
            const int expected = int(std::lround(std::clamp(out[c], 0.0, 1.0) * 255.0));
            const int d = std::abs(expected - rgb[i * 3 + c]);
            worst = std::max(worst, d);
            off += d != 0;
        }
    }
    cmsDeleteTransform(reference);
    cmsCloseProfile(srgb);
    cmsCloseProfile(labProfile);
    EXPECT_LE(worst, 1);
    EXPECT_LT(off, n * 3 / 1000) << "of " << n * 3 << " samples";

    const auto convert = [&](std::array<uint8, 3> colour) {
        std::array<uint8, 3> out{};
        EXPECT_TRUE(engine.Convert8(plugIncolorServicesLabSpace, plugIncolorServicesRGBSpace, colour.data(), out.data(),
                                    1, ColorEngine::Layout::Packed));
        return out;
    };
    EXPECT_EQ(convert({255, 128, 128}), (std::array<uint8, 3>{255, 255, 255}));
    EXPECT_EQ(convert({0, 128, 128}), (std::array<uint8, 3>{0, 0, 0}));
    const std::array<uint8, 3> grey = convert({128, 128, 128});
    EXPECT_TRUE(grey[0] == grey[1] && grey[1] == grey[2] && grey[0] > 100 && grey[0] < 150) << int(grey[0]);
    const std::array<uint8, 3> red = convert({140, 255, 255});  // far past sRGB's red
    EXPECT_EQ(red[0], 255);
    EXPECT_EQ(red[2], 0);
}

TEST_F(ColorSpaceTest, LongConversionsSplitOverThreadsMatchShortOnes) {
    // Long enough to be split; an odd count leaves a short last part. Each pixel must match the
    // same colour converted alone, in place as well as between buffers, and in slots.
    constexpr std::size_t n = 5 * 65536 + 7;
    std::vector<uint8> rgb(n * 3);
    std::uint32_t seed = 1;
    for (uint8& v : rgb) v = uint8((seed = seed * 1664525u + 1013904223u) >> 24);
    const int16 from = plugIncolorServicesRGBSpace, to = plugIncolorServicesLabSpace;
    std::vector<uint8> whole(n * 3), alone(n * 3);
    ASSERT_TRUE(engine.Convert8(from, to, rgb.data(), whole.data(), n, ColorEngine::Layout::Packed));
    for (std::size_t i = 0; i < n; i += 997)
        ASSERT_TRUE(engine.Convert8(from, to, rgb.data() + i * 3, alone.data() + i * 3, std::min<std::size_t>(997, n - i),
                                    ColorEngine::Layout::Packed));
    ASSERT_EQ(whole, alone);

    std::vector<uint8> slots(n * 4, 0), expected(n * 4, 0);
    for (std::size_t i = 0; i < n; ++i) {
        std::copy(rgb.begin() + long(i * 3), rgb.begin() + long(i * 3 + 3), slots.begin() + long(i * 4 + 1));
        std::copy(whole.begin() + long(i * 3), whole.begin() + long(i * 3 + 3), expected.begin() + long(i * 4 + 1));
    }
    ASSERT_TRUE(engine.Convert8(from, to, slots.data(), slots.data(), n, ColorEngine::Layout::Slots));
    EXPECT_EQ(slots, expected);
}

TEST_F(ColorSpaceTest, CmykAndRgbBytesConvertByTheirFormulasInEveryLayout) {
    // The press and the separation in integers, rounded half up: every colour value against
    // every black, and every colour against every brighter maximum.
    const int16 rgbSpace = plugIncolorServicesRGBSpace, cmykSpace = plugIncolorServicesCMYKSpace;
    std::vector<uint8> cmyk, rgbExpected;
    for (int v = 0; v < 256; ++v)
        for (int k = 0; k < 256; ++k) {
            cmyk.insert(cmyk.end(), {uint8(v), uint8(255 - v), uint8(v / 2), uint8(k)});
            for (int c : {v, 255 - v, v / 2}) rgbExpected.push_back(uint8(((255 - c) * (255 - k) + 127) / 255));
        }
    std::vector<uint8> rgb, cmykExpected;
    for (int max = 0; max < 256; ++max)
        for (int c = 0; c <= max; ++c) {
            rgb.insert(rgb.end(), {uint8(c), uint8(max), uint8(c / 3)});
            for (int x : {c, max, c / 3}) cmykExpected.push_back(max ? uint8((510 * (max - x) + max) / (2 * max)) : 0);
            cmykExpected.push_back(uint8(255 - max));
        }
    const std::size_t nc = cmyk.size() / 4, nr = rgb.size() / 3;

    // Packed, between buffers and in place.
    std::vector<uint8> out(nc * 3);
    ASSERT_TRUE(engine.Convert8(cmykSpace, rgbSpace, cmyk.data(), out.data(), nc, ColorEngine::Layout::Packed));
    EXPECT_EQ(out, rgbExpected);
    std::vector<uint8> inPlace = cmyk;
    ASSERT_TRUE(engine.Convert8(cmykSpace, rgbSpace, inPlace.data(), inPlace.data(), nc, ColorEngine::Layout::Packed));
    EXPECT_TRUE(std::equal(rgbExpected.begin(), rgbExpected.end(), inPlace.begin()));
    inPlace = rgb;
    inPlace.resize(nr * 4);
    ASSERT_TRUE(engine.Convert8(rgbSpace, cmykSpace, inPlace.data(), inPlace.data(), nr, ColorEngine::Layout::Packed));
    EXPECT_EQ(inPlace, cmykExpected);

    // The suite's slots, in place.
    std::vector<uint8> slots(nr * 4, 99);
    for (std::size_t i = 0; i < nr; ++i) std::copy(rgb.begin() + long(i * 3), rgb.begin() + long(i * 3 + 3), slots.begin() + long(i * 4 + 1));
    for (std::size_t at = 0; at < nr; at += 30000)
        ASSERT_EQ(suite.Convert8(rgbSpace, cmykSpace, C8(slots.data() + at * 4), int16(std::min<std::size_t>(30000, nr - at))),
                  kSPNoError);
    EXPECT_EQ(slots, cmykExpected);
    for (std::size_t at = 0; at < nr; at += 30000)
        ASSERT_EQ(suite.Convert8(cmykSpace, rgbSpace, C8(slots.data() + at * 4), int16(std::min<std::size_t>(30000, nr - at))),
                  kSPNoError);
    for (std::size_t i = 0; i < nr; ++i) {
        ASSERT_EQ(slots[i * 4], 0) << i;
        // The separation keeps the colour: back in RGB within one step.
        for (int c = 0; c < 3; ++c) ASSERT_LE(std::abs(slots[i * 4 + 1 + c] - rgb[i * 3 + c]), 1) << i;
    }
}

TEST_F(ColorSpaceTest, DepthConversionsRoundAndClip) {
    uint8 bytes[] = {0, 1, 128, 255};
    uint16 words[4];
    ASSERT_EQ(suite.Convert8to16(bytes, words, 4), kSPNoError);
    EXPECT_EQ(words[1], 129);  // 128.5, rounded
    EXPECT_EQ(words[2], 16448);
    EXPECT_EQ(words[3], 32768);
    uint16 deep[] = {0, 16384, 32768, 40000};
    uint8 narrow[4];
    ASSERT_EQ(suite.Convert16to8(deep, narrow, 4), kSPNoError);
    EXPECT_EQ(narrow[1], 128);
    EXPECT_EQ(narrow[2], 255);
    EXPECT_EQ(narrow[3], 255);
    float floats[] = {-0.2f, 0.5f, 1.0f, 1.5f};
    ASSERT_EQ(suite.Convert32to8(floats, narrow, 4), kSPNoError);
    EXPECT_EQ(narrow[0], 0);
    EXPECT_EQ(narrow[1], 128);
    EXPECT_EQ(narrow[2], 255);
    EXPECT_EQ(narrow[3], 255);
}

TEST_F(ColorSpaceTest, RefusesNonsenseWithAReason) {
    uint8 slots[8] = {};
    EXPECT_EQ(suite.Convert8(plugIncolorServicesRGBSpace, 9, C8(slots), 1), paramErr);
    EXPECT_EQ(suite.Convert8(plugIncolorServicesRGBSpace, plugIncolorServicesLabSpace, C8(slots), -1), paramErr);
    EXPECT_EQ(suite.Convert8(plugIncolorServicesRGBSpace, plugIncolorServicesLabSpace, nullptr, 2), paramErr);
    EXPECT_EQ(suite.Convert8to16(nullptr, nullptr, 3), paramErr);
    EXPECT_EQ(problems.count(), 4u);
    EXPECT_TRUE(problems.Contains("unknown colour space 9"));
    EXPECT_EQ(suite.Convert8(plugIncolorServicesRGBSpace, plugIncolorServicesLabSpace, nullptr, 0), kSPNoError);
}

TEST_F(ColorSpaceTest, ColourObjectsConvertAndAreCounted) {
    ColorID color = nullptr;
    ASSERT_EQ(suite.Make(&color), kSPNoError);
    EXPECT_EQ(host.outstandingColors(), 1u);
    ASSERT_EQ(suite.StuffComponents(color, plugIncolorServicesRGBSpace, 0, 0, 255, 0), kSPNoError);
    uint8 h = 1, s = 1, b = 1;
    ASSERT_EQ(suite.ExtractComponents(color, plugIncolorServicesHSBSpace, &h, &s, &b, nullptr, nullptr), kSPNoError);
    EXPECT_EQ(h, 170);  // blue: two thirds round
    EXPECT_EQ(s, 255);
    EXPECT_EQ(b, 255);
    int16 native = -1;
    ASSERT_EQ(suite.GetNativeSpace(color, &native), kSPNoError);
    EXPECT_EQ(native, plugIncolorServicesRGBSpace);
    ASSERT_EQ(suite.Delete(&color), kSPNoError);
    EXPECT_EQ(color, nullptr);
    EXPECT_EQ(host.outstandingColors(), 0u);
    ColorID stale = reinterpret_cast<ColorID>(&h);
    EXPECT_EQ(suite.Delete(&stale), paramErr);
}

TEST_F(ColorSpaceTest, InjectedFailureAnswersTheNthCall) {
    faults.FailAt(PixelCall::Convert8, 2, errPlugInHostInsufficient, true);
    uint8 slot[4] = {0, 1, 2, 3};
    EXPECT_EQ(suite.Convert8(plugIncolorServicesRGBSpace, plugIncolorServicesLabSpace, C8(slot), 1), kSPNoError);
    EXPECT_EQ(suite.Convert8(plugIncolorServicesRGBSpace, plugIncolorServicesLabSpace, C8(slot), 1),
              errPlugInHostInsufficient);
    EXPECT_EQ(suite.Convert8(plugIncolorServicesRGBSpace, plugIncolorServicesLabSpace, C8(slot), 1),
              errPlugInHostInsufficient);
    EXPECT_EQ(faults.Calls(PixelCall::Convert8), 3);
}

}  // namespace
}  // namespace pixel_test
