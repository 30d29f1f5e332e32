#include "filter/tile_render.h"

#include "filter/parameter_table.h"
#include "filter/tellora_plugin.h"
#include "host/image_buffer.h"
#include "param/ps_parameters.h"

#include <wx/graphics.h>
#include <wx/image.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>

#ifdef __WXGTK__
#include <wx/fontutil.h>

#include <pango/pangocairo.h>
#endif

using Corvantis::Host::Param::Parameters;

namespace {

// How far antialiasing and the toolkit's half-pixel offset of odd pens reach past a shape.
constexpr double kSmoothing = 2.0;
// Tiles larger than this on a side are drawn in parts, so that no bitmap grows with the tile.
constexpr std::int64_t kMaxPartSide = 1024;
// The rounded rectangle's corners may reach this far past a body of negative size.
constexpr double kCornerReach = 3.0;

#ifdef __WXGTK__
// Ink extents of a string as the toolkit's cairo context draws it (a pango layout on the
// context, with the font's underline and strike-through), so that glyphs reaching past their
// advance box are inside the outline.
class PangoInk {
public:
    using Rectangle = PangoRectangle;

    bool Measure(void* cairoContext, const wxFont& font, const wxString& text, Rectangle& ink,
                 Rectangle& logical) const {
        if (!cairoContext) return false;
        const wxNativeFontInfo* info = font.GetNativeFontInfo();
        if (!info || !info->description) return false;
        const wxScopedCharBuffer data = text.utf8_str();
        PangoLayout* layout = pango_cairo_create_layout(static_cast<cairo_t*>(cairoContext));
        if (!layout) return false;
        pango_layout_set_font_description(layout, info->description);
        pango_layout_set_text(layout, data.data(), int(data.length()));
        font.GTKSetPangoAttrs(layout);
        pango_layout_get_pixel_extents(layout, &ink, &logical);
        g_object_unref(layout);
        return true;
    }
};
#endif

BubbleReach::Box Grow(BubbleReach::Box b, double by) { return {b.left - by, b.top - by, b.right + by, b.bottom + by}; }

// A line's advance box: where it is placed, as wide and high as measured.
BubbleReach::Box LineBox(const TextLine& line) {
    return {line.x, line.y, line.x + line.width, line.y + line.height};
}

bool Overlaps(const BubbleReach::Box& b, double left, double top, double right, double bottom) {
    return b.left < right && b.right > left && b.top < bottom && b.bottom > top;
}

// Separating-axis test of the triangle against an axis-aligned box.
bool TriangleOverlapsBox(const double (&tri)[3][2], double left, double top, double right, double bottom) {
    const double minX = std::min({tri[0][0], tri[1][0], tri[2][0]});
    const double maxX = std::max({tri[0][0], tri[1][0], tri[2][0]});
    const double minY = std::min({tri[0][1], tri[1][1], tri[2][1]});
    const double maxY = std::max({tri[0][1], tri[1][1], tri[2][1]});
    if (maxX < left || minX > right || maxY < top || minY > bottom) return false;
    const double corners[4][2] = {{left, top}, {right, top}, {left, bottom}, {right, bottom}};
    for (int i = 0; i < 3; ++i) {
        const double nx = -(tri[(i + 1) % 3][1] - tri[i][1]);
        const double ny = tri[(i + 1) % 3][0] - tri[i][0];
        double triMin = 0, triMax = 0, boxMin = 0, boxMax = 0;
        for (int k = 0; k < 3; ++k) {
            const double d = nx * tri[k][0] + ny * tri[k][1];
            triMin = k ? std::min(triMin, d) : d;
            triMax = k ? std::max(triMax, d) : d;
        }
        for (int k = 0; k < 4; ++k) {
            const double d = nx * corners[k][0] + ny * corners[k][1];
            boxMin = k ? std::min(boxMin, d) : d;
            boxMax = k ? std::max(boxMax, d) : d;
        }
        if (triMax < boxMin || boxMax < triMin) return false;
    }
    return true;
}

BubbleFrame FrameOf(const VRect& r) {
    BubbleFrame frame;
    frame.width = std::uint64_t(std::int64_t(r.right) - r.left);
    frame.height = std::uint64_t(std::int64_t(r.bottom) - r.top);
    frame.left = r.left;
    frame.top = r.top;
    return frame;
}

}  // namespace

