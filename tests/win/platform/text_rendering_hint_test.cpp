// The tile renderer's graphics context on Windows: the toolkit's default renderer is GDI+, its
// native context is a GDI+ Graphics, the text rendering hint lands on that object, and a call
// on it that failed is found there.
#include "win32/graphics_status.h"
#include "win32/text_rendering_hint.h"

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/init.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

class Toolkit : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(wxInitialize()); }
    void TearDown() override { wxUninitialize(); }
};

TEST_F(Toolkit, HintIsSetAndAFailedCallIsFoundOnTheGdiPlusGraphicsOfTheDefaultRenderer) {
    ASSERT_EQ(wxGraphicsRenderer::GetDefaultRenderer(), wxGraphicsRenderer::GetGDIPlusRenderer());
    wxBitmap bitmap(8, 8, 32);
    wxMemoryDC dc(bitmap);
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsRenderer::GetDefaultRenderer()->CreateContext(dc));
    ASSERT_TRUE(gc);
    auto* graphics = static_cast<Gdiplus::Graphics*>(gc->GetNativeContext());
    ASSERT_NE(graphics, nullptr);

    EXPECT_EQ(SetTextRenderingHint(graphics, TextRenderingHintClearTypeGridFit), 0);
    EXPECT_EQ(graphics->GetTextRenderingHint(), TextRenderingHintClearTypeGridFit);
    EXPECT_EQ(SetTextRenderingHint(graphics, TextRenderingHintAntiAlias), 0);
    EXPECT_EQ(graphics->GetTextRenderingHint(), TextRenderingHintAntiAlias);

    EXPECT_FALSE(TakeGraphicsFailure(graphics).failed);
    graphics->DrawLine(static_cast<const Gdiplus::Pen*>(nullptr), 0, 0, 4, 4);
    EXPECT_EQ(TakeGraphicsFailure(graphics).text, "GDI+ status 2 (InvalidParameter)");
    EXPECT_FALSE(TakeGraphicsFailure(graphics).failed) << "asking clears it";
}

TEST(TextRenderingHint, WithoutAGraphicsObjectIsRefused) {
    EXPECT_NE(SetTextRenderingHint(nullptr, TextRenderingHintClearTypeGridFit), 0);
}

}  // namespace
