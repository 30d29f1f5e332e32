#include "hostsim/image_import.h"

#include "pluginapi/color_space.h"

#include <algorithm>
#include <cmath>

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

}  // namespace

std::unique_ptr<PixelDocument> ImportImage(const PngImage& image, const ImportOptions& options, ColorEngine& engine,
                                           std::vector<std::string>* notes) {
    const int pngColors = image.colorChannels();
    const ColorModel model = options.model.value_or(pngColors == 1 ? ColorModel::Gray : ColorModel::RGB);
    const int32 depth = options.depth ? options.depth : image.bitDepth;
    const int16 mode = ModeFor(model, depth);
    if (mode < 0)
        throw DocumentError("there is no " + std::to_string(depth) + "-bit " + ModelTitle(model) + " mode");
    const int16 planes = options.planes ? options.planes : int16(pngColors);
    auto doc = std::make_unique<PixelDocument>(image.width, image.height, mode, options.transparency, options.layers,
                                               planes);
    const int colors = doc->colorPlanes();
    const double full = image.maxValue();
    const int32 w = image.width;

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
    if (image.hasAlpha() && !options.transparency) Note(notes, "the image's alpha is not used (no transparency plane)");

    const int inComponents = ColorEngine::Components(from);
    std::vector<double> in(std::size_t(w) * std::size_t(inComponents));
    std::vector<double> out(std::size_t(w) * std::size_t(std::max(colors, 4)));
    for (int32 y = 0; y < image.height; ++y) {
        const double* row = nullptr;
        if (multichannel) {
            for (int32 x = 0; x < w; ++x)
                for (int p = 0; p < colors; ++p)
                    out[std::size_t(x) * colors + p] = image.at(x, y, std::min(p, pngColors - 1)) / full;
            row = out.data();
        } else {
            for (int32 x = 0; x < w; ++x)
                for (int c = 0; c < inComponents; ++c)
                    in[std::size_t(x) * inComponents + c] = image.at(x, y, grayIn ? 0 : c) / full;
            if (convert) {
                if (!engine.Convert(from, space, in.data(), out.data(), std::size_t(w)))
                    throw DocumentError("colour conversion failed: " + engine.error());
                row = out.data();
            } else {
                row = in.data();
            }
        }
        for (int l = 0; l < doc->layerCount(); ++l) {
            Layer& layer = doc->layer(l);
            for (int32 x = 0; x < w; ++x) {
                for (int p = 0; p < colors; ++p) layer.color[std::size_t(p)].SetUnit(x, y, row[std::size_t(x) * colors + p]);
                if (layer.transparency)
                    layer.transparency->SetUnit(x, y, image.hasAlpha() ? image.at(x, y, pngColors) / full : 1.0);
            }
        }
    }
    doc->MarkChanged();
    return doc;
}

PngImage ExportImage(const PixelDocument& doc, ColorEngine& engine, std::vector<std::string>* notes) {
    const Layer& layer = doc.target();
    const ColorModel model = doc.model();
    const int colors = doc.colorPlanes();
    const int16 space = ColorSpaceOf(model);
    const bool multichannel = model == ColorModel::Multichannel;
    const bool grayOut = space == plugIncolorServicesGraySpace || (multichannel && colors < 3);
    const bool convert = !multichannel && !grayOut && space != plugIncolorServicesRGBSpace;
    const int outColors = grayOut ? 1 : 3;
    const bool alpha = layer.transparency != nullptr;

    PngImage image;
    image.width = doc.width();
    image.height = doc.height();
    image.channels = outColors + (alpha ? 1 : 0);
    image.bitDepth = doc.depth() == 8 ? 8 : 16;
    image.samples.resize(std::size_t(image.width) * std::size_t(image.height) * std::size_t(image.channels));
    if (convert) Note(notes, "the " + ModelTitle(model) + " document is converted to RGB for the PNG");
    if (multichannel && colors != outColors)
        Note(notes, "the PNG holds the first " + std::to_string(outColors) + " of the document's " +
                        std::to_string(colors) + " channels");
    if (doc.depth() == 32) Note(notes, "the 32-bit samples are written as 16-bit, clipped to 0..1");

    const double full = image.maxValue();
    const int32 w = doc.width();
    std::vector<double> in(std::size_t(w) * std::size_t(std::max(colors, 4)));
    std::vector<double> out(std::size_t(w) * 3);
    for (int32 y = 0; y < doc.height(); ++y) {
        for (int32 x = 0; x < w; ++x)
            for (int p = 0; p < colors; ++p) in[std::size_t(x) * colors + p] = layer.color[std::size_t(p)].Unit(x, y);
        const double* row = in.data();
        int stride = colors;
        if (convert) {
            if (!engine.Convert(space, plugIncolorServicesRGBSpace, in.data(), out.data(), std::size_t(w)))
                throw DocumentError("colour conversion failed: " + engine.error());
            row = out.data();
            stride = 3;
        }
        for (int32 x = 0; x < w; ++x) {
            for (int c = 0; c < outColors; ++c)
                image.at(x, y, c) = uint16(std::lround(std::clamp(row[std::size_t(x) * stride + c], 0.0, 1.0) * full));
            if (alpha)
                image.at(x, y, outColors) = uint16(std::lround(std::clamp(layer.transparency->Unit(x, y), 0.0, 1.0) * full));
        }
    }
    return image;
}

}  // namespace hostsim
