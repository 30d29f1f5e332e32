// Pixel maps for the host's display callback, and the colour-services record.
#pragma once
#include "pi_types.h"

struct PSPixelMask {
    PSPixelMask* next;
    void* maskData;
    int32 rowBytes;
    int32 colBytes;
    int32 maskDescription;
};

struct PSPixelOverlay;

struct PSPixelMap {
    int32 version;
    VRect bounds;
    int32 imageMode;
    int32 rowBytes;
    int32 colBytes;
    int32 planeBytes;
    void* baseAddr;
    // version 1 and later
    void* mat;
    PSPixelMask* masks;
    int32 maskPhaseRow;
    int32 maskPhaseCol;
    // version 2 and later
    PSPixelOverlay* pixelOverlays;
    uint32 colorManagementOptions;
};

// Shows a pixel map in the host's window (platformContext: on this platform a cairo context).
using DisplayPixelsProc = OSErr (*)(const PSPixelMap* source, const VRect* srcRect, int32 dstRow, int32 dstCol,
                                    void* platformContext);

enum : int16 {
    plugIncolorServicesChooseColor = 0,
    plugIncolorServicesConvertColor = 1,
    plugIncolorServicesSamplePoint = 2,
    plugIncolorServicesGetSpecialColor = 3,
};

struct ColorServicesInfo {
    int32 infoSize;
    int16 selector;
    int16 sourceSpace;
    int16 resultSpace;
    PIBoolean resultGamutInfoValid;
    PIBoolean resultInGamut;
    void* reservedSourceSpaceInfo;
    void* reservedResultSpaceInfo;
    int16 colorComponents[4];
    void* reserved;
    union {
        const uint8* pickerPrompt;  // Pascal string
        VPoint* globalSamplePoint;
        int32 specialColorID;
    } selectorParameter;
};

using ColorServicesProc = OSErr (*)(ColorServicesInfo* info);
