// The state behind the dialog's preview, independent of any host: which part of the image is
// shown, at which zoom, where the image sits in the panel and what must be rendered again.
// The zoom is kept as a parameter record of its own so that a text field can be bound to it
// like any other parameter. The model draws nothing itself and owns no window.
#pragma once
#include "param/parameter.h"

#include <cstdint>

class wxDC;
class wxSlider;
class wxTextCtrl;

namespace Corvantis::Host::Param {

class Parameters;
class ViewerPanel;

// Index carried by the zoom field's events. It lies outside every parameter list, so the
// dialog never records an undo step for a zoom edit.
constexpr long kZoomParameterIndex = 1000000;

class ViewerBase {
public:
    // Neither the list nor the panel is owned; the panel may be null and be set later.
    ViewerBase(Parameters* parameters, ViewerPanel* panel);
    virtual ~ViewerBase();
    ViewerBase(const ViewerBase&) = delete;
    ViewerBase& operator=(const ViewerBase&) = delete;

    // Draws the preview into rect = {x, y, width, height} (panel pixels) of dc. On return rect
    // holds the part that image pixels cover; it is empty at its corner when nothing was drawn.
    virtual void Draw(int32_t rect[4], wxDC* dc) = 0;
    // Size of the image at the sampling scale; 0 until the first render has read the source.
    virtual int32_t GetWidth() const = 0;
    virtual int32_t GetHeight() const = 0;
    // The four samples under panel point (x, y), 0..1; false (and zeros) outside the image.
    virtual bool GetPixel(float out[4], int32_t x, int32_t y) const = 0;

    // Binds the zoom record to a text field and a slider (either may be null).
    void BindZoomControls(wxTextCtrl* text, wxSlider* slider);

    void ZoomIn();
    void ZoomOut();
    // Clamps to the zoom record's accepted range and keeps the pivot point where it is.
    void SetZoom(float newZoom);
    // Fit and centre at the next render; the original is no longer shown.
    void ResetView();
    // Step back or forward in the list's history; a change re-renders and refreshes controls.
    void Undo();
    void Redo();
    // Every validator-bound control of the panel's top-level window shows its value again.
    void RefreshControls();
    // Keeps the picture placed for the view the render is about to fill, whose size may have
    // changed since the last render (the window was resized, maximised or restored): a picture
    // still placed as the last fit left it is fitted again; one the user zoomed or panned keeps
    // the image point at the view's centre.
    void FollowViewSize(int32_t width, int32_t height);
    // The render has just fitted and centred the picture: remembers that placement.
    void RememberFit();

    // The zoom steps: ..., 1/4, 1/3, 1/2, 1, 2, 3, ...; values between steps snap to the next.
    static float NextZoomIn(float zoom);
    static float NextZoomOut(float zoom);

    Parameters* parameters = nullptr;
    ViewerPanel* panel = nullptr;
    wxTextCtrl* zoomText = nullptr;
    wxSlider* zoomSlider = nullptr;
    // The zoom in percent; equal to zoom x 100 after SetZoom. A value the bound field writes
    // into it is taken over at the next render.
    Parameter zoomParam;
    float zoom = 1.0f;          // 1 = one image pixel per panel pixel
    int32_t panX = 0;           // image's top-left relative to the view's top-left, panel pixels
    int32_t panY = 0;
    int32_t pivotX = 0;         // the point SetZoom keeps fixed (the view's centre)
    int32_t pivotY = 0;
    bool needsRender = true;    // the parameters changed: rebuild the rendered image
    bool scaleChanged = false;  // the zoom moved below or from below 100 %: new sampling scale
    bool resetPending = true;   // the next render fits the image into the view and centres it
    bool showOriginal = false;  // show the source without the bubble
    int32_t source = 0;         // input shown with showOriginal (0 = the filtered layer)

protected:
    // Repaints the whole panel, background erased, when one is attached.
    void RefreshPanel();

private:
    bool viewKnown = false;     // a render has taken the view's size
    int32_t viewWidth = 0;      // size of the view at the last render
    int32_t viewHeight = 0;
    bool fitKnown = false;      // the placement below was left by a fit
    float fitZoom = 0.0f;
    int32_t fitPanX = 0;
    int32_t fitPanY = 0;
};

}  // namespace Corvantis::Host::Param
