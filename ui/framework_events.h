// The framework's own command events for parameter edits, and the one way they are sent.
//
// Payload of all four: a wxCommandEvent whose id is the window id of the control the sender
// serves, whose event object is the sender, and whose extra long is the index of the parameter
// in the parameter list (EVT_COLOR_CHANGED leaves it 0). Strings and integers stay empty. The
// event is processed synchronously by the sending window's handler and travels up through its
// parents like every command event.
#pragma once
#include <wx/event.h>

// A colour control holds a new colour.
extern wxEventType EVT_COLOR_CHANGED;
// An edit begins; the receiver records the parameter's old value for undo.
extern wxEventType EVT_PARAM_BEGIN_CHANGE;
// The parameter holds its committed new value.
extern wxEventType EVT_PARAM_CHANGED;
// An intermediate value during an edit (slider drag, preview drag).
extern wxEventType EVT_PARAM_CHANGING;

// Static event-table entries: EVT_TELLORA_PARAM_CHANGED(wxID_ANY, MyDialog::OnParamChanged).
// The handler takes a wxCommandEvent&.
#define TELLORA_FRAMEWORK_EVT(type, id, fn) \
    wx__DECLARE_EVT1(type, id, wxCommandEventHandler(fn))
#define EVT_TELLORA_COLOR_CHANGED(id, fn) TELLORA_FRAMEWORK_EVT(EVT_COLOR_CHANGED, id, fn)
#define EVT_TELLORA_PARAM_BEGIN_CHANGE(id, fn) TELLORA_FRAMEWORK_EVT(EVT_PARAM_BEGIN_CHANGE, id, fn)
#define EVT_TELLORA_PARAM_CHANGED(id, fn) TELLORA_FRAMEWORK_EVT(EVT_PARAM_CHANGED, id, fn)
#define EVT_TELLORA_PARAM_CHANGING(id, fn) TELLORA_FRAMEWORK_EVT(EVT_PARAM_CHANGING, id, fn)

namespace Corvantis::Host::Param {

// Builds a framework event on the stack and hands it to `sender`'s ProcessEvent at once.
// `id` is the window id of the control served, `object` the sender (validator, colour button,
// preview panel), `extraLong` the parameter index (0 for EVT_COLOR_CHANGED). Returns whether
// some handler processed it. A null sender sends nothing.
bool SendFrameworkEvent(wxEvtHandler* sender, wxEventType type, int id, wxObject* object, long extraLong);

}  // namespace Corvantis::Host::Param
