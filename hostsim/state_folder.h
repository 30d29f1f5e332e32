// hostsim's state folder, where the host keeps what outlives one process: the filters'
// stored state and the persistent descriptor registry entries.
#pragma once
#include <cstddef>
#include <optional>
#include <string>

namespace hostsim {

// $TELLORA_HOSTSIM_STATE when set; otherwise DefaultStateFolder(). Throws HostError when
// there is none.
std::string StateFolder();
// Per platform (state_folder_posix.cpp, state_folder_win.cpp): $XDG_STATE_HOME (when absolute)
// or $HOME/.local/state, followed by tellora/hostsim; on Windows %LOCALAPPDATA%\Tellora\hostsim.
// Throws HostError when the variables it needs are not set.
std::string DefaultStateFolder();
// How the usage text names that folder.
const char* DefaultStateFolderText();

// The largest state file, written or read: the host writes only what it can read back.
constexpr std::size_t kMaxStateFileBytes = std::size_t(64) << 20;

// Creates the folder and its parents; throws HostError when it cannot.
void MakeFolders(const std::string& path);
// The file's contents; nullopt when it does not exist. Throws HostError when it cannot be read
// or is implausibly large for a state file.
std::optional<std::string> ReadStateFile(const std::string& path);
// Writes through a temporary file and a rename, so a reader sees the old or the new
// contents, never a part; creates the folder. Throws HostError, with the system's reason, also
// for contents larger than kMaxStateFileBytes.
void WriteStateFile(const std::string& path, const std::string& contents);
// Removes the file when it exists; throws HostError when it cannot.
void RemoveStateFile(const std::string& path);

}  // namespace hostsim
