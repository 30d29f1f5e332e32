// Pixel maps for the host's display callback, and the colour-services record.
#pragma once
#include "pi_types.h"

// PSPixelMask.maskDescription.
enum : int32 {
    kSimplePSMask = 0,
    kBlackMatPSMask = 1,
    kGrayMatPSMask = 2,
    kWhiteMatPSMask = 3,
    kInvertPSMask = 4,
};

struct PSPixelMask {
    PSPixelMask* next;
    void* maskData;
    int32 rowBytes;
    int32 colBytes;
    int32 maskDescription;
};

// PSPixelOverlay.overlayAlgorithm.
enum : int32 { kStandardAlphaOverlay = 0, kInvertedAlphaOverlay = 1 };

struct PSPixelOverlay {
    PSPixelOverlay* next;
    void* data;
    int32 rowBytes;
    int32 colBytes;
    unsigned8 r, g, b, opacity;
    int32 overlayAlgorithm;
};

// PSPixelMap.colorManagementOptions.
enum : unsigned32 {
    kViewAsStandardRGB = 0,
    kViewAsMacRGB = 1,
    kViewAsWindowsRGB = 2,
    kViewAsUncompensated = 3,
    kViewAsMask = 0xF,
};

struct PSPixelMap {
    int32 version;  // how much of the record the caller filled in
    VRect bounds;
    int32 imageMode;
    int32 rowBytes;
    int32 colBytes;
    int32 planeBytes;
    void* baseAddr;
    // version 1 and later
    PSPixelMask* mat;
    PSPixelMask* masks;
    int32 maskPhaseRow;
    int32 maskPhaseCol;
    // version 2 and later
    PSPixelOverlay* pixelOverlays;
    unsigned32 colorManagementOptions;
    // version 3 and later
    int16 depth;
};

// Shows a pixel map in the host's window (platformContext: on Windows the destination HDC,
// on this platform a cairo context).
using DisplayPixelsProc = OSErr (*)(const PSPixelMap* source, const VRect* srcRect, int32 dstRow, int32 dstCol,
                                    void* platformContext);

// ColorServicesInfo.selector.
enum : int16 {
    plugIncolorServicesChooseColor = 0,
    plugIncolorServicesConvertColor = 1,
    plugIncolorServicesSamplePoint = 2,
    plugIncolorServicesGetSpecialColor = 3,
};

// Colour spaces of colour services and of the ColorSpace suite.
enum : int16 {
    plugIncolorServicesChosenSpace = -1,  // result only: the space the user chose in
    plugIncolorServicesRGBSpace = 0,
    plugIncolorServicesHSBSpace = 1,
    plugIncolorServicesCMYKSpace = 2,
    plugIncolorServicesLabSpace = 3,
    plugIncolorServicesGraySpace = 4,
    plugIncolorServicesHSLSpace = 5,
    plugIncolorServicesXYZSpace = 6,
};

// specialColorID of GetSpecialColor.
enum : int32 { plugIncolorServicesForegroundColor = 0, plugIncolorServicesBackgroundColor = 1 };

struct ColorServicesInfo {
    int32 infoSize;  // the caller sets sizeof(ColorServicesInfo)
    int16 selector;
    int16 sourceSpace;
    int16 resultSpace;
    Boolean resultGamutInfoValid;
    Boolean resultInGamut;
    void* reservedSourceSpaceInfo;  // must be null
    void* reservedResultSpaceInfo;  // must be null
    int16 colorComponents[4];
    void* reserved;  // must be null
    union {
        Str255* pickerPrompt;      // ChooseColor
        Point* globalSamplePoint;  // SamplePoint
        int32 specialColorID;      // GetSpecialColor
    } selectorParameter;
};

using ColorServicesProc = OSErr (*)(ColorServicesInfo* info);
