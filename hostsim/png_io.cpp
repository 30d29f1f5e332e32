#include "hostsim/png_io.h"

#include "hostsim/program_name.h"

#include "files/atomic_file.h"

#include <png.h>
#include <zlib.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace hostsim {
namespace {

// Bytes the file stream buffers: large reads and writes, few system calls.
constexpr std::size_t kFileBuffer = std::size_t(1) << 20;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Paths are UTF-8; Windows opens and removes them as UTF-16.
#ifdef _WIN32
std::wstring Wide(const std::string& path) {
    std::wstring wide;
    const int n = MultiByteToWideChar(CP_UTF8, 0, path.data(), int(path.size()), nullptr, 0);
    if (n > 0) {
        wide.resize(std::size_t(n));
        MultiByteToWideChar(CP_UTF8, 0, path.data(), int(path.size()), &wide[0], n);
    }
    return wide;
}
#endif

std::FILE* OpenUtf8(const std::string& path, const wchar_t* wideMode, const char* mode) {
#ifdef _WIN32
    (void)mode;
    return _wfopen(Wide(path).c_str(), wideMode);
#else
    (void)wideMode;
    return std::fopen(path.c_str(), mode);
#endif
}

void RemoveUtf8(const std::string& path) {
#ifdef _WIN32
    _wremove(Wide(path).c_str());
#else
    std::remove(path.c_str());
#endif
}

bool LittleEndian() {
    const uint16 one = 1;
    uint8 first;
    std::memcpy(&first, &one, 1);
    return first == 1;
}

}  // namespace

// Everything libpng's callbacks and its error path touch lives here, on the heap. Every call
// into libpng sits right behind a setjmp in a frame that holds no live C++ object, so the
// longjmp of an error skips nothing; the frame then throws.
struct PngReader::Codec {
    std::string error;
    png_structp png = nullptr;
    png_infop info = nullptr;
    bool failed = false;
    File file;
    std::vector<uint8> fileBuffer;
    const std::vector<uint8>* input = nullptr;
    std::size_t offset = 0;
    // An interlaced image is read whole (its passes fill every row several times).
    std::vector<uint8> whole;
    int32 nextRow = 0;

    ~Codec() {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

struct PngWriter::Codec {
    std::string error;
    png_structp png = nullptr;
    png_infop info = nullptr;
    bool failed = false;
    File file;
    std::vector<uint8> fileBuffer;
    std::vector<uint8>* output = nullptr;
    std::string path;
    std::string name;  // how messages name the file
    int ioError = 0;   // errno of a write to the file that failed
    int32 nextRow = 0;

    // Why writing stopped: the system's reason when the file refused the data.
    std::string Failure() const {
        if (ioError) return "cannot write " + name + ": " + std::strerror(ioError);
        return "cannot encode the PNG: " + error;
    }

    ~Codec() {
        if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
        // A file still open was never finished: no half-written PNG stays behind.
        if (file) {
            file.reset();
            RemoveUtf8(path);
        }
    }
};

namespace {

template <class Codec>
[[noreturn]] void OnError(png_structp png, png_const_charp message) {
    auto* codec = static_cast<Codec*>(png_get_error_ptr(png));
    codec->error = message ? message : "unknown libpng error";
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

template <class Codec>
void ReadBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* codec = static_cast<Codec*>(png_get_io_ptr(png));
    if (codec->file) {
        if (std::fread(data, 1, length, codec->file.get()) != length) png_error(png, "the file ends early");
        return;
    }
    if (codec->input->size() - codec->offset < length) png_error(png, "the file ends early");
    std::memcpy(data, codec->input->data() + codec->offset, length);
    codec->offset += length;
}

template <class Codec>
void WriteBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* codec = static_cast<Codec*>(png_get_io_ptr(png));
    if (codec->file) {
        if (std::fwrite(data, 1, length, codec->file.get()) != length) {
            codec->ioError = errno ? errno : EIO;
            png_error(png, "the disk refused the data");
        }
        return;
    }
    codec->output->insert(codec->output->end(), data, data + length);
}

void Flush(png_structp) {}

}  // namespace

// Reading.

PngReader::PngReader() : codec_(std::make_unique<Codec>()) {}
PngReader::~PngReader() = default;

std::unique_ptr<PngReader> PngReader::OpenFile(const std::string& path) {
    std::unique_ptr<PngReader> reader(new PngReader());
    Codec& codec = *reader->codec_;
    errno = 0;
    codec.file.reset(OpenUtf8(path, L"rb", "rb"));
    if (!codec.file) throw PngError("cannot open " + path + ": " + std::strerror(errno ? errno : EIO));
    codec.fileBuffer.resize(kFileBuffer);
    std::setvbuf(codec.file.get(), reinterpret_cast<char*>(codec.fileBuffer.data()), _IOFBF, kFileBuffer);
    uint8 signature[8];
    if (std::fread(signature, 1, 8, codec.file.get()) != 8 || png_sig_cmp(signature, 0, 8) != 0)
        throw PngError(path + ": not a PNG file");
    try {
        reader->Start();
    } catch (const PngError& e) {
        throw PngError(path + ": " + e.what());
    }
    return reader;
}

std::unique_ptr<PngReader> PngReader::OpenBytes(const std::vector<uint8>& bytes) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) throw PngError("not a PNG file");
    std::unique_ptr<PngReader> reader(new PngReader());
    reader->codec_->input = &bytes;
    reader->codec_->offset = 8;
    reader->Start();
    return reader;
}

