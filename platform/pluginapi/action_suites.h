// Action descriptor, reference, control and descriptor-registry suites.
#pragma once
#include "pi_types.h"

struct ActionDescriptorOpaque;
using PIActionDescriptor = ActionDescriptorOpaque*;
struct ActionReferenceOpaque;
using PIActionReference = ActionReferenceOpaque*;
struct ActionListOpaque;
using PIActionList = ActionListOpaque*;

constexpr const char* kPSActionDescriptorSuite = "df135115-c769-11d0-8079-00c04fd7ec47";
constexpr int32 kPSActionDescriptorSuiteVersion = 2;
constexpr const char* kPSActionReferenceSuite = "df135117-c769-11d0-8079-00c04fd7ec47";
constexpr int32 kPSActionReferenceSuiteVersion = 3;
constexpr const char* kPSActionControlSuite = "bc1e4d70-f953-11d0-8d9f-00c04fd5f7ee";
constexpr int32 kPSActionControlSuiteVersion = 2;
constexpr const char* kPSDescriptorRegistrySuite = "61e608b0-40fd-11d1-8da3-00c04fd5f7ee";
constexpr int32 kPSDescriptorRegistrySuiteVersion = 1;

struct PSActionDescriptorProcs {
    SPErr (*Make)(PIActionDescriptor* descriptor);
    SPErr (*Free)(PIActionDescriptor descriptor);
    SPErr (*GetType)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorTypeID* type);
    SPErr (*HasKey)(PIActionDescriptor descriptor, DescriptorKeyID key, PIBoolean* hasKey);
    SPErr (*Clear)(PIActionDescriptor descriptor);
    SPErr (*Erase)(PIActionDescriptor descriptor, DescriptorKeyID key);
    SPErr (*GetCount)(PIActionDescriptor descriptor, uint32* count);
    SPErr (*GetKey)(PIActionDescriptor descriptor, uint32 index, DescriptorKeyID* key);

    SPErr (*PutInteger)(PIActionDescriptor descriptor, DescriptorKeyID key, int32 value);
    SPErr (*PutFloat)(PIActionDescriptor descriptor, DescriptorKeyID key, double value);
    SPErr (*PutUnitFloat)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorUnitID unit, double value);
    SPErr (*PutString)(PIActionDescriptor descriptor, DescriptorKeyID key, const char* cstrValue);
    SPErr (*PutBoolean)(PIActionDescriptor descriptor, DescriptorKeyID key, PIBoolean value);
    SPErr (*PutList)(PIActionDescriptor descriptor, DescriptorKeyID key, PIActionList value);
    SPErr (*PutObject)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID type,
                       PIActionDescriptor value);
    SPErr (*PutGlobalObject)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID type,
                             PIActionDescriptor value);
    SPErr (*PutEnumerated)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorEnumTypeID type,
                           DescriptorEnumID value);
    SPErr (*PutReference)(PIActionDescriptor descriptor, DescriptorKeyID key, PIActionReference value);
    SPErr (*PutClass)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID value);
    SPErr (*PutGlobalClass)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID value);
    SPErr (*PutAlias)(PIActionDescriptor descriptor, DescriptorKeyID key, Handle value);

    SPErr (*GetInteger)(PIActionDescriptor descriptor, DescriptorKeyID key, int32* value);
    SPErr (*GetFloat)(PIActionDescriptor descriptor, DescriptorKeyID key, double* value);
    SPErr (*GetUnitFloat)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorUnitID* unit,
                          double* value);
    SPErr (*GetStringLength)(PIActionDescriptor descriptor, DescriptorKeyID key, uint32* stringLength);
    SPErr (*GetString)(PIActionDescriptor descriptor, DescriptorKeyID key, char* cstrValue, uint32 maxLength);
    SPErr (*GetBoolean)(PIActionDescriptor descriptor, DescriptorKeyID key, PIBoolean* value);
    SPErr (*GetList)(PIActionDescriptor descriptor, DescriptorKeyID key, PIActionList* value);
    SPErr (*GetObject)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID* type,
                       PIActionDescriptor* value);
    SPErr (*GetGlobalObject)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID* type,
                             PIActionDescriptor* value);
    SPErr (*GetEnumerated)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorEnumTypeID* type,
                           DescriptorEnumID* value);
    SPErr (*GetReference)(PIActionDescriptor descriptor, DescriptorKeyID key, PIActionReference* value);
    SPErr (*GetClass)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID* value);
    SPErr (*GetGlobalClass)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID* value);
    SPErr (*GetAlias)(PIActionDescriptor descriptor, DescriptorKeyID key, Handle* value);
};

struct PSActionReferenceProcs {
    SPErr (*Make)(PIActionReference* reference);
    SPErr (*Free)(PIActionReference reference);
    SPErr (*GetForm)(PIActionReference reference, DescriptorEnumID* value);
    SPErr (*GetDesiredClass)(PIActionReference reference, DescriptorClassID* value);
    SPErr (*PutName)(PIActionReference reference, DescriptorClassID desiredClass, const char* cstrValue);
    SPErr (*PutIndex)(PIActionReference reference, DescriptorClassID desiredClass, uint32 value);
    SPErr (*PutIdentifier)(PIActionReference reference, DescriptorClassID desiredClass, uint32 value);
    SPErr (*PutOffset)(PIActionReference reference, DescriptorClassID desiredClass, int32 value);
    SPErr (*PutEnumerated)(PIActionReference reference, DescriptorClassID desiredClass, DescriptorEnumTypeID type,
                           DescriptorEnumID value);
    SPErr (*PutProperty)(PIActionReference reference, DescriptorClassID desiredClass, DescriptorKeyID value);
    SPErr (*PutClass)(PIActionReference reference, DescriptorClassID desiredClass);
};

struct PSActionControlProcs {
    SPErr (*Play)(PIActionDescriptor* result, DescriptorEventID event, PIActionDescriptor descriptor,
                  int32 dialogOptions);
    SPErr (*Get)(PIActionDescriptor* result, PIActionReference reference);
    SPErr (*StringIDToTypeID)(const char* stringID, DescriptorTypeID* typeID);
    SPErr (*TypeIDToStringID)(DescriptorTypeID typeID, char* cstr, uint32 maxLength);
};

struct PSDescriptorRegistryProcs {
    SPErr (*Register)(const char* key, PIActionDescriptor descriptor, PIBoolean isPersistent);
    SPErr (*Erase)(const char* key);
    SPErr (*Get)(const char* key, PIActionDescriptor* descriptor);
};
