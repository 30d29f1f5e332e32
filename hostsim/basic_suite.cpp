#include "hostsim/basic_suite.h"

#include <cstdlib>
#include <cstring>

namespace hostsim {

namespace {
thread_local BasicSuite* activeSuite = nullptr;

// Larger requests are refused as nonsense (a negative size passed through a signed type).
constexpr size_t kMaxBlockSize = size_t(1) << 40;
}

BasicSuite::BasicSuite()
    : table_{&BasicSuite::Acquire,       &BasicSuite::Release,         &BasicSuite::IsEqual, &BasicSuite::AllocateBlock,
             &BasicSuite::FreeBlock,     &BasicSuite::ReallocateBlock, &BasicSuite::Undefined} {}

BasicSuite::~BasicSuite() {
    // Blocks the plug-in never freed die with the host.
    for (void* block : blocks_) std::free(block);
    if (activeSuite == this) activeSuite = nullptr;
}

void BasicSuite::Register(const std::string& name, int32 version, const void* table) {
    for (SuiteEntry& entry : entries_) {
        if (entry.name == name && entry.version == version) {
            entry.table = table;
            return;
        }
    }
    SuiteEntry entry;
    entry.name = name;
    entry.version = version;
    entry.table = table;
    entries_.push_back(entry);
}

void BasicSuite::SetEnabled(const std::string& name, bool enabled) {
    if (enabled) {
        disabled_.erase(name);
    } else {
        disabled_.insert(name);
    }
}

const SuiteEntry* BasicSuite::Find(const std::string& name, int32 version) const {
    for (const SuiteEntry& entry : entries_) {
        if (entry.name == name && entry.version == version) return &entry;
    }
    return nullptr;
}

SuiteEntry* BasicSuite::FindEntry(const char* name, int32 version) {
    return const_cast<SuiteEntry*>(Find(name, version));
}

int BasicSuite::OutstandingAcquires() const {
    int outstanding = 0;
    for (const SuiteEntry& entry : entries_) outstanding += entry.acquires - entry.releases;
    return outstanding;
}

void BasicSuite::ResetCounts() {
    for (SuiteEntry& entry : entries_) entry.acquires = entry.refusals = entry.releases = 0;
    strayReleases_ = 0;
}

BasicSuite::ActiveScope::ActiveScope(BasicSuite& suite) : previous_(activeSuite) { activeSuite = &suite; }
BasicSuite::ActiveScope::~ActiveScope() { activeSuite = previous_; }
BasicSuite* BasicSuite::Active() { return activeSuite; }

SPErr BasicSuite::Acquire(const char* name, int32 version, const void** suite) {
    if (suite) *suite = nullptr;
    BasicSuite* self = activeSuite;
    if (!self || !name || !suite) return kSPBadParameterError;
    SuiteEntry* entry = self->FindEntry(name, version);
    if (!entry) return kSPSuiteNotFoundError;
    if (!self->IsEnabled(entry->name)) {
        ++entry->refusals;
        return kSPSuiteNotFoundError;
    }
    ++entry->acquires;
    *suite = entry->table;
    return kSPNoError;
}

SPErr BasicSuite::Release(const char* name, int32 version) {
    BasicSuite* self = activeSuite;
    if (!self || !name) return kSPBadParameterError;
    SuiteEntry* entry = self->FindEntry(name, version);
    if (!entry) {
        ++self->strayReleases_;
        return kSPSuiteNotFoundError;
    }
    ++entry->releases;
    if (entry->releases > entry->acquires) ++self->strayReleases_;
    return kSPNoError;
}

SPBoolean BasicSuite::IsEqual(const char* token1, const char* token2) {
    if (!token1 || !token2) return token1 == token2;
    return std::strcmp(token1, token2) == 0;
}

SPErr BasicSuite::AllocateBlock(size_t size, void** block) {
    if (block) *block = nullptr;
    BasicSuite* self = activeSuite;
    if (!self || !block || size > kMaxBlockSize) return kSPBadParameterError;
    void* memory = std::malloc(size > 0 ? size : 1);
    if (!memory) return SPErr(memFullErr);
    self->blocks_.insert(memory);
    *block = memory;
    return kSPNoError;
}

SPErr BasicSuite::FreeBlock(void* block) {
    BasicSuite* self = activeSuite;
    if (!self) return kSPBadParameterError;
    if (!block) return kSPNoError;
    // Only blocks this suite handed out are freed; anything else is the caller's mistake.
    if (self->blocks_.erase(block) == 0) return kSPBadParameterError;
    std::free(block);
    return kSPNoError;
}

SPErr BasicSuite::ReallocateBlock(void* block, size_t newSize, void** newBlock) {
    BasicSuite* self = activeSuite;
    if (!self || !newBlock || newSize > kMaxBlockSize) return kSPBadParameterError;
    if (!block) return AllocateBlock(newSize, newBlock);
    if (self->blocks_.count(block) == 0) return kSPBadParameterError;
    void* memory = std::realloc(block, newSize > 0 ? newSize : 1);
    if (!memory) return SPErr(memFullErr);  // the old block stays valid
    self->blocks_.erase(block);
    self->blocks_.insert(memory);
    *newBlock = memory;
    return kSPNoError;
}

SPErr BasicSuite::Undefined() { return kSPUnimplementedError; }

}  // namespace hostsim
