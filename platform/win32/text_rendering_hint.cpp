#include "win32/text_rendering_hint.h"

#include <dlfcn.h>

namespace {

// The few cairo calls needed, found in the cairo library the toolkit has already loaded, so
// that no cairo development files are needed to build.
struct CairoFontOptions;
using CreateFn = CairoFontOptions* (*)();
using DestroyFn = void (*)(CairoFontOptions*);
using GetFn = void (*)(void* cr, CairoFontOptions*);
using SetFn = void (*)(void* cr, const CairoFontOptions*);
using SetIntFn = void (*)(CairoFontOptions*, int);

// cairo's enumerations.
enum { kAntialiasDefault = 0, kAntialiasNone = 1, kAntialiasGray = 2 };
enum { kHintStyleDefault = 0, kHintStyleNone = 1, kHintStyleFull = 4 };
enum { kHintMetricsDefault = 0, kHintMetricsOff = 1, kHintMetricsOn = 2 };

struct FontOptions {
    int antialias;
    int hintStyle;
    int hintMetrics;
};

bool OptionsFor(TextRenderingHint hint, FontOptions& options) {
    switch (hint) {
        case TextRenderingHintSystemDefault:
            options = {kAntialiasDefault, kHintStyleDefault, kHintMetricsDefault};
            return true;
        case TextRenderingHintSingleBitPerPixelGridFit:
            options = {kAntialiasNone, kHintStyleFull, kHintMetricsOn};
            return true;
        case TextRenderingHintSingleBitPerPixel:
            options = {kAntialiasNone, kHintStyleNone, kHintMetricsOff};
            return true;
        case TextRenderingHintAntiAliasGridFit:
        case TextRenderingHintClearTypeGridFit:
            options = {kAntialiasGray, kHintStyleFull, kHintMetricsOn};
            return true;
        case TextRenderingHintAntiAlias:
            options = {kAntialiasGray, kHintStyleNone, kHintMetricsOff};
            return true;
    }
    return false;
}

}  // namespace

int SetTextRenderingHint(void* nativeGraphics, TextRenderingHint hint) {
    FontOptions wanted{};
    if (!nativeGraphics || !OptionsFor(hint, wanted)) return 2;  // invalid parameter
    void* cairo = dlopen("libcairo.so.2", RTLD_LAZY | RTLD_NOLOAD);
    if (!cairo) return 1;
    const auto create = reinterpret_cast<CreateFn>(dlsym(cairo, "cairo_font_options_create"));
    const auto destroy = reinterpret_cast<DestroyFn>(dlsym(cairo, "cairo_font_options_destroy"));
    const auto get = reinterpret_cast<GetFn>(dlsym(cairo, "cairo_get_font_options"));
    const auto set = reinterpret_cast<SetFn>(dlsym(cairo, "cairo_set_font_options"));
    const auto antialias = reinterpret_cast<SetIntFn>(dlsym(cairo, "cairo_font_options_set_antialias"));
    const auto hintStyle = reinterpret_cast<SetIntFn>(dlsym(cairo, "cairo_font_options_set_hint_style"));
    const auto hintMetrics = reinterpret_cast<SetIntFn>(dlsym(cairo, "cairo_font_options_set_hint_metrics"));
    int status = 1;
    if (create && destroy && get && set && antialias && hintStyle && hintMetrics) {
        CairoFontOptions* options = create();
        if (options) {
            // Keep whatever else the context has set (sub-pixel order, variations).
            get(nativeGraphics, options);
            antialias(options, wanted.antialias);
            hintStyle(options, wanted.hintStyle);
            hintMetrics(options, wanted.hintMetrics);
            set(nativeGraphics, options);
            destroy(options);
            status = 0;
        }
    }
    dlclose(cairo);
    return status;
}
