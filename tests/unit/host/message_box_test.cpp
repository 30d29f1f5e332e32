#include "host/host.h"
#include "win32/message_box.h"

#include <gtest/gtest.h>

using namespace Corvantis::Host::PS;

namespace {

// Shows one box with the adapter's flags and returns the system box type it became.
UINT TypeFor(uint32 flags, void* owner = reinterpret_cast<void*>(0x1)) {
    UINT type = 0xFFFFFFFF;
    SetMessageBoxObserver([&](const MessageBoxRecord& box) {
        type = box.type;
        return IDOK;
    });
    ShowMessageBox(owner, "text", "caption", flags);
    SetMessageBoxObserver(nullptr);
    return type;
}

TEST(ShowMessageBox, ButtonsFollowTheFlagTable) {
    EXPECT_EQ(TypeFor(0), MB_OK);
    EXPECT_EQ(TypeFor(0x1), MB_OK);
    EXPECT_EQ(TypeFor(0x1 | 0x4), MB_OKCANCEL);
    EXPECT_EQ(TypeFor(0x2), MB_YESNO);
    EXPECT_EQ(TypeFor(0x2 | 0x20), MB_YESNO | MB_DEFBUTTON2);
    EXPECT_EQ(TypeFor(0x2 | 0x4 | 0x20), MB_YESNOCANCEL | MB_DEFBUTTON2);
    EXPECT_EQ(TypeFor(0x1 | 0x2), MB_OK) << "OK replaces Yes/No";
    EXPECT_EQ(TypeFor(0x1 | 0x2 | 0x20), MB_OK) << "OK drops the second-button default too";
}

TEST(ShowMessageBox, IconsTakeTheFirstOfWarningErrorInformationQuestion) {
    EXPECT_EQ(TypeFor(0x1000 | 0x2000 | 0x4000 | 0x8000), MB_ICONEXCLAMATION);
    EXPECT_EQ(TypeFor(0x2000 | 0x4000 | 0x8000), MB_ICONHAND);
    EXPECT_EQ(TypeFor(0x4000 | 0x8000), MB_ICONASTERISK);
    EXPECT_EQ(TypeFor(0x4000), MB_ICONQUESTION);
    EXPECT_EQ(TypeFor(0x2001, nullptr), MB_OK | MB_ICONHAND | MB_TASKMODAL);
}

TEST(ShowMessageBox, AnswersMapToOneTwoThree) {
    for (auto [answer, expected] : {std::pair{IDOK, 1}, {IDYES, 1}, {IDCANCEL, 2}, {IDNO, 3}, {99, 1}}) {
        SetMessageBoxObserver([answer = answer](const MessageBoxRecord&) { return answer; });
        EXPECT_EQ(ShowMessageBox(nullptr, "t", "c", 0x2 | 0x4), expected);
    }
    SetMessageBoxObserver(nullptr);
}

TEST(MessageBoxW, ShowsItsWideTextsAsTheNarrowBoxShowsUtf8) {
    std::string shown;
    SetMessageBoxObserver([&](const MessageBoxRecord& box) {
        shown = box.caption + ": " + box.text;
        return IDNO;
    });
    EXPECT_EQ(MessageBoxW(nullptr, L"Gr\u00fc\u00dfe \u5317", L"\u00c4", MB_YESNO), IDNO);
    SetMessageBoxObserver(nullptr);
    EXPECT_EQ(shown, "\xc3\x84: Gr\xc3\xbc\xc3\x9f" "e \xe5\x8c\x97");
}

TEST(ShowMessageBox, NonInteractiveBoxAnswersItsDefaultButton) {
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_OK), IDOK);
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_YESNOCANCEL), IDYES);
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    // With no observer and no interactive session the box prints and answers by itself.
    EXPECT_EQ(ShowMessageBox(nullptr, "printed", "Batch", 0x2 | 0x20), 3);
}

}  // namespace
