// The ActionDescriptor suite over the session's descriptors.
#include "hostsim/action_suites.h"
#include "hostsim/suite_call.h"
#include "hostsim/unserved.h"

#include <algorithm>
#include <cstring>

namespace hostsim {

namespace {

// Runs `body` on the descriptor the plug-in names; an unknown one is reported and refused.
template <class Body>
SPErr OnDescriptor(const char* name, PIActionDescriptor d, Body body) {
    return ServeSuiteCall(name, [&](HostSession& s) -> SPErr {
        Descriptor* descriptor = s.actionSuites().FindDescriptor(d);
        if (!descriptor) return Misuse(s, name, d ? "not a live descriptor" : "null descriptor");
        return body(s, *descriptor);
    });
}

// Runs `read` on the value under `key`, with `out` checked for null first.
template <class Read>
SPErr OnValue(const char* name, PIActionDescriptor d, DescriptorKeyID key, const void* out, Read read) {
    return OnDescriptor(name, d, [&](HostSession& s, Descriptor& descriptor) -> SPErr {
        if (!out) return Misuse(s, name, "null result pointer");
        const DescriptorValue* v = descriptor.Find(key);
        if (!v) return kErrKeyNotFound;
        return read(s, *v);
    });
}

template <class Make>
SPErr PutValue(const char* name, PIActionDescriptor d, DescriptorKeyID key, Make make) {
    return OnDescriptor(name, d, [&](HostSession& s, Descriptor& descriptor) -> SPErr {
        DescriptorValue v;
        if (const SPErr err = make(s, v)) return err;
        descriptor.Put(key, std::move(v));
        return kSPNoError;
    });
}

#define NAME(f) "ActionDescriptor." #f

SPErr Make(PIActionDescriptor* d) {
    return ServeSuiteCall(NAME(Make), [&](HostSession& s) -> SPErr {
        if (!d) return Misuse(s, NAME(Make), "null result pointer");
        *d = s.actionSuites().AddDescriptor(Descriptor{});
        return kSPNoError;
    });
}

SPErr Free(PIActionDescriptor d) {
    return ServeSuiteCall(NAME(Free), [&](HostSession& s) -> SPErr {
        if (!s.actionSuites().FreeDescriptor(d)) return Misuse(s, NAME(Free), d ? "not a live descriptor" : "null descriptor");
        return kSPNoError;
    });
}

SPErr GetType(PIActionDescriptor d, DescriptorKeyID key, DescriptorTypeID* type) {
    return OnValue(NAME(GetType), d, key, type, [&](HostSession&, const DescriptorValue& v) {
        *type = v.type;
        return kSPNoError;
    });
}

SPErr HasKey(PIActionDescriptor d, DescriptorKeyID key, Boolean* hasKey) {
    return OnDescriptor(NAME(HasKey), d, [&](HostSession& s, Descriptor& descriptor) -> SPErr {
        if (!hasKey) return Misuse(s, NAME(HasKey), "null result pointer");
        *hasKey = descriptor.Find(key) ? 1 : 0;
        return kSPNoError;
    });
}

SPErr Clear(PIActionDescriptor d) {
    return OnDescriptor(NAME(Clear), d, [&](HostSession&, Descriptor& descriptor) {
        descriptor.Clear();
        return kSPNoError;
    });
}

SPErr Erase(PIActionDescriptor d, DescriptorKeyID key) {
    return OnDescriptor(NAME(Erase), d, [&](HostSession&, Descriptor& descriptor) {
        descriptor.Erase(key);
        return kSPNoError;
    });
}

SPErr GetCount(PIActionDescriptor d, uint32* count) {
    return OnDescriptor(NAME(GetCount), d, [&](HostSession& s, Descriptor& descriptor) -> SPErr {
        if (!count) return Misuse(s, NAME(GetCount), "null result pointer");
        *count = uint32(descriptor.Count());
        return kSPNoError;
    });
}

SPErr GetKey(PIActionDescriptor d, uint32 index, DescriptorKeyID* key) {
    return OnDescriptor(NAME(GetKey), d, [&](HostSession& s, Descriptor& descriptor) -> SPErr {
        if (!key) return Misuse(s, NAME(GetKey), "null result pointer");
        if (index >= descriptor.Count()) return kSPBadParameterError;
        *key = descriptor.items()[index].first;
        return kSPNoError;
    });
}

SPErr PutInteger(PIActionDescriptor d, DescriptorKeyID key, int32 value) {
    return PutValue(NAME(PutInteger), d, key, [&](HostSession&, DescriptorValue& v) {
        v = DescriptorValue::Integer(value);
        return kSPNoError;
    });
}

SPErr PutFloat(PIActionDescriptor d, DescriptorKeyID key, double value) {
    return PutValue(NAME(PutFloat), d, key, [&](HostSession&, DescriptorValue& v) {
        v = DescriptorValue::Float(value);
        return kSPNoError;
    });
}

SPErr PutUnitFloat(PIActionDescriptor d, DescriptorKeyID key, DescriptorUnitID unit, double value) {
    return PutValue(NAME(PutUnitFloat), d, key, [&](HostSession&, DescriptorValue& v) {
        v = DescriptorValue::UnitFloat(unit, value);
        return kSPNoError;
    });
}

SPErr PutString(PIActionDescriptor d, DescriptorKeyID key, const char* text) {
    return PutValue(NAME(PutString), d, key, [&](HostSession& s, DescriptorValue& v) -> SPErr {
        if (!text) return Misuse(s, NAME(PutString), "null text");
        v = DescriptorValue::Text(text);
        return kSPNoError;
    });
}

SPErr PutBoolean(PIActionDescriptor d, DescriptorKeyID key, Boolean value) {
    return PutValue(NAME(PutBoolean), d, key, [&](HostSession&, DescriptorValue& v) {
        v = DescriptorValue::Boolean(value != 0);
        return kSPNoError;
    });
}

SPErr PutList(PIActionDescriptor d, DescriptorKeyID key, PIActionList list) {
    return PutValue(NAME(PutList), d, key, [&](HostSession& s, DescriptorValue& v) -> SPErr {
        const std::vector<DescriptorValue>* items = s.actionSuites().FindList(list);
        if (!items) return Misuse(s, NAME(PutList), "not a list of this host");
        v = DescriptorValue::List(*items);
        return kSPNoError;
    });
}

SPErr PutObjectOf(const char* name, PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID type,
                  PIActionDescriptor value, bool global) {
    return PutValue(name, d, key, [&](HostSession& s, DescriptorValue& v) -> SPErr {
        const Descriptor* object = s.actionSuites().FindDescriptor(value);
        if (!object) return Misuse(s, name, "the object is not a live descriptor");
        v = DescriptorValue::Object(type, *object, global);
        return kSPNoError;
    });
}

SPErr PutObject(PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID type, PIActionDescriptor value) {
    return PutObjectOf(NAME(PutObject), d, key, type, value, false);
}

SPErr PutGlobalObject(PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID type, PIActionDescriptor value) {
    return PutObjectOf(NAME(PutGlobalObject), d, key, type, value, true);
}

SPErr PutEnumerated(PIActionDescriptor d, DescriptorKeyID key, DescriptorEnumTypeID type, DescriptorEnumID value) {
    return PutValue(NAME(PutEnumerated), d, key, [&](HostSession&, DescriptorValue& v) {
        v = DescriptorValue::Enumerated(type, value);
        return kSPNoError;
    });
}

SPErr PutReference(PIActionDescriptor d, DescriptorKeyID key, PIActionReference reference) {
    return PutValue(NAME(PutReference), d, key, [&](HostSession& s, DescriptorValue& v) -> SPErr {
        const std::vector<ReferenceItem>* items = s.actionSuites().FindReference(reference);
        if (!items) return Misuse(s, NAME(PutReference), "not a live reference");
        v = DescriptorValue::Reference(*items);
        return kSPNoError;
    });
}

SPErr PutClass(PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID value) {
    return PutValue(NAME(PutClass), d, key, [&](HostSession&, DescriptorValue& v) {
        v = DescriptorValue::Class(value);
        return kSPNoError;
    });
}

SPErr PutGlobalClass(PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID value) {
    return PutValue(NAME(PutGlobalClass), d, key, [&](HostSession&, DescriptorValue& v) {
        v = DescriptorValue::Class(value, true);
        return kSPNoError;
    });
}

// An alias is kept as the bytes of the handle (a path); the handle stays the caller's.
SPErr PutAlias(PIActionDescriptor d, DescriptorKeyID key, Handle value) {
    return PutValue(NAME(PutAlias), d, key, [&](HostSession& s, DescriptorValue& v) -> SPErr {
        if (!s.handles().Owns(value)) return Misuse(s, NAME(PutAlias), "not a handle of this host");
        const std::vector<uint8> bytes = s.handles().Bytes(value);
        v = DescriptorValue::Alias(std::string(bytes.begin(), bytes.end()));
        return kSPNoError;
    });
}

SPErr GetInteger(PIActionDescriptor d, DescriptorKeyID key, int32* value) {
    return OnValue(NAME(GetInteger), d, key, value, [&](HostSession&, const DescriptorValue& v) -> SPErr {
        return ReadAsInteger(v, *value) ? kSPNoError : kErrWrongType;
    });
}

SPErr GetFloat(PIActionDescriptor d, DescriptorKeyID key, double* value) {
    return OnValue(NAME(GetFloat), d, key, value, [&](HostSession&, const DescriptorValue& v) -> SPErr {
        return ReadAsFloat(v, *value) ? kSPNoError : kErrWrongType;
    });
}

SPErr GetUnitFloat(PIActionDescriptor d, DescriptorKeyID key, DescriptorUnitID* unit, double* value) {
    return OnValue(NAME(GetUnitFloat), d, key, value, [&](HostSession& s, const DescriptorValue& v) -> SPErr {
        if (!unit) return Misuse(s, NAME(GetUnitFloat), "null unit pointer");
        return ReadAsUnitFloat(v, *unit, *value) ? kSPNoError : kErrWrongType;
    });
}

SPErr GetStringLength(PIActionDescriptor d, DescriptorKeyID key, uint32* length) {
    return OnValue(NAME(GetStringLength), d, key, length, [&](HostSession&, const DescriptorValue& v) -> SPErr {
        if (v.type != typeChar) return kErrWrongType;
        *length = uint32(v.text.size());
        return kSPNoError;
    });
}

// Copies at most maxLength - 1 bytes and a terminating zero.
SPErr GetString(PIActionDescriptor d, DescriptorKeyID key, char* text, uint32 maxLength) {
    return OnValue(NAME(GetString), d, key, text, [&](HostSession& s, const DescriptorValue& v) -> SPErr {
        if (maxLength == 0) return Misuse(s, NAME(GetString), "no room for the terminating zero");
        if (v.type != typeChar) return kErrWrongType;
        const std::size_t n = std::min<std::size_t>(v.text.size(), maxLength - 1);
        std::memcpy(text, v.text.data(), n);
        text[n] = '\0';
        return kSPNoError;
    });
}

SPErr GetBoolean(PIActionDescriptor d, DescriptorKeyID key, Boolean* value) {
    return OnValue(NAME(GetBoolean), d, key, value, [&](HostSession&, const DescriptorValue& v) -> SPErr {
        if (v.type != typeBoolean) return kErrWrongType;
        *value = v.boolean ? 1 : 0;
        return kSPNoError;
    });
}

SPErr GetList(PIActionDescriptor d, DescriptorKeyID key, PIActionList* list) {
    return OnValue(NAME(GetList), d, key, list, [&](HostSession& s, const DescriptorValue& v) -> SPErr {
        if (v.type != typeValueList) return kErrWrongType;
        *list = s.actionSuites().AddList(v.list);
        return kSPNoError;
    });
}

// Objects and global objects read as either; the caller frees the descriptor it gets.
SPErr GetObjectOf(const char* name, PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID* type,
                  PIActionDescriptor* value) {
    return OnValue(name, d, key, value, [&](HostSession& s, const DescriptorValue& v) -> SPErr {
        if (v.type != typeObject && v.type != typeGlobalObject) return kErrWrongType;
        if (type) *type = v.classId;
        *value = s.actionSuites().AddDescriptor(v.AsObject());
        return kSPNoError;
    });
}

SPErr GetObject(PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID* type, PIActionDescriptor* value) {
    return GetObjectOf(NAME(GetObject), d, key, type, value);
}

SPErr GetGlobalObject(PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID* type, PIActionDescriptor* value) {
    return GetObjectOf(NAME(GetGlobalObject), d, key, type, value);
}

SPErr GetEnumerated(PIActionDescriptor d, DescriptorKeyID key, DescriptorEnumTypeID* type, DescriptorEnumID* value) {
    return OnValue(NAME(GetEnumerated), d, key, value, [&](HostSession&, const DescriptorValue& v) -> SPErr {
        if (v.type != typeEnumerated) return kErrWrongType;
        if (type) *type = v.enumType;
        *value = v.enumValue;
        return kSPNoError;
    });
}

SPErr GetReference(PIActionDescriptor d, DescriptorKeyID key, PIActionReference* reference) {
    return OnValue(NAME(GetReference), d, key, reference, [&](HostSession& s, const DescriptorValue& v) -> SPErr {
        if (v.type != typeObjectSpecifier) return kErrWrongType;
        *reference = s.actionSuites().AddReference(v.reference);
        return kSPNoError;
    });
}

SPErr GetClassOf(const char* name, PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID* value) {
    return OnValue(name, d, key, value, [&](HostSession&, const DescriptorValue& v) -> SPErr {
        if (v.type != typeType && v.type != typeGlobalClass) return kErrWrongType;
        *value = v.classId;
        return kSPNoError;
    });
}

SPErr GetClass(PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID* value) {
    return GetClassOf(NAME(GetClass), d, key, value);
}

SPErr GetGlobalClass(PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID* value) {
    return GetClassOf(NAME(GetGlobalClass), d, key, value);
}

// The caller owns the handle it gets and disposes it through the handle procs.
SPErr GetAlias(PIActionDescriptor d, DescriptorKeyID key, Handle* value) {
    return OnValue(NAME(GetAlias), d, key, value, [&](HostSession& s, const DescriptorValue& v) -> SPErr {
        if (v.type != typeAlias) return kErrWrongType;
        const Handle h = s.handles().NewFrom(std::vector<uint8>(v.text.begin(), v.text.end()));
        if (!h) return SPErr(memFullErr);
        *value = h;
        return kSPNoError;
    });
}

#undef NAME

}  // namespace

// The two function lists name every entry of the table.
static_assert(sizeof(PSActionDescriptorProcs) ==
              (0 HOSTSIM_ACTION_DESCRIPTOR_FUNCTIONS(HOSTSIM_COUNT_SLOT)
                   HOSTSIM_ACTION_DESCRIPTOR_UNSERVED(HOSTSIM_COUNT_SLOT)) * sizeof(void*));

void FillActionDescriptorProcs(PSActionDescriptorProcs& procs, const CallbackTable& callbacks) {
#define HOSTSIM_FILL(f)                                                                                   \
    procs.f = callbacks.SuiteFunctionMode("ActionDescriptor." #f) == CallbackMode::Absent ? nullptr \
                                                                                          : &AsOSErr<&f>::Call;
    HOSTSIM_ACTION_DESCRIPTOR_FUNCTIONS(HOSTSIM_FILL)
#undef HOSTSIM_FILL
#define HOSTSIM_UNSERVED(f) procs.f = NotServed<decltype(procs.f)>();
    HOSTSIM_ACTION_DESCRIPTOR_UNSERVED(HOSTSIM_UNSERVED)
#undef HOSTSIM_UNSERVED
}

}  // namespace hostsim
