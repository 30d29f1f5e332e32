// A module's resources on ELF platforms: sections named ".rsrc.<TYPE>.<ID>".
#include "hostsim/module_resources.h"

#include "hostsim/elf_sections.h"

#include <cstdlib>

namespace hostsim {

namespace {

std::string Prefix(const std::string& type) { return ".rsrc." + type + "."; }

// The decimal id after the prefix, or -1 when the rest is not a plain number.
int ResourceIdOf(const std::string& sectionName, const std::string& prefix) {
    const std::string digits = sectionName.substr(prefix.size());
    if (digits.empty() || digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::atoi(digits.c_str());
}

class ElfResources : public ResourceSource {
public:
    explicit ElfResources(ElfSections elf) : elf_(std::move(elf)) {}

    std::optional<int> FirstId(const std::string& type) const override {
        const std::string prefix = Prefix(type);
        for (const ElfSection& section : elf_.sections()) {
            if (section.name.compare(0, prefix.size(), prefix) != 0) continue;
            const int id = ResourceIdOf(section.name, prefix);
            if (id >= 0) return id;
        }
        return std::nullopt;
    }

    std::optional<std::vector<uint8>> Bytes(const std::string& type, int id) const override {
        const ElfSection* section = elf_.Find(ElfSections::ResourceName(type, id));
        if (!section) return std::nullopt;
        return elf_.Contents(*section);
    }

    std::string Describe(const std::string& type, int id) const override {
        return "section " + ElfSections::ResourceName(type, id);
    }

private:
    ElfSections elf_;
};

}  // namespace

ModuleResources ModuleResources::Read(const std::string& path) {
    return FromSource(path, ElfResources(ElfSections::ReadFile(path)));
}

}  // namespace hostsim
