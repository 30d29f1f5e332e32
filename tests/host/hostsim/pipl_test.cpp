#include "hostsim/host_error.h"
#include "hostsim/pipl.h"
#include "test_support.h"

using hostsim::HostError;
using hostsim::Pipl;
using namespace hostsim_test;

namespace {

void Put32(std::vector<uint8>& out, uint32 v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8(v >> (8 * i)));
}

// A property list of the given properties: {vendor, key, data}.
struct Property {
    uint32 vendor;
    uint32 key;
    std::vector<uint8> data;
};
std::vector<uint8> BuildPipl(const std::vector<Property>& properties) {
    std::vector<uint8> out = {1, 0};
    Put32(out, 0);
    Put32(out, uint32(properties.size()));
    for (const Property& p : properties) {
        Put32(out, p.vendor);
        Put32(out, p.key);
        Put32(out, 0);
        Put32(out, uint32(p.data.size()));
        out.insert(out.end(), p.data.begin(), p.data.end());
    }
    return out;
}

std::string ParseError(const std::vector<uint8>& bytes) {
    try {
        Pipl::Parse(bytes);
    } catch (const HostError& e) {
        return e.what();
    }
    return "";
}

// Offsets in the fixture's list: a 10-byte header, then 16-byte property headers.
constexpr std::size_t kCountOffset = 6;
constexpr std::size_t kKindLength = 10 + 12;
constexpr std::size_t kNameData = 10 + 16 + 4 + 16;

}  // namespace

TEST(Pipl, ParsesEveryPropertyOfAModule) {
    const Pipl pipl = Pipl::Parse(FixtureSection(kPiplSection));
    EXPECT_EQ(pipl.version, 1);
    EXPECT_EQ(pipl.kind, hostsim::kFilterKind);
    EXPECT_EQ(pipl.name, "Fixture...");
    EXPECT_EQ(pipl.category, "Hostsim");
    EXPECT_EQ(pipl.VersionMajor(), 4);
    EXPECT_EQ(pipl.VersionMinor(), 1);
    EXPECT_EQ(pipl.entryPoint, "PluginMain");
    EXPECT_EQ(pipl.ModeNames(), (std::vector<std::string>{"Grayscale", "RGB", "CMYK", "HSL", "HSB", "Lab"}));
    ASSERT_TRUE(pipl.terminology);
    EXPECT_EQ(pipl.terminology->classId, FourCC("Fxt1"));
    EXPECT_EQ(pipl.terminology->eventId, FourCC("Fxt1"));
    EXPECT_EQ(pipl.terminology->terminologyId, 16000);
    EXPECT_EQ(pipl.terminology->scope, "Scope");
    EXPECT_EQ(pipl.enableExpression, "true");
    ASSERT_TRUE(pipl.maxSize);
    EXPECT_EQ(pipl.maxSize->vertical, 30000);
    EXPECT_EQ(pipl.maxSize->horizontal, 40000);
    EXPECT_EQ(pipl.filterLayer, (std::vector<uint8>{0x80, 0, 0, 0}));
    ASSERT_TRUE(pipl.filterCases);
    ASSERT_EQ(pipl.filterCases->size(), 7u);
    EXPECT_EQ((*pipl.filterCases)[0].inputHandling, 1);
    EXPECT_EQ((*pipl.filterCases)[0].flags1, 6);
    EXPECT_EQ((*pipl.filterCases)[2].inputHandling, 0);
    EXPECT_EQ((*pipl.filterCases)[5].inputHandling, 2);
    // The one property the host does not know is kept as it was.
    ASSERT_EQ(pipl.others.size(), 1u);
    EXPECT_EQ(pipl.others[0].key, FourCC("xtra"));
    EXPECT_EQ(pipl.others[0].data, (std::vector<uint8>{1, 2, 3, 4}));
}

