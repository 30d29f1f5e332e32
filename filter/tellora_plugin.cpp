#include "filter/tellora_plugin.h"

#include "filter/dialog_hook.h"
#include "filter/parameter_table.h"
#include "host/image_modes.h"
#include "host/modal_dialog_runner.h"
#include "param/ps_parameters.h"
#include "ui/tellora_ui.h"
#include "win32/toolkit_state.h"

#include <wx/init.h>
#ifdef __WXMSW__
#include <wx/msw/private.h>

#include "win32/module_handle.h"
#endif

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

bool GrayscaleMode = false;

namespace {

#ifdef __WXGTK__
// When GTK opens the display it probes OpenGL (loading GLX, the driver and its compiler), which
// the plug-in never draws with. Unless the host chose a setting of its own, the probe is switched
// off while the toolkit starts, and the host's environment is put back as it was. A host that has
// started GTK already is not affected.
class SkipOpenGlProbe {
public:
    SkipOpenGlProbe() : set(!std::getenv("GDK_GL") && setenv("GDK_GL", "disable", 0) == 0) {}
    ~SkipOpenGlProbe() {
        if (set) unsetenv("GDK_GL");
    }
    SkipOpenGlProbe(const SkipOpenGlProbe&) = delete;
    SkipOpenGlProbe& operator=(const SkipOpenGlProbe&) = delete;

private:
    bool set;
};
#else
struct SkipOpenGlProbe {};
#endif

}  // namespace


TelloraPluginPS::TelloraPluginPS() {
    // The toolkit is started afresh for every call and stopped at its end. A failed start still
    // counts as one level, so the destructor's wxUninitialize always runs.
    int argc = 0;
#ifdef __WXMSW__
    wxSetInstance(ThisModule());
#endif
    [[maybe_unused]] const SkipOpenGlProbe noOpenGl;
    toolkitStarted = wxInitialize(argc, static_cast<wxChar**>(nullptr));
    SetToolkitReady(toolkitStarted);
}

TelloraPluginPS::~TelloraPluginPS() {
    // The cache holds toolkit objects (the font): gone before the toolkit stops.
    renderCache.reset();
    SetToolkitReady(false);
    wxUninitialize();
}

void TelloraPluginPS::RequireToolkit() const {
    if (!toolkitStarted)
        throw std::runtime_error(
            "Tellora could not start its user interface toolkit (no display is available), so it cannot draw.");
}

void TelloraPluginPS::OnAbout() {
    char text[2048];
    std::snprintf(text, sizeof text, "%s\n%s\n\n%s", "Tellora 1.0", "Speech bubbles for your images.",
                  "TODO: About text goes here...");
    ShowMessage(text, "Tellora", Corvantis::Host::PS::kMessageOk);
}

bool TelloraPluginPS::RunDialog(Parameters* list) {
    GrayscaleMode = filterRecord && Corvantis::Host::PS::ColorSpaceOfMode(filterRecord->imageMode) == 4;
    RequireToolkit();
    if (const auto answer = AskDialogStandIn(list)) return *answer;
    return Corvantis::Host::PS::RunModalInHostWindow(this, list, CreateTelloraDialog);
}

void TelloraPluginPS::DefineParameters(Parameters* list) {
    if (list) AppendTelloraParameters(*list);
}

int16 TelloraPluginPS::EffectiveMode(int16 mode) {
    const int16 effective = TelloraPlugin<Corvantis::Host::PS::Host>::EffectiveMode(mode);
    switch (effective) {
        case plugInModeLabColor:
        case plugInModeHSLColor:
        case plugInModeHSBColor: return plugInModeRGBColor;
        case plugInModeLab48: return plugInModeRGB48;
        default: return effective;
    }
}
