// The host's colour-space conversion suite.
#pragma once
#include "pi_types.h"

// Colour spaces of the suite.
enum : int16 {
    plugIncolorServicesRGBSpace = 0,
    plugIncolorServicesHSBSpace = 1,
    plugIncolorServicesCMYKSpace = 2,
    plugIncolorServicesLabSpace = 3,
    plugIncolorServicesGraySpace = 4,
    plugIncolorServicesHSLSpace = 5,
};

struct ColorOpaque;
using ColorID = ColorOpaque*;

constexpr const char* kPSColorSpaceSuite = "Photoshop ColorSpace Suite for Plug-ins";
constexpr int32 kPSColorSpaceSuiteVersion = 1;

// Colours are converted in slots of four components (bytes at 8 bits, words at 16 bits).
struct PSColorSpaceSuite {
    SPErr (*Make)(ColorID* colorID);
    SPErr (*Delete)(ColorID* colorID);
    SPErr (*StuffComponents)(ColorID colorID, int16 colorSpace, uint8 c0, uint8 c1, uint8 c2, uint8 c3);
    SPErr (*ExtractComponents)(ColorID colorID, int16 colorSpace, uint8* c0, uint8* c1, uint8* c2, uint8* c3,
                               PIBoolean* gamutFlag);
    SPErr (*StuffXYZ)(ColorID colorID, const void* xyz);
    SPErr (*ExtractXYZ)(ColorID colorID, void* xyz);
    SPErr (*Convert8)(int16 inputCSpace, int16 outputCSpace, void* colorArray, int16 count);
    SPErr (*Convert16)(int16 inputCSpace, int16 outputCSpace, void* colorArray, int16 count);
    SPErr (*GetNativeSpace)(ColorID colorID, int16* nativeSpace);
    SPErr (*IsBookColor)(ColorID colorID, PIBoolean* isBookColor);
    SPErr (*ExtractColorName)(ColorID colorID, void** colorName);
    SPErr (*PickColor)(ColorID* colorID, const void* promptString);
    SPErr (*Convert8to16)(const uint8* inputData, uint16* outputData, int16 count);
    SPErr (*Convert16to8)(const uint16* inputData, uint8* outputData, int16 count);
    SPErr (*ConvertToMonitorRGB)(int16 inputCSpace, void* inputData, uint8* outputData, int16 count);
    // 32-bit float samples to 8-bit samples, the entry after ConvertToMonitorRGB.
    SPErr (*Convert32to8)(const float* inputData, uint8* outputData, int16 count);
};
