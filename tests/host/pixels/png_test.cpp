// PNG files in and out, and documents made from them.
#include "pixel_test_support.h"

#include "hostsim/image_import.h"
#include "hostsim/png_io.h"

#include <png.h>

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
