#include "ui/param_validator.h"

#include "param/text_encoding.h"
#include "ui/color_button.h"
#include "ui/framework_events.h"
#include "ui/numeric_entry.h"
#include "ui/slider_validator.h"
#include "win32/message_box.h"

#include <wx/button.h>
#include <wx/choicebk.h>
#include <wx/ctrlsub.h>
#include <wx/intl.h>
#include <wx/notebook.h>
#include <wx/slider.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include <cwctype>

#ifdef __WXGTK__
#include <gdk/gdk.h>
#endif

namespace Corvantis::Host::Param {
namespace {

bool IsNumeric(ParameterType type) {
    return type == ParameterType::Float || type == ParameterType::Integer || type == ParameterType::Enumerated;
}

// Windows moves the focus in the middle of the input that moves it: a button takes it at the
// start of its mouse press, before it holds the mouse and is drawn pressed. A box shown then
// comes first, and the button goes on to hold the mouse, drawn pressed, past the box, taking
// the next key and click. Shown once that input has been handled, the box releases the mouse
// as any box does. GTK cancels a press that a box's grab interrupts: there the box comes at once.
#ifdef __WXMSW__
constexpr bool kExplainAfterFocusChange = true;
#else
constexpr bool kExplainAfterFocusChange = false;
#endif

}  // namespace

wxBEGIN_EVENT_TABLE(ParamValidator, wxGenericValidator)
    EVT_KEY_DOWN(ParamValidator::OnKeyDown)
    EVT_CHAR(ParamValidator::OnChar)
    EVT_TEXT(wxID_ANY, ParamValidator::OnText)
    EVT_TEXT_ENTER(wxID_ANY, ParamValidator::OnTextEnter)
    EVT_KILL_FOCUS(ParamValidator::OnKillFocus)
wxEND_EVENT_TABLE()

ParamValidator::ParamValidator(Parameter* param, long parameterIndex)
    : wxGenericValidator(static_cast<int*>(nullptr)), parameter(param), index(parameterIndex) {
    if (parameter && parameter->type == ParameterType::Float)
        step = SliderStepFor(parameter->sliderMin.GetFloat(), parameter->sliderMax.GetFloat());
    AimGenericTarget();
}

ParamValidator::ParamValidator(const ParamValidator& other) : wxGenericValidator(static_cast<int*>(nullptr)) {
    Copy(other);
}

ParamValidator::~ParamValidator() {
    // Only a slider that still serves this validator is told to forget it.
    if (partner && partner->GetParamValidator() == this) partner->SetParamValidator(nullptr);
}

bool ParamValidator::Copy(const ParamValidator& other) {
    wxGenericValidator::Copy(other);
    partner = other.partner;
    parameter = other.parameter;
    index = other.index;
    intValue = other.intValue;
    text = other.text;
    boolValue = other.boolValue;
    step = other.step;
    editing = false;
    AimGenericTarget();
    return true;
}

void ParamValidator::AimGenericTarget() {
    Initialize();
    if (!parameter) return;
    switch (parameter->type) {
        case ParameterType::Integer:
        case ParameterType::Enumerated: m_pInt = &intValue; break;
        case ParameterType::Boolean: m_pBool = &boolValue; break;
        case ParameterType::Text: m_pString = &text; break;
        default: break;  // Float and Color are handled here
    }
}

void ParamValidator::SetSlider(SliderValidator* slider) {
    partner = slider;
    if (!partner || !parameter) return;
    auto* control = dynamic_cast<wxSlider*>(partner->GetWindow());
    if (!control) return;
    if (parameter->type == ParameterType::Integer) {
        control->SetRange(parameter->sliderMin.GetInteger(), parameter->sliderMax.GetInteger());
    } else if (parameter->type == ParameterType::Float) {
        control->SetRange(SliderPositionOf(parameter->sliderMin.GetFloat(), step),
                          SliderPositionOf(parameter->sliderMax.GetFloat(), step));
    }
}

void ParamValidator::BeginEdit() {
    if (editing) return;
    editing = true;
    wxWindow* window = GetWindow();
    if (window) SendFrameworkEvent(window->GetEventHandler(), EVT_PARAM_BEGIN_CHANGE, window->GetId(), this, index);
}

void ParamValidator::EndEdit(wxEventType type) {
    if (!editing) return;
    if (type != EVT_PARAM_CHANGING) editing = false;
    wxWindow* window = GetWindow();
    if (window) SendFrameworkEvent(window->GetEventHandler(), type, window->GetId(), this, index);
}

void ParamValidator::GetText(wxString& out) const {
    if (auto* field = dynamic_cast<wxTextCtrl*>(GetWindow())) out = field->GetValue();
}

void ParamValidator::SetText(const wxString& value) {
    if (auto* field = dynamic_cast<wxTextCtrl*>(GetWindow())) field->SetValue(value);
}

void ParamValidator::Store(int32_t value) {
    if (parameter->value.GetInteger() == value) return;
    BeginEdit();
    parameter->value.SetInteger(value);
}

bool ParamValidator::Validate(wxWindow* parent) {
    const wxString message = CorrectEntry();
    if (!message.empty()) ShowInputError(parent, message);
    return true;  // corrected, never refused
}

wxString ParamValidator::CorrectEntry() {
    wxWindow* window = GetWindow();
    if (!parameter || !window || !window->IsEnabled() || !IsNumeric(parameter->type)) return {};
    // Only text fields hold typed numbers; choices and books cannot hold a wrong one.
    if (!dynamic_cast<wxTextCtrl*>(window)) return {};

    Parameter copy = *parameter;
    wxString entry, message;
    GetText(entry);
    CheckNumericEntry(*this, copy, entry, message, true);
    return message;
}

void ParamValidator::ShowInputError(wxWindow* owner, const wxString& message) {
    MessageBoxA(owner ? static_cast<HWND>(owner->GetHandle()) : nullptr, message.utf8_str(),
                wxGetTranslation("Input error").utf8_str(), MB_OK | MB_ICONEXCLAMATION);
}

bool ParamValidator::TransferToWindow() {
    editing = false;  // an edit still open when all values are shown again is forgotten
    wxWindow* window = GetWindow();
    if (!parameter || !window) return true;
    switch (parameter->type) {
        case ParameterType::Float: {
            const double value = parameter->value.GetFloat();
            const wxString formatted = wxString::Format(FloatFormat, value);
            double shown = 0, display = 0;
            wxString current;
            GetText(current);
            const bool same = current.ToDouble(&shown) &&
                              ((formatted.ToDouble(&display) && NearlyEqual(shown, display)) ||
                               NearlyEqual(shown, value));
            if (!same) SetText(formatted);
            break;
        }
        case ParameterType::Integer:
        case ParameterType::Enumerated: {
            const int32_t value = parameter->value.GetInteger();
            if (auto* book = dynamic_cast<wxChoicebook*>(window)) {
                if (value >= 0 && static_cast<size_t>(value) < book->GetPageCount()) book->SetSelection(value);
            } else if (auto* book = dynamic_cast<wxNotebook*>(window)) {
                if (value >= 0 && static_cast<size_t>(value) < book->GetPageCount()) book->SetSelection(value);
            } else if (auto* items = dynamic_cast<wxItemContainerImmutable*>(window);
                       items && (value < 0 || static_cast<unsigned>(value) >= items->GetCount())) {
                // A value from outside (a preset file) that names no item selects none.
                items->SetSelection(wxNOT_FOUND);
            } else {
                intValue = value;
                wxGenericValidator::TransferToWindow();
            }
            break;
        }
        case ParameterType::Text:
            text = wxString::FromUTF8(TextAsUtf8(parameter->value.text).c_str());
            wxGenericValidator::TransferToWindow();
            break;
        case ParameterType::Color:
            if (auto* button = dynamic_cast<ColorButton*>(window)) {
                const Rgb colour = parameter->value.GetColor();
                button->red = colour.red;
                button->green = colour.green;
                button->blue = colour.blue;
                button->Update();
            }
            break;
        case ParameterType::Boolean:
            boolValue = parameter->value.GetBoolean();
            wxGenericValidator::TransferToWindow();
            break;
    }
    return true;
}

bool ParamValidator::TransferChoiceFromWindow() {
    wxWindow* window = GetWindow();
    if (auto* book = dynamic_cast<wxChoicebook*>(window)) {
        const int selection = book->GetSelection();
        if (selection != wxNOT_FOUND) Store(selection);
        EndEdit(EVT_PARAM_CHANGED);
        return true;
    }
    if (auto* field = dynamic_cast<wxTextCtrl*>(window)) {
        wxString message;
        const bool ok = CheckNumericEntry(*this, *parameter, field->GetValue(), message, false);
        EndEdit(EVT_PARAM_CHANGED);
        return ok;
    }
    if (auto* book = dynamic_cast<wxNotebook*>(window)) {
        const int selection = book->GetSelection();
        if (selection != wxNOT_FOUND) Store(selection);
        EndEdit(EVT_PARAM_CHANGED);
        return true;
    }
    if (!wxGenericValidator::TransferFromWindow()) {
        EndEdit(EVT_PARAM_CHANGED);
        return false;
    }
    // A choice with nothing selected gives no value to take.
    if (!(dynamic_cast<wxItemContainerImmutable*>(window) && intValue == wxNOT_FOUND)) Store(intValue);
    EndEdit(EVT_PARAM_CHANGED);
    return true;
}

bool ParamValidator::TransferFromWindow() {
    wxWindow* window = GetWindow();
    if (!parameter || !window || !window->IsEnabled()) return true;
    bool result = false;
    switch (parameter->type) {
        case ParameterType::Integer:
        case ParameterType::Enumerated: return TransferChoiceFromWindow();
        case ParameterType::Float: {
            wxString entry, message;
            GetText(entry);
            result = CheckNumericEntry(*this, *parameter, entry, message, false);
            break;
        }
        case ParameterType::Boolean:
            boolValue = parameter->value.GetBoolean();
            result = wxGenericValidator::TransferFromWindow();
            if (result && boolValue != parameter->value.GetBoolean()) {
                BeginEdit();  // the receiver records the old value
                parameter->value.SetBoolean(boolValue);
            }
            break;
        case ParameterType::Text:
            result = wxGenericValidator::TransferFromWindow();
            if (result) {
                // A text in a legacy code page, shown and left as it was, keeps its bytes.
                const std::string utf8(text.utf8_str());
                if (utf8 != TextAsUtf8(parameter->value.text)) {
                    BeginEdit();
                    parameter->value.text = utf8;
                }
            }
            break;
        case ParameterType::Color:
            if (auto* button = dynamic_cast<ColorButton*>(window)) {
                const Rgb colour = parameter->value.GetColor();
                if (button->red != colour.red || button->green != colour.green || button->blue != colour.blue) {
                    BeginEdit();
                    parameter->value.SetColor(button->red, button->green, button->blue);
                }
                result = true;
            }
            break;
    }
    EndEdit(EVT_PARAM_CHANGED);
    return result;
}

void ParamValidator::SetFromSlider(int position, wxEventType type) {
    if (parameter) {
        if (parameter->type == ParameterType::Integer) {
            SetText(wxString::Format("%d", position));
            if (parameter->value.GetInteger() != position) {
                BeginEdit();
                parameter->value.SetInteger(position);
            }
        } else if (parameter->type == ParameterType::Float) {
            double value = position * step;
            const double low = parameter->sliderMin.GetFloat();
            const double high = parameter->sliderMax.GetFloat();
            if (low > value) value = low;
            if (value > high) value = high;
            SetText(wxString::Format(FloatFormat, value));
            if (!NearlyEqual(parameter->value.GetFloat(), value)) {
                BeginEdit();
                parameter->value.SetFloat(value);
            }
        }
    }
    EndEdit(type);
}

bool ParamValidator::AcceptsKey(wxChar key) const {
    // Control characters, delete and the toolkit's special keys (no character) pass.
    if (key == WXK_NONE || key < 32 || key == 127) return true;
    if ((key < 128 && std::iswdigit(static_cast<wint_t>(key))) || key == ',' || key == '-' || key == '+') return true;
    return parameter->type == ParameterType::Float && (key == '.' || key == 'e' || key == 'E');
}

void ParamValidator::OnKeyDown(wxKeyEvent& event) {
    event.Skip();
    auto* field = dynamic_cast<wxTextCtrl*>(GetWindow());
    const int key = event.GetKeyCode();
    if (field && field->IsSingleLine() && (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && !event.HasAnyModifiers()) {
        // Enter in a single-line field is settled here, the same way with every toolkit: left to
        // them, a Windows edit control that has seen the dialog's navigation presses the default
        // button by itself, whoever handles the Enter event.
        event.Skip(false);
        PressEnter(*field);
        return;
    }
#ifdef __WXGTK__
    // GTK's entry replaces a selection with a typed character before the character reaches the
    // key filter: a rejected key would wipe the selected number. Reject it here, before the
    // entry sees the key.
    if (!parameter || !IsNumeric(parameter->type) || !dynamic_cast<wxTextCtrl*>(GetWindow())) return;
    if (event.GetModifiers() & ~wxMOD_SHIFT) return;  // shortcuts and accelerators
    const auto typed = static_cast<wxChar>(gdk_keyval_to_unicode(event.GetRawKeyCode()));
    if (typed == 0 || AcceptsKey(typed)) return;
    event.Skip(false);
    if (!wxValidator::IsSilent()) wxBell();
#endif
}

void ParamValidator::OnChar(wxKeyEvent& event) {
    if (!parameter || !IsNumeric(parameter->type) || AcceptsKey(event.GetUnicodeKey())) {
        event.Skip();
        return;
    }
    if (!wxValidator::IsSilent()) wxBell();
}

void ParamValidator::OnText(wxCommandEvent& event) {
    event.Skip();
    if (!partner || !parameter) return;
    Parameter copy = *parameter;
    wxString entry, message;
    GetText(entry);
    if (!CheckNumericEntry(*this, copy, entry, message, false)) return;
    if (copy.type == ParameterType::Integer)
        partner->SetSliderValue(copy.value.GetInteger());
    else if (copy.type == ParameterType::Float)
        partner->SetSliderValue(SliderPositionOf(copy.value.GetFloat(), step));
}

bool ParamValidator::CommitFromField(bool leaving) {
    wxWindow* window = GetWindow();
    if (!dynamic_cast<wxTextCtrl*>(window)) return false;
    const wxString message = CorrectEntry();
    if (!message.empty()) {
        if (leaving && kExplainAfterFocusChange)
            ExplainAfterFocusChange(message);
        else
            ShowInputError(window->GetParent(), message);
    }
    TransferFromWindow();
    EndEdit(EVT_PARAM_CHANGED);
    return true;
}

void ParamValidator::ExplainAfterFocusChange(const wxString& message) {
    // The toolkit runs queued calls before it takes the next input, so the box still comes
    // before anything else the user does.
    CallAfter([this, message] {
        wxWindow* field = GetWindow();
        wxWindow* top = field ? wxGetTopLevelParent(field) : nullptr;
        // The focus may have left because the dialog closed: a dialog gone gets no box.
        if (top && top->IsShown()) ShowInputError(field->GetParent(), message);
    });
}

void ParamValidator::PressEnter(wxTextCtrl& field) {
    wxCommandEvent enter(wxEVT_TEXT_ENTER, field.GetId());
    enter.SetEventObject(&field);
    enter.SetString(field.GetValue());
    // This validator takes the entry first (OnTextEnter); a window that handles the event keeps
    // the key for itself, otherwise the dialog's default button is pressed.
    if (field.HandleWindowEvent(enter)) return;
    auto* top = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(&field));
    auto* button = top ? dynamic_cast<wxButton*>(top->GetDefaultItem()) : nullptr;
    if (!button || !button->IsEnabled()) return;
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->Command(click);
}

void ParamValidator::OnTextEnter(wxCommandEvent& event) {
    // Enter takes the entry first (correcting it with a box when it must) and is then passed
    // on: as in the editor's own filter dialogs, the default button (OK) applies the filter. A
    // dialog that wants Enter for itself in a field (the zoom) handles the event it passes on.
    event.Skip();
    CommitFromField(false);
}

void ParamValidator::OnKillFocus(wxFocusEvent& event) {
    event.Skip();
    CommitFromField(true);
}

void BindParameterControls(Parameter* param, long index, wxWindow* control, wxSlider* slider) {
    if (!control) return;
    if (dynamic_cast<wxTextCtrl*>(control))
        control->SetWindowStyleFlag(control->GetWindowStyleFlag() | wxTE_PROCESS_ENTER);
    control->SetValidator(ParamValidator(param, index));
    if (!slider) return;
    slider->SetValidator(SliderValidator());
    auto* field = static_cast<ParamValidator*>(control->GetValidator());
    auto* thumb = static_cast<SliderValidator*>(slider->GetValidator());
    field->SetSlider(thumb);
    thumb->SetParamValidator(field);
}

}  // namespace Corvantis::Host::Param
