// CMYK documents reach the bubble as RGB through the host's colour conversion and go back the
// same way: the bubble's colours come out as the inks of those colours, and pixels the bubble
// leaves untouched, inside the selection or outside it, keep their samples exactly.
#include "bubble_host_support.h"

#include <array>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <tuple>

namespace bubble_host {
namespace {

const Mode kCmykModes[] = {{plugInModeCMYKColor, "CMYK8"}, {plugInModeCMYK64, "CMYK16"}};

using Case = std::tuple<Mode, PixelProtocol, bool /*transparency*/, bool /*selection*/>;

// How far untouched samples moved, per ink, in steps of the document's depth; and how far
// their colour moved as it looks (through RGB), in 8-bit steps.
struct Drift {
    std::array<double, 4> worst{};
    std::array<double, 4> sum{};
    double worstLook = 0.0;
    double worstTransparency = 0.0;
    int pixels = 0;

    std::string Describe(int32 depth) const {
        std::ostringstream text;
        text << std::fixed << std::setprecision(3) << depth << "-bit, " << pixels << " untouched pixels; max/mean in "
             << depth << "-bit steps:";
        const char* inks = "CMYK";
        for (int p = 0; p < 4; ++p)
            text << " " << inks[p] << " " << worst[std::size_t(p)] << "/" << sum[std::size_t(p)] / pixels;
        text << "; colour as seen, max " << worstLook << " of 255";
        return text.str();
    }
};

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    const auto& [mode, protocol, transparency, selection] = info.param;
    return std::string(mode.name) + "_" + PixelProtocolName(protocol) + (transparency ? "_Transparent" : "_Flat") +
           (selection ? "_Selection" : "_Whole");
}

class CmykTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        REQUIRE_DISPLAY();
        const auto& [mode, protocol, transparency, selection] = GetParam();
        setup.protocol = protocol;
        // Where the bubble lies, from an RGB document of the same size and selection: the
        // drawing does not depend on the mode.
        auto black = MakeDocument(kWidth, kHeight, plugInModeRGBColor, false, Content::Black, engine);
        auto white = MakeDocument(kWidth, kHeight, plugInModeRGBColor, false, Content::White, engine);
        if (selection) {
            Select(*black);
            Select(*white);
        }
        const std::vector<Plane> blackBefore = Snapshot(*black), whiteBefore = Snapshot(*white);
        ASSERT_TRUE(RunBubble(*black, look, setup));
        ASSERT_TRUE(RunBubble(*white, look, setup));
        cover = CoverMap(*black, blackBefore, *white, whiteBefore);

        doc = MakeDocument(kWidth, kHeight, mode.mode, transparency, Content::Textured, engine);
        if (selection) Select(*doc);
        before = Snapshot(*doc);
        ASSERT_TRUE(RunBubble(*doc, look, setup));
        place = Place(selection ? kSelection : doc->bounds(), look);
    }

    // The pixel's colour as it looks, 0..1 per RGB component.
    std::array<double, 3> Look(const std::vector<Plane>& planes, int32 x, int32 y) {
        double ink[4], rgb[3];
        for (int p = 0; p < 4; ++p) ink[p] = planes[std::size_t(p)].Unit(x, y);
        engine.Convert(plugIncolorServicesCMYKSpace, plugIncolorServicesRGBSpace, ink, rgb, 1);
        return {rgb[0], rgb[1], rgb[2]};
    }

    // The pixel looks like `colour` within `steps` of 255, and is opaque.
    ::testing::AssertionResult LooksLike(int32 x, int32 y, const Rgb& colour, double steps) {
        const std::array<double, 3> seen = Look(doc->target().color, x, y);
        const int bytes[3] = {colour.r, colour.g, colour.b};
        double worst = 0.0;
        for (int c = 0; c < 3; ++c) worst = std::max(worst, std::fabs(seen[std::size_t(c)] * 255.0 - bytes[c]));
        const bool opaque = !doc->target().transparency || doc->target().transparency->Unit(x, y) == 1.0;
        if (worst <= steps && opaque) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "(" << x << ", " << y << ") looks like " << seen[0] * 255.0 << "," << seen[1] * 255.0 << ","
               << seen[2] * 255.0 << " (" << worst << " steps off)" << (opaque ? "" : ", not opaque");
    }

    ColorEngine engine;
    BubbleLook look;
    RunSetup setup;
    CoverMap cover;
    std::unique_ptr<PixelDocument> doc;
    std::vector<Plane> before;
    Placement place{};
};

