#include "filter/bubble_drawing.h"

#include "filter/canvas_window.h"
#include "filter/parameter_table.h"
#include "param/parameters.h"
#include "param/text_encoding.h"

#include <wx/brush.h>
#include <wx/colour.h>
#include <wx/dc.h>
#include <wx/graphics.h>
#include <wx/pen.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <map>

using Corvantis::Host::Param::Parameters;
using Corvantis::Host::Param::ParameterValue;

namespace {

// |cos(135) * sqrt(2)| with 135 taken as radians: the ellipse's text box is W / 2 / k * 2 wide.
constexpr double kEllipseTextDivisor = 1.4086809257715194;
// The rounded rectangle's corner radius, not scaled.
constexpr double kCornerRadius = 3.0;
// The values are drawn as they come, also far beyond their accepted ranges; what the toolkit is
// handed is bounded where it would fail otherwise. Font sizes stop at the accepted maximum:
// GDI+ under wine draws a string through a mask of its whole ink box, which for one glyph of
// 24000 points takes gigabytes, and cairo's fonts fail beyond 65535 pixels.
constexpr int kMaxFontPoints = 4000;
// Pens stop at five times the widest of the accepted range (an edge of 100 is a 200-pixel pen):
// both toolkits outline a pen's stroke as a shape, and a pen millions of pixels wide takes them
// beyond their coordinates. The window far shapes are cut to reaches past half the widest pen.
constexpr int kMaxPenWidth = 1024;
static_assert(kMaxPenWidth / 2 + 64 <= CanvasWindow::kMargin, "cut edges and their strokes stay outside the canvas");
// An ellipse is handed whole to the toolkit only within this distance of the canvas: GDI+ under
// wine overflows its stack flattening curves much farther out (a body 30000 pixels wide at the
// origin). Every body of the accepted range that reaches the canvas lies within it.
constexpr double kMaxCurveReach = 20000.0;
// Straight edges are handed whole within this distance: cairo's coordinates are 24.8 fixed
// point (8388607 pixels); every triangle of the accepted range lies within it.
constexpr double kMaxLineReach = 4194304.0;

const ParameterValue& Value(const Parameters& params, std::size_t index) {
    static const ParameterValue kMissing;
    return index < params.parameters.size() ? params.parameters[index].value : kMissing;
}
double Float(const Parameters& params, std::size_t index) { return Value(params, index).GetFloat(); }
std::int32_t Integer(const Parameters& params, std::size_t index) { return Value(params, index).GetInteger(); }

// Truncation toward zero into 32 bits; values beyond the range saturate and NaN gives 0, so that
// no parameter value can make the conversion undefined.
std::int32_t TruncInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

unsigned char ColourByte(double component) {
    return static_cast<unsigned char>(std::clamp(TruncInt(component * 255.0), 0, 255));
}

wxColour ColourOf(const Parameters& params, std::size_t index) {
    const auto rgb = Value(params, index).GetColor();
    return wxColour(ColourByte(rgb.red), ColourByte(rgb.green), ColourByte(rgb.blue), 255);
}

// Frame percentage to pixel coordinate.
std::int64_t FramePosition(double percent, std::uint64_t extent, std::int32_t start) {
    return TruncInt(percent / 100.0 * double(extent) + start);
}

bool WithinReach(double limit, std::initializer_list<double> coordinates) {
    for (const double c : coordinates)
        if (!(std::fabs(c) <= limit)) return false;
    return true;
}

wxGraphicsPath PathThrough(wxGraphicsContext& gc, const std::vector<ShapePoint>& points, bool closed) {
    wxGraphicsPath path = gc.CreatePath();
    path.MoveToPoint(points[0].x, points[0].y);
    for (std::size_t i = 1; i < points.size(); ++i) path.AddLineToPoint(points[i].x, points[i].y);
    if (closed) path.CloseSubpath();
    return path;
}

// The body in tile coordinates: the box it spans (a negative size spans left of or above its
// position). A rounded rectangle is cut to the window; an ellipse goes to the toolkit whole
// while it lies within the reach of curves, else as its part within the window.
void DrawBody(wxGraphicsContext& gc, const BubbleGeometry& g, double left, double top, bool firstPass,
              const CanvasWindow& window) {
    double w = double(g.bodyWidth);
    double h = double(g.bodyHeight);
    if (w < 0.0) left += w, w = -w;
    if (h < 0.0) top += h, h = -h;
    if (!g.rectangle) {
        if (WithinReach(kMaxCurveReach, {left, top, left + w, top + h}))
            gc.DrawEllipse(left, top, w, h);
        else if (const auto part = EllipseWithinWindow(left, top, left + w, top + h, window); part.size() >= 3)
            gc.DrawPath(PathThrough(gc, part, true));
        return;
    }
    // The second pass is one pixel narrower and lower.
    double right = left + w - (firstPass ? 0.0 : 1.0);
    double bottom = top + h - (firstPass ? 0.0 : 1.0);
    if (CutBoxToWindow(left, top, right, bottom, window))
        gc.DrawRoundedRectangle(left, top, right - left, bottom - top, kCornerRadius);
}

// The pointer: the triangle filled and its open line from the base's first end through the tip
// to its other end stroked with the current pen; cut to the window when it reaches far out.
void DrawPointer(wxGraphicsContext& gc, const wxPoint2DDouble (&points)[3], const CanvasWindow& window) {
    if (WithinReach(kMaxLineReach, {points[0].m_x, points[0].m_y, points[1].m_x, points[1].m_y, points[2].m_x,
                                    points[2].m_y})) {
        gc.DrawLines(3, points, wxODDEVEN_RULE);
        return;
    }
    const std::vector<ShapePoint> corners{{points[0].m_x, points[0].m_y}, {points[1].m_x, points[1].m_y},
                                          {points[2].m_x, points[2].m_y}};
    const std::vector<ShapePoint> inside = PolygonWithinWindow(corners, window);
    if (inside.size() >= 3) gc.FillPath(PathThrough(gc, inside, true), wxODDEVEN_RULE);
    for (const std::vector<ShapePoint>& run : PolylineWithinWindow(corners, window))
        gc.StrokePath(PathThrough(gc, run, false));
}

// Characters after which the toolkit starts a new line within one string.
bool IsMandatoryBreak(wxUniChar c) {
    const auto v = c.GetValue();
    return v == 0x0A || v == 0x0B || v == 0x0C || v == 0x0D || v == 0x85 || v == 0x2028 || v == 0x2029;
}

}  // namespace

