// A loaded filter plug-in module.
#pragma once
#include "hostsim/module_resources.h"

#include "pluginapi/filter_record.h"

#include <memory>
#include <string>

namespace hostsim {

// Reads the module's resources from its file, checks that it is a filter, loads its code
// (dlopen; LoadLibrary on Windows) and resolves the entry point its property list names.
// Unloaded on destruction.
class PluginModule {
public:
    // Throws HostError with a message fit for the user when any step fails.
    static std::unique_ptr<PluginModule> Load(const std::string& path);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    const std::string& path() const { return resources_.path(); }
    const ModuleResources& resources() const { return resources_; }
    const Pipl& pipl() const { return resources_.pipl(); }
    const Terminology* terminology() const { return resources_.terminology(); }
    PluginEntryProc entry() const { return entry_; }

    // Any other exported symbol of the module, or null.
    void* FindSymbol(const char* name) const;

    // One call of the entry point, as a host makes it.
    void Call(int16 selector, void* record, intptr_t* data, int16* result) const {
        entry_(selector, record, data, result);
    }

private:
    explicit PluginModule(ModuleResources resources) : resources_(std::move(resources)) {}

    // Per platform (plugin_module_posix.cpp, plugin_module_win.cpp): the loaded code's handle,
    // or null with the reason in `why`; and its release.
    static void* OpenCode(const std::string& path, std::string* why);
    static void CloseCode(void* handle);

    ModuleResources resources_;
    void* handle_ = nullptr;
    PluginEntryProc entry_ = nullptr;
};

}  // namespace hostsim
