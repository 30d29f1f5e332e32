// Line breaking and placement of the text, measured by a stand-in for the graphics context:
// each character 10 pixels wide, each line 10 high (a string with breaks measures as several).
#include "bubble_test_support.h"
#include "filter/bubble_drawing.h"

#include <gtest/gtest.h>

#include <wx/dcmemory.h>
#include <wx/graphics.h>

#include <cmath>
#include <memory>

namespace {

const TextMeasure kMeasure = [](const wxString& s, double& width, double& height) {
    width = 10.0 * double(s.length());
    height = 10.0 * double(1 + s.Freq('\n'));
};

std::vector<wxString> Break(const char* text, std::int64_t width, std::int64_t height = 100) {
    double h = 10.0;
    return BreakTextLines(wxString::FromUTF8(text), TextBox{0, 0, width, height}, h, kMeasure);
}

TEST(TextLayout, LineBreaking) {
    using Lines = std::vector<wxString>;
    EXPECT_EQ(Break("a\n\nb", 55), (Lines{"a", "", "b"}));
    EXPECT_EQ(Break("aa bb cc dd", 55), (Lines{"aa bb", "cc dd"}));
    EXPECT_EQ(Break("aa     bb", 30), (Lines{"aa", "bb"}));  // blanks at a break are dropped
    EXPECT_EQ(Break("hi enormousword ok", 55), (Lines{"hi", "enormousword", "ok"}));
    EXPECT_EQ(Break("a\nb\nc\nd", 55, 25), (Lines{"a", "b"}));  // a third line would reach 30
    EXPECT_EQ(Break("a\nb", 55, 20), (Lines{"a"}));             // ending on the bottom is too far
    EXPECT_TRUE(Break("some text", 0).empty());
    EXPECT_TRUE(Break("some text", -20, 1000000000).empty());  // ends at once, whatever the height
}

// Word by word, measuring the text up to every word's end: the rule the breaking must follow.
std::vector<wxString> BreakWordByWord(const wxString& all, const TextBox& box, double& h, const TextMeasure& measure) {
    std::vector<wxString> lines;
    if (box.width <= 0) return lines;
    const double tw = double(box.width), bottom = double(box.top + box.height);
    double y = double(box.top);
    wxString text = all;
    while (!text.empty()) {
        if (bottom <= y + h) break;
        std::size_t lineEnd = 0, pos = 0;
        while (pos < text.length()) {
            const std::size_t blank = std::min(text.find(' ', pos), text.length());
            const std::size_t end = std::min(blank, std::min(text.find('\n', pos), text.length()));
            double width = 0.0;
            measure(text.substr(0, end), width, h);
            if (lineEnd != 0 && tw <= width) break;
            pos = end;
            while (pos < text.length() && text[pos] == ' ') ++pos;
            lineEnd = end;
            if (pos < text.length() && text[pos] == '\n') {
                ++pos;
                break;
            }
            if (width >= tw) break;
        }
        lines.push_back(text.substr(0, lineEnd));
        text = text.substr(pos);
        y += h;
    }
    return lines;
}

TEST(TextLayout, BreaksAsWordByWordWithFewMeasurements) {
    // Characters of different widths, a taller line where a 'Q' shows, and texts with runs of
    // blanks, blank lines, leading blanks after a newline and words wider than the box.
    int calls = 0;
    const TextMeasure uneven = [&calls](const wxString& s, double& width, double& height) {
        ++calls;
        width = 0.0;
        for (const wxUniChar c : s) width += c == ' ' ? 4.0 : 5.0 + double(c.GetValue() % 7);
        height = s.Find('Q') == wxNOT_FOUND ? 12.0 : 15.0;
    };
    std::uint32_t seed = 12345;
    const auto next = [&seed](std::uint32_t n) { return (seed = seed * 1664525u + 1013904223u) >> 8 & 0xFFFFFF % n; };
    for (int round = 0; round < 60; ++round) {
        wxString text;
        const int words = 1 + int(next(400));
        for (int w = 0; w < words; ++w) {
            const int letters = int(next(round % 5 == 0 ? 40 : 9));
            for (int l = 0; l < letters; ++l) text += wxUniChar('a' + next(26) % 26 + (next(50) == 0 ? 'Q' - 'a' : 0));
            const std::uint32_t gap = next(20);
            text += gap == 0 ? "\n" : gap == 1 ? "\n\n  " : gap == 2 ? "   " : " ";
        }
        for (const std::int64_t width : {1, 30, 97, 250, 1000}) {
            SCOPED_TRACE(testing::Message() << "round " << round << ", width " << width);
            const TextBox box{0, 0, width, 4000};
            double hExpected = 12.0, hActual = 12.0;
            const std::vector<wxString> expected = BreakWordByWord(text, box, hExpected, uneven);
            EXPECT_EQ(BreakTextLines(text, box, hActual, uneven), expected);
            EXPECT_EQ(hActual, hExpected);
        }
    }
    // A long text on wide lines: a handful of measurements per line instead of one per word.
    wxString longText;
    for (int i = 0; i < 3000; ++i) longText += "word ";
    double h = 12.0;
    calls = 0;
    const std::vector<wxString> lines = BreakTextLines(longText, TextBox{0, 0, 2000, 100000}, h, uneven);
    EXPECT_GT(lines.size(), 40u);
    EXPECT_LT(calls, int(lines.size()) * 4);
    // Placing the lines measures no line again that breaking them measured: only the whole
    // text (for the line height) and lines that never were a candidate.
    const int breaking = calls;
    calls = 0;
    const std::vector<TextLine> placed = LayoutTextLines(longText, TextBox{0, 0, 2000, 100000}, uneven);
    ASSERT_EQ(placed.size(), lines.size());
    EXPECT_LE(calls, breaking + 1);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        double width = 0.0, height = 0.0;
        uneven(placed[i].text, width, height);
        EXPECT_EQ(placed[i].width, width) << i;
    }
}

