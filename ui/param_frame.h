// The framework's generic parameter frame: a changed control's validator takes its value.
#pragma once
#include <wx/frame.h>

namespace Corvantis::Host::Param {

class ParamFrame : public wxFrame {
public:
    ParamFrame() = default;
    ParamFrame(wxWindow* parent, wxWindowID id, const wxString& title, const wxPoint& pos = wxDefaultPosition,
               const wxSize& size = wxDefaultSize, long style = wxDEFAULT_FRAME_STYLE,
               const wxString& name = wxASCII_STR(wxFrameNameStr))
        : wxFrame(parent, id, title, pos, size, style, name) {}

protected:
    void OnControlChanged(wxCommandEvent& event);

private:
    wxDECLARE_EVENT_TABLE();
};

}  // namespace Corvantis::Host::Param