bool BubbleReach::Touches(const VRect& tile) const {
    if (everywhere) return true;
    const double left = tile.left, top = tile.top, right = tile.right, bottom = tile.bottom;
    if (Overlaps(body, left, top, right, bottom)) return true;
    for (const Box& line : text)
        if (Overlaps(line, left, top, right, bottom)) return true;
    return TriangleOverlapsBox(triangle, left - pointerReach, top - pointerReach, right + pointerReach,
                               bottom + pointerReach);
}

bool BubbleReach::Fills(const VRect& tile) const {
    if (everywhere || !interior) return false;
    for (const Box& line : text)
        if (Overlaps(line, tile.left, tile.top, tile.right, tile.bottom)) return false;
    return InsideBody(tile);
}

bool BubbleReach::InsideBody(const VRect& tile) const {
    if (!interior) return false;
    const double left = tile.left, top = tile.top, right = tile.right, bottom = tile.bottom;
    const auto inside = [&](const Box& b) {
        return left >= b.left && right <= b.right && top >= b.top && bottom <= b.bottom;
    };
    if (rectangle) return inside(across) || inside(down);
    // The ellipse is convex: the tile is inside when its four corners are.
    for (const double x : {left, right})
        for (const double y : {top, bottom}) {
            const double dx = (x - centreX) / radiusX, dy = (y - centreY) / radiusY;
            if (dx * dx + dy * dy > 1.0) return false;
        }
    return true;
}

BubbleReach ComputeBubbleReach(const BubbleGeometry& g, std::vector<BubbleReach::Box> textBoxes) {
    BubbleReach reach;
    const double x0 = double(g.bodyLeft), x1 = double(g.bodyLeft + g.bodyWidth);
    const double y0 = double(g.bodyTop), y1 = double(g.bodyTop + g.bodyHeight);
    double edgeReach = kSmoothing + (g.rectangle ? kCornerReach : 0.0);
    if (g.edgeVisible) edgeReach += std::max(g.edgePenWidth, 1) / 2.0;
    reach.body = Grow({std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)}, edgeReach);
    for (int i = 0; i < 3; ++i) {
        reach.triangle[i][0] = double(g.triangle[i].x);
        reach.triangle[i][1] = double(g.triangle[i].y);
    }
    reach.pointerReach = kSmoothing + (g.pointerVisible ? std::max(g.pointerPenWidth, 1) / 2.0 : 0.0);
    reach.text = std::move(textBoxes);

    const double m = BubbleInteriorMargin(g);
    if (g.rectangle) {
        // The second fill pass is one pixel narrower and lower than the body.
        const double r = BubbleCornerRadius(), right = x1 - 1.0, bottom = y1 - 1.0;
        reach.rectangle = true;
        reach.across = {x0 + m, y0 + m + r, right - m, bottom - m - r};
        reach.down = {x0 + m + r, y0 + m, right - m - r, bottom - m};
        reach.interior = x1 > x0 && y1 > y0;
    } else {
        reach.centreX = (x0 + x1) / 2.0;
        reach.centreY = (y0 + y1) / 2.0;
        reach.radiusX = (x1 - x0) / 2.0 - m;
        reach.radiusY = (y1 - y0) / 2.0 - m;
        reach.interior = reach.radiusX > 0.0 && reach.radiusY > 0.0;
    }
    return reach;
}

BubbleReach MeasureBubbleReach(const Parameters& params, const BubbleFrame& frame, float scale) {
    return MeasureBubbleLayout(params, frame, scale).reach;
}

