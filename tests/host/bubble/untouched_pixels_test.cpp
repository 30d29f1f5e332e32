// Pixels the bubble does not cover keep their samples bit for bit, in every mode and depth and
// through both protocols: whole tiles it cannot reach are not even converted, and inside the
// tiles it reaches only covered pixels go through the trip to RGB and back. Covered pixels of
// converted documents look as the same bubble over the same picture in RGB.
#include "bubble_host_support.h"

#include <array>
#include <tuple>

namespace bubble_host {
namespace {

struct AnyMode {
    int16 mode;
    int16 space;  // the colour space the document converts through; -1: drawn directly
    const char* name;
};
const AnyMode kModes[] = {{plugInModeGrayScale, -1, "Gray8"},
                          {plugInModeGray16, -1, "Gray16"},
                          {plugInModeGray32, -1, "Gray32"},
                          {plugInModeRGBColor, -1, "RGB8"},
                          {plugInModeRGB48, -1, "RGB16"},
                          {plugInModeRGB96, -1, "RGB32"},
                          {plugInModeCMYKColor, plugIncolorServicesCMYKSpace, "CMYK8"},
                          {plugInModeCMYK64, plugIncolorServicesCMYKSpace, "CMYK16"},
                          {plugInModeLabColor, plugIncolorServicesLabSpace, "Lab8"},
                          {plugInModeLab48, plugIncolorServicesLabSpace, "Lab16"},
                          {plugInModeHSBColor, plugIncolorServicesHSBSpace, "HSB8"},
                          {plugInModeHSLColor, plugIncolorServicesHSLSpace, "HSL8"}};

using Case = std::tuple<AnyMode, PixelProtocol, bool /*transparency*/>;

class UntouchedPixels : public ::testing::TestWithParam<Case> {};

TEST_P(UntouchedPixels, KeepTheirBitsAndCoveredOnesLookAsInRgb) {
    REQUIRE_DISPLAY();
    const auto& [mode, protocol, transparency] = GetParam();
    ColorEngine engine;
    BubbleLook look;
    RunSetup setup;
    setup.protocol = protocol;

    // Where the bubble covers, from RGB documents of black and of white.
    auto black = MakeDocument(kWidth, kHeight, plugInModeRGBColor, false, Content::Black, engine);
    auto white = MakeDocument(kWidth, kHeight, plugInModeRGBColor, false, Content::White, engine);
    const std::vector<Plane> blackBefore = Snapshot(*black), whiteBefore = Snapshot(*white);
    ASSERT_TRUE(RunBubble(*black, look, setup));
    ASSERT_TRUE(RunBubble(*white, look, setup));
    const CoverMap cover(*black, blackBefore, *white, whiteBefore);

    auto doc = MakeDocument(kWidth, kHeight, mode.mode, transparency, Content::Textured, engine);
    const std::vector<Plane> before = Snapshot(*doc);
    ASSERT_TRUE(RunBubble(*doc, look, setup));

    int untouched = 0;
    for (int32 y = 0; y < kHeight; ++y)
        for (int32 x = 0; x < kWidth; ++x) {
            if (cover.at(x, y) != Cover::None) continue;
            ++untouched;
            for (int p = 0; p < doc->target().planeCount(); ++p)
                ASSERT_EQ(std::memcmp(doc->target().plane(p).At(x, y), before[std::size_t(p)].At(x, y),
                                      std::size_t(doc->depth() / 8)),
                          0)
                    << "(" << x << ", " << y << ") plane " << p;
        }
    EXPECT_GT(untouched, kWidth * kHeight / 2);
    EXPECT_GT(cover.Count(Cover::Full), 3000);
    if (mode.space < 0) return;

    // The same picture in RGB at the same depth, with the same bubble.
    const int32 depth = doc->depth();
    PixelDocument rgb(kWidth, kHeight, depth == 8 ? plugInModeRGBColor : plugInModeRGB48, transparency);
    const int n = doc->colorPlanes();
    const auto look3 = [&](const std::vector<Plane>& planes, int32 x, int32 y) {
        double in[4], out[3];
        for (int p = 0; p < n; ++p) in[p] = planes[std::size_t(p)].Unit(x, y);
        engine.Convert(mode.space, plugIncolorServicesRGBSpace, in, out, 1);
        return std::array<double, 3>{out[0], out[1], out[2]};
    };
    for (int32 y = 0; y < kHeight; ++y)
        for (int32 x = 0; x < kWidth; ++x) {
            const std::array<double, 3> c = look3(before, x, y);
            for (int p = 0; p < 3; ++p) rgb.target().color[std::size_t(p)].SetUnit(x, y, c[std::size_t(p)]);
            if (transparency) rgb.target().transparency->SetUnit(x, y, before.back().Unit(x, y));
        }
    rgb.MarkChanged();
    ASSERT_TRUE(RunBubble(rgb, look, setup));
    const std::vector<Plane> after = Snapshot(*doc);
    double worst = 0.0;
    for (int32 y = 0; y < kHeight; ++y)
        for (int32 x = 0; x < kWidth; ++x) {
            if (cover.at(x, y) == Cover::None) continue;
            const std::array<double, 3> seen = look3(after, x, y);
            for (int p = 0; p < 3; ++p)
                worst = std::max(worst,
                                 std::fabs(seen[std::size_t(p)] - rgb.target().color[std::size_t(p)].Unit(x, y)) * 255.0);
        }
    // Two conversions at the document's depth, and the blend over a source one step off. 8-bit
    // Lab holds saturated colours coarsely: a trip through it alone moves them by up to 14 steps.
    const double rounding = depth != 8 ? 1.0 : mode.space == plugIncolorServicesLabSpace ? 15.0 : 4.0;
    EXPECT_LE(worst, rounding);
}

INSTANTIATE_TEST_SUITE_P(EveryMode, UntouchedPixels,
                         ::testing::Combine(::testing::ValuesIn(kModes),
                                            ::testing::Values(PixelProtocol::Classic, PixelProtocol::Ports),
                                            ::testing::Bool()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    PixelProtocolName(std::get<1>(info.param)) +
                                    (std::get<2>(info.param) ? "_Transparent" : "_Flat");
                         });

}  // namespace
}  // namespace bubble_host
