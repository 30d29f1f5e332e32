// Channel ports: reading and writing the document's channels through the host, and the
// document description that names them.
#pragma once
#include "pi_types.h"

struct PIChannelPortOpaque;
using PIChannelPort = PIChannelPortOpaque*;
using ReadChannelPort = PIChannelPort;
using WriteChannelPort = PIChannelPort;

// Describes caller memory: data plus strides in bits.
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

struct ReadChannelDesc {
    int32 minVersion;
    int32 maxVersion;
    ReadChannelDesc* next;
    ReadChannelPort port;
    VRect bounds;
    int32 depth;
    VPoint tileSize;
    VPoint tileOrigin;
    PIBoolean target;
    PIBoolean shown;
    int16 channelType;
    void* contextInfo;
    const char* name;
    WriteChannelPort writePort;
};

struct ReadLayerDesc {
    int32 minVersion;
    int32 maxVersion;
    ReadLayerDesc* next;
    ReadChannelDesc* compositeChannelsList;
    ReadChannelDesc* transparency;
    ReadChannelDesc* layerMask;
    const char* name;
    int32 layerID;
};

struct ReadImageDocumentDesc {
    int32 minVersion;
    int32 maxVersion;
    int32 imageMode;
    int32 depth;
    VRect bounds;
    Fixed hResolution;
    Fixed vResolution;
    uint8 redLUT[256];
    uint8 greenLUT[256];
    uint8 blueLUT[256];
    ReadChannelDesc* targetCompositeChannels;
    ReadChannelDesc* targetTransparency;
    ReadChannelDesc* targetLayerMask;
    ReadChannelDesc* mergedCompositeChannels;
    ReadChannelDesc* mergedTransparency;
    ReadChannelDesc* alphaChannels;
    ReadChannelDesc* selection;
    ReadLayerDesc* layersDescriptor;
    int32 layerCount;
    int32 targetLayerIndex;
};

constexpr const char* kPSChannelPortsSuite = "Photoshop ChannelPorts Suite for Plug-ins";
constexpr int32 kPSChannelPortsSuiteVersion = 2;

struct PSChannelPortsSuite {
    SPErr (*CountLevels)(PIChannelPort port, int32* count);
    SPErr (*GetDepth)(PIChannelPort port, int32 level, int32* depth);
    SPErr (*GetDataBounds)(PIChannelPort port, int32 level, VRect* bounds);
    SPErr (*GetWriteLimit)(PIChannelPort port, VRect* writeBounds);
    SPErr (*GetTilingGrid)(PIChannelPort port, int32 level, VPoint* tileOrigin, VPoint* tileSize);
    SPErr (*GetDependentLevels)(PIChannelPort port, int32 level, int32* dependentsStart, int32* dependentsEnd);
    SPErr (*ReadPixelsFromLevel)(PIChannelPort port, int32 level, VRect* readRect,
                                 const PixelMemoryDesc* destination);
    SPErr (*WritePixelsToBaseLevel)(PIChannelPort port, VRect* writeRect, const PixelMemoryDesc* source);
    SPErr (*ReadScaledPixels)(PIChannelPort port, VRect* readRect, const PSScaling* scaling,
                              const PixelMemoryDesc* destination);
    SPErr (*FindSourceForScaledRead)(PIChannelPort port, const VRect* readRect, const PSScaling* scaling,
                                     int32 depth, int32* level, VRect* levelRect);
    SPErr (*New)(PIChannelPort* port, const VRect* rect, int32 depth, PIBoolean globalScope);
    SPErr (*Dispose)(PIChannelPort* port);
    SPErr (*CanRead)(PIChannelPort port, PIBoolean* canRead);
    SPErr (*CanWrite)(PIChannelPort port, PIBoolean* canWrite);
};