wxString DecodeUtf8(const std::string& bytes) {
    const std::string utf8 = Corvantis::Host::Param::TextAsUtf8(bytes);
    return wxString::FromUTF8(utf8.data(), utf8.size());
}

BubbleGeometry ComputeBubbleGeometry(const Parameters& params, const BubbleFrame& frame, float scale) {
    const double s = scale;
    BubbleGeometry g;
    g.rectangle = Integer(params, kParamShape) != 0;
    g.bodyWidth = TruncInt(s * Float(params, kParamEllipseWidth));
    if (g.bodyWidth == 0) g.bodyWidth = 1;
    g.bodyHeight = TruncInt(s * Float(params, kParamEllipseHeight));
    if (g.bodyHeight == 0) g.bodyHeight = 1;
    g.bodyLeft = FramePosition(Float(params, kParamXPosition), frame.width, frame.left);
    g.bodyTop = FramePosition(Float(params, kParamYPosition), frame.height, frame.top);
    g.centre = {g.bodyLeft + g.bodyWidth / 2, g.bodyTop + g.bodyHeight / 2};
    g.tip = {FramePosition(Float(params, kParamXIndicatorPosition), frame.width, frame.left),
             FramePosition(Float(params, kParamYIndicatorPosition), frame.height, frame.top)};

    // Steep when the tip lies more than 45 degrees above or below the centre. A tip straight above
    // or below is steep; a tip on the centre is not.
    const std::int64_t dx = g.tip.x - g.centre.x;
    const std::int64_t dy = g.tip.y - g.centre.y;
    if (dx == 0) {
        g.steep = dy != 0;
    } else {
        const double degrees = std::atan(double(dy) / double(dx)) * 180.0 / 3.141592653589793;
        g.steep = std::fabs(degrees) > 45.0;
    }

    // The half-base may not reach past the body's half size.
    g.halfBase = TruncInt(s * Float(params, kParamIndicatorWidth));
    const std::int64_t limit = g.steep ? g.bodyWidth / 2 : std::min(g.bodyWidth, g.bodyHeight) / 2;
    if (g.halfBase > limit) g.halfBase = limit - 1;

    const BubblePoint c = g.centre;
    if (g.steep) {
        g.triangle[0] = {c.x + g.halfBase, c.y};
        g.triangle[2] = {c.x - g.halfBase, c.y};
    } else {
        g.triangle[0] = {c.x, c.y - g.halfBase};
        g.triangle[2] = {c.x, c.y + g.halfBase};
    }
    g.triangle[1] = g.tip;

    const double pointerThickness = s * Float(params, kParamIndicatorThickness);
    g.pointerVisible = pointerThickness > 0.0;
    g.pointerPenWidth = g.pointerVisible ? std::min(TruncInt(pointerThickness), kMaxPenWidth) : 0;
    const double edgeThickness = s * Float(params, kParamEdgeThickness);
    g.edgeVisible = edgeThickness > 0.0;
    g.edgePenWidth = g.edgeVisible ? std::min(TruncInt(2.0 * s * Float(params, kParamEdgeThickness)), kMaxPenWidth) : 0;
    return g;
}

