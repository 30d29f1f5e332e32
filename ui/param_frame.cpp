#include "ui/param_frame.h"

#include "ui/param_dialog.h"

namespace Corvantis::Host::Param {

wxBEGIN_EVENT_TABLE(ParamFrame, wxFrame)
    TELLORA_CONTROL_CHANGED(ParamFrame)
wxEND_EVENT_TABLE()

void ParamFrame::OnControlChanged(wxCommandEvent& event) { TakeControlValue(event); }

}  // namespace Corvantis::Host::Param
