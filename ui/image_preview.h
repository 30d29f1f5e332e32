// The dialog's preview: the viewer panel's zoomed and panned picture with the bubble's bounding
// box and four corner handles drawn over it. The mouse edits the bubble: drag the body to move
// it, drag a corner to resize it, press anywhere else to put the pointer tip there. Holding the
// space bar turns the left button into panning. Every edit is announced with the framework's
// parameter events, which the dialog turns into undo steps and re-renders.
#pragma once
#include "ui/viewer_panel.h"

#include <cstddef>
#include <cstdint>

class wxMenu;

class ImagePreview : public Corvantis::Host::Param::ViewerPanel {
public:
    ImagePreview(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                 const wxSize& size = wxDefaultSize, long style = 0, const wxString& name = wxString("panel"));
    ~ImagePreview() override;

    // The image's extent in preview pixels: the sampled size at or below 100 %, scaled above.
    uint64_t GetZoomedImageWidth() const;
    uint64_t GetZoomedImageHeight() const;
    // The bubble body in window coordinates, the edge line included.
    void GetBubbleRect(double& x, double& y, double& w, double& h) const;
    // Stores a value into the viewer's list as it is: no clamping, no event.
    void SetParamValue(std::size_t index, double value);
    // EVT_PARAM_BEGIN_CHANGE for what the coming drag changes (corner: 10, 11, 1, 2; body:
    // 10, 11; pointer: 12, 13), gathered into one undo step.
    void BeginPositionChange();
    // `type` for 10 and then 11.
    void SendPositionEvent(wxEventType type);
    // The panel's context menu without its reset and show-original commands.
    void BuildContextMenu(wxMenu* menu);

    void Draw(wxDC& dc) override;

    // The space bar is held: the left button pans.
    bool IsPanMode() const { return panMode; }

private:
    enum Hit { kTopLeft, kTopRight, kBottomLeft, kBottomRight, kBody, kNothing };
    Hit HitTest(int x, int y) const;
    // Pointer tip at the mouse; false while the image has no extent.
    bool PlacePointer(int x, int y);
    // The drag's new body from the start rectangle and the mouse travel.
    void MoveBody(int x, int y);
    double ParamValue(std::size_t index) const;

    void OnKeyDown(wxKeyEvent& event);
    void OnKeyUp(wxKeyEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnRightDown(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);

    int32_t anchorX = 0;  // mouse at the last press minus the pan at that moment
    int32_t anchorY = 0;
    double startLeft = 0, startTop = 0, startWidth = 0, startHeight = 0;  // body at the press
    bool panMode = false;  // the space bar is held
    bool dragging = false;
    bool topLeft = false, topRight = false, bottomLeft = false, bottomRight = false;
    // The press opened a position edit whose closing event is still to be sent. A press while
    // the image has no extent yet (nothing rendered) edits nothing.
    bool editOpen = false;

    wxDECLARE_EVENT_TABLE();
};
