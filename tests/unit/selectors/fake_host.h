// An in-test host: handle procedures over malloc with lock counts, scripting-descriptor read and
// write procedures over an in-memory descriptor, and a basic suite that offers the
// ActionDescriptor, ActionReference, ActionControl and DescriptorRegistry suites over simple
// maps. Every callback can be made to fail, one site at a time, and every object it hands out
// is counted, so tests can check that nothing leaks.
#pragma once
#include "pluginapi/filter_record.h"
#include "pluginapi/action_suites.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace fake {

// The code every failing host call answers.
constexpr OSErr kFailureCode = -4242;


// A descriptor value: one of the types the exchange uses.
struct Descriptor;
struct Value {
    uint32 type = 0;  // typeInteger, typeFloat, typeUnitFloat, typeBoolean, typeChar, typeEnumerated, typeObject
    int32 integer = 0;
    double number = 0.0;
    uint32 unit = 0;
    bool boolean = false;
    std::string text;
    uint32 enumType = 0;
    uint32 enumValue = 0;
    uint32 objectClass = 0;
    std::shared_ptr<Descriptor> object;

    static Value Integer(int32 v);
    static Value Float(double v);
    static Value UnitFloat(uint32 unit, double v);
    static Value Boolean(bool v);
    static Value Text(const std::string& v);
    static Value Enumerated(uint32 type, uint32 v);
    static Value Object(uint32 cls, const Descriptor& d);
};

struct Descriptor {
    std::vector<std::pair<uint32, Value>> entries;

    const Value* Find(uint32 key) const;
    // Replaces the value of an existing key, else appends.
    void Set(uint32 key, const Value& v);
    std::string Serialize() const;
    static Descriptor Parse(const std::string& bytes);
};

// Places where the host can be made to fail. DescriptorGetObject and RegistryGet hand the object
// out and answer an error all the same.
enum class Site {
    NewHandle, SetHandleSize, GetHandleSize, LockHandle,
    OpenRead, CloseRead, GetInteger, GetFloat, GetUnitFloat, GetBoolean, GetText, GetEnumerated, GetObject,
    OpenWrite, CloseWrite, PutInteger, PutFloat, PutUnitFloat, PutBoolean, PutText, PutEnumerated, PutObject,
    AcquireDescriptor, AcquireReference, AcquireControl, AcquireRegistry,
    DescriptorMake, DescriptorPut, DescriptorGet, DescriptorGetObject, ReferenceMake, ReferencePut, ControlGet,
    RegistryRegister, RegistryGet, AdvanceState,
};
const char* SiteName(Site site);

class Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The record the plug-in sees, with every part of this host connected.
    FilterRecord record{};
    HandleProcs handleProcs{};
    ReadDescriptorProcs readProcs{};
    WriteDescriptorProcs writeProcs{};
    PIDescriptorParameters descriptorParameters{};
    SPBasicSuite basic{};
    intptr_t data = 0;

    // Suites by name that AcquireSuite refuses.
    std::set<std::string> absentSuites;
    // The active document's resolution ('Rslt' as '#Rsl'); none when 0.
    double resolution = 72.0;
    // Descriptor registry entries by key.
    std::map<std::string, Descriptor> registry;

    // Fault injection: the one site that fails, and every site called so far.
    bool hasFault = false;
    Site fault{};
    std::set<Site> called;
    void FailAt(Site site) {
        hasFault = true;
        fault = site;
    }

    // Handles.
    Handle NewHandleWith(const std::string& bytes);
    std::string Bytes(Handle h) const;
    int LockCount(Handle h) const;
    std::size_t LiveHandles() const { return handles_.size(); }
    int BadHandleCalls() const { return badHandleCalls_; }
    // Descriptor handles of the scripting procedures.
    Handle NewDescriptorHandle(const Descriptor& d) { return NewHandleWith(d.Serialize()); }
    Descriptor ReadDescriptorHandle(Handle h) const { return Descriptor::Parse(Bytes(h)); }
    void Dispose(Handle h);
    // Disposes what the host still holds for the plug-in: data, parameters and descriptor.
    void DisposeHeldHandles();

    // Counts of live suite objects and acquired suites, for leak checks.
    int liveTokens = 0;
    int liveDescriptors = 0;
    int liveReferences = 0;
    std::map<std::string, int> acquired;
    bool Balanced() const;

    static Host* current;

    // Implementation state, reached from the C callbacks.
    struct Block {
        char* data;
        int32 size;
        int locks;
    };
    bool Fails(Site site);
    Block* FindBlock(Handle h) const;
    std::set<Block*> handles_;
    int badHandleCalls_ = 0;
};

}  // namespace fake
