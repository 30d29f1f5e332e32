// Host memory handles and host buffers, as the filter record hands them over.
#pragma once
#include "pi_types.h"

using NewPIHandleProc = Handle (*)(int32 size);
using DisposePIHandleProc = void (*)(Handle h);
using GetPIHandleSizeProc = int32 (*)(Handle h);
using SetPIHandleSizeProc = OSErr (*)(Handle h, int32 newSize);
using LockPIHandleProc = Ptr (*)(Handle h, Boolean moveHigh);
using UnlockPIHandleProc = void (*)(Handle h);
using RecoverSpaceProc = void (*)(int32 size);
using DisposeRegularHandlePIHandleProc = void (*)(Handle h);

struct HandleProcs {
    int16 handleProcsVersion;
    int16 numHandleProcs;
    NewPIHandleProc newProc;
    DisposePIHandleProc disposeProc;
    GetPIHandleSizeProc getSizeProc;
    SetPIHandleSizeProc setSizeProc;
    LockPIHandleProc lockProc;
    UnlockPIHandleProc unlockProc;
    RecoverSpaceProc recoverSpaceProc;
    DisposeRegularHandlePIHandleProc disposeRegularHandleProc;
};
constexpr int16 kCurrentHandleProcsVersion = 1;
constexpr int16 kCurrentHandleProcsCount = 8;

struct BufferOpaque;
using BufferID = BufferOpaque*;

using AllocateBufferProc = OSErr (*)(int32 size, BufferID* bufferID);
using LockBufferProc = Ptr (*)(BufferID bufferID, Boolean moveHigh);
using UnlockBufferProc = void (*)(BufferID bufferID);
using FreeBufferProc = void (*)(BufferID bufferID);
using BufferSpaceProc = int32 (*)();
using ReserveSpaceProc = OSErr (*)(int32 size);
using AllocateBufferProc64 = OSErr (*)(int64 size, BufferID* bufferID);
using BufferSpaceProc64 = int64 (*)();

// The last three entries exist only when numBufferProcs says so (older hosts give 5).
struct BufferProcs {
    int16 bufferProcsVersion;
    int16 numBufferProcs;
    AllocateBufferProc allocateProc;
    LockBufferProc lockProc;
    UnlockBufferProc unlockProc;
    FreeBufferProc freeProc;
    BufferSpaceProc spaceProc;
    ReserveSpaceProc reserveProc;
    AllocateBufferProc64 allocateProc64;
    BufferSpaceProc64 spaceProc64;
};
constexpr int16 kCurrentBufferProcsVersion = 2;
constexpr int16 kCurrentBufferProcsCount = 8;
// Older hosts, and many others, offer only the first five.
constexpr int16 kClassicBufferProcsCount = 5;
