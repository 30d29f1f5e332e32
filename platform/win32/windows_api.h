// The Windows API as the plug-in's code sees it on Windows: <windows.h> without the macros
// that would rename the toolkit's methods (DrawText, GetMessage, ...) in files that use both.
#pragma once

#ifndef _WIN32
#error "windows_api.h is for Windows builds only"
#endif

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#ifdef __WXMSW__
#include <wx/msw/winundef.h>
#endif
