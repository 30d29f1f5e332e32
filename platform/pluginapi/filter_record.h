// The records the host hands to a filter plug-in's entry point.
#pragma once
#include "action_suites.h"
#include "basic_suite.h"
#include "channel_ports.h"
#include "color_space.h"
#include "descriptor_procs.h"
#include "filter_procs.h"
#include "handle_procs.h"
#include "pi_types.h"
#include "pixel_map.h"

#include <cstdint>

// The host's window. On Windows an HWND; on this platform a GTK top-level window
// (GtkWidget*), or null. The records point at this struct, never at the window itself.
struct PlatformData {
    void* hwnd;
};

struct PlugInMonitor {
    Fixed gamma;
    Fixed redX, redY;
    Fixed greenX, greenY;
    Fixed blueX, blueY;
    Fixed whiteX, whiteY;
    Fixed ambient;
};

struct AboutRecord {
    void* platformData;  // PlatformData*
    SPBasicSuite* sSPBasic;
    void* plugInRef;
    char reserved[244];
};

// The filter record and the big-document record are 4-byte packed on 64-bit Windows: pointers
// in the filter record sit at 4-aligned offsets. Everything else keeps natural alignment.
// Read and write the record's 8-byte fields by value: a reference or pointer to one may be
// misaligned.
#pragma pack(push, 4)

// 32-bit coordinates for documents beyond 30000 pixels.
struct BigDocumentStruct {
    int32 PluginUsing32BitCoordinates;  // the plug-in sets it non-zero to use the fields below
    VPoint imageSize32;
    VRect filterRect32;
    VRect inRect32;
    VRect outRect32;
    VRect maskRect32;
    VPoint floatCoord32;
    VPoint wholeSize32;
};

// The filter record: everything the host tells the plug-in for Parameters, Prepare, Start,
// Continue and Finish, and the fields through which the plug-in asks for data. The record has
// no version field; older hosts allocate less of it (comments mark when a part appeared).
struct FilterRecord {
    int32 serialNumber;  // hosts report 0
    TestAbortProc abortProc;
    ProgressProc progressProc;
    Handle parameters;  // the plug-in's handle; null on first use

    Point imageSize;  // see BigDocumentStruct::imageSize32
    int16 planes;
    Rect filterRect;  // see filterRect32

    PSRGBColor background;
    PSRGBColor foreground;

    int32 maxSpace;
    int32 bufferSpace;

    Rect inRect;
    int16 inLoPlane;
    int16 inHiPlane;

    Rect outRect;
    int16 outLoPlane;
    int16 outHiPlane;

    void* inData;
    int32 inRowBytes;
    void* outData;
    int32 outRowBytes;

    Boolean isFloating;
    Boolean haveMask;
    Boolean autoMask;

    Rect maskRect;
    void* maskData;
    int32 maskRowBytes;

    FilterColor backColor;
    FilterColor foreColor;

    OSType hostSig;
    HostProc hostProc;

    int16 imageMode;
    Fixed imageHRes;
    Fixed imageVRes;
    Point floatCoord;
    Point wholeSize;

    PlugInMonitor monitor;

    void* platformData;  // PlatformData*
    BufferProcs* bufferProcs;
    ResourceProcs* resourceProcs;
    ProcessEventProc processEvent;
    DisplayPixelsProc displayPixels;
    HandleProcs* handleProcs;

    // 3.0
    Boolean supportsDummyChannels;
    Boolean supportsAlternateLayouts;
    int16 wantLayout;
    int16 filterCase;
    int16 dummyPlaneValue;
    void* premiereHook;
    AdvanceStateProc advanceState;

    Boolean supportsAbsolute;
    Boolean wantsAbsolute;
    GetPropertyProc getPropertyObsolete;
    Boolean cannotUndo;
    Boolean supportsPadding;
    int16 inputPadding;
    int16 outputPadding;
    int16 maskPadding;
    char samplingSupport;
    char reservedByte;
    Fixed inputRate;  // 16.16 sampling rate (65536 = every pixel)
    Fixed maskRate;
    ColorServicesProc colorServices;

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

    // 3.0.4
    ImageServicesProcs* imageServicesProcs;
    PropertyProcs* propertyProcs;
    int16 inTileHeight;
    int16 inTileWidth;
    Point inTileOrigin;
    int16 absTileHeight;
    int16 absTileWidth;
    Point absTileOrigin;
    int16 outTileHeight;
    int16 outTileWidth;
    Point outTileOrigin;
    int16 maskTileHeight;
    int16 maskTileWidth;
    Point maskTileOrigin;

    // 4.0
    PIDescriptorParameters* descriptorParameters;
    Str255* errorString;  // with errReportString: the text the host shows
    ChannelPortProcs* channelPortProcs;
    ReadImageDocumentDesc* documentInfo;

    // 5.0
    SPBasicSuite* sSPBasic;
    void* plugInRef;
    int32 depth;  // bits per channel: 1, 8, 16, 32

    // 6.0
    Handle iCCprofileData;
    int32 iCCprofileSize;
    int32 canUseICCProfiles;

    // 7.0
    int32 hasImageScrap;

    // 8.0: null when the host has no 32-bit coordinates
    BigDocumentStruct* bigDocumentData;

    // 10.0
    PIDescriptorParameters* input3DScene;
    PIDescriptorParameters* output3DScene;
    Boolean createNewLayer;

    // 13.0
    Handle iCCWorkingProfileData;
    int32 iCCWorkingProfileSize;

    // 18.0
    int64 bufferSpace64;
    int64 maxSpace64;

    // newest hosts only
    Boolean allowOverrangeColors;

    char reserved[45];
};

#pragma pack(pop)

// Signature of the plug-in entry point. `record` is an AboutRecord* for selector 0 and a
// FilterRecord* otherwise; `data` is one pointer-sized slot for the plug-in's own use.
using PluginEntryProc = void (*)(int16 selector, void* record, intptr_t* data, int16* result);
