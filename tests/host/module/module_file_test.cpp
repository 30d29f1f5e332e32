#include "hostsim/elf_sections.h"
#include "hostsim/module_resources.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

using hostsim::ElfSections;

// Reads little-endian fields of the raw property list.
struct Cursor {
    const std::vector<uint8>& bytes;
    size_t at = 0;
    uint32 U32() {
        uint32 v;
        std::memcpy(&v, &bytes.at(at + 3) - 3, 4);
        at += 4;
        return v;
    }
};

TEST(ModuleFile, PropertyListBytesAreLaidOutAsHostsExpect) {
    const ElfSections elf = ElfSections::ReadFile(TELLORA_MODULE_PATH);
    const hostsim::ElfSection* section = elf.Find(ElfSections::ResourceName("PIPL", 16000));
    ASSERT_NE(section, nullptr);
    const std::vector<uint8> bytes = elf.Contents(*section);

    ASSERT_GE(bytes.size(), 10u);
    EXPECT_EQ(bytes[0] | bytes[1] << 8, 1);
    Cursor c{bytes, 2};
    EXPECT_EQ(c.U32(), 0u);
    ASSERT_EQ(c.U32(), 11u);

    const char* keys[] = {"kind", "name", "catg", "vers", "8664", "mode", "hstm", "enbl", "ms32", "flly", "fici"};
    std::vector<std::vector<uint8>> data;
    for (const char* key : keys) {
        EXPECT_EQ(std::memcmp(&bytes.at(c.at), "MIB8", 4), 0) << key;
        c.at += 4;
        char stored[4];
        std::memcpy(stored, &bytes.at(c.at), 4);
        EXPECT_EQ(std::string({stored[3], stored[2], stored[1], stored[0]}), key);
        c.at += 4;
        EXPECT_EQ(c.U32(), 0u) << key;
        const uint32 length = c.U32();
        ASSERT_LE(c.at + length, bytes.size()) << key;
        data.emplace_back(bytes.begin() + long(c.at), bytes.begin() + long(c.at + length));
        c.at += length;
    }
    EXPECT_EQ(c.at, bytes.size());

    const std::vector<uint8> name{10, 'T', 'e', 'l', 'l', 'o', 'r', 'a', '.', '.', '.', 0};
    EXPECT_EQ(data[1], name) << "length-prefixed, padded to 12 bytes";
    const std::vector<uint8> entry{'P', 'l', 'u', 'g', 'i', 'n', 'M', 'a', 'i', 'n', 0, 0};
    EXPECT_EQ(data[4], entry) << "zero-terminated, padded to 12 bytes";
    EXPECT_EQ(data[5], (std::vector<uint8>{0x5E, 0x40, 0, 0}));

    const std::string expression =
        "in (PSHOP_ImageMode, RGBMode, GrayScaleMode,CMYKMode, HSLMode, HSBMode, LabMode, RGB48Mode) "
        "||PSHOP_ImageDepth == 16 ||PSHOP_ImageDepth == 32";
    ASSERT_EQ(data[7].size(), (expression.size() + 4) / 4 * 4);
    EXPECT_EQ(std::string(data[7].begin(), data[7].begin() + long(expression.size())), expression);
    for (size_t i = expression.size(); i < data[7].size(); ++i) EXPECT_EQ(data[7][i], 0);

    ASSERT_EQ(data[10].size(), 28u);
    for (size_t i = 0; i < 28; i += 4)
        EXPECT_EQ(std::vector<uint8>(data[10].begin() + long(i), data[10].begin() + long(i + 4)),
                  (std::vector<uint8>{1, 1, 6, 0}));
}

TEST(ModuleFile, HostReadsNameScopeAndLimitsFromThePropertyList) {
    const auto resources = hostsim::ModuleResources::Read(TELLORA_MODULE_PATH);
    const hostsim::Pipl& pipl = resources.pipl();
    EXPECT_EQ(pipl.name, "Tellora...");
    EXPECT_EQ(pipl.category, "Corvantis");
    EXPECT_EQ(pipl.VersionMajor(), 4);
    EXPECT_EQ(pipl.VersionMinor(), 0);
    ASSERT_TRUE(pipl.terminology);
    EXPECT_EQ(pipl.terminology->scope, "Corvantis Tellora");
    EXPECT_EQ(pipl.terminology->eventId, FourCC("Wzr1"));
    EXPECT_EQ(pipl.terminology->terminologyId, 16000);
    ASSERT_TRUE(pipl.maxSize);
    EXPECT_EQ(pipl.maxSize->vertical, 2000000);
    EXPECT_EQ(pipl.ModeNames(), (std::vector<std::string>{"Grayscale", "RGB", "CMYK", "HSL", "HSB", "Lab"}));
    EXPECT_NE(resources.terminology(), nullptr);
}

TEST(ModuleFile, ExportsPluginMainAndNothingElse) {
    const std::string command = std::string("nm -D --defined-only ") + TELLORA_MODULE_PATH;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_TRUE(pipe);
    std::vector<std::string> names;
    char line[512];
    while (std::fgets(line, sizeof line, pipe.get())) {
        std::string text(line);
        const size_t space = text.find_last_of(' ');
        names.push_back(text.substr(space + 1, text.find_last_not_of("\r\n") - space));
    }
    EXPECT_EQ(names, std::vector<std::string>{"PluginMain"});
}

}  // namespace

#include "filter/parameter_table.h"
#include "param/ps_parameters.h"

namespace {

TEST(ModuleFile, TerminologyDescribesEveryParameterInTableOrder) {
    const auto resources = hostsim::ModuleResources::Read(TELLORA_MODULE_PATH);
    ASSERT_NE(resources.terminology(), nullptr);
    const hostsim::Terminology& terms = *resources.terminology();
    ASSERT_EQ(terms.suites.size(), 1u);
    const hostsim::TerminologySuite& suite = terms.suites[0];
    ASSERT_EQ(suite.events.size(), 1u);
    ASSERT_EQ(suite.enumerations.size(), 1u);
    EXPECT_EQ(suite.enumerations[0].id, FourCC("Wzab"));
    ASSERT_EQ(suite.enumerations[0].values.size(), 2u);
    EXPECT_EQ(suite.enumerations[0].values[0].code, FourCC("Wzac"));
    EXPECT_EQ(suite.enumerations[0].values[1].code, FourCC("Wzad"));

    Corvantis::Host::PS::Parameters list;
    AppendTelloraParameters(list);
    const auto& described = suite.events[0].parameters;
    ASSERT_EQ(described.size(), list.parameters.size());
    for (size_t i = 0; i < described.size(); ++i) EXPECT_EQ(described[i].key, list.parameters[i].key) << i;
}

}  // namespace