TextBox ComputeTextBox(const BubbleGeometry& g, int charWidth) {
    TextBox box;
    if (!g.rectangle) {
        box.width = TruncInt(double(g.bodyWidth / 2) / kEllipseTextDivisor * 2.0);
        box.height = TruncInt(double(g.bodyHeight / 2) / kEllipseTextDivisor * 2.0);
    } else {
        box.width = g.bodyWidth - 2 * std::int64_t(charWidth);
        box.height = g.bodyHeight - 2 * std::int64_t(charWidth);
    }
    box.left = g.centre.x - box.width / 2;
    box.top = g.centre.y - box.height / 2;
    return box;
}

namespace {

// The words one line of the remaining text may take, found as they are needed: word i ends at
// ends[i] and, once taken, the line goes on at after[i] (blanks skipped, a newline consumed).
// Offsets are relative to the line's start.
class LineWords {
public:
    LineWords(const wxString& text, std::size_t start) : text(text), start(start), rest(text.length() - start) {}

    // Whether word i exists, finding the words up to it.
    bool Has(std::size_t i) {
        while (ends.size() <= i && !complete) Extend();
        return i < ends.size();
    }
    std::size_t Count() {
        while (!complete) Extend();
        return ends.size();
    }
    std::size_t End(std::size_t i) const { return ends[i]; }
    std::size_t After(std::size_t i) const { return after[i]; }

private:
    void Extend() {
        const std::size_t pos = after.empty() ? 0 : after.back();
        if (!after.empty() && (newlineTaken || pos >= rest)) {
            complete = true;
            return;
        }
        if (!newlineSought) {
            newline = text.find(wxUniChar('\n'), start + pos);
            newlineSought = true;
        }
        std::size_t blank = text.find(wxUniChar(' '), start + pos);
        blank = blank == wxString::npos ? rest : blank - start;
        const std::size_t lineBreak = newline == wxString::npos ? rest : newline - start;
        const std::size_t end = std::min(blank, lineBreak);
        std::size_t next = end;
        while (next < rest && text[start + next] == ' ') ++next;
        newlineTaken = next < rest && text[start + next] == '\n';
        if (newlineTaken) ++next;
        ends.push_back(end);
        after.push_back(next);
        if (newlineTaken || next >= rest) complete = true;
    }

    const wxString& text;
    const std::size_t start, rest;
    // The first newline of the line's text (absolute; npos: none). A newline ends the line, so
    // it is sought once.
    std::size_t newline = wxString::npos;
    bool newlineSought = false;
    std::vector<std::size_t> ends, after;
    bool newlineTaken = false;
    bool complete = false;
};

}  // namespace

