#include "hostsim/state_folder.h"

#include "hostsim/environment.h"
#include "hostsim/host_error.h"
#include "hostsim/program_name.h"

#include "files/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

namespace hostsim {

std::string StateFolder() {
    if (const std::optional<std::string> folder = EnvironmentValue("TELLORA_HOSTSIM_STATE")) return *folder;
    return DefaultStateFolder();
}

void MakeFolders(const std::string& path) {
    std::error_code ec;
    fs::create_directories(fs::u8path(path), ec);
    if (ec) throw HostError("cannot create the folder " + path + ": " + ec.message());
}

std::optional<std::string> ReadStateFile(const std::string& path) {
    const fs::path file = fs::u8path(path);
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (status.type() == fs::file_type::not_found) return std::nullopt;
    if (ec) throw HostError("cannot read " + path + ": " + ec.message());
    if (status.type() != fs::file_type::regular) throw HostError("cannot read " + path + ": not a regular file");
    const std::uintmax_t size = fs::file_size(file, ec);
    if (ec) throw HostError("cannot read " + path + ": " + ec.message());
    if (size > kMaxStateFileBytes) throw HostError("cannot read " + path + ": the file is too large for a state file");
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in) throw HostError("cannot open " + path + ": " + std::strerror(errno ? errno : EIO));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw HostError("cannot read " + path + ": " + std::strerror(errno ? errno : EIO));
    return text;
}

void WriteStateFile(const std::string& path, const std::string& contents) {
    // What could not be read back is not written: the next run would refuse the file.
    if (contents.size() > kMaxStateFileBytes)
        throw HostError("cannot write " + path + ": " + std::to_string(contents.size()) + " bytes, more than the " +
                        std::to_string(kMaxStateFileBytes >> 20) + " MiB a state file may hold");
    const fs::path target = fs::u8path(path);
    if (target.has_parent_path()) MakeFolders(target.parent_path().u8string());
    std::string error;
    if (tellora::SaveFileAtomically(kProgramName, path, contents, &error) == tellora::SaveOutcome::Failed)
        throw HostError(error);
}

void RemoveStateFile(const std::string& path) {
    std::error_code ec;
    fs::remove(fs::u8path(path), ec);
    if (ec) throw HostError("cannot remove " + path + ": " + ec.message());
}

}  // namespace hostsim
