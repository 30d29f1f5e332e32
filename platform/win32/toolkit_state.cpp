#include "win32/toolkit_state.h"

#include <cstdlib>

namespace {
bool gToolkitReady = false;
}

void SetToolkitReady(bool ready) { gToolkitReady = ready; }
bool ToolkitReady() { return gToolkitReady; }

bool BatchRunRequested() { return std::getenv("TELLORA_BATCH") != nullptr; }
