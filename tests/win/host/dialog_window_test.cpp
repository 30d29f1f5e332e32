// The dialog in filterhost.exe, resized for real through the window system: when it opens and
// after a restore from maximised, the preview shows the picture placed for the panel's size then
// (centred, and as large as fits or at full size), and the restored dialog lies within the work
// area. The host side finds the dialog's window, changes its state and reads its pixels from
// the screen, then presses Cancel.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kPreviewId = 10000;
constexpr int kCancelId = 5101;

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

// filterhost.exe with the dialog on the sample, no TELLORA_BATCH: it waits for a person.
class DialogWindow : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() / ("dialog_window_" + std::to_string(GetCurrentProcessId()));
        std::filesystem::create_directories(folder);
        const std::wstring command = L"\"" + Wide(FILTERHOST_PATH) + L"\" run \"" + Wide(TELLORA_MODULE_PATH) +
                                     L"\" --dialog --in \"" + Wide(TELLORA_SAMPLE_PATH) + L"\" --out \"" +
                                     (folder / "out.png").wstring() + L"\"";
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        nul = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
        log = CreateFileW((folder / "log.txt").wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                          CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nul;
        startup.hStdOutput = startup.hStdError = log;
        SetEnvironmentVariableW(L"TELLORA_BATCH", nullptr);
        SetEnvironmentVariableW(L"TELLORA_HOSTSIM_STATE", (folder / "state").wstring().c_str());
        std::vector<wchar_t> line(command.begin(), command.end());
        line.push_back(0);
        ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child));
        SetEnvironmentVariableW(L"TELLORA_BATCH", L"1");
    }
    void TearDown() override {
        if (child.hProcess) {
            if (WaitForSingleObject(child.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(child.hProcess, 1);
            CloseHandle(child.hProcess);
            CloseHandle(child.hThread);
        }
        if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
        if (log != INVALID_HANDLE_VALUE) CloseHandle(log);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    HWND WaitForDialog() {
        for (int i = 0; i < 600; ++i) {
            HWND dialog = FindWindowW(nullptr, L"Tellora");
            if (dialog && IsWindowVisible(dialog) && GetDlgItem(dialog, kPreviewId)) return dialog;
            Sleep(50);
        }
        return nullptr;
    }
    std::string Output() {
        std::ifstream in(folder / "log.txt");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::filesystem::path folder;
    PROCESS_INFORMATION child{};
    HANDLE nul = INVALID_HANDLE_VALUE, log = INVALID_HANDLE_VALUE;
};

// Whether the preview shows the picture placed for the panel's present size, read from the
// screen: the box around its pixels that are not black (the picture and its grey outline) is
// centred in the panel, and either spans the panel one way or shows the 480 x 300 sample whole.
bool PicturePlaced(HWND preview, std::string& seen) {
    RECT client;
    GetClientRect(preview, &client);
    const int w = client.right, h = client.bottom;
    if (w <= 8 || h <= 8) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    POINT origin{0, 0};
    ClientToScreen(preview, &origin);
    HDC screen = GetDC(nullptr);  // what is on the screen, as a person sees it
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    int left = w, top = h, right = -1, bottom = -1;
    const auto* pixels = static_cast<const uint32_t*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (pixels[y * w + x] & 0xFFFFFF) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
                top = std::min(top, y);
                bottom = std::max(bottom, y + 1);
            }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::ostringstream text;
    text << "panel " << w << " x " << h << ", picture " << left << "," << top << " to " << right << "," << bottom;
    seen = text.str();
    if (right < 0) return false;
    const bool centred = std::abs(left - (w - right)) <= 3 && std::abs(top - (h - bottom)) <= 3;
    const bool large = w - (right - left) <= 4 || h - (bottom - top) <= 4 || (right - left >= 480 && bottom - top >= 300);
    return centred && large;
}

bool WaitForPicture(HWND preview, std::string& seen) {
    for (int i = 0; i < 200; ++i) {
        if (PicturePlaced(preview, seen)) return true;
        Sleep(50);
    }
    return false;
}

TEST_F(DialogWindow, ThePreviewFollowsTheWindowAndTheRestoredDialogFitsTheWorkArea) {
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr) << "no dialog: " << Output();
    HWND preview = GetDlgItem(dialog, kPreviewId);
    std::string seen;
    EXPECT_TRUE(WaitForPicture(preview, seen)) << "as it opened: " << seen;

    ShowWindow(dialog, SW_RESTORE);
    EXPECT_TRUE(WaitForPicture(preview, seen)) << "restored: " << seen;
    RECT placed, area;
    GetWindowRect(dialog, &placed);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_TRUE(placed.left >= area.left && placed.top >= area.top && placed.right <= area.right &&
                placed.bottom <= area.bottom)
        << "restored to " << placed.left << "," << placed.top << " to " << placed.right << "," << placed.bottom
        << " in a work area " << area.right << " x " << area.bottom;

    PostMessageW(GetDlgItem(dialog, kCancelId), BM_CLICK, 0, 0);
    ASSERT_EQ(WaitForSingleObject(child.hProcess, 30000), WAIT_OBJECT_0) << "the dialog did not close";
    EXPECT_NE(Output().find("result -128"), std::string::npos) << Output();
    DWORD exitCode = 0;
    EXPECT_TRUE(GetExitCodeProcess(child.hProcess, &exitCode) && exitCode == 3) << exitCode << " " << Output();
}

}  // namespace
