// The preview after real size changes of the dialog's window: the picture is placed for the
// panel's new size (fitted again while the user has not zoomed, else the zoom and the point at
// the centre kept), and the screen shows it there.
#include "dialog_fixture.h"
#include "real_input.h"

#include "ui/viewer_base.h"

#include <wx/button.h>

#include <gtk/gtk.h>

namespace dialog_test {
namespace {

using real_input::Click;
using real_input::WaitUntil;

class PreviewResize : public DialogTest {
protected:
    Corvantis::Host::Param::ViewerBase& Viewer() { return *dialog->GetViewer(); }
    // The view the panel gives the viewer: the panel less a 2-pixel frame on each side.
    wxSize View() const { return preview->GetClientSize() - wxSize(4, 4); }
    // Fitted: centred in the view, and one side spans it (within the sampling's rounding).
    bool Fitted() {
        const wxSize view = View();
        const int w = Viewer().GetWidth(), h = Viewer().GetHeight();
        return Viewer().zoom <= 1.0f && w <= view.x && h <= view.y && (view.x - w <= 2 || view.y - h <= 2) &&
               Viewer().panX == (view.x - w) / 2 && Viewer().panY == (view.y - h) / 2;
    }
    // Resizes the window through the window system and waits until the panel has its new
    // size and has painted since.
    void ResizeTo(int width, int height) {
        const wxSize before = preview->GetClientSize();
        const int displays = document->displays;
        dialog->SetSize(width, height);
        ASSERT_TRUE(WaitUntil([&] { return preview->GetClientSize() != before && document->displays > displays; }))
            << "the panel kept its size " << before.x << " x " << before.y;
        Settle(50);
    }
    // The screen's colour at a point of the panel.
    unsigned ScreenAt(int x, int y) {
        const wxPoint at = preview->ClientToScreen(wxPoint(x, y));
        GdkWindow* root = gdk_get_default_root_window();
        gdk_display_sync(gdk_window_get_display(root));
        GdkPixbuf* pixel = gdk_pixbuf_get_from_window(root, at.x, at.y, 1, 1);
        if (!pixel) return 0xFFFFFFFF;
        const guchar* p = gdk_pixbuf_get_pixels(pixel);
        const unsigned rgb = (unsigned(p[0]) << 16) | (unsigned(p[1]) << 8) | p[2];
        g_object_unref(pixel);
        return rgb;
    }
};

TEST_F(PreviewResize, ThePictureFollowsThePanelsSize) {
    Open(2000, 1500);
    ASSERT_TRUE(WaitUntil([&] { return Fitted(); }));
    const wxSize first = dialog->GetSize();

    // Taller and then shorter again: fitted for each size, and so on the screen: black just
    // left of the picture, the picture just inside its edges.
    for (const int height : {first.y + 300, first.y + 100}) {
        SCOPED_TRACE(height);
        ResizeTo(first.x, height);
        ASSERT_TRUE(WaitUntil([&] { return Fitted(); }))
            << "zoom " << Viewer().zoom << ", pan " << Viewer().panX << ", " << Viewer().panY << " in "
            << View().x << " x " << View().y;
        const int left = 2 + Viewer().panX, top = 2 + Viewer().panY;
        const int right = left + Viewer().GetWidth(), bottom = top + Viewer().GetHeight();
        ASSERT_GT(left, 6) << "the picture spans the width: no bar to look at";
        EXPECT_EQ(ScreenAt(left - 4, (top + bottom) / 2), 0x000000u);
        EXPECT_EQ(ScreenAt(right + 3, (top + bottom) / 2), 0x000000u);
        EXPECT_NE(ScreenAt(left + 3, bottom - 4), 0x000000u);
        EXPECT_NE(ScreenAt(right - 4, bottom - 4), 0x000000u);
    }

    // Zoomed in by the user ("+"): the next size keeps the zoom and the image point at the
    // view's centre.
    const float fitted = Viewer().zoom;
    Click(Find<wxButton>(kIdZoomIn));
    ASSERT_TRUE(WaitUntil([&] { return Viewer().zoom > fitted; })) << Viewer().zoom;
    Settle(50);
    const float zoom = Viewer().zoom;
    const wxSize view = View();
    const int centreX = view.x / 2 - Viewer().panX, centreY = view.y / 2 - Viewer().panY;
    ResizeTo(first.x, first.y + 250);
    EXPECT_EQ(Viewer().zoom, zoom);
    EXPECT_EQ(View().x / 2 - Viewer().panX, centreX);
    EXPECT_EQ(View().y / 2 - Viewer().panY, centreY);
}

}  // namespace
}  // namespace dialog_test
