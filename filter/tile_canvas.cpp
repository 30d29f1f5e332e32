#include "filter/tile_canvas.h"

#include "filter/bubble_drawing.h"
#include "win32/graphics_status.h"
#include "win32/text_rendering_hint.h"

#include <wx/bitmap.h>
#include <wx/brush.h>
#include <wx/pen.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/image.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#ifdef __WXGTK__
#include <wx/fontutil.h>

#include <cairo.h>
#include <pango/pangocairo.h>
#endif

namespace {

[[noreturn]] void NoContext() {
    throw std::runtime_error("Tellora could not create a graphics context to draw the bubble.");
}

void SetUpText(wxGraphicsContext& gc) {
    // The status is of no consequence: text is drawn either way. Nor is anything the context's
    // setting up left behind: what counts is the drawing.
    SetTextRenderingHint(gc.GetNativeContext(), TextRenderingHintClearTypeGridFit);
    TakeGraphicsFailure(gc.GetNativeContext());
}

}  // namespace

void TileCanvas::ThrowIfDrawingFailed() {
    const GraphicsFailure failure = TakeGraphicsFailure(Context().GetNativeContext());
    if (!failure.failed) return;
    if (failure.outOfMemory) throw std::bad_alloc();
    throw std::runtime_error("Tellora could not draw the bubble: " + failure.text + ".");
}

void TileCanvas::FillOpaque(int width, int height, unsigned char red, unsigned char green, unsigned char blue) {
    wxGraphicsContext& gc = Context();
    gc.SetPen(*wxTRANSPARENT_PEN);
    gc.SetBrush(wxBrush(wxColour(red, green, blue), wxBRUSHSTYLE_SOLID));
    gc.DrawRectangle(0.0, 0.0, width, height);
}

// A transparent 32-bit bitmap selected into a memory device context, with a graphics context
// from the default renderer on it.
struct BitmapCanvas::Parts {
    Parts(int width, int height) {
        wxImage image(width, height, true);
        image.SetAlpha();
        std::memset(image.GetAlpha(), 0, std::size_t(width) * std::size_t(height));
        bitmap = wxBitmap(image, 32);
        bitmap.UseAlpha();
        dc.SelectObject(bitmap);
        gc.reset(wxGraphicsRenderer::GetDefaultRenderer()->CreateContext(dc));
        if (!gc) NoContext();
        SetUpText(*gc);
    }
    wxBitmap bitmap;
    wxMemoryDC dc;
    std::unique_ptr<wxGraphicsContext> gc;  // destroyed before the device context
};

BitmapCanvas::BitmapCanvas(int width, int height)
    : TileCanvas(width, height), parts(std::make_unique<Parts>(width, height)) {}
BitmapCanvas::~BitmapCanvas() = default;

wxGraphicsContext& BitmapCanvas::Context() {
    if (!parts->gc) NoContext();
    return *parts->gc;
}

wxDC& BitmapCanvas::DeviceContext() { return parts->dc; }

wxImage BitmapCanvas::FinishImage() {
    ThrowIfDrawingFailed();
    parts->gc.reset();
    parts->dc.SelectObject(wxNullBitmap);
    return parts->bitmap.ConvertToImage();
}

void BitmapCanvas::Finish(StraightPixels& out, const std::vector<Area>*) {
    const wxImage image = FinishImage();
    const std::size_t count = std::size_t(image.GetWidth()) * std::size_t(image.GetHeight());
    out.rgb.assign(image.GetData(), image.GetData() + count * 3);
    if (image.HasAlpha())
        out.alpha.assign(image.GetAlpha(), image.GetAlpha() + count);
    else
        out.alpha.assign(count, 255);
}

#ifdef __WXGTK__
namespace {

// Straight colour of a premultiplied (colour, alpha) pair, index alpha * 256 + colour, exactly
// as the toolkit's bitmap conversion gives it: learned once from the toolkit itself, so that a
// drawing read straight from cairo matches one read back through a bitmap.
class StraightColourTable {
public:
    static const StraightColourTable& Get() {
        static const StraightColourTable table;
        return table;
    }
    bool usable = false;
    std::array<unsigned char, 256 * 256> value{};
    // The settings a context on the toolkit's bitmap starts with (a context made on a native
    // cairo context starts with others, e.g. without the half-pixel offset of odd pens).
    bool offset = true;
    wxAntialiasMode antialias = wxANTIALIAS_DEFAULT;
    wxInterpolationQuality interpolation = wxINTERPOLATION_DEFAULT;
    wxCompositionMode composition = wxCOMPOSITION_OVER;

private:
    StraightColourTable() {
        constexpr int kSide = 256;
        cairo_surface_t* pattern = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSide, kSide);
        if (cairo_surface_status(pattern) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(pattern);
            return;
        }
        // Row a, column c: alpha a, every colour min(c, a) (premultiplied colour never exceeds alpha).
        cairo_surface_flush(pattern);
        unsigned char* data = cairo_image_surface_get_data(pattern);
        const int stride = cairo_image_surface_get_stride(pattern);
        for (int a = 0; a < kSide; ++a)
            for (int c = 0; c < kSide; ++c) {
                const std::uint32_t m = std::uint32_t(c < a ? c : a);
                const std::uint32_t pixel = std::uint32_t(a) << 24 | m << 16 | m << 8 | m;
                std::memcpy(data + a * stride + c * 4, &pixel, 4);
            }
        cairo_surface_mark_dirty(pattern);

