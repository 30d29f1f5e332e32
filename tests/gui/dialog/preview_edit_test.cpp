// Editing the bubble with the mouse in the preview: moving the body, resizing by a corner,
// placing the pointer tip, panning with the space bar, and what is drawn over the picture.
#include "dialog_fixture.h"

#include "ui/viewer_base.h"

#include <wx/dcmemory.h>
#include <wx/menu.h>
#include <wx/tglbtn.h>

namespace dialog_test {
namespace {

namespace Param = Corvantis::Host::Param;

struct Box {
    double x, y, w, h;
};

class PreviewEdit : public DialogTest {
protected:
    // A 200 x 150 document fits the preview at 100 %.
    void SetUp() override {
        DialogTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;  // no display, or the toolkit did not start
        Open(200, 150);
        ASSERT_EQ(preview->GetZoomedImageWidth(), 200u);
        ASSERT_EQ(preview->GetZoomedImageHeight(), 150u);
    }
    Box Bubble() const {
        Box b{};
        preview->GetBubbleRect(b.x, b.y, b.w, b.h);
        return b;
    }
    void Drag(int x0, int y0, int x1, int y1) {
        Mouse(wxEVT_LEFT_DOWN, x0, y0);
        Mouse(wxEVT_MOTION, x1, y1);
        Mouse(wxEVT_LEFT_UP, x1, y1);
    }
    void Key(wxEventType type, int code) {
        wxKeyEvent key(type);
        key.m_keyCode = code;
        preview->GetEventHandler()->ProcessEvent(key);
    }
    Param::ViewerBase& Viewer() { return *preview->viewer; }
};

TEST_F(PreviewEdit, DraggingTheBodyMovesItInOneUndoStep) {
    const Box b = Bubble();
    const int cx = int(b.x + b.w / 2), cy = int(b.y + b.h / 2);
    Drag(cx, cy, cx + 30, cy + 20);
    EXPECT_EQ(TakeEvents(), "B10 B11 G10 G11 C10 C11");
    EXPECT_DOUBLE_EQ(Value(kParamXPosition), (2.0 + 30) * 100 / 200);
    EXPECT_DOUBLE_EQ(Value(kParamYPosition), (22.5 + 20) * 100 / 150);
    EXPECT_DOUBLE_EQ(Value(kParamEllipseWidth), 100.0);
    EXPECT_EQ(UndoSteps(), 1u);
    Menu(6007);
    EXPECT_DOUBLE_EQ(Value(kParamXPosition), 1.0);
    EXPECT_DOUBLE_EQ(Value(kParamYPosition), 15.0);
    Menu(6006);
    EXPECT_DOUBLE_EQ(Value(kParamXPosition), 16.0);
}

TEST_F(PreviewEdit, ACornerDraggedPastTheOppositeOneTurnsTheBoxOver) {
    const Box b = Bubble();
    Drag(int(b.x), int(b.y), int(b.x) + 150, int(b.y) + 130);
    EXPECT_EQ(TakeEvents(), "B10 B11 B1 B2 G10 G11 C10 C11");
    // The body was 2..102 by 22.5..122.5; its top-left went to 152, 152.5.
    EXPECT_DOUBLE_EQ(Value(kParamXPosition), 102.0 * 100 / 200);
    EXPECT_DOUBLE_EQ(Value(kParamYPosition), 122.5 * 100 / 150);
    EXPECT_DOUBLE_EQ(Value(kParamEllipseWidth), 50.0);
    EXPECT_DOUBLE_EQ(Value(kParamEllipseHeight), 30.0);
    EXPECT_EQ(UndoSteps(), 1u);
    Menu(6007);
    const double restored[] = {Value(kParamXPosition), Value(kParamYPosition), Value(kParamEllipseWidth),
                               Value(kParamEllipseHeight)};
    EXPECT_EQ(std::vector<double>(restored, restored + 4), (std::vector<double>{1, 15, 100, 100}));
}

TEST_F(PreviewEdit, APressBesideTheBubblePlacesThePointerAtOnce) {
    list.parameters[kParamXPosition].value.SetFloat(50);  // the bubble out of the way
    Viewer().panX = 40;
    Viewer().panY = 10;
    Mouse(wxEVT_LEFT_DOWN, 40 + 33, 10 + 5);
    EXPECT_EQ(TakeEvents(), "B12 B13 G10 G11");
    EXPECT_DOUBLE_EQ(Value(kParamXIndicatorPosition), 16.0);  // 16.5 truncated
    EXPECT_DOUBLE_EQ(Value(kParamYIndicatorPosition), 3.0);
    // Left of the image: negative, truncated toward zero.
    Mouse(wxEVT_MOTION, 40 - 33, 10 + 30);
    Mouse(wxEVT_LEFT_UP, 40 - 33, 10 + 30);
    EXPECT_EQ(TakeEvents(), "G10 G11 C10 C11");
    EXPECT_DOUBLE_EQ(Value(kParamXIndicatorPosition), -16.0);
    EXPECT_DOUBLE_EQ(Value(kParamYIndicatorPosition), 20.0);
    EXPECT_EQ(UndoSteps(), 1u);
    Menu(6007);
    EXPECT_DOUBLE_EQ(Value(kParamXIndicatorPosition), 1.0);
    EXPECT_DOUBLE_EQ(Value(kParamYIndicatorPosition), 15.0);
}

TEST_F(PreviewEdit, AtZoomTwoTheBodyMovesHalfTheMouseTravel) {
    Viewer().zoom = 2.0f;
    const Box b = Bubble();
    const int cx = int(b.x + b.w / 2), cy = int(b.y + b.h / 2);
    Drag(cx, cy, cx + 10, cy);
    EXPECT_DOUBLE_EQ(Value(kParamXPosition), 1.0 + 5.0 / 200 * 100);
    EXPECT_DOUBLE_EQ(Value(kParamEllipseWidth), 100.0);
    EXPECT_DOUBLE_EQ(Value(kParamEllipseHeight), 100.0);
}

TEST_F(PreviewEdit, WithTheSpaceBarHeldTheButtonPans) {
    Key(wxEVT_KEY_DOWN, WXK_SPACE);
    EXPECT_TRUE(preview->IsPanMode());
    const int panX = Viewer().panX, panY = Viewer().panY;
    const Box b = Bubble();
    Drag(int(b.x + 20), int(b.y + 20), int(b.x + 35), int(b.y + 30));  // starts on the body
    EXPECT_EQ(Viewer().panX, panX + 15);
    EXPECT_EQ(Viewer().panY, panY + 10);
    EXPECT_EQ(TakeEvents(), "");
    EXPECT_EQ(UndoSteps(), 0u);
    EXPECT_DOUBLE_EQ(Value(kParamXPosition), 1.0);
    Key(wxEVT_KEY_UP, WXK_SPACE);
    EXPECT_FALSE(preview->IsPanMode());
}

TEST_F(PreviewEdit, HiddenHandlesStillWorkAndTheFirstOfOverlappingOnesWins) {
    Find<wxToggleButton>(kIdBoundingBox)->SetValue(false);
    Command(wxEVT_TOGGLEBUTTON, kIdBoundingBox);
    ASSERT_FALSE(list.parameters[kParamBoundingBox].value.GetBoolean());
    list.parameters[kParamEllipseWidth].value.SetFloat(4);
    list.parameters[kParamEllipseHeight].value.SetFloat(4);
    list.parameters[kParamEdgeThickness].value.SetFloat(0);
    const Box b = Bubble();  // all four handles cover its corner
    Mouse(wxEVT_LEFT_DOWN, int(b.x) + 1, int(b.y) + 1);
    Mouse(wxEVT_LEFT_UP, int(b.x) + 1, int(b.y) + 1);
    EXPECT_EQ(TakeEvents(), "B10 B11 B1 B2 C10 C11");
}

TEST_F(PreviewEdit, BoxAndGreenHandlesAreDrawnOverTheBubbleOnlyWhenAsked) {
    const Box b = Bubble();
    auto draw = [&] {
        wxBitmap bitmap(preview->GetSize(), 24);
        wxMemoryDC dc(bitmap);
        preview->Draw(dc);
        dc.SelectObject(wxNullBitmap);
        return bitmap.ConvertToImage();
    };
    auto rgb = [](const wxImage& image, int x, int y) {
        return (image.GetRed(x, y) << 16) | (image.GetGreen(x, y) << 8) | image.GetBlue(x, y);
    };
    const int hx = int(b.x - 5) + 5, hy = int(b.y - 5) + 5;  // centre of the top-left handle
    const int fx = int(b.x + b.w / 2), fy = int(b.y + b.h * 0.8);  // the fill, below the text
    wxImage shown = draw();
    EXPECT_EQ(rgb(shown, hx, hy), 0x00FF00);
    EXPECT_EQ(rgb(shown, fx, fy), 0xFFFFFF) << "the bubble's fill, drawn by the filter itself";
    const auto green = [&](const wxImage& image) {
        int count = 0;
        for (int y = 0; y < image.GetHeight(); ++y)
            for (int x = 0; x < image.GetWidth(); ++x) count += rgb(image, x, y) == 0x00FF00;
        return count;
    };
    const int handles = green(shown);
    // A body billions of pixels wide and high: three handles lie far outside the panel, and
    // nothing of them shows in it (device coordinates that large wrapped around).
    list.parameters[kParamEllipseWidth].value.SetFloat(1e300);
    list.parameters[kParamEllipseHeight].value.SetFloat(1e300);
    EXPECT_EQ(green(draw()), handles / 4);
    list.parameters[kParamBoundingBox].value.SetBoolean(false);
    shown = draw();
    EXPECT_NE(rgb(shown, hx, hy), 0x00FF00);
}

TEST_F(PreviewEdit, TheContextMenuHasNeitherResetNorShowOriginal) {
    wxMenu menu;
    preview->BuildContextMenu(&menu);
    for (int id : {6000, 6001, 6006, 6007}) EXPECT_NE(menu.FindItem(id), nullptr) << id;
    for (int id : {6004, 6005}) EXPECT_EQ(menu.FindItem(id), nullptr) << id;
}

// No image rendered yet (nothing to take percentages of): a press and a drag change nothing.
TEST_F(PreviewEdit, WithoutAnImageTheMouseEditsNothing) {
    struct Empty : Param::ViewerBase {
        using ViewerBase::ViewerBase;
        void Draw(int32_t[4], wxDC*) override {}
        int32_t GetWidth() const override { return 0; }
        int32_t GetHeight() const override { return 0; }
        bool GetPixel(float[4], int32_t, int32_t) const override { return false; }
    } empty(&list, preview);
    Param::ViewerBase* real = preview->viewer;
    preview->viewer = &empty;
    Drag(50, 50, 80, 90);
    preview->viewer = real;
    EXPECT_EQ(TakeEvents(), "");
    EXPECT_EQ(UndoSteps(), 0u);
    EXPECT_DOUBLE_EQ(Value(kParamXIndicatorPosition), 1.0);
}

}  // namespace
}  // namespace dialog_test
