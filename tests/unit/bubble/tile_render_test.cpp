// Drawing and rendering with the toolkit: what is drawn, that a tile the bubble cannot reach is
// really clear of it, and that a document rendered tile by tile through the plug-in matches one
// rendered in one piece.
#include "bubble_test_support.h"
#include "filter/tellora_plugin.h"
#include "filter/tile_render.h"
#include "host/image_buffer.h"
#include "win32/text_rendering_hint.h"

#include <cairo.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/image.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <set>

namespace {

using Corvantis::Host::PS::ImageBuffer;
using Render = ToolkitTest;

BubbleFrame FrameOf(const VRect& r) {
    return BubbleFrame{std::uint64_t(r.right - r.left), std::uint64_t(r.bottom - r.top), r.left, r.top};
}

// A rounded rectangle with thick lines, a pointer leaving far to the bottom right, and wrapped
// bold italic underlined text with a word wider than the box and lines that do not fit.
Parameters BusyBubble() {
    Parameters p = DefaultBubble();
    SetInt(p, kParamShape, 1);
    for (auto [index, value] : {std::pair{kParamEllipseWidth, 150.0}, {kParamEllipseHeight, 90.0},
                                {kParamXPosition, 12.0}, {kParamYPosition, 20.0}, {kParamXIndicatorPosition, 92.0},
                                {kParamYIndicatorPosition, 88.0}, {kParamEdgeThickness, 5.0},
                                {kParamIndicatorThickness, 3.0}, {kParamFontSize, 14.0}})
        Set(p, index, value);
    SetText(p, kParamText, "Hello there, a Supercalifragilisticexpialidocious word\nand many more lines below");
    SetInt(p, kParamFontStyle, 1);
    SetInt(p, kParamFontWeight, 2);
    p.parameters[kParamFontUnderline].value.SetBoolean(true);
    p.parameters[kParamFillColor].value.SetColor(1.0, 0.9, 0.2);
    p.parameters[kParamEdgeColor].value.SetColor(0.1, 0.2, 0.8);
    return p;
}

TEST_F(Render, DrawnPixelsOfTheDefaultBubbleInStraightColour) {
    Parameters p = DefaultBubble();
    const wxImage image = DrawBubbleImage(p, 1.0f, BubbleFrame{1000, 500, 0, 0}, DocRect(0, 0, 200, 250));
    const auto rgba = [](const wxImage& i, int x, int y) {
        return std::vector<int>{i.GetRed(x, y), i.GetGreen(x, y), i.GetBlue(x, y), i.GetAlpha(x, y)};
    };
    const std::vector<int> white{255, 255, 255, 255};
    EXPECT_EQ(rgba(image, 60, 100), white);                          // body
    EXPECT_EQ(rgba(image, 20, 85), white);                           // pointer, outside the body
    EXPECT_EQ(rgba(image, 60, 74), (std::vector<int>{0, 0, 0, 255}));  // edge: 2 pixels outside y = 75
    EXPECT_EQ(rgba(image, 60, 76), white);                           // its inner half filled over
    EXPECT_EQ(rgba(image, 60, 71)[3], 0);
    int dark = 0;
    for (int y = 90; y < 160; ++y)  // the text box
        for (int x = 25; x < 95; ++x) dark += image.GetRed(x, y) < 100 && image.GetAlpha(x, y) == 255;
    EXPECT_GT(dark, 20);

    // Without lines or text the body's smoothed outline is partly covered white: straight colour
    // keeps it 255 where premultiplied colour would darken it by the coverage.
    Set(p, kParamEdgeThickness, 0);
    Set(p, kParamIndicatorThickness, 0);
    SetText(p, kParamText, "");
    const wxImage fill = DrawBubbleImage(p, 1.0f, BubbleFrame{1000, 500, 0, 0}, DocRect(0, 0, 200, 250));
    int partly = 0;
    for (int y = 0; y < 250; ++y)
        for (int x = 0; x < 200; ++x)
            if (fill.GetAlpha(x, y) > 0 && fill.GetAlpha(x, y) < 255) {
                ++partly;
                EXPECT_EQ(rgba(fill, x, y), (std::vector<int>{255, 255, 255, fill.GetAlpha(x, y)})) << x << "," << y;
            }
    EXPECT_GT(partly, 20);
}

TEST_F(Render, ReachHoldsEverythingDrawn) {
    Parameters hairlines = BusyBubble();  // sub-pixel lines and a negative width from a preset file
    Set(hairlines, kParamEdgeThickness, 0.3);
    Set(hairlines, kParamIndicatorThickness, 0.2);
    Set(hairlines, kParamEllipseWidth, -80);
    // A narrow body with a large italic word overflowing it: the first j's hook reaches left of
    // the word's advance box, outside the body.
    Parameters overhang = DefaultBubble();
    for (auto [index, value] : {std::pair{kParamEllipseWidth, 40.0}, {kParamEllipseHeight, 300.0},
                                {kParamXPosition, 40.0}, {kParamYPosition, 0.0}, {kParamXIndicatorPosition, 43.0},
                                {kParamYIndicatorPosition, 90.0}, {kParamFontSize, 100.0}})
        Set(overhang, index, value);
    SetText(overhang, kParamText, "jfj");
    SetText(overhang, kParamFontFacename, "Liberation Serif");
    SetInt(overhang, kParamFontStyle, 1);
    const std::pair<Parameters, float> cases[] = {
        {DefaultBubble(), 1.0f}, {BusyBubble(), 1.0f}, {BusyBubble(), 0.5f}, {hairlines, 1.0f}, {overhang, 1.0f}};
    const VRect frame = DocRect(0, 0, 600, 400);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        const auto& [params, scale] = cases[i];
        const BubbleReach reach = MeasureBubbleReach(params, FrameOf(frame), scale);
        EXPECT_FALSE(reach.Touches(DocRect(560, 0, 600, 30)));  // a far corner is clear
        const wxImage image = DrawBubbleImage(params, scale, FrameOf(frame), frame);
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 600; ++x)
                if (image.GetAlpha(x, y)) {
                    ASSERT_TRUE(reach.Touches(DocRect(x, y, x + 1, y + 1))) << x << ", " << y;
                }
    }
}

