#include "ui/image_preview.h"

#include "filter/parameter_table.h"
#include "param/parameters.h"
#include "ui/framework_events.h"
#include "ui/viewer_base.h"

#include <wx/dc.h>
#include <wx/menu.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

using Corvantis::Host::Param::Parameters;
using Corvantis::Host::Param::SendFrameworkEvent;

namespace {

constexpr int kHandleSize = 10;

// Toward zero into 32 bits; values beyond the range saturate and NaN gives 0.
int TruncInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<int>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

// Whether the point lies in the rectangle (right and bottom excluded), as the toolkit's
// rectangle tells it, in 64 bits: its own arithmetic overflows for sides near the 32-bit limits.
bool Inside(int left, int top, int width, int height, int x, int y) {
    return x >= left && y >= top && int64_t(x) - left < width && int64_t(y) - top < height;
}

// Draws a rectangle of window pixels. One that reaches far past the window has those sides
// moved to just outside it, where nothing of its outline shows: on GTK the device context draws
// with cairo, whose coordinates are 24.8 fixed point. One wholly outside is not drawn.
void DrawRectangleNear(wxDC& dc, int x, int y, int width, int height, const wxSize& window) {
    constexpr int64_t kSpare = 16;
    int64_t left = x, top = y, right = left + width, bottom = top + height;
    const auto near = [&](int64_t v, int64_t extent) { return v >= -kSpare && v <= extent + kSpare; };
    if (near(left, window.x) && near(right, window.x) && near(top, window.y) && near(bottom, window.y)) {
        dc.DrawRectangle(x, y, width, height);
        return;
    }
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    if (right < 0 || bottom < 0 || left > window.x || top > window.y) return;
    left = std::max(left, -kSpare);
    top = std::max(top, -kSpare);
    right = std::min(right, window.x + kSpare);
    bottom = std::min(bottom, window.y + kSpare);
    dc.DrawRectangle(int(left), int(top), int(right - left), int(bottom - top));
}

// W, or W x z in single precision truncated, above 100 %.
uint64_t Zoomed(int32_t extent, float zoom) {
    if (extent <= 0) return 0;
    if (!(zoom > 1.0f)) return static_cast<uint64_t>(extent);
    const float scaled = float(extent) * zoom;
    if (!(scaled < 1.8e19f)) return 0;  // far beyond any picture: treat as none
    return static_cast<uint64_t>(scaled);
}

}  // namespace

wxBEGIN_EVENT_TABLE(ImagePreview, Corvantis::Host::Param::ViewerPanel)
    EVT_KEY_DOWN(ImagePreview::OnKeyDown)
    EVT_KEY_UP(ImagePreview::OnKeyUp)
    EVT_LEFT_DOWN(ImagePreview::OnLeftDown)
    EVT_LEFT_UP(ImagePreview::OnLeftUp)
    EVT_RIGHT_DOWN(ImagePreview::OnRightDown)
    EVT_MOTION(ImagePreview::OnMotion)
    EVT_MOUSE_CAPTURE_LOST(ImagePreview::OnCaptureLost)
wxEND_EVENT_TABLE()

ImagePreview::ImagePreview(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style,
                           const wxString& name)
    : ViewerPanel(parent, id, pos, size, style, name) {
    // The panel's own initialisation chose the hand; here the hand means panning.
    SetCursor(wxCursor(wxCURSOR_CROSS));
}

ImagePreview::~ImagePreview() = default;

uint64_t ImagePreview::GetZoomedImageWidth() const {
    return viewer ? Zoomed(viewer->GetWidth(), viewer->zoom) : 0;
}

uint64_t ImagePreview::GetZoomedImageHeight() const {
    return viewer ? Zoomed(viewer->GetHeight(), viewer->zoom) : 0;
}

double ImagePreview::ParamValue(std::size_t index) const {
    const Parameters* list = viewer ? viewer->parameters : nullptr;
    if (!list || index >= list->parameters.size()) return 0.0;
    return list->parameters[index].value.GetFloat();
}

void ImagePreview::SetParamValue(std::size_t index, double value) {
    Parameters* list = viewer ? viewer->parameters : nullptr;
    if (list && index < list->parameters.size()) list->parameters[index].value.SetFloat(value);
}

void ImagePreview::GetBubbleRect(double& x, double& y, double& w, double& h) const {
    x = y = w = h = 0.0;
    if (!viewer) return;
    const double z = viewer->zoom;
    const double e = z * ParamValue(kParamEdgeThickness);
    x = ParamValue(kParamXPosition) / 100.0 * double(GetZoomedImageWidth()) - e + viewer->panX;
    y = ParamValue(kParamYPosition) / 100.0 * double(GetZoomedImageHeight()) - e + viewer->panY;
    w = z * ParamValue(kParamEllipseWidth) + 2.0 * e;
    h = z * ParamValue(kParamEllipseHeight) + 2.0 * e;
}