TEST(TextLayout, BlockCentredVerticallyLinesHorizontally) {
    const std::vector<TextLine> lines = LayoutTextLines("aa bb enormousword", TextBox{100, 200, 55, 100}, kMeasure);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_DOUBLE_EQ(lines[0].x, 100 + (55 - 50) * 0.5);
    EXPECT_DOUBLE_EQ(lines[0].y, 200 + (100 - 2 * 10) * 0.5);
    EXPECT_DOUBLE_EQ(lines[1].x, 100 + (55 - 120) * 0.5);  // overflows on both sides
    EXPECT_DOUBLE_EQ(lines[1].y, lines[0].y + 10);
    // The first height is one line's: measured as three lines (30), nothing would fit in 25.
    EXPECT_EQ(LayoutTextLines("a\n\nb", TextBox{0, 0, 55, 25}, kMeasure).size(), 2u);
}

TEST(TextLayout, LongTextsAndLinesAreMeasuredAPieceAtATime) {
    // As GDI+ measures: in a box 100000 pixels wide, as high as the lines a wider string wraps into.
    const TextMeasure wrapping = [](const wxString& s, double& width, double& height) {
        const double w = 10.0 * double(s.length());
        width = std::min(w, 100000.0);
        height = 10.0 * std::ceil(std::max(w, 1.0) / 100000.0);
    };
    wxString text;
    while (text.length() < 1100000) text += "word ";
    const auto lines = [&](const wxString& t) {
        std::vector<wxString> texts;
        for (const TextLine& line : LayoutTextLines(t, TextBox{0, 0, 55, 25}, wrapping)) texts.push_back(line.text);
        return texts;
    };
    // Any length draws the first lines of its beginning.
    EXPECT_EQ(lines(text.Left(60000)), (std::vector<wxString>{"word", "word"}));
    EXPECT_EQ(lines(text), lines(text.Left(60000)));
    // A word too wide to measure whole is a line of pieces within the bounds, side by side.
    const std::vector<TextLine> placed = LayoutTextLines(wxString(200000, 'x'), TextBox{0, 0, 55, 25}, wrapping);
    ASSERT_EQ(placed.size(), 1u);
    const TextLine& word = placed[0];
    EXPECT_EQ(word.width, 2000000.0);
    EXPECT_EQ(word.height, 10.0);
    ASSERT_GT(word.pieces.size(), 1u);
    for (const TextPiece& piece : word.pieces) EXPECT_EQ(piece.x, 10.0 * double(piece.start)) << piece.start;
    EXPECT_LT(word.pieces[0].width, kMaxPieceWidth);
}

TEST(TextLayout, TextsThatAreNotUtf8AreReadInTheCodePage) {
    EXPECT_EQ(DecodeUtf8("Gr\xC3\xBC\xC3\x9F" "e"), wxString::FromUTF8("Grüße"));
    EXPECT_EQ(DecodeUtf8("caf\xE9"), wxString(L"caf\u00E9"));
    EXPECT_EQ(DecodeUtf8("ab\xFF" "cd"), wxString(L"ab\u00FFcd"));
}

}  // namespace

namespace {

class HugeFont : public ToolkitTest {};

// The number of dark pixels when the middle of an "I" in the bubble's font is drawn over a
// 100 x 100 picture.
int DarkPixelsOfAnI(const wxFont& font) {
    wxBitmap bitmap(100, 100, 24);
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
        gc->SetFont(font, *wxBLACK);
        double w = 0, h = 0, descent = 0, leading = 0;
        gc->GetTextExtent("I", &w, &h, &descent, &leading);
        gc->DrawText("I", 50 - w / 2, 50 - h / 2);
    }
    const wxImage image = bitmap.ConvertToImage();
    int dark = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) dark += image.GetRed(x, y) < 128 ? 1 : 0;
    return dark;
}

}  // namespace

TEST_F(HugeFont, SizesBeyondTheAcceptedRangeAreLimitedToItAndStillDraw) {
    // A glyph of 24000 points took gigabytes in GDI+ under wine; cairo fails beyond 65535 pixels.
    Parameters p = DefaultBubble();
    for (const double size : {4000.0, 1e5, 1e9}) {
        Set(p, kParamFontSize, size);
        const wxFont font = MakeBubbleFont(p, 1.0f);
        EXPECT_EQ(font.GetPointSize(), 4000) << size;
        EXPECT_GT(DarkPixelsOfAnI(font), 0) << size;
    }
}
