// The module's one export: the host calls it once per selector.
#include "filter/tellora_plugin.h"

extern "C" __attribute__((visibility("default"))) void PluginMain(int16 selector, void* record, intptr_t* data,
                                                                  int16* result) {
    TelloraPluginPS plugin;
    plugin.Init(record, selector == filterSelectorAbout, data, result, "Corvantis Tellora");
    plugin.registryPrefix = "Software\\Corvantis\\Tellora\\";
    plugin.Dispatch(selector);
}
