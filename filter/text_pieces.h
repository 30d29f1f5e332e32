// Long strings handed to the toolkit a piece at a time. GDI+ measures a string in a box 100000
// pixels wide and reports the height of all the lines it wrapped it into, and under wine it
// draws a string through a mask of the string's whole ink box; pango's extents are 32-bit in
// 1/1024 pixel. A string that fits the bounds below is one piece and goes to the toolkit
// whole, as any line of the accepted ranges does; a longer or wider one is split in halves
// (at a blank near the middle where there is one, never inside a surrogate pair) until every
// piece fits. The pieces are measured one by one and placed side by side.
#pragma once

#include <wx/string.h>

#include <cstddef>
#include <functional>
#include <vector>

// Measures one string as the graphics context would draw it: advance width and line height.
using TextMeasure = std::function<void(const wxString& text, double& width, double& height)>;

struct TextPiece {
    std::size_t start = 0, length = 0;  // in the string's characters (code units)
    double x = 0.0;                     // from the string's start: the widths of the pieces before
    double width = 0.0, height = 0.0;
};

// At most this many characters, and narrower than this many pixels, are handed over at once.
constexpr std::size_t kMaxPieceLength = 65536;
constexpr double kMaxPieceWidth = 16384.0;

// The pieces of text, in order; one for a string that fits (an empty one included).
std::vector<TextPiece> SplitTextPieces(const wxString& text, const TextMeasure& measure);

// The width of the text (its pieces' widths added) and its height (the tallest piece's).
void MeasureTextPieces(const wxString& text, const TextMeasure& measure, double& width, double& height);

// The start of the text up to the first piece's end: what a measurement of the whole text
// would see of its first line, within the bounds.
wxString FirstTextPiece(const wxString& text, const TextMeasure& measure);
