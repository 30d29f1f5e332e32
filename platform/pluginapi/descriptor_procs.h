// The filter record's scripting-descriptor procedures (read at Start, written at Finish).
#pragma once
#include "pi_types.h"

struct PIOpaqueReadDescriptor;
using PIReadDescriptor = PIOpaqueReadDescriptor*;
struct PIOpaqueWriteDescriptor;
using PIWriteDescriptor = PIOpaqueWriteDescriptor*;
using PIDescriptorHandle = Handle;

// Read procedures. The get* procedures read the value of the key most recently
// returned by getKeyProc.
struct ReadDescriptorProcs {
    int16 readDescriptorProcsVersion;
    int16 numReadDescriptorProcs;
    PIReadDescriptor (*openReadDescriptorProc)(PIDescriptorHandle descriptor, const DescriptorKeyID* keyArray);
    OSErr (*closeReadDescriptorProc)(PIReadDescriptor token);
    PIBoolean (*getKeyProc)(PIReadDescriptor token, DescriptorKeyID* key, DescriptorTypeID* type, int32* flags);
    OSErr (*getIntegerProc)(PIReadDescriptor token, int32* data);
    OSErr (*getFloatProc)(PIReadDescriptor token, double* data);
    OSErr (*getUnitFloatProc)(PIReadDescriptor token, DescriptorUnitID* unit, double* data);
    OSErr (*getBooleanProc)(PIReadDescriptor token, PIBoolean* data);
    OSErr (*getTextProc)(PIReadDescriptor token, Handle* data);
    OSErr (*getEnumeratedProc)(PIReadDescriptor token, DescriptorEnumID* data);
    OSErr (*getObjectProc)(PIReadDescriptor token, DescriptorClassID* type, PIDescriptorHandle* data);
};

struct WriteDescriptorProcs {
    int16 writeDescriptorProcsVersion;
    int16 numWriteDescriptorProcs;
    PIWriteDescriptor (*openWriteDescriptorProc)();
    OSErr (*closeWriteDescriptorProc)(PIWriteDescriptor token, PIDescriptorHandle* newDescriptor);
    OSErr (*putIntegerProc)(PIWriteDescriptor token, DescriptorKeyID key, int32 data);
    OSErr (*putFloatProc)(PIWriteDescriptor token, DescriptorKeyID key, const double* data);
    OSErr (*putUnitFloatProc)(PIWriteDescriptor token, DescriptorKeyID key, DescriptorUnitID unit, const double* data);
    OSErr (*putBooleanProc)(PIWriteDescriptor token, DescriptorKeyID key, PIBoolean data);
    OSErr (*putTextProc)(PIWriteDescriptor token, DescriptorKeyID key, Handle textHandle);
    OSErr (*putEnumeratedProc)(PIWriteDescriptor token, DescriptorKeyID key, DescriptorTypeID type,
                               DescriptorEnumID value);
    OSErr (*putObjectProc)(PIWriteDescriptor token, DescriptorKeyID key, DescriptorClassID type,
                           PIDescriptorHandle handle);
};

// playInfo values.
enum : int32 { plugInDialogDontDisplay = 0, plugInDialogDisplay = 1, plugInDialogSilent = 2 };
// recordInfo values.
enum : int32 { plugInDialogOptional = 0, plugInDialogRequired = 1, plugInDialogNone = 2 };

struct PIDescriptorParameters {
    int16 descriptorParametersVersion;
    int32 playInfo;
    int32 recordInfo;
    PIDescriptorHandle descriptor;
    WriteDescriptorProcs* writeDescriptorProcs;
    ReadDescriptorProcs* readDescriptorProcs;
};

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
