#include "ui/viewer_panel.h"

#include "param/parameters.h"
#include "ui/viewer_base.h"

#include <wx/dcclient.h>
#include <wx/intl.h>
#include <wx/menu.h>

namespace Corvantis::Host::Param {

wxIMPLEMENT_DYNAMIC_CLASS(ViewerPanel, wxPanel);

wxBEGIN_EVENT_TABLE(ViewerPanel, wxPanel)
    EVT_PAINT(ViewerPanel::OnPaint)
    EVT_ERASE_BACKGROUND(ViewerPanel::OnEraseBackground)
    EVT_RIGHT_DOWN(ViewerPanel::OnRightDown)
    EVT_LEFT_DOWN(ViewerPanel::OnLeftDown)
    EVT_LEFT_UP(ViewerPanel::OnLeftUp)
    EVT_MOTION(ViewerPanel::OnMotion)
    EVT_MOUSE_CAPTURE_LOST(ViewerPanel::OnCaptureLost)
    EVT_SIZE(ViewerPanel::OnSize)
wxEND_EVENT_TABLE()

ViewerPanel::ViewerPanel() { Init(); }

ViewerPanel::ViewerPanel(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style,
                         const wxString& name)
    : wxPanel(parent, id, pos, size, style, name) {
    Init();
}

ViewerPanel::~ViewerPanel() = default;

void ViewerPanel::Init() {
    viewer = nullptr;
    painting = false;
    SetCursor(wxCursor(wxCURSOR_HAND));
}

void ViewerPanel::FillContextMenu(wxMenu* menu) {
    struct Item {
        int id;
        const char* label;
        wxItemKind kind;
    };
    static const Item items[] = {
        {kCmdZoomIn, "Zoom In\tCtrl+I", wxITEM_NORMAL},
        {kCmdZoomOut, "Zoom Out\tCtrl+O", wxITEM_NORMAL},
        {kCmdResetViewer, "Reset Viewer\tCtrl+R", wxITEM_NORMAL},
        {kCmdShowOriginal, "Show Original \tCtrl+G", wxITEM_CHECK},
        {kCmdUndo, "Undo\tCtrl+Z", wxITEM_CHECK},
        {kCmdRedo, "Redo\tCtrl+Y", wxITEM_CHECK},
    };
    for (const Item& item : items)
        menu->Append(new wxMenuItem(menu, item.id, wxGetTranslation(item.label), wxEmptyString, item.kind));
    if (!viewer) return;
    menu->Check(kCmdShowOriginal, viewer->showOriginal);
    const Parameters* list = viewer->parameters;
    menu->Enable(kCmdRedo, list && list->CanRedo());
    menu->Enable(kCmdUndo, list && list->CanUndo());
}

void ViewerPanel::Draw(wxDC& dc) {
    const wxSize size = GetSize();
    const int W = size.GetWidth();
    const int H = size.GetHeight();
    int32_t rect[4] = {2, 2, W - 4, H - 4};
    if (viewer) viewer->Draw(rect, &dc);
    else rect[2] = rect[3] = 0;
    const int x = rect[0], y = rect[1], w = rect[2], h = rect[3];

    dc.SetPen(*wxBLACK_PEN);
    dc.SetBrush(*wxBLACK_BRUSH);
    dc.DrawRectangle(0, 0, W, y);
    dc.DrawRectangle(0, y, x, h);
    dc.DrawRectangle(x + w, y, W - x - w, h);
    dc.DrawRectangle(0, y + h, W, H - y - h);

    dc.SetPen(*wxGREY_PEN);
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(x - 2, y - 2, w + 4, h + 4);
}

void ViewerPanel::OnPaint(wxPaintEvent&) {
    // A paint request while a render runs (its error box runs a nested event loop) is dropped.
    // Without a viewer nothing is drawn, but the paint DC still validates the damaged region.
    if (!viewer || painting) {
        wxPaintDC validate(this);
        return;
    }
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{painting};
    painting = true;
    wxPaintDC dc(this);
    Draw(dc);
}

void ViewerPanel::OnEraseBackground(wxEraseEvent&) {
    // Draw's bars cover the whole panel.
}

void ViewerPanel::OnSize(wxSizeEvent& event) {
    event.Skip();
    // The picture is placed for the whole panel, so all of it is painted again: the system
    // would repaint only what a larger size uncovers, and nothing after a smaller one.
    Refresh(true);
}

void ViewerPanel::OnRightDown(wxMouseEvent&) {
    wxMenu menu(wxEmptyString, 0);
    FillContextMenu(&menu);
    PopupMenu(&menu, wxDefaultPosition);
}

void ViewerPanel::OnLeftDown(wxMouseEvent& event) {
    if (!viewer) return;
    dragOffsetX = event.GetX() - viewer->panX;
    dragOffsetY = event.GetY() - viewer->panY;
    SetCursor(wxCursor(wxCURSOR_HAND));
    if (!HasCapture()) CaptureMouse();
}

void ViewerPanel::OnMotion(wxMouseEvent& event) {
    if (!viewer || !event.Dragging() || !event.LeftIsDown()) return;
    viewer->panX = event.GetX() - dragOffsetX;
    viewer->panY = event.GetY() - dragOffsetY;
    // The next render clamps the pan.
    if (viewer->panel) viewer->panel->Refresh(true);
}

void ViewerPanel::OnLeftUp(wxMouseEvent&) {
    if (!HasCapture()) return;
    ReleaseMouse();
    SetCursor(wxCursor(wxCURSOR_HAND));
}

void ViewerPanel::OnCaptureLost(wxMouseCaptureLostEvent&) {
    // The capture ended elsewhere (another window took it): the drag is over.
    SetCursor(wxCursor(wxCURSOR_HAND));
}

}  // namespace Corvantis::Host::Param
