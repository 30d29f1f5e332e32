// What the plug-in passes to displayPixels as its platform context: on Windows the device
// context of its paint (an HDC), elsewhere the cairo context of the paint.
#pragma once

#ifdef _WIN32
struct HDC__;
namespace hostsim {
using DisplayContext = HDC__*;
}
#else
typedef struct _cairo cairo_t;
namespace hostsim {
using DisplayContext = cairo_t*;
}
#endif
