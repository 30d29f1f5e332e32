// Zoom steps and limits, the pivot, undo and redo entry points and the control refresh.
#include "viewer_test_support.h"

#include <wx/frame.h>
#include <wx/textctrl.h>
#include <wx/validate.h>

namespace {

using viewer_test::FakeViewerHost;
using viewer_test::HostOptions;

TEST(ViewerZoomSteps, StepsAndSnapping) {
    struct Case {
        float from, in, out;
    } cases[] = {{1.0f, 2.0f, 0.5f},          {2.0f, 3.0f, 1.0f},  {0.5f, 1.0f, 1.0f / 3},
                 {0.25f, 1.0f / 3, 0.2f},     {0.75f, 2.0f, 0.5f}, {1.4f, 2.0f, 0.5f},
                 {3.6f, 5.0f, 3.0f}};
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(Param::ViewerBase::NextZoomIn(c.from), c.in) << c.from;
        EXPECT_FLOAT_EQ(Param::ViewerBase::NextZoomOut(c.from), c.out) << c.from;
    }
}

class ViewerModel : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;  // no display, or the toolkit did not start
        frame = new wxFrame(nullptr, wxID_ANY, "viewer");
        panel = new CountingPanel(frame);
    }
    void TearDown() override {
        if (frame) frame->Destroy();
        ToolkitTest::TearDown();
    }
    wxFrame* frame = nullptr;
    CountingPanel* panel = nullptr;
    PS::Parameters list = BubbleParameters();
};

TEST_F(ViewerModel, ZoomStaysWithinItsLimitsWithoutRefreshing) {
    FakeViewerHost host(HostOptions{});
    RecordingPlugin plugin(host);
    PS::Viewer viewer(&plugin, &list, panel);
    EXPECT_FLOAT_EQ(viewer.zoomParam.value.GetFloat(), 100.0);
    EXPECT_TRUE(viewer.resetPending);

    viewer.SetZoom(8.0f);
    EXPECT_DOUBLE_EQ(viewer.zoomParam.value.GetFloat(), 800.0);
    panel->refreshes = 0;
    viewer.ZoomIn();
    viewer.SetZoom(20.0f);
    EXPECT_FLOAT_EQ(viewer.zoom, 8.0f);
    EXPECT_EQ(panel->refreshes, 0);

    viewer.SetZoom(0.01f);
    panel->refreshes = 0;
    viewer.ZoomOut();
    viewer.SetZoom(0.001f);
    EXPECT_FLOAT_EQ(viewer.zoom, 0.01f);
    EXPECT_EQ(panel->refreshes, 0);
}

TEST_F(ViewerModel, SetZoomKeepsThePivotAndFlagsScaleChangesBelowFullSize) {
    FakeViewerHost host(HostOptions{});
    RecordingPlugin plugin(host);
    PS::Viewer viewer(&plugin, &list, panel);
    viewer.panX = viewer.panY = 10;
    viewer.pivotX = 110;
    viewer.pivotY = 60;
    viewer.SetZoom(2.0f);
    EXPECT_EQ(viewer.panX, -90);
    EXPECT_EQ(viewer.panY, -40);
    EXPECT_FALSE(viewer.scaleChanged);
    EXPECT_DOUBLE_EQ(viewer.zoomParam.value.GetFloat(), 200.0);

    viewer.SetZoom(0.5f);
    EXPECT_TRUE(viewer.scaleChanged);
    viewer.scaleChanged = false;
    viewer.SetZoom(1.0f);
    EXPECT_TRUE(viewer.scaleChanged);
}

TEST_F(ViewerModel, BoundZoomFieldFollowsTheZoom) {
    FakeViewerHost host(HostOptions{});
    RecordingPlugin plugin(host);
    PS::Viewer viewer(&plugin, &list, panel);
    auto* text = new wxTextCtrl(frame, wxID_ANY);
    viewer.BindZoomControls(text, nullptr);
    viewer.SetZoom(2.0f);
    EXPECT_EQ(text->GetValue(), "200.00");
}

// Counts how often the controls are asked to show their values again.
struct CountingValidator : wxValidator {
    explicit CountingValidator(int* counter) : counter(counter) {}
    wxObject* Clone() const override { return new CountingValidator(counter); }
    bool TransferToWindow() override { return ++*counter, true; }
    bool TransferFromWindow() override { return true; }
    bool Validate(wxWindow*) override { return true; }
    int* counter;
};

TEST_F(ViewerModel, UndoAndRedoRenderAgainAndRefreshOnlyWhenThereWasAStep) {
    FakeViewerHost host(HostOptions{});
    RecordingPlugin plugin(host);
    PS::Viewer viewer(&plugin, &list, panel);
    int transfers = 0;
    (new wxTextCtrl(frame, wxID_ANY))->SetValidator(CountingValidator(&transfers));
    viewer.needsRender = false;
    panel->refreshes = 0;

    viewer.Undo();
    viewer.Redo();
    EXPECT_FALSE(viewer.needsRender);
    EXPECT_EQ(panel->refreshes, 0);
    EXPECT_EQ(transfers, 0);

    list.RecordChange(kParamEllipseWidth);
    list.parameters[kParamEllipseWidth].value.SetFloat(321.0);
    viewer.Undo();
    EXPECT_NE(list.parameters[kParamEllipseWidth].value.GetFloat(), 321.0);
    EXPECT_TRUE(viewer.needsRender);
    EXPECT_EQ(panel->refreshes, 1);
    EXPECT_EQ(transfers, 1);

    viewer.needsRender = false;
    viewer.Redo();
    EXPECT_EQ(list.parameters[kParamEllipseWidth].value.GetFloat(), 321.0);
    EXPECT_TRUE(viewer.needsRender);
    EXPECT_EQ(transfers, 2);
}

}  // namespace
