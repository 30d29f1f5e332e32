// Shared pieces of the viewer tests: a toolkit fixture (skipped without a display, failing on
// toolkit assertions), the plug-in with a recording tile renderer, and a panel that counts
// refreshes.
#pragma once
#include "filter/parameter_table.h"
#include "filter/tellora_plugin.h"
#include "host/image_buffer.h"
#include "ui/ps_viewer.h"
#include "ui/viewer_panel.h"
#include "viewer_fake_host.h"

#include <gtest/gtest.h>
#include <wx/init.h>

#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace PS = Corvantis::Host::PS;
namespace Param = Corvantis::Host::Param;

inline bool operator==(const VRect& a, const VRect& b) {
    return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}
inline std::ostream& operator<<(std::ostream& os, const VRect& r) {
    return os << "{t" << r.top << " l" << r.left << " b" << r.bottom << " r" << r.right << "}";
}

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) GTEST_SKIP() << "needs a display";
        int argc = 0;
        started = wxInitialize(argc, static_cast<wxChar**>(nullptr));
        ASSERT_TRUE(started);
        previous = wxSetAssertHandler(&ToolkitTest::OnAssert);
        assertions = 0;
    }
    void TearDown() override {
        if (!started) return;
        wxSetAssertHandler(previous);
        EXPECT_EQ(assertions, 0) << "toolkit assertions";
        wxUninitialize();
    }
    static void OnAssert(const wxString&, int, const wxString&, const wxString&, const wxString&) { ++assertions; }
    static inline int assertions = 0;
    bool started = false;
    wxAssertHandler_t previous = nullptr;
};

// The real plug-in whose tile renderer records every destination rectangle. Unless `bubble`
// is set it writes 255 - source instead of drawing, so that shown pixels can be predicted.
struct RecordingPlugin : TelloraPluginPS {
    explicit RecordingPlugin(viewer_test::FakeViewerHost& host) {
        Init(&host.record, false, &data, &result, "Test");
        inDialog = true;  // the preview runs while the dialog is open
    }
    void RenderTile(Parameters* list, ImageBuffer& source, ImageBuffer& destination, ImageBuffer& mask,
                    ImageBuffer* extras) override {
        renders.push_back(destination.GetRect());
        extrasSeen.clear();
        for (size_t i = 0; extras && i < extraInputs.size(); ++i) extrasSeen.push_back(extras[i].GetRect());
        if (throwOnRender) throw std::runtime_error("render failed");
        if (bubble) return TelloraPluginPS::RenderTile(list, source, destination, mask, extras);
        const VRect r = destination.GetRect();
        for (int32 y = r.top; y < r.bottom; ++y)
            for (int32 x = r.left; x < r.right; ++x)
                for (int32 p = 0; p < destination.channels; ++p)
                    *destination.SampleAt(x, y, p) = uint8(255 - *source.SampleAt(x, y, p));
    }
    PS::Rect MapInputRect(Parameters*, const PS::Rect& output, const PS::Rect&,
                          std::vector<PS::LayerRequest>& requests) override {
        requests = extraInputs;
        return output;
    }
    std::vector<VRect> renders;
    std::vector<PS::LayerRequest> extraInputs;  // listed by the input mapping
    std::vector<VRect> extrasSeen;              // the extra buffers' rectangles at the last render
    bool bubble = false;
    bool throwOnRender = false;
    intptr_t data = 0;
    int16 result = 0;
};

inline PS::Parameters BubbleParameters() {
    PS::Parameters list;
    AppendTelloraParameters(list);
    return list;
}

// A panel that counts the refreshes the viewer asks for.
struct CountingPanel : Param::ViewerPanel {
    explicit CountingPanel(wxWindow* parent) : Param::ViewerPanel(parent, wxID_ANY) {}
    void Refresh(bool erase = true, const wxRect* rect = nullptr) override {
        ++refreshes;
        Param::ViewerPanel::Refresh(erase, rect);
    }
    int refreshes = 0;
};

// The 496 x 396 view at (2, 2) of a 500 x 400 panel.
inline VRect StandardView() { return VRect{2, 2, 398, 498}; }