        BitmapCanvas canvas(kSide, kSide);
        const wxGraphicsContext& reference = canvas.Context();
        offset = reference.OffsetEnabled();
        antialias = reference.GetAntialiasMode();
        interpolation = reference.GetInterpolationQuality();
        composition = reference.GetCompositionMode();
        auto* cr = static_cast<cairo_t*>(canvas.Context().GetNativeContext());
        if (cr) {
            cairo_save(cr);
            cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
            cairo_set_source_surface(cr, pattern, 0, 0);
            cairo_paint(cr);
            cairo_restore(cr);
        }
        const wxImage image = canvas.FinishImage();
        cairo_surface_destroy(pattern);
        if (!cr || !image.HasAlpha() || image.GetWidth() != kSide || image.GetHeight() != kSide) return;
        bool sane = true;
        for (int a = 0; a < kSide; ++a)
            for (int c = 0; c <= a; ++c) {
                value[std::size_t(a) * kSide + std::size_t(c)] = image.GetRed(c, a);
                sane = sane && image.GetAlpha(c, a) == a && image.GetGreen(c, a) == image.GetRed(c, a);
            }
        // Opaque colour must come back unchanged, or the painted pattern did not arrive as is.
        for (int c = 0; c < kSide; ++c) sane = sane && value[255 * kSide + std::size_t(c)] == c;
        usable = sane;
    }
};

// A cairo ARGB32 image surface drawn on through the toolkit's cairo renderer.
class CairoCanvas : public TileCanvas {
public:
    CairoCanvas(int width, int height, std::vector<unsigned char>* memory)
        : TileCanvas(width, height), table(StraightColourTable::Get()), surface(MakeSurface(width, height, memory)) {
        if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(surface);
            throw std::bad_alloc();
        }
        cr = cairo_create(surface);
        wxGraphicsRenderer* renderer = wxGraphicsRenderer::GetCairoRenderer();
        if (renderer) gc.reset(renderer->CreateContextFromNativeContext(cr));
        if (!gc) {
            Release();
            NoContext();
        }
        gc->EnableOffset(table.offset);
        gc->SetAntialiasMode(table.antialias);
        gc->SetInterpolationQuality(table.interpolation);
        gc->SetCompositionMode(table.composition);
        SetUpText(*gc);
    }
    ~CairoCanvas() override { Release(); }

    wxGraphicsContext& Context() override {
        if (!gc) NoContext();
        return *gc;
    }

    void Finish(StraightPixels& out, const std::vector<Area>* only) override {
        ThrowIfDrawingFailed();
        gc.reset();
        cairo_surface_flush(surface);
        const std::size_t count = std::size_t(width) * std::size_t(height);
        out.rgb.resize(count * 3);
        out.alpha.resize(count);
        if (!only) {
            Convert(out, Area{0, 0, width, height});
            return;
        }
        for (const Area& area : *only)
            Convert(out, Area{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, width),
                              std::min(area.bottom, height)});
    }

