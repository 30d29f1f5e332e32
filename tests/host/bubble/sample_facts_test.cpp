// The bubble on the bundled sample picture, checked by facts that hold whatever draws it (GDI+
// under wine does not antialias edges, cairo does): the fill at the body's centre, the edge
// colour on the outline, the text's ink inside the body, and every pixel the bubble cannot
// reach unchanged. RGB and gray at 8 and 16 bits and CMYK, through both pixel protocols.
#include "bubble_host_support.h"

#include "hostsim/image_import.h"
#include "hostsim/png_io.h"

#include <array>

namespace bubble_host {
namespace {

struct SampleCase {
    const char* name;
    ColorModel model;
    int32 depth;
    PixelProtocol protocol;
};

const SampleCase kSampleCases[] = {
    {"RGB8_ports", ColorModel::RGB, 8, PixelProtocol::Ports},
    {"RGB8_classic", ColorModel::RGB, 8, PixelProtocol::Classic},
    {"RGB16_ports", ColorModel::RGB, 16, PixelProtocol::Ports},
    {"Gray8_ports", ColorModel::Gray, 8, PixelProtocol::Ports},
    {"Gray16_classic", ColorModel::Gray, 16, PixelProtocol::Classic},
    {"CMYK8_ports", ColorModel::CMYK, 8, PixelProtocol::Ports},
    {"CMYK8_classic", ColorModel::CMYK, 8, PixelProtocol::Classic},
};

void PrintTo(const SampleCase& c, std::ostream* os) { *os << c.name; }

// Pixels within this distance of where the bubble may draw can be touched by its edges.
constexpr int32 kMargin = 3;

class SampleFacts : public ::testing::TestWithParam<SampleCase> {
protected:
    void SetUp() override {
        REQUIRE_DISPLAY();
        const SampleCase& c = GetParam();
        ImportOptions import;
        import.model = c.model;
        import.depth = c.depth;
        doc_ = ImportImage(ReadPng(TELLORA_SAMPLE_PATH), import, engine_, nullptr);
        before_ = Snapshot(*doc_);
        RunSetup setup;
        setup.protocol = c.protocol;
        ASSERT_TRUE(RunBubble(*doc_, look_, setup));
        place_ = Place(doc_->bounds(), look_);
    }

    // The colour a pixel shows, 0..255 per RGB component.
    std::array<double, 3> Shown(const std::vector<Plane>& planes, int32 x, int32 y) {
        if (doc_->model() == ColorModel::Gray) {
            const double v = planes[0].Unit(x, y) * 255.0;
            return {v, v, v};
        }
        if (doc_->model() == ColorModel::CMYK) {
            double ink[4], rgb[3];
            for (int p = 0; p < 4; ++p) ink[p] = planes[std::size_t(p)].Unit(x, y);
            engine_.Convert(plugIncolorServicesCMYKSpace, plugIncolorServicesRGBSpace, ink, rgb, 1);
            return {rgb[0] * 255.0, rgb[1] * 255.0, rgb[2] * 255.0};
        }
        return {planes[0].Unit(x, y) * 255.0, planes[1].Unit(x, y) * 255.0, planes[2].Unit(x, y) * 255.0};
    }

    // How far the pixel is from showing `colour` (in a gray document: its average), in 8-bit steps.
    double Distance(int32 x, int32 y, const Rgb& colour) {
        const Rgb want = doc_->model() == ColorModel::Gray ? Rgb{colour.Gray(), colour.Gray(), colour.Gray()} : colour;
        const std::array<double, 3> seen = Shown(doc_->target().color, x, y);
        return std::max({std::fabs(seen[0] - want.r), std::fabs(seen[1] - want.g), std::fabs(seen[2] - want.b)});
    }

    bool Unchanged(int32 x, int32 y) {
        for (int p = 0; p < doc_->target().planeCount(); ++p)
            if (Sample(doc_->target().plane(p), x, y) != Sample(before_[std::size_t(p)], x, y)) return false;
        return true;
    }

    ColorEngine engine_;
    BubbleLook look_;
    std::unique_ptr<PixelDocument> doc_;
    std::vector<Plane> before_;
    Placement place_{};
};

// Half a step of 255: what 16-bit samples and the trip through CMYK may cost.
constexpr double kSlack = 0.5;

TEST_P(SampleFacts, FillAtTheCentreAndTheEdgeColourOnTheOutline) {
    EXPECT_LE(Distance(place_.centreX, place_.centreY, look_.fill), kSlack) << "the body's centre";
    // Halfway across the edge line, left of the body and above it.
    EXPECT_LE(Distance(place_.left - look_.edge / 2, place_.centreY, look_.edgeColor), kSlack) << "the left edge";
    EXPECT_LE(Distance(place_.centreX, place_.top - look_.edge / 2, look_.edgeColor), kSlack) << "the top edge";
}

TEST_P(SampleFacts, TheTextInksInsideTheBody) {
    // Bold 14 pt "A" over "B" around the centre: many pixels of the body fully in the text
    // colour, all of them in its middle.
    int inked = 0, strays = 0;
    for (int32 y = place_.top; y < place_.bottom; ++y) {
        for (int32 x = place_.left; x < place_.right; ++x) {
            if (Distance(x, y, look_.textColor) > kSlack) continue;
            const bool middle = std::abs(x - place_.centreX) < look_.width / 4 && std::abs(y - place_.centreY) < look_.height / 3;
            ++(middle ? inked : strays);
        }
    }
    EXPECT_GE(inked, 30);
    EXPECT_EQ(strays, 0);
}

TEST_P(SampleFacts, PixelsTheBubbleCannotReachAreUnchanged) {
    int checked = 0, changed = 0, drifted = 0;
    for (int32 y = 0; y < doc_->height(); ++y) {
        for (int32 x = 0; x < doc_->width(); ++x) {
            if (place_.Reachable(x, y, look_, kMargin)) continue;
            ++checked;
            if (Unchanged(x, y)) continue;
            ++changed;
            // CMYK tiles the bubble touches go through RGB and back: their samples may move,
            // the colour they show by at most a step.
            const std::array<double, 3> was = Shown(before_, x, y), is = Shown(doc_->target().color, x, y);
            for (int c = 0; c < 3; ++c) drifted += std::fabs(was[std::size_t(c)] - is[std::size_t(c)]) > 1.01 ? 1 : 0;
        }
    }
    EXPECT_GT(checked, doc_->width() * doc_->height() / 2);
    if (doc_->model() == ColorModel::CMYK) {
        EXPECT_EQ(drifted, 0);
    } else {
        EXPECT_EQ(changed, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Sample, SampleFacts, ::testing::ValuesIn(kSampleCases),
                         [](const ::testing::TestParamInfo<SampleCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace bubble_host
