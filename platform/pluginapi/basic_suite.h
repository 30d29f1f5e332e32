// The basic suite: the host's registry of named, versioned function tables.
#pragma once
#include "pi_types.h"

struct SPBasicSuite {
    SPErr (*AcquireSuite)(const char* name, int32 version, const void** suite);
    SPErr (*ReleaseSuite)(const char* name, int32 version);
    PIBoolean (*IsEqual)(const char* token1, const char* token2);
    SPErr (*AllocateBlock)(int32 size, void** block);
    SPErr (*FreeBlock)(void* block);
    SPErr (*ReallocateBlock)(void* block, int32 newSize, void** newblock);
    SPErr (*Undefined)();
};
