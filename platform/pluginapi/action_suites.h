// Action descriptor, list, reference, control and descriptor-registry suites, and the
// string suite they hand strings in. These tables have no header: slot 0 is at offset 0.
#pragma once
#include "pi_types.h"

struct ActionDescriptorOpaque;
using PIActionDescriptor = ActionDescriptorOpaque*;
struct ActionReferenceOpaque;
using PIActionReference = ActionReferenceOpaque*;
struct ActionListOpaque;
using PIActionList = ActionListOpaque*;

using PIDialogPlayOptions = int32;
using PIDialogRecordOptions = int32;

constexpr const char* kPSActionDescriptorSuite = "df135115-c769-11d0-8079-00c04fd7ec47";
constexpr int32 kPSActionDescriptorSuiteVersion = 2;
constexpr const char* kPSActionListSuite = "df135116-c769-11d0-8079-00c04fd7ec47";
constexpr int32 kPSActionListSuiteVersion = 1;
constexpr const char* kPSActionReferenceSuite = "df135117-c769-11d0-8079-00c04fd7ec47";
constexpr int32 kPSActionReferenceSuiteVersion = 3;
constexpr const char* kPSActionControlSuite = "bc1e4d70-f953-11d0-8d9f-00c04fd5f7ee";
constexpr int32 kPSActionControlSuiteVersion = 2;
constexpr const char* kPSDescriptorRegistrySuite = "61e608b0-40fd-11d1-8da3-00c04fd5f7ee";
constexpr int32 kPSDescriptorRegistrySuiteVersion = 1;
constexpr const char* kASZStringSuite = "AS ZString Suite";
constexpr int32 kASZStringSuiteVersion = 1;

