#include "ui/framework_events.h"

// Made at load, in this order, before any table that refers to them is used.
wxEventType EVT_COLOR_CHANGED = wxNewEventType();
wxEventType EVT_PARAM_BEGIN_CHANGE = wxNewEventType();
wxEventType EVT_PARAM_CHANGED = wxNewEventType();
wxEventType EVT_PARAM_CHANGING = wxNewEventType();

namespace Corvantis::Host::Param {

bool SendFrameworkEvent(wxEvtHandler* sender, wxEventType type, int id, wxObject* object, long extraLong) {
    if (!sender) return false;
    wxCommandEvent event(type, id);
    event.SetEventObject(object);
    // The parameter identity travels as a 32-bit value.
    event.SetExtraLong(static_cast<int32_t>(extraLong));
    return sender->ProcessEvent(event);
}

}  // namespace Corvantis::Host::Param
