// Lab (D50) to the colours of an RGB matrix-shaper profile, evaluated in doubles with the
// profile's own colorants and tone curves: Lab to XYZ, the inverse colorant matrix, the
// inverse curve, clipped. A transform's table would interpolate across the clipping at the
// gamut's edge and stray by many steps; a stage-by-stage transform is exact but slow. This is
// exact and fast, for bytes through per-byte tables and the thresholds of the inverse curve.
#pragma once
#include "pluginapi/pi_types.h"

#include <lcms2.h>

#include <array>
#include <cstddef>
#include <vector>

namespace hostsim {

class LabToRgb {
public:
    // Reads the profile; usable() is false unless it has three colorants, an invertible
    // matrix and the same kind of parametric curve (type 4) on every channel.
    explicit LabToRgb(cmsHPROFILE rgb);
    bool usable() const { return usable_; }

    // L 0..100, a and b -128..127 to unit RGB, clipped to 0..1.
    void Unit(const double lab[3], double rgb[3]) const;
    // 8-bit Lab (L x 2.55, a + 128, b + 128) to RGB bytes: round(255 x Unit). A pixel's
    // samples start `inOffset` / `outOffset` bytes into its stride. In place when the strides
    // and offsets agree.
    void Bytes(const uint8* in, uint8* out, std::size_t count, std::size_t inStride, std::size_t outStride,
               std::size_t inOffset, std::size_t outOffset) const;

private:
    void Linear(double l, double a, double b, double rgb[3]) const;
    double Forward(double encoded) const;  // the profile's curve: encoded value to linear light
    double Inverse(double linear) const;   // its inverse, clipped to 0..1
    uint8 Byte(double linear) const;       // round(255 x Inverse(linear))

    bool usable_ = false;
    double toRgb_[3][3] = {};
    double white_[3] = {};
    // The curve (a x + b)^g from x = d on, c x below it.
    double g_ = 1.0, a_ = 1.0, b_ = 0.0, c_ = 1.0, d_ = 0.0;
    // Byte k + 1 begins where linear light reaches threshold k; start_ gives, per 1/65536 of
    // linear light, how many thresholds lie below, so that a byte is found in a step or two.
    std::array<double, 256> thresholds_{};  // the last one unreachable
    std::vector<uint8> start_;
    // Per 8-bit sample, the Lab value the unit conversion sees.
    std::array<double, 256> lightness_{}, opponent_{};
};

}  // namespace hostsim
