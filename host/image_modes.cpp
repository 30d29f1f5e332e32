#include "host/image_modes.h"

namespace Corvantis::Host::PS {
namespace {

struct ModeInfo {
    int32 bits;
    int32 channels;  // 0: the caller's default
    int16 colorSpace;
    int32 eightBitMode;
};

constexpr ModeInfo kModes[18] = {
    {1, 1, -1, 0},   // Bitmap
    {8, 1, 4, 1},    // Gray scale
    {8, 3, -1, 2},   // Indexed colour
    {8, 3, 0, 3},    // RGB
    {8, 4, 2, 4},    // CMYK
    {8, 3, 5, 5},    // HSL
    {8, 3, 1, 6},    // HSB
    {8, 0, -1, 7},   // Multichannel
    {8, 1, 4, 8},    // Duotone
    {8, 3, 3, 9},    // Lab
    {16, 1, 4, 1},   // Gray 16
    {16, 3, 0, 3},   // RGB 48
    {16, 3, 3, 9},   // Lab 48
    {16, 4, 2, 4},   // CMYK 64
    {16, 0, -1, 7},  // Deep multichannel
    {16, 1, 4, 8},   // Duotone 16
    {32, 3, 0, 3},   // RGB 96
    {32, 1, 4, 1},   // Gray 32
};

const ModeInfo* Find(int32 mode) {
    return static_cast<uint32>(mode) < 18 ? &kModes[mode] : nullptr;
}

}  // namespace

int32 BitsPerChannelOfMode(int32 mode) {
    const ModeInfo* m = Find(mode);
    return m ? m->bits : 8;
}

int32 ChannelCountOfMode(int32 mode, int32 defaultCount) {
    const ModeInfo* m = Find(mode);
    return (m && m->channels) ? m->channels : defaultCount;
}

int16 ColorSpaceOfMode(int32 mode) {
    const ModeInfo* m = Find(mode);
    return m ? m->colorSpace : int16(-1);
}

int32 EightBitModeOf(int32 mode) {
    const ModeInfo* m = Find(mode);
    return m ? m->eightBitMode : mode;
}

bool ModeCanBeFiltered(int32 mode) {
    return Find(mode) != nullptr && mode != plugInModeBitmap && mode != plugInModeIndexedColor;
}

}  // namespace Corvantis::Host::PS