TEST_F(Render, FarBeyondTheAcceptedRangesTheBubbleKeepsItsShape) {
    // Default bubble on a 1000 x 500 frame (body at 10, 75), the canvas its top-left 700 x 300:
    // a pixel that must stay clear and one that must be covered.
    struct Case {
        const char* what;
        std::size_t index;
        double value;
        int shape;
        int clearX, clearY, coveredX, coveredY;
        double x = 1, y = 15;  // body position, percent
    } const cases[] = {
        // Two billion pixels wide: the canvas lies outside the ellipse, by its bounding box's
        // corner; the pointer, thin along the diagonal to the tip, reaches it. Then its top edge
        // through the canvas at y = 50.
        {"huge ellipse", kParamEllipseWidth, 1e300, 0, 180, 150, 60, 125},
        {"huge ellipse crossing", kParamEllipseWidth, 1e300, 0, 100, 40, 100, 60, -107374172.3, 10},
        {"huge rectangle", kParamEllipseWidth, 1e300, 1, 5, 150, 150, 150},
        {"huge negative rectangle", kParamEllipseWidth, -1e300, 1, 100, 200, 5, 50},  // spans up and left
        // A pen drawn 1024 wide, wider than the body: its stroke a ring 462 to 562 pixels from
        // the centre (60, 125), as any pen wider than the body's is.
        {"huge edge", kParamEdgeThickness, 1e9, 0, 150, 125, 560, 125},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Parameters p = DefaultBubble();
        SetInt(p, kParamShape, c.shape);
        Set(p, c.index, c.value);
        if (c.index == kParamEllipseWidth) Set(p, kParamEllipseHeight, c.value);
        Set(p, kParamXPosition, c.x);
        Set(p, kParamYPosition, c.y);
        const wxImage image = DrawBubbleImage(p, 1.0f, BubbleFrame{1000, 500, 0, 0}, DocRect(0, 0, 700, 300));
        EXPECT_EQ(image.GetAlpha(c.clearX, c.clearY), 0);
        EXPECT_EQ(image.GetAlpha(c.coveredX, c.coveredY), 255);
    }
}

