#include "win32/shell_folders.h"

#include <wx/string.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool Absolute(const std::string& path) { return !path.empty() && path[0] == '/'; }

// The value of XDG_DOCUMENTS_DIR in user-dirs.dirs: a quoted path, absolute or "$HOME/...".
std::string UserDirsDocuments(const std::string& home) {
    std::string config = Env("XDG_CONFIG_HOME");
    if (!Absolute(config)) {
        if (home.empty()) return {};
        config = home + "/.config";
    }
    std::ifstream in(config + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(in, line)) {
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        std::string value = line.substr(start + key.size());
        while (!value.empty() && (value.back() == '\r' || value.back() == ' ' || value.back() == '\t')) value.pop_back();
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) {
            if (home.empty()) return {};
            value = home + value.substr(5);
        }
        return Absolute(value) ? value : std::string();
    }
    return {};
}

std::string DocumentsFolder() {
    std::string path = Env("TELLORA_DOCUMENTS_DIR");
    if (Absolute(path)) return path;
    path = Env("XDG_DOCUMENTS_DIR");
    if (Absolute(path)) return path;
    const std::string home = Env("HOME");
    path = UserDirsDocuments(home);
    if (!path.empty()) return path;
    return Absolute(home) ? home + "/Documents" : std::string();
}

bool MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0755) != 0) {
            struct stat info{};
            if (stat(part.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
        }
        if (slash == std::string::npos) return true;
    }
}

}  // namespace

HRESULT SHGetFolderPathW(HWND, int csidl, HANDLE, DWORD, LPWSTR path) {
    if (!path) return E_INVALIDARG;
    path[0] = L'\0';
    const int folder = csidl & ~CSIDL_FLAG_MASK;
    if (folder != CSIDL_COMMON_DOCUMENTS && folder != CSIDL_PERSONAL) return E_INVALIDARG;

    std::string found = DocumentsFolder();
    while (found.size() > 1 && found.back() == '/') found.pop_back();
    if (found.empty()) return E_FAIL;
    if ((csidl & CSIDL_FLAG_CREATE) && !MakeFolders(found)) return E_FAIL;

    const std::wstring wide = wxString::FromUTF8(found.c_str()).ToStdWstring();
    if (wide.empty() || wide.size() >= static_cast<size_t>(MAX_PATH)) return E_FAIL;
    wide.copy(path, wide.size());
    path[wide.size()] = L'\0';
    return S_OK;
}
