// File-backed stand-in for the current user's registry; layout in registry.h.
#include "win32/registry.h"

#include "files/atomic_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The registry's files are written by the plug-in, under its name.
constexpr char kProgram[] = "Tellora";
constexpr char kValueMagic[4] = {'T', 'R', 'G', 'V'};
constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kMaxComponent = 255;
constexpr std::size_t kMaxValueName = 16383;

struct OpenKey {
    std::string folder;
    REGSAM access;
};

std::mutex g_mutex;
std::map<std::uintptr_t, OpenKey> g_keys;
std::uintptr_t g_nextHandle = 0x1000;

bool IsPredefined(HKEY key) { return key == HKEY_CURRENT_USER; }

std::string RootFolder() {
    if (const char* root = std::getenv("TELLORA_REGISTRY_ROOT"); root && *root)
        return root;
    // The XDG base directory rules ignore a relative config home.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
        return std::string(config) + "/tellora/registry";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.config/tellora/registry";
    return std::string();
}

char HexDigit(unsigned v) { return "0123456789ABCDEF"[v & 0xF]; }

void AppendEscaped(std::string& out, unsigned char c) {
    out += '%';
    out += HexDigit(c >> 4);
    out += HexDigit(c);
}

// Folder name of one key component. A leading '.' is escaped so that names
// beginning with '.' stay free for value and temporary files.
std::string EncodeComponent(const std::string& name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c == 0x7F || c == '%' || c == '/' || (i == 0 && c == '.'))
            AppendEscaped(out, c);
        else
            out += static_cast<char>(c);
    }
    return out;
}

// File name of a value. Value names are not case-sensitive, so they are folded.
std::string ValueFileName(LPCSTR valueName) {
    if (!valueName || !*valueName)
        return ".value";
    std::string out = ".value=";
    for (const char* p = valueName; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 'A' && c <= 'Z')
            c = static_cast<unsigned char>(c - 'A' + 'a');
        if (c < 0x20 || c == 0x7F || c == '%' || c == '/')
            AppendEscaped(out, c);
        else
            out += static_cast<char>(c);
    }
    return out;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// A real folder, not a link that could lead out of the root.
bool IsKeyFolder(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Splits a sub-key path at backslashes into encoded folder names.
LONG SplitSubKey(LPCSTR subKey, std::vector<std::string>& out) {
    out.clear();
    if (!subKey || !*subKey)
        return ERROR_SUCCESS;
    std::string path(subKey);
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find('\\', start);
        const std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty() || part == "." || part == ".." || part.find('/') != std::string::npos ||
            part.size() > kMaxComponent)
            return ERROR_BAD_PATHNAME;
        std::string encoded = EncodeComponent(part);
        if (encoded.size() > kMaxComponent)
            return ERROR_BAD_PATHNAME;
        out.push_back(std::move(encoded));
        if (end == std::string::npos)
            return ERROR_SUCCESS;
        start = end + 1;
    }
}

// The existing child folder whose name matches, ignoring ASCII case; empty when none.
std::string FindChild(const std::string& parent, const std::string& encoded) {
    const std::string exact = parent + "/" + encoded;
    if (IsKeyFolder(exact))
        return exact;
    std::error_code ec;
    for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!name.empty() && name[0] != '.' && EqualNoCase(name, encoded)) {
            const std::string candidate = parent + "/" + name;
            if (IsKeyFolder(candidate))
                return candidate;
        }
    }
    return std::string();
}

// Folder of an open handle or predefined key; caller holds the lock.
LONG BaseFolder(HKEY key, std::string& folder, REGSAM* access) {
    if (IsPredefined(key)) {
        const std::string root = RootFolder();
        if (root.empty())
            return ERROR_FILE_NOT_FOUND;
        folder = root + "/HKEY_CURRENT_USER";
        if (access)
            *access = KEY_ALL_ACCESS;
        return ERROR_SUCCESS;
    }
    const auto it = g_keys.find(reinterpret_cast<std::uintptr_t>(key));
    if (it == g_keys.end())
        return ERROR_INVALID_HANDLE;
    folder = it->second.folder;
    if (access)
        *access = it->second.access;
    return ERROR_SUCCESS;
}

HKEY NewHandle(const std::string& folder, REGSAM access) {
    const std::uintptr_t id = g_nextHandle;
    g_nextHandle += 0x10;
    g_keys[id] = OpenKey{folder, access};
    return reinterpret_cast<HKEY>(id);
}