// ActionDescriptor suite, version 2 (46 slots).
struct PSActionDescriptorProcs {
    OSErr (*Make)(PIActionDescriptor* descriptor);
    OSErr (*Free)(PIActionDescriptor descriptor);
    OSErr (*GetType)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorTypeID* type);
    OSErr (*GetKey)(PIActionDescriptor descriptor, uint32 index, DescriptorKeyID* key);
    OSErr (*HasKey)(PIActionDescriptor descriptor, DescriptorKeyID key, Boolean* hasKey);
    OSErr (*GetCount)(PIActionDescriptor descriptor, uint32* count);
    OSErr (*IsEqual)(PIActionDescriptor descriptor, PIActionDescriptor other, Boolean* isEqual);
    OSErr (*Erase)(PIActionDescriptor descriptor, DescriptorKeyID key);
    OSErr (*Clear)(PIActionDescriptor descriptor);
    OSErr (*PutInteger)(PIActionDescriptor descriptor, DescriptorKeyID key, int32 value);
    OSErr (*PutFloat)(PIActionDescriptor descriptor, DescriptorKeyID key, real64 value);
    OSErr (*PutUnitFloat)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorUnitID unit, real64 value);
    OSErr (*PutString)(PIActionDescriptor descriptor, DescriptorKeyID key, const char* cstrValue);
    OSErr (*PutBoolean)(PIActionDescriptor descriptor, DescriptorKeyID key, Boolean value);
    OSErr (*PutList)(PIActionDescriptor descriptor, DescriptorKeyID key, PIActionList value);
    OSErr (*PutObject)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID type,
                       PIActionDescriptor value);
    OSErr (*PutGlobalObject)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID type,
                             PIActionDescriptor value);
    OSErr (*PutEnumerated)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorEnumTypeID type,
                           DescriptorEnumID value);
    OSErr (*PutReference)(PIActionDescriptor descriptor, DescriptorKeyID key, PIActionReference value);
    OSErr (*PutClass)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID value);
    OSErr (*PutGlobalClass)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID value);
    OSErr (*PutAlias)(PIActionDescriptor descriptor, DescriptorKeyID key, Handle value);
    OSErr (*GetInteger)(PIActionDescriptor descriptor, DescriptorKeyID key, int32* value);
    OSErr (*GetFloat)(PIActionDescriptor descriptor, DescriptorKeyID key, real64* value);
    OSErr (*GetUnitFloat)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorUnitID* unit,
                          real64* value);
    OSErr (*GetStringLength)(PIActionDescriptor descriptor, DescriptorKeyID key, uint32* stringLength);
    OSErr (*GetString)(PIActionDescriptor descriptor, DescriptorKeyID key, char* cstrValue, uint32 maxLength);
    OSErr (*GetBoolean)(PIActionDescriptor descriptor, DescriptorKeyID key, Boolean* value);
    OSErr (*GetList)(PIActionDescriptor descriptor, DescriptorKeyID key, PIActionList* value);
    OSErr (*GetObject)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID* type,
                       PIActionDescriptor* value);
    OSErr (*GetGlobalObject)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID* type,
                             PIActionDescriptor* value);
    OSErr (*GetEnumerated)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorEnumTypeID* type,
                           DescriptorEnumID* value);
    OSErr (*GetReference)(PIActionDescriptor descriptor, DescriptorKeyID key, PIActionReference* value);
    OSErr (*GetClass)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID* value);
    OSErr (*GetGlobalClass)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID* value);
    OSErr (*GetAlias)(PIActionDescriptor descriptor, DescriptorKeyID key, Handle* value);
    OSErr (*HasKeys)(PIActionDescriptor descriptor, DescriptorKeyIDArray requiredKeys, Boolean* hasKeys);
    OSErr (*PutIntegers)(PIActionDescriptor descriptor, DescriptorKeyID key, uint32 count, int32* value);
    OSErr (*GetIntegers)(PIActionDescriptor descriptor, DescriptorKeyID key, uint32 count, int32* value);
    OSErr (*AsHandle)(PIActionDescriptor descriptor, Handle* value);
    OSErr (*HandleToDescriptor)(Handle value, PIActionDescriptor* descriptor);
    OSErr (*PutZString)(PIActionDescriptor descriptor, DescriptorKeyID key, ASZString zstring);
    OSErr (*GetZString)(PIActionDescriptor descriptor, DescriptorKeyID key, ASZString* zstring);
    OSErr (*PutData)(PIActionDescriptor descriptor, DescriptorKeyID key, int32 length, void* value);
    OSErr (*GetDataLength)(PIActionDescriptor descriptor, DescriptorKeyID key, int32* value);
    OSErr (*GetData)(PIActionDescriptor descriptor, DescriptorKeyID key, void* value);
};