BubbleLayout MeasureBubbleLayout(const Parameters& params, const BubbleFrame& frame, float scale) {
    BubbleLayout layout;
    const BubbleGeometry geometry = ComputeBubbleGeometry(params, frame, scale);
    const wxString text =
        DecodeUtf8(kParamText < params.parameters.size() ? params.parameters[kParamText].value.text : std::string());
    const auto finish = [&](std::vector<BubbleReach::Box> textBoxes, bool everywhere) {
        layout.reach = ComputeBubbleReach(geometry, std::move(textBoxes));
        layout.reach.everywhere = everywhere;
        const wxColour fill = BubbleFillColour(params);
        layout.reach.fill[0] = fill.Red();
        layout.reach.fill[1] = fill.Green();
        layout.reach.fill[2] = fill.Blue();
        return layout;
    };
    if (text.empty()) return finish({}, false);

    // Lay the text out on a context like a tile's, at the frame's origin.
    BitmapCanvas canvas(1, 1);
    wxGraphicsContext& gc = canvas.Context();
    std::vector<TextLine> lines = LayoutBubbleText(gc, canvas.DeviceContext(), params, TileOrigin{}, frame, scale);
    canvas.ThrowIfDrawingFailed();
    layout.font = MakeBubbleFont(params, scale);
    layout.textColour = BubbleTextColour(params);
    for (TextLine& line : lines)
        if (!line.text.empty()) layout.lines.push_back(std::move(line));
    // The toolkit draws a string only up to a NUL; keep clear of guessing what it shows.
    if (layout.lines.empty()) return finish({}, false);
    if (text.find(wxUniChar(0)) != wxString::npos) return finish({}, true);

#ifdef __WXGTK__
    const PangoInk pango;
    std::vector<BubbleReach::Box> textBoxes;
    for (const TextLine& line : layout.lines) {
        if (!line.pieces.empty()) {
            // Too long to measure whole: its ink lies within a line's height of its advance box.
            textBoxes.push_back(Grow(LineBox(line), std::max(line.height, 1.0) + kSmoothing));
            continue;
        }
        PangoInk::Rectangle ink{}, logical{};
        if (!pango.Measure(gc.GetNativeContext(), layout.font, line.text, ink, logical)) return finish({}, true);
        BubbleReach::Box box = LineBox(line);
        if (ink.width > 0 && ink.height > 0) {
            box.left = std::min(box.left, line.x + ink.x);
            box.top = std::min(box.top, line.y + ink.y);
            box.right = std::max(box.right, line.x + ink.x + ink.width);
            box.bottom = std::max(box.bottom, line.y + ink.y + ink.height);
        }
        box.left = std::min(box.left, line.x + logical.x);
        box.top = std::min(box.top, line.y + logical.y);
        box.right = std::max(box.right, line.x + logical.x + logical.width);
        box.bottom = std::max(box.bottom, line.y + logical.y + logical.height);
        textBoxes.push_back(Grow(box, kSmoothing));
    }
    layout.lineReach = textBoxes;
    layout.lineReachKnown = true;
    return finish(std::move(textBoxes), false);
#else
    return finish({}, true);
#endif
}

const BubbleLayout& CachedBubbleLayout(TileRenderCache& cache, const Parameters& params, const BubbleFrame& frame,
                                       float scale) {
    const auto sameValues = [&] {
        if (cache.values.size() != params.parameters.size()) return false;
        for (std::size_t i = 0; i < cache.values.size(); ++i)
            if (!(cache.values[i] == params.parameters[i].value)) return false;
        return true;
    };
    if (!cache.valid || cache.scale != scale || cache.frame.width != frame.width ||
        cache.frame.height != frame.height || cache.frame.left != frame.left || cache.frame.top != frame.top ||
        !sameValues()) {
        cache.valid = false;
        cache.text.Clear();
        cache.layout = MeasureBubbleLayout(params, frame, scale);
        cache.values.clear();
        for (const auto& parameter : params.parameters) cache.values.push_back(parameter.value);
        cache.frame = frame;
        cache.scale = scale;
        cache.valid = true;
    }
    return cache.layout;
}

