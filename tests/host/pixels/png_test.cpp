// PNG files in and out, and documents made from them.
#include "pixel_test_support.h"

#include "hostsim/image_import.h"
#include "hostsim/png_io.h"

#include <png.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace pixel_test {
namespace {

PngImage MakeImage(int32 w, int32 h, int channels, int depth) {
    PngImage image;
    image.width = w;
    image.height = h;
    image.channels = channels;
    image.bitDepth = depth;
    image.samples.resize(std::size_t(w * h * channels));
    for (std::size_t i = 0; i < image.samples.size(); ++i) image.samples[i] = uint16((i * 7919) % (depth == 16 ? 65536 : 256));
    return image;
}

TEST(PngTest, EveryFormatSurvivesARoundTrip) {
    for (int depth : {8, 16}) {
        for (int channels = 1; channels <= 4; ++channels) {
            const PngImage image = MakeImage(13, 7, channels, depth);
            const PngImage back = DecodePng(EncodePng(image));
            EXPECT_EQ(back.channels, channels);
            EXPECT_EQ(back.bitDepth, depth);
            EXPECT_EQ(back.samples, image.samples) << channels << " channels, " << depth << " bits";
        }
    }
}

TEST(PngTest, DamagedFilesGiveAnErrorNeverACrash) {
    EXPECT_THROW(DecodePng({}), PngError);
    EXPECT_THROW(DecodePng({'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'}), PngError);
    const std::vector<uint8> good = EncodePng(MakeImage(40, 30, 4, 16));
    for (std::size_t cut : {std::size_t(8), std::size_t(20), std::size_t(60), good.size() / 2, good.size() - 13}) {
        std::vector<uint8> truncated(good.begin(), good.begin() + long(cut));
        EXPECT_THROW(DecodePng(truncated), PngError) << cut;
    }
    // Flipped bytes anywhere: libpng's checks or ours report it; a flip that survives them
    // still gives a well-formed image.
    for (std::size_t i = 8; i < good.size(); i += 3) {
        std::vector<uint8> bad = good;
        bad[i] ^= uint8(0x5A + i);
        try {
            const PngImage image = DecodePng(bad);
            EXPECT_EQ(image.samples.size(), std::size_t(image.width) * image.height * image.channels);
        } catch (const PngError&) {
        }
    }
    EXPECT_THROW(ReadPng(TempPath("missing.png")), PngError);
}

TEST(PngTest, PaletteImagesAreExpanded) {
    // A 2 x 1 palette image with a transparent first entry, written with libpng directly.
    std::vector<uint8> bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &bytes, [](png_structp p, png_bytep d, png_size_t n) {
        auto* out = static_cast<std::vector<uint8>*>(png_get_io_ptr(p));
        out->insert(out->end(), d, d + n);
    }, nullptr);
    png_set_IHDR(png, info, 2, 1, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color palette[2] = {{10, 20, 30}, {200, 100, 50}};
    png_set_PLTE(png, info, palette, 2);
    png_byte alpha[1] = {0};
    png_set_tRNS(png, info, alpha, 1, nullptr);
    png_write_info(png, info);
    png_byte row[2] = {0, 1};
    png_write_row(png, row);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);

    const PngImage image = DecodePng(bytes);
    ASSERT_EQ(image.channels, 4);
    EXPECT_EQ(image.at(0, 0, 3), 0);
    EXPECT_EQ(image.at(1, 0, 0), 200);
    EXPECT_EQ(image.at(1, 0, 3), 255);
}

TEST(PngTest, ImportConvertsToTheDocumentsModeAndSaysSo) {
    ColorEngine engine;
    PngImage gray = MakeImage(3, 2, 2, 16);
    gray.at(1, 0, 0) = 65535;
    gray.at(1, 0, 1) = 0;
    std::vector<std::string> notes;
    ImportOptions options;
    options.model = ColorModel::RGB;
    options.transparency = true;
    auto doc = ImportImage(gray, options, engine, &notes);
    EXPECT_EQ(doc->mode(), plugInModeRGB48);
    EXPECT_TRUE(notes.empty());
    for (int p = 0; p < 3; ++p) EXPECT_EQ(doc->target().color[std::size_t(p)].Unit(1, 0), 1.0);
    EXPECT_EQ(doc->target().transparency->Unit(1, 0), 0.0);

    options.model = ColorModel::CMYK;
    options.depth = 8;
    options.transparency = false;
    doc = ImportImage(gray, options, engine, &notes);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0], "the gray image is converted to CMYK for the document");
    EXPECT_EQ(notes[1], "the image's alpha is not used (no transparency plane)");
    EXPECT_EQ(*doc->target().color[3].At(1, 0), 0);  // white: no black ink

    notes.clear();
    const PngImage out = ExportImage(*doc, engine, &notes);
    EXPECT_EQ(out.channels, 3);
    EXPECT_EQ(out.at(1, 0, 1), 255);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], "the CMYK document is converted to RGB for the PNG");

    options.model = ColorModel::HSB;
    options.depth = 16;
    EXPECT_THROW(ImportImage(gray, options, engine, &notes), DocumentError);
}

