// The resources of a plug-in module, read from its file.
#pragma once
#include "hostsim/pipl.h"
#include "hostsim/terminology.h"

#include <optional>
#include <string>

namespace hostsim {

// The property list (required) and the scripting terminology it links to. Reading parses the
// ELF section table only; none of the module's code runs.
class ModuleResources {
public:
    static constexpr int kDefaultResourceId = 16000;

    // Throws HostError when the file is not an ELF64 module, has no property list, or a
    // resource is malformed; also when the property list names a terminology resource that
    // the file does not carry.
    static ModuleResources Read(const std::string& path);

    const std::string& path() const { return path_; }
    int piplId() const { return piplId_; }
    const Pipl& pipl() const { return pipl_; }
    // Null when the module has no terminology.
    const Terminology* terminology() const { return terminology_ ? &*terminology_ : nullptr; }
    int terminologyId() const { return terminologyId_; }

private:
    std::string path_;
    int piplId_ = 0;
    Pipl pipl_;
    std::optional<Terminology> terminology_;
    int terminologyId_ = 0;
};

}  // namespace hostsim
