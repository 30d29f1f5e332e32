// The records the host hands to a filter plug-in's entry point.
#pragma once
#include "basic_suite.h"
#include "channel_ports.h"
#include "descriptor_procs.h"
#include "handle_procs.h"
#include "pi_types.h"
#include "pixel_map.h"

#include <cstdint>

// Native window of the host. On this platform: a GTK top-level window (GtkWidget*), or null.
struct PlatformData {
    void* hwnd;
};

// 32-bit coordinates for documents beyond 30000 pixels.
struct BigDocumentStruct {
    int32 PluginUsing32BitCoordinates;
    VPoint imageSize32;
    VRect filterRect32;
    VRect inRect32;
    VRect outRect32;
    VRect maskRect32;
    VRect floatCoord32;
    VRect wholeSize32;
};

struct AboutRecord {
    void* platformData;  // PlatformData*
    SPBasicSuite* sSPBasic;
    void* plugInRef;
    char reserved[244];
};

// The filter record: everything the host tells the plug-in for Parameters, Prepare, Start,
// Continue and Finish, and the fields through which the plug-in asks for data.
struct FilterRecord {
    int32 serialNumber;
    TestAbortProc abortProc;
    ProgressProc progressProc;
    Handle parameters;

    VPoint imageSize;
    int16 planes;
    Rect16 filterRect;

    int16 background[4];
    int16 foreground[4];

    int32 maxSpace;
    int32 bufferSpace;

    Rect16 inRect;
    int16 inLoPlane;
    int16 inHiPlane;

    Rect16 outRect;
    int16 outLoPlane;
    int16 outHiPlane;

    void* inData;
    int32 inRowBytes;
    void* outData;
    int32 outRowBytes;

    PIBoolean isFloating;
    PIBoolean haveMask;
    PIBoolean autoMask;

    Rect16 maskRect;
    void* maskData;
    int32 maskRowBytes;

    AdvanceStateProc advanceState;
    int16 imageMode;
    Fixed imageHRes;
    Fixed imageVRes;
    VPoint floatCoord;
    VPoint wholeSize;

    PlatformData* platformData;
    BufferProcs* bufferProcs;
    HandleProcs* handleProcs;

    ColorServicesProc colorServices;
    DisplayPixelsProc displayPixels;

    uint8* errorString;  // Pascal string, 256 bytes

    Fixed inputRate;  // 16.16 fixed-point sampling rate (65536 = every pixel)
    Fixed maskRate;
    PIBoolean supportsDummyChannels;
    PIBoolean supportsAlternateLayouts;
    int16 wantLayout;
    int16 filterCase;
    int16 dummyPlaneValue;
    PIBoolean premiereHook;
    int16 inLayerPlanes;
    int16 inTransparencyMask;
    int16 inLayerMasks;
    int16 inInvertedLayerMasks;
    int16 inNonLayerPlanes;
    int16 outLayerPlanes;
    int16 outTransparencyMask;
    int16 outLayerMasks;
    int16 outInvertedLayerMasks;
    int16 outNonLayerPlanes;
    int16 absLayerPlanes;
    int16 absTransparencyMask;
    int16 absLayerMasks;
    int16 absInvertedLayerMasks;
    int16 absNonLayerPlanes;
    int16 inPreDummyPlanes;
    int16 inPostDummyPlanes;
    int16 outPreDummyPlanes;
    int16 outPostDummyPlanes;

    int32 inColumnBytes;
    int32 inPlaneBytes;
    int32 outColumnBytes;
    int32 outPlaneBytes;

    int16 samplingSupport;
    int32 inputPadding;
    int32 outputPadding;
    int32 maskPadding;

    int32 outTileHeight;
    int32 outTileWidth;

    ReadImageDocumentDesc* documentInfo;
    SPBasicSuite* sSPBasic;
    PIDescriptorParameters* descriptorParameters;
    BigDocumentStruct* bigDocumentData;
    int32 depth;
};

// Signature of the plug-in entry point. `record` is an AboutRecord* for selector 0 and a
// FilterRecord* otherwise.
using PluginEntryProc = void (*)(int16 selector, void* record, intptr_t* data, int16* result);
