// The module's own manifest themes its dialog in a host that has none: this test program carries
// no manifest, so without the module's the dialog would get the old controls of user32. The host
// side looks at the dialog from a timer of its thread while the dialog's loop runs, as a host's
// own windows would, then cancels it. And filterhost.exe carries a manifest of its own.
#include "hostsim/filter_run.h"
#include "hostsim/host_session.h"
#include "hostsim/plugin_module.h"
#include "tests/host/lifecycle/child_process.h"

#include "window_input.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

namespace {

using namespace window_input;

constexpr int kWidthText = 10010;  // the dialog's controls by window id
constexpr int kCancel = 5101;

// The step the timer runs on each tick: a timer of the thread carries no context of its own.
std::function<void()> gTick;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (gTick) gTick();
}

HWND FindVisibleTopWindow(const wchar_t* title) {
    struct Search {
        const wchar_t* title;
        HWND found;
    } search{title, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t text[64] = {};
            GetWindowTextW(window, text, 64);
            if (!IsWindowVisible(window) || wcscmp(text, s->title) != 0) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST(ModuleManifest, TheDialogHasTheThemedControlsInAHostWithoutAManifest) {
    ASSERT_EQ(FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)), nullptr)
        << "this test program must have no manifest of its own";
    // The dialog waits for the host side here: no batch run. Set before the module is loaded,
    // whose runtime takes its own copy of the environment.
    lifecycle::UnsetEnvironment("TELLORA_BATCH");
    const auto module = hostsim::PluginModule::Load(TELLORA_MODULE_PATH);
    hostsim::HostOptions options;
    options.makeHostWindow = true;
    hostsim::Document document;
    document.width = document.height = 0;
    hostsim::HostSession session(options, document);

    bool themedButton = false;
    std::string widthAfterSelectAll = "(the dialog was not found)";
    int ticks = 0;
    HWND width = nullptr;
    gTick = [&] {
        ++ticks;
        HWND dialog = FindVisibleTopWindow(L"Tellora");
        if (!dialog) return;
        HWND cancel = FindChild(dialog, kCancel);
        if (!width) {
            // A button of the version 6 controls knows its ideal size; user32's knows no such
            // message.
            SIZE ideal{};
            themedButton = cancel && SendMessageW(cancel, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)) &&
                           ideal.cx > 0;
            // Ctrl+A in a field selects all of it, so that a typed digit replaces the number.
            width = FindChild(dialog, kWidthText);
            if (!width) return;
            SetForegroundWindow(dialog);
            SetFocus(width);
            Press(VK_END);
            Press('A', false, true);
            Type("7");
            return;
        }
        widthAfterSelectAll = TextOf(width);
        if (widthAfterSelectAll != "7" && ticks < 100) return;
        gTick = nullptr;
        SendMessageW(cancel, BM_CLICK, 0, 0);
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, Tick);
    hostsim::FilterRun run(*module, session);
    hostsim::RunOptions runOptions;
    runOptions.playInfo = plugInDialogDisplay;
    runOptions.keepState = false;
    const hostsim::RunReport report = run.Run(runOptions);
    KillTimer(nullptr, timer);
    gTick = nullptr;

    EXPECT_EQ(report.result, userCanceledErr);
    EXPECT_TRUE(themedButton) << "the dialog's buttons are user32's, not the common controls version 6";
    EXPECT_EQ(widthAfterSelectAll, "7") << "Ctrl+A did not select the field's number";
}

TEST(ModuleManifest, FilterHostCarriesAManifestForTheCommonControls) {
    const std::wstring path(FILTERHOST_PATH, FILTERHOST_PATH + sizeof FILTERHOST_PATH - 1);
    HMODULE image = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(image, nullptr);
    HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr) << "filterhost.exe has no manifest";
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(image, found)));
    const std::string manifest(bytes, SizeofResource(image, found));
    FreeLibrary(image);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos) << manifest;
}

}  // namespace
