#include "hostsim/document.h"

#include "pluginapi/color_space.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace hostsim {
namespace {

constexpr ModeInfo kModes[] = {
    {plugInModeGrayScale, ColorModel::Gray, 8, 1, plugIncolorServicesGraySpace, "Gray"},
    {plugInModeRGBColor, ColorModel::RGB, 8, 3, plugIncolorServicesRGBSpace, "RGB"},
    {plugInModeCMYKColor, ColorModel::CMYK, 8, 4, plugIncolorServicesCMYKSpace, "CMYK"},
    {plugInModeHSLColor, ColorModel::HSL, 8, 3, plugIncolorServicesHSLSpace, "HSL"},
    {plugInModeHSBColor, ColorModel::HSB, 8, 3, plugIncolorServicesHSBSpace, "HSB"},
    {plugInModeMultichannel, ColorModel::Multichannel, 8, 0, -1, "Multichannel"},
    {plugInModeDuotone, ColorModel::Duotone, 8, 1, plugIncolorServicesGraySpace, "Duotone"},
    {plugInModeLabColor, ColorModel::Lab, 8, 3, plugIncolorServicesLabSpace, "Lab"},
    {plugInModeGray16, ColorModel::Gray, 16, 1, plugIncolorServicesGraySpace, "Gray16"},
    {plugInModeRGB48, ColorModel::RGB, 16, 3, plugIncolorServicesRGBSpace, "RGB48"},
    {plugInModeLab48, ColorModel::Lab, 16, 3, plugIncolorServicesLabSpace, "Lab48"},
    {plugInModeCMYK64, ColorModel::CMYK, 16, 4, plugIncolorServicesCMYKSpace, "CMYK64"},
    {plugInModeDeepMultichannel, ColorModel::Multichannel, 16, 0, -1, "DeepMultichannel"},
    {plugInModeDuotone16, ColorModel::Duotone, 16, 1, plugIncolorServicesGraySpace, "Duotone16"},
    {plugInModeRGB96, ColorModel::RGB, 32, 3, plugIncolorServicesRGBSpace, "RGB96"},
    {plugInModeGray32, ColorModel::Gray, 32, 1, plugIncolorServicesGraySpace, "Gray32"},
};

struct ModelName {
    ColorModel model;
    const char* name;
};
constexpr ModelName kModelNames[] = {
    {ColorModel::Gray, "gray"}, {ColorModel::RGB, "rgb"},         {ColorModel::CMYK, "cmyk"},
    {ColorModel::Lab, "lab"},   {ColorModel::HSB, "hsb"},         {ColorModel::HSL, "hsl"},
    {ColorModel::Duotone, "duotone"}, {ColorModel::Multichannel, "multichannel"},
};

}  // namespace

const ModeInfo* FindMode(int16 mode) {
    for (const ModeInfo& info : kModes)
        if (info.mode == mode) return &info;
    return nullptr;
}

int16 ModeFor(ColorModel model, int32 depth) {
    for (const ModeInfo& info : kModes)
        if (info.model == model && info.depth == depth) return info.mode;
    return -1;
}

std::optional<ColorModel> ParseColorModel(const std::string& name) {
    std::string lower;
    std::transform(name.begin(), name.end(), std::back_inserter(lower),
                   [](unsigned char c) { return char(std::tolower(c)); });
    for (const ModelName& entry : kModelNames)
        if (lower == entry.name) return entry.model;
    return std::nullopt;
}

const char* ColorModelName(ColorModel model) {
    for (const ModelName& entry : kModelNames)
        if (entry.model == model) return entry.name;
    return "?";
}

int16 ColorSpaceOf(ColorModel model) {
    for (const ModeInfo& info : kModes)
        if (info.model == model) return info.colorSpace;
    return -1;
}

int16 ColorPlanesOf(ColorModel model, int16 multichannelPlanes) {
    if (model == ColorModel::Multichannel) return multichannelPlanes;
    for (const ModeInfo& info : kModes)
        if (info.model == model) return info.colorPlanes;
    return 0;
}

}  // namespace hostsim
