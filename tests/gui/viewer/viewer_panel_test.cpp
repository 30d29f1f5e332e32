// The preview panel: dynamic creation, the bars and outline, the context menu and its commands,
// panning with the left button, the paint guard, and a real paint through the host callback.
#include "viewer_test_support.h"

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/menu.h>

#include <cstdlib>
#include <string>

namespace {

using viewer_test::FakeViewerHost;
using viewer_test::HostOptions;

// A model that reports a fixed picture rectangle.
struct StubViewer : Param::ViewerBase {
    explicit StubViewer(Param::Parameters* list) : Param::ViewerBase(list, nullptr) {}
    void Draw(int32_t rect[4], wxDC*) override {
        ++draws;
        for (int i = 0; i < 4; ++i) rect[i] = used[i];
    }
    int32_t GetWidth() const override { return 0; }
    int32_t GetHeight() const override { return 0; }
    bool GetPixel(float*, int32_t, int32_t) const override { return false; }
    int32_t used[4] = {10, 20, 50, 30};
    int draws = 0;
};

class ViewerPanelTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;  // no display, or the toolkit did not start
        frame = new wxFrame(nullptr, wxID_ANY, "viewer", wxPoint(0, 0), wxSize(540, 460));
        container = new wxPanel(frame);
    }
    void TearDown() override {
        if (frame) frame->Destroy();
        ToolkitTest::TearDown();
    }
    void ShowAndSettle() {
        frame->Show();
        for (int i = 0; i < 20; ++i) {
            frame->Update();
            wxTheApp->Yield(true);
            wxMilliSleep(10);
        }
    }
    wxFrame* frame = nullptr;
    wxPanel* container = nullptr;
    PS::Parameters list = BubbleParameters();
};

TEST_F(ViewerPanelTest, CreatedThroughItsClassInformation) {
    wxObject* object = wxCreateDynamicObject("ViewerPanel");
    ASSERT_NE(object, nullptr);
    auto* panel = wxDynamicCast(object, Param::ViewerPanel);
    ASSERT_NE(panel, nullptr);
    EXPECT_STREQ(panel->GetClassInfo()->GetBaseClassName1(), L"wxPanel");
    EXPECT_EQ(panel->viewer, nullptr);
    EXPECT_FALSE(panel->painting);
    ASSERT_TRUE(panel->Create(container, wxID_ANY));
    EXPECT_TRUE(panel->IsKindOf(wxCLASSINFO(wxPanel)));
}

TEST_F(ViewerPanelTest, BarsAndOutlineFrameThePicture) {
    auto* panel = new Param::ViewerPanel(container, wxID_ANY, wxPoint(0, 0), wxSize(100, 80));
    StubViewer stub(&list);
    panel->viewer = &stub;
    wxBitmap bitmap(100, 80, 24);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxRED_BRUSH);
    dc.Clear();
    panel->Draw(dc);
    dc.SelectObject(wxNullBitmap);
    const wxImage image = bitmap.ConvertToImage();
    auto is = [&](int x, int y, int r, int g, int b) {
        return image.GetRed(x, y) == r && image.GetGreen(x, y) == g && image.GetBlue(x, y) == b;
    };
    // Bars: above (0, 0, 100, 20), left (0, 20, 10, 30), right (60, 20, 40, 30), below (0, 50, 100, 30).
    for (auto [x, y] : {std::pair{50, 5}, {5, 35}, {80, 35}, {50, 70}, {9, 35}, {60, 35}})
        EXPECT_TRUE(is(x, y, 0, 0, 0)) << x << "," << y;
    // The grey outline (8, 18, 54, 34) and the untouched picture inside it.
    for (auto [x, y] : {std::pair{8, 35}, {61, 35}, {30, 18}, {30, 51}})
        EXPECT_TRUE(is(x, y, 128, 128, 128)) << x << "," << y;
    EXPECT_TRUE(is(30, 35, 255, 0, 0));
    EXPECT_TRUE(is(10, 20, 255, 0, 0));
    EXPECT_TRUE(is(59, 49, 255, 0, 0));
}

TEST_F(ViewerPanelTest, ContextMenuListsTheCommandsWithTheirState) {
    auto* panel = new Param::ViewerPanel(container, wxID_ANY);
    StubViewer stub(&list);
    panel->viewer = &stub;
    list.RecordChange(kParamText);
    wxMenu menu;
    panel->FillContextMenu(&menu);
    const int ids[] = {6000, 6001, 6004, 6005, 6007, 6006};
    ASSERT_EQ(menu.GetMenuItemCount(), 6u);
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(menu.FindItemByPosition(i)->GetId(), ids[i]);
    EXPECT_EQ(menu.FindItem(6000)->GetItemLabel(), "Zoom In\tCtrl+I");
    EXPECT_EQ(menu.FindItem(6005)->GetItemLabel(), "Show Original \tCtrl+G");
    EXPECT_TRUE(menu.FindItem(6007)->IsCheckable());
    EXPECT_TRUE(menu.IsEnabled(6007));
    EXPECT_FALSE(menu.IsEnabled(6006));
    for (int id : {6005, 6006, 6007}) EXPECT_FALSE(menu.IsChecked(id)) << id;

    stub.showOriginal = true;
    wxMenu again;
    panel->FillContextMenu(&again);
    EXPECT_TRUE(again.IsChecked(6005));
}

