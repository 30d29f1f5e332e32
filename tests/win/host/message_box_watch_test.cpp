// The host's answer to the system's message boxes in unattended runs: each box is recorded
// with its owner and answered with its default button; the plug-in's About box is owned by the
// host's window.
#include "hostsim/host_session.h"
#include "hostsim/host_window.h"
#include "hostsim/message_box_watch.h"
#include "hostsim/plugin_module.h"

#include <gtest/gtest.h>

#include <windows.h>

using hostsim::MessageBoxWatch;

TEST(MessageBoxWatch, AnswersEveryBoxWithItsDefaultButton) {
    const auto window = hostsim::HostWindow::Create("owner");
    ASSERT_TRUE(window);
    HWND owner = static_cast<HWND>(window->handle());
    MessageBoxWatch watch(owner);
    EXPECT_EQ(MessageBoxA(owner, "Delete Preset ?", "", MB_OKCANCEL | MB_ICONQUESTION), IDOK);
    EXPECT_EQ(MessageBoxA(owner, "Keep it?", "Question", MB_YESNOCANCEL), IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "Replace it?", "Question", MB_YESNO | MB_DEFBUTTON2 | MB_TASKMODAL), IDNO);
    EXPECT_EQ(MessageBoxA(owner, "Line one\nLine two", "Error", MB_OK | MB_ICONHAND), IDOK);

    const auto& boxes = watch.boxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].text, "Delete Preset ?");
    EXPECT_EQ(boxes[0].caption, "");
    EXPECT_EQ(boxes[0].owner, owner);
    EXPECT_EQ(boxes[2].caption, "Question");
    EXPECT_EQ(boxes[2].owner, nullptr);
    EXPECT_EQ(boxes[2].answer, IDNO);
    EXPECT_EQ(boxes[3].caption, "Error");
    EXPECT_EQ(boxes[3].text, "Line one\nLine two");
}

TEST(MessageBoxWatch, NestedWatchesHandBackToTheOuterOne) {
    MessageBoxWatch outer(nullptr);
    {
        MessageBoxWatch inner(nullptr);
        EXPECT_EQ(MessageBoxA(nullptr, "inner", "A", MB_OK), IDOK);
        EXPECT_EQ(inner.boxes().size(), 1u);
    }
    EXPECT_EQ(MessageBoxA(nullptr, "outer", "B", MB_OK), IDOK);
    ASSERT_EQ(outer.boxes().size(), 1u);
    EXPECT_EQ(outer.boxes()[0].text, "outer");
}

TEST(AboutBox, IsTheSystemBoxOwnedByTheHostWindow) {
    ASSERT_TRUE(MessageBoxWatch::Wanted()) << "the test runs unattended (TELLORA_BATCH)";
    const auto module = hostsim::PluginModule::Load(TELLORA_MODULE_PATH);
    hostsim::HostSession session;
    hostsim::HostOptions options;
    options.makeHostWindow = true;
    session.SetOptions(options);
    ASSERT_NE(session.ownWindow(), nullptr) << session.ownWindowProblem();
    // Twice: each call starts and stops the plug-in's toolkit.
    for (int call = 0; call < 2; ++call) {
        EXPECT_EQ(session.Call(*module, filterSelectorAbout), 0);
        const auto& boxes = session.messageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "Tellora");
        EXPECT_EQ(boxes[0].text.rfind("Tellora 1.0\n", 0), 0u) << boxes[0].text;
        EXPECT_EQ(boxes[0].owner, session.ownWindow()->handle());
        EXPECT_EQ(boxes[0].answer, IDOK);
    }
}
