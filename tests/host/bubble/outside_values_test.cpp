// Values that reach the plug-in from outside (the parameters handle the host keeps, a played
// descriptor, the descriptor registry) are brought within their parameters' accepted ranges
// before anything is drawn or kept: a body 100000 % wide is drawn and remembered 15000 wide
// (GDI+ under wine overflowed its stack on the larger one), and an enumeration index that names
// no shape keeps the shape there was.
#include "bubble_host_support.h"

#include "hostsim/descriptor_registry.h"
#include "hostsim/image_import.h"
#include "hostsim/png_io.h"

#include <cstring>

namespace bubble_host {
namespace {

constexpr DescriptorKeyID kShape = FourCC("Wzaa");
constexpr DescriptorKeyID kWidth = FourCC("Wzae");
constexpr DescriptorKeyID kFontSize = FourCC("Wzao");
constexpr DescriptorKeyID kFontWeight = FourCC("Wzax");

// Where the flat parameters handle keeps the shape (index 0), the body width (1), the font
// size (15) and the font weight (19), with the default texts "Text" and "Arial" before them.
constexpr std::size_t kShapeAt = 0, kWidthAt = 24, kFontSizeAt = 341, kFontWeightAt = 419;

template <class T>
void Poke(HostSession& session, Handle h, std::size_t at, T value) {
    ASSERT_GE(session.handles().Size(h), int32(at + sizeof value));
    std::memcpy(session.handles().Lock(h) + at, &value, sizeof value);
    session.handles().Unlock(h);
}

struct Source {
    const char* name;
    // Puts the out-of-range values where the source keeps them, before the checked run.
    std::function<void(HostSession&, FilterRun&)> put;
    Settings settings;  // of the checked run
};

RunOptions Unattended(const Settings& settings) {
    RunOptions options;
    options.settings = settings;
    options.playInfo = plugInDialogDontDisplay;
    options.keepState = false;
    return options;
}

const Source kSources[] = {
    {"ParametersHandle",
     [](HostSession& session, FilterRun& run) {
         // A first use leaves the defaults in the handle; the host hands it back altered, and
         // has no registry entry that would be loaded over it.
         ASSERT_TRUE(run.Run(Unattended({})).succeeded);
         session.actionSuites().registry().Erase("Corvantis Tellora");
         const Handle h = session.filterRecord().parameters;
         ASSERT_NE(h, nullptr);
         Poke(session, h, kShapeAt, int32(7));
         Poke(session, h, kWidthAt, 100000.0);
         Poke(session, h, kFontSizeAt, -5.0);
         Poke(session, h, kFontWeightAt, int32(1000));
     },
     {}},
    {"ScriptingDescriptor", [](HostSession&, FilterRun&) {},
     {{"ellipseWidth", "100000%"}, {"fontSize", "-5"}, {"fontWeight", "1000"}}},
    {"DescriptorRegistry",
     [](HostSession& session, FilterRun&) {
         Descriptor remembered;
         remembered.Put(kShape, DescriptorValue::Enumerated(FourCC("Wzab"), FourCC("Nope")));
         remembered.Put(kWidth, DescriptorValue::UnitFloat(unitPercent, 100000));
         remembered.Put(kFontSize, DescriptorValue::Float(-5));
         remembered.Put(kFontWeight, DescriptorValue::Integer(1000));
         session.actionSuites().registry().Register("Corvantis Tellora", remembered, true);
     },
     {}},
};

void PrintTo(const Source& s, std::ostream* os) { *os << s.name; }

class OutsideValues : public ::testing::TestWithParam<Source> {};

TEST_P(OutsideValues, AreDrawnAndKeptWithinTheirRanges) {
    REQUIRE_DISPLAY();
    ColorEngine engine;
    auto doc = ImportImage(ReadPng(TELLORA_SAMPLE_PATH), ImportOptions{}, engine, nullptr);
    const std::vector<Plane> before = Snapshot(*doc);
    HostSession session;
    session.actionSuites().SetRegistry(std::make_shared<DescriptorRegistry>());
    PixelHost host(session, *doc, PixelHostOptions{});
    FilterRun run(Module(), session);
    GetParam().put(session, run);
    if (HasFatalFailure()) return;

    const RunReport report = run.Run(Unattended(GetParam().settings));
    ASSERT_TRUE(report.succeeded) << report.result << " " << report.errorText;
    for (const std::string& problem : report.problems) ADD_FAILURE() << problem;
    EXPECT_NE(Snapshot(*doc), before) << "drawn";
    ASSERT_TRUE(report.recorded);
    const Descriptor& kept = *report.recorded;
    EXPECT_EQ(*kept.Find(kWidth), DescriptorValue::UnitFloat(unitPercent, 15000));
    EXPECT_EQ(kept.Find(kFontSize)->number, 0.0);
    EXPECT_EQ(kept.Find(kFontWeight)->integer, 100);
    EXPECT_EQ(kept.Find(kShape)->enumValue, FourCC("Wzac")) << "the ellipse it was";
    const std::optional<Descriptor> registered = session.actionSuites().registry().Get("Corvantis Tellora");
    ASSERT_TRUE(registered);
    EXPECT_EQ(*registered->Find(kWidth), DescriptorValue::UnitFloat(unitPercent, 15000));
}

INSTANTIATE_TEST_SUITE_P(From, OutsideValues, ::testing::ValuesIn(kSources),
                         [](const ::testing::TestParamInfo<Source>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace bubble_host
