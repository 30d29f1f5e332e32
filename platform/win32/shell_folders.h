// Stand-in for the shell's known-folder lookup the plug-in makes.
//
// On this platform both the shared and the personal documents folder are the user's XDG
// documents folder: $TELLORA_DOCUMENTS_DIR when set (tests point it at a temporary folder),
// else $XDG_DOCUMENTS_DIR, else the XDG_DOCUMENTS_DIR line of $XDG_CONFIG_HOME/user-dirs.dirs
// (default ~/.config), else $HOME/Documents. Only absolute paths are taken. The path is
// returned without a trailing separator, as on Windows.
#pragma once

#ifdef _WIN32
// On Windows this is the shell's own SHGetFolderPathW.
#include "win32/windows_api.h"

#include <shlobj.h>
#else
#include <cstdint>

using HWND = void*;
using HANDLE = void*;
typedef std::uint32_t DWORD;
using HRESULT = std::int32_t;
using LPWSTR = wchar_t*;

constexpr int CSIDL_PERSONAL = 0x0005;
constexpr int CSIDL_COMMON_DOCUMENTS = 0x002E;
constexpr int CSIDL_FLAG_CREATE = 0x8000;
constexpr int CSIDL_FLAG_MASK = 0xFF00;
constexpr DWORD SHGFP_TYPE_CURRENT = 0;
constexpr DWORD SHGFP_TYPE_DEFAULT = 1;
constexpr int MAX_PATH = 260;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline bool FAILED(HRESULT hr) { return hr < 0; }

// Writes the folder `csidl` names into `path` (MAX_PATH wide characters, terminated).
// S_OK on success. Unknown folders give E_INVALIDARG, a folder that cannot be found or whose
// path does not fit gives E_FAIL; `path` then holds the empty string. With
// CSIDL_FLAG_CREATE the folder is created when missing.
HRESULT SHGetFolderPathW(HWND owner, int csidl, HANDLE token, DWORD flags, LPWSTR path);
#endif
