// The filter record's callback tables that the host offers without serving them: resources,
// properties, image services and the record's own channel-port procedures. Every slot is set;
// each answers as a host that holds nothing of the kind would.
#pragma once
#include "pluginapi/filter_record.h"

namespace hostsim {

ResourceProcs UnservedResourceProcs();
PropertyProcs UnservedPropertyProcs();
ImageServicesProcs UnservedImageServicesProcs();
ChannelPortProcs UnservedChannelPortProcs();
// The getPropertyObsolete entry of the record: no property is known.
GetPropertyProc UnservedGetProperty();

}  // namespace hostsim