std::vector<wxString> BreakTextLines(const wxString& text, const TextBox& box, double& h,
                                     const TextMeasure& measure) {
    std::vector<wxString> lines;
    // No word fits a box without width: every line would be empty, so nothing is drawn.
    if (box.width <= 0) return lines;
    const double tw = double(box.width);
    const double bottom = double(box.top + box.height);
    double y = double(box.top);
    const std::size_t length = text.length();
    std::size_t start = 0;  // the remaining text is text[start, length)
    std::size_t guess = 0;  // where the last line found its first word too wide
    while (start < length) {
        if (bottom <= y + h) break;
        // A line takes words while the text up to the word's end is narrower than the box; the
        // first word at least as wide ends it (taken only when the line holds nothing before it).
        // Widths grow with every word, so that word is found by doubling steps and then
        // halving them, measuring a few prefixes instead of every one.
        LineWords words(text, start);
        struct Measured {
            std::size_t word;
            double width, height;
        };
        std::vector<Measured> measured;
        const auto widthOf = [&](std::size_t i) {
            for (const Measured& m : measured)
                if (m.word == i) return m.width;
            Measured m{i, 0.0, h};
            measure(text.substr(start, words.End(i)), m.width, m.height);
            measured.push_back(m);
            return m.width;
        };
        const auto heightOf = [&](std::size_t i) {
            widthOf(i);
            for (const Measured& m : measured)
                if (m.word == i) return m.height;
            return h;
        };
        words.Has(0);
        std::size_t wide = 0;  // the first word reaching the box's width; none when npos
        if (widthOf(0) < tw) {
            std::size_t narrow = 0;  // a word known to keep the line narrower than the box
            wide = wxString::npos;
            // Lines of one text tend to hold as many words as the line before: try there first,
            // and the word before it.
            if (guess > 0) {
                const std::size_t probe = words.Has(guess) ? guess : words.Count() - 1;
                if (probe > 0) (widthOf(probe) >= tw ? wide : narrow) = probe;
                if (wide != wxString::npos && wide - 1 > narrow) (widthOf(wide - 1) >= tw ? wide : narrow) = wide - 1;
            }
            for (std::size_t step = 1; wide == wxString::npos; step *= 2) {
                std::size_t probe = narrow + step;
                if (!words.Has(probe)) probe = words.Count() - 1;
                if (probe == narrow) break;
                (widthOf(probe) >= tw ? wide : narrow) = probe;
            }
            if (wide != wxString::npos) {
                while (wide - narrow > 1) {
                    const std::size_t mid = narrow + (wide - narrow) / 2;
                    (widthOf(mid) >= tw ? wide : narrow) = mid;
                }
                guess = wide;
            }
            if (wide == wxString::npos) {
                // Every word fits: the line takes them all.
                const std::size_t last = words.Count() - 1;
                h = heightOf(last);
                lines.push_back(text.substr(start, words.End(last)));
                start += words.After(last);
                y += h;
                continue;
            }
        }
        h = heightOf(wide);
        // The wide word is taken when nothing is on the line yet (only an empty first word).
        const std::size_t taken = wide == 0 || words.End(wide - 1) == 0 ? wide : wide - 1;
        lines.push_back(text.substr(start, words.End(taken)));
        start += words.After(taken);
        y += h;
    }
    return lines;
}

