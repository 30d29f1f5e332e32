// The preview render over the in-test host: fitting, the cache and its margin, strips after a
// pan, up-scaling, the zoom cap without ChannelPorts, pan clamping and failures.
#include "viewer_test_support.h"

#include "win32/message_box.h"

#include <cstdlib>
#include <string>

namespace {

using viewer_test::FakeViewerHost;
using viewer_test::HostOptions;

class PreviewRender : public ToolkitTest {
protected:
    // Renders into the standard view and returns the painted rectangle.
    VRect Paint(PS::Viewer& viewer) {
        VRect view = StandardView();
        viewer.Render(view, 0, nullptr);
        return view;
    }
    PS::Parameters list = BubbleParameters();
};

HostOptions Document(int32 width, int32 height) {
    HostOptions options;
    options.width = width;
    options.height = height;
    return options;
}

TEST_F(PreviewRender, FirstPaintFitsCentresAndRendersTheWholeImageOnce) {
    FakeViewerHost host(Document(2000, 1000));
    RecordingPlugin plugin(host);
    PS::Viewer viewer(&plugin, &list, nullptr);
    EXPECT_EQ(viewer.GetWidth(), 0);

    const VRect painted = Paint(viewer);
    EXPECT_FLOAT_EQ(viewer.zoom, 0.248f);
    EXPECT_NEAR(viewer.zoomParam.value.GetFloat(), 24.8, 1e-4);
    EXPECT_FALSE(viewer.needsRender);
    EXPECT_FALSE(viewer.resetPending);
    const VRect img = PS::ScaleRect(VRect{0, 0, 1000, 2000}, viewer.zoom);
    const int32 w = PS::RectWidth(img), h = PS::RectHeight(img);
    EXPECT_EQ(viewer.GetWidth(), w);
    EXPECT_EQ(viewer.GetHeight(), h);
    const VRect centred{2 + (396 - h) / 2, 2 + (496 - w) / 2, 2 + (396 - h) / 2 + h, 2 + (496 - w) / 2 + w};
    EXPECT_EQ(painted, centred);
    ASSERT_EQ(plugin.renders.size(), 1u);
    EXPECT_EQ(plugin.renders[0], img);
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].bounds, img);
    EXPECT_EQ(host.shown[0].row, centred.top);
    EXPECT_EQ(host.shown[0].col, centred.left);
    // What is shown is what the renderer wrote: 255 - source at the sampled position.
    EXPECT_EQ(host.shown[0].firstPixel[0], 255 - host.Sample(0, 0, 0));
}

TEST_F(PreviewRender, RepaintsReuseTheCache) {
    FakeViewerHost host(Document(2000, 1000));
    RecordingPlugin plugin(host);
    PS::Viewer viewer(&plugin, &list, nullptr);
    Paint(viewer);
    host.TakeReads();
    plugin.renders.clear();

    Paint(viewer);
    EXPECT_EQ(host.TakeReads(), 0);
    EXPECT_TRUE(plugin.renders.empty());
    EXPECT_EQ(host.shown.size(), 2u);

    // A parameter change renders the area again, whole, from the cached source.
    viewer.needsRender = true;
    Paint(viewer);
    EXPECT_EQ(host.TakeReads(), 0);
    ASSERT_EQ(plugin.renders.size(), 1u);
    EXPECT_EQ(plugin.renders[0], (VRect{0, 0, 248, 496}));
    EXPECT_FALSE(viewer.needsRender);
}

TEST_F(PreviewRender, PanningRendersOnlyTheUncoveredStrip) {
    FakeViewerHost host(Document(3000, 2000));
    RecordingPlugin plugin(host);
    PS::Viewer viewer(&plugin, &list, nullptr);
    Paint(viewer);
    viewer.SetZoom(1.0f);
    plugin.renders.clear();
    Paint(viewer);
    // Centred at 100 %: the view shows image columns 1252..1748 and rows 802..1198; the
    // render covers that grown by 256 on every side.
    EXPECT_EQ(viewer.panX, -1252);
    EXPECT_EQ(viewer.panY, -802);
    ASSERT_EQ(plugin.renders.size(), 1u);
    EXPECT_EQ(plugin.renders[0], (VRect{546, 996, 1454, 2004}));
    plugin.renders.clear();
    host.TakeReads();

    viewer.panX += 200;  // still inside the rendered margin: display only
    Paint(viewer);
    EXPECT_TRUE(plugin.renders.empty());
    EXPECT_EQ(host.TakeReads(), 0);

    viewer.panX += 100;  // 300 in all: one strip on the left of the new render area
    Paint(viewer);
    ASSERT_EQ(plugin.renders.size(), 1u);
    EXPECT_EQ(plugin.renders[0], (VRect{546, 696, 1454, 996}));
    EXPECT_EQ(host.shown.back().firstPixel[0], 255 - host.Sample(0, 952, 802));
    EXPECT_EQ(host.shown.back().bounds, (VRect{802, 952, 1198, 1448}));
}

