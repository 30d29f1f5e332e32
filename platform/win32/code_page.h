// Stand-in for the conversion from the system's code page that the plug-in makes, for texts
// that older hosts and recorded actions hand over in a single-byte code page.
//
// On this platform the system's code page (CP_ACP) is Latin-1: every byte is the character of
// the same number. No other code page and no flag is known.
#pragma once

#ifdef _WIN32
// On Windows this is the system's own MultiByteToWideChar.
#include "win32/windows_api.h"
#else
#include <cstdint>

typedef std::uint32_t DWORD;
typedef unsigned int UINT;
typedef wchar_t* LPWSTR;
typedef const char* LPCCH;

constexpr UINT CP_ACP = 0;

// Converts `count` bytes of `text` (-1: up to and with its terminating zero) into `wide`,
// which holds `wideCount` characters. With `wideCount` 0 only the length is returned. Returns
// the characters written (or needed), 0 for an unknown code page or flag, a null or too short
// buffer, or a negative count other than -1.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCCH text, int count, LPWSTR wide, int wideCount);
#endif