void PngReader::Start() {
    Codec& codec = *codec_;
    codec.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &codec, &OnError<Codec>, &OnWarning);
    if (!codec.png) throw PngError("unreadable PNG: libpng could not start");
    codec.info = png_create_info_struct(codec.png);
    if (!codec.info) throw PngError("unreadable PNG: libpng could not start");
    png_structp png = codec.png;
    png_infop info = codec.info;
    png_uint_32 width = 0, height = 0;
    int channels = 0, depth = 0, passes = 1;
    bool tooLarge = false, badFormat = false;
    if (setjmp(png_jmpbuf(png))) {
        codec.failed = true;
        throw PngError("unreadable PNG: " + codec.error);
    }
    png_set_read_fn(png, &codec, &ReadBytes<Codec>);
    png_set_sig_bytes(png, 8);
    png_set_user_limits(png, 1u << 20, 1u << 20);
    png_read_info(png, info);
    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    tooLarge = int64_t(width) * int64_t(height) > kMaxPngPixels;
    if (!tooLarge) {
        const int colorType = png_get_color_type(png, info);
        if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
        if (colorType == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8) png_set_expand_gray_1_2_4_to_8(png);
        if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
        if (png_get_bit_depth(png, info) == 16 && LittleEndian()) png_set_swap(png);
        passes = png_set_interlace_handling(png);
        png_read_update_info(png, info);
        channels = png_get_channels(png, info);
        depth = png_get_bit_depth(png, info);
        badFormat = channels < 1 || channels > 4 || (depth != 8 && depth != 16) ||
                    png_get_rowbytes(png, info) != std::size_t(width) * std::size_t(channels) * std::size_t(depth / 8);
    }
    if (tooLarge) {
        codec.failed = true;
        throw PngError("unreadable PNG: the image has too many pixels for the host");
    }
    if (badFormat) {
        codec.failed = true;
        throw PngError("unreadable PNG: unexpected pixel format");
    }
    format_.width = int32(width);
    format_.height = int32(height);
    format_.channels = channels;
    format_.bitDepth = depth;
    if (passes > 1) {
        codec.whole.resize(format_.rowBytes() * std::size_t(height));
        std::vector<png_bytep> rows(height);
        for (png_uint_32 y = 0; y < height; ++y) rows[y] = codec.whole.data() + std::size_t(y) * format_.rowBytes();
        ReadWhole(rows.data());
    }
}

void PngReader::ReadWhole(png_bytepp rows) {
    Codec& codec = *codec_;
    png_structp png = codec.png;
    if (setjmp(png_jmpbuf(png))) {
        codec.failed = true;
        throw PngError("unreadable PNG: " + codec.error);
    }
    png_read_image(png, rows);
}

