// Line breaking and placement of the text, measured by a stand-in for the graphics context:
// each character 10 pixels wide, each line 10 high (a string with breaks measures as several).
#include "filter/bubble_drawing.h"

#include <gtest/gtest.h>

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

TEST(TextLayout, InvalidUtf8KeepsTheValidCharacters) {
    EXPECT_EQ(DecodeUtf8("Gr\xC3\xBC\xC3\x9F" "e"), wxString::FromUTF8("Grüße"));
    EXPECT_EQ(DecodeUtf8("ab\xFF" "cd"), wxString(L"ab\uFFFDcd"));
    EXPECT_EQ(DecodeUtf8("x\xE2\x82"), wxString(L"x\uFFFD\uFFFD"));  // truncated
    EXPECT_EQ(DecodeUtf8("\xC0\xAF"), wxString(L"\uFFFD\uFFFD"));   // overlong
}

}  // namespace
