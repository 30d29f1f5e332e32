// Loading a module's code with LoadLibrary.
#include "hostsim/plugin_module.h"

#include "hostsim/windows_text.h"

#include <windows.h>

namespace hostsim {

void* PluginModule::OpenCode(const std::string& path, std::string* why) {
    // The file the user named, not a module of that name on the search path; the module's
    // own folder is searched for what it imports.
    const std::wstring file = FullPath(Widen(path));
    HMODULE module = LoadLibraryExW(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) *why = SystemErrorText(GetLastError());
    return reinterpret_cast<void*>(module);
}

void PluginModule::CloseCode(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }

void* PluginModule::FindSymbol(const char* name) const {
    if (!handle_) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace hostsim