// The file read with libpng's simplified reader, a decoder path of its own: 8-bit samples.
std::vector<uint8> ReadWithLibpng(const std::string& path, png_uint_32 format, png_image& image) {
    image = png_image{};
    image.version = PNG_IMAGE_VERSION;
    EXPECT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << image.message;
    image.format = format;
    std::vector<uint8> pixels(PNG_IMAGE_SIZE(image));
    EXPECT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) << image.message;
    return pixels;
}

TEST(PngTest, StreamedFilesReadBackIdenticallyElsewhere) {
    const std::string path = TempPath("streamed.png");
    PngFormat format;
    format.width = 301;
    format.height = 17;
    format.channels = 4;
    std::vector<uint8> all;
    {
        const auto writer = PngWriter::ToFile(path, format);
        std::vector<uint8> row(format.rowBytes());
        for (int32 y = 0; y < format.height; ++y) {
            for (std::size_t i = 0; i < row.size(); ++i) row[i] = uint8((i * 31 + std::size_t(y) * 7) ^ (i >> 3));
            writer->WriteRow(row.data());
            all.insert(all.end(), row.begin(), row.end());
        }
        writer->Finish();
    }
    png_image image;
    EXPECT_EQ(ReadWithLibpng(path, PNG_FORMAT_RGBA, image), all);
    const PngImage back = ReadPng(path);
    ASSERT_EQ(back.samples.size(), all.size());
    EXPECT_TRUE(std::equal(all.begin(), all.end(), back.samples.begin()));

    // Sixteen bits go to the file big-endian, whatever the machine's order.
    const PngImage deep = MakeImage(5, 3, 1, 16);
    WritePng(path, deep);
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(DecodePng(bytes).samples, deep.samples);
    const std::vector<uint8> linear = ReadWithLibpng(path, PNG_FORMAT_LINEAR_Y, image);
    EXPECT_EQ(image.width, 5u);
}

TEST(PngTest, AnUnfinishedFileIsRemovedAndADamagedOneRefused) {
    const std::string path = TempPath("unfinished.png");
    PngFormat format;
    format.width = 4;
    format.height = 2;
    format.channels = 3;
    {
        const auto writer = PngWriter::ToFile(path, format);
        const std::vector<uint8> row(format.rowBytes(), 9);
        writer->WriteRow(row.data());
        EXPECT_THROW(writer->Finish(), std::logic_error);  // a row is missing
    }
    EXPECT_FALSE(std::ifstream(path).good());

    WritePng(path, MakeImage(64, 64, 3, 8));
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    bytes.resize(bytes.size() / 2);
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(bytes.data()),
                                                                  std::streamsize(bytes.size()));
    ColorEngine engine;
    const auto reader = PngReader::OpenFile(path);
    EXPECT_THROW(ImportPng(*reader, ImportOptions{}, engine, nullptr), PngError);
}