// ActionList suite, version 1 (38 slots).
struct PSActionListProcs {
    OSErr (*Make)(PIActionList* actionList);
    OSErr (*Free)(PIActionList actionList);
    OSErr (*GetType)(PIActionList list, uint32 index, DescriptorTypeID* value);
    OSErr (*GetCount)(PIActionList list, uint32* value);
    OSErr (*PutInteger)(PIActionList list, int32 value);
    OSErr (*PutFloat)(PIActionList list, real64 value);
    OSErr (*PutUnitFloat)(PIActionList list, DescriptorUnitID unit, real64 value);
    OSErr (*PutString)(PIActionList list, const char* cstr);
    OSErr (*PutBoolean)(PIActionList list, Boolean value);
    OSErr (*PutList)(PIActionList list, PIActionList value);
    OSErr (*PutObject)(PIActionList list, DescriptorClassID type, PIActionDescriptor value);
    OSErr (*PutGlobalObject)(PIActionList list, DescriptorClassID type, PIActionDescriptor value);
    OSErr (*PutEnumerated)(PIActionList list, DescriptorEnumTypeID type, DescriptorEnumID value);
    OSErr (*PutReference)(PIActionList list, PIActionReference value);
    OSErr (*PutClass)(PIActionList list, DescriptorClassID value);
    OSErr (*PutGlobalClass)(PIActionList list, DescriptorClassID value);
    OSErr (*PutAlias)(PIActionList list, Handle value);
    OSErr (*GetInteger)(PIActionList list, uint32 index, int32* value);
    OSErr (*GetFloat)(PIActionList list, uint32 index, real64* value);
    OSErr (*GetUnitFloat)(PIActionList list, uint32 index, DescriptorUnitID* unit, real64* value);
    OSErr (*GetStringLength)(PIActionList list, uint32 index, uint32* stringLength);
    OSErr (*GetString)(PIActionList list, uint32 index, char* cstr, uint32 maxLength);
    OSErr (*GetBoolean)(PIActionList list, uint32 index, Boolean* value);
    OSErr (*GetList)(PIActionList list, uint32 index, PIActionList* actionList);
    OSErr (*GetObject)(PIActionList list, uint32 index, DescriptorClassID* type, PIActionDescriptor* value);
    OSErr (*GetGlobalObject)(PIActionList list, uint32 index, DescriptorClassID* type, PIActionDescriptor* value);
    OSErr (*GetEnumerated)(PIActionList list, uint32 index, DescriptorEnumTypeID* type, DescriptorEnumID* value);
    OSErr (*GetReference)(PIActionList list, uint32 index, PIActionReference* value);
    OSErr (*GetClass)(PIActionList list, uint32 index, DescriptorClassID* value);
    OSErr (*GetGlobalClass)(PIActionList list, uint32 index, DescriptorClassID* value);
    OSErr (*GetAlias)(PIActionList list, uint32 index, Handle* aliasHandle);
    OSErr (*PutIntegers)(PIActionList list, uint32 count, int32* value);
    OSErr (*GetIntegers)(PIActionList list, uint32 count, int32* value);
    OSErr (*PutData)(PIActionList list, int32 length, void* data);
    OSErr (*GetDataLength)(PIActionList list, uint32 index, int32* length);
    OSErr (*GetData)(PIActionList list, uint32 index, void* value);
    OSErr (*PutZString)(PIActionList list, ASZString zstring);
    OSErr (*GetZString)(PIActionList list, uint32 index, ASZString* zstring);
};

// ActionReference suite, version 3 (21 slots; version 2 ends at GetContainer).
struct PSActionReferenceProcs {
    OSErr (*Make)(PIActionReference* reference);
    OSErr (*Free)(PIActionReference ref);
    OSErr (*GetForm)(PIActionReference ref, DescriptorFormID* value);
    OSErr (*GetDesiredClass)(PIActionReference ref, DescriptorClassID* value);
    OSErr (*PutName)(PIActionReference ref, DescriptorClassID desiredClass, const char* cstrValue);
    OSErr (*PutIndex)(PIActionReference ref, DescriptorClassID desiredClass, uint32 value);
    OSErr (*PutIdentifier)(PIActionReference ref, DescriptorClassID desiredClass, uint32 value);
    OSErr (*PutOffset)(PIActionReference ref, DescriptorClassID desiredClass, int32 value);
    OSErr (*PutEnumerated)(PIActionReference ref, DescriptorClassID desiredClass, DescriptorEnumTypeID type,
                           DescriptorEnumID value);
    OSErr (*PutProperty)(PIActionReference ref, DescriptorClassID desiredClass, DescriptorKeyID value);
    OSErr (*PutClass)(PIActionReference ref, DescriptorClassID desiredClass);
    OSErr (*GetNameLength)(PIActionReference ref, uint32* stringLength);
    OSErr (*GetName)(PIActionReference ref, char* name, uint32 maxLength);
    OSErr (*GetIndex)(PIActionReference ref, uint32* value);
    OSErr (*GetIdentifier)(PIActionReference ref, uint32* value);
    OSErr (*GetOffset)(PIActionReference ref, int32* value);
    OSErr (*GetEnumerated)(PIActionReference ref, DescriptorEnumTypeID* type, DescriptorEnumID* enumValue);
    OSErr (*GetProperty)(PIActionReference ref, DescriptorKeyID* value);
    OSErr (*GetContainer)(PIActionReference ref, PIActionReference* value);
    // version 3
    OSErr (*PutNameZString)(PIActionReference ref, DescriptorClassID desiredClass, ASZString zstring);
    OSErr (*GetNameZString)(PIActionReference ref, ASZString* zstring);
};