bool BubbleMissesTile(TileRenderCache& cache, const Parameters& params, float scale, const VRect& frameRect,
                      const VRect& tile) {
    if (std::int64_t(tile.right) <= tile.left || std::int64_t(tile.bottom) <= tile.top) return true;
    return !CachedBubbleLayout(cache, params, FrameOf(frameRect), scale).reach.Touches(tile);
}

namespace {

// Draws the bubble on a canvas of the part: the shape, then only the text lines that reach it.
// Only the pixels of `areas` (part coordinates) are read back.
void DrawPart(const Parameters& params, float scale, const BubbleFrame& frame, const VRect& part,
              const BubbleLayout& layout, TileRenderCache& kept, const std::vector<TileCanvas::Area>& areas) {
    TextLineDrawer& text = kept.text;
    const std::unique_ptr<TileCanvas> canvas =
        MakeTileCanvas(part.right - part.left, part.bottom - part.top, &kept.canvasMemory);
    const TileOrigin origin{part.left, part.top};
    // Inside the body the shape gives the opaque fill colour and nothing else: painted at once.
    if (layout.reach.InsideBody(part))
        canvas->FillOpaque(part.right - part.left, part.bottom - part.top, layout.reach.fill[0], layout.reach.fill[1],
                           layout.reach.fill[2]);
    else
        DrawBubbleShape(canvas->Context(), params, origin, frame, scale,
                        wxSize(part.right - part.left, part.bottom - part.top));
    for (std::size_t i = 0; i < layout.lines.size(); ++i) {
        // Where the ink of the lines is not known, a line is drawn on the parts within four of
        // its heights of its advance box: text in a box far larger than the frame may run to far
        // more lines than any part shows.
        const BubbleReach::Box reach = layout.lineReachKnown
                                           ? layout.lineReach[i]
                                           : Grow(LineBox(layout.lines[i]), 4.0 * std::max(layout.lines[i].height, 1.0));
        if (!Overlaps(reach, part.left, part.top, part.right, part.bottom)) continue;
        text.Draw(*canvas, i, layout.lines[i], layout.font, layout.textColour, origin.left, origin.top);
    }
    canvas->Finish(kept.drawn, &areas);
}

// One row of the opaque fill colour, at least `width` pixels long: with sameRows it stands for
// every row of a fully covered area.
BubblePixels SolidPixels(TileRenderCache& kept, const BubbleReach& reach, std::int32_t width, std::int32_t height) {
    StraightPixels& solid = kept.solid;
    const std::size_t w = std::size_t(width);
    if (solid.alpha.size() < w || std::memcmp(solid.rgb.data(), reach.fill, 3) != 0) {
        solid.rgb.resize(w * 3);
        for (std::size_t i = 0; i < w; ++i) std::memcpy(&solid.rgb[i * 3], reach.fill, 3);
        solid.alpha.assign(w, 255);
    }
    BubblePixels pixels;
    pixels.rgb = solid.rgb.data();
    pixels.alpha = solid.alpha.data();
    pixels.width = width;
    pixels.height = height;
    pixels.sameRows = true;
    return pixels;
}

// A part's square blocks by what the bubble gives them: nothing (the source stays), the opaque
// fill colour alone, or a drawing that must be read back. The outline proves the first two, so
// most of a large bubble is neither read back from the canvas nor blended pixel by pixel.
constexpr std::int32_t kBlockSide = 32;
enum class BlockKind : unsigned char { Clear, Solid, Drawn };

struct PartBlocks {
    std::int32_t columns = 0, bands = 0;
    std::vector<BlockKind> kinds;  // band by band
    BlockKind At(std::int32_t band, std::int32_t column) const {
        return kinds[std::size_t(band) * std::size_t(columns) + std::size_t(column)];
    }
};

PartBlocks SortBlocks(const BubbleReach& reach, const VRect& part) {
    PartBlocks blocks;
    const std::int32_t width = part.right - part.left, height = part.bottom - part.top;
    blocks.columns = (width + kBlockSide - 1) / kBlockSide;
    blocks.bands = (height + kBlockSide - 1) / kBlockSide;
    blocks.kinds.reserve(std::size_t(blocks.columns) * std::size_t(blocks.bands));
    for (std::int32_t band = 0; band < blocks.bands; ++band)
        for (std::int32_t column = 0; column < blocks.columns; ++column) {
            // In 64 bits: a part may end at the largest coordinate there is.
            const std::int64_t top = std::int64_t(part.top) + std::int64_t(band) * kBlockSide;
            const std::int64_t left = std::int64_t(part.left) + std::int64_t(column) * kBlockSide;
            const VRect block{std::int32_t(top), std::int32_t(left),
                              std::int32_t(std::min<std::int64_t>(top + kBlockSide, part.bottom)),
                              std::int32_t(std::min<std::int64_t>(left + kBlockSide, part.right))};
            blocks.kinds.push_back(!reach.Touches(block) ? BlockKind::Clear
                                   : reach.Fills(block)    ? BlockKind::Solid
                                                           : BlockKind::Drawn);
        }
    return blocks;
}

// Calls run(band, first column, end column, kind) for each run of blocks of one kind.
template <class Run>
void ForEachRun(const PartBlocks& blocks, Run run) {
    for (std::int32_t band = 0; band < blocks.bands; ++band)
        for (std::int32_t column = 0; column < blocks.columns;) {
            const BlockKind kind = blocks.At(band, column);
            std::int32_t end = column + 1;
            while (end < blocks.columns && blocks.At(band, end) == kind) ++end;
            run(band, column, end, kind);
            column = end;
        }
}

}  // namespace