TEST(PngTest, InterlacedImagesImportLikePlainOnes) {
    const PngImage plain = MakeImage(23, 11, 3, 16);
    std::vector<uint8> bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &bytes, [](png_structp p, png_bytep d, png_size_t n) {
        auto* out = static_cast<std::vector<uint8>*>(png_get_io_ptr(p));
        out->insert(out->end(), d, d + n);
    }, nullptr);
    png_set_IHDR(png, info, 23, 11, 16, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_ADAM7, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8> big(plain.samples.size() * 2);
    for (std::size_t i = 0; i < plain.samples.size(); ++i) {
        big[2 * i] = uint8(plain.samples[i] >> 8);
        big[2 * i + 1] = uint8(plain.samples[i]);
    }
    std::vector<png_bytep> rows;
    for (int y = 0; y < 11; ++y) rows.push_back(big.data() + std::size_t(y) * 23 * 6);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);

    ColorEngine engine;
    const auto reader = PngReader::OpenBytes(bytes);
    const auto doc = ImportPng(*reader, ImportOptions{}, engine, nullptr);
    const auto expected = ImportImage(plain, ImportOptions{}, engine, nullptr);
    for (int p = 0; p < 3; ++p) EXPECT_EQ(doc->target().color[std::size_t(p)], expected->target().color[std::size_t(p)]);
}

TEST(PngTest, SamplesConvertBetweenDepthsByTheUnitValue) {
    // 16-bit RGBA into documents of each depth: v / 65535 stored at the document's depth.
    PngImage image = MakeImage(40, 3, 4, 16);
    image.at(0, 0, 0) = 65535;
    image.at(1, 0, 3) = 0;
    ColorEngine engine;
    ImportOptions options;
    options.transparency = true;
    for (int32 depth : {8, 16, 32}) {
        options.depth = depth;
        const auto doc = ImportImage(image, options, engine, nullptr);
        const Layer& layer = doc->target();
        for (int32 y = 0; y < 3; ++y)
            for (int32 x = 0; x < 40; ++x) {
                for (int c = 0; c < 4; ++c) {
                    const Plane& plane = c < 3 ? layer.color[std::size_t(c)] : *layer.transparency;
                    const double unit = image.at(x, y, c) / 65535.0;
                    const uint8* sample = plane.At(x, y);
                    if (depth == 8) {
                        ASSERT_EQ(*sample, std::lround(unit * 255)) << x << "," << y << "," << c;
                    } else if (depth == 16) {
                        uint16 v;
                        std::memcpy(&v, sample, 2);
                        ASSERT_EQ(v, std::lround(unit * 32768)) << x << "," << y << "," << c;
                    } else {
                        float v;
                        std::memcpy(&v, sample, 4);
                        ASSERT_EQ(v, float(unit)) << x << "," << y << "," << c;
                    }
                }
            }
        // And back out (8-bit documents as 8-bit PNGs): within half a step of the document's
        // depth, in 16-bit units.
        const PngImage out = ExportImage(*doc, engine, nullptr);
        ASSERT_EQ(out.channels, 4);
        ASSERT_EQ(out.bitDepth, depth == 8 ? 8 : 16);
        const int scale = depth == 8 ? 257 : 1;
        const int tolerance = depth == 8 ? 129 : depth == 16 ? 1 : 0;
        for (std::size_t i = 0; i < out.samples.size(); ++i)
            ASSERT_LE(std::abs(int(out.samples[i]) * scale - int(image.samples[i])), tolerance) << i;
    }
    // Samples past the host's 16-bit range clip to white.
    PixelDocument deep(2, 1, plugInModeRGB48);
    const uint16 over = 40000, half = 16384;
    for (int p = 0; p < 3; ++p) {
        std::memcpy(deep.target().color[std::size_t(p)].At(0, 0), &over, 2);
        std::memcpy(deep.target().color[std::size_t(p)].At(1, 0), &half, 2);
    }
    const PngImage out = ExportImage(deep, engine, nullptr);
    EXPECT_EQ(out.at(0, 0, 1), 65535);
    EXPECT_EQ(out.at(1, 0, 2), 32768);
}

TEST(PngTest, DeepDocumentsExportAsSixteenBit) {
    ColorEngine engine;
    PixelDocument doc(2, 1, plugInModeGray32, true);
    doc.target().color[0].SetUnit(0, 0, 1.5);
    doc.target().color[0].SetUnit(1, 0, 0.5);
    std::vector<std::string> notes;
    const PngImage out = ExportImage(doc, engine, &notes);
    EXPECT_EQ(out.bitDepth, 16);
    EXPECT_EQ(out.channels, 2);
    EXPECT_EQ(out.at(0, 0, 0), 65535);
    EXPECT_EQ(out.at(1, 0, 0), 32768);
    EXPECT_EQ(out.at(1, 0, 1), 65535);
    EXPECT_EQ(notes.size(), 1u);
}

}  // namespace
}  // namespace pixel_test
