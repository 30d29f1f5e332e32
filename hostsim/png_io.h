// PNG files in and out, with libpng. Any valid PNG is read: palette and low-bit gray images
// are expanded to 8 bits, a tRNS chunk becomes an alpha channel; what comes out is 8- or
// 16-bit gray, gray + alpha, RGB or RGBA. A file that is not a readable PNG gives a PngError
// with libpng's reason, never a crash.
#pragma once
#include "pluginapi/pi_types.h"

#include <cstddef>
#include <memory>
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

// The shape of a PNG's pixels as they are read or written: 8-bit samples as bytes, 16-bit
// samples as native uint16 (the codec swaps them to and from the file's big-endian order).
struct PngFormat {
    int32 width = 0;
    int32 height = 0;
    int channels = 0;  // 1 gray, 2 gray + alpha, 3 RGB, 4 RGBA
    int bitDepth = 8;  // 8 or 16
    std::size_t rowBytes() const {
        return std::size_t(width) * std::size_t(channels) * std::size_t(bitDepth / 8);
    }
};

// Reads a PNG row after row, top to bottom, so that a large image never needs a second copy
// in memory: from a file, streamed, or from bytes in memory. Throws PngError (with libpng's
// reason) for anything unreadable, at the row where it shows.
class PngReader {
public:
    static std::unique_ptr<PngReader> OpenFile(const std::string& path);
    // `bytes` must outlive the reader.
    static std::unique_ptr<PngReader> OpenBytes(const std::vector<uint8>& bytes);
    ~PngReader();
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    const PngFormat& format() const { return format_; }
    // The next row, format().rowBytes() bytes.
    void ReadRow(uint8* row);
    // After the last row: reads the rest of the file, so that a damaged end is reported.
    void Finish();

private:
    struct Codec;
    PngReader();
    void Start();
    void ReadWhole(uint8** rows);

    std::unique_ptr<Codec> codec_;
    PngFormat format_;
};

// Writes a PNG row after row, to a file or to bytes in memory. Tuned for speed over size: the
// rows are filtered adaptively and compressed with zlib's run-length strategy, which costs a
// fraction of its default on noisy images and compresses photographs about as well.
class PngWriter {
public:
    // `name`: how messages name the file (a temporary file by the name of the one it becomes);
    // empty: `path`. A file that refuses the data is reported with the system's reason.
    static std::unique_ptr<PngWriter> ToFile(const std::string& path, const PngFormat& format,
                                             const std::string& name = {});
    // `bytes` must outlive the writer; what is written is appended.
    static std::unique_ptr<PngWriter> ToBytes(std::vector<uint8>* bytes, const PngFormat& format);
    ~PngWriter();
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    const PngFormat& format() const { return format_; }
    // The next row, format().rowBytes() bytes.
    void WriteRow(const uint8* row);
    // After the last row: completes the file (and flushes it to disk).
    void Finish();

private:
    struct Codec;
    explicit PngWriter(const PngFormat& format);
    void Start();

    std::unique_ptr<Codec> codec_;
    PngFormat format_;
};

PngImage DecodePng(const std::vector<uint8>& bytes);
std::vector<uint8> EncodePng(const PngImage& image);
PngImage ReadPng(const std::string& path);
void WritePng(const std::string& path, const PngImage& image);

}  // namespace hostsim
