// The section table of an ELF64 file, read from the file itself without loading it.
#pragma once
#include "pluginapi/pi_types.h"

#include <cstddef>
#include <string>
#include <vector>

namespace hostsim {

struct ElfSection {
    std::string name;
    uint32 type = 0;
    uint64_t offset = 0;  // in the file; checked to lie inside it unless the section has no bits
    uint64_t size = 0;
};

// A module's resources live in sections named ".rsrc.<TYPE>.<ID>", so the host can find them
// before (and without) running any of the module's code. Every offset and size in the file is
// checked against the file before it is used; anything inconsistent throws HostError.
class ElfSections {
public:
    // Files larger than this are refused rather than read into memory.
    static constexpr std::size_t kMaxFileSize = std::size_t(1) << 30;

    static ElfSections ReadFile(const std::string& path);
    // `origin` names the image in error messages.
    static ElfSections Parse(std::vector<uint8> image, const std::string& origin);

    // ".rsrc." + type + "." + decimal id.
    static std::string ResourceName(const std::string& type, int id);

    const std::vector<ElfSection>& sections() const { return sections_; }
    const ElfSection* Find(const std::string& name) const;
    // The section's bytes (empty for a section without bits).
    std::vector<uint8> Contents(const ElfSection& section) const;

private:
    ElfSections() = default;

    std::vector<uint8> image_;
    std::vector<ElfSection> sections_;
};

}  // namespace hostsim
