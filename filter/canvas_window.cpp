#include "filter/canvas_window.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2.0 * kPi;
// How far a straight edge may lie from the ellipse it stands for.
constexpr double kTolerance = 0.1;
// Bounds of the subdivision of an arc: a needle-thin ellipse is sharply curved at its ends.
constexpr int kMaxDepth = 30;
constexpr std::size_t kMaxArcPoints = 1 << 16;

struct Interval {
    double low, high;
};

// Angles of the ellipse's parameter (x = cx + a cos t, y = cy + b sin t) at which a coordinate
// lies within [low, high], as intervals within [0, 2 pi).
std::vector<Interval> AnglesWithCosineIn(double low, double high) {
    low = std::max(low, -1.0);
    high = std::min(high, 1.0);
    if (low > high) return {};
    const double near = std::acos(high), far = std::acos(low);
    return {{near, far}, {kTwoPi - far, kTwoPi - near}};
}

std::vector<Interval> AnglesWithSineIn(double low, double high) {
    low = std::max(low, -1.0);
    high = std::min(high, 1.0);
    if (low > high) return {};
    const double first = std::asin(low), last = std::asin(high);
    std::vector<Interval> angles{{kPi - last, kPi - first}};
    if (first >= 0.0)
        angles.push_back({first, last});
    else if (last < 0.0)
        angles.push_back({kTwoPi + first, kTwoPi + last});
    else {
        angles.push_back({0.0, last});
        angles.push_back({kTwoPi + first, kTwoPi});
    }
    return angles;
}

class EllipseArcs {
public:
    EllipseArcs(double cx, double cy, double a, double b) : cx(cx), cy(cy), a(a), b(b) {}

    ShapePoint At(double t) const { return {cx + a * std::cos(t), cy + b * std::sin(t)}; }

    // Points along the arc from t0 to t1, both ends included, close enough to it.
    void Sample(double t0, double t1, std::vector<ShapePoint>& out) const {
        struct Span {
            double t0, t1;
            int depth;
        };
        // Sixteen spans to start with, so that no bulge hides between two sample points.
        std::vector<Span> stack;
        constexpr int kStart = 16;
        for (int i = kStart; i > 0; --i)
            stack.push_back({t0 + (t1 - t0) * (i - 1) / kStart, t0 + (t1 - t0) * i / kStart, 0});
        out.push_back(At(t0));
        while (!stack.empty() && out.size() < kMaxArcPoints) {
            const Span s = stack.back();
            stack.pop_back();
            const ShapePoint p = At(s.t0), q = At(s.t1), m = At((s.t0 + s.t1) / 2.0);
            const double dx = m.x - (p.x + q.x) / 2.0, dy = m.y - (p.y + q.y) / 2.0;
            if (s.depth < kMaxDepth && dx * dx + dy * dy > kTolerance * kTolerance) {
                const double mid = (s.t0 + s.t1) / 2.0;
                stack.push_back({mid, s.t1, s.depth + 1});
                stack.push_back({s.t0, mid, s.depth + 1});
                continue;
            }
            out.push_back(q);
        }
    }

private:
    const double cx, cy, a, b;
};

// Sutherland-Hodgman against one side of the window: keeps the points where inside() holds.
template <class Inside, class Cross>
std::vector<ShapePoint> ClipSide(const std::vector<ShapePoint>& in, Inside inside, Cross cross) {
    std::vector<ShapePoint> out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const ShapePoint& p = in[i];
        const ShapePoint& q = in[(i + 1) % in.size()];
        const bool pIn = inside(p), qIn = inside(q);
        if (pIn) out.push_back(p);
        if (pIn != qIn) out.push_back(cross(p, q));
    }
    return out;
}

// The point of segment pq where the coordinate `along` (x or y) reaches v.
ShapePoint CrossAt(const ShapePoint& p, const ShapePoint& q, double v, bool alongX) {
    const double t = alongX ? (v - p.x) / (q.x - p.x) : (v - p.y) / (q.y - p.y);
    if (alongX) return {v, p.y + (q.y - p.y) * t};
    return {p.x + (q.x - p.x) * t, v};
}

