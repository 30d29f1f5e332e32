#include "win32/text_rendering_hint.h"

#include <cairo.h>

namespace {

struct FontOptions {
    cairo_antialias_t antialias;
    cairo_hint_style_t hintStyle;
    cairo_hint_metrics_t hintMetrics;
};

bool OptionsFor(TextRenderingHint hint, FontOptions& options) {
    switch (hint) {
        case TextRenderingHintSystemDefault:
            options = {CAIRO_ANTIALIAS_DEFAULT, CAIRO_HINT_STYLE_DEFAULT, CAIRO_HINT_METRICS_DEFAULT};
            return true;
        case TextRenderingHintSingleBitPerPixelGridFit:
            options = {CAIRO_ANTIALIAS_NONE, CAIRO_HINT_STYLE_FULL, CAIRO_HINT_METRICS_ON};
            return true;
        case TextRenderingHintSingleBitPerPixel:
            options = {CAIRO_ANTIALIAS_NONE, CAIRO_HINT_STYLE_NONE, CAIRO_HINT_METRICS_OFF};
            return true;
        case TextRenderingHintAntiAliasGridFit:
        case TextRenderingHintClearTypeGridFit:
            options = {CAIRO_ANTIALIAS_GRAY, CAIRO_HINT_STYLE_FULL, CAIRO_HINT_METRICS_ON};
            return true;
        case TextRenderingHintAntiAlias:
            options = {CAIRO_ANTIALIAS_GRAY, CAIRO_HINT_STYLE_NONE, CAIRO_HINT_METRICS_OFF};
            return true;
    }
    return false;
}

}  // namespace

int SetTextRenderingHint(void* nativeGraphics, TextRenderingHint hint) {
    FontOptions wanted{};
    if (!nativeGraphics || !OptionsFor(hint, wanted)) return 2;  // invalid parameter
    auto* cr = static_cast<cairo_t*>(nativeGraphics);
    cairo_font_options_t* options = cairo_font_options_create();
    if (cairo_font_options_status(options) != CAIRO_STATUS_SUCCESS) {
        cairo_font_options_destroy(options);
        return 1;
    }
    // Keep whatever else the context has set (sub-pixel order, variations).
    cairo_get_font_options(cr, options);
    cairo_font_options_set_antialias(options, wanted.antialias);
    cairo_font_options_set_hint_style(options, wanted.hintStyle);
    cairo_font_options_set_hint_metrics(options, wanted.hintMetrics);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    return 0;
}
