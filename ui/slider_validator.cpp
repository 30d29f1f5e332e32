#include "ui/slider_validator.h"

#include "ui/framework_events.h"
#include "ui/param_validator.h"

#include <wx/slider.h>

namespace Corvantis::Host::Param {

wxBEGIN_EVENT_TABLE(SliderValidator, wxValidator)
    EVT_SCROLL_TOP(SliderValidator::OnScroll)
    EVT_SCROLL_BOTTOM(SliderValidator::OnScroll)
    EVT_SCROLL_LINEUP(SliderValidator::OnScroll)
    EVT_SCROLL_LINEDOWN(SliderValidator::OnScroll)
    EVT_SCROLL_PAGEUP(SliderValidator::OnScroll)
    EVT_SCROLL_PAGEDOWN(SliderValidator::OnScroll)
    EVT_SCROLL_THUMBTRACK(SliderValidator::OnScroll)
    EVT_SCROLL_THUMBRELEASE(SliderValidator::OnScroll)
    EVT_SCROLL_CHANGED(SliderValidator::OnScroll)
wxEND_EVENT_TABLE()

SliderValidator::SliderValidator(const SliderValidator& other) : wxValidator() { Copy(other); }

SliderValidator::~SliderValidator() {
    // Only a field validator that still uses this slider is told to forget it.
    if (partner && partner->GetSlider() == this) partner->SetSlider(nullptr);
}

bool SliderValidator::Copy(const SliderValidator& other) {
    wxValidator::Copy(other);
    partner = other.partner;
    lastPosition = other.lastPosition;
    hasLast = other.hasLast;
    tracking = false;
    return true;
}

void SliderValidator::SetSliderValue(int value) {
    if (auto* slider = dynamic_cast<wxSlider*>(GetWindow())) slider->SetValue(value);
}

void SliderValidator::OnScroll(wxScrollEvent& event) {
    event.Skip();
    auto* slider = dynamic_cast<wxSlider*>(GetWindow());
    if (!slider || !partner) return;
    const int position = slider->GetValue();
    const bool repeated = hasLast && position == lastPosition;
    wxEventType type;
    if (event.GetEventType() == wxEVT_SCROLL_THUMBTRACK) {
        tracking = true;
        type = EVT_PARAM_CHANGING;
        if (repeated) return;
    } else {
        type = EVT_PARAM_CHANGED;
        if (tracking) {
            tracking = false;  // the end of a drag always commits
        } else if (repeated) {
            return;
        }
    }
    partner->SetFromSlider(position, type);
    hasLast = true;
    lastPosition = position;
}

}  // namespace Corvantis::Host::Param
