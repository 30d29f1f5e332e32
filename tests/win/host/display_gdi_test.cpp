// The Windows side of the host's drawing and window: displayPixels onto a device context, and
// the top-level window handed to the plug-in as its dialog's parent.
#include "hostsim/color_engine.h"
#include "hostsim/host_window.h"
#include "hostsim/pixel_display.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <vector>

using hostsim::DisplayPixelMap;
using hostsim::ProblemLog;

namespace {

using RGB = std::array<int, 3>;
constexpr int kWidth = 32, kHeight = 24;
constexpr RGB kBackdrop{255, 0, 255};

// A 32-bit top-down DIB section selected into a memory DC, filled with the backdrop.
class Canvas : public ::testing::Test {
protected:
    void SetUp() override {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        ASSERT_TRUE(dc_ && bitmap_ && bits_);
        old_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < kWidth * kHeight; ++i) bits_[i] = 0x00FF00FFu;
    }
    void TearDown() override {
        if (old_) SelectObject(dc_, old_);
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
    }

    RGB At(int x, int y) const {
        GdiFlush();
        const uint32_t v = bits_[y * kWidth + x];
        return {int((v >> 16) & 255), int((v >> 8) & 255), int(v & 255)};
    }

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
    ProblemLog problems_;
};

PSPixelMap Map(int32 mode, void* base, int32 rowBytes, int32 colBytes, int32 planeBytes) {
    PSPixelMap map{};
    map.version = 1;
    map.bounds = VRect{10, 20, 13, 24};
    map.imageMode = mode;
    map.rowBytes = rowBytes;
    map.colBytes = colBytes;
    map.planeBytes = planeBytes;
    map.baseAddr = base;
    return map;
}

}  // namespace

TEST_F(Canvas, PixelsLandAtTheDestinationAndNothingElseChanges) {
    // 4 x 3 interleaved RGB: pixel (row, col) is (10 row + col, 100 + row, 200 + col).
    std::vector<uint8> rgb(4 * 3 * 3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) {
            rgb[std::size_t((r * 4 + c) * 3)] = uint8(10 * r + c);
            rgb[std::size_t((r * 4 + c) * 3 + 1)] = uint8(100 + r);
            rgb[std::size_t((r * 4 + c) * 3 + 2)] = uint8(200 + c);
        }
    const PSPixelMap map = Map(plugInModeRGBColor, rgb.data(), 12, 3, 1);
    ASSERT_EQ(DisplayPixelMap(&map, &map.bounds, 2, 5, dc_, nullptr, problems_), noErr);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(At(5 + c, 2 + r), (RGB{10 * r + c, 100 + r, 200 + c})) << r << "," << c;
    EXPECT_EQ(At(4, 2), kBackdrop);
    EXPECT_EQ(At(9, 2), kBackdrop);
    EXPECT_EQ(At(5, 1), kBackdrop);
    EXPECT_EQ(At(5, 5), kBackdrop);

    // CMYK through the colour engine: full black ink is black, no ink is white.
    std::vector<uint8> cmyk(12 * 4, 0);
    cmyk[3] = 255;
    hostsim::ColorEngine engine;
    const PSPixelMap inks = Map(plugInModeCMYKColor, cmyk.data(), 16, 4, 1);
    ASSERT_EQ(DisplayPixelMap(&inks, &inks.bounds, 0, 0, dc_, &engine, problems_), noErr);
    EXPECT_EQ(At(0, 0), (RGB{0, 0, 0}));
    EXPECT_EQ(At(1, 0), (RGB{255, 255, 255}));
    EXPECT_TRUE(problems_.empty());
}

TEST_F(Canvas, AContextThatIsNoDeviceContextIsRefused) {
    std::vector<uint8> gray(12, 7);
    const PSPixelMap map = Map(plugInModeGrayScale, gray.data(), 4, 1, 1);
    // A window handle, not a DC: what a plug-in that mixes them up would pass.
    HWND desktop = GetDesktopWindow();
    EXPECT_EQ(DisplayPixelMap(&map, &map.bounds, 0, 0, reinterpret_cast<HDC>(desktop), nullptr, problems_), paramErr);
    ASSERT_EQ(problems_.count(), 1u);
    EXPECT_NE(problems_.entries()[0].find("not a device context"), std::string::npos) << problems_.entries()[0];
    EXPECT_EQ(At(0, 0), kBackdrop);
}

TEST(HostWindow, IsAShownTopLevelWindowThatTakesInput) {
    std::string why;
    auto window = hostsim::HostWindow::Create("filterhost test", &why);
    ASSERT_TRUE(window) << why;
    HWND hwnd = static_cast<HWND>(window->handle());
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(GetParent(hwnd), nullptr);
    EXPECT_TRUE(window->sensitive());
    EnableWindow(hwnd, FALSE);
    EXPECT_FALSE(window->sensitive()) << "a dialog disables its parent";
    EnableWindow(hwnd, TRUE);
    window.reset();
    EXPECT_FALSE(IsWindow(hwnd));
}