using PIEventNotifier = void (*)(DescriptorEventID event, PIActionDescriptor descriptor,
                                 PIDialogRecordOptions options, void* data);
using PISuspendProc = SPErr (*)(void* data);

// ActionControl suite, versions 2 and 3 (8 slots).
struct PSActionControlProcs {
    OSErr (*Play)(PIActionDescriptor* result, DescriptorEventID event, PIActionDescriptor descriptor,
                  PIDialogPlayOptions options);
    OSErr (*Get)(PIActionDescriptor* result, PIActionReference reference);
    OSErr (*StringIDToTypeID)(const char* stringID, DescriptorTypeID* typeID);
    OSErr (*TypeIDToStringID)(DescriptorTypeID typeID, char* stringID, uint32 stringLength);
    OSErr (*AddNotify)(SPPluginRef ref, DescriptorEventID event, PIEventNotifier notifier, void* data);
    OSErr (*RemoveNotify)(SPPluginRef ref, DescriptorEventID event);
    OSErr (*SuspendHistory)(PIActionReference reference, PISuspendProc proc, void* procData,
                            ASZString operationName);
    OSErr (*MakeStringAlias)(const char* newStringID, const char* existingStringID);
};

// DescriptorRegistry suite, version 1.
struct PSDescriptorRegistryProcs {
    OSErr (*Register)(const char* key, PIActionDescriptor descriptor, Boolean isPersistent);
    OSErr (*Erase)(const char* key);
    // A copy the caller frees through the ActionDescriptor suite.
    OSErr (*Get)(const char* key, PIActionDescriptor* descriptor);
};

using ASInt16 = int16;
using ASInt32 = int32;
using ASUInt32 = uint32;
using ASBoolean = int32;  // 4 bytes on Windows

// ASZString suite, version 1 (23 slots).
struct ASZStringSuite1 {
    ASErr (*MakeFromUnicode)(ASUnicode* src, size_t charCount, ASZString* newZString);
    ASErr (*MakeFromCString)(const char* src, size_t byteCount, ASZString* newZString);
    ASErr (*MakeFromPascalString)(const unsigned char* src, size_t byteCount, ASZString* newZString);
    ASErr (*MakeRomanizationOfInteger)(ASInt32 value, ASZString* newZString);
    ASErr (*MakeRomanizationOfFixed)(ASInt32 value, ASInt16 places, ASBoolean trim, ASBoolean isSigned,
                                     ASZString* newZString);
    ASErr (*MakeRomanizationOfDouble)(real64 value, ASZString* newZString);
    ASZString (*GetEmpty)();
    ASErr (*Copy)(ASZString source, ASZString* copy);
    ASErr (*Replace)(ASZString zstr, ASUInt32 index, ASZString replacement);
    ASErr (*TrimEllipsis)(ASZString zstr);
    ASErr (*TrimSpaces)(ASZString zstr);
    ASErr (*RemoveAccelerators)(ASZString zstr);
    ASErr (*AddRef)(ASZString zstr);
    ASErr (*Release)(ASZString zstr);
    ASBoolean (*IsAllWhiteSpace)(ASZString zstr);
    ASBoolean (*IsEmpty)(ASZString zstr);
    ASBoolean (*WillReplace)(ASZString zstr, ASUInt32 index);
    ASUInt32 (*LengthAsUnicodeCString)(ASZString zstr);
    ASErr (*AsUnicodeCString)(ASZString zstr, ASUnicode* str, ASUInt32 strSize, ASBoolean checkStrSize);
    ASUInt32 (*LengthAsCString)(ASZString zstr);
    ASErr (*AsCString)(ASZString zstr, char* str, ASUInt32 strSize, ASBoolean checkStrSize);
    ASUInt32 (*LengthAsPascalString)(ASZString zstr);
    ASErr (*AsPascalString)(ASZString zstr, char* str, ASUInt32 strBufferSize, ASBoolean checkBufferSize);
};
