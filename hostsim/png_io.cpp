#include "hostsim/png_io.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace hostsim {
namespace {

// Largest file read into memory.
constexpr std::streamoff kMaxFileBytes = std::streamoff(1) << 31;

// Everything the libpng callbacks and the error path touch lives here, on the heap, so that a
// longjmp out of libpng skips no live C++ object of the decoding frame.
struct Codec {
    std::string error;
    const std::vector<uint8>* input = nullptr;
    std::size_t offset = 0;
    std::vector<uint8>* output = nullptr;
    std::vector<uint8> pixels;
    std::vector<png_bytep> rows;
};

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
    auto* codec = static_cast<Codec*>(png_get_error_ptr(png));
    codec->error = message ? message : "unknown libpng error";
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* codec = static_cast<Codec*>(png_get_io_ptr(png));
    if (codec->input->size() - codec->offset < length) png_error(png, "the file ends early");
    std::memcpy(data, codec->input->data() + codec->offset, length);
    codec->offset += length;
}

void WriteBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* codec = static_cast<Codec*>(png_get_io_ptr(png));
    codec->output->insert(codec->output->end(), data, data + length);
}

void Flush(png_structp) {}

// Returns false with codec.error set when libpng failed.
bool Decode(Codec& codec, PngImage& image) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &codec, &OnError, &OnWarning);
    if (!png) {
        codec.error = "libpng could not start";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        if (codec.error.empty()) codec.error = "libpng could not start";
        return false;
    }
    png_set_read_fn(png, &codec, &ReadBytes);
    png_set_user_limits(png, 1u << 20, 1u << 20);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (int64_t(width) * int64_t(height) > kMaxPngPixels) png_error(png, "the image has too many pixels for the host");
    const int colorType = png_get_color_type(png, info);
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const int channels = png_get_channels(png, info);
    const int depth = png_get_bit_depth(png, info);
    if (channels < 1 || channels > 4 || (depth != 8 && depth != 16)) png_error(png, "unexpected pixel format");
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    if (rowBytes != std::size_t(width) * std::size_t(channels) * std::size_t(depth / 8))
        png_error(png, "unexpected row size");
    codec.pixels.resize(rowBytes * height);
    codec.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) codec.rows[y] = codec.pixels.data() + std::size_t(y) * rowBytes;
    png_read_image(png, codec.rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);

    image.width = int32(width);
    image.height = int32(height);
    image.channels = channels;
    image.bitDepth = depth;
    const std::size_t n = std::size_t(width) * height * std::size_t(channels);
    image.samples.resize(n);
    const uint8* p = codec.pixels.data();
    if (depth == 8) {
        for (std::size_t i = 0; i < n; ++i) image.samples[i] = p[i];
    } else {
        for (std::size_t i = 0; i < n; ++i) image.samples[i] = uint16((p[2 * i] << 8) | p[2 * i + 1]);
    }
    return true;
}

bool Encode(Codec& codec, const PngImage& image) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &codec, &OnError, &OnWarning);
    if (!png) {
        codec.error = "libpng could not start";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        if (codec.error.empty()) codec.error = "libpng could not start";
        return false;
    }
    png_set_write_fn(png, &codec, &WriteBytes, &Flush);
    static constexpr int kColorTypes[] = {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB,
                                          PNG_COLOR_TYPE_RGB_ALPHA};
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), image.bitDepth,
                 kColorTypes[image.channels - 1], PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::size_t rowSamples = std::size_t(image.width) * std::size_t(image.channels);
    codec.pixels.resize(rowSamples * std::size_t(image.bitDepth / 8));
    for (int32 y = 0; y < image.height; ++y) {
        const uint16* s = image.samples.data() + std::size_t(y) * rowSamples;
        uint8* d = codec.pixels.data();
        for (std::size_t i = 0; i < rowSamples; ++i) {
            if (image.bitDepth == 16) {
                *d++ = uint8(s[i] >> 8);
                *d++ = uint8(s[i]);
            } else {
                *d++ = uint8(s[i]);
            }
        }
        png_write_row(png, codec.pixels.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

PngImage DecodePng(const std::vector<uint8>& bytes) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) throw PngError("not a PNG file");
    auto codec = std::make_unique<Codec>();
    codec->input = &bytes;
    PngImage image;
    if (!Decode(*codec, image)) throw PngError("unreadable PNG: " + codec->error);
    return image;
}

std::vector<uint8> EncodePng(const PngImage& image) {
    if (image.width < 1 || image.height < 1 || image.channels < 1 || image.channels > 4 ||
        (image.bitDepth != 8 && image.bitDepth != 16) ||
        image.samples.size() != std::size_t(image.width) * std::size_t(image.height) * std::size_t(image.channels))
        throw PngError("the image to write is malformed");
    std::vector<uint8> bytes;
    auto codec = std::make_unique<Codec>();
    codec->output = &bytes;
    if (!Encode(*codec, image)) throw PngError("cannot encode the PNG: " + codec->error);
    return bytes;
}

PngImage ReadPng(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) throw PngError("cannot open " + path);
    const std::streamoff size = in.tellg();
    if (size > kMaxFileBytes) throw PngError(path + " is too large");
    in.seekg(0);
    std::vector<uint8> bytes(static_cast<std::size_t>(std::max<std::streamoff>(size, 0)));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size())))
        throw PngError("cannot read " + path);
    try {
        return DecodePng(bytes);
    } catch (const PngError& e) {
        throw PngError(path + ": " + e.what());
    }
}

void WritePng(const std::string& path, const PngImage& image) {
    const std::vector<uint8> bytes = EncodePng(image);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out || !out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())) ||
        !out.flush())
        throw PngError("cannot write " + path);
}

}  // namespace hostsim