private:
    // A transparent ARGB32 surface, on `memory` when given.
    static cairo_surface_t* MakeSurface(int width, int height, std::vector<unsigned char>* memory) {
        const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width);
        if (!memory || stride <= 0 || width <= 0 || height <= 0)
            return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        memory->assign(std::size_t(stride) * std::size_t(height), 0);
        return cairo_image_surface_create_for_data(memory->data(), CAIRO_FORMAT_ARGB32, width, height, stride);
    }

    // The straight colour of the pixels of `area`, in rows of the canvas's width.
    void Convert(StraightPixels& out, const Area& area) const {
        if (area.left >= area.right || area.top >= area.bottom) return;
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        for (int y = area.top; y < area.bottom; ++y) {
            const unsigned char* row = data + std::ptrdiff_t(y) * stride;
            const std::size_t first = std::size_t(y) * std::size_t(width) + std::size_t(area.left);
            unsigned char* rgb = out.rgb.data() + first * 3;
            unsigned char* alpha = out.alpha.data() + first;
            for (int x = area.left; x < area.right; ++x, rgb += 3, ++alpha) {
                std::uint32_t pixel;
                std::memcpy(&pixel, row + x * 4, 4);
                const std::uint32_t a = pixel >> 24;
                *alpha = static_cast<unsigned char>(a);
                if (a == 0) {
                    rgb[0] = rgb[1] = rgb[2] = 0;
                    continue;
                }
                if (a == 255) {
                    // Opaque colour comes back as it is (the table was checked for that).
                    rgb[0] = static_cast<unsigned char>(pixel >> 16);
                    rgb[1] = static_cast<unsigned char>(pixel >> 8);
                    rgb[2] = static_cast<unsigned char>(pixel);
                    continue;
                }
                const unsigned char* straight = table.value.data() + a * 256;
                rgb[0] = straight[(pixel >> 16) & 0xFF];
                rgb[1] = straight[(pixel >> 8) & 0xFF];
                rgb[2] = straight[pixel & 0xFF];
            }
        }
    }

    void Release() {
        gc.reset();
        if (cr) cairo_destroy(cr);
        cr = nullptr;
        if (surface) cairo_surface_destroy(surface);
        surface = nullptr;
    }

    const StraightColourTable& table;
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    std::unique_ptr<wxGraphicsContext> gc;  // released before the cairo context
};

}  // namespace
#endif

#ifdef __WXGTK__
struct TextLineDrawer::Kept {
    struct Unref {
        void operator()(PangoLayout* layout) const { g_object_unref(layout); }
    };
    // By line, then by piece.
    std::vector<std::vector<std::unique_ptr<PangoLayout, Unref>>> layouts;
};
#else
struct TextLineDrawer::Kept {};
#endif

TextLineDrawer::TextLineDrawer() : kept(std::make_unique<Kept>()) {}
TextLineDrawer::~TextLineDrawer() = default;
TextLineDrawer::TextLineDrawer(TextLineDrawer&&) noexcept = default;
TextLineDrawer& TextLineDrawer::operator=(TextLineDrawer&&) noexcept = default;

void TextLineDrawer::Clear() { kept = std::make_unique<Kept>(); }

void TextLineDrawer::Draw(TileCanvas& canvas, [[maybe_unused]] std::size_t index, const TextLine& line,
                          const wxFont& font, const wxColour& colour, double originLeft, double originTop) {
    wxGraphicsContext& gc = canvas.Context();
    const std::vector<TextLineRun> runs =
        TextLineRuns(line, originLeft, originTop, wxSize(canvas.Width(), canvas.Height()));
#ifdef __WXGTK__
    // What the cairo context's DrawText does, with the layouts made once: a pango layout of the
    // font's description, the text and the font's own attributes, shown at (x, y) in the
    // colour. Layouts depend on the cairo context's font options, which every canvas shares.
    auto* cr = static_cast<cairo_t*>(gc.GetNativeContext());
    const wxNativeFontInfo* info = font.IsOk() ? font.GetNativeFontInfo() : nullptr;
    if (cr && info && info->description) {
        if (kept->layouts.size() <= index) kept->layouts.resize(index + 1);
        auto& layouts = kept->layouts[index];
        layouts.resize(std::max<std::size_t>(line.pieces.size(), 1));
        for (const TextLineRun& run : runs) {
            if (run.text.empty()) continue;
            auto& layout = layouts[run.piece];
            if (!layout) {
                const wxScopedCharBuffer data = run.text.utf8_str();
                if (!data.data()) continue;
                layout.reset(pango_cairo_create_layout(cr));
                if (!layout) continue;
                pango_layout_set_font_description(layout.get(), info->description);
                pango_layout_set_text(layout.get(), data.data(), int(data.length()));
                font.GTKSetPangoAttrs(layout.get());
            }
            cairo_set_source_rgba(cr, colour.Red() / 255.0, colour.Green() / 255.0, colour.Blue() / 255.0,
                                  colour.Alpha() / 255.0);
            cairo_move_to(cr, run.x, run.y);
            pango_cairo_show_layout(cr, layout.get());
        }
        return;
    }
#endif
    gc.SetFont(font, colour);
    for (const TextLineRun& run : runs)
        if (!run.text.empty()) gc.DrawText(run.text, run.x, run.y);
}

std::unique_ptr<TileCanvas> MakeTileCanvas(int width, int height, std::vector<unsigned char>* memory) {
#ifdef __WXGTK__
    if (StraightColourTable::Get().usable) return std::make_unique<CairoCanvas>(width, height, memory);
#else
    (void)memory;
#endif
    return std::make_unique<BitmapCanvas>(width, height);
}
