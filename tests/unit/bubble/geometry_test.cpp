// Body, pointer, pens and text box as numbers.
#include "bubble_test_support.h"
#include "filter/bubble_drawing.h"

#include <cmath>
#include <limits>

namespace {

void ExpectPoint(const BubblePoint& p, std::int64_t x, std::int64_t y) {
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
}

TEST(BubbleGeometry, DefaultBubbleOnAThousandByFiveHundredFrame) {
    Parameters p = DefaultBubble();
    const BubbleGeometry g = ComputeBubbleGeometry(p, BubbleFrame{1000, 500, 0, 0}, 1.0f);
    EXPECT_EQ(g.bodyLeft, 10);
    EXPECT_EQ(g.bodyTop, 75);
    EXPECT_EQ(g.bodyWidth, 100);
    EXPECT_EQ(g.bodyHeight, 100);
    ExpectPoint(g.centre, 60, 125);
    // The tip (10, 75) lies at exactly 45 degrees: not steep, so the base runs along y.
    EXPECT_FALSE(g.steep);
    ExpectPoint(g.triangle[0], 60, 105);
    ExpectPoint(g.triangle[1], 10, 75);
    ExpectPoint(g.triangle[2], 60, 145);
    EXPECT_EQ(g.edgePenWidth, 4);
    EXPECT_EQ(g.pointerPenWidth, 2);
    const TextBox box = ComputeTextBox(g, 8);  // |cos(135 rad) * sqrt 2| = 1.40868...: 70, not 100 / sqrt 2
    EXPECT_EQ(std::vector<std::int64_t>({box.left, box.top, box.width, box.height}),
              std::vector<std::int64_t>({25, 90, 70, 70}));
    EXPECT_DOUBLE_EQ(std::fabs(std::cos(135.0) * std::sqrt(2.0)), 1.4086809257715194);

    SetInt(p, kParamShape, 1);  // the rectangle keeps a character width from the body
    const TextBox rect = ComputeTextBox(ComputeBubbleGeometry(p, BubbleFrame{1000, 500, 0, 0}, 1.0f), 8);
    EXPECT_EQ(std::vector<std::int64_t>({rect.left, rect.top, rect.width, rect.height}),
              std::vector<std::int64_t>({18, 83, 84, 84}));
}

TEST(BubbleGeometry, SteepTestAndHalfBaseClamp) {
    // On a 100 x 100 frame a percent is a pixel; the body's top-left is (10, 10).
    struct Case {
        double width, height, tipX, tipY, halfBase;
        bool steep;
        std::int64_t clamped;
    } const cases[] = {
        {100, 100, 60, 5, 20, true, 20},    // straight above the centre (60, 60)
        {100, 100, 60, 99, 20, true, 20},   // straight below
        {100, 100, 59, 5, 20, true, 20},    // just off vertical
        {100, 100, 99, 99, 20, false, 20},  // exactly 45 degrees
        {100, 100, 5, 59, 20, false, 20},   // nearly horizontal
        {100, 100, 60, 60, 20, false, 20},  // on the centre
        {100, 100, 60, 5, 60, true, 49},    // steep: cut to half the width minus one
        {100, 100, 60, 5, 50, true, 50},    // equal to the half is kept
        {100, 20, 60, 0, 40, true, 40},     // steep ignores the height
        {200, 60, 0, 40, 40, false, 29},    // not steep: half the smaller side minus one
    };
    for (const Case& c : cases) {
        Parameters p = DefaultBubble();
        Set(p, kParamEllipseWidth, c.width);
        Set(p, kParamEllipseHeight, c.height);
        Set(p, kParamXPosition, 10);
        Set(p, kParamYPosition, 10);
        Set(p, kParamXIndicatorPosition, c.tipX);
        Set(p, kParamYIndicatorPosition, c.tipY);
        Set(p, kParamIndicatorWidth, c.halfBase);
        const BubbleGeometry g = ComputeBubbleGeometry(p, BubbleFrame{100, 100, 0, 0}, 1.0f);
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " tip " << c.tipX << "," << c.tipY);
        ExpectPoint(g.tip, std::int64_t(c.tipX), std::int64_t(c.tipY));
        EXPECT_EQ(g.steep, c.steep);
        EXPECT_EQ(g.halfBase, c.clamped);
        const BubblePoint centre = g.centre;
        const std::int64_t h = g.halfBase;
        if (c.steep) {  // base along x through the centre
            ExpectPoint(g.triangle[0], centre.x + h, centre.y);
            ExpectPoint(g.triangle[2], centre.x - h, centre.y);
        } else {
            ExpectPoint(g.triangle[0], centre.x, centre.y - h);
            ExpectPoint(g.triangle[2], centre.x, centre.y + h);
        }
    }
}

TEST(BubbleGeometry, ScaleDegenerateAndWildValues) {
    Parameters p = DefaultBubble();
    Set(p, kParamEllipseWidth, 101);
    BubbleGeometry g = ComputeBubbleGeometry(p, BubbleFrame{500, 250, 0, 0}, 0.5f);
    EXPECT_EQ(g.bodyWidth, 50);  // sizes halved and truncated...
    EXPECT_EQ(g.halfBase, 10);
    EXPECT_EQ(g.edgePenWidth, 2);
    EXPECT_EQ(g.pointerPenWidth, 1);
    ExpectPoint({g.bodyLeft, g.bodyTop}, 5, 37);  // ...positions stay fractions of the frame

    Set(p, kParamEllipseWidth, 0);
    Set(p, kParamEllipseHeight, 0.5);
    Set(p, kParamEdgeThickness, 0);
    Set(p, kParamIndicatorThickness, 0.4);
    g = ComputeBubbleGeometry(p, BubbleFrame{1000, 500, 0, 0}, 1.0f);
    EXPECT_EQ(g.bodyWidth, 1);
    EXPECT_EQ(g.bodyHeight, 1);
    EXPECT_FALSE(g.edgeVisible);
    EXPECT_TRUE(g.pointerVisible);  // thinner than a pixel, but drawn
    EXPECT_EQ(g.pointerPenWidth, 0);

    // Values no dialog accepts (a preset file takes them as they are) saturate.
    Set(p, kParamXPosition, 1e300);
    Set(p, kParamYPosition, std::numeric_limits<double>::quiet_NaN());
    Set(p, kParamEllipseWidth, 1e12);
    g = ComputeBubbleGeometry(p, BubbleFrame{1000, 500, 0, 0}, 1.0f);
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    ExpectPoint({g.bodyLeft, g.bodyTop}, kMax, 0);
    EXPECT_EQ(g.centre.x, kMax + kMax / 2);
    // Pens stop at 1024 pixels, five times the widest the accepted range gives.
    Set(p, kParamEdgeThickness, 1e9);
    Set(p, kParamIndicatorThickness, 1e300);
    g = ComputeBubbleGeometry(p, BubbleFrame{1000, 500, 0, 0}, 1.0f);
    EXPECT_EQ(g.edgePenWidth, 1024);
    EXPECT_EQ(g.pointerPenWidth, 1024);
}

}  // namespace
