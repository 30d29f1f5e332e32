// The filter record's scripting-descriptor procedures (read at Start, written at Finish).
#pragma once
#include "pi_types.h"

struct PIOpaqueReadDescriptor;
using PIReadDescriptor = PIOpaqueReadDescriptor*;
struct PIOpaqueWriteDescriptor;
using PIWriteDescriptor = PIOpaqueWriteDescriptor*;
using PIDescriptorHandle = Handle;

// A reference to one object, for the simple-reference procedures.
struct PIDescriptorSimpleReference {
    DescriptorTypeID desiredClass;
    DescriptorEnumID keyForm;
    struct KeyData {
        Str255 name;
        int32 index;
        DescriptorTypeID type;
        DescriptorEnumID value;
    } keyData;
};

// Read procedures. The get* procedures read the value of the key most recently
// returned by getKeyProc.
using OpenReadDescriptorProc = PIReadDescriptor (*)(PIDescriptorHandle descriptor, DescriptorKeyIDArray keyArray);
using CloseReadDescriptorProc = OSErr (*)(PIReadDescriptor descriptor);
using GetKeyProc = Boolean (*)(PIReadDescriptor descriptor, DescriptorKeyID* key, DescriptorTypeID* type,
                               int32* flags);
using GetIntegerProc = OSErr (*)(PIReadDescriptor descriptor, int32* data);
using GetFloatProc = OSErr (*)(PIReadDescriptor descriptor, real64* data);
using GetUnitFloatProc = OSErr (*)(PIReadDescriptor descriptor, DescriptorUnitID* unit, real64* data);
using GetBooleanProc = OSErr (*)(PIReadDescriptor descriptor, Boolean* data);
using GetTextProc = OSErr (*)(PIReadDescriptor descriptor, Handle* data);
using GetAliasProc = OSErr (*)(PIReadDescriptor descriptor, Handle* data);
using GetEnumeratedProc = OSErr (*)(PIReadDescriptor descriptor, DescriptorEnumID* data);
using GetClassProc = OSErr (*)(PIReadDescriptor descriptor, DescriptorTypeID* data);
using GetSimpleReferenceProc = OSErr (*)(PIReadDescriptor descriptor, PIDescriptorSimpleReference* data);
using GetObjectProc = OSErr (*)(PIReadDescriptor descriptor, DescriptorTypeID* type, PIDescriptorHandle* data);
using GetCountProc = OSErr (*)(PIReadDescriptor descriptor, uint32* count);
using GetStringProc = OSErr (*)(PIReadDescriptor descriptor, Str255* data);
using GetPinnedIntegerProc = OSErr (*)(PIReadDescriptor descriptor, int32 min, int32 max, int32* data);
using GetPinnedFloatProc = OSErr (*)(PIReadDescriptor descriptor, const real64* min, const real64* max,
                                     real64* data);
using GetPinnedUnitFloatProc = OSErr (*)(PIReadDescriptor descriptor, const real64* min, const real64* max,
                                         DescriptorUnitID* unit, real64* data);

struct ReadDescriptorProcs {
    int16 readDescriptorProcsVersion;
    int16 numReadDescriptorProcs;
    OpenReadDescriptorProc openReadDescriptorProc;
    CloseReadDescriptorProc closeReadDescriptorProc;
    GetKeyProc getKeyProc;
    GetIntegerProc getIntegerProc;
    GetFloatProc getFloatProc;
    GetUnitFloatProc getUnitFloatProc;
    GetBooleanProc getBooleanProc;
    GetTextProc getTextProc;
    GetAliasProc getAliasProc;
    GetEnumeratedProc getEnumeratedProc;
    GetClassProc getClassProc;
    GetSimpleReferenceProc getSimpleReferenceProc;
    GetObjectProc getObjectProc;
    GetCountProc getCountProc;
    GetStringProc getStringProc;
    GetPinnedIntegerProc getPinnedIntegerProc;
    GetPinnedFloatProc getPinnedFloatProc;
    GetPinnedUnitFloatProc getPinnedUnitFloatProc;
};
constexpr int16 kCurrentReadDescriptorProcsVersion = 0;
constexpr int16 kCurrentReadDescriptorProcsCount = 18;

using OpenWriteDescriptorProc = PIWriteDescriptor (*)();
using CloseWriteDescriptorProc = OSErr (*)(PIWriteDescriptor descriptor, PIDescriptorHandle* newDescriptor);
using PutIntegerProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, int32 data);
using PutFloatProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, const real64* data);
using PutUnitFloatProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, DescriptorUnitID unit,
                                   const real64* data);
using PutBooleanProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, Boolean data);
using PutTextProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, Handle textHandle);
using PutAliasProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, Handle aliasHandle);
using PutEnumeratedProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, DescriptorTypeID type,
                                    DescriptorEnumID value);
using PutClassProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, DescriptorTypeID data);
using PutSimpleReferenceProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key,
                                         const PIDescriptorSimpleReference* data);
using PutObjectProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, DescriptorTypeID type,
                                PIDescriptorHandle handle);
using PutCountProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, uint32 count);
using PutStringProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, ConstStr255Param data);
using PutScopedClassProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, DescriptorTypeID data);
using PutScopedObjectProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, DescriptorTypeID type,
                                      PIDescriptorHandle handle);

struct WriteDescriptorProcs {
    int16 writeDescriptorProcsVersion;
    int16 numWriteDescriptorProcs;
    OpenWriteDescriptorProc openWriteDescriptorProc;
    CloseWriteDescriptorProc closeWriteDescriptorProc;
    PutIntegerProc putIntegerProc;
    PutFloatProc putFloatProc;
    PutUnitFloatProc putUnitFloatProc;
    PutBooleanProc putBooleanProc;
    PutTextProc putTextProc;
    PutAliasProc putAliasProc;
    PutEnumeratedProc putEnumeratedProc;
    PutClassProc putClassProc;
    PutSimpleReferenceProc putSimpleReferenceProc;
    PutObjectProc putObjectProc;
    PutCountProc putCountProc;
    PutStringProc putStringProc;
    PutScopedClassProc putScopedClassProc;
    PutScopedObjectProc putScopedObjectProc;
};
constexpr int16 kCurrentWriteDescriptorProcsVersion = 0;
constexpr int16 kCurrentWriteDescriptorProcsCount = 16;

// playInfo values.
enum : int16 { plugInDialogDontDisplay = 0, plugInDialogDisplay = 1, plugInDialogSilent = 2 };
// recordInfo values.
enum : int16 { plugInDialogOptional = 0, plugInDialogRequired = 1, plugInDialogNone = 2 };

// playInfo and recordInfo are 16-bit here, although the dialog-option types are 32-bit.
struct PIDescriptorParameters {
    int16 descriptorParametersVersion;
    int16 playInfo;
    int16 recordInfo;
    PIDescriptorHandle descriptor;
    WriteDescriptorProcs* writeDescriptorProcs;
    ReadDescriptorProcs* readDescriptorProcs;
};
constexpr int16 kCurrentDescriptorParametersVersion = 0;

// Descriptor value types and common keys.
constexpr DescriptorTypeID typeInteger = FourCC("long");
constexpr DescriptorTypeID typeFloat = FourCC("doub");
constexpr DescriptorTypeID typeUnitFloat = FourCC("UntF");
constexpr DescriptorTypeID typeBoolean = FourCC("bool");
constexpr DescriptorTypeID typeChar = FourCC("TEXT");
constexpr DescriptorTypeID typeEnumerated = FourCC("enum");
constexpr DescriptorTypeID typeObject = FourCC("Objc");
constexpr DescriptorTypeID typeGlobalObject = FourCC("GlbO");
constexpr DescriptorTypeID typeObjectSpecifier = FourCC("obj ");
constexpr DescriptorTypeID typeObjectReference = FourCC("obj ");
constexpr DescriptorTypeID typeSInt64 = FourCC("comp");
constexpr DescriptorTypeID typeRawData = FourCC("tdta");
constexpr DescriptorTypeID typeText = FourCC("TEXT");
constexpr DescriptorTypeID typeNull = FourCC("null");
constexpr DescriptorTypeID typeType = FourCC("type");
constexpr DescriptorTypeID typeGlobalClass = FourCC("GlbC");
constexpr DescriptorTypeID typeAlias = FourCC("alis");
constexpr DescriptorTypeID typePath = FourCC("Pth ");
constexpr DescriptorTypeID typeValueList = FourCC("VlLs");
constexpr DescriptorUnitID unitPercent = FourCC("#Prc");
constexpr DescriptorUnitID unitAngle = FourCC("#Ang");
constexpr DescriptorUnitID unitPixels = FourCC("#Pxl");
constexpr DescriptorUnitID unitDistance = FourCC("#Rlt");
constexpr DescriptorUnitID unitDensity = FourCC("#Rsl");
constexpr DescriptorUnitID unitNone = FourCC("#Nne");
constexpr DescriptorUnitID unitPoints = FourCC("#Pnt");
constexpr DescriptorUnitID unitMillimeters = FourCC("#Mlm");