ImagePreview::Hit ImagePreview::HitTest(int mx, int my) const {
    double x, y, w, h;
    GetBubbleRect(x, y, w, h);
    const int left = TruncInt(x - 5), right = TruncInt(x - 5 + w);
    const int top = TruncInt(y - 5), bottom = TruncInt(y - 5 + h);
    if (Inside(left, top, kHandleSize, kHandleSize, mx, my)) return kTopLeft;
    if (Inside(right, top, kHandleSize, kHandleSize, mx, my)) return kTopRight;
    if (Inside(left, bottom, kHandleSize, kHandleSize, mx, my)) return kBottomLeft;
    if (Inside(right, bottom, kHandleSize, kHandleSize, mx, my)) return kBottomRight;
    if (Inside(TruncInt(x), TruncInt(y), TruncInt(w), TruncInt(h), mx, my)) return kBody;
    return kNothing;
}

void ImagePreview::Draw(wxDC& dc) {
    ViewerPanel::Draw(dc);  // leaves the grey pen selected
    const Parameters* list = viewer ? viewer->parameters : nullptr;
    if (!list || list->parameters.size() <= kParamBoundingBox) return;

    double x, y, w, h;
    GetBubbleRect(x, y, w, h);
    const wxPen black(*wxBLACK, 1, wxPENSTYLE_SOLID);
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    if (!list->parameters[kParamBoundingBox].value.GetBoolean()) return;

    const wxSize window = GetClientSize();
    DrawRectangleNear(dc, TruncInt(x), TruncInt(y), TruncInt(w), TruncInt(h), window);
    dc.SetPen(black);
    dc.SetBrush(*wxGREEN_BRUSH);
    const int left = TruncInt(x - 5), right = TruncInt(x - 5 + w);
    const int top = TruncInt(y - 5), bottom = TruncInt(y - 5 + h);
    DrawRectangleNear(dc, left, top, kHandleSize, kHandleSize, window);
    DrawRectangleNear(dc, right, top, kHandleSize, kHandleSize, window);
    DrawRectangleNear(dc, left, bottom, kHandleSize, kHandleSize, window);
    DrawRectangleNear(dc, right, bottom, kHandleSize, kHandleSize, window);
}

void ImagePreview::BeginPositionChange() {
    long indices[4];
    int count;
    if (dragging && topLeft && topRight && bottomLeft && bottomRight) {
        indices[0] = kParamXPosition, indices[1] = kParamYPosition;
        count = 2;
    } else if (dragging) {
        indices[0] = kParamXPosition, indices[1] = kParamYPosition;
        indices[2] = kParamEllipseWidth, indices[3] = kParamEllipseHeight;
        count = 4;
    } else {
        indices[0] = kParamXIndicatorPosition, indices[1] = kParamYIndicatorPosition;
        count = 2;
    }
    // One drag is one undo step, whatever number of parameters it changes.
    struct Group {
        Parameters* list;
        explicit Group(Parameters* l) : list(l) {
            if (list) list->BeginGroup();
        }
        ~Group() {
            if (list) list->EndGroup();
        }
    } group(viewer ? viewer->parameters : nullptr);
    for (int i = 0; i < count; ++i)
        SendFrameworkEvent(GetEventHandler(), EVT_PARAM_BEGIN_CHANGE, GetId(), this, indices[i]);
}

void ImagePreview::SendPositionEvent(wxEventType type) {
    SendFrameworkEvent(GetEventHandler(), type, GetId(), this, kParamXPosition);
    SendFrameworkEvent(GetEventHandler(), type, GetId(), this, kParamYPosition);
}

void ImagePreview::BuildContextMenu(wxMenu* menu) {
    FillContextMenu(menu);
    menu->Delete(Corvantis::Host::Param::kCmdResetViewer);
    menu->Delete(Corvantis::Host::Param::kCmdShowOriginal);
}

bool ImagePreview::PlacePointer(int mx, int my) {
    const uint64_t zw = GetZoomedImageWidth(), zh = GetZoomedImageHeight();
    if (!viewer || zw == 0 || zh == 0) return false;
    // Whole percent, truncated toward zero also left of and above the image.
    const int64_t x = (int64_t(mx) - viewer->panX) * 100 / int64_t(zw);
    const int64_t y = (int64_t(my) - viewer->panY) * 100 / int64_t(zh);
    SetParamValue(kParamXIndicatorPosition, double(x));
    SetParamValue(kParamYIndicatorPosition, double(y));
    return true;
}

