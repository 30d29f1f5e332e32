// What a HostSession hands on to the part of the host that serves pixels: the filter record
// being built, each filter-selector call, advanceState and progress reports.
#pragma once
#include "pluginapi/filter_record.h"

namespace hostsim {

class SessionHooks {
public:
    virtual ~SessionHooks() = default;
    // The filter record was built afresh (a new run): fill in what the pixel host serves.
    virtual void OnRecordReset(FilterRecord& record, BigDocumentStruct& bigDocument) = 0;
    // Around every call with a filter record (not About).
    virtual void BeforeCall(int16 selector, FilterRecord& record) = 0;
    virtual void AfterCall(int16 selector, int16 result, FilterRecord& record) = 0;
    // The plug-in's advanceState, once the session's own callback checks have passed.
    virtual OSErr AdvanceState(FilterRecord& record) = 0;
    virtual void OnProgress(int32 done, int32 total) = 0;
};

}  // namespace hostsim
