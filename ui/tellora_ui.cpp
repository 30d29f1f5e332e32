#include "ui/tellora_ui.h"

#include "filter/parameter_table.h"
#include "host/host_services.h"
#include "param/parameters.h"
#include "ui/framework_events.h"
#include "ui/image_preview.h"
#include "ui/param_validator.h"
#include "ui/tellora_layout.h"
#include "ui/viewer_base.h"
#include "ui/work_area.h"

#include <wx/accel.h>
#include <wx/listbox.h>
#include <wx/slider.h>
#include <wx/textctrl.h>
#include <wx/tglbtn.h>

using Corvantis::Host::Param::Parameters;
using Corvantis::Host::Param::ViewerBase;
namespace Param = Corvantis::Host::Param;

wxBEGIN_EVENT_TABLE(TelloraUIBase, wxDialog)
    EVT_TELLORA_PARAM_BEGIN_CHANGE(wxID_ANY, TelloraUIBase::OnParamBeginChange)
    EVT_TELLORA_PARAM_CHANGED(wxID_ANY, TelloraUIBase::OnParamChanged)
    EVT_TELLORA_PARAM_CHANGING(wxID_ANY, TelloraUIBase::OnParamChanged)
    EVT_TELLORA_COLOR_CHANGED(wxID_ANY, TelloraUIBase::OnParamChanged)
    EVT_BUTTON(kIdZoomIn, TelloraUIBase::OnZoomIn)
    EVT_BUTTON(kIdZoomOut, TelloraUIBase::OnZoomOut)
    EVT_TEXT_ENTER(kIdZoomText, TelloraUIBase::OnZoomEnter)
    EVT_BUTTON(kIdFont, TelloraUIBase::OnChooseFont)
    EVT_TOGGLEBUTTON(kIdBoundingBox, TelloraUIBase::OnBoundingBoxToggle)
    EVT_CHOICE(wxID_ANY, TelloraUIBase::OnParamChanged)
    EVT_MENU(Param::kCmdZoomIn, TelloraUIBase::OnZoomIn)
    EVT_MENU(Param::kCmdZoomOut, TelloraUIBase::OnZoomOut)
    EVT_MENU(Param::kCmdUndo, TelloraUIBase::OnUndo)
    EVT_MENU(Param::kCmdRedo, TelloraUIBase::OnRedo)
    EVT_BUTTON(kIdSavePreset, TelloraUIBase::OnSavePreset)
    EVT_BUTTON(kIdApplyPreset, TelloraUIBase::OnApplyPreset)
    EVT_LISTBOX(kIdPresetList, TelloraUIBase::OnPresetSelected)
    EVT_LISTBOX_DCLICK(kIdPresetList, TelloraUIBase::OnApplyPreset)
wxEND_EVENT_TABLE()

namespace {

// Which control shows which parameter, in binding order.
struct Binding {
    std::size_t index;
    int control;
    int slider;  // 0: none
};
const Binding kBindings[] = {
    {kParamShape, kIdShape, 0},
    {kParamEllipseWidth, kIdWidthText, kIdWidthSlider},
    {kParamEllipseHeight, kIdHeightText, kIdHeightSlider},
    {kParamIndicatorWidth, kIdIndicatorWidthText, kIdIndicatorWidthSlider},
    {kParamEdgeThickness, kIdEdgeThicknessText, kIdEdgeThicknessSlider},
    {kParamIndicatorThickness, kIdIndicatorThicknessText, kIdIndicatorThicknessSlider},
    {kParamFillColor, kIdFillColor, 0},
    {kParamEdgeColor, kIdEdgeColor, 0},
    {kParamText, kIdText, 0},
};

}  // namespace

TelloraUIBase::TelloraUIBase(Parameters* params, wxWindow* parent, wxWindowID id, const wxString& title,
                             const wxPoint& pos, const wxSize& size, long style) {
    wxDialog::Create(parent, id, title, pos, size, style, wxDialogNameStr);
    parameters = params;
    // Validation and transfer reach every control (always so in this toolkit version).
    SetExtraStyle(GetExtraStyle() | wxWS_EX_VALIDATE_RECURSIVELY);
    TelloraDialogFunc(this, true, true);

    wxAcceleratorEntry keys[4];
    keys[0].Set(wxACCEL_CTRL, 'i', Param::kCmdZoomIn);
    keys[1].Set(wxACCEL_CTRL, 'o', Param::kCmdZoomOut);
    keys[2].Set(wxACCEL_CTRL, 'y', Param::kCmdRedo);
    keys[3].Set(wxACCEL_CTRL, 'z', Param::kCmdUndo);
    SetAcceleratorTable(wxAcceleratorTable(4, keys));

    // A list shorter than the table binds what it holds; the dialog never reads past its end.
    const std::size_t count = params ? params->parameters.size() : 0;
    auto bind = [&](std::size_t index, int control, int slider) {
        if (index >= count) return;
        BindParameterControls(&params->parameters[index], long(index), FindWindow(control),
                              slider ? dynamic_cast<wxSlider*>(FindWindow(slider)) : nullptr);
    };
    for (const Binding& b : kBindings) bind(b.index, b.control, b.slider);
    boundingBox = dynamic_cast<wxToggleButton*>(FindWindow(kIdBoundingBox));
    bind(kParamBoundingBox, kIdBoundingBox, 0);

    presetList = dynamic_cast<wxListBox*>(FindWindow(kIdPresetList));
    if (presetList) presetList->Bind(wxEVT_KEY_DOWN, &TelloraUIBase::OnPresetListKeyDown, this);
}

