// The framework's generic parameter dialog: records an undo step when an edit begins, has the
// control's validator take a changed value, re-renders the preview after a change and routes
// reset, zoom, undo and redo to its viewer.
#pragma once
#include "ui/framework_events.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/choicebk.h>
#include <wx/combobox.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/notebook.h>
#include <wx/radiobox.h>
#include <wx/radiobut.h>
#include <wx/tglbtn.h>

// Every control event whose window's validator should take the new value.
#define TELLORA_CONTROL_CHANGED(Class)                                                  \
    EVT_COMMAND(wxID_ANY, EVT_COLOR_CHANGED, Class::OnControlChanged)                  \
    EVT_COMMAND(wxID_ANY, wxEVT_CHOICEBOOK_PAGE_CHANGED, Class::OnControlChanged)      \
    EVT_COMMAND(wxID_ANY, wxEVT_NOTEBOOK_PAGE_CHANGED, Class::OnControlChanged)        \
    EVT_COMMAND(wxID_ANY, wxEVT_CHECKBOX, Class::OnControlChanged)                     \
    EVT_COMMAND(wxID_ANY, wxEVT_CHOICE, Class::OnControlChanged)                       \
    EVT_COMMAND(wxID_ANY, wxEVT_COMBOBOX, Class::OnControlChanged)                     \
    EVT_COMMAND(wxID_ANY, wxEVT_LISTBOX, Class::OnControlChanged)                      \
    EVT_COMMAND(wxID_ANY, wxEVT_RADIOBOX, Class::OnControlChanged)                     \
    EVT_COMMAND(wxID_ANY, wxEVT_RADIOBUTTON, Class::OnControlChanged)                  \
    EVT_COMMAND(wxID_ANY, wxEVT_TOGGLEBUTTON, Class::OnControlChanged)

namespace Corvantis::Host::Param {

class Parameters;
class ViewerBase;

class ParamDialog : public wxDialog {
public:
    ParamDialog() = default;
    ParamDialog(Parameters* params, wxWindow* parent, wxWindowID id, const wxString& title,
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
                long style = wxDEFAULT_DIALOG_STYLE, const wxString& name = wxASCII_STR(wxDialogNameStr));

    // Called after every handled change.
    virtual void ParametersChanged() {}
    // The dialog's preview model, or null when it has none.
    virtual ViewerBase* GetViewer() { return nullptr; }

    Parameters* parameters = nullptr;  // not owned

protected:
    void OnParamBeginChange(wxCommandEvent& event);
    void OnParamChanged(wxCommandEvent& event);
    void OnControlChanged(wxCommandEvent& event);
    void OnReset(wxCommandEvent& event);
    void OnZoomFit(wxCommandEvent& event);
    void OnZoomIn(wxCommandEvent& event);
    void OnZoomOut(wxCommandEvent& event);
    void OnUndo(wxCommandEvent& event);
    void OnRedo(wxCommandEvent& event);
    // needsRender and a full refresh of the viewer's panel.
    void RenderAgain();

private:
    wxDECLARE_EVENT_TABLE();
};

// The validator of the event's window takes the control's value (shared with ParamFrame).
void TakeControlValue(wxCommandEvent& event);

}  // namespace Corvantis::Host::Param
