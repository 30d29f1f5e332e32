// The scripting descriptor: the parameters' values as the host records them in actions (written
// at Finish) and plays them back (read at Start). Parameters with key 0 take no part.
#pragma once
#include "pluginapi/filter_record.h"

namespace Corvantis::Host::PS {

class Parameters;

// Writes every keyed parameter into a new descriptor that replaces the record's (the old one
// is disposed) and makes the dialog optional when recorded. 0 without write procedures;
// -1715 when no descriptor can be opened; else the first failing write's code, or the close's.
int16 WriteScriptParameters(Parameters* params, FilterRecord* record);

// Reads the record's descriptor into the parameters and consumes it (disposed and cleared).
// show starts as the plug-in data byte; once a descriptor was handed over it is playInfo == 1
// (the host asks for the dialog). Reading stops at the first key no parameter claims and at
// the first failed read; a value whose read failed keeps what it had. Returns the close's
// result (0 when there was nothing to read): hosts answer errMissingParameter there for keys
// the descriptor did not hold, or the last error of any read. `failedRead` (optional) receives
// the code of a value read the host failed, 0 when none did.
int16 ReadScriptParameters(Parameters* params, FilterRecord* record, uint8* dataByte, bool* show,
                           int16* failedRead = nullptr);

}  // namespace Corvantis::Host::PS
