// Values that reach the plug-in from outside (the parameters handle the host keeps, a played
// descriptor, the descriptor registry) are brought within their parameters' accepted ranges
// before anything is drawn or kept: a body 100000 % wide is drawn and remembered 15000 wide
// (GDI+ under wine overflowed its stack on the larger one), and an enumeration index that names
// no shape keeps the shape there was. A text of any length draws the first words of its
// beginning.
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

RunOptions Unattended(const Settings& settings, int32 playInfo = plugInDialogDontDisplay) {
    RunOptions options;
    options.settings = settings;
    options.playInfo = playInfo;
    options.keepState = false;
    return options;
}

// One use of the filter on the sample with the host's own registry; `put` prepares the session
// before it. Gives the report and the document's planes afterwards.
struct SampleRun {
    RunReport report;
    std::vector<Plane> planes;
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
    result.report = run.Run(options);
    result.planes = Snapshot(*doc);
    result.registered = session.actionSuites().registry().Get("Corvantis Tellora");
    EXPECT_TRUE(result.report.succeeded) << result.report.result << " " << result.report.errorText;
    for (const std::string& problem : result.report.problems) ADD_FAILURE() << problem;
    return result;
}

std::vector<Plane> SamplePlanes() {
    ColorEngine engine;
    return Snapshot(*ImportImage(ReadPng(TELLORA_SAMPLE_PATH), ImportOptions{}, engine, nullptr));
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
    const SampleRun run = RunOnSample(Unattended(GetParam().settings), GetParam().put);
    EXPECT_NE(run.planes, SamplePlanes()) << "drawn";
    ASSERT_TRUE(run.report.recorded);
    const Descriptor& kept = *run.report.recorded;
    EXPECT_EQ(*kept.Find(kWidth), DescriptorValue::UnitFloat(unitPercent, 15000));
    EXPECT_EQ(kept.Find(kFontSize)->number, 0.0);
    EXPECT_EQ(kept.Find(kFontWeight)->integer, 100);
    EXPECT_EQ(kept.Find(kShape)->enumValue, FourCC("Wzac")) << "the ellipse it was";
    ASSERT_TRUE(run.registered);
    EXPECT_EQ(*run.registered->Find(kWidth), DescriptorValue::UnitFloat(unitPercent, 15000));
}

INSTANTIATE_TEST_SUITE_P(From, OutsideValues, ::testing::ValuesIn(kSources),
                         [](const ::testing::TestParamInfo<Source>& info) { return std::string(info.param.name); });

class LongTexts : public ::testing::TestWithParam<std::size_t> {};

TEST_P(LongTexts, DrawTheFirstWordsOfTheirBeginning) {
    REQUIRE_DISPLAY();
    // GDI+ measured such a text in a box 100000 pixels wide, as many lines high: from about
    // 56000 characters on, the Windows build drew an empty bubble.
    std::string text;
    for (int i = 0; text.size() < GetParam(); ++i) text += i % 7 ? "speech " : "bubbles\n";
    text.resize(GetParam());
    const auto look = [](const std::string& t) { return Unattended({{"Text", t}}); };
    const SampleRun beginning = RunOnSample(look(text.substr(0, 500)));
    const SampleRun empty = RunOnSample(look(""));
    EXPECT_NE(beginning.planes, empty.planes) << "the beginning draws words";
    EXPECT_EQ(RunOnSample(look(text)).planes, beginning.planes);
}

INSTANTIATE_TEST_SUITE_P(Of, LongTexts, ::testing::Values(std::size_t(100 * 1024), std::size_t(1024 * 1024)),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             return std::to_string(info.param / 1024) + "KB";
                         });

}  // namespace
}  // namespace bubble_host
