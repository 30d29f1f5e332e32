// Sits on a slider linked to a field's ParamValidator: passes every new position on, as
// EVT_PARAM_CHANGING while the thumb is dragged and EVT_PARAM_CHANGED otherwise.
#pragma once
#include <wx/validate.h>

namespace Corvantis::Host::Param {

class ParamValidator;

class SliderValidator : public wxValidator {
public:
    SliderValidator() = default;
    SliderValidator(const SliderValidator& other);
    ~SliderValidator() override;

    wxObject* Clone() const override { return new SliderValidator(*this); }
    // The field's validator does the checking and transfers.
    bool Validate(wxWindow*) override { return true; }
    bool TransferToWindow() override { return true; }
    bool TransferFromWindow() override { return true; }
    // Window, partner and last position; a drag in progress is not copied.
    virtual bool Copy(const SliderValidator& other);

    void SetParamValidator(ParamValidator* validator) { partner = validator; }
    ParamValidator* GetParamValidator() const { return partner; }
    // Moves the slider without sending anything.
    void SetSliderValue(int value);

private:
    void OnScroll(wxScrollEvent& event);

    ParamValidator* partner = nullptr;
    int lastPosition = 0;
    bool hasLast = false;
    bool tracking = false;

    wxDECLARE_EVENT_TABLE();
};

}  // namespace Corvantis::Host::Param
