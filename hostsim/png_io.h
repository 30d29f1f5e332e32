// PNG files in and out, with libpng. Any valid PNG is read: palette and low-bit gray images
// are expanded to 8 bits, a tRNS chunk becomes an alpha channel; what comes out is 8- or
// 16-bit gray, gray + alpha, RGB or RGBA. A file that is not a readable PNG gives a PngError
// with libpng's reason, never a crash.
#pragma once
#include "pluginapi/pi_types.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace hostsim {

class PngError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct PngImage {
    int32 width = 0;
    int32 height = 0;
    int channels = 0;  // 1 gray, 2 gray + alpha, 3 RGB, 4 RGBA
    int bitDepth = 8;  // 8 or 16
    std::vector<uint16> samples;  // interleaved, row after row; 0..255 or 0..65535

    bool hasAlpha() const { return channels == 2 || channels == 4; }
    int colorChannels() const { return hasAlpha() ? channels - 1 : channels; }
    int32 maxValue() const { return bitDepth == 16 ? 65535 : 255; }
    uint16& at(int32 x, int32 y, int c) { return samples[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * std::size_t(channels) + std::size_t(c)]; }
    uint16 at(int32 x, int32 y, int c) const { return samples[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * std::size_t(channels) + std::size_t(c)]; }
};

// Largest image read: pixels in all.
constexpr int64_t kMaxPngPixels = int64_t(1) << 28;

PngImage DecodePng(const std::vector<uint8>& bytes);
std::vector<uint8> EncodePng(const PngImage& image);
PngImage ReadPng(const std::string& path);
void WritePng(const std::string& path, const PngImage& image);

}  // namespace hostsim
