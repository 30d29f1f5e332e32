#include "ui/color_button.h"

#include "host/host.h"
#include "host/host_services.h"
#include "ui/framework_events.h"
#include "ui/grayscale_mode.h"

#include <cmath>

namespace Corvantis::Host::Param {
namespace {

// value x 255 truncated toward zero; only the low 8 bits remain.
unsigned char Channel(double value) {
    const double scaled = value * 255.0;
    if (!std::isfinite(scaled)) return 0;
    double low = std::fmod(std::trunc(scaled), 256.0);
    if (low < 0) low += 256.0;
    return static_cast<unsigned char>(low);
}

}  // namespace

wxIMPLEMENT_DYNAMIC_CLASS(ColorButton, wxButton);

wxBEGIN_EVENT_TABLE(ColorButton, wxButton)
    EVT_BUTTON(wxID_ANY, ColorButton::OnButtonClick)
wxEND_EVENT_TABLE()

ColorButton::ColorButton(wxWindow* parent, wxWindowID id, const wxBitmap&, const wxPoint& pos, const wxSize& size,
                         long style, const wxValidator& validator, const wxString& name) {
    wxButton::Create(parent, id, wxEmptyString, pos, size, style, validator, name);
}

wxColour ColorButton::SwatchColour(double r, double g, double b) {
    if (GrayscaleMode) {
        const unsigned char v = Channel((g * 6 + r * 3 + b) / 10);
        return wxColour(v, v, v, wxALPHA_OPAQUE);
    }
    return wxColour(Channel(r), Channel(g), Channel(b), wxALPHA_OPAQUE);
}

void ColorButton::Update() { SetBackgroundColour(SwatchColour(red, green, blue)); }

void ColorButton::OnClick() {
    FilterRecord* record = PS::CurrentFilterRecord();
    if (!record) return;
    double colour[3] = {red, green, blue};
    if (PS::PickColor(record->colorServices, colour) != noErr) return;
    red = colour[0];
    green = colour[1];
    blue = colour[2];
    Update();
    SendFrameworkEvent(GetEventHandler(), EVT_COLOR_CHANGED, GetId(), this, 0);
}

void ColorButton::OnButtonClick(wxCommandEvent&) { OnClick(); }

}  // namespace Corvantis::Host::Param
