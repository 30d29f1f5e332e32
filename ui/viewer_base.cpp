#include "ui/viewer_base.h"

#include "param/parameters.h"
#include "ui/numeric_entry.h"
#include "ui/param_validator.h"
#include "ui/viewer_panel.h"

#include <wx/slider.h>
#include <wx/textctrl.h>
#include <wx/validate.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Corvantis::Host::Param {
namespace {

float Near(float v) { return std::floor(v + 0.5f); }

// Truncates toward zero into the 32-bit range (a pan far off the panel must not overflow).
int32_t TruncToInt(float v) {
    if (!(v == v)) return 0;
    if (v >= 2147483520.0f) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

int32_t AddSaturated(int32_t value, int64_t delta) {
    const int64_t sum = int64_t(value) + delta;
    return int32_t(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

void TransferToControl(wxWindow* control) {
    if (!control) return;
    if (wxValidator* validator = control->GetValidator()) validator->TransferToWindow();
}

}  // namespace

ViewerBase::ViewerBase(Parameters* list, ViewerPanel* viewerPanel)
    : parameters(list),
      panel(viewerPanel),
      zoomParam("Zoom", 0, 100.0, ParameterFlags::UnitPercent, 1.0, 400.0, 1.0, 800.0) {}

ViewerBase::~ViewerBase() = default;

void ViewerBase::BindZoomControls(wxTextCtrl* text, wxSlider* slider) {
    zoomText = text;
    zoomSlider = slider;
    if (text) BindParameterControls(&zoomParam, kZoomParameterIndex, text, slider);
}

float ViewerBase::NextZoomIn(float current) {
    if (current >= 1.0f) return Near(current) + 1.0f;
    const float d = Near(1.0f / current) - 1.0f;
    return d > 0.5f ? 1.0f / d : 1.0f / 0.5f;
}

float ViewerBase::NextZoomOut(float current) {
    if (current > 1.0f) {
        const float d = Near(current) - 1.0f;
        return d > 0.5f ? d : 0.5f;
    }
    return 1.0f / (Near(1.0f / current) + 1.0f);
}

void ViewerBase::ZoomIn() { SetZoom(NextZoomIn(zoom)); }

void ViewerBase::ZoomOut() { SetZoom(NextZoomOut(zoom)); }

void ViewerBase::SetZoom(float z) {
    const double minimum = zoomParam.acceptedMin.GetFloat();
    const double maximum = zoomParam.acceptedMax.GetFloat();
    if (minimum > double(z) * 100.0) z = float(minimum / 100.0);
    if (double(z) * 100.0 > maximum) z = float(maximum / 100.0);
    // A NaN from the text field would poison every later computation; it changes nothing.
    if (!(z > 0.0f) || NearlyEqual(z, zoom)) return;

    const float old = zoom;
    panX = TruncToInt(float(panX - pivotX) / old * z) + pivotX;
    panY = TruncToInt(float(panY - pivotY) / old * z) + pivotY;
    if (old < 1.0f || z < 1.0f) scaleChanged = true;
    zoom = z;
    zoomParam.value.SetFloat(double(z * 100.0f));

    RefreshPanel();
    TransferToControl(zoomText);
    TransferToControl(zoomSlider);
}

void ViewerBase::ResetView() {
    showOriginal = false;
    resetPending = true;
    RefreshPanel();
}

void ViewerBase::Undo() {
    if (!parameters || !parameters->Undo()) return;
    needsRender = true;
    RefreshPanel();
    RefreshControls();
}

void ViewerBase::Redo() {
    if (!parameters || !parameters->Redo()) return;
    needsRender = true;
    RefreshPanel();
    RefreshControls();
}

void ViewerBase::RefreshControls() {
    if (!panel) return;
    wxWindow* window = panel;
    while (!window->IsTopLevel() && window->GetParent()) window = window->GetParent();
    window->TransferDataToWindow();
    window->UpdateWindowUI(wxUPDATE_UI_NONE);
}

void ViewerBase::FollowViewSize(int32_t width, int32_t height) {
    if (viewKnown && width == viewWidth && height == viewHeight) return;
    if (viewKnown && !resetPending) {
        if (fitKnown && zoom == fitZoom && panX == fitPanX && panY == fitPanY) {
            resetPending = true;
        } else {
            panX = AddSaturated(panX, int64_t(width / 2) - viewWidth / 2);
            panY = AddSaturated(panY, int64_t(height / 2) - viewHeight / 2);
        }
    }
    viewKnown = true;
    viewWidth = width;
    viewHeight = height;
}

void ViewerBase::RememberFit() {
    fitKnown = true;
    fitZoom = zoom;
    fitPanX = panX;
    fitPanY = panY;
}

void ViewerBase::RefreshPanel() {
    if (panel) panel->Refresh(true);
}

}  // namespace Corvantis::Host::Param