std::vector<TextLine> LayoutTextLines(const wxString& text, const TextBox& box, const TextMeasure& measureOnce) {
    std::vector<TextLine> placed;
    if (text.empty()) return placed;
    // A line is measured while it is broken and again when it is placed: the second time comes
    // from here. Measuring is the costly part of laying text out.
    std::map<wxString, std::pair<double, double>> measured;
    const TextMeasure once = [&](const wxString& s, double& width, double& height) {
        const auto found = measured.find(s);
        if (found != measured.end()) {
            width = found->second.first;
            height = found->second.second;
            return;
        }
        measureOnce(s, width, height);
        measured.emplace(s, std::make_pair(width, height));
    };
    const TextMeasure measure = [&](const wxString& s, double& width, double& height) {
        MeasureTextPieces(s, once, width, height);
    };
    // One line's height. The toolkit measures a string with line breaks as several lines, so the
    // breaks are measured as blanks here.
    wxString singleLine = text.Left(kMaxPieceLength);
    for (auto it = singleLine.begin(); it != singleLine.end(); ++it)
        if (IsMandatoryBreak(*it)) *it = ' ';
    double width = 0.0, h = 0.0;
    measure(FirstTextPiece(singleLine, once), width, h);

    const std::vector<wxString> lines = BreakTextLines(text, box, h, measure);
    double y = (double(box.height) - double(lines.size()) * h) * 0.5 + double(box.top);
    for (const wxString& line : lines) {
        TextLine l;
        l.text = line;
        l.pieces = SplitTextPieces(line, once);
        for (const TextPiece& piece : l.pieces) {
            l.width += piece.width;
            l.height = std::max(l.height, piece.height);
        }
        if (l.pieces.size() == 1) l.pieces.clear();
        l.x = (double(box.width) - l.width) * 0.5 + double(box.left);
        l.y = y;
        y += l.height;
        placed.push_back(std::move(l));
    }
    return placed;
}

std::vector<TextLineRun> TextLineRuns(const TextLine& line, double originLeft, double originTop,
                                      const wxSize& canvas) {
    constexpr double kFar = 1048576.0;
    const double x = line.x - originLeft, y = line.y - originTop;
    const auto reaches = [&](double left, double width, double reach) {
        return left + width + reach > 0.0 && left - reach < double(canvas.x);
    };
    if (!(y + line.height + kFar > 0.0 && y - kFar < double(canvas.y))) return {};
    if (line.pieces.empty()) {
        if (!reaches(x, line.width, kFar)) return {};
        return {{0, line.text, x, y}};
    }
    std::vector<TextLineRun> runs;
    for (std::size_t i = 0; i < line.pieces.size(); ++i) {
        const TextPiece& piece = line.pieces[i];
        if (reaches(x + piece.x, piece.width, std::max(line.height, 1.0)))
            runs.push_back({i, line.text.substr(piece.start, piece.length), x + piece.x, y});
    }
    return runs;
}

wxFont MakeBubbleFont(const Parameters& params, float scale) {
    int points = TruncInt(double(scale) * Float(params, kParamFontSize));
    if (points < 1) points = 1;
    points = std::min(points, kMaxFontPoints);

    wxFontFamily family;
    switch (Integer(params, kParamFontFamily)) {
        case 1: family = wxFONTFAMILY_DECORATIVE; break;
        case 2: family = wxFONTFAMILY_ROMAN; break;
        case 3: family = wxFONTFAMILY_SCRIPT; break;
        case 4: family = wxFONTFAMILY_SWISS; break;
        case 5: family = wxFONTFAMILY_MODERN; break;
        case 6: family = wxFONTFAMILY_TELETYPE; break;
        case 7: family = wxFONTFAMILY_UNKNOWN; break;
        default: family = wxFONTFAMILY_DEFAULT; break;
    }
    wxFontStyle style;
    switch (Integer(params, kParamFontStyle)) {
        case 1: style = wxFONTSTYLE_ITALIC; break;
        case 2: style = wxFONTSTYLE_SLANT; break;
        default: style = wxFONTSTYLE_NORMAL; break;
    }
    // The toolkit's weights are numeric (CSS-like); light, normal and bold are 300, 400 and 700.
    wxFontWeight weight;
    switch (Integer(params, kParamFontWeight)) {
        case 1: weight = wxFONTWEIGHT_LIGHT; break;
        case 2: weight = wxFONTWEIGHT_BOLD; break;
        default: weight = wxFONTWEIGHT_NORMAL; break;
    }
    const bool underline = Value(params, kParamFontUnderline).GetBoolean();
    const wxString face = DecodeUtf8(Value(params, kParamFontFacename).text);
    return wxFont(points, family, style, weight, underline, face, wxFONTENCODING_DEFAULT);
}

wxColour BubbleFillColour(const Parameters& params) { return ColourOf(params, kParamFillColor); }
wxColour BubbleTextColour(const Parameters& params) { return ColourOf(params, kParamTextColor); }

