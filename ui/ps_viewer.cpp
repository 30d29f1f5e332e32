#include "ui/ps_viewer.h"

#include <wx/dc.h>

namespace Corvantis::Host::PS {

Viewer::Viewer(Host* hostObject, Param::Parameters* list, Param::ViewerPanel* viewerPanel)
    : Param::Viewer<Host>(hostObject, list, viewerPanel) {}

Viewer::~Viewer() = default;

void Viewer::Draw(int32_t rect[4], wxDC* dc) {
    Rect view{rect[1], rect[0], rect[1] + rect[3], rect[0] + rect[2]};
    // wxDC::GetHandle is the native context on every port (GetHDC exists only on Windows).
    Render(view, 0, dc ? dc->GetHandle() : nullptr);
    rect[0] = view.left;
    rect[1] = view.top;
    rect[2] = view.right - view.left;
    rect[3] = view.bottom - view.top;
}

}  // namespace Corvantis::Host::PS
