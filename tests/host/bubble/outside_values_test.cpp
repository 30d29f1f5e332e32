// Values that reach the plug-in from outside (the parameters handle the host keeps, a played
// descriptor, the descriptor registry) are drawn and kept as they are, within their accepted
// ranges or not; only an enumeration index that names no shape keeps the shape there was.
// Values far beyond every range draw without harm (the dialog's preview with them: see
// filterhost_runs_test.cpp), and a text of any length draws the first words of its beginning.
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
constexpr DescriptorKeyID kTipX = FourCC("Wzap");

// Where the flat parameters handle keeps the shape (index 0), the body width (1), the tip's x
// (12), the font size (15) and the font weight (19), with the default texts "Text" and "Arial".
constexpr std::size_t kShapeAt = 0, kWidthAt = 24, kTipXAt = 269, kFontSizeAt = 341, kFontWeightAt = 419;

template <class T>
void Poke(HostSession& session, Handle h, std::size_t at, T value) {
    ASSERT_GE(session.handles().Size(h), int32(at + sizeof value));
    std::memcpy(session.handles().Lock(h) + at, &value, sizeof value);
    session.handles().Unlock(h);
}

RunOptions Unattended(const Settings& settings) {
    RunOptions options;
    options.settings = settings;
    options.playInfo = plugInDialogDontDisplay;
    options.keepState = false;
    return options;
}

// One use of the filter on the sample with the host's own registry; `put` prepares the session
// before it. Gives the report and the document's planes before and after.
struct SampleRun {
    RunReport report;
    std::vector<Plane> before, planes;
    std::optional<Descriptor> registered;
};

SampleRun RunOnSample(const RunOptions& options,
                      const std::function<void(HostSession&, FilterRun&)>& put = nullptr) {
    ColorEngine engine;
    auto doc = ImportImage(ReadPng(TELLORA_SAMPLE_PATH), ImportOptions{}, engine, nullptr);
    HostSession session;
    session.actionSuites().SetRegistry(std::make_shared<DescriptorRegistry>());
    PixelHost host(session, *doc, PixelHostOptions{});
    FilterRun run(Module(), session);
    if (put) put(session, run);
    SampleRun result;
    result.before = Snapshot(*doc);
    result.report = run.Run(options);
    result.planes = Snapshot(*doc);
    result.registered = session.actionSuites().registry().Get("Corvantis Tellora");
    EXPECT_TRUE(result.report.succeeded) << result.report.result << " " << result.report.errorText;
    for (const std::string& problem : result.report.problems) ADD_FAILURE() << problem;
    return result;
}

struct Source {
    const char* name;
    // Puts the values where the source keeps them, before the checked run.
    std::function<void(HostSession&, FilterRun&)> put;
    Settings settings;  // of the checked run
};

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
         Poke(session, h, kTipXAt, -10.0);
         Poke(session, h, kFontSizeAt, -5.0);
         Poke(session, h, kFontWeightAt, int32(1000));
     },
     {}},
    {"ScriptingDescriptor", [](HostSession&, FilterRun&) {},
     {{"ellipseWidth", "100000%"}, {"xindiPosition", "-10%"}, {"fontSize", "-5"}, {"fontWeight", "1000"}}},
    {"DescriptorRegistry",
     [](HostSession& session, FilterRun&) {
         Descriptor remembered;
         remembered.Put(kShape, DescriptorValue::Enumerated(FourCC("Wzab"), FourCC("Nope")));
         remembered.Put(kWidth, DescriptorValue::UnitFloat(unitPercent, 100000));
         remembered.Put(kTipX, DescriptorValue::UnitFloat(unitPercent, -10));
         remembered.Put(kFontSize, DescriptorValue::Float(-5));
         remembered.Put(kFontWeight, DescriptorValue::Integer(1000));
         session.actionSuites().registry().Register("Corvantis Tellora", remembered, true);
     },
     {}},
};

void PrintTo(const Source& s, std::ostream* os) { *os << s.name; }

class OutsideValues : public ::testing::TestWithParam<Source> {};

TEST_P(OutsideValues, AreDrawnAndKeptAsGiven) {
    REQUIRE_DISPLAY();
    // A body 100000 % wide overflowed GDI+'s stack under wine.
    const SampleRun run = RunOnSample(Unattended(GetParam().settings), GetParam().put);
    EXPECT_NE(run.planes, run.before) << "drawn";
    ASSERT_TRUE(run.report.recorded);
    const Descriptor& kept = *run.report.recorded;
    EXPECT_EQ(*kept.Find(kWidth), DescriptorValue::UnitFloat(unitPercent, 100000));
    EXPECT_EQ(*kept.Find(kTipX), DescriptorValue::UnitFloat(unitPercent, -10));
    EXPECT_EQ(kept.Find(kFontSize)->number, -5.0);
    EXPECT_EQ(kept.Find(kFontWeight)->integer, 1000);
    EXPECT_EQ(kept.Find(kShape)->enumValue, FourCC("Wzac")) << "the ellipse it was";
    ASSERT_TRUE(run.registered);
    EXPECT_EQ(*run.registered->Find(kWidth), DescriptorValue::UnitFloat(unitPercent, 100000));
}

INSTANTIATE_TEST_SUITE_P(From, OutsideValues, ::testing::ValuesIn(kSources),
                         [](const ::testing::TestParamInfo<Source>& info) { return std::string(info.param.name); });

// Values no dialog accepts, as a script, a preset or the parameters handle may hold them, are
// drawn without harm: the run succeeds and leaves no problem behind.
TEST(FarValues, DrawWithoutHarm) {
    REQUIRE_DISPLAY();
    const Settings cases[] = {
        {{"ellipseWidth", "1e300"}, {"ellipseHeight", "1e300"}, {"indicatorWidth", "1e300"}, {"fontSize", "1e6"}},
        {{"ellipseChoice", "Rectangle"}, {"ellipseWidth", "-1e300"}, {"ellipseHeight", "-1e300"}, {"fontSize", "-5"}},
        {{"xPosition", "1e300"}, {"yPosition", "-1e300"}, {"xindiPosition", "-1e300"}, {"yindiPosition", "1e300"}},
        {{"ellipseChoice", "Rectangle"}, {"xindiPosition", "-1e9"}, {"indicatorWidth", "-1e9"}},
        {{"edgeThickness", "1e9"}, {"indicatorThickness", "1e9"}},
    };
    for (const Settings& settings : cases) {
        SCOPED_TRACE(settings.front().first + "=" + settings.front().second);
        RunOnSample(Unattended(settings));
    }
}

// GDI+ measured a text of 56000 characters or more in a box 100000 pixels wide, as many lines
// high: the Windows build drew an empty bubble. Any length draws the first words it begins with.
TEST(LongTexts, DrawTheFirstWordsOfTheirBeginning) {
    REQUIRE_DISPLAY();
    std::string text;
    for (int i = 0; text.size() < 1024 * 1024; ++i) text += i % 7 ? "speech " : "bubbles\n";
    const auto drawn = [](const std::string& t) { return RunOnSample(Unattended({{"Text", t}})).planes; };
    const std::vector<Plane> beginning = drawn(text.substr(0, 500));
    EXPECT_NE(beginning, drawn("")) << "the beginning draws words";
    for (const std::size_t length : {100 * 1024, 1024 * 1024}) EXPECT_EQ(drawn(text.substr(0, length)), beginning) << length;
}

}  // namespace
}  // namespace bubble_host