TEST_F(Render, TilesClaimedAsInteriorAreDrawnAsTheOpaqueFillAlone) {
    // Big bodies, so that many tiles lie inside: an ellipse with a thick edge and text, the busy
    // rounded rectangle scaled up, and a body whose pointer tip lies inside it.
    Parameters ellipse = DefaultBubble();
    for (auto [index, value] : {std::pair{kParamEllipseWidth, 420.0}, {kParamEllipseHeight, 300.0},
                                {kParamXPosition, 10.0}, {kParamYPosition, 8.0}, {kParamEdgeThickness, 7.0},
                                {kParamFontSize, 30.0}})
        Set(ellipse, index, value);
    SetText(ellipse, kParamText, "Some words\nin the middle");
    ellipse.parameters[kParamFillColor].value.SetColor(0.3, 0.6, 0.9);
    Parameters rectangle = BusyBubble();
    Set(rectangle, kParamEllipseWidth, 500.0);
    Set(rectangle, kParamEllipseHeight, 330.0);
    Set(rectangle, kParamXPosition, 2.0);
    Set(rectangle, kParamYPosition, 4.0);
    Parameters tipInside = ellipse;
    Set(tipInside, kParamXIndicatorPosition, 40.0);
    Set(tipInside, kParamYIndicatorPosition, 40.0);
    Set(tipInside, kParamIndicatorThickness, 9.0);
    const std::pair<Parameters, float> cases[] = {
        {ellipse, 1.0f}, {ellipse, 0.7f}, {rectangle, 1.0f}, {tipInside, 1.0f}};
    const VRect frame = DocRect(0, 0, 600, 400);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        const auto& [params, scale] = cases[i];
        const BubbleReach reach = MeasureBubbleReach(params, FrameOf(frame), scale);
        const wxColour fill = BubbleFillColour(params);
        int interior = 0;
        for (int top = 0; top < 400; top += 16)
            for (int left = 0; left < 600; left += 16) {
                const VRect tile = DocRect(left, top, left + 16, top + 16);
                if (!reach.Fills(tile)) continue;
                ++interior;
                ASSERT_TRUE(reach.Touches(tile));
                const wxImage image = DrawBubbleImage(params, scale, FrameOf(frame), tile);
                for (int y = 0; y < 16; ++y)
                    for (int x = 0; x < 16; ++x)
                        ASSERT_TRUE(image.GetAlpha(x, y) == 255 && image.GetRed(x, y) == fill.Red() &&
                                    image.GetGreen(x, y) == fill.Green() && image.GetBlue(x, y) == fill.Blue())
                            << "tile at " << left << ", " << top << ": pixel " << x << ", " << y;
            }
        EXPECT_GT(interior, 20) << "the interior spares drawing for large bodies";
    }
}

TEST(BubbleReach, ALongThinPointerDoesNotClaimItsWholeBoundingBox) {
    BubbleGeometry g;
    g.bodyWidth = g.bodyHeight = 100;
    g.triangle[0] = {50, 40};
    g.triangle[1] = {5000, 5000};
    g.triangle[2] = {50, 60};
    g.pointerVisible = true;
    g.pointerPenWidth = 4;
    const BubbleReach reach = ComputeBubbleReach(g, {BubbleReach::Box{-300, 10, -200, 30}});
    // On the pointer, at its round tip, on the body and on a line of text; then clear of them.
    for (const VRect& r : {DocRect(2500, 2500, 2564, 2564), DocRect(5002, 5002, 5010, 5010), DocRect(90, 90, 110, 110),
                           DocRect(-250, 0, -240, 12)})
        EXPECT_TRUE(reach.Touches(r)) << r.left << "," << r.top;
    for (const VRect& r : {DocRect(5010, 5010, 5020, 5020), DocRect(4000, 1000, 4064, 1064), DocRect(1000, 4000, 1064, 4064),
                           DocRect(-250, 40, -240, 50)})
        EXPECT_FALSE(reach.Touches(r)) << r.left << "," << r.top;
}

