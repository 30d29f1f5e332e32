#include "hostsim/state_folder.h"

#include "hostsim/host_error.h"

#include "files/atomic_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include <unistd.h>  // getpid (also in the Windows C runtime)

namespace fs = std::filesystem;

namespace hostsim {

namespace {
constexpr std::uintmax_t kMaxStateFile = 64u << 20;
}

std::string StateFolder() {
    if (const char* folder = std::getenv("TELLORA_HOSTSIM_STATE"); folder && *folder) return folder;
    return DefaultStateFolder();
}

void MakeFolders(const std::string& path) {
    std::error_code ec;
    fs::create_directories(path, ec);
    if (ec) throw HostError("cannot create the folder " + path + ": " + ec.message());
}

std::optional<std::string> ReadStateFile(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found) return std::nullopt;
    if (ec) throw HostError("cannot read " + path + ": " + ec.message());
    if (status.type() != fs::file_type::regular) throw HostError("cannot read " + path + ": not a regular file");
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) throw HostError("cannot read " + path + ": " + ec.message());
    if (size > kMaxStateFile) throw HostError("cannot read " + path + ": the file is too large for a state file");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw HostError("cannot open " + path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw HostError("cannot read " + path);
    return text;
}

void WriteStateFile(const std::string& path, const std::string& contents) {
    const fs::path target(path);
    if (target.has_parent_path()) MakeFolders(target.parent_path().string());
    std::string error;
    if (tellora::SaveFileAtomically(path, contents, &error) == tellora::SaveOutcome::Failed) throw HostError(error);
}

void RemoveStateFile(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
    if (ec) throw HostError("cannot remove " + path + ": " + ec.message());
}

}  // namespace hostsim
