// Drawing of one speech bubble (body, pointer, edge line and word-wrapped text) onto a graphics
// context. Pure drawing: the parameters are read, never changed. The geometry and the text
// layout are computed by separate functions so that they can be checked as numbers.
#pragma once

#include "filter/text_pieces.h"

#include <wx/font.h>
#include <wx/gdicmn.h>
#include <wx/string.h>

#include <cstdint>
#include <vector>

class wxDC;
class wxGraphicsContext;

namespace Corvantis::Host::Param {
class Parameters;
}

// The rectangle the bubble's positions are percentages of (the filter rectangle at the buffers'
// scale), and the top-left pixel of the tile being drawn; both in the same pixel space.
struct BubbleFrame {
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    std::int32_t left = 0;
    std::int32_t top = 0;
};
struct TileOrigin {
    std::int32_t left = 0;
    std::int32_t top = 0;
};

struct BubblePoint {
    std::int64_t x = 0;
    std::int64_t y = 0;
};

// Body, pointer and pens, in frame coordinates (the tile origin not yet subtracted). Sums are
// kept in 64 bits so that no parameter value, however wild, overflows them.
struct BubbleGeometry {
    bool rectangle = false;        // rounded-rectangle body; else an ellipse
    std::int64_t bodyLeft = 0;     // x1
    std::int64_t bodyTop = 0;      // y1
    std::int64_t bodyWidth = 1;    // W
    std::int64_t bodyHeight = 1;   // H
    BubblePoint centre;            // (x1 + W / 2, y1 + H / 2)
    BubblePoint tip;               // the pointer's tip
    bool steep = false;            // the pointer leaves the body by its top or bottom: base along x
    std::int64_t halfBase = 0;     // the pointer's half-base after the clamp
    BubblePoint triangle[3];       // base start, tip, base end
    bool edgeVisible = false;      // edge pen drawn (else transparent)
    std::int32_t edgePenWidth = 0;
    bool pointerVisible = false;   // pointer pen drawn (else transparent)
    std::int32_t pointerPenWidth = 0;
};

BubbleGeometry ComputeBubbleGeometry(const Corvantis::Host::Param::Parameters& params, const BubbleFrame& frame,
                                     float scale);

// The box the text is wrapped into and centred in, in frame coordinates. charWidth is the
// device context's average character width, the rectangle's margin.
struct TextBox {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
};
TextBox ComputeTextBox(const BubbleGeometry& geometry, int charWidth);

// One wrapped line and where it is drawn (its top-left corner), with its measured size. A line
// too long or wide to hand over whole is drawn as its pieces, each at x plus its offset.
struct TextLine {
    wxString text;
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
    std::vector<TextPiece> pieces;  // empty: the line is one piece
};

// The parts of the line to hand to the toolkit for a canvas of `canvas` pixels whose top-left
// pixel is (originLeft, originTop) of the line's space, with where each is drawn: the whole
// line, or those of its pieces that may put ink on the canvas (a glyph reaches at most a line's
// height past its advance box). A line farther than a million pixels from the canvas gives
// nothing: cairo's coordinates are 24.8 fixed point, and no ink reaches that far.
struct TextLineRun {
    std::size_t piece;  // index in the line's pieces (0 for a whole line)
    wxString text;
    double x, y;
};
std::vector<TextLineRun> TextLineRuns(const TextLine& line, double originLeft, double originTop,
                                      const wxSize& canvas);

// Breaks the text into lines of whole words that fit the box's width and drops the lines that
// would cross its bottom. `measure` measures strings of any length (in pieces). lineHeight comes in as the height of one line and goes out as the
// height of the last measurement. A box width of 0 or less gives no lines.
std::vector<wxString> BreakTextLines(const wxString& text, const TextBox& box, double& lineHeight,
                                     const TextMeasure& measure);

// Breaks the text and places each line: the block centred vertically in the box, each line
// centred horizontally (a line wider than the box overflows it on both sides). The line height
// to begin with is that of the text's first piece: the same for any text it begins, however
// long. `measure` is the toolkit's, for strings within the pieces' bounds.
std::vector<TextLine> LayoutTextLines(const wxString& text, const TextBox& box, const TextMeasure& measure);

// The text parameters' bytes as a toolkit string: UTF-8, or where they are not, a text in the
// system's code page (TextAsUtf8), rather than losing the whole text.
wxString DecodeUtf8(const std::string& bytes);

// The bubble's font: size in points times scale (at least 1), family, style, weight, underline
// and face name from the parameters.
wxFont MakeBubbleFont(const Corvantis::Host::Param::Parameters& params, float scale);

// The body's fill colour as the drawing uses it (8-bit channels, opaque).
wxColour BubbleFillColour(const Corvantis::Host::Param::Parameters& params);
// The text's colour as the drawing uses it.
wxColour BubbleTextColour(const Corvantis::Host::Param::Parameters& params);
// Margin inside the body within which its outline, edge line and smoothing may colour pixels:
// farther in, the second fill pass alone decides a pixel.
double BubbleInteriorMargin(const BubbleGeometry& geometry);
// Corner radius of the rounded-rectangle body.
double BubbleCornerRadius();

// Draws body, edge and pointer on a canvas of `canvas` pixels whose top-left pixel is the tile
// origin. Leaves the fill brush and the edge pen set on the context.
void DrawBubbleShape(wxGraphicsContext& gc, const Corvantis::Host::Param::Parameters& params, TileOrigin origin,
                     const BubbleFrame& frame, float scale, const wxSize& canvas);

// Sets the text colour and font on the device context and the graphics context, and lays the
// text out in tile coordinates with the context's measurements, without drawing it.
std::vector<TextLine> LayoutBubbleText(wxGraphicsContext& gc, wxDC& dc,
                                       const Corvantis::Host::Param::Parameters& params, TileOrigin origin,
                                       const BubbleFrame& frame, float scale);

// Lays out and draws the text on a canvas of `canvas` pixels. dc is the memory device context
// the graphics context draws through; nothing is drawn on it.
void DrawBubbleText(wxGraphicsContext& gc, wxDC& dc, const Corvantis::Host::Param::Parameters& params,
                    TileOrigin origin, const BubbleFrame& frame, float scale, const wxSize& canvas);
