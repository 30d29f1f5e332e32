// The window the preview is shown in. It paints by handing its device context to the viewer
// model, frames the picture with black bars and a grey outline, pans the image while the left
// button drags, and offers the zoom, reset, show-original, undo and redo commands in a context
// menu. The commands are not handled here: they travel up to the dialog as menu events.
//
// The dialog's interactive preview derives from it: construct through the protected
// constructor (or default-construct, Create, then Init), override Draw (calling this one
// first) and FillContextMenu, and replace the mouse handlers with its own event table.
#pragma once
#include <wx/panel.h>

class wxMenu;

namespace Corvantis::Host::Param {

class ViewerBase;

// Context-menu and accelerator command ids shared with the dialog.
enum ViewerCommand : int {
    kCmdZoomIn = 6000,
    kCmdZoomOut = 6001,
    kCmdResetViewer = 6004,
    kCmdShowOriginal = 6005,
    kCmdRedo = 6006,
    kCmdUndo = 6007,
};

class ViewerPanel : public wxPanel {
public:
    // For dynamic creation: the window itself is made later by wxPanel::Create.
    ViewerPanel();
    // Creates the window and initialises the panel.
    ViewerPanel(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = wxTAB_TRAVERSAL,
                const wxString& name = wxString(wxPanelNameStr));
    ~ViewerPanel() override;

    // No viewer, not painting, the hand cursor. Subclasses call it after wxPanel::Create.
    void Init();

    // Appends the six commands; show-original is checked by the viewer's flag, undo and redo
    // are enabled by the list's history.
    virtual void FillContextMenu(wxMenu* menu);
    // Paints the preview and the bars around it; leaves the grey pen and the transparent
    // brush selected for an overriding Draw to continue with.
    virtual void Draw(wxDC& dc);

    ViewerBase* viewer = nullptr;  // not owned; set by the dialog once it has its viewer
    int32_t dragOffsetX = 0;       // mouse position minus the viewer's pan at the drag's start
    int32_t dragOffsetY = 0;
    bool painting = false;         // a paint is in progress (a message box may re-enter)

protected:
    void OnPaint(wxPaintEvent& event);
    void OnEraseBackground(wxEraseEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnRightDown(wxMouseEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);

private:
    wxDECLARE_DYNAMIC_CLASS(ViewerPanel);
    wxDECLARE_EVENT_TABLE();
};

}  // namespace Corvantis::Host::Param
