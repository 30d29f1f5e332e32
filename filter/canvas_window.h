// Shapes cut to a window around the canvas they are drawn on, in double precision, before the
// toolkit gets them. cairo keeps coordinates in 24.8 fixed point, and GDI+ under wine flattens
// curves in single precision and overflows its stack on small arcs far from the origin, so a
// body far larger or farther away than any accepted value puts it must not reach them whole.
// The window reaches past the canvas by more than half the widest pen the drawing uses, so a
// cut changes nothing inside the canvas: strokes along the cut edges stay outside it.
#pragma once

#include <vector>

struct CanvasWindow {
    // How far the window reaches past the canvas on every side: half the widest pen there is
    // (1024 pixels), the smoothing of its edge and a good deal to spare.
    static constexpr double kMargin = 576.0;

    double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;

    // The window around a canvas of width x height pixels whose top-left pixel is (0, 0).
    static CanvasWindow Around(int width, int height);
    bool Contains(double x, double y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

struct ShapePoint {
    double x = 0.0, y = 0.0;
};

// The box (left <= right, top <= bottom) with every side beyond the window moved onto it;
// false when the box lies wholly outside the window.
bool CutBoxToWindow(double& left, double& top, double& right, double& bottom, const CanvasWindow& window);

// The part of the ellipse inscribed in the box that lies within the window, as a convex polygon
// whose edges along the ellipse stray from it by less than a tenth of a pixel; empty when none.
std::vector<ShapePoint> EllipseWithinWindow(double left, double top, double right, double bottom,
                                            const CanvasWindow& window);

// The part of a convex polygon within the window, in the same order.
std::vector<ShapePoint> PolygonWithinWindow(const std::vector<ShapePoint>& polygon, const CanvasWindow& window);

// The runs of an open polyline that lie within the window; consecutive segments that both
// remain stay joined in one run.
std::vector<std::vector<ShapePoint>> PolylineWithinWindow(const std::vector<ShapePoint>& polyline,
                                                          const CanvasWindow& window);
