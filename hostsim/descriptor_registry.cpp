#include "hostsim/descriptor_registry.h"

#include "hostsim/descriptor_text.h"
#include "hostsim/host_error.h"
#include "hostsim/state_folder.h"

#include <mutex>

namespace hostsim {

namespace {
constexpr const char* kHeader =
    "# filterhost descriptor registry: the persistent entries, in the descriptor text form\n";
}

DescriptorRegistry::DescriptorRegistry(std::string file) : file_(std::move(file)) {}

std::shared_ptr<DescriptorRegistry> DescriptorRegistry::ForFile(const std::string& file) {
    static std::mutex mutex;
    // Never destroyed: a host keeps its registry for as long as it runs.
    static auto* registries = new std::map<std::string, std::shared_ptr<DescriptorRegistry>>;
    std::lock_guard<std::mutex> lock(mutex);
    std::shared_ptr<DescriptorRegistry>& registry = (*registries)[file];
    if (!registry) registry = std::make_shared<DescriptorRegistry>(file);
    return registry;
}

void DescriptorRegistry::Load() {
    if (loaded_) return;
    if (!file_.empty()) {
        if (const std::optional<std::string> text = ReadStateFile(file_)) {
            for (auto& [key, descriptor] : ParseNamedDescriptors(*text, file_)) {
                entries_[key] = Entry{std::move(descriptor), true};
            }
        }
    }
    loaded_ = true;
}

void DescriptorRegistry::Save() {
    if (file_.empty()) return;
    NamedDescriptors persistent;
    for (const auto& [key, entry] : entries_) {
        if (entry.persistent) persistent.emplace_back(key, entry.descriptor);
    }
    try {
        WriteStateFile(file_, kHeader + FormatNamedDescriptors(persistent));
    } catch (const HostError& e) {
        saveFailures_.push_back(e.what());
        throw;
    }
}

std::vector<std::string> DescriptorRegistry::TakeSaveFailures() {
    std::vector<std::string> taken;
    taken.swap(saveFailures_);
    return taken;
}

void DescriptorRegistry::Register(const std::string& key, const Descriptor& descriptor, bool persistent) {
    Load();
    const auto old = entries_.find(key);
    const bool wasPersistent = old != entries_.end() && old->second.persistent;
    entries_[key] = Entry{descriptor, persistent};
    if (persistent || wasPersistent) Save();
}

bool DescriptorRegistry::Erase(const std::string& key) {
    Load();
    const auto it = entries_.find(key);
    if (it == entries_.end()) return false;
    const bool wasPersistent = it->second.persistent;
    entries_.erase(it);
    if (wasPersistent) Save();
    return true;
}

void DescriptorRegistry::Clear() {
    Load();
    bool hadPersistent = false;
    for (const auto& [key, entry] : entries_) hadPersistent = hadPersistent || entry.persistent;
    entries_.clear();
    if (hadPersistent) Save();
}

std::optional<Descriptor> DescriptorRegistry::Get(const std::string& key) {
    Load();
    const auto it = entries_.find(key);
    if (it == entries_.end()) return std::nullopt;
    return it->second.descriptor;
}

bool DescriptorRegistry::IsPersistent(const std::string& key) {
    Load();
    const auto it = entries_.find(key);
    return it != entries_.end() && it->second.persistent;
}

std::vector<std::string> DescriptorRegistry::Keys() {
    Load();
    std::vector<std::string> keys;
    for (const auto& [key, entry] : entries_) keys.push_back(key);
    return keys;
}

}  // namespace hostsim
