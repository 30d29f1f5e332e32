#include "ui/toggle_validator.h"

#include <wx/tglbtn.h>

namespace Corvantis::Host::Param {

wxBEGIN_EVENT_TABLE(ToggleValidator, wxValidator)
    EVT_TOGGLEBUTTON(wxID_ANY, ToggleValidator::OnToggle)
wxEND_EVENT_TABLE()

void ToggleValidator::OnToggle(wxCommandEvent& event) {
    event.Skip();
    auto* button = dynamic_cast<wxToggleButton*>(GetWindow());
    if (button && !allowRelease) button->SetValue(true);
}

}  // namespace Corvantis::Host::Param
