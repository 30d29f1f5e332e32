// The bubble drawn into RGB and gray documents at every depth, through both pixel protocols,
// with and without a transparency plane and a selection: where it covers fully it has exactly
// its colours, everything it does not touch keeps its value, and what it half covers lies
// between what it gives over black and over white.
#include "bubble_host_support.h"

#include <iomanip>
#include <iostream>
#include <sstream>
#include <tuple>

namespace bubble_host {
namespace {

using Case = std::tuple<Mode, PixelProtocol, bool /*transparency*/, bool /*selection*/>;

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    const auto& [mode, protocol, transparency, selection] = info.param;
    return std::string(mode.name) + "_" + PixelProtocolName(protocol) + (transparency ? "_Transparent" : "_Flat") +
           (selection ? "_Selection" : "_Whole");
}

// The same bubble over black, over white and over a textured copy of one document.
class BubblePixelsTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        REQUIRE_DISPLAY();
        const auto& [mode, protocol, transparency, selection] = GetParam();
        setup.protocol = protocol;
        for (Content content : {Content::Black, Content::White, Content::Textured}) {
            auto doc = MakeDocument(kWidth, kHeight, mode.mode, transparency, content, engine);
            if (selection) Select(*doc);
            sources.push_back(Snapshot(*doc));
            SCOPED_TRACE(ContentName(content));
            ASSERT_TRUE(RunBubble(*doc, look, setup));
            docs.push_back(std::move(doc));
        }
        cover = CoverMap(*docs[0], sources[0], *docs[1], sources[1]);
        place = Place(selection ? kSelection : docs[0]->bounds(), look);
    }

    const PixelDocument& Black() const { return *docs[0]; }
    const PixelDocument& White() const { return *docs[1]; }
    const PixelDocument& Textured() const { return *docs[2]; }
    int32 depth() const { return Textured().depth(); }
    int colorPlanes() const { return Textured().colorPlanes(); }
    int planes() const { return Textured().target().planeCount(); }
    bool gray() const { return Textured().model() == ColorModel::Gray; }

    // The colour planes of the textured run at (x, y) hold `colour` as a fully covered pixel.
    ::testing::AssertionResult HasColour(int32 x, int32 y, const Rgb& colour) const {
        const int bytes[3] = {colour.r, colour.g, colour.b};
        std::ostringstream found;
        bool ok = true;
        for (int p = 0; p < colorPlanes(); ++p) {
            const double expected = AtDepth(gray() ? colour.Gray() : bytes[p], depth());
            const double actual = Sample(Textured().target().plane(p), x, y);
            ok = ok && std::fabs(actual - expected) <= Slack(depth());
            found << (p ? "," : "") << actual << " (expected " << expected << ")";
        }
        if (Textured().target().transparency) {
            const double alpha = Sample(*Textured().target().transparency, x, y);
            ok = ok && alpha == MaxSample(depth());
            found << " transparency " << alpha;
        }
        if (ok) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << "): " << found.str();
    }

    void ExpectBubbleColours() const {
        EXPECT_TRUE(HasColour(place.centreX, place.centreY, look.fill)) << "the body's centre";
        // Half way through the edge line, above the body and left of it.
        EXPECT_TRUE(HasColour(place.centreX, place.top - look.edge / 2, look.edgeColor)) << "the edge line's middle";
        EXPECT_TRUE(HasColour(place.left - look.edge / 2, place.centreY, look.edgeColor)) << "the edge line's middle";
        // Bold text: some pixels of its stems are all text colour.
        int textPixels = 0;
        for (int32 y = place.top; y < place.bottom; ++y)
            for (int32 x = place.left; x < place.right; ++x) textPixels += bool(HasColour(x, y, look.textColor));
        EXPECT_GT(textPixels, 10);
    }

    void ExpectUntouchedPixelsKept() const {
        int covered = 0, drawnAstray = 0, keptOutside = 0;
        double worstUncovered = 0.0;
        for (int32 y = 0; y < kHeight; ++y) {
            for (int32 x = 0; x < kWidth; ++x) {
                const bool selected = Selected(Textured(), x, y);
                const bool uncovered = cover.at(x, y) == Cover::None;
                for (int p = 0; p < planes(); ++p) {
                    const double before = Sample(sources[2][std::size_t(p)], x, y);
                    const double after = Sample(Textured().target().plane(p), x, y);
                    if (!selected) {
                        // The host keeps every sample outside the selection, bit for bit.
                        ASSERT_EQ(after, before) << "outside the selection at (" << x << ", " << y << ") plane " << p;
                    } else if (uncovered) {
                        worstUncovered = std::max(worstUncovered, std::fabs(after - before));
                        if (depth() < 32) {
                            ASSERT_EQ(after, before) << "untouched pixel (" << x << ", " << y << ") plane " << p;
                        }
                    }
                }
                if (!selected) {
                    keptOutside += 1;
                    continue;
                }
                if (uncovered) continue;
                ++covered;
                drawnAstray += !place.Reachable(x, y, look, 3);
            }
        }
        // Straight from the float blend of alpha 0: the sample times 255 divided by 255, in single
        // precision, is at most one unit of the last place of a value up to 1 away from it.
        EXPECT_LE(worstUncovered, depth() == 32 ? std::ldexp(1.0, -24) : 0.0);
        if (depth() == 32) {
            std::ostringstream text;
            text << std::setprecision(3) << worstUncovered;
            ::testing::Test::RecordProperty("worst_untouched_float_change", text.str());
            std::cout << "[ figures  ] untouched float samples moved by at most " << text.str() << "\n";
        }
        EXPECT_EQ(drawnAstray, 0) << "pixels changed away from where the bubble lies";
        // Most of the ellipse (about 7500 pixels) and its edge line, less what lies outside the selection.
        EXPECT_GT(covered, 6000);
        if (Textured().hasSelection()) {
            EXPECT_EQ(keptOutside, kUnselectedPixels);
        }
    }

    void ExpectBlendBetweenBlackAndWhite() const {
        // The blend is the bubble's colour weighted by its cover plus the source weighted by the
        // rest: over any source it lies between the results over black and over white, and where
        // those two agree the source plays no part.
        for (int32 y = 0; y < kHeight; ++y) {
            for (int32 x = 0; x < kWidth; ++x) {
                if (!Selected(Textured(), x, y)) continue;
                for (int p = 0; p < planes(); ++p) {
                    const double low = Sample(Black().target().plane(p), x, y);
                    const double high = Sample(White().target().plane(p), x, y);
                    const double value = Sample(Textured().target().plane(p), x, y);
                    ASSERT_GE(value, low - Slack(depth())) << "(" << x << ", " << y << ") plane " << p;
                    ASSERT_LE(value, high + Slack(depth())) << "(" << x << ", " << y << ") plane " << p;
                }
                // Full cover makes the pixel opaque, whatever its transparency was.
                if (cover.at(x, y) == Cover::Full && Textured().target().transparency) {
                    ASSERT_EQ(Sample(*Textured().target().transparency, x, y), MaxSample(depth()))
                        << "(" << x << ", " << y << ")";
                }
            }
        }
        EXPECT_GT(cover.Count(Cover::Full), 5000);
    }

    ColorEngine engine;
    BubbleLook look;
    RunSetup setup;
    std::vector<std::unique_ptr<PixelDocument>> docs;
    std::vector<std::vector<Plane>> sources;
    CoverMap cover;
    Placement place{};
};

// One test per document, so that the three runs are made once for all three sets of facts.
TEST_P(BubblePixelsTest, DrawsItsColoursBlendsAndLeavesTheRestAlone) {
    {
        SCOPED_TRACE("fully covered pixels");
        ExpectBubbleColours();
    }
    {
        SCOPED_TRACE("untouched pixels");
        ExpectUntouchedPixelsKept();
    }
    {
        SCOPED_TRACE("partly covered pixels");
        ExpectBlendBetweenBlackAndWhite();
    }
}

std::vector<Case> AllCases() {
    std::vector<Case> cases;
    for (const Mode& mode : kDirectModes)
        for (PixelProtocol protocol : {PixelProtocol::Classic, PixelProtocol::Ports})
            for (bool transparency : {false, true})
                for (bool selection : {false, true}) cases.emplace_back(mode, protocol, transparency, selection);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Documents, BubblePixelsTest, ::testing::ValuesIn(AllCases()), CaseName);

}  // namespace
}  // namespace bubble_host
