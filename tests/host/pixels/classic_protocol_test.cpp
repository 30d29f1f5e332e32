// The classic protocol as a plug-in sees it: requests in the filter record, advanceState,
// inData / outData / maskData, and output going back into the document.
#include "pixel_test_support.h"

#include <memory>

namespace pixel_test {
namespace {

// 8 x 6 RGB with transparency: sample (x, y) of plane p is V(x, y, p).
uint8 V(int32 x, int32 y, int p) { return uint8(x + 8 * y + 64 * p); }

class ClassicProtocolTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int p = 0; p < 4; ++p)
            for (int32 y = 0; y < 6; ++y)
                for (int32 x = 0; x < 8; ++x) *doc.target().plane(p).At(x, y) = V(x, y, p);
        PixelHostOptions options;
        options.protocol = PixelProtocol::Classic;
        host = std::make_unique<PixelHost>(session, doc, options);
    }
    void SetOptions(const std::function<void(PixelHostOptions&)>& change) {
        PixelHostOptions options = host->options();
        change(options);
        host->SetOptions(options);
    }
    static void RequestIn(FilterRecord& r, VRect rect, int16 lo, int16 hi) {
        r.inRect = ::Rect{int16(rect.top), int16(rect.left), int16(rect.bottom), int16(rect.right)};
        r.inLoPlane = lo;
        r.inHiPlane = hi;
    }
    static void RequestOut(FilterRecord& r, VRect rect, int16 lo, int16 hi) {
        r.outRect = ::Rect{int16(rect.top), int16(rect.left), int16(rect.bottom), int16(rect.right)};
        r.outLoPlane = lo;
        r.outHiPlane = hi;
    }
    static uint8 In(const FilterRecord& r, int32 col, int32 row, int plane) {
        return static_cast<const uint8*>(r.inData)[row * r.inRowBytes + col * r.inColumnBytes + plane * r.inPlaneBytes];
    }

    PixelDocument doc{8, 6, plugInModeRGBColor, true};
    HostSession session;
    std::unique_ptr<PixelHost> host;
};

TEST_F(ClassicProtocolTest, DeliversTheRequestedPlanesInterleaved) {
    const int16 result = ScriptedEntry::Start(session, [](FilterRecord& r, int16&) {
        RequestIn(r, VRect{1, 2, 4, 6}, 1, 3);
        ASSERT_EQ(r.advanceState(), noErr);
        ASSERT_TRUE(r.inData != nullptr);
        EXPECT_EQ(r.inColumnBytes, 3);
        EXPECT_EQ(r.inPlaneBytes, 1);
        for (int32 row = 0; row < 3; ++row)
            for (int32 col = 0; col < 4; ++col)
                for (int k = 0; k < 3; ++k) EXPECT_EQ(In(r, col, row, k), V(2 + col, 1 + row, 1 + k));
    });
    EXPECT_EQ(result, noErr);
    EXPECT_TRUE(session.problems().empty());
}

TEST_F(ClassicProtocolTest, ReadsThirtyTwoBitRectanglesWhenThePlugInAsks) {
    PixelDocument wide(40000, 2, plugInModeGrayScale);
    *wide.target().plane(0).At(39995, 1) = 77;
    PixelHostOptions options;
    options.protocol = PixelProtocol::Classic;
    host.reset();
    PixelHost wideHost(session, wide, options);
    EXPECT_EQ(session.filterRecord().filterRect.right, 32767);  // the 16-bit record cannot say more
    EXPECT_EQ(session.bigDocument().filterRect32.right, 40000);
    ScriptedEntry::Start(session, [](FilterRecord& r, int16&) {
        r.bigDocumentData->PluginUsing32BitCoordinates = 1;
        r.bigDocumentData->inRect32 = VRect{1, 39990, 2, 40000};
        r.inLoPlane = r.inHiPlane = 0;
        ASSERT_EQ(r.advanceState(), noErr);
        EXPECT_EQ(static_cast<const uint8*>(r.inData)[5], 77);
    });
}

