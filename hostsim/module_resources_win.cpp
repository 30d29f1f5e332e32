// A module's resources on Windows: its resource table, read with FindResource from the file
// mapped as data, so that none of its code runs.
#include "hostsim/module_resources.h"

#include "hostsim/host_error.h"
#include "hostsim/windows_text.h"

#include <windows.h>

#include <algorithm>

namespace hostsim {

namespace {

// Larger resources are refused rather than copied.
constexpr DWORD kMaxResourceSize = 16u << 20;

BOOL CALLBACK CollectId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    // Resources named by a string rather than a number are not the host's.
    if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<int>*>(param)->push_back(int(LOWORD(name)));
    return TRUE;
}

class WindowsResources : public ResourceSource {
public:
    explicit WindowsResources(const std::string& path) : path_(path) {
        const std::wstring file = FullPath(Widen(path));
        // The file must exist and be readable; LoadLibraryEx's message for a folder or a text
        // file names neither.
        const DWORD attributes = GetFileAttributesW(file.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            throw HostError(path + ": cannot open: " + SystemErrorText(GetLastError()));
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) throw HostError(path + ": cannot open: a folder, not a module");
        module_ = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        if (!module_) throw HostError(path + ": not a Windows module: " + SystemErrorText(GetLastError()));
    }
    ~WindowsResources() override { FreeLibrary(module_); }
    WindowsResources(const WindowsResources&) = delete;
    WindowsResources& operator=(const WindowsResources&) = delete;

    std::optional<int> FirstId(const std::string& type) const override {
        std::vector<int> ids;
        EnumResourceNamesW(module_, Widen(type).c_str(), &CollectId, reinterpret_cast<LONG_PTR>(&ids));
        if (ids.empty()) return std::nullopt;
        return *std::min_element(ids.begin(), ids.end());
    }

    std::optional<std::vector<uint8>> Bytes(const std::string& type, int id) const override {
        if (id < 0 || id > 0xFFFF) return std::nullopt;
        HRSRC info = FindResourceW(module_, MAKEINTRESOURCEW(id), Widen(type).c_str());
        if (!info) return std::nullopt;
        const DWORD size = SizeofResource(module_, info);
        if (size > kMaxResourceSize)
            throw HostError(path_ + ": " + Describe(type, id) + " is too large (" + std::to_string(size) + " bytes)");
        HGLOBAL loaded = LoadResource(module_, info);
        const void* data = loaded ? LockResource(loaded) : nullptr;
        if (!data && size > 0)
            throw HostError(path_ + ": cannot read " + Describe(type, id) + ": " + SystemErrorText(GetLastError()));
        const auto* bytes = static_cast<const uint8*>(data);
        return std::vector<uint8>(bytes, bytes + size);
    }

    std::string Describe(const std::string& type, int id) const override {
        return type + " resource " + std::to_string(id);
    }

private:
    std::string path_;
    HMODULE module_ = nullptr;
};

}  // namespace

ModuleResources ModuleResources::Read(const std::string& path) { return FromSource(path, WindowsResources(path)); }

}  // namespace hostsim
