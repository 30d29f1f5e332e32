#include "win32/graphics_status.h"

#include <cairo.h>

GraphicsFailure TakeGraphicsFailure(void* nativeGraphics) {
    if (!nativeGraphics) return {};
    const cairo_status_t status = cairo_status(static_cast<cairo_t*>(nativeGraphics));
    if (status == CAIRO_STATUS_SUCCESS) return {};
    return {true, status == CAIRO_STATUS_NO_MEMORY, std::string("cairo: ") + cairo_status_to_string(status)};
}