// Every layout addresses the same samples through the strides the host reports.
class LayoutTest : public ClassicProtocolTest, public ::testing::WithParamInterface<int16> {};

TEST_P(LayoutTest, StridesAddressTheDocumentsSamples) {
    SetOptions([](PixelHostOptions& o) { o.classic.rowPadding = 5; });
    const int16 layout = GetParam();
    ScriptedEntry::Start(session, [layout](FilterRecord& r, int16&) {
        r.wantLayout = layout;
        RequestIn(r, VRect{0, 1, 5, 7}, 0, 3);
        ASSERT_EQ(r.advanceState(), noErr);
        for (int32 row = 0; row < 5; ++row)
            for (int32 col = 0; col < 6; ++col)
                for (int p = 0; p < 4; ++p) ASSERT_EQ(In(r, col, row, p), V(1 + col, row, p)) << col << "," << row;
        if (layout == piLayoutPlanesRowsColumns) {
            EXPECT_EQ(r.inColumnBytes, 1);
            EXPECT_EQ(r.inRowBytes, 6 + 5);
            EXPECT_EQ(r.inPlaneBytes, 5 * (6 + 5));
        }
    });
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, LayoutTest, ::testing::Values(0, 1, 2, 3, 4, 5, 6));

TEST_F(ClassicProtocolTest, IgnoresAlternateLayoutsWhenItDoesNotOfferThem) {
    SetOptions([](PixelHostOptions& o) { o.classic.alternateLayouts = false; });
    EXPECT_EQ(session.filterRecord().supportsAlternateLayouts, 0);
    ScriptedEntry::Start(session, [](FilterRecord& r, int16&) {
        r.wantLayout = piLayoutPlanesRowsColumns;
        RequestIn(r, VRect{0, 0, 2, 2}, 0, 3);
        ASSERT_EQ(r.advanceState(), noErr);
        EXPECT_EQ(r.inPlaneBytes, 0);
        EXPECT_EQ(r.inRowBytes, 2 * 4);
        EXPECT_EQ(static_cast<const uint8*>(r.inData)[4 + 1], V(1, 0, 1));  // interleaved
    });
}

TEST_F(ClassicProtocolTest, DummyPlanesCarryTheDummyValue) {
    ScriptedEntry::Start(session, [](FilterRecord& r, int16&) {
        RequestIn(r, VRect{0, 0, 1, 2}, 2, 2);
        r.inPreDummyPlanes = 1;
        r.inPostDummyPlanes = 2;
        r.dummyPlaneValue = 9;
        ASSERT_EQ(r.advanceState(), noErr);
        EXPECT_EQ(r.inColumnBytes, 4);
        EXPECT_EQ(In(r, 1, 0, 0), 9);
        EXPECT_EQ(In(r, 1, 0, 1), V(1, 0, 2));
        EXPECT_EQ(In(r, 1, 0, 3), 9);
    });
    SetOptions([](PixelHostOptions& o) { o.classic.dummyPlanes = false; });
    ScriptedEntry::Start(session, [](FilterRecord& r, int16&) {
        RequestIn(r, VRect{0, 0, 1, 2}, 0, 0);
        r.inPostDummyPlanes = 1;
        EXPECT_EQ(r.advanceState(), paramErr);
        EXPECT_TRUE(r.inData == nullptr);
    });
    EXPECT_TRUE(session.problems().Contains("dummy planes"));
}

