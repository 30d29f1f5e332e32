// Documents from PNG images and back. A PNG holds gray or RGB, with or without alpha; other
// modes are converted on the way in (from RGB) and on the way out (to RGB), and each such
// conversion is told in `notes`.
#pragma once
#include "hostsim/color_engine.h"
#include "hostsim/document.h"
#include "hostsim/pixel_document.h"
#include "hostsim/png_io.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace hostsim {

struct ImportOptions {
    std::optional<ColorModel> model;  // default: gray for a gray PNG, else RGB
    int32 depth = 0;                  // 8, 16 or 32; 0: the PNG's (8 or 16)
    bool transparency = false;        // a transparency plane: the PNG's alpha, or opaque
    int layers = 1;                   // each layer holds the image; the top one is the target
    int16 planes = 0;                 // multichannel: planes (0: the PNG's colour channels)
};

// Throws DocumentError for a combination that does not exist (HSB at 16 bits, ...).
std::unique_ptr<PixelDocument> ImportImage(const PngImage& image, const ImportOptions& options, ColorEngine& engine,
                                           std::vector<std::string>* notes);
// The same, straight from a reader's rows: no copy of the whole image besides the document.
// Also throws the reader's PngError.
std::unique_ptr<PixelDocument> ImportPng(PngReader& reader, const ImportOptions& options, ColorEngine& engine,
                                         std::vector<std::string>* notes);

// The target layer as a PNG: gray for gray and duotone, RGB for everything else; 8-bit
// documents give 8-bit PNGs, 16- and 32-bit documents 16-bit ones; the transparency plane
// becomes alpha.
PngImage ExportImage(const PixelDocument& document, ColorEngine& engine, std::vector<std::string>* notes);
// The PNG format ExportImage gives for the document.
PngFormat ExportFormat(const PixelDocument& document);
// The same rows, straight into a writer made with ExportFormat(document); finishes it.
void ExportPng(const PixelDocument& document, ColorEngine& engine, std::vector<std::string>* notes,
               PngWriter& writer);

}  // namespace hostsim
