// Host memory handles and host buffers.
#pragma once
#include "pi_types.h"

using NewPIHandleProc = Handle (*)(int32 size);
using DisposePIHandleProc = void (*)(Handle h);
using GetPIHandleSizeProc = int32 (*)(Handle h);
using SetPIHandleSizeProc = OSErr (*)(Handle h, int32 newSize);
using LockPIHandleProc = Ptr (*)(Handle h, PIBoolean moveHigh);
using UnlockPIHandleProc = void (*)(Handle h);
using RecoverSpaceProc = void (*)(int32 size);
using DisposeRegularHandleProc = void (*)(Handle h);

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
    DisposeRegularHandleProc disposeRegularHandleProc;
};
constexpr int16 kCurrentHandleProcsVersion = 1;
constexpr int16 kCurrentHandleProcsCount = 8;

struct BufferOpaque;
using BufferID = BufferOpaque*;

using AllocateBufferProc = OSErr (*)(int32 size, BufferID* bufferID);
using LockBufferProc = Ptr (*)(BufferID bufferID, PIBoolean moveHigh);
using UnlockBufferProc = void (*)(BufferID bufferID);
using FreeBufferProc = void (*)(BufferID bufferID);
using BufferSpaceProc = int32 (*)();

struct BufferProcs {
    int16 bufferProcsVersion;
    int16 numBufferProcs;
    AllocateBufferProc allocateProc;
    LockBufferProc lockProc;
    UnlockBufferProc unlockProc;
    FreeBufferProc freeProc;
    BufferSpaceProc spaceProc;
};
constexpr int16 kCurrentBufferProcsVersion = 2;
constexpr int16 kCurrentBufferProcsCount = 5;
