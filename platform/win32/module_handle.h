// The module's own handle on Windows, found from an address inside it: a DLL has no WinMain to
// hand it over. The toolkit registers its window classes and finds its resources under it, and
// the module's manifest is read from it.
#pragma once

#ifdef _WIN32
#include "win32/windows_api.h"

inline HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}
#endif