void ImagePreview::MoveBody(int mx, int my) {
    const double zw = double(GetZoomedImageWidth()), zh = double(GetZoomedImageHeight());
    const double z = viewer->zoom;
    if (zw <= 0 || zh <= 0 || !(z > 0)) return;
    // Mouse travel since the press, a pan in between not counted.
    const double dx = double(mx - anchorX - viewer->panX);
    const double dy = double(my - anchorY - viewer->panY);
    double x1 = startLeft, y1 = startTop;
    double x2 = x1 + startWidth, y2 = y1 + startHeight;
    if (topLeft || bottomLeft) x1 += dx;
    if (topLeft || topRight) y1 += dy;
    if (topRight || bottomRight) x2 += dx;
    if (bottomLeft || bottomRight) y2 += dy;
    // A corner dragged past the opposite side turns the box over.
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    SetParamValue(kParamXPosition, x1 * 100.0 / zw);
    SetParamValue(kParamYPosition, y1 * 100.0 / zh);
    SetParamValue(kParamEllipseWidth, (x2 - x1) / z);
    SetParamValue(kParamEllipseHeight, (y2 - y1) / z);
}

void ImagePreview::OnKeyDown(wxKeyEvent& event) {
    if (event.GetKeyCode() != WXK_SPACE) {
        event.Skip();
        return;
    }
    panMode = true;
    if (!HasCapture()) SetCursor(wxCursor(wxCURSOR_HAND));
}

void ImagePreview::OnKeyUp(wxKeyEvent& event) {
    if (event.GetKeyCode() != WXK_SPACE) {
        event.Skip();
        return;
    }
    panMode = false;
    if (!HasCapture()) SetCursor(wxCursor(wxCURSOR_CROSS));
}

void ImagePreview::OnLeftDown(wxMouseEvent& event) {
    SetFocus();
    if (!viewer) return;
    const int mx = event.GetX(), my = event.GetY();
    anchorX = mx - viewer->panX;
    anchorY = my - viewer->panY;
    const double z = viewer->zoom;
    startLeft = ParamValue(kParamXPosition) / 100.0 * double(GetZoomedImageWidth());
    startTop = ParamValue(kParamYPosition) / 100.0 * double(GetZoomedImageHeight());
    startWidth = z * ParamValue(kParamEllipseWidth);
    startHeight = z * ParamValue(kParamEllipseHeight);

    const Hit hit = HitTest(mx, my);
    dragging = hit != kNothing;
    topLeft = hit == kTopLeft || hit == kBody;
    topRight = hit == kTopRight || hit == kBody;
    bottomLeft = hit == kBottomLeft || hit == kBody;
    bottomRight = hit == kBottomRight || hit == kBody;

    editOpen = false;
    if (panMode) {
        SetCursor(wxCursor(wxCURSOR_HAND));
    } else if (GetZoomedImageWidth() > 0 && GetZoomedImageHeight() > 0) {
        BeginPositionChange();
        editOpen = true;
        if (!dragging && PlacePointer(mx, my)) SendPositionEvent(EVT_PARAM_CHANGING);
    }
    if (!HasCapture()) CaptureMouse();
}

void ImagePreview::OnMotion(wxMouseEvent& event) {
    SetFocus();
    if (!viewer || !event.LeftIsDown() || !event.Dragging()) {
        event.Skip();
        return;
    }
    const int mx = event.GetX(), my = event.GetY();
    if (panMode) {
        viewer->panX = mx - anchorX;
        viewer->panY = my - anchorY;
        Refresh(true);
        return;
    }
    // Only a drag whose press was announced may change values: it has its undo step.
    if (!editOpen) return;
    if (dragging) {
        SendPositionEvent(EVT_PARAM_CHANGING);
        MoveBody(mx, my);
        viewer->RefreshControls();
    } else if (PlacePointer(mx, my)) {
        SendPositionEvent(EVT_PARAM_CHANGING);
        viewer->RefreshControls();
    }
}

void ImagePreview::OnLeftUp(wxMouseEvent&) {
    if (!HasCapture()) return;
    ReleaseMouse();
    if (panMode) {
        SetCursor(wxCursor(wxCURSOR_HAND));
    } else {
        SetCursor(wxCursor(wxCURSOR_CROSS));
        if (editOpen) SendPositionEvent(EVT_PARAM_CHANGED);
    }
    editOpen = false;
}

void ImagePreview::OnCaptureLost(wxMouseCaptureLostEvent&) {
    // Another window took the mouse: the drag ends here, and an open edit is committed.
    SetCursor(wxCursor(panMode ? wxCURSOR_HAND : wxCURSOR_CROSS));
    if (editOpen && !panMode) SendPositionEvent(EVT_PARAM_CHANGED);
    editOpen = false;
}

void ImagePreview::OnRightDown(wxMouseEvent&) {
    SetFocus();
    wxMenu menu;
    BuildContextMenu(&menu);
    PopupMenu(&menu, wxDefaultPosition);
}
