#include "hostsim/elf_sections.h"

#include "hostsim/host_error.h"

#include <elf.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace hostsim {

namespace {

// True when [offset, offset + size) lies inside a file of fileSize bytes, without overflow.
bool Inside(uint64_t offset, uint64_t size, uint64_t fileSize) {
    return offset <= fileSize && size <= fileSize - offset;
}

// Sections that occupy no bytes of the file. Section 0 (SHT_NULL) may carry the extended
// section count in its size field.
bool HasNoBits(uint32 type) { return type == SHT_NOBITS || type == SHT_NULL; }

Elf64_Shdr HeaderAt(const std::vector<uint8>& image, uint64_t offset) {
    Elf64_Shdr header;
    std::memcpy(&header, image.data() + offset, sizeof header);
    return header;
}

}  // namespace

ElfSections ElfSections::ReadFile(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) throw HostError(path + ": cannot open: " + std::strerror(errno));
    if (!S_ISREG(info.st_mode)) throw HostError(path + ": not a regular file");
    if (static_cast<uint64_t>(info.st_size) > kMaxFileSize) throw HostError(path + ": file too large for a module");

    std::ifstream in(path, std::ios::binary);
    if (!in) throw HostError(path + ": cannot open: " + std::strerror(errno));
    std::vector<uint8> image(static_cast<std::size_t>(info.st_size));
    if (!image.empty() && !in.read(reinterpret_cast<char*>(image.data()), std::streamsize(image.size()))) {
        throw HostError(path + ": cannot read");
    }
    return Parse(std::move(image), path);
}

ElfSections ElfSections::Parse(std::vector<uint8> image, const std::string& origin) {
    auto fail = [&origin](const std::string& problem) -> HostError { return HostError(origin + ": " + problem); };

    if (image.size() < EI_NIDENT || std::memcmp(image.data(), ELFMAG, SELFMAG) != 0) {
        throw fail("not an ELF file");
    }
    if (image[EI_CLASS] != ELFCLASS64) throw fail("not a 64-bit ELF file");
    if (image[EI_DATA] != ELFDATA2LSB) throw fail("not a little-endian ELF file");
    if (image.size() < sizeof(Elf64_Ehdr)) throw fail("truncated ELF header");

    Elf64_Ehdr header;
    std::memcpy(&header, image.data(), sizeof header);
    const uint64_t fileSize = image.size();

    if (header.e_shoff == 0) throw fail("ELF file has no section table");
    if (header.e_shentsize != sizeof(Elf64_Shdr)) {
        throw fail("unexpected ELF section header size " + std::to_string(header.e_shentsize));
    }
    if (!Inside(header.e_shoff, sizeof(Elf64_Shdr), fileSize)) {
        throw fail("ELF section table lies outside the file (truncated?)");
    }

    // Extended numbering: a zero count or SHN_XINDEX puts the real values in section 0.
    const Elf64_Shdr first = HeaderAt(image, header.e_shoff);
    const uint64_t count = header.e_shnum != 0 ? header.e_shnum : first.sh_size;
    const uint64_t namesIndex = header.e_shstrndx == SHN_XINDEX ? first.sh_link : header.e_shstrndx;
    if (count == 0 || count > (fileSize - header.e_shoff) / sizeof(Elf64_Shdr)) {
        throw fail("ELF section table lies outside the file (truncated?)");
    }
    if (namesIndex == SHN_UNDEF || namesIndex >= count) throw fail("ELF section name table index out of range");

    const Elf64_Shdr names = HeaderAt(image, header.e_shoff + namesIndex * sizeof(Elf64_Shdr));
    if (HasNoBits(names.sh_type) || !Inside(names.sh_offset, names.sh_size, fileSize)) {
        throw fail("ELF section name table lies outside the file (truncated?)");
    }
    const char* nameBase = reinterpret_cast<const char*>(image.data() + names.sh_offset);

    ElfSections result;
    result.sections_.reserve(static_cast<std::size_t>(count));
    for (uint64_t i = 0; i < count; ++i) {
        const Elf64_Shdr sh = HeaderAt(image, header.e_shoff + i * sizeof(Elf64_Shdr));
        if (sh.sh_name >= names.sh_size) {
            throw fail("ELF section " + std::to_string(i) + " has a name outside the name table");
        }
        const void* zero = std::memchr(nameBase + sh.sh_name, 0, names.sh_size - sh.sh_name);
        if (!zero) throw fail("ELF section " + std::to_string(i) + " has an unterminated name");
        ElfSection section;
        section.name.assign(nameBase + sh.sh_name, static_cast<const char*>(zero));
        section.type = sh.sh_type;
        section.offset = sh.sh_offset;
        section.size = sh.sh_size;
        if (!HasNoBits(sh.sh_type) && !Inside(sh.sh_offset, sh.sh_size, fileSize)) {
            throw fail("ELF section '" + section.name + "' lies outside the file (truncated?)");
        }
        result.sections_.push_back(std::move(section));
    }
    result.image_ = std::move(image);
    return result;
}

std::string ElfSections::ResourceName(const std::string& type, int id) {
    return ".rsrc." + type + "." + std::to_string(id);
}

const ElfSection* ElfSections::Find(const std::string& name) const {
    for (const ElfSection& section : sections_) {
        if (section.name == name) return &section;
    }
    return nullptr;
}

std::vector<uint8> ElfSections::Contents(const ElfSection& section) const {
    if (HasNoBits(section.type) || section.size == 0) return {};
    // Bounds were checked when the table was read.
    const auto begin = image_.begin() + static_cast<std::ptrdiff_t>(section.offset);
    return std::vector<uint8>(begin, begin + static_cast<std::ptrdiff_t>(section.size));
}

}  // namespace hostsim
