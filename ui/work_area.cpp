#include "ui/work_area.h"

#include <wx/display.h>
#include <wx/toplevel.h>

#include <algorithm>

wxRect WorkAreaNear(const wxWindow* near) {
    const int index = near ? wxDisplay::GetFromWindow(near) : wxNOT_FOUND;
    const wxDisplay display = index == wxNOT_FOUND ? wxDisplay() : wxDisplay(static_cast<unsigned>(index));
    return display.GetClientArea();
}

void PlaceInWorkArea(wxTopLevelWindow* window, const wxWindow* near) {
    if (!window) return;
    const wxRect area = WorkAreaNear(near);
    if (area.IsEmpty()) return;

    // The layout's minimum may ask for more than the screen has (two columns that share the
    // width equally count the wider one twice); the sizers still give each control its own
    // minimum when the window is narrower than that.
    wxSize minimum = window->GetMinSize();
    if (minimum != wxDefaultSize) {
        minimum.DecTo(area.GetSize());
        window->SetMinSize(minimum);
    }
    wxSize size = window->GetSize();
    size.DecTo(area.GetSize());

    wxRect around = near ? near->GetScreenRect() : area;
    if (!around.Intersects(area)) around = area;
    wxRect rect = wxRect(size).CentreIn(around);
    rect.x = std::clamp(rect.x, area.x, area.GetRight() + 1 - rect.width);
    rect.y = std::clamp(rect.y, area.y, area.GetBottom() + 1 - rect.height);
    window->SetSize(rect);
}