// A document of one depth and plane count, with a pattern in every sample, rendered through the
// plug-in in square tiles; the source buffer is the whole document, as in the preview.
struct Document {
    Document(int channels, int bits)
        : channels(channels), bits(bits), source(std::size_t(W * H * channels * bits / 8)),
          destination(source.size(), 0xCD) {
        for (std::size_t i = 0; i < source.size() / std::size_t(bits / 8); ++i) {
            const int v = int((i * 7919) % 251);
            const std::uint16_t s16 = std::uint16_t(v * 130);
            const float f = float(v) / 251.0f;
            if (bits == 8) source[i] = std::uint8_t(v);
            if (bits == 16) std::memcpy(&source[i * 2], &s16, 2);
            if (bits == 32) std::memcpy(&source[i * 4], &f, 4);
        }
    }
    // Sample i on the 8-bit scale.
    double Level(const std::vector<std::uint8_t>& buffer, std::size_t i) const {
        std::uint16_t s16;
        float f;
        if (bits == 8) return buffer[i];
        if (bits == 16) return std::memcpy(&s16, &buffer[i * 2], 2), s16 * 255.0 / 32768.0;
        return std::memcpy(&f, &buffer[i * 4], 4), f * 255.0;
    }
    void Lay(ImageBuffer& b, const VRect& rect, std::uint8_t* data) const {
        b.map.bounds = rect;
        b.map.rowBytes = W * channels * bits / 8;
        b.map.colBytes = channels * bits / 8;
        b.map.planeBytes = bits / 8;
        b.map.baseAddr = data + rect.top * b.map.rowBytes + rect.left * b.map.colBytes;
        b.imageRect = DocRect(0, 0, W, H);
        b.bits = bits;
        b.channels = channels;
    }
    void Render(Parameters& params, int tileSize) {
        TelloraPluginPS plugin;
        ImageBuffer src;
        Lay(src, DocRect(0, 0, W, H), source.data());
        for (int top = 0; top < H; top += tileSize)
            for (int left = 0; left < W; left += tileSize) {
                ImageBuffer dst;
                const VRect tile = DocRect(left, top, std::min(left + tileSize, W), std::min(top + tileSize, H));
                Lay(dst, tile, destination.data());
                plugin.RenderTile(&params, src, dst, dst, nullptr);
            }
    }
    static constexpr int W = 320, H = 256;
    int channels, bits;
    std::vector<std::uint8_t> source, destination;
};

