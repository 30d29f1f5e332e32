// Channel ports: the document description that names the document's channels, the records
// that describe pixel memory, and the two ways of reading and writing through ports (the
// filter record's ChannelPortProcs and the ChannelPorts suite).
#pragma once
#include "pi_types.h"

struct PIChannelPortOpaque;
using PIChannelPort = PIChannelPortOpaque*;
using ChannelReadPort = PIChannelPort;
using ChannelWritePort = PIChannelPort;

// Caller memory: data plus strides, all in bits.
struct PixelMemoryDesc {
    void* data;
    int32 rowBits;
    int32 colBits;
    int32 bitOffset;
    int32 depth;
};

// Source and destination rectangles of a scaled read.
struct PSScaling {
    VRect sourceRect;
    VRect destinationRect;
};

// ReadChannelDesc.channelType.
enum : int16 {
    ctUnspecified = 0,
    ctRed = 1,
    ctGreen = 2,
    ctBlue = 3,
    ctCyan = 4,
    ctMagenta = 5,
    ctYellow = 6,
    ctBlack = 7,
    ctL = 8,
    ctA = 9,
    ctB = 10,
    ctDuotone = 11,
    ctIndex = 12,
    ctBitmap = 13,
    ctColorSelected = 14,
    ctColorProtected = 15,
    ctTransparency = 16,
    ctLayerMask = 17,
    ctInvertedLayerMask = 18,
    ctSelectionMask = 19,
    ctSpotColor = 20,
    ctVectorMask = 21,
    ctSmartFilterMask = 22,
};

// One channel of the document. Fields past version 0 exist only up to maxVersion.
struct ReadChannelDesc {
    int32 minVersion;
    int32 maxVersion;
    // version 0
    ReadChannelDesc* next;
    PIChannelPort port;
    VRect bounds;
    int32 depth;
    VPoint tileSize;
    VPoint tileOrigin;
    Boolean target;
    Boolean shown;
    int16 channelType;
    void* contextInfo;
    const char* name;
    // version 1
    PIChannelPort writePort;
    // version 2
    unsigned32 alphaID;
    // version 3
    const uint16* unicodeName;
    // version 4
    Boolean isEnabled;
    // version 5
    VRect limitBounds;
};
constexpr int32 kCurrentReadChannelDescVersion = 5;

struct WriteChannelDesc {
    int32 minVersion;
    int32 maxVersion;
    WriteChannelDesc* next;
    ChannelWritePort port;
    VRect bounds;
    int32 depth;
    VPoint tileSize;
    VPoint tileOrigin;
    int16 channelType;
    int16 padding;
    void* contextInfo;
    const char* name;
    // version 1
    const uint16* unicodeName;
};

// One layer of the document.
struct ReadLayerDesc {
    int32 minVersion;
    int32 maxVersion;
    // version 0
    ReadLayerDesc* next;
    ReadChannelDesc* compositeChannelsList;
    ReadChannelDesc* transparency;
    ReadChannelDesc* layerMask;
    unsigned32 sheetID;
    const char* name;
    Boolean isPixelBased;
    // version 1
    const uint16* unicodeName;
    // version 2
    Boolean isVisible;
    Boolean isAdjustor;
    Boolean isContentGenerator;
    Boolean isRendered;
    unsigned8 opacity;
    unsigned8 fillOpacity;
    PIType blendMode;
    ReadChannelDesc* vectorMask;
    // version 3
    ReadChannelDesc* smartFilterMask;
};
constexpr int32 kCurrentReadLayerDescVersion = 3;

struct SPPlatformFileSpecification_t;
struct SPPlatformFileSpecificationW;
struct XPlatFileSpec;

// ReadImageDocumentDesc.documentType.
enum : int32 { dtImageDocument = 0, dtImageScrap = 1 };

// The document as a whole. Fields past version 0 exist only up to maxVersion.
struct ReadImageDocumentDesc {
    int32 minVersion;
    int32 maxVersion;
    // version 0
    int32 imageMode;
    int32 depth;
    VRect bounds;
    Fixed hResolution;
    Fixed vResolution;
    LookUpTable redLUT;
    LookUpTable greenLUT;
    LookUpTable blueLUT;
    ReadChannelDesc* targetCompositeChannels;
    ReadChannelDesc* targetTransparency;
    ReadChannelDesc* targetLayerMask;
    ReadChannelDesc* mergedCompositeChannels;
    ReadChannelDesc* mergedTransparency;
    ReadChannelDesc* alphaChannels;
    ReadChannelDesc* selection;
    // version 1
    SPPlatformFileSpecification_t* fileSpec;
    // version 2
    ReadLayerDesc* layersDescriptor;
    int32 documentType;
    ReadImageDocumentDesc* next;
    // version 3
    void* iCCprofileData;
    int32 iCCprofileSize;
    int32 compositeChannelCount;
    int32 layerCount;
    int32 alphaChannelCount;
    // version 4
    ReadChannelDesc* targetSmartFilterMask;
    // version 5
    SPPlatformFileSpecificationW* fileSpecW;
    // version 6
    XPlatFileSpec* fileSpecX;
};
constexpr int32 kCurrentReadImageDocumentDescVersion = 6;

