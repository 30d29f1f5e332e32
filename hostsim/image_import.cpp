#include "hostsim/image_import.h"

#include "pluginapi/color_space.h"

#include "hostsim/samples.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

namespace hostsim {
namespace {

void Note(std::vector<std::string>* notes, std::string text) {
    if (notes) notes->push_back(std::move(text));
}

std::string ModelTitle(ColorModel model) {
    switch (model) {
        case ColorModel::Gray: return "gray";
        case ColorModel::RGB: return "RGB";
        case ColorModel::CMYK: return "CMYK";
        case ColorModel::Lab: return "Lab";
        case ColorModel::HSB: return "HSB";
        case ColorModel::HSL: return "HSL";
        case ColorModel::Duotone: return "duotone";
        case ColorModel::Multichannel: return "multichannel";
    }
    return "?";
}

// What a document sample is for every PNG sample value (0..full), in the plane's bytes: the
// unit value v / full stored at the document's depth, so that a row converts by lookup.
std::vector<uint8> SampleTable(int32 full, int32 depth) {
    const std::size_t bytes = std::size_t(BytesPerSample(depth));
    std::vector<uint8> table((std::size_t(full) + 1) * bytes);
    for (int32 v = 0; v <= full; ++v) StoreUnit(v / double(full), &table[std::size_t(v) * bytes], depth);
    return table;
}

// Channel `channel` of a row of `channels` interleaved PNG samples into a plane row, by table.
template <class Sample, std::size_t Bytes>
void LookUpRow(const Sample* row, int channels, int channel, int32 width, const uint8* table, uint8* out) {
    for (int32 x = 0; x < width; ++x)
        std::memcpy(out + std::size_t(x) * Bytes, table + std::size_t(row[std::size_t(x) * channels + channel]) * Bytes,
                    Bytes);
}

template <class Sample>
void LookUpRow(const Sample* row, int channels, int channel, int32 width, const uint8* table, int32 depth,
               uint8* out) {
    switch (depth) {
        case 8: return LookUpRow<Sample, 1>(row, channels, channel, width, table, out);
        case 16: return LookUpRow<Sample, 2>(row, channels, channel, width, table, out);
        default: return LookUpRow<Sample, 4>(row, channels, channel, width, table, out);
    }
}

// Fills the document from rows of PNG samples that `readRow` gives, top to bottom.
std::unique_ptr<PixelDocument> ImportRows(const PngFormat& format, const ImportOptions& options, ColorEngine& engine,
                                          std::vector<std::string>* notes,
                                          const std::function<void(uint8* row)>& readRow) {
    const bool hasAlpha = format.channels == 2 || format.channels == 4;
    const int pngColors = hasAlpha ? format.channels - 1 : format.channels;
    const ColorModel model = options.model.value_or(pngColors == 1 ? ColorModel::Gray : ColorModel::RGB);
    const int32 depth = options.depth ? options.depth : format.bitDepth;
    const int16 mode = ModeFor(model, depth);
    if (mode < 0)
        throw DocumentError("there is no " + std::to_string(depth) + "-bit " + ModelTitle(model) + " mode");
    const int16 planes = options.planes ? options.planes : int16(pngColors);
    auto doc = std::make_unique<PixelDocument>(format.width, format.height, mode, options.transparency,
                                               options.layers, planes);
    const int colors = doc->colorPlanes();
    const int32 full = format.bitDepth == 16 ? 65535 : 255;
    const int32 w = format.width;
    const int channels = format.channels;

    // The colour each pixel is given in, and the document's space.
    const bool multichannel = model == ColorModel::Multichannel;
    const int16 space = ColorSpaceOf(model);
    const bool grayIn = pngColors == 1;
    const int16 from = grayIn && space == plugIncolorServicesGraySpace ? plugIncolorServicesGraySpace
                                                                        : plugIncolorServicesRGBSpace;
    const bool convert = !multichannel && from != space;
    if (convert)
        Note(notes, std::string("the ") + (grayIn ? "gray" : "RGB") + " image is converted to " + ModelTitle(model) +
                        " for the document");
    if (hasAlpha && !options.transparency) Note(notes, "the image's alpha is not used (no transparency plane)");

    const std::vector<uint8> table = SampleTable(full, depth);
    std::vector<uint8> opaque(std::size_t(BytesPerSample(depth)));
    StoreUnit(1.0, opaque.data(), depth);
    // The PNG channel each plane takes when no colour conversion is needed.
    const auto sourceChannel = [&](int p) { return multichannel ? std::min(p, pngColors - 1) : grayIn ? 0 : p; };

    const int inComponents = ColorEngine::Components(from);
    std::vector<double> in, out;
    if (convert) {
        in.resize(std::size_t(w) * std::size_t(inComponents));
        out.resize(std::size_t(w) * std::size_t(std::max(colors, 4)));
    }
    std::vector<uint8> row(format.rowBytes());
    const uint16* row16 = reinterpret_cast<const uint16*>(row.data());
    const auto sample = [&](int32 x, int c) -> int32 {
        const std::size_t i = std::size_t(x) * std::size_t(channels) + std::size_t(c);
        return format.bitDepth == 16 ? row16[i] : row[i];
    };
    for (int32 y = 0; y < format.height; ++y) {
        readRow(row.data());
        if (convert) {
            for (int32 x = 0; x < w; ++x)
                for (int c = 0; c < inComponents; ++c)
                    in[std::size_t(x) * inComponents + c] = sample(x, grayIn ? 0 : c) / double(full);
            if (!engine.Convert(from, space, in.data(), out.data(), std::size_t(w)))
                throw DocumentError("colour conversion failed: " + engine.error());
        }
        for (int l = 0; l < doc->layerCount(); ++l) {
            Layer& layer = doc->layer(l);
            for (int p = 0; p < colors; ++p) {
                Plane& plane = layer.color[std::size_t(p)];
                if (convert) {
                    for (int32 x = 0; x < w; ++x) plane.SetUnit(x, y, out[std::size_t(x) * colors + p]);
                } else if (format.bitDepth == 16) {
                    LookUpRow(row16, channels, sourceChannel(p), w, table.data(), depth, plane.Row(y));
                } else {
                    LookUpRow(row.data(), channels, sourceChannel(p), w, table.data(), depth, plane.Row(y));
                }
            }
            if (!layer.transparency) continue;
            uint8* alpha = layer.transparency->Row(y);
            if (!hasAlpha) {
                for (int32 x = 0; x < w; ++x) std::memcpy(alpha + std::size_t(x) * opaque.size(), opaque.data(), opaque.size());
            } else if (format.bitDepth == 16) {
                LookUpRow(row16, channels, pngColors, w, table.data(), depth, alpha);
            } else {
                LookUpRow(row.data(), channels, pngColors, w, table.data(), depth, alpha);
            }
        }
    }
    doc->MarkChanged();
    return doc;
}

}  // namespace

std::unique_ptr<PixelDocument> ImportImage(const PngImage& image, const ImportOptions& options, ColorEngine& engine,
                                           std::vector<std::string>* notes) {
    PngFormat format;
    format.width = image.width;
    format.height = image.height;
    format.channels = image.channels;
    format.bitDepth = image.bitDepth;
    const std::size_t rowSamples = std::size_t(image.width) * std::size_t(image.channels);
    if (image.samples.size() != rowSamples * std::size_t(std::max(image.height, 0)))
        throw DocumentError("the image's samples do not match its size");
    int32 y = 0;
    return ImportRows(format, options, engine, notes, [&](uint8* row) {
        const uint16* in = image.samples.data() + std::size_t(y++) * rowSamples;
        if (image.bitDepth == 16)
            std::memcpy(row, in, rowSamples * 2);
        else
            for (std::size_t i = 0; i < rowSamples; ++i) row[i] = uint8(std::min<uint16>(in[i], 255));
    });
}

std::unique_ptr<PixelDocument> ImportPng(PngReader& reader, const ImportOptions& options, ColorEngine& engine,
                                         std::vector<std::string>* notes) {
    auto doc = ImportRows(reader.format(), options, engine, notes, [&](uint8* row) { reader.ReadRow(row); });
    reader.Finish();
    return doc;
}

namespace {

// The PNG sample (0..full) for every sample value of an integer depth: the unit value clipped
// to 0..1 and rounded.
std::vector<uint16> ExportTable(int32 depth, int32 full) {
    std::vector<uint16> table(depth == 8 ? 256 : 65536);
    for (std::size_t v = 0; v < table.size(); ++v) {
        uint8 bytes[4] = {};
        if (depth == 8) {
            bytes[0] = uint8(v);
        } else {
            const uint16 s = uint16(v);
            std::memcpy(bytes, &s, 2);
        }
        table[v] = uint16(std::lround(std::clamp(LoadUnit(bytes, depth), 0.0, 1.0) * full));
    }
    return table;
}

// One plane row into channel `channel` of an interleaved row of PNG samples.
template <class Sample>
void ExportPlaneRow(const Plane& plane, int32 y, const std::vector<uint16>& table, int32 full, int channels,
                    int channel, Sample* out) {
    const int32 w = plane.width();
    const uint8* in = plane.Row(y);
    Sample* o = out + channel;
    if (plane.depth() == 8) {
        for (int32 x = 0; x < w; ++x, o += channels) *o = Sample(table[in[x]]);
    } else if (plane.depth() == 16) {
        for (int32 x = 0; x < w; ++x, o += channels) {
            uint16 v;
            std::memcpy(&v, in + std::size_t(x) * 2, 2);
            *o = Sample(table[v]);
        }
    } else {
        for (int32 x = 0; x < w; ++x, o += channels)
            *o = Sample(std::lround(std::clamp(LoadUnit(in + std::size_t(x) * 4, 32), 0.0, 1.0) * full));
    }
}

// The document's rows as PNG samples, handed to `writeRow` top to bottom.
void ExportRows(const PixelDocument& doc, ColorEngine& engine, std::vector<std::string>* notes,
                const std::function<void(const uint8* row)>& writeRow) {
    const Layer& layer = doc.target();
    const ColorModel model = doc.model();
    const int colors = doc.colorPlanes();
    const int16 space = ColorSpaceOf(model);
    const bool multichannel = model == ColorModel::Multichannel;
    const PngFormat format = ExportFormat(doc);
    const int outColors = format.channels - (layer.transparency ? 1 : 0);
    const bool convert = !multichannel && outColors == 3 && space != plugIncolorServicesRGBSpace;
    if (convert) Note(notes, "the " + ModelTitle(model) + " document is converted to RGB for the PNG");
    if (multichannel && colors != outColors)
        Note(notes, "the PNG holds the first " + std::to_string(outColors) + " of the document's " +
                        std::to_string(colors) + " channels");
    if (doc.depth() == 32) Note(notes, "the 32-bit samples are written as 16-bit, clipped to 0..1");

    const int32 full = format.bitDepth == 16 ? 65535 : 255;
    const int32 w = doc.width();
    const std::vector<uint16> table = doc.depth() == 32 ? std::vector<uint16>() : ExportTable(doc.depth(), full);
    std::vector<double> in, out;
    if (convert) {
        in.resize(std::size_t(w) * std::size_t(std::max(colors, 4)));
        out.resize(std::size_t(w) * 3);
    }
    std::vector<uint8> row(format.rowBytes());
    uint16* row16 = reinterpret_cast<uint16*>(row.data());
    const auto put = [&](const Plane& plane, int32 y, int channel) {
        if (format.bitDepth == 16)
            ExportPlaneRow(plane, y, table, full, format.channels, channel, row16);
        else
            ExportPlaneRow(plane, y, table, full, format.channels, channel, row.data());
    };
    for (int32 y = 0; y < doc.height(); ++y) {
        if (convert) {
            for (int32 x = 0; x < w; ++x)
                for (int p = 0; p < colors; ++p) in[std::size_t(x) * colors + p] = layer.color[std::size_t(p)].Unit(x, y);
            if (!engine.Convert(space, plugIncolorServicesRGBSpace, in.data(), out.data(), std::size_t(w)))
                throw DocumentError("colour conversion failed: " + engine.error());
            for (int32 x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c) {
                    const std::size_t i = std::size_t(x) * std::size_t(format.channels) + std::size_t(c);
                    const uint16 v = uint16(std::lround(std::clamp(out[std::size_t(x) * 3 + c], 0.0, 1.0) * full));
                    if (format.bitDepth == 16) row16[i] = v; else row[i] = uint8(v);
                }
        } else {
            for (int c = 0; c < outColors; ++c) put(layer.color[std::size_t(c)], y, c);
        }
        if (layer.transparency) put(*layer.transparency, y, outColors);
        writeRow(row.data());
    }
}

}  // namespace

PngFormat ExportFormat(const PixelDocument& doc) {
    const ColorModel model = doc.model();
    const int16 space = ColorSpaceOf(model);
    const bool multichannel = model == ColorModel::Multichannel;
    const bool grayOut = space == plugIncolorServicesGraySpace || (multichannel && doc.colorPlanes() < 3);
    PngFormat format;
    format.width = doc.width();
    format.height = doc.height();
    format.channels = (grayOut ? 1 : 3) + (doc.target().transparency ? 1 : 0);
    format.bitDepth = doc.depth() == 8 ? 8 : 16;
    return format;
}

PngImage ExportImage(const PixelDocument& doc, ColorEngine& engine, std::vector<std::string>* notes) {
    const PngFormat format = ExportFormat(doc);
    PngImage image;
    image.width = format.width;
    image.height = format.height;
    image.channels = format.channels;
    image.bitDepth = format.bitDepth;
    const std::size_t rowSamples = std::size_t(image.width) * std::size_t(image.channels);
    image.samples.resize(rowSamples * std::size_t(image.height));
    int32 y = 0;
    ExportRows(doc, engine, notes, [&](const uint8* row) {
        uint16* out = image.samples.data() + std::size_t(y++) * rowSamples;
        if (image.bitDepth == 16)
            std::memcpy(out, row, rowSamples * 2);
        else
            std::copy(row, row + rowSamples, out);
    });
    return image;
}

void ExportPng(const PixelDocument& doc, ColorEngine& engine, std::vector<std::string>* notes, PngWriter& writer) {
    ExportRows(doc, engine, notes, [&](const uint8* row) { writer.WriteRow(row); });
    writer.Finish();
}

}  // namespace hostsim
