// Shared by the end-to-end bubble tests: the real module run through hostsim with scripted
// values and no dialog, documents with known content, samples read as the host stores them,
// and where the chosen bubble must lie in a frame.
#pragma once
#include "hostsim/color_engine.h"
#include "hostsim/filter_run.h"
#include "hostsim/host_session.h"
#include "hostsim/pixel_document.h"
#include "hostsim/pixel_host.h"
#include "hostsim/plugin_module.h"

#include "pluginapi/color_space.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace bubble_host {

using namespace hostsim;

inline const std::string kModulePath = TELLORA_MODULE_PATH;

// On Windows there always is one.
inline bool HasDisplay() {
#ifdef _WIN32
    return true;
#else
    const char* display = std::getenv("DISPLAY");
    return display && *display;
#endif
}

inline void SetEnvironment(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

// Loaded once for the whole binary, as a host keeps a filter loaded between uses.
inline const PluginModule& Module() {
    static const std::unique_ptr<PluginModule> module = PluginModule::Load(kModulePath);
    return *module;
}

// ---------------------------------------------------------------------------------------------
// Samples as the host stores them: 0..255, 0..32768, float 0..1.

inline double Sample(const Plane& plane, int32 x, int32 y) {
    const uint8* p = plane.At(x, y);
    switch (plane.depth()) {
        case 8:
            return *p;
        case 16: {
            uint16 v;
            std::memcpy(&v, p, 2);
            return v;
        }
        default: {
            float v;
            std::memcpy(&v, p, 4);
            return v;
        }
    }
}

inline double MaxSample(int32 depth) { return depth == 8 ? 255.0 : depth == 16 ? 32768.0 : 1.0; }

// The stored sample of a colour byte where the bubble covers a pixel fully.
inline double AtDepth(int byte, int32 depth) {
    if (depth == 8) return byte;
    if (depth == 16) return double(unsigned(byte) * 32768u / 255u);
    return double(float(byte) / 255.0f);
}

// How far a sample may be from an exact value: none at 8 and 16 bits; at 32 bits the float
// blend (times 255, divided by 255) may round the last bit.
inline double Slack(int32 depth) { return depth == 32 ? 2e-7 : 0.0; }

struct Rgb {
    int r, g, b;
    int Gray() const { return (r + g + b) / 3; }
    std::string Setting() const { return std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b); }
};

// ---------------------------------------------------------------------------------------------
// The bubble the tests draw. Positions are multiples of 12.5 % and frames multiples of 8 pixels,
// so that every place below is a whole pixel without rounding.

struct BubbleLook {
    int shape = 0;  // 0 ellipse, 1 rounded rectangle
    int width = 120;
    int height = 80;
    int edge = 6;  // visible edge line outside the body
    int pointerLine = 2;
    int pointerHalfBase = 12;
    Rgb fill{255, 102, 0};
    Rgb edgeColor{0, 51, 255};
    Rgb textColor{0, 153, 0};
    // Two lines centred in the body: the gap between them lies on the body's centre.
    std::string text = "A\nB";
    int fontSize = 14;
    int fontWeight = 2;  // bold: stems several pixels wide, so some text pixels are fully covered

    Settings ToSettings() const {
        return {{"ellipseChoice", std::to_string(shape)},
                {"ellipseWidth", std::to_string(width)},
                {"ellipseHeight", std::to_string(height)},
                {"indicatorWidth", std::to_string(pointerHalfBase)},
                {"edgeThickness", std::to_string(edge)},
                {"indicatorThickness", std::to_string(pointerLine)},
                {"bubblefillColor", fill.Setting()},
                {"edgeColor", edgeColor.Setting()},
                {"Text", text},
                {"TextColor", textColor.Setting()},
                {"xPosition", "25"},
                {"yPosition", "25"},
                {"xindiPosition", "87.5"},
                {"yindiPosition", "87.5"},
                {"boundingBox", "true"},
                {"fontSize", std::to_string(fontSize)},
                {"fontFacename", "Arial"},
                {"fontFamily", "4"},
                {"fontStyle", "0"},
                {"fontWeight", std::to_string(fontWeight)},
                {"fontUnderline", "false"}};
    }
};

// Where the bubble lies in a frame (the filter rectangle: the selection's bounds, or the
// whole document).
struct Placement {
    int32 left, top, right, bottom;  // body
    int32 centreX, centreY;
    int32 tipX, tipY;

