// displayPixels on GTK: the bitmap goes onto the paint's cairo context.
#include "hostsim/pixel_display.h"

#include <cairo.h>

#include <memory>

namespace hostsim {
namespace {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

}  // namespace

std::string DisplayContextProblem(DisplayContext context) {
    if (cairo_status(context) != CAIRO_STATUS_SUCCESS) return cairo_status_to_string(cairo_status(context));
    return {};
}

std::string DrawDisplayBitmap(DisplayContext context, const DisplayBitmap& bitmap, int32 dstRow, int32 dstCol) {
    // The words are cairo's RGB24 layout already; the surface only borrows them.
    auto* data = reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(bitmap.pixels.data()));
    Surface surface(cairo_image_surface_create_for_data(data, CAIRO_FORMAT_RGB24, bitmap.width, bitmap.height,
                                                        bitmap.width * 4));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return cairo_status_to_string(cairo_surface_status(surface.get()));

    cairo_save(context);
    cairo_set_source_surface(context, surface.get(), dstCol, dstRow);
    cairo_pattern_set_filter(cairo_get_source(context), CAIRO_FILTER_NEAREST);
    cairo_rectangle(context, dstCol, dstRow, bitmap.width, bitmap.height);
    cairo_fill(context);
    cairo_restore(context);
    if (cairo_status(context) != CAIRO_STATUS_SUCCESS) return cairo_status_to_string(cairo_status(context));
    return {};
}

}  // namespace hostsim
