// Loading a module's code with dlopen.
#include "hostsim/plugin_module.h"

#include <dlfcn.h>

namespace hostsim {

void* PluginModule::OpenCode(const std::string& path, std::string* why) {
    // dlopen searches the library path for a name without a slash; the user means the file.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    dlerror();
    // Kept mapped after close: a plug-in's toolkit registers types and exit handlers with the
    // process's GLib, which cannot be taken back, so unloading it would leave them dangling.
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        const char* text = dlerror();
        *why = text ? text : "unknown error";
    }
    return handle;
}

void PluginModule::CloseCode(void* handle) { dlclose(handle); }

void* PluginModule::FindSymbol(const char* name) const {
    return handle_ ? dlsym(handle_, name) : nullptr;
}

}  // namespace hostsim
