// The system's message for the error code of a Windows call, in UTF-8, without its trailing
// line break and full stop; empty when the system has none. Used by the file saves and by the
// host's own Windows calls.
#pragma once
#ifdef _WIN32
#include <string>

namespace tellora {
std::string WindowsErrorText(unsigned long code);
}
#endif
