// Where the Text field cuts a long text into the pieces it puts in one at a time.
#include "ui/long_text_ctrl.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The pieces, joined with '|'.
std::wstring Cut(const std::wstring& text) {
    std::wstring joined;
    std::size_t expected = 0;
    for (const auto& [start, end] : LongTextCtrl::Pieces(text)) {
        EXPECT_EQ(start, expected) << "the pieces follow each other";
        EXPECT_LT(start, end) << "no empty piece";
        EXPECT_LE(end - start, LongTextCtrl::kPieceLength);
        if (!joined.empty()) joined += L'|';
        joined += text.substr(start, end - start);
        expected = end;
    }
    if (!joined.empty()) {
        EXPECT_EQ(expected, text.size()) << "the pieces cover the text";
    }
    return joined;
}

TEST(LongTextPieces, OnlyLongParagraphsAreCutAndNeverInsideALineBreakOrASurrogatePair) {
    const std::size_t n = LongTextCtrl::kPieceLength;
    const std::wstring a(n, L'a'), b(n, L'b'), longer = b + L"bbbbb";
    const wchar_t pair[] = {0xD83D, 0xDE00, 0};  // one character outside the basic plane
    const struct {
        const char* what;
        std::wstring text, pieces;
    } cases[] = {
        {"empty", L"", L""},
        {"short paragraphs, however long the text", a + L"\r\n" + b + L"\r\n" + a, L""},
        {"a paragraph of exactly the piece length", a, L""},
        {"one character more", a + L"x", a + L"|x"},
        {"two pieces and a rest", a + b + L"c", a + L"|" + b + L"|c"},
        {"a line break at the cut stays whole", a.substr(1) + L"\r\n" + longer,
         a.substr(1) + L"|\r\n" + longer.substr(0, n - 2) + L"|" + longer.substr(n - 2)},
        {"a surrogate pair at the cut stays whole", a.substr(1) + pair + longer,
         a.substr(1) + L"|" + pair + longer.substr(0, n - 2) + L"|" + longer.substr(n - 2)},
    };
    for (const auto& c : cases) EXPECT_TRUE(Cut(c.text) == c.pieces) << c.what;
}

}  // namespace
