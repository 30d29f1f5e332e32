#include "hostsim/action_suites.h"

#include "hostsim/basic_suite.h"
#include "hostsim/descriptor_registry.h"

namespace hostsim {

const std::vector<ActionSuiteInfo>& ActionSuiteInfos() {
    static const std::vector<ActionSuiteInfo> infos = {
        {"ActionDescriptor", kPSActionDescriptorSuite, kPSActionDescriptorSuiteVersion},
        {"ActionReference", kPSActionReferenceSuite, kPSActionReferenceSuiteVersion},
        {"ActionControl", kPSActionControlSuite, kPSActionControlSuiteVersion},
        {"DescriptorRegistry", kPSDescriptorRegistrySuite, kPSDescriptorRegistrySuiteVersion},
    };
    return infos;
}

std::string SuiteIdFor(const std::string& name) {
    for (const ActionSuiteInfo& info : ActionSuiteInfos()) {
        if (name == info.shortName) return info.id;
    }
    return name;
}

std::vector<std::string> ActionSuiteFunctionNames() {
    std::vector<std::string> names;
#define HOSTSIM_NAME(suite) [&](const char* f) { names.push_back(std::string(suite) + "." + f); }
    auto descriptor = HOSTSIM_NAME("ActionDescriptor");
    auto reference = HOSTSIM_NAME("ActionReference");
    auto control = HOSTSIM_NAME("ActionControl");
    auto registry = HOSTSIM_NAME("DescriptorRegistry");
#undef HOSTSIM_NAME
#define HOSTSIM_D(f) descriptor(#f);
#define HOSTSIM_R(f) reference(#f);
#define HOSTSIM_C(f) control(#f);
#define HOSTSIM_G(f) registry(#f);
    HOSTSIM_ACTION_DESCRIPTOR_FUNCTIONS(HOSTSIM_D)
    HOSTSIM_ACTION_REFERENCE_FUNCTIONS(HOSTSIM_R)
    HOSTSIM_ACTION_CONTROL_FUNCTIONS(HOSTSIM_C)
    HOSTSIM_DESCRIPTOR_REGISTRY_FUNCTIONS(HOSTSIM_G)
#undef HOSTSIM_D
#undef HOSTSIM_R
#undef HOSTSIM_C
#undef HOSTSIM_G
    return names;
}

ActionSuites::ActionSuites(std::shared_ptr<DescriptorRegistry> registry) : registry_(std::move(registry)) {
    Apply(CallbackTable{});
}

ActionSuites::~ActionSuites() = default;

void ActionSuites::Register(BasicSuite& basic) {
    basic.Register(kPSActionDescriptorSuite, kPSActionDescriptorSuiteVersion, &descriptorProcs_);
    basic.Register(kPSActionReferenceSuite, kPSActionReferenceSuiteVersion, &referenceProcs_);
    basic.Register(kPSActionControlSuite, kPSActionControlSuiteVersion, &controlProcs_);
    basic.Register(kPSDescriptorRegistrySuite, kPSDescriptorRegistrySuiteVersion, &registryProcs_);
}

void ActionSuites::Apply(const CallbackTable& callbacks) {
    FillActionDescriptorProcs(descriptorProcs_, callbacks);
    FillActionReferenceProcs(referenceProcs_, callbacks);
    FillActionControlProcs(controlProcs_, callbacks);
    FillDescriptorRegistryProcs(registryProcs_, callbacks);
}

std::uintptr_t ActionSuites::NextId() {
    const std::uintptr_t id = nextId_;
    nextId_ += 0x10;
    return id;
}

PIActionDescriptor ActionSuites::AddDescriptor(Descriptor descriptor) {
    const std::uintptr_t id = NextId();
    descriptors_.emplace(id, std::move(descriptor));
    return reinterpret_cast<PIActionDescriptor>(id);
}

Descriptor* ActionSuites::FindDescriptor(PIActionDescriptor descriptor) {
    const auto it = descriptors_.find(reinterpret_cast<std::uintptr_t>(descriptor));
    return it == descriptors_.end() ? nullptr : &it->second;
}

bool ActionSuites::FreeDescriptor(PIActionDescriptor descriptor) {
    return descriptors_.erase(reinterpret_cast<std::uintptr_t>(descriptor)) != 0;
}

PIActionReference ActionSuites::AddReference(std::vector<ReferenceItem> items) {
    const std::uintptr_t id = NextId();
    references_.emplace(id, std::move(items));
    return reinterpret_cast<PIActionReference>(id);
}

std::vector<ReferenceItem>* ActionSuites::FindReference(PIActionReference reference) {
    const auto it = references_.find(reinterpret_cast<std::uintptr_t>(reference));
    return it == references_.end() ? nullptr : &it->second;
}

bool ActionSuites::FreeReference(PIActionReference reference) {
    return references_.erase(reinterpret_cast<std::uintptr_t>(reference)) != 0;
}

PIActionList ActionSuites::AddList(std::vector<DescriptorValue> items) {
    const std::uintptr_t id = NextId();
    lists_.emplace(id, std::move(items));
    return reinterpret_cast<PIActionList>(id);
}

std::vector<DescriptorValue>* ActionSuites::FindList(PIActionList list) {
    const auto it = lists_.find(reinterpret_cast<std::uintptr_t>(list));
    return it == lists_.end() ? nullptr : &it->second;
}

DescriptorTypeID ActionSuites::TypeIdFor(const std::string& stringId) {
    const auto it = typeIds_.find(stringId);
    if (it != typeIds_.end()) return it->second;
    const DescriptorTypeID id = nextTypeId_++;
    typeIds_.emplace(stringId, id);
    return id;
}

const std::string* ActionSuites::StringIdFor(DescriptorTypeID typeId) const {
    for (const auto& [text, id] : typeIds_) {
        if (id == typeId) return &text;
    }
    return nullptr;
}

void ActionSuites::Clear() {
    descriptors_.clear();
    references_.clear();
    lists_.clear();
}

}  // namespace hostsim