TEST_F(ClassicProtocolTest, PadsOutsideTheDocumentAsTheRecordAsks) {
    ScriptedEntry::Start(session, [](FilterRecord& r, int16&) {
        RequestIn(r, VRect{-1, 6, 1, 10}, 0, 0);  // 2 pixels inside, 2 beyond the right edge
        r.inputPadding = 200;
        ASSERT_EQ(r.advanceState(), noErr);
        EXPECT_EQ(In(r, 0, 0, 0), 200);  // row -1
        EXPECT_EQ(In(r, 1, 1, 0), V(7, 0, 0));
        EXPECT_EQ(In(r, 3, 1, 0), 200);
        r.inputPadding = kPaddingEdgeReplicate;
        ASSERT_EQ(r.advanceState(), noErr);
        EXPECT_EQ(In(r, 3, 1, 0), V(7, 0, 0));
        EXPECT_EQ(In(r, 0, 0, 0), V(6, 0, 0));
        r.inputPadding = kPaddingError;
        EXPECT_EQ(r.advanceState(), paramErr);
    });
    EXPECT_TRUE(session.problems().Contains("reaches outside the document"));
}

TEST_F(ClassicProtocolTest, SamplesAtTheInputRate) {
    ScriptedEntry::Start(session, [](FilterRecord& r, int16&) {
        RequestIn(r, VRect{0, 0, 3, 4}, 0, 0);  // the half-size image is 4 x 3
        r.inputRate = 2 << 16;
        ASSERT_EQ(r.advanceState(), noErr);
        for (int32 row = 0; row < 3; ++row)
            for (int32 col = 0; col < 4; ++col) EXPECT_EQ(In(r, col, row, 0), V(2 * col, 2 * row, 0));
    });
    SetOptions([](PixelHostOptions& o) { o.classic.samplingSupport = 1; });
    ScriptedEntry::Start(session, [](FilterRecord& r, int16&) {
        RequestIn(r, VRect{0, 0, 1, 1}, 0, 0);
        r.inputRate = 3 << 15;  // 1.5: not whole
        EXPECT_EQ(r.advanceState(), paramErr);
    });
    SetOptions([](PixelHostOptions& o) { o.classic.samplingSupport = 0; });
    ScriptedEntry::Start(session, [](FilterRecord& r, int16&) {
        RequestIn(r, VRect{0, 0, 1, 1}, 0, 0);
        r.inputRate = 2 << 16;
        EXPECT_EQ(r.advanceState(), paramErr);
    });
    EXPECT_TRUE(session.problems().Contains("does no sampling"));
}

TEST_F(ClassicProtocolTest, RefusesRequestsOutsideTheDocument) {
    ScriptedEntry::Start(session, [](FilterRecord& r, int16&) {
        RequestOut(r, VRect{0, 4, 2, 9}, 0, 3);
        EXPECT_EQ(r.advanceState(), paramErr);
        EXPECT_TRUE(r.outData == nullptr);
        RequestOut(r, VRect{0, 0, 2, 2}, 0, 4);  // planes 0..3 only
        EXPECT_EQ(r.advanceState(), paramErr);
        RequestOut(r, VRect{0, 0, 2, 2}, 2, 1);
        EXPECT_EQ(r.advanceState(), paramErr);
        r.outRect = ::Rect{0, 0, 0, 0};
        RequestIn(r, VRect{0, 0, 2, 2}, -1, 0);
        EXPECT_EQ(r.advanceState(), paramErr);
        r.inRect = ::Rect{0, 0, 0, 0};
    });
    EXPECT_EQ(session.problems().count(), 4u);
    EXPECT_TRUE(session.problems().Contains("outRect (top 0, left 4, bottom 2, right 9)"));
    EXPECT_TRUE(session.problems().Contains("planes 0..4"));
}