TEST_F(Render, TiledRenderingMatchesOnePieceInEveryDepth) {
    // cairo's rasteriser chooses per pixel row between exact area coverage and sampling 15
    // sub-rows, depending on every edge of the path in that row of the surface. A tile clips
    // away the bubble's parts in other tiles, so a few smoothed edge pixels may differ by up to
    // a fifteenth of full coverage (17 of 255); nothing else differs.
    for (Parameters bubble : {DefaultBubble(), BusyBubble()})
        for (int channels = 1; channels <= 4; ++channels)
            for (int bits : {8, 16, 32}) {
                SCOPED_TRACE(testing::Message() << channels << " planes, " << bits << " bits");
                Document whole(channels, bits), tiled(channels, bits);
                whole.Render(bubble, 512);
                tiled.Render(bubble, 64);
                int changed = 0, differing = 0;
                double worst = 0.0;
                for (std::size_t i = 0; i < whole.source.size() / std::size_t(bits / 8); ++i) {
                    const double a = whole.Level(whole.destination, i), t = tiled.Level(tiled.destination, i);
                    changed += std::fabs(a - whole.Level(whole.source, i)) > 1.0;
                    differing += a != t;
                    worst = std::max(worst, std::fabs(a - t));
                    // Neither bubble reaches x >= 200, y < 60: the source, exactly at 8 and 16 bits.
                    const int row = Document::W * channels;
                    if (bits < 32 && int(i) % row >= 200 * channels && int(i) / row < 60) {
                        ASSERT_EQ(t, tiled.Level(tiled.source, i)) << "sample " << i;
                    }
                }
                EXPECT_GT(changed, 3000);
                EXPECT_LE(worst, 18.0);
                EXPECT_LE(differing, changed / 100) << "of " << changed << " changed samples";
            }
}

// The plain way of rendering a tile: the whole bubble with its whole text laid out again on the
// toolkit's bitmap, then blended.
void RenderPlainly(const Parameters& params, float scale, const VRect& frame, const VRect& tile, int channels,
                   int bits, const SourcePixels& source, const DestinationPixels& destination) {
    const wxImage image = DrawBubbleImage(params, scale, FrameOf(frame), tile);
    BubblePixels pixels{image.GetData(), image.GetAlpha(), tile.right - tile.left, tile.bottom - tile.top};
    CompositeBubble(channels, bits, source, destination, pixels);
}

