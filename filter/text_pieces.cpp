#include "filter/text_pieces.h"

#include <algorithm>
#include <cmath>

namespace {

// The second half of a UTF-16 surrogate pair (wxString holds UTF-16 on Windows).
bool IsLowSurrogate(const wxString& text, std::size_t at) {
    if (at >= text.length()) return false;
    const auto v = text[at].GetValue();
    return v >= 0xDC00 && v <= 0xDFFF;
}

// Where text[start, start + length) is cut into `parts` pieces of about the same length: near
// each even cut, just after a blank where one is close, and never between a surrogate pair.
// Every cut lies strictly inside the span and after the one before it.
std::vector<std::size_t> CutPoints(const wxString& text, std::size_t start, std::size_t length, std::size_t parts) {
    std::vector<std::size_t> cuts;
    const std::size_t end = start + length;
    const std::size_t reach = length / (4 * parts);
    for (std::size_t i = 1; i < parts; ++i) {
        const std::size_t even = start + length * i / parts;
        std::size_t cut = even;
        for (std::size_t d = 0; d <= reach; ++d) {
            if (even + d < end && text[even + d] == ' ') {
                cut = even + d + 1;
                break;
            }
            if (even - d > start && text[even - d - 1] == ' ') {
                cut = even - d;
                break;
            }
        }
        if (IsLowSurrogate(text, cut)) ++cut;
        const std::size_t previous = cuts.empty() ? start : cuts.back();
        if (cut > previous && cut < end) cuts.push_back(cut);
    }
    return cuts;
}

// Pieces needed for a string `width` wide: each about half the widest allowed.
std::size_t PartsForWidth(double width) {
    return std::max<std::size_t>(2, std::size_t(std::min(std::ceil(2.0 * width / kMaxPieceWidth), 1e6)));
}

void Split(const wxString& text, std::size_t start, std::size_t length, const TextMeasure& measure,
           std::vector<TextPiece>& out) {
    std::size_t parts = 0;
    if (length <= kMaxPieceLength) {
        TextPiece piece{start, length, 0.0, 0.0, 0.0};
        measure(text.substr(start, length), piece.width, piece.height);
        if (piece.width < kMaxPieceWidth || length <= 1) {
            out.push_back(piece);
            return;
        }
        parts = PartsForWidth(piece.width);
    } else {
        parts = (length + kMaxPieceLength / 2 - 1) / (kMaxPieceLength / 2);
    }
    const std::vector<std::size_t> cuts = CutPoints(text, start, length, parts);
    if (cuts.empty()) {  // one character (a surrogate pair) as wide as that
        TextPiece piece{start, length, 0.0, 0.0, 0.0};
        measure(text.substr(start, length), piece.width, piece.height);
        out.push_back(piece);
        return;
    }
    std::size_t from = start;
    for (const std::size_t cut : cuts) {
        Split(text, from, cut - from, measure, out);
        from = cut;
    }
    Split(text, from, start + length - from, measure, out);
}

}  // namespace

std::vector<TextPiece> SplitTextPieces(const wxString& text, const TextMeasure& measure) {
    std::vector<TextPiece> pieces;
    Split(text, 0, text.length(), measure, pieces);
    double x = 0.0;
    for (TextPiece& piece : pieces) {
        piece.x = x;
        x += piece.width;
    }
    return pieces;
}

void MeasureTextPieces(const wxString& text, const TextMeasure& measure, double& width, double& height) {
    width = 0.0;
    height = 0.0;
    for (const TextPiece& piece : SplitTextPieces(text, measure)) {
        width += piece.width;
        height = std::max(height, piece.height);
    }
}

wxString FirstTextPiece(const wxString& text, const TextMeasure& measure) {
    std::size_t length = std::min(text.length(), kMaxPieceLength);
    if (IsLowSurrogate(text, length)) --length;
    while (length > 1) {
        double width = 0.0, height = 0.0;
        measure(text.substr(0, length), width, height);
        if (width < kMaxPieceWidth) break;
        const std::vector<std::size_t> cuts = CutPoints(text, 0, length, PartsForWidth(width));
        if (cuts.empty()) break;
        length = cuts.front();
    }
    return text.substr(0, length);
}
