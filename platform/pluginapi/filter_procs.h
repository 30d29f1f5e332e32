// The filter record's remaining callback tables: resources, properties and image services.
// The module calls none of them; hostsim serves them so that a plug-in finds every slot set.
#pragma once
#include "pi_types.h"

using CountPIResourcesProc = int16 (*)(ResType type);
using GetPIResourceProc = Handle (*)(ResType type, int16 index);
using DeletePIResourceProc = void (*)(ResType type, int16 index);
using AddPIResourceProc = OSErr (*)(ResType type, Handle data);

struct ResourceProcs {
    int16 resourceProcsVersion;
    int16 numResourceProcs;
    CountPIResourcesProc countProc;
    GetPIResourceProc getProc;
    DeletePIResourceProc deleteProc;
    AddPIResourceProc addProc;
};
constexpr int16 kCurrentResourceProcsVersion = 3;
constexpr int16 kCurrentResourceProcsCount = 4;

// simpleProperty is pointer-sized.
using GetPropertyProc = OSErr (*)(PIType signature, PIType key, int32 index, intptr_t* simpleProperty,
                                  Handle* complexProperty);
using SetPropertyProc = OSErr (*)(PIType signature, PIType key, int32 index, intptr_t simpleProperty,
                                  Handle complexProperty);

struct PropertyProcs {
    int16 propertyProcsVersion;
    int16 numPropertyProcs;
    GetPropertyProc getPropertyProc;
    SetPropertyProc setPropertyProc;
};
constexpr int16 kCurrentPropertyProcsVersion = 1;
constexpr int16 kCurrentPropertyProcsCount = 2;

struct PSImagePlane {
    void* data;
    Rect bounds;
    int32 rowBytes;
    int32 colBytes;
};
struct PSImageMultiPlane;
struct PSImageMultiPlane32;

using PIResampleProc = OSErr (*)(PSImagePlane* source, PSImagePlane* destination, Rect* area, Fixed* coords,
                                 int16 method);
using PIResampleMultiProc = OSErr (*)(PSImageMultiPlane* source, PSImageMultiPlane* destination, Rect* area,
                                      Fixed* coords, int16 method);
using PIResampleMulti32Proc = OSErr (*)(PSImageMultiPlane32* source, PSImageMultiPlane32* destination, VRect* area,
                                        int64* coords, int16 method);

struct ImageServicesProcs {
    int16 imageServicesProcsVersion;
    int16 numImageServicesProcs;
    PIResampleProc interpolate1DProc;
    PIResampleProc interpolate2DProc;
    PIResampleMultiProc interpolate1DMultiProc;
    PIResampleMultiProc interpolate2DMultiProc;
    PIResampleMulti32Proc interpolate1DMulti32Proc;
    PIResampleMulti32Proc interpolate2DMulti32Proc;
};
constexpr int16 kCurrentImageServicesProcsVersion = 1;
constexpr int16 kCurrentImageServicesProcsCount = 6;

// Property keys under the host signature.
constexpr PIType propNumberOfChannels = FourCC("nuch");
constexpr PIType propImageMode = FourCC("mode");
constexpr PIType propTitle = FourCC("titl");