// Liang-Barsky: the part of segment pq within the window, as the parameters [t0, t1].
bool ClipSegment(const ShapePoint& p, const ShapePoint& q, const CanvasWindow& w, double& t0, double& t1) {
    t0 = 0.0;
    t1 = 1.0;
    const double dx = q.x - p.x, dy = q.y - p.y;
    const double edges[4][2] = {{-dx, p.x - w.left}, {dx, w.right - p.x}, {-dy, p.y - w.top}, {dy, w.bottom - p.y}};
    for (const auto& e : edges) {
        if (e[0] == 0.0) {
            if (e[1] < 0.0) return false;
            continue;
        }
        const double t = e[1] / e[0];
        if (e[0] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

}  // namespace

CanvasWindow CanvasWindow::Around(int width, int height) {
    return {-kMargin, -kMargin, double(width) + kMargin, double(height) + kMargin};
}

bool CutBoxToWindow(double& left, double& top, double& right, double& bottom, const CanvasWindow& w) {
    if (right < w.left || left > w.right || bottom < w.top || top > w.bottom) return false;
    left = std::max(left, w.left);
    top = std::max(top, w.top);
    right = std::min(right, w.right);
    bottom = std::min(bottom, w.bottom);
    return true;
}

std::vector<ShapePoint> EllipseWithinWindow(double left, double top, double right, double bottom,
                                            const CanvasWindow& w) {
    const double a = (right - left) / 2.0, b = (bottom - top) / 2.0;
    if (!(a > 0.0) || !(b > 0.0) || right < w.left || left > w.right || bottom < w.top || top > w.bottom) return {};
    const double cx = left + a, cy = top + b;

    // The ellipse's boundary within the window: where both coordinates are within it.
    const std::vector<Interval> xs = AnglesWithCosineIn((w.left - cx) / a, (w.right - cx) / a);
    const std::vector<Interval> ys = AnglesWithSineIn((w.top - cy) / b, (w.bottom - cy) / b);
    const EllipseArcs ellipse(cx, cy, a, b);
    std::vector<ShapePoint> points;
    for (const Interval& x : xs)
        for (const Interval& y : ys) {
            const double low = std::max(x.low, y.low), high = std::min(x.high, y.high);
            if (low <= high) ellipse.Sample(low, high, points);
        }
    // The window's corners inside the ellipse close the shape along the window's sides.
    for (const ShapePoint& c : {ShapePoint{w.left, w.top}, ShapePoint{w.right, w.top}, ShapePoint{w.right, w.bottom},
                                ShapePoint{w.left, w.bottom}}) {
        const double u = (c.x - cx) / a, v = (c.y - cy) / b;
        if (u * u + v * v <= 1.0) points.push_back(c);
    }
    // Every point lies on the boundary of a convex shape: their order by angle around their
    // centre is the order along it. Arc samples were clamped into the window by rounding at most.
    for (ShapePoint& p : points) {
        p.x = std::clamp(p.x, w.left, w.right);
        p.y = std::clamp(p.y, w.top, w.bottom);
    }
    if (points.size() < 3) return {};
    double mx = 0.0, my = 0.0;
    for (const ShapePoint& p : points) {
        mx += p.x;
        my += p.y;
    }
    mx /= double(points.size());
    my /= double(points.size());
    std::sort(points.begin(), points.end(), [mx, my](const ShapePoint& p, const ShapePoint& q) {
        return std::atan2(p.y - my, p.x - mx) < std::atan2(q.y - my, q.x - mx);
    });
    return points;
}

std::vector<ShapePoint> PolygonWithinWindow(const std::vector<ShapePoint>& polygon, const CanvasWindow& w) {
    std::vector<ShapePoint> out = polygon;
    out = ClipSide(out, [&](const ShapePoint& p) { return p.x >= w.left; },
                   [&](const ShapePoint& p, const ShapePoint& q) { return CrossAt(p, q, w.left, true); });
    out = ClipSide(out, [&](const ShapePoint& p) { return p.x <= w.right; },
                   [&](const ShapePoint& p, const ShapePoint& q) { return CrossAt(p, q, w.right, true); });
    out = ClipSide(out, [&](const ShapePoint& p) { return p.y >= w.top; },
                   [&](const ShapePoint& p, const ShapePoint& q) { return CrossAt(p, q, w.top, false); });
    out = ClipSide(out, [&](const ShapePoint& p) { return p.y <= w.bottom; },
                   [&](const ShapePoint& p, const ShapePoint& q) { return CrossAt(p, q, w.bottom, false); });
    return out;
}

std::vector<std::vector<ShapePoint>> PolylineWithinWindow(const std::vector<ShapePoint>& line, const CanvasWindow& w) {
    std::vector<std::vector<ShapePoint>> runs;
    bool joined = false;  // the last segment reached its end point
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const ShapePoint& p = line[i];
        const ShapePoint& q = line[i + 1];
        double t0 = 0.0, t1 = 1.0;
        if (!ClipSegment(p, q, w, t0, t1)) {
            joined = false;
            continue;
        }
        const ShapePoint from{p.x + (q.x - p.x) * t0, p.y + (q.y - p.y) * t0};
        const ShapePoint to{p.x + (q.x - p.x) * t1, p.y + (q.y - p.y) * t1};
        if (!joined || t0 > 0.0) runs.push_back({from});
        runs.back().push_back(to);
        joined = t1 >= 1.0;
    }
    return runs;
}