wxImage DrawBubbleImage(const Parameters& params, float scale, const BubbleFrame& frame, const VRect& tile) {
    BitmapCanvas canvas(tile.right - tile.left, tile.bottom - tile.top);
    const TileOrigin origin{tile.left, tile.top};
    DrawBubbleShape(canvas.Context(), params, origin, frame, scale,
                    wxSize(tile.right - tile.left, tile.bottom - tile.top));
    DrawBubbleText(canvas.Context(), canvas.DeviceContext(), params, origin, frame, scale,
                   wxSize(tile.right - tile.left, tile.bottom - tile.top));
    return canvas.FinishImage();
}

void RenderBubbleTile(const Parameters& params, float scale, const VRect& frameRect, const VRect& tile, int channels,
                      int bits, const SourcePixels& source, const DestinationPixels& destination,
                      TileRenderCache* cache) {
    if (!HasCompositor(channels, bits) || !source.data || !destination.data) return;
    if (std::int64_t(tile.right) <= tile.left || std::int64_t(tile.bottom) <= tile.top) return;
    const BubbleFrame frame = FrameOf(frameRect);
    TileRenderCache local;
    TileRenderCache& kept = cache ? *cache : local;
    const BubbleLayout& layout = CachedBubbleLayout(kept, params, frame, scale);
    const BubbleReach& reach = layout.reach;

    for (std::int64_t top = tile.top; top < tile.bottom; top += kMaxPartSide) {
        for (std::int64_t left = tile.left; left < tile.right; left += kMaxPartSide) {
            const VRect part{std::int32_t(top), std::int32_t(left),
                             std::int32_t(std::min<std::int64_t>(top + kMaxPartSide, tile.bottom)),
                             std::int32_t(std::min<std::int64_t>(left + kMaxPartSide, tile.right))};
            const std::ptrdiff_t dy = std::ptrdiff_t(top - tile.top), dx = std::ptrdiff_t(left - tile.left);
            SourcePixels src = source;
            src.data += dy * source.rowBytes + dx * source.columnBytes;
            DestinationPixels dst = destination;
            dst.data += dy * destination.rowBytes + dx * destination.columnBytes;

            BubblePixels pixels;
            pixels.width = part.right - part.left;
            pixels.height = part.bottom - part.top;
            // A part the bubble cannot touch blends as fully transparent: the source itself.
            if (!reach.Touches(part)) {
                CopyUncovered(channels, bits, src, dst, pixels.width, pixels.height);
                continue;
            }
            // A part inside the body, clear of its outline and the text, is the fill colour alone.
            if (reach.Fills(part)) {
                CompositeBubble(channels, bits, src, dst, SolidPixels(kept, reach, pixels.width, pixels.height));
                continue;
            }
            // Otherwise the part is drawn whole, as it always is, and blended block run by block run.
            const PartBlocks blocks = SortBlocks(reach, part);
            std::vector<TileCanvas::Area> areas;
            ForEachRun(blocks, [&](std::int32_t band, std::int32_t first, std::int32_t end, BlockKind kind) {
                if (kind == BlockKind::Drawn)
                    areas.push_back({first * kBlockSide, band * kBlockSide, std::min(end * kBlockSide, pixels.width),
                                     std::min((band + 1) * kBlockSide, pixels.height)});
            });
            if (!areas.empty()) DrawPart(params, scale, frame, part, layout, kept, areas);
            ForEachRun(blocks, [&](std::int32_t band, std::int32_t first, std::int32_t end, BlockKind kind) {
                const std::int32_t x = first * kBlockSide, y = band * kBlockSide;
                const std::int32_t w = std::min(end * kBlockSide, pixels.width) - x;
                const std::int32_t h = std::min(kBlockSide, pixels.height - y);
                SourcePixels s = src;
                s.data += std::ptrdiff_t(y) * src.rowBytes + std::ptrdiff_t(x) * src.columnBytes;
                DestinationPixels d = dst;
                d.data += std::ptrdiff_t(y) * dst.rowBytes + std::ptrdiff_t(x) * dst.columnBytes;
                if (kind == BlockKind::Clear) {
                    CopyUncovered(channels, bits, s, d, w, h);
                    return;
                }
                if (kind == BlockKind::Solid) {
                    CompositeBubble(channels, bits, s, d, SolidPixels(kept, reach, w, h));
                    return;
                }
                BubblePixels drawn;
                const std::size_t at = std::size_t(y) * std::size_t(pixels.width) + std::size_t(x);
                drawn.rgb = kept.drawn.rgb.data() + at * 3;
                drawn.alpha = kept.drawn.alpha.data() + at;
                drawn.width = w;
                drawn.height = h;
                drawn.stride = pixels.width;
                CompositeBubble(channels, bits, s, d, drawn);
            });
        }
    }
}

