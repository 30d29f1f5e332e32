#include "win32/toolkit_state.h"

namespace {
bool gToolkitReady = false;
}

void SetToolkitReady(bool ready) { gToolkitReady = ready; }
bool ToolkitReady() { return gToolkitReady; }