TEST_F(Render, FastTilesMatchThePlainDrawingExactly) {
    // The renderer lays the text out once, draws in each tile only the lines that reach it, on a
    // cairo surface read back without the toolkit's bitmap, and skips tiles and blocks of tiles
    // it proves clear or solid. None of that may change a sample. Small tiles hold a block or
    // two; large ones hold clear, solid and drawn blocks side by side.
    Parameters coloured = BusyBubble();
    coloured.parameters[kParamTextColor].value.SetColor(0.8, 0.1, 0.55);
    coloured.parameters[kParamEdgeColor].value.SetColor(0.4, 0.95, 0.3);
    Parameters many = DefaultBubble();
    for (auto [index, value] : {std::pair{kParamEllipseWidth, 300.0}, {kParamEllipseHeight, 230.0},
                                {kParamXPosition, 5.0}, {kParamYPosition, 3.0}, {kParamFontSize, 9.0}})
        Set(many, index, value);
    std::string words;
    for (int i = 0; i < 60; ++i) words += (i % 9 == 8 ? "\n" : "") + std::string(i % 4 ? "word " : "longerword  ");
    SetText(many, kParamText, words);
    many.parameters[kParamTextColor].value.SetColor(0.2, 0.3, 1.0);
    Parameters rectangle = many;
    SetInt(rectangle, kParamShape, 1);
    SetInt(rectangle, kParamFontStyle, 1);
    Parameters overhang = DefaultBubble();
    for (auto [index, value] : {std::pair{kParamEllipseWidth, 40.0}, {kParamEllipseHeight, 200.0},
                                {kParamXPosition, 40.0}, {kParamYPosition, 0.0}, {kParamFontSize, 60.0}})
        Set(overhang, index, value);
    SetText(overhang, kParamText, "jfj Wj");
    SetInt(overhang, kParamFontStyle, 1);
    // A word too wide to hand over whole, drawn as its pieces; and a body billions of pixels
    // wide, drawn as its part near the canvas.
    Parameters longWord = overhang;
    Set(longWord, kParamYPosition, 20.0);
    SetText(longWord, kParamText, "ab " + std::string(600, 'w') + " cd");
    Parameters huge = many;
    Set(huge, kParamEllipseWidth, 1e300);
    const std::pair<Parameters, float> cases[] = {{DefaultBubble(), 1.0f}, {coloured, 1.0f},  {coloured, 0.5f},
                                                  {many, 1.0f},           {rectangle, 1.0f}, {overhang, 1.0f},
                                                  {longWord, 1.0f},       {huge, 1.0f}};
    const VRect frame = DocRect(0, 0, Document::W, Document::H);
    int textInside = 0;  // tiles inside the body with text on them: painted, then the text drawn
    for (std::size_t i = 0; i < std::size(cases); ++i)
        for (auto [channels, bits] : {std::pair{4, 8}, {3, 16}, {2, 32}})
        for (auto [tileWidth, tileHeight] : {std::pair{37, 45}, {160, 100}}) {
            SCOPED_TRACE(testing::Message() << "case " << i << ", " << channels << " planes, " << bits << " bits, tiles "
                                            << tileWidth << " x " << tileHeight);
            const auto& [params, scale] = cases[i];
            Document fast(channels, bits), plain(channels, bits);
            const std::ptrdiff_t pixel = channels * bits / 8, row = Document::W * pixel;
            TileRenderCache cache;
            for (int top = 0; top < Document::H; top += tileHeight)
                for (int left = 0; left < Document::W; left += tileWidth) {
                    const VRect tile = DocRect(left, top, std::min(left + tileWidth, Document::W),
                                               std::min(top + tileHeight, Document::H));
                    const std::ptrdiff_t at = top * row + left * pixel;
                    const BubbleReach& reach = CachedBubbleLayout(cache, params, FrameOf(frame), scale).reach;
                    textInside += reach.InsideBody(tile) && !reach.Fills(tile);
                    RenderBubbleTile(params, scale, frame, tile, channels, bits,
                                     {fast.source.data() + at, row, pixel, bits / 8},
                                     {fast.destination.data() + at, row, pixel, bits / 8}, &cache);
                    RenderPlainly(params, scale, frame, tile, channels, bits,
                                  {plain.source.data() + at, row, pixel, bits / 8},
                                  {plain.destination.data() + at, row, pixel, bits / 8});
                }
            std::size_t differing = 0, first = 0;
            for (std::size_t b = 0; b < fast.destination.size(); ++b)
                if (fast.destination[b] != plain.destination[b] && !differing++) first = b;
            EXPECT_EQ(differing, 0u) << "first at byte " << first << " (pixel " << first / pixel % Document::W << ", "
                                     << first / row << ")";
            EXPECT_NE(fast.destination, fast.source);
        }
    EXPECT_GT(textInside, 10);
}

TEST_F(Render, UncoveredSamplesKeepTheirBitsInEveryDepth) {
    // Coverage 0 leaves the source's bits alone, also for floats, where blending with nothing
    // would round; and also for float values a blend cannot give back.
    for (int bits : {8, 16, 32})
        for (int channels = 1; channels <= 4; ++channels) {
            Document doc(channels, bits);
            if (bits == 32)
                for (std::size_t i = 0; i < doc.source.size(); i += 4) {
                    const float odd = float(i % 977) / 977.0f * 0.999f + 1e-7f;
                    std::memcpy(&doc.source[i], &odd, 4);
                }
            Parameters p = DefaultBubble();
            doc.Render(p, 64);
            const std::size_t pixel = std::size_t(channels * bits / 8);
            const wxImage drawn = DrawBubbleImage(p, 1.0f, FrameOf(DocRect(0, 0, Document::W, Document::H)),
                                                  DocRect(0, 0, Document::W, Document::H));
            int uncovered = 0;
            for (int y = 0; y < Document::H; ++y)
                for (int x = 0; x < Document::W; ++x) {
                    if (drawn.GetAlpha(x, y)) continue;
                    ++uncovered;
                    const std::size_t at = (std::size_t(y) * Document::W + std::size_t(x)) * pixel;
                    ASSERT_EQ(std::memcmp(&doc.source[at], &doc.destination[at], pixel), 0)
                        << bits << " bits, " << channels << " planes, pixel " << x << ", " << y;
                }
            EXPECT_GT(uncovered, Document::W * Document::H / 2);
        }
}

