#include "ui/param_dialog.h"

#include "param/parameters.h"
#include "ui/framework_events.h"
#include "ui/viewer_base.h"
#include "ui/viewer_panel.h"


namespace Corvantis::Host::Param {

wxBEGIN_EVENT_TABLE(ParamDialog, wxDialog)
    EVT_TELLORA_PARAM_BEGIN_CHANGE(wxID_ANY, ParamDialog::OnParamBeginChange)
    EVT_TELLORA_PARAM_CHANGED(wxID_ANY, ParamDialog::OnParamChanged)
    TELLORA_CONTROL_CHANGED(ParamDialog)
    EVT_BUTTON(wxID_RESET, ParamDialog::OnReset)
    EVT_BUTTON(wxID_ZOOM_FIT, ParamDialog::OnZoomFit)
    EVT_BUTTON(wxID_ZOOM_IN, ParamDialog::OnZoomIn)
    EVT_BUTTON(wxID_ZOOM_OUT, ParamDialog::OnZoomOut)
    EVT_BUTTON(wxID_UNDO, ParamDialog::OnUndo)
    EVT_BUTTON(wxID_REDO, ParamDialog::OnRedo)
    EVT_MENU(wxID_RESET, ParamDialog::OnReset)
    EVT_MENU(wxID_ZOOM_FIT, ParamDialog::OnZoomFit)
    EVT_MENU(wxID_ZOOM_IN, ParamDialog::OnZoomIn)
    EVT_MENU(wxID_ZOOM_OUT, ParamDialog::OnZoomOut)
    EVT_MENU(wxID_UNDO, ParamDialog::OnUndo)
    EVT_MENU(wxID_REDO, ParamDialog::OnRedo)
wxEND_EVENT_TABLE()

ParamDialog::ParamDialog(Parameters* params, wxWindow* parent, wxWindowID id, const wxString& title,
                         const wxPoint& pos, const wxSize& size, long style, const wxString& name)
    : wxDialog(parent, id, title, pos, size, style, name), parameters(params) {}

void TakeControlValue(wxCommandEvent& event) {
    event.Skip();  // other handlers still see the event
    auto* window = dynamic_cast<wxWindow*>(event.GetEventObject());
    wxValidator* validator = window ? window->GetValidator() : nullptr;
    if (validator && validator->Validate(window->GetParent())) validator->TransferFromWindow();
}

void ParamDialog::OnControlChanged(wxCommandEvent& event) { TakeControlValue(event); }

void ParamDialog::OnParamBeginChange(wxCommandEvent& event) {
    const long index = event.GetExtraLong();
    // Indices outside the list (the viewer's zoom) are never recorded.
    if (parameters && index >= 0 && static_cast<size_t>(index) < parameters->parameters.size())
        parameters->RecordChange(static_cast<std::uint64_t>(index));
}

void ParamDialog::RenderAgain() {
    ViewerBase* viewer = GetViewer();
    if (!viewer) return;
    viewer->needsRender = true;
    if (viewer->panel) viewer->panel->Refresh(true);
}

void ParamDialog::OnParamChanged(wxCommandEvent&) {
    RenderAgain();
    ParametersChanged();
}

void ParamDialog::OnReset(wxCommandEvent&) {
    if (parameters) {
        parameters->RecordAll();  // one undo step holding every value
        parameters->ResetToDefaults();
    }
    if (ViewerBase* viewer = GetViewer()) viewer->ResetView();
    RenderAgain();
    TransferDataToWindow();
    ParametersChanged();
}

void ParamDialog::OnZoomFit(wxCommandEvent&) {
    if (ViewerBase* viewer = GetViewer()) viewer->ResetView();
}

void ParamDialog::OnZoomIn(wxCommandEvent&) {
    if (ViewerBase* viewer = GetViewer()) viewer->ZoomIn();
}

void ParamDialog::OnZoomOut(wxCommandEvent&) {
    if (ViewerBase* viewer = GetViewer()) viewer->ZoomOut();
}

void ParamDialog::OnUndo(wxCommandEvent&) {
    if (ViewerBase* viewer = GetViewer()) viewer->Undo();
}

void ParamDialog::OnRedo(wxCommandEvent&) {
    if (ViewerBase* viewer = GetViewer()) viewer->Redo();
}

}  // namespace Corvantis::Host::Param
