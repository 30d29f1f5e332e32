#include "host/registry_preference.h"

#include "win32/registry.h"

#include <string>

namespace Corvantis::Host::PS {

bool RegistryStoreIsNewer(const char* prefix) {
    if (!prefix) return false;
    const std::string path = std::string(prefix) + kNewerMarkName;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    DWORD type = REG_NONE, value = 0, size = sizeof value;
    const bool read =
        RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return read && type == REG_DWORD && size == sizeof value && value != 0;
}

bool MarkRegistryStoreNewer(const char* prefix, bool newer) {
    if (!prefix) return false;
    const std::string path = std::string(prefix) + kNewerMarkName;
    HKEY key = nullptr;
    if (!newer) {
        // Nothing to clear when the mark was never set.
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) return true;
    } else if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS &&
               RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                               nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD value = newer ? 1 : 0;
    const bool written = RegSetValueExA(key, nullptr, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                        sizeof value) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

}  // namespace Corvantis::Host::PS