TEST_F(ClassicProtocolTest, OutputStartsWithTheDocumentAndGoesBackAtTheNextAdvance) {
    ScriptedEntry::Start(session, [this](FilterRecord& r, int16&) {
        RequestOut(r, VRect{1, 1, 3, 4}, 1, 2);
        ASSERT_EQ(r.advanceState(), noErr);
        uint8* out = static_cast<uint8*>(r.outData);
        EXPECT_EQ(out[r.outRowBytes + 2 * 2 + 1], V(3, 2, 2));
        for (int32 row = 0; row < 2; ++row)
            for (int32 i = 0; i < 3 * 2; ++i) out[row * r.outRowBytes + i] = 5;
        EXPECT_EQ(*doc.target().plane(1).At(1, 1), V(1, 1, 1));  // not yet
        r.outRect = ::Rect{0, 0, 0, 0};
        ASSERT_EQ(r.advanceState(), noErr);
        EXPECT_TRUE(r.outData == nullptr);
    });
    EXPECT_EQ(*doc.target().plane(1).At(1, 1), 5);
    EXPECT_EQ(*doc.target().plane(2).At(3, 2), 5);
    EXPECT_EQ(*doc.target().plane(0).At(1, 1), V(1, 1, 0));  // plane 0 was not asked for
    EXPECT_EQ(*doc.target().plane(1).At(4, 1), V(4, 1, 1));  // outside the rectangle
    EXPECT_EQ(host->classic().outputsTaken(), 1);
}

TEST_F(ClassicProtocolTest, OutputStillHandedOutWhenStartEndsIsKeptOnlyOnSuccess) {
    auto fillOut = [](FilterRecord& r, int16&) {
        RequestOut(r, VRect{0, 0, 1, 1}, 0, 0);
        ASSERT_EQ(r.advanceState(), noErr);
        *static_cast<uint8*>(r.outData) = 1;
        r.outRect = ::Rect{0, 0, 0, 0};
    };
    EXPECT_EQ(ScriptedEntry::Start(session, fillOut), noErr);
    EXPECT_EQ(*doc.target().plane(0).At(0, 0), 1);

    *doc.target().plane(0).At(0, 0) = 50;
    EXPECT_EQ(ScriptedEntry::Start(session,
                                   [&](FilterRecord& r, int16& result) {
                                       fillOut(r, result);
                                       result = errPlugInHostInsufficient;
                                   }),
              errPlugInHostInsufficient);
    EXPECT_EQ(*doc.target().plane(0).At(0, 0), 50);
    EXPECT_TRUE(session.filterRecord().outData == nullptr);
}

TEST_F(ClassicProtocolTest, RequestsLeftAtTheEndOfStartAreServedForContinue) {
    ScriptedEntry::Start(session, [](FilterRecord& r, int16&) {
        RequestIn(r, VRect{0, 0, 2, 2}, 0, 0);
        RequestOut(r, VRect{0, 0, 2, 2}, 0, 0);
    });
    ASSERT_TRUE(host->WantsContinue());
    ASSERT_TRUE(session.filterRecord().inData != nullptr);
    ScriptedEntry::Body() = [](FilterRecord& r, int16&) {
        const uint8* in = static_cast<const uint8*>(r.inData);
        uint8* out = static_cast<uint8*>(r.outData);
        for (int32 row = 0; row < 2; ++row)
            for (int32 col = 0; col < 2; ++col) out[row * r.outRowBytes + col] = uint8(255 - in[row * r.inRowBytes + col]);
        r.inRect = r.outRect = ::Rect{0, 0, 0, 0};
    };
    EXPECT_EQ(session.Call(&ScriptedEntry::Entry, filterSelectorContinue), noErr);
    ScriptedEntry::Body() = nullptr;
    EXPECT_FALSE(host->WantsContinue());
    EXPECT_EQ(*doc.target().plane(0).At(1, 1), 255 - V(1, 1, 0));
}

