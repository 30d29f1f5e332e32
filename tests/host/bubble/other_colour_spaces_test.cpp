// Lab, HSB and HSL documents get the bubble in RGB through the host's colour conversion, as
// CMYK documents do: the bubble's colours, seen through RGB again, are the colours asked for.
#include "bubble_host_support.h"

#include <array>
#include <tuple>

namespace bubble_host {
namespace {

struct SpaceMode {
    int16 mode;
    int16 space;
    const char* name;
};
const SpaceMode kModes[] = {{plugInModeLabColor, plugIncolorServicesLabSpace, "Lab8"},
                            {plugInModeLab48, plugIncolorServicesLabSpace, "Lab16"},
                            {plugInModeHSBColor, plugIncolorServicesHSBSpace, "HSB8"},
                            {plugInModeHSLColor, plugIncolorServicesHSLSpace, "HSL8"}};

using Case = std::tuple<SpaceMode, PixelProtocol>;

class OtherColourSpaces : public ::testing::TestWithParam<Case> {};

TEST_P(OtherColourSpaces, BubbleColoursComeOutAsAskedFor) {
    REQUIRE_DISPLAY();
    const auto& [mode, protocol] = GetParam();
    ColorEngine engine;
    BubbleLook look;
    RunSetup setup;
    setup.protocol = protocol;
    auto doc = MakeDocument(kWidth, kHeight, mode.mode, false, Content::Textured, engine);
    ASSERT_TRUE(RunBubble(*doc, look, setup));
    const Placement place = Place(doc->bounds(), look);

    const auto seen = [&](int32 x, int32 y) {
        double samples[3], rgb[3];
        for (int p = 0; p < 3; ++p) samples[p] = doc->target().color[std::size_t(p)].Unit(x, y);
        engine.Convert(mode.space, plugIncolorServicesRGBSpace, samples, rgb, 1);
        return std::array<double, 3>{rgb[0] * 255.0, rgb[1] * 255.0, rgb[2] * 255.0};
    };
    const auto near = [](const std::array<double, 3>& got, const Rgb& want) {
        return std::fabs(got[0] - want.r) <= 3.0 && std::fabs(got[1] - want.g) <= 3.0 &&
               std::fabs(got[2] - want.b) <= 3.0;
    };
    const auto centre = seen(place.centreX, place.centreY);
    EXPECT_TRUE(near(centre, look.fill)) << "centre seen as " << centre[0] << "," << centre[1] << "," << centre[2];
    const auto edge = seen(place.centreX, place.top - look.edge / 2);
    EXPECT_TRUE(near(edge, look.edgeColor)) << "edge seen as " << edge[0] << "," << edge[1] << "," << edge[2];
}

INSTANTIATE_TEST_SUITE_P(Documents, OtherColourSpaces,
                         ::testing::Combine(::testing::ValuesIn(kModes),
                                            ::testing::Values(PixelProtocol::Classic, PixelProtocol::Ports)),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    PixelProtocolName(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace bubble_host
