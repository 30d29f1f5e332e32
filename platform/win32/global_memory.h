// Stand-in for the Windows global memory functions the fallback handles call.
//
// Blocks are fixed (the handle is the data pointer) or moveable (the handle is an opaque
// value that stays the same while the data moves on reallocation). Moveable blocks carry a
// lock count: GlobalLock increments it and returns the data, GlobalUnlock decrements it.
// Every handle and pointer is checked against the table of live blocks, so a stale or foreign
// value gives the documented failure result instead of touching memory.
//
// Differences from Windows: a moveable block of 0 bytes is not "discarded"; it can be locked,
// and the lock gives a valid pointer to no usable bytes. Blocks above kTelloraGlobalMaxBlock
// bytes are refused (the callers pass 32-bit sizes; a negative one arrives here huge).
//
// The types and constants are our own declarations with the sizes the calling code expects.
#pragma once

#ifdef _WIN32
// On Windows these are the system's own global memory functions.
#include "win32/windows_api.h"
#else
#include <cstddef>
#include <cstdint>

typedef void* HGLOBAL;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef std::size_t SIZE_T;
typedef unsigned int UINT;
typedef int BOOL;

#ifndef GMEM_FIXED
#define GMEM_FIXED 0x0000u
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u
#define GMEM_MODIFY 0x0080u
#define GMEM_LOCKCOUNT 0x00FFu
#define GMEM_INVALID_HANDLE 0x8000u
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)
#endif

// Null when the memory cannot be had (or flags hold unknown bits).
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
// The block's data; increments the lock count of a moveable block. Null for an invalid handle.
LPVOID GlobalLock(HGLOBAL mem);
// Decrements the lock count. Non-zero while the block is still locked; 0 when it is now
// unlocked, was not locked, or the handle is invalid.
BOOL GlobalUnlock(HGLOBAL mem);
// Resizes the block. A moveable block keeps its handle; its data may move unless it is locked
// and GMEM_MOVEABLE is not passed. GMEM_ZEROINIT zero-fills the bytes a growth adds. A fixed
// block may move only when GMEM_MOVEABLE is passed, and then its handle (= pointer) changes.
// GMEM_MODIFY changes nothing here and returns the handle. Null on failure (block unchanged).
HGLOBAL GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags);
// The block's size in bytes; 0 for an invalid handle.
SIZE_T GlobalSize(HGLOBAL mem);
// The handle of the block whose data starts at `pointer`; null when there is none.
HGLOBAL GlobalHandle(LPCVOID pointer);
// Lock count in the low byte (moveable blocks); GMEM_INVALID_HANDLE for an invalid handle.
UINT GlobalFlags(HGLOBAL mem);
// Null on success; the handle itself when it is not a live block.
HGLOBAL GlobalFree(HGLOBAL mem);

constexpr SIZE_T kTelloraGlobalMaxBlock = 0x7FFFFFFF;

// For tests: the number of live blocks, and a fault switch that makes the n-th next
// allocation or reallocation fail (1 = the very next; 0 switches it off).
std::size_t TelloraGlobalBlockCount();
void TelloraGlobalFailAfter(int allocations);
#endif