void PngReader::ReadRow(uint8* row) {
    Codec& codec = *codec_;
    if (codec.failed) throw PngError("unreadable PNG: " + codec.error);
    if (codec.nextRow >= format_.height) throw std::logic_error("PngReader: read past the last row");
    if (!codec.whole.empty()) {
        std::memcpy(row, codec.whole.data() + std::size_t(codec.nextRow) * format_.rowBytes(), format_.rowBytes());
        ++codec.nextRow;
        return;
    }
    png_structp png = codec.png;
    if (setjmp(png_jmpbuf(png))) {
        codec.failed = true;
        throw PngError("unreadable PNG: " + codec.error);
    }
    png_read_row(png, row, nullptr);
    ++codec.nextRow;
}

void PngReader::Finish() {
    Codec& codec = *codec_;
    if (codec.failed) throw PngError("unreadable PNG: " + codec.error);
    png_structp png = codec.png;
    if (setjmp(png_jmpbuf(png))) {
        codec.failed = true;
        throw PngError("unreadable PNG: " + codec.error);
    }
    png_read_end(png, nullptr);
}

// Writing.

PngWriter::PngWriter(const PngFormat& format) : codec_(std::make_unique<Codec>()), format_(format) {}
PngWriter::~PngWriter() = default;

namespace {

void CheckFormat(const PngFormat& format) {
    if (format.width < 1 || format.height < 1 || format.channels < 1 || format.channels > 4 ||
        (format.bitDepth != 8 && format.bitDepth != 16))
        throw PngError("the image to write is malformed");
}

}  // namespace

std::unique_ptr<PngWriter> PngWriter::ToFile(const std::string& path, const PngFormat& format, const std::string& name) {
    CheckFormat(format);
    std::unique_ptr<PngWriter> writer(new PngWriter(format));
    Codec& codec = *writer->codec_;
    codec.path = path;
    codec.name = name.empty() ? path : name;
    errno = 0;
    codec.file.reset(OpenUtf8(path, L"wb", "wb"));
    if (!codec.file) throw PngError("cannot write " + codec.name + ": " + std::strerror(errno ? errno : EIO));
    codec.fileBuffer.resize(kFileBuffer);
    std::setvbuf(codec.file.get(), reinterpret_cast<char*>(codec.fileBuffer.data()), _IOFBF, kFileBuffer);
    writer->Start();
    return writer;
}

std::unique_ptr<PngWriter> PngWriter::ToBytes(std::vector<uint8>* bytes, const PngFormat& format) {
    CheckFormat(format);
    std::unique_ptr<PngWriter> writer(new PngWriter(format));
    writer->codec_->output = bytes;
    writer->Start();
    return writer;
}

void PngWriter::Start() {
    Codec& codec = *codec_;
    codec.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &codec, &OnError<Codec>, &OnWarning);
    if (!codec.png) throw PngError("cannot encode the PNG: libpng could not start");
    codec.info = png_create_info_struct(codec.png);
    if (!codec.info) throw PngError("cannot encode the PNG: libpng could not start");
    png_structp png = codec.png;
    png_infop info = codec.info;
    static constexpr int kColorTypes[] = {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB,
                                          PNG_COLOR_TYPE_RGB_ALPHA};
    const int colorType = kColorTypes[format_.channels - 1];
    const bool swap = format_.bitDepth == 16 && LittleEndian();
    if (setjmp(png_jmpbuf(png))) {
        codec.failed = true;
        throw PngError(codec.Failure());
    }
    png_set_write_fn(png, &codec, &WriteBytes<Codec>, &Flush);
    png_set_IHDR(png, info, png_uint_32(format_.width), png_uint_32(format_.height), format_.bitDepth, colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    png_set_compression_strategy(png, Z_RLE);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    if (swap) png_set_swap(png);
}

void PngWriter::WriteRow(const uint8* row) {
    Codec& codec = *codec_;
    if (codec.failed) throw PngError(codec.Failure());
    if (codec.nextRow >= format_.height) throw std::logic_error("PngWriter: write past the last row");
    png_structp png = codec.png;
    png_const_bytep data = row;
    if (setjmp(png_jmpbuf(png))) {
        codec.failed = true;
        throw PngError(codec.Failure());
    }
    png_write_row(png, data);
    ++codec.nextRow;
}