// The filter record's channel-port procedures (FilterRecord::channelPortProcs).
using ReadPixelsProc = OSErr (*)(ChannelReadPort port, const PSScaling* scaling, const VRect* writeRect,
                                 const PixelMemoryDesc* destination, VRect* wroteRect);
using WriteBasePixelsProc = OSErr (*)(ChannelWritePort port, const VRect* writeRect, const PixelMemoryDesc* source);
using ReadPortForWritePortProc = OSErr (*)(ChannelReadPort* readPort, ChannelWritePort writePort);

struct ChannelPortProcs {
    int16 channelPortProcsVersion;
    int16 numChannelPortProcs;
    ReadPixelsProc readPixelsProc;
    WriteBasePixelsProc writeBasePixelsProc;
    ReadPortForWritePortProc readPortForWritePortProc;
};
constexpr int16 kCurrentChannelPortProcsVersion = 1;
constexpr int16 kCurrentChannelPortProcsCount = 3;

// The ChannelPorts suite. Version 2 fills slots up to Dispose; version 3 all of them.
constexpr const char* kPSChannelPortsSuite = "Photoshop ChannelPorts Suite for Plug-ins";
constexpr int32 kPSChannelPortsSuiteVersion = 2;  // what the module asks for
constexpr int32 kPSChannelPortsSuiteVersion3 = 3;

using ChannelPortOperationProc = SPErr (*)(PIChannelPort source, PIChannelPort destination, PIChannelPort mask,
                                           void* parameters, VRect* rect, void* refCon);

struct PSChannelPortsSuite1 {
    SPErr (*CountLevels)(PIChannelPort port, int32* count);
    SPErr (*GetDepth)(PIChannelPort port, int32 level, int32* depth);
    SPErr (*GetDataBounds)(PIChannelPort port, int32 level, VRect* bounds);
    SPErr (*GetWriteLimit)(PIChannelPort port, int32 level, VRect* writeBounds);
    SPErr (*GetTilingGrid)(PIChannelPort port, int32 level, VPoint* tileOrigin, VPoint* tileSize);
    SPErr (*GetSupportRect)(PIChannelPort port, int32 level, const VRect* bounds, int32* supportLevel,
                            VRect* supportBounds);
    SPErr (*GetDependentRect)(PIChannelPort port, int32 sourceLevel, const VRect* sourceBounds, int32 dependentLevel,
                              VRect* dependentBounds);
    SPErr (*CanRead)(PIChannelPort port, Boolean* canRead);
    SPErr (*CanWrite)(PIChannelPort port, Boolean* canWrite);
    SPErr (*ReadPixelsFromLevel)(PIChannelPort port, int32 level, VRect* bounds, const PixelMemoryDesc* destination);
    SPErr (*WritePixelsToBaseLevel)(PIChannelPort port, VRect* bounds, const PixelMemoryDesc* source);
    SPErr (*ReadScaledPixels)(PIChannelPort port, VRect* readRect, const PSScaling* scaling,
                              const PixelMemoryDesc* destination);
    SPErr (*FindSourceForScaledRead)(PIChannelPort port, const VRect* readRect, const PSScaling* scaling,
                                     int32 dstDepth, int32* sourceLevel, VRect* sourceRect,
                                     VRect* sourceScalingBounds);
    SPErr (*New)(PIChannelPort* port, const VRect* rect, int32 depth, Boolean globalScope);
    SPErr (*Dispose)(PIChannelPort* port);
    // version 3
    SPErr (*SupportsOperation)(const char* operation, Boolean* supported);
    SPErr (*ApplyOperation)(const char* operation, PIChannelPort sourcePort, PIChannelPort destinationPort,
                            PIChannelPort maskPort, void* parameters, VRect* rect);
    SPErr (*AddOperation)(const char* operation, ChannelPortOperationProc proc, void* refCon);
    SPErr (*RemoveOperation)(const char* operation, void** refCon);
    SPErr (*NewCopyOnWrite)(PIChannelPort* result, PIChannelPort basePort, VRect* writeLimit, Boolean globalScope);
    SPErr (*Freeze)(PIChannelPort port);
    SPErr (*Restore)(PIChannelPort port, VRect* area);
};