    // Every pixel the bubble may colour lies within `margin` of the body grown by its edge
    // line, or of the box around the pointer's triangle.
    bool Reachable(int32 x, int32 y, const BubbleLook& look, int32 margin) const {
        const int32 e = look.edge + margin;
        if (x >= left - e && x < right + e && y >= top - e && y < bottom + e) return true;
        const int32 p = look.pointerHalfBase + look.pointerLine + margin;
        return x >= std::min(centreX, tipX) - p && x < std::max(centreX, tipX) + p &&
               y >= std::min(centreY, tipY) - p && y < std::max(centreY, tipY) + p;
    }
};

inline Placement Place(const VRect& frame, const BubbleLook& look) {
    const int32 w = frame.right - frame.left, h = frame.bottom - frame.top;
    Placement p;
    p.left = frame.left + w / 4;
    p.top = frame.top + h / 4;
    p.right = p.left + look.width;
    p.bottom = p.top + look.height;
    p.centreX = p.left + look.width / 2;
    p.centreY = p.top + look.height / 2;
    p.tipX = frame.left + w * 7 / 8;
    p.tipY = frame.top + h * 7 / 8;
    return p;
}

// ---------------------------------------------------------------------------------------------
// Documents.

// A value in 0..1 that differs from pixel to pixel and plane to plane: a gradient with noise.
inline double Texture(int32 x, int32 y, int plane, int32 width, int32 height) {
    uint32_t h = uint32_t(x) * 73856093u ^ uint32_t(y) * 19349663u ^ uint32_t(plane + 11) * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    const double gradient = plane % 2 ? double(x) / width : double(y) / height;
    return std::clamp(0.6 * gradient + 0.4 * (h % 1001u) / 1000.0, 0.0, 1.0);
}

enum class Content { Black, White, Textured };

inline const char* ContentName(Content c) {
    return c == Content::Black ? "black" : c == Content::White ? "white" : "textured";
}

// A one-layer document; black and white fill every plane (transparency too) with 0 or the
// maximum, textured gives every sample its own value (transparency from 0 to opaque). CMYK
// gets colours an RGB image can hold, so that the trip through RGB has a fixed point to keep.
inline std::unique_ptr<PixelDocument> MakeDocument(int32 width, int32 height, int16 mode, bool transparency,
                                                   Content content, ColorEngine& engine) {
    auto doc = std::make_unique<PixelDocument>(width, height, mode, transparency);
    Layer& layer = doc->target();
    const bool cmyk = doc->model() == ColorModel::CMYK;
    for (int32 y = 0; y < height; ++y) {
        for (int32 x = 0; x < width; ++x) {
            double colour[4] = {0, 0, 0, 0};
            for (int p = 0; p < 4; ++p)
                colour[p] = content == Content::Black   ? 0.0
                            : content == Content::White ? 1.0
                                                        : Texture(x, y, p, width, height);
            if (cmyk) {
                double ink[4];
                engine.Convert(plugIncolorServicesRGBSpace, plugIncolorServicesCMYKSpace, colour, ink, 1);
                std::copy(ink, ink + 4, colour);
            }
            for (int p = 0; p < doc->colorPlanes(); ++p) layer.color[std::size_t(p)].SetUnit(x, y, colour[p]);
            if (layer.transparency)
                layer.transparency->SetUnit(x, y,
                                            content == Content::Textured ? Texture(x, y, 7, width, height) : colour[0]);
        }
    }
    doc->MarkChanged();
    return doc;
}

inline std::vector<Plane> Snapshot(const PixelDocument& doc) {
    std::vector<Plane> planes;
    for (int p = 0; p < doc.target().planeCount(); ++p) planes.push_back(doc.target().plane(p));
    return planes;
}

// ---------------------------------------------------------------------------------------------
// The documents of the tests: 320 x 200, and a selection that is a rectangle with its
// top-right corner cut away, over part of the bubble.

constexpr int32 kWidth = 320;
constexpr int32 kHeight = 200;
constexpr VRect kSelection{24, 40, 184, 280};
constexpr VRect kCutAway{24, 200, 80, 280};
// Pixels outside the selection.
constexpr int32 kUnselectedPixels = kWidth * kHeight - 240 * 160 + 80 * 56;

inline void Select(PixelDocument& doc) {
    doc.SelectRect(kSelection);
    Plane& mask = *doc.selection();
    for (int32 y = kCutAway.top; y < kCutAway.bottom; ++y)
        for (int32 x = kCutAway.left; x < kCutAway.right; ++x) *mask.At(x, y) = 0;
}

inline bool Selected(const PixelDocument& doc, int32 x, int32 y) {
    return !doc.hasSelection() || *doc.selection()->At(x, y) == 255;
}

