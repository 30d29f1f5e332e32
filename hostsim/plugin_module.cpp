#include "hostsim/plugin_module.h"

#include "hostsim/four_cc.h"
#include "hostsim/host_error.h"

#include <dlfcn.h>

namespace hostsim {

namespace {
std::string DlError() {
    const char* text = dlerror();
    return text ? text : "unknown error";
}
}  // namespace

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
    // dlopen searches the library path for a name without a slash; the user means the file.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    dlerror();
    // Kept mapped after close: a plug-in's toolkit registers types and exit handlers with the
    // process's GLib, which cannot be taken back, so unloading it would leave them dangling.
    module->handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!module->handle_) throw HostError(path + ": cannot load module: " + DlError());

    const std::string& entryName = *module->pipl().entryPoint;
    void* entry = module->FindSymbol(entryName.c_str());
    if (!entry) throw HostError(path + ": entry point '" + entryName + "' not found in the module");
    module->entry_ = reinterpret_cast<PluginEntryProc>(entry);
    return module;
}

PluginModule::~PluginModule() {
    if (handle_) dlclose(handle_);
}

void* PluginModule::FindSymbol(const char* name) const {
    return handle_ ? dlsym(handle_, name) : nullptr;
}

}  // namespace hostsim