double BubbleInteriorMargin(const BubbleGeometry& g) {
    // Smoothing, the toolkit's half-pixel offset and one pixel to spare, plus half the edge pen.
    return 4.0 + (g.edgeVisible ? std::max(g.edgePenWidth, 1) / 2.0 : 0.0);
}

double BubbleCornerRadius() { return kCornerRadius; }

void DrawBubbleShape(wxGraphicsContext& gc, const Parameters& params, TileOrigin origin, const BubbleFrame& frame,
                     float scale, const wxSize& canvas) {
    const BubbleGeometry g = ComputeBubbleGeometry(params, frame, scale);
    const CanvasWindow window = CanvasWindow::Around(canvas.x, canvas.y);
    const wxColour edgeColour = ColourOf(params, kParamEdgeColor);
    const wxBrush fillBrush(ColourOf(params, kParamFillColor), wxBRUSHSTYLE_SOLID);
    // The toolkit's pens join and cap round by default.
    const wxPen pointerPen =
        g.pointerVisible ? wxPen(edgeColour, g.pointerPenWidth, wxPENSTYLE_SOLID) : *wxTRANSPARENT_PEN;
    const wxPen edgePen = g.edgeVisible ? wxPen(edgeColour, g.edgePenWidth, wxPENSTYLE_SOLID) : *wxTRANSPARENT_PEN;

    const double left = double(g.bodyLeft - origin.left);
    const double top = double(g.bodyTop - origin.top);

    // First pass: the body filled and stroked with a pen twice the edge thickness.
    gc.SetBrush(fillBrush);
    gc.SetPen(edgePen);
    DrawBody(gc, g, left, top, true, window);

    // The pointer: filled triangle, stroked from the base's first end through the tip to its
    // other end; the base itself is not stroked.
    wxPoint2DDouble points[3];
    for (int i = 0; i < 3; ++i)
        points[i] = wxPoint2DDouble(double(g.triangle[i].x - origin.left), double(g.triangle[i].y - origin.top));
    gc.SetPen(pointerPen);
    DrawPointer(gc, points, window);

    // Second pass: the fill again without outline covers the inner half of the edge line and the
    // pointer's base inside the body, so the pointer joins the body without a seam.
    gc.SetPen(*wxTRANSPARENT_PEN);
    gc.SetBrush(fillBrush);
    DrawBody(gc, g, left, top, false, window);
    gc.SetPen(edgePen);
}

std::vector<TextLine> LayoutBubbleText(wxGraphicsContext& gc, wxDC& dc, const Parameters& params, TileOrigin origin,
                                       const BubbleFrame& frame, float scale) {
    const wxColour colour = ColourOf(params, kParamTextColor);
    const BubbleGeometry g = ComputeBubbleGeometry(params, frame, scale);
    // The rectangle's margin is the character width of the device context's default font: ask
    // before a font is set on it.
    const int charWidth = g.rectangle ? dc.GetCharWidth() : 0;
    TextBox box = ComputeTextBox(g, charWidth);
    box.left -= origin.left;
    box.top -= origin.top;

    const wxString text = DecodeUtf8(Value(params, kParamText).text);
    const wxFont font = MakeBubbleFont(params, scale);
    dc.SetTextForeground(colour);
    dc.SetFont(font);
    gc.SetFont(font, colour);

    const TextMeasure measure = [&gc](const wxString& s, double& width, double& height) {
        double descent = 0.0, leading = 0.0;
        width = 0.0;
        height = 0.0;
        gc.GetTextExtent(s, &width, &height, &descent, &leading);
    };
    return LayoutTextLines(text, box, measure);
}

void DrawBubbleText(wxGraphicsContext& gc, wxDC& dc, const Parameters& params, TileOrigin origin,
                    const BubbleFrame& frame, float scale, const wxSize& canvas) {
    for (const TextLine& line : LayoutBubbleText(gc, dc, params, origin, frame, scale))
        for (const TextLineRun& run : TextLineRuns(line, 0.0, 0.0, canvas))
            if (!run.text.empty()) gc.DrawText(run.text, run.x, run.y);
}
