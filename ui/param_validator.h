// Binds one parameter record to the control that shows it (text field, choice, toggle button,
// multi-line text, colour button, notebook or choicebook), keeps a linked slider in step,
// corrects numeric entries in place and announces every real change with the framework's
// events (EVT_PARAM_BEGIN_CHANGE, then EVT_PARAM_CHANGING or EVT_PARAM_CHANGED).
#pragma once
#include "param/parameter.h"

#include <wx/valgen.h>

#include <cstdint>

class wxSlider;

class wxTextCtrl;

namespace Corvantis::Host::Param {

class SliderValidator;

class ParamValidator : public wxGenericValidator {
public:
    // `index` travels in every event as the parameter's identity (the viewer's zoom binds its
    // own record under an index outside the list).
    ParamValidator(Parameter* param, long index);
    ParamValidator(const ParamValidator& other);
    ~ParamValidator() override;

    // The toolkit clones a validator whenever it is set on a window; the clone is the one that
    // acts.
    wxObject* Clone() const override { return new ParamValidator(*this); }
    // Corrects a numeric entry in the field and explains it in an "Input error" box; never
    // refuses it.
    bool Validate(wxWindow* parent) override;
    bool TransferToWindow() override;
    bool TransferFromWindow() override;

    // Takes over another validator's state (not its open edit), re-aiming the generic target at
    // this object's own fields.
    bool Copy(const ParamValidator& other);

    // Links (or unlinks, with null) the slider partner and sets the slider's range.
    void SetSlider(SliderValidator* slider);
    SliderValidator* GetSlider() const { return partner; }
    // A slider position taken into the record and the field, ending the step with `type`
    // (EVT_PARAM_CHANGING during a drag, EVT_PARAM_CHANGED otherwise).
    void SetFromSlider(int position, wxEventType type);

    // Opens an edit (sends EVT_PARAM_BEGIN_CHANGE once) / closes it with `type`; nothing is
    // sent when no edit is open. EVT_PARAM_CHANGING leaves the edit open.
    void BeginEdit();
    void EndEdit(wxEventType type);
    bool IsEditing() const { return editing; }

    // The window's text when it is a wxTextCtrl; setting it sends wxEVT_TEXT.
    void GetText(wxString& text) const;
    void SetText(const wxString& text);

    Parameter* GetParameter() const { return parameter; }
    long GetIndex() const { return index; }
    double GetStep() const { return step; }

private:
    void AimGenericTarget();
    // Whether the key filter lets a typed character through for this parameter.
    bool AcceptsKey(wxChar key) const;
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnText(wxCommandEvent& event);
    void OnTextEnter(wxCommandEvent& event);
    // Enter in a single-line field: the field's Enter event, then, unless a window handled it,
    // the default button.
    void PressEnter(wxTextCtrl& field);
    void OnKillFocus(wxFocusEvent& event);
    // Corrects and stores a text field's entry, explaining a correction in the "Input error"
    // box; false when the window is no text field. `leaving`: the focus is moving elsewhere.
    bool CommitFromField(bool leaving);
    // Corrects the entry in the field (not in the record); the explanation, or empty.
    wxString CorrectEntry();
    // The "Input error" box, owned by `owner`.
    static void ShowInputError(wxWindow* owner, const wxString& message);
    // The box for an entry left by a focus change, once the input that moved the focus has
    // been handled.
    void ExplainAfterFocusChange(const wxString& message);
    bool TransferChoiceFromWindow();
    void Store(int32_t value);

    SliderValidator* partner = nullptr;
    Parameter* parameter = nullptr;
    long index = 0;
    int intValue = 0;         // generic target of Integer and Enumerated
    wxString text;            // generic target of Text
    bool boolValue = false;   // generic target of Boolean, kept in step with the record
    double step = 1.0;        // value of one slider position
    bool editing = false;     // a begin event went out and its closing event not yet

    wxDECLARE_EVENT_TABLE();
};

// Binds `param` (at `index`) to `control` and, when given, `slider` to it: a text field gets
// wxTE_PROCESS_ENTER, both windows get clones of fresh validators, and the two clones are linked.
void BindParameterControls(Parameter* param, long index, wxWindow* control, wxSlider* slider);

}  // namespace Corvantis::Host::Param
