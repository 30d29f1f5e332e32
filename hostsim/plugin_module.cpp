#include "hostsim/plugin_module.h"

#include "hostsim/four_cc.h"
#include "hostsim/host_error.h"

namespace hostsim {

std::unique_ptr<PluginModule> PluginModule::Load(const std::string& path) {
    ModuleResources resources = ModuleResources::Read(path);
    const Pipl& pipl = resources.pipl();
    if (!pipl.kind) throw HostError(path + ": the property list has no 'kind' property");
    if (*pipl.kind != kFilterKind) {
        throw HostError(path + ": not a filter plug-in (kind " + QuotedFourCC(*pipl.kind) + ", expected '8BFM')");
    }
    if (!pipl.entryPoint || pipl.entryPoint->empty()) {
        throw HostError(path + ": the property list names no entry point ('8664' property)");
    }

    std::unique_ptr<PluginModule> module(new PluginModule(std::move(resources)));
    std::string why;
    module->handle_ = OpenCode(path, &why);
    if (!module->handle_) throw HostError(path + ": cannot load module: " + why);

    const std::string& entryName = *module->pipl().entryPoint;
    void* entry = module->FindSymbol(entryName.c_str());
    if (!entry) throw HostError(path + ": entry point '" + entryName + "' not found in the module");
    module->entry_ = reinterpret_cast<PluginEntryProc>(entry);
    return module;
}

PluginModule::~PluginModule() {
    if (handle_) CloseCode(handle_);
}

}  // namespace hostsim
