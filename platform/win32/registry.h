// Stand-in for the narrow Windows registry functions the plug-in calls.
//
// Keys live under HKEY_CURRENT_USER only and are kept on disk, so values persist
// across processes:
//   <root>/HKEY_CURRENT_USER/<component>/<component>/...
// where <root> is $TELLORA_REGISTRY_ROOT, or else $XDG_CONFIG_HOME/tellora/registry,
// or else $HOME/.config/tellora/registry (read again at every open or create).
// Each key is a folder; key components are matched without regard to ASCII case,
// as on Windows. A value is a file in its key's folder: ".value" for the unnamed
// value, ".value=<name>" for a named one; it holds a small header (magic, type,
// size) followed by the raw bytes. Writes go to a temporary file that is renamed
// over the old one. A key path may not contain empty, "." or ".." components,
// a '/' or a leading backslash; such paths give ERROR_BAD_PATHNAME.
//
// The types and constants are our own declarations with the sizes the calling
// code expects (DWORD and LONG are 32 bits, as on Windows).
#pragma once

#ifdef _WIN32
// On Windows these are the system's own registry functions.
#include "win32/windows_api.h"

// Largest value the plug-in reads back, in bytes.
constexpr DWORD kTelloraRegistryMaxValueSize = 16u * 1024u * 1024u;
#else
#include <cstddef>
#include <cstdint>

typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef unsigned char BYTE;
typedef int BOOL;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef DWORD* LPDWORD;
typedef BYTE* LPBYTE;
typedef DWORD REGSAM;

struct TelloraRegistryKey;
typedef TelloraRegistryKey* HKEY;
typedef HKEY* PHKEY;

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    void* lpSecurityDescriptor;
    BOOL bInheritHandle;
};
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

#ifndef HKEY_CURRENT_USER
#define HKEY_CURRENT_USER ((HKEY)(std::uintptr_t)0x80000001u)
#endif

// Value types.
#ifndef REG_NONE
#define REG_NONE 0u
#define REG_SZ 1u
#define REG_EXPAND_SZ 2u
#define REG_BINARY 3u
#define REG_DWORD 4u
#endif

// Access rights.
#ifndef KEY_QUERY_VALUE
#define KEY_QUERY_VALUE 0x0001u
#define KEY_SET_VALUE 0x0002u
#define KEY_CREATE_SUB_KEY 0x0004u
#define KEY_ENUMERATE_SUB_KEYS 0x0008u
#define KEY_NOTIFY 0x0010u
#define KEY_CREATE_LINK 0x0020u
#define KEY_READ 0x20019u
#define KEY_WRITE 0x20006u
#define KEY_ALL_ACCESS 0xF003Fu
#endif

// Key options and create dispositions.
#ifndef REG_OPTION_NON_VOLATILE
#define REG_OPTION_NON_VOLATILE 0u
#define REG_OPTION_VOLATILE 1u
#define REG_CREATED_NEW_KEY 1u
#define REG_OPENED_EXISTING_KEY 2u
#endif

// Error codes returned by the Reg* functions.
#ifndef ERROR_SUCCESS
#define ERROR_SUCCESS 0L
#endif
#ifndef ERROR_FILE_NOT_FOUND
#define ERROR_FILE_NOT_FOUND 2L
#endif
#ifndef ERROR_ACCESS_DENIED
#define ERROR_ACCESS_DENIED 5L
#endif
#ifndef ERROR_INVALID_HANDLE
#define ERROR_INVALID_HANDLE 6L
#endif
#ifndef ERROR_NOT_ENOUGH_MEMORY
#define ERROR_NOT_ENOUGH_MEMORY 8L
#endif
#ifndef ERROR_INVALID_PARAMETER
#define ERROR_INVALID_PARAMETER 87L
#endif
#ifndef ERROR_BAD_PATHNAME
#define ERROR_BAD_PATHNAME 161L
#endif
#ifndef ERROR_MORE_DATA
#define ERROR_MORE_DATA 234L
#endif
#ifndef ERROR_CANTREAD
#define ERROR_CANTREAD 1012L
#endif
#ifndef ERROR_CANTWRITE
#define ERROR_CANTWRITE 1013L
#endif
#ifndef ERROR_KEY_DELETED
#define ERROR_KEY_DELETED 1018L
#endif

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                     REGSAM samDesired, const SECURITY_ATTRIBUTES* lpSecurityAttributes, PHKEY phkResult,
                     LPDWORD lpdwDisposition);
LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                    DWORD cbData);
LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData);
LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);
LONG RegCloseKey(HKEY hKey);

// Number of keys opened or created and not yet closed, for tests that check
// every opened key is closed again.
std::size_t TelloraRegistryOpenKeyCount();

// Largest value the store accepts or reads back, in bytes.
constexpr DWORD kTelloraRegistryMaxValueSize = 16u * 1024u * 1024u;
#endif