struct Mode {
    int16 mode;
    const char* name;
};
// The modes the bubble is drawn into directly: gray and RGB at every depth.
inline const Mode kDirectModes[] = {{plugInModeGrayScale, "Gray8"}, {plugInModeGray16, "Gray16"},
                                    {plugInModeGray32, "Gray32"},   {plugInModeRGBColor, "RGB8"},
                                    {plugInModeRGB48, "RGB16"},     {plugInModeRGB96, "RGB32"}};

// How the bubble covers each pixel, told from one run over black and one over white (every
// plane 0, every plane the maximum): untouched where both kept their samples, fully covered
// where both came out the same, since then the source played no part.
enum class Cover : uint8_t { None, Partial, Full };

class CoverMap {
public:
    CoverMap() = default;
    CoverMap(const PixelDocument& black, const std::vector<Plane>& blackBefore, const PixelDocument& white,
             const std::vector<Plane>& whiteBefore)
        : width_(black.width()), cover_(std::size_t(black.width()) * std::size_t(black.height()), Cover::None) {
        for (int32 y = 0; y < black.height(); ++y) {
            for (int32 x = 0; x < black.width(); ++x) {
                bool kept = true, same = true;
                for (int p = 0; p < black.target().planeCount(); ++p) {
                    const double low = Sample(black.target().plane(p), x, y);
                    const double high = Sample(white.target().plane(p), x, y);
                    kept = kept && low == Sample(blackBefore[std::size_t(p)], x, y) &&
                           high == Sample(whiteBefore[std::size_t(p)], x, y);
                    same = same && low == high;
                }
                cover_[Index(x, y)] = kept ? Cover::None : same ? Cover::Full : Cover::Partial;
            }
        }
    }
    Cover at(int32 x, int32 y) const { return cover_[Index(x, y)]; }
    int Count(Cover c) const { return int(std::count(cover_.begin(), cover_.end(), c)); }

private:
    std::size_t Index(int32 x, int32 y) const { return std::size_t(y) * std::size_t(width_) + std::size_t(x); }
    int32 width_ = 0;
    std::vector<Cover> cover_;
};

// ---------------------------------------------------------------------------------------------
// Runs.

struct RunSetup {
    PixelProtocol protocol = PixelProtocol::Ports;
    int32 tileWidth = 64;
    int32 tileHeight = 64;
};

// One use of the filter on `doc` with `look` scripted and no dialog; records a failure when
// the run does not succeed or leaves anything behind. Returns whether it succeeded.
inline bool RunBubble(PixelDocument& doc, const BubbleLook& look, const RunSetup& setup = {}) {
    HostSession session;
    PixelHostOptions options;
    options.protocol = setup.protocol;
    options.tileWidth = setup.tileWidth;
    options.tileHeight = setup.tileHeight;
    PixelHost host(session, doc, options);
    FilterRun run(Module(), session);
    RunOptions runOptions;
    runOptions.settings = look.ToSettings();
    runOptions.playInfo = plugInDialogDontDisplay;
    runOptions.keepState = false;
    const RunReport report = run.Run(runOptions);

    EXPECT_TRUE(report.succeeded) << "result " << report.result << " " << report.errorText;
    EXPECT_EQ(report.result, noErr);
    EXPECT_TRUE(report.Called(filterSelectorStart));
    for (const std::string& problem : report.problems) ADD_FAILURE() << "run problem: " << problem;
    for (const std::string& problem : session.problems().entries()) ADD_FAILURE() << "host problem: " << problem;
    EXPECT_FALSE(host.outstanding().any()) << host.outstanding().Describe();
    EXPECT_EQ(session.LeakedHandles(), 0u);
    EXPECT_EQ(session.basicSuite().OutstandingAcquires(), 0);
    return report.succeeded && report.problems.empty() && session.problems().empty() && !host.outstanding().any();
}

// Registry and host state of the plug-in go to the test's temporary folder, not the user's.
class PrivateStateEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        root_ = ::testing::TempDir() + "bubble_host_" + std::to_string(::getpid());
        std::filesystem::create_directories(root_);
        SetEnvironment("TELLORA_REGISTRY_ROOT", root_ + "/registry");
        SetEnvironment("TELLORA_HOSTSIM_STATE", root_ + "/state");
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

private:
    std::string root_;
};

inline ::testing::Environment* const kPrivateState = ::testing::AddGlobalTestEnvironment(new PrivateStateEnvironment);

// A test of the module's drawing: skipped without a display, which the toolkit needs.
#define REQUIRE_DISPLAY()                                                    \
    do {                                                                     \
        if (!::bubble_host::HasDisplay()) GTEST_SKIP() << "needs a display"; \
    } while (0)

}  // namespace bubble_host
