// The host's colour-space conversion suite. The colour-space numbers are those of colour
// services (pixel_map.h).
#pragma once
#include "pi_types.h"
#include "pixel_map.h"

struct ColorOpaque;
using ColorID = ColorOpaque*;

using Color8 = uint8[4];
using Color16 = uint16[4];  // 0..32768
struct CS_XYZColor {
    unsigned16 x, y, z;
};

constexpr const char* kPSColorSpaceSuite = "Photoshop ColorSpace Suite for Plug-ins";
constexpr int32 kPSColorSpaceSuiteVersion = 1;

// Version 1: sixteen slots, the last being Convert32to8.
struct PSColorSpaceSuite1 {
    SPErr (*Make)(ColorID* id);
    SPErr (*Delete)(ColorID* id);
    SPErr (*StuffComponents)(ColorID id, int16 colorSpace, uint8 component0, uint8 component1, uint8 component2,
                             uint8 component3);
    SPErr (*ExtractComponents)(ColorID id, int16 colorSpace, uint8* component0, uint8* component1,
                               uint8* component2, uint8* component3, Boolean* gamutFlag);
    SPErr (*StuffXYZ)(ColorID id, CS_XYZColor xyz);
    SPErr (*ExtractXYZ)(ColorID id, CS_XYZColor* xyz);
    SPErr (*Convert8)(int16 inputCSpace, int16 outputCSpace, Color8* colorArray, int16 count);
    SPErr (*Convert16)(int16 inputCSpace, int16 outputCSpace, Color16* colorArray, int16 count);
    SPErr (*GetNativeSpace)(ColorID id, int16* colorSpace);
    SPErr (*IsBookColor)(ColorID id, Boolean* isBookColor);
    SPErr (*ExtractColorName)(ColorID id, ASZString* colorName);
    SPErr (*PickColor)(ColorID* id, ASZString promptString);
    SPErr (*Convert8to16)(uint8* input_data, uint16* output_data, int16 count);
    SPErr (*Convert16to8)(uint16* input_data, uint8* output_data, int16 count);
    SPErr (*ConvertToMonitorRGB)(int16 inputCSpace, Color8* input_data, Color8* output_data, int16 count);
    SPErr (*Convert32to8)(real32* input_data, uint8* output_data, int16 count);
};