TEST_F(Render, StartingTheToolkitLeavesTheHostsGlSettingAsItWas) {
    // The plug-in switches GTK's OpenGL probe off only while it starts the toolkit.
    unsetenv("GDK_GL");
    { TelloraPluginPS plugin; }
    EXPECT_EQ(std::getenv("GDK_GL"), nullptr);
    setenv("GDK_GL", "always", 1);
    { TelloraPluginPS plugin; }
    EXPECT_STREQ(std::getenv("GDK_GL"), "always");
    unsetenv("GDK_GL");
}

TEST_F(Render, PluginRendersAtItsScaleAndLeavesMismatchedBuffersAlone) {
    TelloraPluginPS plugin;
    plugin.scale = 0.5f;  // a preview at half size: the frame is 500 x 250
    Parameters params = DefaultBubble();
    Document doc(1, 8);
    ImageBuffer src, dst;
    doc.Lay(src, DocRect(0, 0, 320, 256), doc.source.data());
    doc.Lay(dst, DocRect(0, 0, 320, 256), doc.destination.data());
    src.imageRect = dst.imageRect = DocRect(0, 0, 500, 250);
    plugin.RenderTile(&params, src, dst, dst, nullptr);
    // Body 50 x 50 at (5, 37): its middle row is white from x = 8 to 52, and not at 70.
    EXPECT_EQ(doc.destination[62 * 320 + 8], 255);
    EXPECT_EQ(doc.destination[62 * 320 + 52], 255);
    EXPECT_EQ(doc.destination[62 * 320 + 70], doc.source[62 * 320 + 70]);

    // A source that does not hold the destination, or of another depth; a 1-bit destination.
    const std::vector<std::uint8_t> before(doc.destination.size(), 0xCD);
    doc.destination = before;
    doc.Lay(src, DocRect(10, 0, 320, 256), doc.source.data());
    plugin.RenderTile(&params, src, dst, dst, nullptr);
    doc.Lay(src, DocRect(0, 0, 320, 256), doc.source.data());
    src.bits = 16;
    plugin.RenderTile(&params, src, dst, dst, nullptr);
    src.bits = dst.bits = 1;
    plugin.RenderTile(&params, src, dst, dst, nullptr);
    EXPECT_EQ(doc.destination, before);
}

TEST_F(Render, ATileWiderThanAnyBitmapIsDrawnInParts) {
    // Wider than a cairo image may be: drawn in parts, the bubble still appears at the far end.
    constexpr int kWidth = 40000, kHeight = 120;
    Parameters p = DefaultBubble();
    Set(p, kParamXPosition, 97.5);  // body from x = 39000
    Set(p, kParamYPosition, 5);
    std::vector<std::uint8_t> source(std::size_t(kWidth) * kHeight, 0), destination(source.size(), 7);
    const VRect frame = DocRect(0, 0, kWidth, kHeight);
    RenderBubbleTile(p, 1.0f, frame, frame, 1, 8, {source.data(), kWidth, 1, 1}, {destination.data(), kWidth, 1, 1});
    EXPECT_EQ(destination[std::size_t(20) * kWidth + 39050], 255);  // white body above the text
    EXPECT_EQ(destination[std::size_t(20) * kWidth + 20000], 0);    // the source elsewhere
}

TEST_F(Render, ATileAtTheLargestCoordinatesIsSortedIntoBlocksWithoutOverflow) {
    // A text the outline cannot bound makes every block one to draw; the blocks of a tile that
    // ends at the largest coordinate must not reach past it.
    constexpr int kMax = std::numeric_limits<std::int32_t>::max(), kSide = 40;
    Parameters p = DefaultBubble();
    SetText(p, kParamText, std::string("a\0b", 3));
    std::vector<std::uint8_t> source(kSide * kSide * 3, 90), destination(source.size(), 7);
    const VRect frame = DocRect(0, 0, kMax, kMax);
    const VRect tile = DocRect(kMax - kSide, kMax - kSide, kMax, kMax);
    RenderBubbleTile(p, 1.0f, frame, tile, 3, 8, {source.data(), kSide * 3, 3, 1}, {destination.data(), kSide * 3, 3, 1});
    EXPECT_EQ(destination, source);  // the bubble lies far from this corner
}

