// Documents: modes the host can hold, geometry, selection, the merged image, and how the
// filter record describes them.
#include "pixel_test_support.h"

namespace pixel_test {
namespace {

TEST(DocumentTest, RefusesDocumentsItCannotHold) {
    EXPECT_THROW(PixelDocument(0, 5, plugInModeRGBColor), DocumentError);
    EXPECT_THROW(PixelDocument(5, -1, plugInModeRGBColor), DocumentError);
    EXPECT_THROW(PixelDocument(5, 5, plugInModeIndexedColor), DocumentError);
    EXPECT_THROW(PixelDocument(5, 5, 99), DocumentError);
    EXPECT_THROW(PixelDocument(5, 5, plugInModeMultichannel, false, 1, 0), DocumentError);
    EXPECT_THROW(PixelDocument(5, 5, plugInModeRGBColor, false, 0), DocumentError);
    EXPECT_THROW(PixelDocument(200000, 200000, plugInModeGrayScale), DocumentError);
    PixelDocument doc(5, 5, plugInModeRGBColor);
    EXPECT_THROW(doc.SelectRect(VRect{5, 0, 9, 9}), DocumentError);
}

TEST(DocumentTest, SelectionBoundsAndTheRecordFollowTheSelection) {
    PixelDocument doc(10, 8, plugInModeCMYK64, true);
    EXPECT_EQ(doc.target().planeCount(), 5);
    Plane& selection = doc.CreateSelection(0);
    *selection.At(2, 3) = 1;
    *selection.At(6, 5) = 255;
    const VRect bounds = doc.SelectionBounds();
    EXPECT_EQ(bounds.top, 3);
    EXPECT_EQ(bounds.left, 2);
    EXPECT_EQ(bounds.bottom, 6);
    EXPECT_EQ(bounds.right, 7);

    HostSession session;
    PixelHost host(session, doc);
    const FilterRecord& r = session.filterRecord();
    EXPECT_EQ(r.imageMode, plugInModeCMYK64);
    EXPECT_EQ(r.depth, 16);
    EXPECT_EQ(r.planes, 5);
    EXPECT_EQ(r.filterCase, filterCaseEditableTransparencyWithSelection);
    EXPECT_EQ(r.filterRect.left, 2);
    EXPECT_EQ(r.filterRect.bottom, 6);
    EXPECT_EQ(session.bigDocument().filterRect32.right, 7);
    EXPECT_EQ(r.haveMask, 1);
    ASSERT_TRUE(r.bufferProcs != nullptr);
    EXPECT_TRUE(r.documentInfo != nullptr);
    EXPECT_TRUE(session.basicSuite().IsEnabled(kPSColorSpaceSuite));

    doc.ClearSelection();
    doc.SetTransparency(doc.targetIndex(), false);
    host.Refresh();
    EXPECT_EQ(r.filterCase, filterCaseFlatImageNoSelection);
    EXPECT_EQ(r.planes, 4);
    EXPECT_EQ(r.filterRect.right, 10);
}

TEST(DocumentTest, MergedImageCompositesLayersThroughTheirTransparency) {
    PixelDocument doc(2, 1, plugInModeGrayScale, true, 2);
    doc.layer(0).color[0].SetUnit(0, 0, 1.0);  // white, opaque
    doc.layer(1).color[0].SetUnit(0, 0, 0.0);  // black, half covering
    doc.layer(1).transparency->SetUnit(0, 0, 128 / 255.0);
    doc.layer(1).transparency->SetUnit(1, 0, 0.0);
    doc.layer(0).color[0].SetUnit(1, 0, 0.2);
    doc.MarkChanged();
    ASSERT_EQ(doc.mergedPlaneCount(), 2);
    EXPECT_EQ(*doc.MergedPlane(0).At(0, 0), 127);
    EXPECT_EQ(*doc.MergedPlane(1).At(0, 0), 255);
    EXPECT_EQ(*doc.MergedPlane(0).At(1, 0), 51);  // the top layer is clear there

    doc.layer(0).color[0].SetUnit(1, 0, 0.6);
    EXPECT_EQ(*doc.MergedPlane(0).At(1, 0), 51);  // until told that the document changed
    doc.MarkChanged();
    EXPECT_EQ(*doc.MergedPlane(0).At(1, 0), 153);
}

}  // namespace
}  // namespace pixel_test
