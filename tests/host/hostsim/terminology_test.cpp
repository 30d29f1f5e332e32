#include "hostsim/host_error.h"
#include "hostsim/pipl.h"
#include "hostsim/terminology.h"
#include "test_support.h"

using hostsim::HostError;
using hostsim::Terminology;
using namespace hostsim_test;

namespace {

std::string ParseError(const std::vector<uint8>& bytes) {
    try {
        Terminology::Parse(bytes);
    } catch (const HostError& e) {
        return e.what();
    }
    return "";
}

// Little-endian writer for hand-made terminology.
struct Writer {
    std::vector<uint8> bytes;
    Writer& U16(uint16 v) { bytes.push_back(uint8(v)); bytes.push_back(uint8(v >> 8)); return *this; }
    Writer& Code(const char (&c)[5]) { for (int i = 3; i >= 0; --i) bytes.push_back(uint8(c[i])); return *this; }
    Writer& Text(const std::string& s) { bytes.push_back(uint8(s.size())); bytes.insert(bytes.end(), s.begin(), s.end()); return *this; }
};

// Offsets in the fixture's terminology.
constexpr std::size_t kSuiteCount = 8;
constexpr std::size_t kEventCount = kSuiteCount + 2 + 8 + 1 + 4 + 2 + 2;
constexpr std::size_t kParameterCount = kEventCount + 2 + 4 + 4 + 8 + 4 + 1 + 2 + 4 + 1 + 2;

}  // namespace

TEST(Terminology, ParsesSuiteEventParametersAndEnumeration) {
    const Terminology t = Terminology::Parse(FixtureSection(kAeteSection));
    EXPECT_EQ(t.majorVersion, 1);
    ASSERT_EQ(t.suites.size(), 1u);
    const hostsim::TerminologySuite& suite = t.suites[0];
    EXPECT_EQ(suite.name, "Fixture");
    EXPECT_EQ(suite.id, FourCC("Fxt1"));
    ASSERT_EQ(suite.events.size(), 1u);
    const hostsim::TerminologyEvent& event = suite.events[0];
    EXPECT_EQ(event.name, "Fix");
    EXPECT_EQ(event.replyType, FourCC("null"));
    EXPECT_EQ(event.directType, FourCC("#ImR"));
    EXPECT_EQ(event.directFlags, 0xB000);
    ASSERT_EQ(event.parameters.size(), 3u);
    EXPECT_EQ(event.parameters[2].name, "caption");
    EXPECT_EQ(event.parameters[2].key, FourCC("Fxad"));
    EXPECT_EQ(event.parameters[2].type, FourCC("TEXT"));
    EXPECT_EQ(event.parameters[2].description, " c");
    EXPECT_TRUE(event.parameters[2].optional());
    EXPECT_EQ(&event, t.FindEvent(FourCC("Fxt1"), FourCC("Fxt1")));

    // Scripting by name: the parameter leads to its key, and an enumerated one to its values.
    const hostsim::TerminologyParameter* shape = t.FindParameter("shape");
    ASSERT_NE(shape, nullptr);
    EXPECT_TRUE(shape->enumerated());
    EXPECT_EQ(t.FindParameterByKey(FourCC("Fxab")), shape);
    const hostsim::TerminologyEnumeration* values = t.FindEnumeration(shape->type);
    ASSERT_NE(values, nullptr);
    ASSERT_EQ(values->values.size(), 2u);
    EXPECT_EQ(values->values[0].name, "Soft");
    EXPECT_EQ(values->values[0].description, "soft");
    EXPECT_EQ(values->values[1].code, FourCC("Fxaf"));
    EXPECT_EQ(t.FindParameter("missing"), nullptr);
}

TEST(Terminology, ParsesClassesAndComparisons) {
    Writer w;
    w.U16(1).U16(1).U16(0).U16(0).U16(1);  // header, version 1.0, one suite
    w.Text("S").Text("").Code("Ssui").U16(1).U16(1).U16(0);  // no events
    w.U16(1).Text("picture").Code("Pict").Text("a picture");  // one class
    w.U16(1).Text("width").Code("Wdth").Code("long").Text("").U16(0x8000);
    w.U16(1).Code("Layr").U16(2).Code("indx").Code("name");
    w.U16(1).Text("equals").Code("=   ").Code("bool").Text("");
    w.U16(0);

    const Terminology t = Terminology::Parse(w.bytes);
    const hostsim::TerminologySuite& suite = t.suites.at(0);
    ASSERT_EQ(suite.classes.size(), 1u);
    EXPECT_EQ(suite.classes[0].properties.at(0).name, "width");
    EXPECT_EQ(suite.classes[0].elements.at(0).keyForms, (std::vector<uint32>{FourCC("indx"), FourCC("name")}));
    EXPECT_EQ(suite.comparisons.at(0).id, FourCC("=   "));
    EXPECT_TRUE(suite.enumerations.empty());
}

TEST(Terminology, EveryTruncationIsAnError) {
    const std::vector<uint8> bytes = FixtureSection(kAeteSection);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        EXPECT_THROW(Terminology::Parse(bytes.data(), size), HostError) << "truncated to " << size << " bytes";
    }
}

TEST(Terminology, RejectsGarbageCounts) {
    const std::vector<uint8> good = FixtureSection(kAeteSection);
    auto patched = [&](std::size_t offset, std::vector<uint8> with) {
        std::vector<uint8> bytes = good;
        std::copy(with.begin(), with.end(), bytes.begin() + offset);
        return ParseError(bytes);
    };
    ASSERT_EQ(patched(kParameterCount, {3, 0}), "");  // the offsets are right
    EXPECT_NE(patched(0, {2, 0}).find("resource header"), std::string::npos);
    EXPECT_NE(patched(kSuiteCount, {0xFF, 0xFF}).find("suite count"), std::string::npos);
    EXPECT_NE(patched(kEventCount, {0xFF, 0xFF}).find("event count"), std::string::npos);
    EXPECT_NE(patched(kParameterCount, {0xFF, 0x00}).find("parameter count"), std::string::npos);
    // One parameter more than the data holds: the enumeration bytes are read as a parameter
    // and the parse runs out of data.
    EXPECT_FALSE(patched(kParameterCount, {4, 0}).empty());
    // The suite name claiming more bytes than are left.
    EXPECT_NE(patched(kSuiteCount + 2, {0xFF}).find("runs past the end"), std::string::npos);
}

// Any single damaged byte either still parses or fails with HostError; under the sanitizers
// this also shows that no damaged length makes a parser read outside its data.
TEST(ResourceParsers, DamagedBytesNeverReadOutsideTheData) {
    for (const std::string& section : {kPiplSection, kAeteSection}) {
        const std::vector<uint8> good = FixtureSection(section);
        for (std::size_t i = 0; i < good.size(); ++i) {
            for (uint8 value : {uint8(0x00), uint8(0x7F), uint8(0xFF)}) {
                std::vector<uint8> bytes = good;
                bytes[i] = value;
                try {
                    if (section == kPiplSection) {
                        hostsim::Pipl::Parse(bytes);
                    } else {
                        Terminology::Parse(bytes);
                    }
                } catch (const HostError&) {
                }
            }
        }
    }
}