TEST_F(ViewerPanelTest, MenuCommandsTravelUpToTheViewersOwner) {
    FakeViewerHost host(HostOptions{});
    RecordingPlugin plugin(host);
    auto* panel = new Param::ViewerPanel(container, wxID_ANY);
    PS::Viewer viewer(&plugin, &list, panel);
    panel->viewer = &viewer;
    // The dialog's part: the four handled commands call the viewer.
    frame->Bind(wxEVT_MENU, [&](wxCommandEvent&) { viewer.ZoomIn(); }, 6000);
    frame->Bind(wxEVT_MENU, [&](wxCommandEvent&) { viewer.ZoomOut(); }, 6001);
    frame->Bind(wxEVT_MENU, [&](wxCommandEvent&) { viewer.Redo(); }, 6006);
    frame->Bind(wxEVT_MENU, [&](wxCommandEvent&) { viewer.Undo(); }, 6007);
    auto choose = [&](int id) {
        wxCommandEvent event(wxEVT_MENU, id);
        event.SetEventObject(panel);
        return panel->ProcessWindowEvent(event);
    };
    EXPECT_TRUE(choose(6000));
    EXPECT_FLOAT_EQ(viewer.zoom, 2.0f);
    EXPECT_TRUE(choose(6001));
    EXPECT_TRUE(choose(6001));
    EXPECT_FLOAT_EQ(viewer.zoom, 0.5f);

    list.RecordChange(kParamXPosition);
    list.parameters[kParamXPosition].value.SetFloat(77.0);
    EXPECT_TRUE(choose(6007));
    EXPECT_NE(list.parameters[kParamXPosition].value.GetFloat(), 77.0);
    EXPECT_TRUE(choose(6006));
    EXPECT_EQ(list.parameters[kParamXPosition].value.GetFloat(), 77.0);
    EXPECT_FALSE(choose(6004));  // no handler: nothing happens
}

wxMouseEvent Mouse(wxEventType type, int x, int y, bool left, bool right, wxWindow* window) {
    wxMouseEvent event(type);
    event.SetPosition(wxPoint(x, y));
    event.SetLeftDown(left);
    event.SetRightDown(right);
    event.SetEventObject(window);
    event.SetId(window->GetId());
    return event;
}

TEST_F(ViewerPanelTest, LeftDragPansRightDragDoesNot) {
    auto* panel = new Param::ViewerPanel(container, wxID_ANY, wxPoint(0, 0), wxSize(200, 150));
    StubViewer stub(&list);
    panel->viewer = &stub;
    stub.panel = panel;
    stub.panX = stub.panY = 5;
    ShowAndSettle();

    auto send = [&](wxMouseEvent event) { panel->ProcessWindowEvent(event); };
    send(Mouse(wxEVT_LEFT_DOWN, 50, 50, true, false, panel));
    EXPECT_TRUE(panel->HasCapture());
    send(Mouse(wxEVT_MOTION, 80, 60, true, false, panel));
    EXPECT_EQ(stub.panX, 35);
    EXPECT_EQ(stub.panY, 15);
    send(Mouse(wxEVT_LEFT_UP, 80, 60, false, false, panel));
    EXPECT_FALSE(panel->HasCapture());

    send(Mouse(wxEVT_MOTION, 120, 100, false, true, panel));
    EXPECT_EQ(stub.panX, 35);
    EXPECT_EQ(stub.panY, 15);
}

struct DrawCountingPanel : Param::ViewerPanel {
    explicit DrawCountingPanel(wxWindow* parent) : Param::ViewerPanel(parent, wxID_ANY, wxPoint(0, 0), wxSize(100, 80)) {}
    void Draw(wxDC& dc) override {
        ++draws;
        Param::ViewerPanel::Draw(dc);
    }
    int draws = 0;
};

TEST_F(ViewerPanelTest, PaintDuringDrawIsIgnored) {
    auto* panel = new DrawCountingPanel(container);
    StubViewer stub(&list);
    ShowAndSettle();
    EXPECT_EQ(panel->draws, 0);  // no viewer: nothing is drawn

    panel->viewer = &stub;
    panel->Refresh();
    ShowAndSettle();
    EXPECT_GE(panel->draws, 1);

    const int before = panel->draws;
    panel->painting = true;
    panel->Refresh();
    ShowAndSettle();
    EXPECT_EQ(panel->draws, before);
    panel->painting = false;
}

TEST_F(ViewerPanelTest, PaintsThroughTheHostsDisplayCallback) {
    HostOptions options;
    options.width = 1200;
    options.height = 800;
    FakeViewerHost host(options);
    RecordingPlugin plugin(host);
    plugin.bubble = true;
    auto* panel = new Param::ViewerPanel(container, wxID_ANY, wxPoint(10, 10), wxSize(500, 400));
    PS::Viewer viewer(&plugin, &list, panel);
    panel->viewer = &viewer;
    ShowAndSettle();

    ASSERT_FALSE(host.shown.empty());
    EXPECT_TRUE(host.shown.back().hadContext);  // the paint's native context reached the host
    EXPECT_FLOAT_EQ(viewer.zoom, 0.41333333f);
    EXPECT_FALSE(panel->painting);

    if (const char* path = std::getenv("TELLORA_SCREENSHOT")) {
        const std::string command = std::string("import -window root '") + path + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }
}

}  // namespace