TEST_F(ClassicProtocolTest, MaskComesFromTheSelectionAndMasksTheOutput) {
    doc.SelectRect(VRect{0, 0, 3, 4});
    *doc.selection()->At(1, 1) = 128;
    host->Refresh();
    const FilterRecord& record = session.filterRecord();
    EXPECT_EQ(record.haveMask, 1);
    EXPECT_EQ(record.filterCase, filterCaseEditableTransparencyWithSelection);
    EXPECT_EQ(record.filterRect.right, 4);
    EXPECT_EQ(record.filterRect.bottom, 3);

    *doc.target().plane(0).At(1, 1) = 100;
    ScriptedEntry::Start(session, [](FilterRecord& r, int16&) {
        r.maskRect = ::Rect{0, 2, 4, 6};
        RequestOut(r, VRect{0, 2, 4, 6}, 0, 0);
        ASSERT_EQ(r.advanceState(), noErr);
        const uint8* mask = static_cast<const uint8*>(r.maskData);
        ASSERT_NE(mask, nullptr);
        EXPECT_EQ(mask[0], 255);
        EXPECT_EQ(mask[2], 0);                    // x 4 is outside the selection
        EXPECT_EQ(mask[3 * r.maskRowBytes], 0);  // so is y 3
        std::fill_n(static_cast<uint8*>(r.outData), r.outRowBytes * 4, uint8(200));
        RequestOut(r, VRect{1, 1, 2, 2}, 0, 0);
        ASSERT_EQ(r.advanceState(), noErr);
        *static_cast<uint8*>(r.outData) = 200;
        r.outRect = r.maskRect = ::Rect{0, 0, 0, 0};
    });
    EXPECT_EQ(*doc.target().plane(0).At(2, 0), 200);
    EXPECT_EQ(*doc.target().plane(0).At(4, 0), V(4, 0, 0));  // outside the selection: untouched
    EXPECT_EQ(*doc.target().plane(0).At(2, 3), V(2, 3, 0));
    EXPECT_EQ(*doc.target().plane(0).At(1, 1), 150);         // half selected: half way

    // A plug-in that masks by itself clears autoMask.
    ScriptedEntry::Start(session, [](FilterRecord& r, int16&) {
        r.autoMask = 0;
        RequestOut(r, VRect{3, 5, 4, 6}, 0, 0);
        ASSERT_EQ(r.advanceState(), noErr);
        *static_cast<uint8*>(r.outData) = 1;
        r.outRect = ::Rect{0, 0, 0, 0};
    });
    EXPECT_EQ(*doc.target().plane(0).At(5, 3), 1);
}

TEST_F(ClassicProtocolTest, InjectedFailureAnswersTheNthAdvanceAndKeepsEarlierOutput) {
    host->faults().FailAt(PixelCall::AdvanceState, 2, memFullErr);
    ScriptedEntry::Start(session, [](FilterRecord& r, int16&) {
        RequestOut(r, VRect{0, 0, 1, 1}, 0, 0);
        ASSERT_EQ(r.advanceState(), noErr);
        *static_cast<uint8*>(r.outData) = 3;
        EXPECT_EQ(r.advanceState(), memFullErr);
        EXPECT_TRUE(r.outData == nullptr);
        EXPECT_EQ(r.advanceState(), noErr);  // only the second call fails
    });
    EXPECT_EQ(*doc.target().plane(0).At(0, 0), 3);
    EXPECT_EQ(host->faults().Calls(PixelCall::AdvanceState), 3);
    EXPECT_EQ(host->faults().Failures(PixelCall::AdvanceState), 1);
}

TEST_F(ClassicProtocolTest, SixteenBitDocumentsServeSamplesUpTo32768) {
    PixelDocument deep(4, 2, plugInModeRGB48);
    deep.target().plane(2).SetUnit(3, 1, 1.0);
    host.reset();
    PixelHostOptions options;
    options.protocol = PixelProtocol::Classic;
    PixelHost deepHost(session, deep, options);
    EXPECT_EQ(session.filterRecord().depth, 16);
    ScriptedEntry::Start(session, [](FilterRecord& r, int16&) {
        RequestIn(r, VRect{1, 3, 2, 4}, 0, 2);
        r.inputPadding = 255;
        ASSERT_EQ(r.advanceState(), noErr);
        EXPECT_EQ(static_cast<const uint16*>(r.inData)[2], 32768);
        RequestIn(r, VRect{1, 4, 2, 5}, 0, 0);  // padding beyond the edge, at 16 bits
        ASSERT_EQ(r.advanceState(), noErr);
        EXPECT_EQ(static_cast<const uint16*>(r.inData)[0], 32768);
    });
}

}  // namespace
}  // namespace pixel_test