TelloraUIBase::~TelloraUIBase() = default;

ImagePreview* TelloraUIBase::GetPreviewPanel() { return dynamic_cast<ImagePreview*>(FindWindow(kIdPreview)); }

void DetachViewer(TelloraUIBase* dialog, ViewerBase* viewer) {
    if (ImagePreview* preview = dialog->GetPreviewPanel(); preview && preview->viewer == viewer)
        preview->viewer = nullptr;
    // The zoom field's validator points into the viewer's zoom record.
    if (viewer->zoomText) viewer->zoomText->SetValidator(wxDefaultValidator);
    viewer->panel = nullptr;
    viewer->zoomText = nullptr;
}

wxDialog* CreateTelloraDialog(Corvantis::Host::PS::Host* host, Corvantis::Host::PS::Parameters* params,
                              wxWindow* parent) {
    using Dialog = TelloraUI<Corvantis::Host::PS::Host, Corvantis::Host::PS::Viewer>;
    constexpr long kStyle = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMAXIMIZE_BOX | wxRESIZE_BORDER;
    auto* dialog = new Dialog(host, params, parent, wxID_ANY, "Tellora", wxDefaultPosition,
                              wxDefaultSize, kStyle);
    if (ImagePreview* preview = dialog->GetPreviewPanel()) {
        preview->viewer = &dialog->viewer;
        dialog->viewer.panel = preview;
    }
    dialog->viewer.BindZoomControls(dynamic_cast<wxTextCtrl*>(dialog->FindWindow(kIdZoomText)), nullptr);
    dialog->SetPresetFolder(Corvantis::Host::PS::GetPresetFolder("Tellora", "Presets"));
    dialog->FillPresetList();
    dialog->Layout();
    // Restored from maximised, the dialog shows all of itself.
    PlaceInWorkArea(dialog, parent);
    dialog->Maximize(true);
    return dialog;
}

void TelloraUIBase::RenderAgain() {
    ViewerBase* viewer = GetViewer();
    if (!viewer) return;
    viewer->needsRender = true;
    if (viewer->panel) viewer->panel->Refresh(true);
}

void TelloraUIBase::OnParamBeginChange(wxCommandEvent& event) {
    // Indices outside the list (the zoom field's) are never recorded.
    const long index = event.GetExtraLong();
    if (parameters && index >= 0 && static_cast<std::size_t>(index) < parameters->parameters.size())
        parameters->RecordChange(static_cast<std::uint64_t>(index));
}

void TelloraUIBase::OnParamChanged(wxCommandEvent& event) {
    event.Skip();
    // A control's own event (choice, colour button): its validator takes the new value. The
    // validators' and the preview's events carry no window with a validator.
    auto* window = dynamic_cast<wxWindow*>(event.GetEventObject());
    wxValidator* validator = window ? window->GetValidator() : nullptr;
    if (validator && validator->Validate(window->GetParent())) validator->TransferFromWindow();
    RenderAgain();
}

void TelloraUIBase::OnZoomIn(wxCommandEvent&) {
    if (ViewerBase* viewer = GetViewer()) viewer->ZoomIn();
}

void TelloraUIBase::OnZoomOut(wxCommandEvent&) {
    if (ViewerBase* viewer = GetViewer()) viewer->ZoomOut();
}

void TelloraUIBase::OnZoomEnter(wxCommandEvent&) {
    // The field's validator has taken the new zoom; the viewer zooms to it now rather than at
    // its next paint, so that a zoom step that follows starts from it. Handled here, Enter ends:
    // it zooms and leaves the dialog open instead of pressing OK.
    if (ViewerBase* viewer = GetViewer())
        viewer->SetZoom(static_cast<float>(viewer->zoomParam.value.GetFloat() / 100.0));
}

void TelloraUIBase::OnUndo(wxCommandEvent&) {
    if (ViewerBase* viewer = GetViewer()) viewer->Undo();
}

void TelloraUIBase::OnRedo(wxCommandEvent&) {
    if (ViewerBase* viewer = GetViewer()) viewer->Redo();
}

void TelloraUIBase::OnBoundingBoxToggle(wxCommandEvent&) {
    // Showing the box is no edit of the bubble: no undo step.
    ViewerBase* viewer = GetViewer();
    Parameters* list = viewer ? viewer->parameters : parameters;
    if (list && boundingBox && kParamBoundingBox < list->parameters.size())
        list->parameters[kParamBoundingBox].value.SetBoolean(boundingBox->GetValue());
    RenderAgain();
}

void TelloraUIBase::OnPresetSelected(wxCommandEvent&) {
    // The selection itself is all; Apply and Delete act on it.
}
