// Whether calls on a graphics context's native object failed. The toolkit does not say: a
// failed call just leaves nothing drawn. On this platform the native object is a cairo context,
// which keeps its first error for good.
#pragma once

#include <string>

struct GraphicsFailure {
    bool failed = false;
    bool outOfMemory = false;
    std::string text;  // what failed, for the user
};

#ifdef _WIN32
// On Windows the native object of a GDI+ context is a Gdiplus::Graphics, which keeps the last
// failed status of its calls until it is asked.
#include "win32/windows_api.h"

// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
#include <gdiplus.h>

// The failure since the last ask (asking clears it).
inline GraphicsFailure TakeGraphicsFailure(void* nativeGraphics) {
    if (!nativeGraphics) return {};
    const Gdiplus::Status status = static_cast<Gdiplus::Graphics*>(nativeGraphics)->GetLastStatus();
    if (status == Gdiplus::Ok) return {};
    static const char* const kNames[] = {"Ok", "GenericError", "InvalidParameter", "OutOfMemory", "ObjectBusy",
                                         "InsufficientBuffer", "NotImplemented", "Win32Error", "WrongState",
                                         "Aborted", "FileNotFound", "ValueOverflow", "AccessDenied",
                                         "UnknownImageFormat", "FontFamilyNotFound", "FontStyleNotFound",
                                         "NotTrueTypeFont", "UnsupportedGdiplusVersion", "GdiplusNotInitialized",
                                         "PropertyNotFound", "PropertyNotSupported"};
    const unsigned code = unsigned(status);
    const std::string name = code < sizeof kNames / sizeof kNames[0] ? kNames[code] : "unknown";
    return {true, status == Gdiplus::OutOfMemory, "GDI+ status " + std::to_string(code) + " (" + name + ")"};
}
#else
// The context's error, if it has one.
GraphicsFailure TakeGraphicsFailure(void* nativeGraphics);
#endif