TEST_F(PreviewRender, AParameterChangeRendersTheViewAtOnceAndTheMarginWhenAPanNeedsIt) {
    FakeViewerHost host(Document(3000, 2000));
    RecordingPlugin plugin(host);
    PS::Viewer viewer(&plugin, &list, nullptr);
    Paint(viewer);
    viewer.SetZoom(1.0f);
    Paint(viewer);  // the view shows columns 1252..1748 and rows 802..1198
    plugin.renders.clear();
    host.TakeReads();

    viewer.needsRender = true;
    Paint(viewer);
    ASSERT_EQ(plugin.renders.size(), 1u);
    EXPECT_EQ(plugin.renders[0], (VRect{802, 1252, 1198, 1748}));
    EXPECT_EQ(host.TakeReads(), 0);
    EXPECT_FALSE(viewer.needsRender);
    EXPECT_EQ(host.shown.back().firstPixel[0], 255 - host.Sample(0, 1252, 802));
    plugin.renders.clear();

    // A pan inside the cache that shows unrendered margin: the margin is rendered, around the
    // view, and what is shown is rendered.
    viewer.panX += 100;
    Paint(viewer);
    ASSERT_EQ(plugin.renders.size(), 4u);
    EXPECT_EQ(plugin.renders[0], (VRect{546, 996, 802, 2004}));
    EXPECT_EQ(plugin.renders[1], (VRect{802, 996, 1198, 1252}));
    EXPECT_EQ(plugin.renders[2], (VRect{802, 1748, 1198, 2004}));
    EXPECT_EQ(plugin.renders[3], (VRect{1198, 996, 1454, 2004}));
    EXPECT_EQ(host.shown.back().firstPixel[0], 255 - host.Sample(0, 1152, 802));
    EXPECT_EQ(host.TakeReads(), 0);
    plugin.renders.clear();

    viewer.panX += 100;  // the whole cache is rendered now: display only
    Paint(viewer);
    EXPECT_TRUE(plugin.renders.empty());

    // A pan past the cache after a parameter change renders the margin before moving it. The
    // change renders columns 1052..1548 of a cache of 796..1804.
    viewer.needsRender = true;
    Paint(viewer);
    plugin.renders.clear();
    viewer.panX += 300;  // columns 752..1248: past the cache's left edge
    Paint(viewer);
    ASSERT_EQ(plugin.renders.size(), 5u);
    EXPECT_EQ(plugin.renders[1], (VRect{802, 796, 1198, 1052}));
    EXPECT_EQ(plugin.renders[4], (VRect{546, 496, 1454, 796}));
    EXPECT_EQ(host.shown.back().firstPixel[0], 255 - host.Sample(0, 752, 802));
}

TEST_F(PreviewRender, ZoomAboveFullSizeUpScalesTheCachedRenderAndSelection) {
    HostOptions options = Document(3000, 2000);
    options.selection = true;  // the left half
    FakeViewerHost host(options);
    RecordingPlugin plugin(host);
    PS::Viewer viewer(&plugin, &list, nullptr);
    Paint(viewer);
    viewer.SetZoom(1.0f);
    Paint(viewer);
    plugin.renders.clear();
    host.TakeReads();

    viewer.SetZoom(2.0f);
    EXPECT_FALSE(viewer.scaleChanged);
    const VRect painted = Paint(viewer);
    EXPECT_TRUE(plugin.renders.empty());
    EXPECT_EQ(host.TakeReads(), 0);
    EXPECT_EQ(painted, StandardView());
    // Zoomed coordinates: the view's centre (250, 200) stays near image point (1500, 1000).
    const VRect src{1804, 2754, 2200, 3250};
    EXPECT_EQ(host.shown.back().bounds, src);
    EXPECT_EQ(viewer.zoomBuffer.GetRect(), src);
    for (int p = 0; p < 3; ++p)
        EXPECT_EQ(host.shown.back().firstPixel[p], 255 - host.Sample(p, 2754 / 2, 1804 / 2)) << p;
    EXPECT_EQ(host.shown.back().masks, 1);
    EXPECT_EQ(viewer.zoomMaskBuffer.GetRect(), src);
    EXPECT_EQ(host.shown.back().firstMask, 255);
}

