// displayPixels: what lands on a cairo image surface, and what is refused.
#include "hostsim/color_engine.h"
#include "hostsim/pixel_display.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

using hostsim::DisplayLook;
using hostsim::DisplayPixelMap;
using hostsim::ProblemLog;

namespace {

using RGB = std::array<int, 3>;
constexpr RGB kBackdrop{255, 0, 255};

// A 4 x 3 image at bounds (10, 20): pixel (row, col) has red 10*row + col, green 100 + row,
// blue 200 + col (row and col counted from the bounds' corner).
RGB Expected(int row, int col) { return {10 * row + col, 100 + row, 200 + col}; }

class Display : public ::testing::Test {
protected:
    void SetUp() override {
        surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 32, 24);
        cr_ = cairo_create(surface_);
        cairo_set_source_rgb(cr_, 1, 0, 1);
        cairo_paint(cr_);
    }
    void TearDown() override {
        cairo_destroy(cr_);
        cairo_surface_destroy(surface_);
    }

    RGB At(int x, int y) {
        cairo_surface_flush(surface_);
        const auto* row = cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
        const uint32_t v = reinterpret_cast<const uint32_t*>(row)[x];
        return {int((v >> 16) & 255), int((v >> 8) & 255), int(v & 255)};
    }

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

    OSErr Show(const PSPixelMap& map, VRect src, int32 row = 2, int32 col = 5, hostsim::ColorEngine* engine = nullptr) {
        return DisplayPixelMap(&map, &src, row, col, cr_, engine, problems_);
    }

    // Shows the whole map at (2, 5) and checks every pixel and the frame around it.
    void ExpectWholeImage(const PSPixelMap& map) {
        ASSERT_EQ(Show(map, map.bounds), noErr) << (problems_.empty() ? "" : problems_.entries()[0]);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c) EXPECT_EQ(At(5 + c, 2 + r), Expected(r, c)) << r << "," << c;
        EXPECT_EQ(At(4, 2), kBackdrop);
        EXPECT_EQ(At(9, 2), kBackdrop);
        EXPECT_EQ(At(5, 1), kBackdrop);
        EXPECT_EQ(At(5, 5), kBackdrop);
    }

    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
    ProblemLog problems_;
};

std::vector<uint8> Interleaved(int colBytes) {
    std::vector<uint8> pixels(std::size_t(3 * 4 * colBytes), 7);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            for (int p = 0; p < 3; ++p) pixels[std::size_t((r * 4 + c) * colBytes + p)] = uint8(Expected(r, c)[p]);
    return pixels;
}

}  // namespace

TEST_F(Display, InterleavedAndPlanarRGBShowTheSamePixels) {
    std::vector<uint8> packed = Interleaved(3);
    ExpectWholeImage(Map(plugInModeRGBColor, packed.data(), 12, 3, 1));

    std::vector<uint8> planar(3 * 12);
    for (int p = 0; p < 3; ++p)
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c) planar[std::size_t(p * 12 + r * 4 + c)] = uint8(Expected(r, c)[p]);
    ExpectWholeImage(Map(plugInModeRGBColor, planar.data(), 4, 1, 12));
    EXPECT_TRUE(problems_.empty());
}

TEST_F(Display, PartOfTheMapGoesToTheDestinationCorner) {
    std::vector<uint8> packed = Interleaved(3);
    const PSPixelMap map = Map(plugInModeRGBColor, packed.data(), 12, 3, 1);
    ASSERT_EQ(Show(map, VRect{11, 22, 13, 23}, 0, 0), noErr);
    EXPECT_EQ(At(0, 0), Expected(1, 2));
    EXPECT_EQ(At(0, 1), Expected(2, 2));
    EXPECT_EQ(At(1, 0), kBackdrop);
}

TEST_F(Display, GrayAndConvertedModes) {
    std::vector<uint8> gray(12);
    for (int i = 0; i < 12; ++i) gray[std::size_t(i)] = uint8(i * 20);
    ASSERT_EQ(Show(Map(plugInModeGrayScale, gray.data(), 4, 1, 1), VRect{10, 20, 13, 24}), noErr);
    EXPECT_EQ(At(5, 2), (RGB{0, 0, 0}));
    EXPECT_EQ(At(8, 4), (RGB{220, 220, 220}));

    // CMYK goes through the colour engine: no ink is white, full black ink is black.
    std::vector<uint8> cmyk(12 * 4, 0);
    cmyk[3] = 255;
    hostsim::ColorEngine engine;
    const PSPixelMap map = Map(plugInModeCMYKColor, cmyk.data(), 16, 4, 1);
    EXPECT_EQ(Show(map, map.bounds, 2, 5, nullptr), errPlugInHostInsufficient);
    ASSERT_EQ(Show(map, map.bounds, 2, 5, &engine), noErr);
    EXPECT_EQ(At(5, 2), (RGB{0, 0, 0}));
    EXPECT_EQ(At(6, 2), (RGB{255, 255, 255}));
}

