// Rendering of one tile: the bubble drawn on a transparent bitmap of the tile and blended over
// the source pixels into the destination. Works on raw rows; TelloraPluginPS::RenderTile hands
// it the image buffers' memory.
#pragma once

#include "filter/bubble_drawing.h"
#include "filter/compositing.h"
#include "filter/tile_canvas.h"
#include "param/parameter.h"
#include "pluginapi/pi_types.h"

#include <wx/colour.h>
#include <wx/font.h>

#include <vector>

// A conservative outline of everything a bubble can colour, in frame coordinates: a tile that
// it does not touch gets no pixel of the bubble, so it needs no drawing.
struct BubbleReach {
    struct Box {
        double left, top, right, bottom;
    };
    Box body{};                      // body with its edge line
    double triangle[3][2] = {};      // the pointer's corners (x, y)
    double pointerReach = 0.0;       // how far the pointer's outline and smoothing reach out
    std::vector<Box> text;           // ink and logical box of each line
    bool everywhere = false;         // no usable outline: every tile is drawn

    // Inside the body, away from its outline and the text, the fill colour covers every pixel
    // opaquely: an ellipse (centre and radii) or a rounded rectangle (two crossing boxes).
    bool interior = false;
    bool rectangle = false;
    double centreX = 0.0, centreY = 0.0, radiusX = 0.0, radiusY = 0.0;
    Box across{}, down{};
    unsigned char fill[3] = {0, 0, 0};

    // Whether the bubble may colour a pixel of tile (right and bottom excluded).
    bool Touches(const VRect& tile) const;
    // Whether every pixel of tile is the opaque fill colour and nothing else.
    bool Fills(const VRect& tile) const;
    // Whether the body's shape gives every pixel of tile the opaque fill colour (text aside).
    bool InsideBody(const VRect& tile) const;
};

// The outline from the geometry and the lines' boxes (already measured and grown).
BubbleReach ComputeBubbleReach(const BubbleGeometry& geometry, std::vector<BubbleReach::Box> textBoxes);

// Measures the text on a context like a tile's and returns the whole outline. Needs the toolkit.
BubbleReach MeasureBubbleReach(const Corvantis::Host::Param::Parameters& params, const BubbleFrame& frame,
                               float scale);

// Everything a call draws the same in every tile: the outline, and the text laid out once, in
// frame coordinates, with the box each line's ink reaches.
struct BubbleLayout {
    BubbleReach reach;
    std::vector<TextLine> lines;            // the lines that show something
    std::vector<BubbleReach::Box> lineReach;  // per line; when the boxes are unknown every line is drawn
    bool lineReachKnown = false;
    wxFont font;
    wxColour textColour;
};

// The outline and the text's lines for params, frame and scale. Needs the toolkit.
BubbleLayout MeasureBubbleLayout(const Corvantis::Host::Param::Parameters& params, const BubbleFrame& frame,
                                 float scale);

// The layout for one set of values, frame and scale, kept across the tiles of a call so that
// the text is laid out once rather than once per tile; and the drawn pixels' memory.
struct TileRenderCache {
    std::vector<Corvantis::Host::Param::ParameterValue> values;
    BubbleFrame frame;
    float scale = 0.0f;
    BubbleLayout layout;
    bool valid = false;
    StraightPixels drawn;
    StraightPixels solid;  // one row of the opaque fill colour
    std::vector<unsigned char> canvasMemory;  // the drawing surface, reused tile after tile
    TextLineDrawer text;  // the layout's lines, as drawn
};

// The layout for params, frame and scale: from the cache when it holds the same ones, else
// measured and kept there.
const BubbleLayout& CachedBubbleLayout(TileRenderCache& cache, const Corvantis::Host::Param::Parameters& params,
                                       const BubbleFrame& frame, float scale);

// Draws the bubble for the tile `tile` of the frame `frameRect` (both in the buffers' pixel
// space) and blends it with the compositor for channels and bits. source and destination point
// at the tile's top-left pixel. An unsupported channel count or depth writes nothing. Needs the
// toolkit. Large tiles are drawn in parts, so memory stays bounded whatever the tile size.
void RenderBubbleTile(const Corvantis::Host::Param::Parameters& params, float scale, const VRect& frameRect,
                      const VRect& tile, int channels, int bits, const SourcePixels& source,
                      const DestinationPixels& destination, TileRenderCache* cache = nullptr);

// Whether the bubble can colour no pixel of tile (both in the frame's pixel space): such a
// tile renders as its source, unchanged. Needs the toolkit.
bool BubbleMissesTile(TileRenderCache& cache, const Corvantis::Host::Param::Parameters& params, float scale,
                      const VRect& frameRect, const VRect& tile);

// Draws the bubble alone on a transparent image of the tile (straight colour, alpha 0 where
// nothing is drawn) the plain way: the toolkit's bitmap, the whole text laid out and drawn.
// The tile renderer's faster path gives the same pixels.
class wxImage;
wxImage DrawBubbleImage(const Corvantis::Host::Param::Parameters& params, float scale, const BubbleFrame& frame,
                        const VRect& tile);