TEST_F(PreviewRender, WithoutChannelPortsThePreviewReadsClassicallyAtFullSize) {
    HostOptions options = Document(800, 600);
    options.channelPorts = false;
    FakeViewerHost host(options);
    RecordingPlugin plugin(host);
    PS::Viewer viewer(&plugin, &list, nullptr);
    EXPECT_DOUBLE_EQ(viewer.zoomParam.acceptedMax.GetFloat(), 100.0);
    EXPECT_DOUBLE_EQ(viewer.zoomParam.sliderMax.GetFloat(), 100.0);
    const VRect painted = Paint(viewer);
    // The host cannot sample: the fit scale (0.62) becomes 100 %, and so does zooming out.
    EXPECT_FLOAT_EQ(viewer.zoom, 1.0f);
    EXPECT_EQ(painted, StandardView());
    EXPECT_GT(host.TakeReads(), 0);
    ASSERT_EQ(plugin.renders.size(), 1u);
    EXPECT_EQ(host.shown.back().firstPixel[0], 255 - host.Sample(0, 152, 102));
    viewer.ZoomIn();
    viewer.SetZoom(4.0f);
    EXPECT_FLOAT_EQ(viewer.zoom, 1.0f);
    viewer.ZoomOut();
    Paint(viewer);
    EXPECT_FLOAT_EQ(viewer.zoom, 1.0f);
    EXPECT_EQ(host.shown.back().bounds.right - host.shown.back().bounds.left, 496);
}

TEST_F(PreviewRender, FittingNeverGoesBelowTheSmallestZoom) {
    HostOptions options = Document(60000, 400);
    options.gray = true;
    FakeViewerHost host(options);
    RecordingPlugin plugin(host);
    PS::Viewer viewer(&plugin, &list, nullptr);
    Paint(viewer);  // the fit scale would be 0.0083
    EXPECT_FLOAT_EQ(viewer.zoom, 0.01f);
    EXPECT_EQ(viewer.GetWidth(), 600);
    host.TakeReads();
    plugin.renders.clear();
    Paint(viewer);  // the cache matches the zoom: nothing is read or rendered again
    EXPECT_EQ(host.TakeReads(), 0);
    EXPECT_TRUE(plugin.renders.empty());
}

TEST_F(PreviewRender, ExtraInputsReachTheRendererAsAnArray) {
    FakeViewerHost host(Document(400, 300));
    RecordingPlugin plugin(host);
    plugin.extraInputs = {PS::LayerRequest{0, VRect{0, 0, 300, 400}}, PS::LayerRequest{0, VRect{0, 0, 150, 200}}};
    PS::Viewer viewer(&plugin, &list, nullptr);
    Paint(viewer);
    ASSERT_EQ(plugin.extrasSeen.size(), 2u);
    EXPECT_EQ(plugin.extrasSeen[0], (VRect{0, 0, 300, 400}));
    EXPECT_EQ(plugin.extrasSeen[1], (VRect{0, 0, 300, 400}));
}

TEST_F(PreviewRender, IntegralSamplingHostsZoomToTheGrantedScale) {
    HostOptions options = Document(800, 600);
    options.channelPorts = false;
    options.samplingSupport = 1;
    FakeViewerHost host(options);
    RecordingPlugin plugin(host);
    PS::Viewer viewer(&plugin, &list, nullptr);
    Paint(viewer);
    EXPECT_FLOAT_EQ(viewer.zoom, 0.5f);
    EXPECT_EQ(host.shown.back().bounds, (VRect{0, 0, 300, 400}));
    EXPECT_EQ(host.shown.back().firstPixel[1], 255 - host.Sample(1, 0, 0));
}

TEST_F(PreviewRender, PanIsClampedSoTheImageCannotLeaveTheView) {
    FakeViewerHost host(Document(2000, 1000));
    RecordingPlugin plugin(host);
    PS::Viewer viewer(&plugin, &list, nullptr);
    Paint(viewer);  // 496 x 248 on screen
    viewer.panX = -600;
    viewer.panY = -400;
    VRect painted = Paint(viewer);
    EXPECT_EQ(viewer.panX, 2 - 496 - 1);
    EXPECT_EQ(viewer.panY, 2 - 248 - 1);
    EXPECT_EQ(painted, (VRect{2, 2, 3, 3}));

    viewer.panX = 499;
    Paint(viewer);
    EXPECT_EQ(viewer.panX, 497);
    viewer.panX = 498;  // equal to the view's right edge: kept
    const size_t shownBefore = host.shown.size();
    painted = Paint(viewer);
    EXPECT_EQ(viewer.panX, 498);
    // Nothing of the image lies in the view: nothing is shown and the panel stays black.
    EXPECT_EQ(host.shown.size(), shownBefore);
    EXPECT_EQ(PS::RectWidth(painted), 0);
}

