#include "hostsim/elf_sections.h"
#include "hostsim/host_error.h"
#include "test_support.h"

#include <elf.h>

#include <cstring>

using hostsim::ElfSections;
using hostsim::HostError;
using namespace hostsim_test;

namespace {

Elf64_Ehdr Header(const std::vector<uint8>& image) {
    Elf64_Ehdr h;
    std::memcpy(&h, image.data(), sizeof h);
    return h;
}

void SetHeader(std::vector<uint8>& image, const Elf64_Ehdr& h) { std::memcpy(image.data(), &h, sizeof h); }

// Applies `change` to section `index`'s header.
template <typename Change>
void PatchSection(std::vector<uint8>& image, std::size_t index, Change change) {
    const Elf64_Ehdr h = Header(image);
    Elf64_Shdr sh;
    uint8* at = image.data() + h.e_shoff + index * sizeof sh;
    std::memcpy(&sh, at, sizeof sh);
    change(sh);
    std::memcpy(at, &sh, sizeof sh);
}

std::size_t SectionIndex(const std::string& name) {
    const auto elf = ElfSections::ReadFile(kFixturePath);
    for (std::size_t i = 0; i < elf.sections().size(); ++i)
        if (elf.sections()[i].name == name) return i;
    return 0;
}

std::string ParseError(std::vector<uint8> image) {
    try {
        ElfSections::Parse(std::move(image), "image");
    } catch (const HostError& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(ElfSections, FindsTheResourceSectionsOfAModule) {
    const auto elf = ElfSections::ReadFile(kFixturePath);
    EXPECT_EQ(ElfSections::ResourceName("PIPL", 16000), kPiplSection);
    const hostsim::ElfSection* pipl = elf.Find(kPiplSection);
    ASSERT_NE(pipl, nullptr);
    const std::vector<uint8> bytes = elf.Contents(*pipl);
    ASSERT_EQ(bytes.size(), pipl->size);
    EXPECT_EQ(bytes[0], 1);  // resource version, little-endian
    EXPECT_EQ(bytes[1], 0);
    EXPECT_NE(elf.Find(kAeteSection), nullptr);
    EXPECT_EQ(elf.Find(".rsrc.PIPL.16001"), nullptr);
}

TEST(ElfSections, RejectsFilesThatAreNotElf64) {
    const std::string text = TempPath("text");
    WriteBytes(text, {'h', 'e', 'l', 'l', 'o', '\n'});
    EXPECT_THROW(ElfSections::ReadFile(text), HostError);
    EXPECT_THROW(ElfSections::ReadFile(TempPath("missing")), HostError);
    EXPECT_THROW(ElfSections::ReadFile(::testing::TempDir()), HostError);
    EXPECT_NE(ParseError({}).find("not an ELF file"), std::string::npos);

    std::vector<uint8> image = ReadBytes(kFixturePath);
    image[EI_CLASS] = ELFCLASS32;
    EXPECT_NE(ParseError(image).find("64-bit"), std::string::npos);
    image[EI_CLASS] = ELFCLASS64;
    image[EI_DATA] = ELFDATA2MSB;
    EXPECT_NE(ParseError(image).find("little-endian"), std::string::npos);
}

TEST(ElfSections, EveryTruncationOfAModuleIsAnError) {
    const std::vector<uint8> image = ReadBytes(kFixturePath);
    ASSERT_GT(image.size(), 1000u);
    // The section table sits at the end of the file, so no proper prefix is a usable module.
    for (std::size_t size : {std::size_t(0), std::size_t(4), std::size_t(63), std::size_t(64), image.size() / 2,
                             image.size() - 64, image.size() - 1}) {
        std::vector<uint8> prefix(image.begin(), image.begin() + size);
        EXPECT_FALSE(ParseError(prefix).empty()) << "prefix of " << size << " bytes";
    }
}

TEST(ElfSections, RejectsInconsistentSectionTables) {
    const std::vector<uint8> good = ReadBytes(kFixturePath);
    ASSERT_TRUE(ParseError(good).empty());
    const Elf64_Ehdr h = Header(good);

    auto withHeader = [&](auto change) {
        std::vector<uint8> image = good;
        Elf64_Ehdr copy = h;
        change(copy);
        SetHeader(image, copy);
        return ParseError(image);
    };
    EXPECT_NE(withHeader([](Elf64_Ehdr& e) { e.e_shoff = ~0ull - 8; }).find("outside the file"), std::string::npos);
    EXPECT_NE(withHeader([](Elf64_Ehdr& e) { e.e_shoff = 0; }).find("no section table"), std::string::npos);
    EXPECT_NE(withHeader([](Elf64_Ehdr& e) { e.e_shnum = 0xFFF0; }).find("outside the file"), std::string::npos);
    EXPECT_NE(withHeader([](Elf64_Ehdr& e) { e.e_shentsize = 40; }).find("header size"), std::string::npos);
    EXPECT_NE(withHeader([&](Elf64_Ehdr& e) { e.e_shstrndx = h.e_shnum; }).find("name table index"),
              std::string::npos);

    const std::size_t pipl = SectionIndex(kPiplSection);
    ASSERT_NE(pipl, 0u);
    auto withSection = [&](std::size_t index, auto change) {
        std::vector<uint8> image = good;
        PatchSection(image, index, change);
        return ParseError(image);
    };
    EXPECT_NE(withSection(pipl, [](Elf64_Shdr& s) { s.sh_name = 0x7FFFFFFF; }).find("name outside"),
              std::string::npos);
    EXPECT_NE(withSection(pipl, [&](Elf64_Shdr& s) { s.sh_offset = good.size(); s.sh_size = 1; })
                  .find("'.rsrc.PIPL.16000' lies outside"),
              std::string::npos);
    // offset + size wraps around: must not pass as "inside".
    EXPECT_FALSE(withSection(pipl, [](Elf64_Shdr& s) { s.sh_offset = 16; s.sh_size = ~0ull - 8; }).empty());
    // A name table whose last name runs into its end without a terminating zero.
    EXPECT_NE(withSection(h.e_shstrndx, [&](Elf64_Shdr& s) { s.sh_size -= 1; }).find("unterminated"),
              std::string::npos);
}