TEST(Pipl, KnownKeysOfAnotherVendorAndUnpaddedLengthsAreHandled) {
    // A 'kind' under another vendor is not the host's; a 3-byte property is followed by padding.
    const std::vector<uint8> bytes = BuildPipl({
        {FourCC("ABCD"), FourCC("kind"), {'X', 'X', 'X', 'X'}},
        {FourCC("8BIM"), FourCC("mode"), {0x80, 0x60, 0x00, 0x00}},
    });
    std::vector<uint8> withShortProperty = BuildPipl({{FourCC("8BIM"), FourCC("zzzz"), {1, 2, 3, 0}},
                                                      {FourCC("8BIM"), FourCC("vers"), {0, 0, 2, 0}}});
    withShortProperty[10 + 12] = 3;  // the first property claims 3 bytes, its pad byte follows

    const Pipl pipl = Pipl::Parse(bytes);
    EXPECT_FALSE(pipl.kind);
    ASSERT_EQ(pipl.others.size(), 1u);
    EXPECT_EQ(pipl.others[0].vendor, FourCC("ABCD"));
    EXPECT_EQ(pipl.ModeNames(), (std::vector<std::string>{"Bitmap", "Lab", "mode bit 10"}));
    EXPECT_TRUE(pipl.SupportsMode(0));
    EXPECT_FALSE(pipl.SupportsMode(1));
    EXPECT_FALSE(pipl.SupportsMode(32));

    const Pipl padded = Pipl::Parse(withShortProperty);
    EXPECT_EQ(padded.others.at(0).data.size(), 3u);
    EXPECT_EQ(padded.VersionMajor(), 2);
}

TEST(Pipl, EveryTruncationIsAnError) {
    const std::vector<uint8> bytes = FixtureSection(kPiplSection);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        EXPECT_THROW(Pipl::Parse(bytes.data(), size), HostError) << "truncated to " << size << " bytes";
    }
}

TEST(Pipl, RejectsGarbageHeadersLengthsAndStrings) {
    const std::vector<uint8> good = FixtureSection(kPiplSection);
    auto patched = [&](std::size_t offset, std::vector<uint8> with) {
        std::vector<uint8> bytes = good;
        std::copy(with.begin(), with.end(), bytes.begin() + offset);
        return ParseError(bytes);
    };
    EXPECT_NE(patched(0, {2}).find("resource version"), std::string::npos);
    EXPECT_NE(patched(kCountOffset, {0xFF, 0xFF, 0xFF, 0x7F}).find("property count"), std::string::npos);
    EXPECT_NE(patched(kCountOffset, {0xFF, 0xFF, 0xFF, 0xFF}).find("property count"), std::string::npos);
    EXPECT_NE(patched(kKindLength, {0xFF, 0xFF, 0xFF, 0xFF}).find("claims -1 bytes"), std::string::npos);
    EXPECT_NE(patched(kKindLength, {0x00, 0x00, 0x01, 0x00}).find("property length"), std::string::npos);
    // A 'kind' of two bytes cannot hold its code.
    EXPECT_NE(patched(kKindLength, {2, 0, 0, 0}).find("'kind'"), std::string::npos);
    // A name whose length byte runs past its property.
    EXPECT_NE(patched(kNameData, {200}).find("runs past the end"), std::string::npos);

    // The entry point name without its terminating zeros.
    const Pipl pipl = Pipl::Parse(good);
    const std::string entry = "PluginMain";
    const auto at = std::search(good.begin(), good.end(), entry.begin(), entry.end()) - good.begin();
    EXPECT_NE(patched(std::size_t(at) + entry.size(), {'x', 'x'}).find("terminating zero"), std::string::npos);

    EXPECT_NE(ParseError(BuildPipl({{FourCC("8BIM"), FourCC("fici"), {1, 1, 6, 0, 1, 1}}})).find("multiple of 4"),
              std::string::npos);
    EXPECT_NE(ParseError(BuildPipl({{FourCC("8BIM"), FourCC("mode"), {}}})).find("empty"), std::string::npos);
}
