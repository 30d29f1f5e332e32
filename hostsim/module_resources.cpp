#include "hostsim/module_resources.h"

#include "hostsim/host_error.h"

namespace hostsim {

ModuleResources ModuleResources::FromSource(const std::string& path, const ResourceSource& source) {
    ModuleResources resources;
    resources.path_ = path;

    // The first property list in the file; normally the only one, with id 16000.
    const std::optional<int> piplId = source.FirstId("PIPL");
    const std::optional<std::vector<uint8>> piplBytes =
        piplId ? source.Bytes("PIPL", *piplId) : std::optional<std::vector<uint8>>();
    if (!piplBytes) {
        throw HostError(path + ": no plug-in property list (no " + source.Describe("PIPL", kDefaultResourceId) +
                        "); not a plug-in module");
    }
    resources.piplId_ = *piplId;
    try {
        resources.pipl_ = Pipl::Parse(*piplBytes);
    } catch (const HostError& e) {
        throw HostError(path + ": " + e.what());
    }

    // The terminology named by the property list, else the one with the default id if present.
    const bool linked = resources.pipl_.terminology.has_value();
    resources.terminologyId_ = linked ? resources.pipl_.terminology->terminologyId : kDefaultResourceId;
    if (const auto aete = source.Bytes("AETE", resources.terminologyId_)) {
        try {
            resources.terminology_ = Terminology::Parse(*aete);
        } catch (const HostError& e) {
            throw HostError(path + ": " + e.what());
        }
    } else if (linked) {
        throw HostError(path + ": the property list names terminology resource " +
                        std::to_string(resources.terminologyId_) + " but there is no " +
                        source.Describe("AETE", resources.terminologyId_));
    }
    return resources;
}

}  // namespace hostsim
