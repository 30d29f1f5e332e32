// The basic suite: the host's registry of named, versioned function tables ("SP Basic Suite").
#pragma once
#include "pi_types.h"

constexpr const char* kSPBasicSuite = "SP Basic Suite";
constexpr int32 kSPBasicSuiteVersion = 4;

struct SPBasicSuite {
    SPErr (*AcquireSuite)(const char* name, int32 version, const void** suite);
    SPErr (*ReleaseSuite)(const char* name, int32 version);
    SPBoolean (*IsEqual)(const char* token1, const char* token2);
    SPErr (*AllocateBlock)(size_t size, void** block);
    SPErr (*FreeBlock)(void* block);
    SPErr (*ReallocateBlock)(void* block, size_t newSize, void** newblock);
    SPErr (*Undefined)();
};
