#include "host/dialog_map.h"

#include <wx/dialog.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <fstream>
#include <string>

namespace Corvantis::Host::PS {
namespace {

void WriteControls(std::ofstream& out, wxWindow* window) {
    for (wxWindow* child : window->GetChildren()) {
        if (child->IsTopLevel()) continue;
        if (child->GetId() >= 0) {
            const wxRect r = child->GetScreenRect();
            out << child->GetId() << ' ' << r.x << ' ' << r.y << ' ' << r.width << ' ' << r.height << ' '
                << child->GetLabel().utf8_str() << '\n';
        }
        WriteControls(out, child);
    }
}

}  // namespace

void MapDialogWhenShown(wxDialog* dialog, const char* suffix) {
    const char* path = std::getenv("TELLORA_DIALOG_MAP");
    if (!dialog || !path || !*path) return;
    const std::string file = std::string(path) + (suffix ? suffix : "");
    // The first idle time with the dialog on screen: laid out and placed.
    auto written = std::make_shared<bool>(false);
    dialog->Bind(wxEVT_IDLE, [dialog, file, written](wxIdleEvent& event) {
        event.Skip();
        if (*written || !dialog->IsShownOnScreen()) return;
        *written = true;
        const std::string temporary = file + ".part";
        {
            std::ofstream out(temporary, std::ios::trunc);
            WriteControls(out, dialog);
        }
        std::rename(temporary.c_str(), file.c_str());  // complete or absent for the reader
    });
}

}  // namespace Corvantis::Host::PS
