// A validator for a wxToggleButton that lets a click press the button but, unless allowed,
// never release it.
#pragma once
#include <wx/validate.h>

namespace Corvantis::Host::Param {

class ToggleValidator : public wxValidator {
public:
    explicit ToggleValidator(bool mayRelease = false) : allowRelease(mayRelease) {}
    ToggleValidator(const ToggleValidator& other) : wxValidator(other), allowRelease(other.allowRelease) {}

    wxObject* Clone() const override { return new ToggleValidator(*this); }
    bool Validate(wxWindow*) override { return true; }
    bool TransferToWindow() override { return true; }
    bool TransferFromWindow() override { return true; }

    bool allowRelease = false;

private:
    void OnToggle(wxCommandEvent& event);

    wxDECLARE_EVENT_TABLE();
};

}  // namespace Corvantis::Host::Param
