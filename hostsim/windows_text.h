// Strings at the edge of the Windows API, for the host's Windows-only files. Narrow strings are
// UTF-8, as every text of the host is: filterhost takes its arguments and environment as UTF-16
// and converts them once.
#pragma once
#include <string>

namespace hostsim {

std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);
// The absolute form of `path`; `path` itself when Windows cannot make one.
std::wstring FullPath(const std::wstring& path);
// The system's message for an error code, without the trailing line break, and the code.
std::string SystemErrorText(unsigned long code);

}  // namespace hostsim
