// The ActionReference and ActionControl suites: references the plug-in builds, and what the
// host answers when asked for the object a reference names.
#include "hostsim/action_suites.h"
#include "hostsim/suite_call.h"
#include "hostsim/unserved.h"

#include <cstring>

namespace hostsim {

namespace {

constexpr DescriptorClassID kClassDocument = FourCC("Dcmn");
constexpr DescriptorEnumTypeID kTypeOrdinal = FourCC("Ordn");
constexpr DescriptorEnumID kEnumTarget = FourCC("Trgt");
constexpr DescriptorEnumID kEnumFirst = FourCC("Frst");
constexpr DescriptorEnumID kEnumLast = FourCC("Lst ");
constexpr DescriptorKeyID kKeyResolution = FourCC("Rslt");
constexpr DescriptorKeyID kKeyWidth = FourCC("Wdth");
constexpr DescriptorKeyID kKeyHeight = FourCC("Hght");
constexpr DescriptorKeyID kKeyDepth = FourCC("Dpth");
constexpr DescriptorKeyID kKeyDocumentId = FourCC("DocI");
constexpr DescriptorKeyID kKeyItemIndex = FourCC("ItmI");
// The host has one document; it is number 1 by index and by identifier.
constexpr int32 kDocumentId = 1;

#define NAME(f) "ActionReference." #f

template <class Body>
SPErr OnReference(const char* name, PIActionReference r, Body body) {
    return ServeSuiteCall(name, [&](HostSession& s) -> SPErr {
        std::vector<ReferenceItem>* items = s.actionSuites().FindReference(r);
        if (!items) return Misuse(s, name, r ? "not a live reference" : "null reference");
        return body(s, *items);
    });
}

template <class Fill>
SPErr AddItem(const char* name, PIActionReference r, ReferenceForm form, DescriptorClassID desiredClass, Fill fill) {
    return OnReference(name, r, [&](HostSession& s, std::vector<ReferenceItem>& items) -> SPErr {
        ReferenceItem item;
        item.form = form;
        item.desiredClass = desiredClass;
        if (const SPErr err = fill(s, item)) return err;
        items.push_back(std::move(item));
        return kSPNoError;
    });
}

SPErr RefMake(PIActionReference* r) {
    return ServeSuiteCall(NAME(Make), [&](HostSession& s) -> SPErr {
        if (!r) return Misuse(s, NAME(Make), "null result pointer");
        *r = s.actionSuites().AddReference({});
        return kSPNoError;
    });
}

SPErr RefFree(PIActionReference r) {
    return ServeSuiteCall(NAME(Free), [&](HostSession& s) -> SPErr {
        if (!s.actionSuites().FreeReference(r)) return Misuse(s, NAME(Free), r ? "not a live reference" : "null reference");
        return kSPNoError;
    });
}

SPErr RefGetForm(PIActionReference r, DescriptorFormID* value) {
    return OnReference(NAME(GetForm), r, [&](HostSession& s, std::vector<ReferenceItem>& items) -> SPErr {
        if (!value) return Misuse(s, NAME(GetForm), "null result pointer");
        if (items.empty()) return kErrNoSuchObject;
        *value = DescriptorEnumID(items.front().form);
        return kSPNoError;
    });
}

SPErr RefGetDesiredClass(PIActionReference r, DescriptorClassID* value) {
    return OnReference(NAME(GetDesiredClass), r, [&](HostSession& s, std::vector<ReferenceItem>& items) -> SPErr {
        if (!value) return Misuse(s, NAME(GetDesiredClass), "null result pointer");
        if (items.empty()) return kErrNoSuchObject;
        *value = items.front().desiredClass;
        return kSPNoError;
    });
}

SPErr RefPutName(PIActionReference r, DescriptorClassID desiredClass, const char* text) {
    return AddItem(NAME(PutName), r, ReferenceForm::Name, desiredClass, [&](HostSession& s, ReferenceItem& item) -> SPErr {
        if (!text) return Misuse(s, NAME(PutName), "null name");
        item.name = text;
        return kSPNoError;
    });
}

SPErr RefPutIndex(PIActionReference r, DescriptorClassID desiredClass, uint32 value) {
    return AddItem(NAME(PutIndex), r, ReferenceForm::Index, desiredClass, [&](HostSession&, ReferenceItem& item) {
        item.number = int32(value);
        return kSPNoError;
    });
}

SPErr RefPutIdentifier(PIActionReference r, DescriptorClassID desiredClass, uint32 value) {
    return AddItem(NAME(PutIdentifier), r, ReferenceForm::Identifier, desiredClass, [&](HostSession&, ReferenceItem& item) {
        item.number = int32(value);
        return kSPNoError;
    });
}

SPErr RefPutOffset(PIActionReference r, DescriptorClassID desiredClass, int32 value) {
    return AddItem(NAME(PutOffset), r, ReferenceForm::Offset, desiredClass, [&](HostSession&, ReferenceItem& item) {
        item.number = value;
        return kSPNoError;
    });
}

SPErr RefPutEnumerated(PIActionReference r, DescriptorClassID desiredClass, DescriptorEnumTypeID type,
                       DescriptorEnumID value) {
    return AddItem(NAME(PutEnumerated), r, ReferenceForm::Enumerated, desiredClass, [&](HostSession&, ReferenceItem& item) {
        item.code = type;
        item.value = value;
        return kSPNoError;
    });
}

SPErr RefPutProperty(PIActionReference r, DescriptorClassID desiredClass, DescriptorKeyID value) {
    return AddItem(NAME(PutProperty), r, ReferenceForm::Property, desiredClass, [&](HostSession&, ReferenceItem& item) {
        item.code = value;
        return kSPNoError;
    });
}

SPErr RefPutClass(PIActionReference r, DescriptorClassID desiredClass) {
    return AddItem(NAME(PutClass), r, ReferenceForm::Class, desiredClass, [&](HostSession&, ReferenceItem&) {
        return kSPNoError;
    });
}

#undef NAME
#define NAME(f) "ActionControl." #f

// The document's properties, as ActionControl Get answers for it.
Descriptor DocumentDescriptor(const Document& doc) {
    Descriptor d;
    d.Put(kKeyResolution, DescriptorValue::UnitFloat(unitDensity, double(doc.resolution)));
    d.Put(kKeyWidth, DescriptorValue::UnitFloat(unitPixels, double(doc.width)));
    d.Put(kKeyHeight, DescriptorValue::UnitFloat(unitPixels, double(doc.height)));
    d.Put(kKeyDepth, DescriptorValue::Integer(doc.depth));
    d.Put(kKeyDocumentId, DescriptorValue::Integer(kDocumentId));
    d.Put(kKeyItemIndex, DescriptorValue::Integer(1));
    return d;
}

// True when the item names the one document: the target, the first or last, index 1 or its id.
bool NamesTheDocument(const ReferenceItem& item) {
    if (item.desiredClass != kClassDocument) return false;
    switch (item.form) {
        case ReferenceForm::Enumerated:
            return item.code == kTypeOrdinal && (item.value == kEnumTarget || item.value == kEnumFirst || item.value == kEnumLast);
        case ReferenceForm::Index:
        case ReferenceForm::Identifier: return item.number == kDocumentId;
        case ReferenceForm::Offset: return item.number == 0;
        default: return false;
    }
}

SPErr ControlPlay(PIActionDescriptor* result, DescriptorEventID, PIActionDescriptor, int32) {
    return ServeSuiteCall(NAME(Play), [&](HostSession&) -> SPErr {
        // The host has no events of its own to play.
        if (result) *result = nullptr;
        return kSPUnimplementedError;
    });
}

// A reference reads innermost first: "property 'Rslt'" then "the target document". The host
// answers for its one document; with a property, the result holds just that key.
SPErr ControlGet(PIActionDescriptor* result, PIActionReference reference) {
    return ServeSuiteCall(NAME(Get), [&](HostSession& s) -> SPErr {
        if (!result) return Misuse(s, NAME(Get), "null result pointer");
        *result = nullptr;
        const std::vector<ReferenceItem>* items = s.actionSuites().FindReference(reference);
        if (!items) return Misuse(s, NAME(Get), reference ? "not a live reference" : "null reference");
        std::vector<DescriptorKeyID> properties;
        const ReferenceItem* target = nullptr;
        for (const ReferenceItem& item : *items) {
            if (item.form == ReferenceForm::Property) {
                if (!target) properties.push_back(item.code);
            } else if (!target) {
                target = &item;
            }
        }
        if (!target || !NamesTheDocument(*target) || properties.size() > 1) return kErrNoSuchObject;
        Descriptor document = DocumentDescriptor(s.document());
        if (!properties.empty()) {
            const DescriptorValue* v = document.Find(properties.front());
            if (!v) return kErrNoSuchObject;
            Descriptor one;
            one.Put(properties.front(), *v);
            document = std::move(one);
        }
        *result = s.actionSuites().AddDescriptor(std::move(document));
        return kSPNoError;
    });
}

SPErr ControlStringIDToTypeID(const char* stringID, DescriptorTypeID* typeID) {
    return ServeSuiteCall(NAME(StringIDToTypeID), [&](HostSession& s) -> SPErr {
        if (!stringID || !typeID) return Misuse(s, NAME(StringIDToTypeID), "null argument");
        *typeID = s.actionSuites().TypeIdFor(stringID);
        return kSPNoError;
    });
}

SPErr ControlTypeIDToStringID(DescriptorTypeID typeID, char* text, uint32 maxLength) {
    return ServeSuiteCall(NAME(TypeIDToStringID), [&](HostSession& s) -> SPErr {
        if (!text || maxLength == 0) return Misuse(s, NAME(TypeIDToStringID), "no room for the result");
        const std::string* id = s.actionSuites().StringIdFor(typeID);
        if (!id) return kErrNoSuchObject;
        if (id->size() + 1 > maxLength) return kSPBadParameterError;
        std::memcpy(text, id->c_str(), id->size() + 1);
        return kSPNoError;
    });
}

#undef NAME

}  // namespace

// The two function lists name every entry of the table.
static_assert(sizeof(PSActionReferenceProcs) ==
              (0 HOSTSIM_ACTION_REFERENCE_FUNCTIONS(HOSTSIM_COUNT_SLOT)
                   HOSTSIM_ACTION_REFERENCE_UNSERVED(HOSTSIM_COUNT_SLOT)) * sizeof(void*));

void FillActionReferenceProcs(PSActionReferenceProcs& procs, const CallbackTable& callbacks) {
#define HOSTSIM_FILL(f)                                                                                  \
    procs.f = callbacks.SuiteFunctionMode("ActionReference." #f) == CallbackMode::Absent ? nullptr \
                                                                                         : &AsOSErr<&Ref##f>::Call;
    HOSTSIM_ACTION_REFERENCE_FUNCTIONS(HOSTSIM_FILL)
#undef HOSTSIM_FILL
#define HOSTSIM_UNSERVED(f) procs.f = NotServed<decltype(procs.f)>();
    HOSTSIM_ACTION_REFERENCE_UNSERVED(HOSTSIM_UNSERVED)
#undef HOSTSIM_UNSERVED
}

// The two function lists name every entry of the table.
static_assert(sizeof(PSActionControlProcs) ==
              (0 HOSTSIM_ACTION_CONTROL_FUNCTIONS(HOSTSIM_COUNT_SLOT)
                   HOSTSIM_ACTION_CONTROL_UNSERVED(HOSTSIM_COUNT_SLOT)) * sizeof(void*));

void FillActionControlProcs(PSActionControlProcs& procs, const CallbackTable& callbacks) {
#define HOSTSIM_FILL(f)                                                                                \
    procs.f = callbacks.SuiteFunctionMode("ActionControl." #f) == CallbackMode::Absent ? nullptr \
                                                                                       : &AsOSErr<&Control##f>::Call;
    HOSTSIM_ACTION_CONTROL_FUNCTIONS(HOSTSIM_FILL)
#undef HOSTSIM_FILL
#define HOSTSIM_UNSERVED(f) procs.f = NotServed<decltype(procs.f)>();
    HOSTSIM_ACTION_CONTROL_UNSERVED(HOSTSIM_UNSERVED)
#undef HOSTSIM_UNSERVED
}

}  // namespace hostsim
