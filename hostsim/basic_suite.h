// The host's basic suite: named, versioned function tables handed to the plug-in on request.
#pragma once
#include "pluginapi/basic_suite.h"

#include <cstddef>
#include <set>
#include <string>
#include <vector>

namespace hostsim {

// One registered suite and how the plug-in used it.
struct SuiteEntry {
    std::string name;
    int32 version = 0;
    const void* table = nullptr;
    int acquires = 0;  // successful AcquireSuite calls
    int refusals = 0;  // AcquireSuite calls refused because the suite was switched off
    int releases = 0;
};

// Serves SPBasicSuite. The table's functions carry no context, so they act on the instance
// that is active on the calling thread (see ActiveScope); HostSession activates its own for
// the length of every plug-in call. With no active instance every function fails with
// kSPBadParameterError.
//
// To offer a new suite: build its function table (static storage, or owned by whoever also
// owns the BasicSuite) and Register it under the name and version the plug-in asks for.
class BasicSuite {
public:
    BasicSuite();
    ~BasicSuite();
    BasicSuite(const BasicSuite&) = delete;
    BasicSuite& operator=(const BasicSuite&) = delete;

    // The table to put into a record's sSPBasic.
    SPBasicSuite* table() { return &table_; }

    // Adds a suite or replaces the table of one with the same name and version.
    void Register(const std::string& name, int32 version, const void* table);
    // Switches a suite off (AcquireSuite then fails with kSPSuiteNotFoundError) or on again,
    // for every version of the name; works for names not (yet) registered.
    void SetEnabled(const std::string& name, bool enabled);
    bool IsEnabled(const std::string& name) const { return disabled_.count(name) == 0; }

    // Null when no suite of that name and version is registered.
    const SuiteEntry* Find(const std::string& name, int32 version) const;
    const std::vector<SuiteEntry>& entries() const { return entries_; }

    // Acquisitions not yet released, over all suites; 0 when the plug-in released all it got.
    int OutstandingAcquires() const;
    // Releases of names never registered, or more releases than acquisitions of a suite.
    int strayReleases() const { return strayReleases_; }
    // Blocks from AllocateBlock not yet freed.
    std::size_t OutstandingBlocks() const { return blocks_.size(); }
    // Zeroes the usage counts (registrations and switches stay).
    void ResetCounts();

    // Makes a basic suite the one the table's functions act on, for the scope's lifetime, on
    // this thread; the previous one is restored afterwards.
    class ActiveScope {
    public:
        explicit ActiveScope(BasicSuite& suite);
        ~ActiveScope();
        ActiveScope(const ActiveScope&) = delete;
        ActiveScope& operator=(const ActiveScope&) = delete;

    private:
        BasicSuite* previous_;
    };
    static BasicSuite* Active();

private:
    SuiteEntry* FindEntry(const char* name, int32 version);

    static SPErr Acquire(const char* name, int32 version, const void** suite);
    static SPErr Release(const char* name, int32 version);
    static SPBoolean IsEqual(const char* token1, const char* token2);
    static SPErr AllocateBlock(size_t size, void** block);
    static SPErr FreeBlock(void* block);
    static SPErr ReallocateBlock(void* block, size_t newSize, void** newBlock);
    static SPErr Undefined();

    SPBasicSuite table_;
    std::vector<SuiteEntry> entries_;
    std::set<std::string> disabled_;
    std::set<void*> blocks_;
    int strayReleases_ = 0;
};

}  // namespace hostsim
