#include "hostsim/module_resources.h"

#include "hostsim/elf_sections.h"
#include "hostsim/host_error.h"

#include <cstdlib>

namespace hostsim {

namespace {

const std::string kPiplPrefix = ".rsrc.PIPL.";

// The decimal id after the prefix, or -1 when the rest is not a plain number.
int ResourceIdOf(const std::string& sectionName, const std::string& prefix) {
    const std::string digits = sectionName.substr(prefix.size());
    if (digits.empty() || digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::atoi(digits.c_str());
}

}  // namespace

ModuleResources ModuleResources::Read(const std::string& path) {
    const ElfSections elf = ElfSections::ReadFile(path);
    ModuleResources resources;
    resources.path_ = path;

    // The first property list in the file; normally the only one, with id 16000.
    const ElfSection* piplSection = nullptr;
    for (const ElfSection& section : elf.sections()) {
        if (section.name.compare(0, kPiplPrefix.size(), kPiplPrefix) == 0 &&
            ResourceIdOf(section.name, kPiplPrefix) >= 0) {
            piplSection = &section;
            break;
        }
    }
    if (!piplSection) {
        throw HostError(path + ": no plug-in property list (no section " +
                        ElfSections::ResourceName("PIPL", kDefaultResourceId) + "); not a plug-in module");
    }
    resources.piplId_ = ResourceIdOf(piplSection->name, kPiplPrefix);
    try {
        resources.pipl_ = Pipl::Parse(elf.Contents(*piplSection));
    } catch (const HostError& e) {
        throw HostError(path + ": " + e.what());
    }

    // The terminology named by the property list, else the one with the default id if present.
    const bool linked = resources.pipl_.terminology.has_value();
    resources.terminologyId_ = linked ? resources.pipl_.terminology->terminologyId : kDefaultResourceId;
    const std::string aeteName = ElfSections::ResourceName("AETE", resources.terminologyId_);
    if (const ElfSection* aete = elf.Find(aeteName)) {
        try {
            resources.terminology_ = Terminology::Parse(elf.Contents(*aete));
        } catch (const HostError& e) {
            throw HostError(path + ": " + e.what());
        }
    } else if (linked) {
        throw HostError(path + ": the property list names terminology resource " +
                        std::to_string(resources.terminologyId_) + " but there is no section " + aeteName);
    }
    return resources;
}

}  // namespace hostsim
