// The host's ActionDescriptor, ActionReference, ActionControl and DescriptorRegistry suites:
// their tables (registered in the BasicSuite) and the descriptors, references and lists the
// plug-in holds through them.
#pragma once
#include "hostsim/callback_table.h"
#include "hostsim/descriptor.h"

#include "pluginapi/action_suites.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace hostsim {

class BasicSuite;
class DescriptorRegistry;

// The functions of each suite, in table order; the names are those CallbackTable's suite
// functions use after the suite's short name ("ActionDescriptor.Make").
#define HOSTSIM_ACTION_DESCRIPTOR_FUNCTIONS(X)                                                          \
    X(Make) X(Free) X(GetType) X(HasKey) X(Clear) X(Erase) X(GetCount) X(GetKey) X(PutInteger)          \
    X(PutFloat) X(PutUnitFloat) X(PutString) X(PutBoolean) X(PutList) X(PutObject) X(PutGlobalObject)   \
    X(PutEnumerated) X(PutReference) X(PutClass) X(PutGlobalClass) X(PutAlias) X(GetInteger) X(GetFloat) \
    X(GetUnitFloat) X(GetStringLength) X(GetString) X(GetBoolean) X(GetList) X(GetObject)               \
    X(GetGlobalObject) X(GetEnumerated) X(GetReference) X(GetClass) X(GetGlobalClass) X(GetAlias)
#define HOSTSIM_ACTION_REFERENCE_FUNCTIONS(X)                                                           \
    X(Make) X(Free) X(GetForm) X(GetDesiredClass) X(PutName) X(PutIndex) X(PutIdentifier) X(PutOffset)  \
    X(PutEnumerated) X(PutProperty) X(PutClass)
#define HOSTSIM_ACTION_CONTROL_FUNCTIONS(X) X(Play) X(Get) X(StringIDToTypeID) X(TypeIDToStringID)
#define HOSTSIM_DESCRIPTOR_REGISTRY_FUNCTIONS(X) X(Register) X(Erase) X(Get)
// The remaining slots of each table, which answer "not implemented".
#define HOSTSIM_ACTION_DESCRIPTOR_UNSERVED(X)                                                            \
    X(IsEqual) X(HasKeys) X(PutIntegers) X(GetIntegers) X(AsHandle) X(HandleToDescriptor) X(PutZString) \
    X(GetZString) X(PutData) X(GetDataLength) X(GetData)
#define HOSTSIM_ACTION_REFERENCE_UNSERVED(X)                                                             \
    X(GetNameLength) X(GetName) X(GetIndex) X(GetIdentifier) X(GetOffset) X(GetEnumerated) X(GetProperty) \
    X(GetContainer) X(PutNameZString) X(GetNameZString)
#define HOSTSIM_ACTION_CONTROL_UNSERVED(X) X(AddNotify) X(RemoveNotify) X(SuspendHistory) X(MakeStringAlias)
#define HOSTSIM_DESCRIPTOR_REGISTRY_UNSERVED(X)
#define HOSTSIM_COUNT_SLOT(f) +1

// A suite the host serves, by the short name options and messages use.
struct ActionSuiteInfo {
    const char* shortName;  // "ActionDescriptor", ...
    const char* id;         // the name the plug-in acquires it by
    int32 version;
};
const std::vector<ActionSuiteInfo>& ActionSuiteInfos();
// The suite id for a short name; any other text is returned as it is.
std::string SuiteIdFor(const std::string& shortNameOrId);
// Every suite function name, "Suite.Function", in table order.
std::vector<std::string> ActionSuiteFunctionNames();

class ActionSuites {
public:
    explicit ActionSuites(std::shared_ptr<DescriptorRegistry> registry);
    ~ActionSuites();
    ActionSuites(const ActionSuites&) = delete;
    ActionSuites& operator=(const ActionSuites&) = delete;

    // Adds the four tables to the basic suite.
    void Register(BasicSuite& basic);
    // Rebuilds the tables: functions switched to Absent become null.
    void Apply(const CallbackTable& callbacks);

    DescriptorRegistry& registry() { return *registry_; }
    void SetRegistry(std::shared_ptr<DescriptorRegistry> registry) { registry_ = std::move(registry); }

    // Objects handed to the plug-in. Values are numbers that are never reused, so a freed or
    // made-up value is recognised.
    PIActionDescriptor AddDescriptor(Descriptor descriptor);
    Descriptor* FindDescriptor(PIActionDescriptor descriptor);
    bool FreeDescriptor(PIActionDescriptor descriptor);
    PIActionReference AddReference(std::vector<ReferenceItem> items);
    std::vector<ReferenceItem>* FindReference(PIActionReference reference);
    bool FreeReference(PIActionReference reference);
    // Lists cannot be freed through the suites the host offers; the session keeps them.
    PIActionList AddList(std::vector<DescriptorValue> items);
    std::vector<DescriptorValue>* FindList(PIActionList list);

    // Made and not yet freed: what the plug-in leaked, at the end of a session.
    std::size_t OutstandingDescriptors() const { return descriptors_.size(); }
    std::size_t OutstandingReferences() const { return references_.size(); }
    std::size_t lists() const { return lists_.size(); }

    // Runtime type ids of ActionControl's string ids.
    DescriptorTypeID TypeIdFor(const std::string& stringId);
    const std::string* StringIdFor(DescriptorTypeID typeId) const;

    // Forgets every object (the end of a session).
    void Clear();

private:
    std::uintptr_t NextId();

    std::shared_ptr<DescriptorRegistry> registry_;
    PSActionDescriptorProcs descriptorProcs_{};
    PSActionReferenceProcs referenceProcs_{};
    PSActionControlProcs controlProcs_{};
    PSDescriptorRegistryProcs registryProcs_{};
    std::map<std::uintptr_t, Descriptor> descriptors_;
    std::map<std::uintptr_t, std::vector<ReferenceItem>> references_;
    std::map<std::uintptr_t, std::vector<DescriptorValue>> lists_;
    std::uintptr_t nextId_ = 0xAD0000;
    std::map<std::string, DescriptorTypeID> typeIds_;
    DescriptorTypeID nextTypeId_ = 0x00010000;
};

// The suites' tables, filled with the host's functions (null where `callbacks` says Absent);
// the slots the host does not serve answer "not implemented".
void FillActionDescriptorProcs(PSActionDescriptorProcs& procs, const CallbackTable& callbacks);
void FillActionReferenceProcs(PSActionReferenceProcs& procs, const CallbackTable& callbacks);
void FillActionControlProcs(PSActionControlProcs& procs, const CallbackTable& callbacks);
void FillDescriptorRegistryProcs(PSDescriptorRegistryProcs& procs, const CallbackTable& callbacks);

}  // namespace hostsim
