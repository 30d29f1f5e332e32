// The host's descriptor registry: descriptors kept under a text key between plug-in calls.
// Persistent entries live in a file in the state folder and so survive the process;
// the others live as long as the process.
#pragma once
#include "hostsim/descriptor.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace hostsim {

class DescriptorRegistry {
public:
    // `file` holds the persistent entries; empty keeps nothing beyond the process.
    explicit DescriptorRegistry(std::string file = {});

    // The registry of this process for `file`: every session that names the same file shares
    // it, so non-persistent entries outlive the session that made them.
    static std::shared_ptr<DescriptorRegistry> ForFile(const std::string& file);

    const std::string& file() const { return file_; }

    // Reads the file, once; a missing file is an empty registry. Throws HostError (naming the
    // file and line) when it cannot be read or is malformed.
    void Load();
    // Replaces any entry under `key`. A persistent change is written to the file at once
    // (atomically); throws HostError when it cannot be written.
    void Register(const std::string& key, const Descriptor& descriptor, bool persistent);
    // False when there is no entry under `key`.
    bool Erase(const std::string& key);
    // Forgets every entry, persistent or not (the file is rewritten empty when it held any).
    void Clear();
    std::optional<Descriptor> Get(const std::string& key);
    bool IsPersistent(const std::string& key);
    std::vector<std::string> Keys();
    // Why persistent changes could not be written since the last call (each also threw).
    std::vector<std::string> TakeSaveFailures();

private:
    struct Entry {
        Descriptor descriptor;
        bool persistent = false;
    };
    void Save();

    std::string file_;
    bool loaded_ = false;
    std::vector<std::string> saveFailures_;
    std::map<std::string, Entry> entries_;
};

}  // namespace hostsim
