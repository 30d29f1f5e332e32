// The copy-through module's one export.
#include "copy_through_plugin.h"

extern "C" __attribute__((visibility("default"))) void PluginMain(int16 selector, void* record, intptr_t* data,
                                                                  int16* result) {
    CopyThroughPlugin plugin;
    plugin.Init(record, selector == filterSelectorAbout, data, result, "Copy Through");
    plugin.Dispatch(selector);
}
