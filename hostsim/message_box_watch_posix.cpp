#include "hostsim/message_box_watch.h"

namespace hostsim {

// The plug-in's stand-in box reports and answers itself here.
bool MessageBoxWatch::Wanted() { return false; }
MessageBoxWatch::MessageBoxWatch(void* hostWindow) : hostWindow_(hostWindow) {}
MessageBoxWatch::~MessageBoxWatch() = default;
void MessageBoxWatch::Answer(void*) {}

}  // namespace hostsim