void PutLE32(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

std::uint32_t GetLE32(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

// Reads a value file. A missing, unreadable or malformed file counts as absent.
bool ReadValueFile(const std::string& path, DWORD& type, std::vector<unsigned char>& data) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= static_cast<off_t>(kHeaderSize) &&
              st.st_size <= static_cast<off_t>(kHeaderSize + kTelloraRegistryMaxValueSize);
    std::vector<unsigned char> bytes;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(st.st_size));
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        ok = got == bytes.size();
    }
    ::close(fd);
    if (!ok || std::memcmp(bytes.data(), kValueMagic, 4) != 0)
        return false;
    const std::uint32_t size = GetLE32(bytes.data() + 8);
    if (size != bytes.size() - kHeaderSize)
        return false;
    type = GetLE32(bytes.data() + 4);
    data.assign(bytes.begin() + kHeaderSize, bytes.end());
    return true;
}

}  // namespace

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    std::lock_guard<std::mutex> lock(g_mutex);
    std::string folder;
    LONG rc = BaseFolder(hKey, folder, nullptr);
    if (rc != ERROR_SUCCESS)
        return rc;
    std::vector<std::string> parts;
    rc = SplitSubKey(lpSubKey, parts);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (!IsKeyFolder(folder))
        return ERROR_FILE_NOT_FOUND;
    for (const std::string& part : parts) {
        folder = FindChild(folder, part);
        if (folder.empty())
            return ERROR_FILE_NOT_FOUND;
    }
    *phkResult = NewHandle(folder, samDesired);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired,
                     const SECURITY_ATTRIBUTES*, PHKEY phkResult, LPDWORD lpdwDisposition) {
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    std::lock_guard<std::mutex> lock(g_mutex);
    std::string folder;
    REGSAM parentAccess = 0;
    LONG rc = BaseFolder(hKey, folder, &parentAccess);
    if (rc != ERROR_SUCCESS)
        return rc;
    std::vector<std::string> parts;
    rc = SplitSubKey(lpSubKey, parts);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (!parts.empty() && !(parentAccess & KEY_CREATE_SUB_KEY))
        return ERROR_ACCESS_DENIED;
    if (IsPredefined(hKey)) {
        std::error_code ec;
        fs::create_directories(folder, ec);
    }
    if (!IsKeyFolder(folder))
        return IsPredefined(hKey) ? ERROR_CANTWRITE : ERROR_KEY_DELETED;
    bool created = false;
    for (const std::string& part : parts) {
        std::string child = FindChild(folder, part);
        if (child.empty()) {
            child = folder + "/" + part;
            if (::mkdir(child.c_str(), 0700) != 0 && errno != EEXIST)
                return ERROR_CANTWRITE;
            if (!IsKeyFolder(child))
                return ERROR_CANTWRITE;
            created = true;
        }
        folder = child;
    }
    if (lpdwDisposition)
        *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *phkResult = NewHandle(folder, samDesired);
    return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData) {
    if ((!lpData && cbData > 0) || cbData > kTelloraRegistryMaxValueSize)
        return ERROR_INVALID_PARAMETER;
    if (lpValueName && std::strlen(lpValueName) > kMaxValueName)
        return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(g_mutex);
    std::string folder;
    REGSAM access = 0;
    LONG rc = BaseFolder(hKey, folder, &access);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (!(access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    if (!IsKeyFolder(folder))
        return ERROR_KEY_DELETED;
    const std::string fileName = ValueFileName(lpValueName);
    if (fileName.size() > kMaxComponent)
        return ERROR_INVALID_PARAMETER;

    std::vector<unsigned char> bytes(kHeaderSize + cbData);
    std::memcpy(bytes.data(), kValueMagic, 4);
    PutLE32(bytes.data() + 4, dwType);
    PutLE32(bytes.data() + 8, cbData);
    if (cbData > 0)
        std::memcpy(bytes.data() + kHeaderSize, lpData, cbData);

    const std::string bytesText(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (tellora::SaveFileAtomically(kProgram, folder + "/" + fileName, bytesText) == tellora::SaveOutcome::Failed)
        return ERROR_CANTWRITE;
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData) {
    if (lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    if (lpValueName && std::strlen(lpValueName) > kMaxValueName)
        return ERROR_FILE_NOT_FOUND;
    std::lock_guard<std::mutex> lock(g_mutex);
    std::string folder;
    REGSAM access = 0;
    LONG rc = BaseFolder(hKey, folder, &access);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (!(access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    const std::string fileName = ValueFileName(lpValueName);
    DWORD type = REG_NONE;
    std::vector<unsigned char> data;
    if (fileName.size() > kMaxComponent || !ReadValueFile(folder + "/" + fileName, type, data))
        return ERROR_FILE_NOT_FOUND;
    const DWORD size = static_cast<DWORD>(data.size());
    if (lpType)
        *lpType = type;
    if (lpData) {
        if (*lpcbData < size) {
            *lpcbData = size;
            return ERROR_MORE_DATA;
        }
        if (size > 0)
            std::memcpy(lpData, data.data(), size);
    }
    if (lpcbData)
        *lpcbData = size;
    return ERROR_SUCCESS;
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    std::lock_guard<std::mutex> lock(g_mutex);
    std::string folder;
    REGSAM access = 0;
    LONG rc = BaseFolder(hKey, folder, &access);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (!(access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    const std::string fileName = ValueFileName(lpValueName);
    if (fileName.size() > kMaxComponent)
        return ERROR_FILE_NOT_FOUND;
    if (::unlink((folder + "/" + fileName).c_str()) != 0)
        return errno == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY hKey) {
    if (IsPredefined(hKey))
        return ERROR_SUCCESS;
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_keys.erase(reinterpret_cast<std::uintptr_t>(hKey)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

std::size_t TelloraRegistryOpenKeyCount() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_keys.size();
}
