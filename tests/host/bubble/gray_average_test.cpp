// A gray document takes the average of the bubble's red, green and blue: a bubble drawn all in
// pure red (fill, edge, pointer and text) gives 85 of 255 wherever it covers fully, at every
// depth and through both protocols, and makes a transparency plane opaque there.
#include "bubble_host_support.h"

#include <tuple>

namespace bubble_host {
namespace {

const Mode kGrayModes[] = {{plugInModeGrayScale, "Gray8"}, {plugInModeGray16, "Gray16"}, {plugInModeGray32, "Gray32"}};

using Case = std::tuple<Mode, PixelProtocol, bool /*transparency*/>;

class GrayAverageTest : public ::testing::TestWithParam<Case> {};

TEST_P(GrayAverageTest, PureRedGivesAThirdOfWhiteWhereFullyCovered) {
    REQUIRE_DISPLAY();
    const auto& [mode, protocol, transparency] = GetParam();
    BubbleLook look;
    look.fill = look.edgeColor = look.textColor = Rgb{255, 0, 0};
    RunSetup setup;
    setup.protocol = protocol;
    ColorEngine engine;
    auto black = MakeDocument(kWidth, kHeight, mode.mode, transparency, Content::Black, engine);
    auto white = MakeDocument(kWidth, kHeight, mode.mode, transparency, Content::White, engine);
    const std::vector<Plane> blackBefore = Snapshot(*black), whiteBefore = Snapshot(*white);
    ASSERT_TRUE(RunBubble(*black, look, setup));
    ASSERT_TRUE(RunBubble(*white, look, setup));
    const CoverMap cover(*black, blackBefore, *white, whiteBefore);

    const int32 depth = black->depth();
    // 85 at 8 bits, 85 x 32768 / 255 = 10922 at 16, 85 / 255 at 32.
    const double red = AtDepth(85, depth);
    const Placement place = Place(black->bounds(), look);
    EXPECT_EQ(cover.at(place.centreX, place.centreY), Cover::Full);
    int wrong = 0;
    for (int32 y = 0; y < kHeight; ++y) {
        for (int32 x = 0; x < kWidth; ++x) {
            if (cover.at(x, y) != Cover::Full) continue;
            const double gray = Sample(black->target().plane(0), x, y);
            if (std::fabs(gray - red) > Slack(depth)) {
                if (++wrong <= 5) ADD_FAILURE() << "(" << x << ", " << y << ") holds " << gray << ", not " << red;
            }
            if (transparency) {
                EXPECT_EQ(Sample(*black->target().transparency, x, y), MaxSample(depth));
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    // The body alone covers about 7500 pixels fully.
    EXPECT_GT(cover.Count(Cover::Full), 6000);
}

INSTANTIATE_TEST_SUITE_P(Depths, GrayAverageTest,
                         ::testing::Combine(::testing::ValuesIn(kGrayModes),
                                            ::testing::Values(PixelProtocol::Classic, PixelProtocol::Ports),
                                            ::testing::Bool()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    PixelProtocolName(std::get<1>(info.param)) +
                                    (std::get<2>(info.param) ? "_Transparent" : "_Flat");
                         });

}  // namespace
}  // namespace bubble_host