void PngWriter::Finish() {
    Codec& codec = *codec_;
    if (codec.failed) throw PngError(codec.Failure());
    if (codec.nextRow != format_.height) throw std::logic_error("PngWriter: rows missing");
    png_structp png = codec.png;
    if (setjmp(png_jmpbuf(png))) {
        codec.failed = true;
        throw PngError(codec.Failure());
    }
    png_write_end(png, nullptr);
    if (codec.file) {
        // Unless the data reached the file, the codec's end removes it.
        if (std::fflush(codec.file.get()) != 0 || std::ferror(codec.file.get())) {
            codec.failed = true;
            codec.ioError = errno ? errno : EIO;
            throw PngError(codec.Failure());
        }
        if (std::fclose(codec.file.release()) != 0) {
            codec.failed = true;
            codec.ioError = errno ? errno : EIO;
            RemoveUtf8(codec.path);
            throw PngError(codec.Failure());
        }
    }
}

// Whole images.

namespace {

PngImage ReadAll(PngReader& reader) {
    const PngFormat& format = reader.format();
    PngImage image;
    image.width = format.width;
    image.height = format.height;
    image.channels = format.channels;
    image.bitDepth = format.bitDepth;
    const std::size_t rowSamples = std::size_t(format.width) * std::size_t(format.channels);
    image.samples.resize(rowSamples * std::size_t(format.height));
    std::vector<uint8> row(format.rowBytes());
    for (int32 y = 0; y < format.height; ++y) {
        uint16* out = image.samples.data() + std::size_t(y) * rowSamples;
        if (format.bitDepth == 16) {
            reader.ReadRow(reinterpret_cast<uint8*>(out));
        } else {
            reader.ReadRow(row.data());
            std::copy(row.begin(), row.end(), out);
        }
    }
    reader.Finish();
    return image;
}

void WriteAll(PngWriter& writer, const PngImage& image) {
    const std::size_t rowSamples = std::size_t(image.width) * std::size_t(image.channels);
    std::vector<uint8> row(image.bitDepth == 8 ? rowSamples : 0);
    for (int32 y = 0; y < image.height; ++y) {
        const uint16* in = image.samples.data() + std::size_t(y) * rowSamples;
        if (image.bitDepth == 16) {
            writer.WriteRow(reinterpret_cast<const uint8*>(in));
        } else {
            for (std::size_t i = 0; i < rowSamples; ++i) row[i] = uint8(in[i]);
            writer.WriteRow(row.data());
        }
    }
    writer.Finish();
}

PngFormat FormatOf(const PngImage& image) {
    if (image.width < 1 || image.height < 1 || image.channels < 1 || image.channels > 4 ||
        (image.bitDepth != 8 && image.bitDepth != 16) ||
        image.samples.size() != std::size_t(image.width) * std::size_t(image.height) * std::size_t(image.channels))
        throw PngError("the image to write is malformed");
    PngFormat format;
    format.width = image.width;
    format.height = image.height;
    format.channels = image.channels;
    format.bitDepth = image.bitDepth;
    return format;
}

}  // namespace

PngImage DecodePng(const std::vector<uint8>& bytes) {
    const auto reader = PngReader::OpenBytes(bytes);
    return ReadAll(*reader);
}

std::vector<uint8> EncodePng(const PngImage& image) {
    std::vector<uint8> bytes;
    const auto writer = PngWriter::ToBytes(&bytes, FormatOf(image));
    WriteAll(*writer, image);
    return bytes;
}

PngImage ReadPng(const std::string& path) {
    const auto reader = PngReader::OpenFile(path);
    try {
        return ReadAll(*reader);
    } catch (const PngError& e) {
        throw PngError(path + ": " + e.what());
    }
}

void WritePng(const std::string& path, const PngImage& image) {
    // Through a temporary file: a full disk leaves the earlier file as it was.
    std::string error;
    const auto written = tellora::SaveFileAtomicallyWith(
        kProgramName, path,
        [&image, &path](const std::string& file) {
            const auto writer = PngWriter::ToFile(file, FormatOf(image), path);
            WriteAll(*writer, image);
            return true;
        },
        &error);
    if (written == tellora::SaveOutcome::Failed) throw PngError(error);
}

}  // namespace hostsim
