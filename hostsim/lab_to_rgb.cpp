#include "hostsim/lab_to_rgb.h"

#include <algorithm>
#include <cmath>

namespace hostsim {
namespace {

constexpr std::size_t kStartCells = 65536;

// The inverse of CIE Lab's companding function.
double Uncompand(double t) {
    constexpr double kLimit = 24.0 / 116.0;
    // Both sides, then a choice: random colours would make a branch guess wrong half the time.
    const double cube = t * t * t, line = (108.0 / 841.0) * (t - 16.0 / 116.0);
    return t <= kLimit ? line : cube;
}

}  // namespace

LabToRgb::LabToRgb(cmsHPROFILE rgb) {
    if (!rgb) return;
    const cmsTagSignature colorants[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag};
    const cmsTagSignature curves[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
    double toXyz[3][3];
    const cmsFloat64Number* params = nullptr;
    for (int c = 0; c < 3; ++c) {
        const auto* xyz = static_cast<const cmsCIEXYZ*>(cmsReadTag(rgb, colorants[c]));
        const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(rgb, curves[c]));
        if (!xyz || !curve || cmsGetToneCurveParametricType(curve) != 4) return;
        const cmsFloat64Number* p = cmsGetToneCurveParams(curve);
        if (!p || (params && !std::equal(p, p + 5, params))) return;
        params = p;
        toXyz[0][c] = xyz->X;
        toXyz[1][c] = xyz->Y;
        toXyz[2][c] = xyz->Z;
    }
    g_ = params[0], a_ = params[1], b_ = params[2], c_ = params[3], d_ = params[4];
    if (!(g_ > 0.0 && a_ > 0.0 && c_ > 0.0)) return;

    // The inverse matrix by cofactors.
    const auto& m = toXyz;
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    if (!(std::fabs(det) > 1e-12)) return;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
            toRgb_[r][c] = (m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1]) / det;
        }
    const cmsCIEXYZ* d50 = cmsD50_XYZ();
    white_[0] = d50->X, white_[1] = d50->Y, white_[2] = d50->Z;

    for (int k = 0; k < 255; ++k) thresholds_[std::size_t(k)] = Forward((k + 0.5) / 255.0);
    thresholds_[255] = HUGE_VAL;  // no byte past 255
    if (!std::is_sorted(thresholds_.begin(), thresholds_.end()) || !(thresholds_[0] > 0.0) ||
        !(thresholds_[254] < double(kStartCells - 1) / double(kStartCells)))
        return;
    start_.resize(kStartCells);
    std::size_t below = 0;
    for (std::size_t i = 0; i < kStartCells; ++i) {
        const double cell = double(i) / double(kStartCells);
        while (thresholds_[below] < cell) ++below;
        start_[i] = uint8(below);
        // Byte() looks one threshold past a cell's start: no cell may hold two.
        if (i > 0 && start_[i] > start_[i - 1] + 1) return;
    }
    for (int v = 0; v < 256; ++v) {
        const double unit = v / 255.0;
        lightness_[std::size_t(v)] = unit * 100.0;
        opponent_[std::size_t(v)] = unit * 255.0 - 128.0;
    }
    usable_ = true;
}

double LabToRgb::Forward(double x) const { return x >= d_ ? std::pow(a_ * x + b_, g_) : c_ * x; }

double LabToRgb::Inverse(double y) const {
    // Where the curve's linear part ends, in linear light.
    const double knee = c_ * d_;
    const double x = y >= knee && y > 0.0 ? (std::pow(y, 1.0 / g_) - b_) / a_ : y / c_;
    return std::isnan(x) ? 0.0 : std::clamp(x, 0.0, 1.0);
}

uint8 LabToRgb::Byte(double linear) const {
    // Clipped to 0 (also NaN) and to the last cell, which lies past every threshold.
    constexpr double kTop = double(kStartCells - 1) / double(kStartCells);
    const double x = std::min(linear > 0.0 ? linear : 0.0, kTop);
    const std::size_t k = start_[std::size_t(x * double(kStartCells))];
    return uint8(k + (x >= thresholds_[k] ? 1 : 0));
}

void LabToRgb::Linear(double l, double a, double b, double rgb[3]) const {
    const double fy = (l + 16.0) / 116.0;
    const double xyz[3] = {white_[0] * Uncompand(fy + a / 500.0), white_[1] * Uncompand(fy),
                           white_[2] * Uncompand(fy - b / 200.0)};
    for (int c = 0; c < 3; ++c) rgb[c] = toRgb_[c][0] * xyz[0] + toRgb_[c][1] * xyz[1] + toRgb_[c][2] * xyz[2];
}

void LabToRgb::Unit(const double lab[3], double rgb[3]) const {
    double linear[3];
    Linear(lab[0], lab[1], lab[2], linear);
    for (int c = 0; c < 3; ++c) rgb[c] = Inverse(linear[c]);
}

void LabToRgb::Bytes(const uint8* in, uint8* out, std::size_t count, std::size_t inStride, std::size_t outStride,
                     std::size_t inOffset, std::size_t outOffset) const {
    for (std::size_t i = 0; i < count; ++i, in += inStride, out += outStride) {
        double linear[3];
        Linear(lightness_[in[inOffset]], opponent_[in[inOffset + 1]], opponent_[in[inOffset + 2]], linear);
        out[outOffset] = Byte(linear[0]);
        out[outOffset + 1] = Byte(linear[1]);
        out[outOffset + 2] = Byte(linear[2]);
    }
}

}  // namespace hostsim