bool TelloraPluginPS::LeavesTileUnchanged(Parameters* list, const VRect& tile, const VRect& filterRect) {
    RequireToolkit();
    if (!list) return false;
    if (!renderCache) renderCache = std::make_shared<TileRenderCache>();
    return BubbleMissesTile(*renderCache, *list, scale, filterRect, tile);
}

void TelloraPluginPS::RenderTile(Parameters* list, ImageBuffer& source, ImageBuffer& destination, ImageBuffer&,
                                 ImageBuffer*) {
    RequireToolkit();
    if (!list) return;
    const VRect tile = destination.GetRect();
    if (Corvantis::Host::PS::RectEmpty(tile) || !destination.HasData() || !source.HasData()) return;
    // The compositors read the source at the destination's depth and planes, inside the tile.
    if (!Corvantis::Host::PS::RectContains(source.GetRect(), tile) || source.bits != destination.bits ||
        source.channels < destination.channels)
        return;
    const SourcePixels src{source.SampleAt(tile.left, tile.top, 0), source.RowBytes(), source.ColumnBytes(),
                           source.PlaneBytes()};
    const DestinationPixels dst{destination.GetData(), destination.RowBytes(), destination.ColumnBytes(),
                                destination.PlaneBytes()};
    if (!renderCache) renderCache = std::make_shared<TileRenderCache>();
    RenderBubbleTile(*list, scale, destination.imageRect, tile, destination.channels, destination.bits, src, dst,
                     renderCache.get());
}