// The panel's size changes when the dialog is maximised, restored or resized by hand.
TEST_F(PreviewRender, AViewOfAnotherSizeFitsAgainUntilTheUserZoomsOrPans) {
    FakeViewerHost host(Document(2000, 1000));
    RecordingPlugin plugin(host);
    PS::Viewer viewer(&plugin, &list, nullptr);
    auto paintIn = [&](int32 width, int32 height) {
        VRect view{2, 2, 2 + height, 2 + width};
        viewer.Render(view, 0, nullptr);
        return view;
    };
    // Centred and as large as fits: one side spans the view (within the sampling's rounding).
    auto expectFitted = [&](int32 width, int32 height, const VRect& painted) {
        const int32 w = PS::RectWidth(painted), h = PS::RectHeight(painted);
        EXPECT_TRUE(width - w <= 2 || height - h <= 2) << painted;
        EXPECT_LE(std::abs((painted.left - 2) - (2 + width - painted.right)), 1) << painted;
        EXPECT_LE(std::abs((painted.top - 2) - (2 + height - painted.bottom)), 1) << painted;
    };
    const struct {
        int32 width, height;
    } sizes[] = {{496, 396}, {1200, 900}, {300, 700}, {1200, 900}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        expectFitted(size.width, size.height, paintIn(size.width, size.height));
    }
    EXPECT_NEAR(viewer.zoom, 0.6f, 0.01f);

    // Zoomed in by the user: the zoom stays, the image point at the view's centre stays there.
    viewer.ZoomIn();
    paintIn(1200, 900);
    const float zoom = viewer.zoom;
    const int32 centreX = 600 - viewer.panX, centreY = 450 - viewer.panY;
    paintIn(800, 500);
    EXPECT_EQ(viewer.zoom, zoom);
    EXPECT_EQ(400 - viewer.panX, centreX);
    EXPECT_EQ(250 - viewer.panY, centreY);

    // Reset: fitted again, and again on the next size change.
    viewer.ResetView();
    paintIn(800, 500);
    expectFitted(1000, 600, paintIn(1000, 600));
}

TEST_F(PreviewRender, HostWithoutDisplayCallbackPaintsNothing) {
    HostOptions options = Document(400, 300);
    options.display = false;
    FakeViewerHost host(options);
    RecordingPlugin plugin(host);
    PS::Viewer viewer(&plugin, &list, nullptr);
    const VRect painted = Paint(viewer);
    // Empty at the picture's corner: the panel's bars then cover all of it.
    EXPECT_EQ(painted, (VRect{50, 50, 50, 50}));
}

TEST_F(PreviewRender, FailuresAreReportedAndLeaveAnEmptyView) {
    FakeViewerHost host(Document(400, 300));
    RecordingPlugin plugin(host);
    PS::Viewer viewer(&plugin, &list, nullptr);
    std::vector<MessageBoxRecord> boxes;
    SetMessageBoxObserver([&](const MessageBoxRecord& box) {
        boxes.push_back(box);
        return IDOK;
    });
    plugin.throwOnRender = true;
    const VRect painted = Paint(viewer);
    SetMessageBoxObserver(nullptr);
    EXPECT_EQ(painted, (VRect{2, 2, 2, 2}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Viewer Error");
    EXPECT_EQ(boxes[0].text, "render failed");
    EXPECT_TRUE(host.shown.empty());
    EXPECT_TRUE(viewer.needsRender);  // the next paint tries again
}

TEST_F(PreviewRender, FailedUpScalingShowsNoMisplacedPixels) {
    HostOptions options = Document(400, 300);
    options.failNewPort = 1;
    FakeViewerHost host(options);
    RecordingPlugin plugin(host);
    PS::Viewer viewer(&plugin, &list, nullptr);
    Paint(viewer);
    const size_t shownBefore = host.shown.size();
    viewer.SetZoom(2.0f);
    const VRect painted = Paint(viewer);
    EXPECT_EQ(host.shown.size(), shownBefore);
    EXPECT_EQ(PS::RectWidth(painted), 0);
    EXPECT_EQ(host.livePorts, 0);
}

TEST_F(PreviewRender, GetPixelSamplesTheCachedSource) {
    HostOptions options = Document(400, 300);
    options.gray = true;
    FakeViewerHost host(options);
    RecordingPlugin plugin(host);
    PS::Viewer viewer(&plugin, &list, nullptr);
    Paint(viewer);  // fits at 100 %, centred: pan (48, 48)
    ASSERT_EQ(viewer.panX, 48);
    float out[4];
    ASSERT_TRUE(viewer.GetPixel(out, 48 + 10, 48 + 20));
    EXPECT_FLOAT_EQ(out[0], host.Sample(0, 10, 20) / 255.0f);
    EXPECT_FLOAT_EQ(out[1], 1.0f);
    EXPECT_FLOAT_EQ(out[3], 1.0f);
    EXPECT_FALSE(viewer.GetPixel(out, 47, 60));
    for (float v : out) EXPECT_EQ(v, 0.0f);
}

}  // namespace
