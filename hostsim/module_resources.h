// The resources of a plug-in module, read from its file.
#pragma once
#include "hostsim/pipl.h"
#include "hostsim/terminology.h"

#include "pluginapi/pi_types.h"

#include <optional>
#include <string>
#include <vector>

namespace hostsim {

// Where a module's resources come from, per platform: the sections of an ELF file
// (".rsrc.<TYPE>.<ID>"), or the resource table of a Windows module.
class ResourceSource {
public:
    virtual ~ResourceSource() = default;
    // The id of the first resource of `type`, or none.
    virtual std::optional<int> FirstId(const std::string& type) const = 0;
    // The bytes of a resource, or none when there is no such resource.
    virtual std::optional<std::vector<uint8>> Bytes(const std::string& type, int id) const = 0;
    // How a message names the resource: "section .rsrc.AETE.16000", "AETE resource 16000".
    virtual std::string Describe(const std::string& type, int id) const = 0;
};

// The property list (required) and the scripting terminology it links to. Reading looks at
// the file's resources only; none of the module's code runs.
class ModuleResources {
public:
    static constexpr int kDefaultResourceId = 16000;

    // Per platform (module_resources_elf.cpp, module_resources_win.cpp). Throws HostError when
    // the file is not a module of this platform, has no property list, or a resource is
    // malformed; also when the property list names a terminology resource that the file does
    // not carry.
    static ModuleResources Read(const std::string& path);
    // The same checks on resources found by any source; `path` names the file in messages.
    static ModuleResources FromSource(const std::string& path, const ResourceSource& source);

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