TEST_F(Display, MasksLayThePixelsOverTheCheckerboard) {
    std::vector<uint8> packed = Interleaved(3);
    PSPixelMap map = Map(plugInModeRGBColor, packed.data(), 12, 3, 1);
    std::vector<uint8> selection(12, 255), alpha(12, 255);
    selection[0] = 0;    // (0,0): not selected
    selection[1] = 128;  // (0,1): half selected, fully opaque
    selection[2] = 128;  // (0,2): half selected and half transparent
    alpha[2] = 128;
    PSPixelMask second{nullptr, alpha.data(), 4, 1, 0};
    PSPixelMask first{&second, selection.data(), 4, 1, 0};
    map.masks = &first;

    // Destination (0, 0): the first checker square (light) covers rows and columns 0..7.
    ASSERT_EQ(Show(map, map.bounds, 0, 0), noErr);
    const int light = DisplayLook::kCheckerLight;
    EXPECT_EQ(At(0, 0), (RGB{light, light, light}));
    const RGB full = Expected(0, 1);
    for (int p = 0; p < 3; ++p) EXPECT_NEAR(At(1, 0)[p], (full[p] * 128 + light * 127) / 255.0, 1.0);
    const RGB quarter = Expected(0, 2);
    for (int p = 0; p < 3; ++p) EXPECT_NEAR(At(2, 0)[p], (quarter[p] * 64 + light * 191) / 255.0, 1.0);
    EXPECT_EQ(At(3, 1), Expected(1, 3));

    // The squares alternate: shifted by the phase, (0, 0) falls in a dark one.
    map.maskPhaseCol = DisplayLook::kCheckerSize;
    ASSERT_EQ(Show(map, map.bounds, 0, 0), noErr);
    const int dark = DisplayLook::kCheckerDark;
    EXPECT_EQ(At(0, 0), (RGB{dark, dark, dark}));
    EXPECT_TRUE(problems_.empty());
}

TEST_F(Display, RefusesWhatItCannotShowAndDrawsNothing) {
    std::vector<uint8> packed = Interleaved(3), mask(12, 255);
    const PSPixelMap good = Map(plugInModeRGBColor, packed.data(), 12, 3, 1);
    const VRect all = good.bounds;
    EXPECT_EQ(Show(good, VRect{9, 20, 13, 24}), paramErr);   // above the bounds
    EXPECT_EQ(Show(good, VRect{10, 20, 13, 25}), paramErr);  // right of them
    EXPECT_EQ(Show(good, VRect{12, 20, 11, 24}), paramErr);  // inverted
    EXPECT_EQ(DisplayPixelMap(&good, &all, 0, 0, nullptr, nullptr, problems_), paramErr);

    PSPixelMask looping{nullptr, mask.data(), 4, 1, 0}, noData{nullptr, nullptr, 4, 1, 0};
    looping.next = &looping;
    const std::pair<OSErr, void (*)(PSPixelMap&)> broken[] = {
        {errPlugInHostInsufficient, [](PSPixelMap& m) { m.imageMode = plugInModeRGB48; }},
        {errPlugInHostInsufficient, [](PSPixelMap& m) { m.imageMode = plugInModeIndexedColor; }},
        {paramErr, [](PSPixelMap& m) { m.baseAddr = nullptr; }},
        {paramErr, [](PSPixelMap& m) { m.rowBytes = 6; }},  // rows overlap
    };
    for (const auto& [code, breakIt] : broken) {
        PSPixelMap map = good;
        breakIt(map);
        EXPECT_EQ(Show(map, all), code);
    }
    for (PSPixelMask* masks : {&looping, &noData}) {
        PSPixelMap map = good;
        map.masks = masks;
        EXPECT_EQ(Show(map, all), paramErr);
    }
    EXPECT_EQ(problems_.count(), 10u);
    EXPECT_TRUE(problems_.Contains("outside the map's bounds"));
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x) ASSERT_EQ(At(x, y), kBackdrop) << x << "," << y;

    // An empty rectangle is no fault.
    EXPECT_EQ(Show(good, VRect{11, 21, 11, 24}), noErr);
    EXPECT_EQ(problems_.count(), 10u);
}
