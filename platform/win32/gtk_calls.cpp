#include "win32/gtk_calls.h"

#include <dlfcn.h>

namespace TelloraGtk {
namespace {

using GType = unsigned long;

struct Loaded : Calls {
    int (*isA)(void* instance, GType type) = nullptr;
    GType (*widgetType)() = nullptr;
};

template <class F>
void Resolve(F& target, const char* name) {
    target = reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

const Loaded& Table() {
    static const Loaded table = [] {
        Loaded t;
        Resolve(t.widgetSensitive, "gtk_widget_get_sensitive");
        Resolve(t.setSensitive, "gtk_widget_set_sensitive");
        Resolve(t.isToplevel, "gtk_widget_is_toplevel");
        Resolve(t.present, "gtk_window_present");
        Resolve(t.grabFocus, "gtk_widget_grab_focus");
        Resolve(t.widgetWindow, "gtk_widget_get_window");
        Resolve(t.isA, "g_type_check_instance_is_a");
        Resolve(t.widgetType, "gtk_widget_get_type");
        return t;
    }();
    return table;
}

}  // namespace

const Calls& Get() { return Table(); }

bool IsWidget(void* handle) {
    const Loaded& t = Table();
    if (!handle || !t.isA || !t.widgetType) return false;
    return t.isA(handle, t.widgetType()) != 0;
}

}  // namespace TelloraGtk