TEST_F(Render, BubbleFontFollowsTheParameters) {
    Parameters p = DefaultBubble();
    EXPECT_EQ(MakeBubbleFont(p, 0.5f).GetPointSize(), 6);
    EXPECT_EQ(MakeBubbleFont(p, 1.0f).GetFaceName(), "Arial");
    // Light, normal and bold are the toolkit's numeric weights 300, 400 and 700.
    for (auto [value, numeric] : {std::pair{1, 300}, {2, 700}, {0, 400}, {3, 400}}) {
        SetInt(p, kParamFontWeight, value);
        EXPECT_EQ(MakeBubbleFont(p, 1.0f).GetNumericWeight(), numeric) << "weight " << value;
    }
    SetInt(p, kParamFontStyle, 1);
    p.parameters[kParamFontUnderline].value.SetBoolean(true);
    SetInt(p, kParamFontFamily, 7);  // "unknown" family, without a toolkit assertion
    Set(p, kParamFontSize, -12);
    const wxFont font = MakeBubbleFont(p, 1.0f);
    EXPECT_EQ(font.GetStyle(), wxFONTSTYLE_ITALIC);
    EXPECT_TRUE(font.GetUnderlined());
    EXPECT_EQ(font.GetPointSize(), 1);
}

// Alpha levels of text drawn with a rendering hint set on the graphics context's native context.
std::set<int> TextAlphaLevels(TextRenderingHint hint) {
    wxImage image(120, 40, true);
    image.SetAlpha();
    std::memset(image.GetAlpha(), 0, 120 * 40);
    wxBitmap bitmap(image, 32);
    {
        wxMemoryDC dc(bitmap);
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsRenderer::GetDefaultRenderer()->CreateContext(dc));
        EXPECT_EQ(SetTextRenderingHint(gc->GetNativeContext(), hint), 0);
        gc->SetFont(wxFont(16, wxFONTFAMILY_SWISS, wxFONTSTYLE_ITALIC, wxFONTWEIGHT_NORMAL), *wxBLACK);
        gc->DrawText("Quivering", 2, 2);
    }
    const wxImage drawn = bitmap.ConvertToImage();
    return std::set<int>(drawn.GetAlpha(), drawn.GetAlpha() + 120 * 40);
}

TEST_F(Render, TextRenderingHintReachesTheNativeContext) {
    EXPECT_GT(TextAlphaLevels(TextRenderingHintClearTypeGridFit).size(), 10u);  // smoothed
    EXPECT_EQ(TextAlphaLevels(TextRenderingHintSingleBitPerPixelGridFit), (std::set<int>{0, 255}));
    EXPECT_NE(SetTextRenderingHint(nullptr, TextRenderingHintClearTypeGridFit), 0);
}

TEST_F(Render, ACallTheToolkitFailedSilentlyMakesFinishingTheCanvasAnError) {
    // The toolkit ignores the state its native context is left in: a failed call draws nothing.
    for (const bool bitmap : {true, false}) {
        const std::unique_ptr<TileCanvas> canvas = bitmap ? std::make_unique<BitmapCanvas>(16, 16) : MakeTileCanvas(16, 16);
        cairo_scale(static_cast<cairo_t*>(canvas->Context().GetNativeContext()), 0.0, 0.0);  // in error from here on
        StraightPixels pixels;
        EXPECT_THROW(canvas->Finish(pixels), std::runtime_error) << (bitmap ? "bitmap canvas" : "fastest canvas");
    }
}

}  // namespace