TEST_P(CmykTest, TheBubblesColoursComeBackAsTheirInks) {
    // The colours go to inks and are seen here through RGB again: measured within 0.004 of an
    // 8-bit step at both depths.
    const double steps = 0.25;
    EXPECT_TRUE(LooksLike(place.centreX, place.centreY, look.fill, steps)) << "the body's centre";
    EXPECT_TRUE(LooksLike(place.centreX, place.top - look.edge / 2, look.edgeColor, steps)) << "the edge line";
    EXPECT_TRUE(LooksLike(place.left - look.edge / 2, place.centreY, look.edgeColor, steps)) << "the edge line";
}

TEST_P(CmykTest, UntouchedPixelsKeepTheirInks) {
    const int32 depth = doc->depth();
    const double steps = depth == 8 ? 255.0 : 32768.0;
    Drift drift;
    int unselected = 0;
    for (int32 y = 0; y < kHeight; ++y) {
        for (int32 x = 0; x < kWidth; ++x) {
            if (!Selected(*doc, x, y)) {
                ++unselected;
                // Outside the selection not even rounding may change a sample.
                for (int p = 0; p < doc->target().planeCount(); ++p)
                    ASSERT_EQ(Sample(doc->target().plane(p), x, y), Sample(before[std::size_t(p)], x, y))
                        << "(" << x << ", " << y << ") plane " << p;
                continue;
            }
            if (cover.at(x, y) != Cover::None) continue;
            ++drift.pixels;
            for (int p = 0; p < 4; ++p) {
                const double moved =
                    std::fabs(doc->target().color[std::size_t(p)].Unit(x, y) - before[std::size_t(p)].Unit(x, y)) *
                    steps;
                drift.worst[std::size_t(p)] = std::max(drift.worst[std::size_t(p)], moved);
                drift.sum[std::size_t(p)] += moved;
            }
            const std::array<double, 3> was = Look(before, x, y), is = Look(doc->target().color, x, y);
            for (int c = 0; c < 3; ++c)
                drift.worstLook =
                    std::max(drift.worstLook, std::fabs(was[std::size_t(c)] - is[std::size_t(c)]) * 255.0);
            if (doc->target().transparency)
                drift.worstTransparency =
                    std::max(drift.worstTransparency,
                             std::fabs(Sample(*doc->target().transparency, x, y) - Sample(before.back(), x, y)));
        }
    }
    const std::string figures = drift.Describe(depth);
    std::cout << "[ figures  ] " << figures << "\n";
    ::testing::Test::RecordProperty("untouched_cmyk_drift", figures);

    if (doc->hasSelection()) {
        EXPECT_EQ(unselected, kUnselectedPixels);
    }
    EXPECT_GT(drift.pixels, 20000);
    // The transparency plane does not go through the conversion.
    EXPECT_EQ(drift.worstTransparency, 0.0);
    // Untouched pixels do not go through the conversion at all: not a step of drift.
    for (int p = 0; p < 4; ++p) EXPECT_EQ(drift.worst[std::size_t(p)], 0.0) << "ink " << p;
    EXPECT_EQ(drift.worstLook, 0.0);
}

INSTANTIATE_TEST_SUITE_P(Documents, CmykTest,
                         ::testing::Combine(::testing::ValuesIn(kCmykModes),
                                            ::testing::Values(PixelProtocol::Classic, PixelProtocol::Ports),
                                            ::testing::Bool(), ::testing::Bool()),
                         CaseName);

}  // namespace
}  // namespace bubble_host
