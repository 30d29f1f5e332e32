// Enter in the plug-in's dialog under real key presses (SendInput), in a GUI-subsystem host with
// nobody at a terminal: in a number field it takes the number and then presses OK, in the zoom
// field it zooms and the dialog stays, in the multi-line text it starts a new line. A number
// corrected with a box when a click on OK leaves its field leaves the dialog answering the next
// key and click.
#include "tests/gui/input/attended_host.h"

#include "hostsim/state_folder.h"

#include "window_input.h"

#include <string>

namespace attended {
namespace {

using namespace window_input;

// Clicks into the field `id` and selects what it shows, as a user about to type over it.
void ClickAndSelect(AttendedHost& host, int id) {
    ASSERT_TRUE(host.Click(id));
    Press(VK_HOME);
    Press(VK_END, true);
}

// The end of the run once `text` is typed over the field `id` and `key` pressed.
lifecycle::ProcessResult TypeAndPress(AttendedHost& host, int id, const std::string& text, WORD key) {
    ClickAndSelect(host, id);
    Type(text);
    Press(key);
    return host.process().Wait(60000);
}

// The first window on screen in the host that `match` gives for one of its top-level windows.
template <class Match>
HWND FindInHost(DWORD process, Match match) {
    struct Search {
        DWORD process;
        Match& match;
        HWND found;
    } search{process, match, nullptr};
    EnumWindows(
        [](HWND top, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(top, &owner);
            if (owner == s->process && IsWindowVisible(top)) s->found = s->match(top);
            return s->found ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The control with the window id in the host's dialog.
HWND FindControl(DWORD process, int id) {
    return FindInHost(process, [id](HWND top) { return FindChild(top, id); });
}

class DialogKeys : public AttendedTest {};

TEST_F(DialogKeys, EnterInANumberFieldTakesTheNumberAndThenPressesOk) {
    const std::string record = (folder / "record.txt").string();
    AttendedHost host(folder, "--record " + lifecycle::QuotedProgram(record));
    ASSERT_TRUE(host.WaitForDialog()) << host.process().Output();
    const lifecycle::ProcessResult run = TypeAndPress(host, kWidthText, "150", VK_RETURN);
    EXPECT_NE(run.output.find("result 0\n"), std::string::npos) << run.output;
    const std::optional<std::string> recorded = hostsim::ReadStateFile(record);
    ASSERT_TRUE(recorded) << run.output;
    EXPECT_NE(recorded->find("'#Prc' 150  # ellipseWidth"), std::string::npos) << *recorded;
}

TEST_F(DialogKeys, EnterInTheZoomFieldZoomsAndInTheTextStartsALineAndTheDialogStays) {
    AttendedHost host(folder, "");
    ASSERT_TRUE(host.WaitForDialog()) << host.process().Output();
    const DWORD process = DWORD(host.process().Id());
    HWND zoom = FindControl(process, kZoomText), text = FindControl(process, kText);
    ASSERT_TRUE(zoom && text);

    ClickAndSelect(host, kZoomText);
    Type("50");
    Press(VK_RETURN);
    // "+" steps up from the zoom the field asked for: from 50 % to 100 %. Had Enter not zoomed,
    // it would step from 100 % to 200 %; had it pressed OK, the run would be over.
    ASSERT_TRUE(host.Click(kZoomIn));
    EXPECT_TRUE(WaitFor([&] { return TextOf(zoom) == "100.00" || !host.process().Running(); }, 30000) &&
                host.process().Running())
        << TextOf(zoom) << "\n" << host.process().Output();

    ASSERT_TRUE(host.Click(kText));
    Press(VK_END, false, true);
    Type("ab");
    Press(VK_RETURN);
    Type("c");
    EXPECT_TRUE(WaitFor([&] { return TextOf(text) == "Textab\r\nc" || !host.process().Running(); }, 30000) &&
                host.process().Running())
        << TextOf(text) << "\n" << host.process().Output();

    ASSERT_TRUE(host.Click(kCancel));
    const lifecycle::ProcessResult run = host.process().Wait(60000);
    EXPECT_NE(run.output.find("result -128\n"), std::string::npos) << run.output;
    EXPECT_EQ(run.exitCode, 3) << run.output;
}

// -5 in Height and a click on OK: the box corrects the entry and takes that click. Once Enter
// closes it, the dialog answers the very next key or click: Escape and Cancel end the run, and
// OK, with nothing left to correct, applies the corrected height.
TEST_F(DialogKeys, AfterTheBoxOfAClickOnOkTheDialogAnswersTheNextKeyOrClick) {
    for (const int answer : {VK_ESCAPE, kCancel, kOk}) {
        SCOPED_TRACE(answer);
        const auto run = folder / std::to_string(answer);
        AttendedHost host(run, "--record " + lifecycle::QuotedProgram((run / "record.txt").string()));
        ASSERT_TRUE(host.WaitForDialog()) << host.process().Output();
        const DWORD process = DWORD(host.process().Id());
        ClickAndSelect(host, kHeightText);
        Type("-5");
        ASSERT_TRUE(host.Click(kOk));
        const auto activeBox = [](HWND top) {
            return TextOf(top) == "Input error" && GetForegroundWindow() == top ? top : nullptr;
        };
        HWND box = nullptr;
        WaitFor([&] { return (box = FindInHost(process, activeBox)) || !host.process().Running(); }, 30000);
        ASSERT_TRUE(box) << host.process().Output();
        Press(VK_RETURN);  // to the box, which has the keyboard
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }, 30000));
        EXPECT_FALSE(SendMessageW(FindControl(process, kOk), BM_GETSTATE, 0, 0) & BST_PUSHED) << "OK held down";
        if (answer == VK_ESCAPE)
            Press(VK_ESCAPE);
        else
            ASSERT_TRUE(host.Click(answer));
        const lifecycle::ProcessResult result = host.process().Wait(60000);
        EXPECT_NE(result.output.find(answer == kOk ? "result 0\n" : "result -128\n"), std::string::npos)
            << result.output;
        if (answer == kOk) {
            const std::string recorded = hostsim::ReadStateFile((run / "record.txt").string()).value_or("");
            EXPECT_NE(recorded.find("'#Prc' 0  # ellipseHeight"), std::string::npos) << recorded;
        }
    }
}

// Escape with an entry still to correct cancels at once: a dialog that is gone gets no box.
TEST_F(DialogKeys, EscapeWithAnEntryToCorrectCancelsAtOnce) {
    AttendedHost host(folder, "");
    ASSERT_TRUE(host.WaitForDialog()) << host.process().Output();
    const lifecycle::ProcessResult run = TypeAndPress(host, kHeightText, "-5", VK_ESCAPE);
    EXPECT_NE(run.output.find("result -128\n"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace attended
