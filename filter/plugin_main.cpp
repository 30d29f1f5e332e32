// The module's one export: the host calls it once per selector.
#include "filter/tellora_plugin.h"
#include "win32/module_manifest.h"

#ifdef _WIN32
// Exported by name through tellora.def.
#define TELLORA_EXPORT
#else
#define TELLORA_EXPORT __attribute__((visibility("default")))
#endif

extern "C" TELLORA_EXPORT void PluginMain(int16 selector, void* record, intptr_t* data,
                                                                  int16* result) {
    // The module's manifest is in force until the toolkit has stopped again.
    const ModuleManifestScope manifest;
    TelloraPluginPS plugin;
    plugin.Init(record, selector == filterSelectorAbout, data, result, "Corvantis Tellora");
    plugin.registryPrefix = "Software\\Corvantis\\Tellora\\";
    plugin.Dispatch(selector);
}
