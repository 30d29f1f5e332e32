// A label-less push button whose background shows a colour. A click offers the colour to the
// host's colour picker; a picked colour is shown and announced with EVT_COLOR_CHANGED (extra
// long 0), on which the dialog has the button's ParamValidator take it into the parameter.
#pragma once
#include <wx/button.h>

namespace Corvantis::Host::Param {

class ColorButton : public wxButton {
public:
    // No native window (the toolkit's dynamic creation); white.
    ColorButton() = default;
    // The bitmap is accepted for the toolkit's button signature and ignored. The colour is not
    // painted until the first Update.
    ColorButton(wxWindow* parent, wxWindowID id, const wxBitmap& bitmap, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = 0, const wxValidator& validator = wxDefaultValidator,
                const wxString& name = wxButtonNameStr);

    // Paints the colour, as grey in grayscale documents. The toolkit's Update is not called.
    void Update() override;
    // The colour as shown: 8-bit channels, grey when GrayscaleMode is set.
    static wxColour SwatchColour(double red, double green, double blue);

    // Asks the host's picker through the current filter record; nothing happens without one,
    // or when the picker is cancelled or fails.
    void OnClick();

    double red = 1.0;
    double green = 1.0;
    double blue = 1.0;

private:
    void OnButtonClick(wxCommandEvent& event);

    wxDECLARE_DYNAMIC_CLASS(ColorButton);
    wxDECLARE_EVENT_TABLE();
};

}  // namespace Corvantis::Host::Param
