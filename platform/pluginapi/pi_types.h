// Basic types, result codes and constants of the host's filter plug-in interface, as the
// interface publishes them for 64-bit Windows. Shared by the module and by hostsim.
// Fixed-width types only (no `long`), so that x86-64 Linux lays everything out as Win64 does.
#pragma once
#include <cstddef>
#include <cstdint>

using int8 = std::int8_t;
using int16 = std::int16_t;
using int32 = std::int32_t;
using int64 = std::int64_t;
using uint8 = std::uint8_t;
using uint16 = std::uint16_t;
using uint32 = std::uint32_t;
using uint64 = std::uint64_t;
using unsigned8 = std::uint8_t;
using unsigned16 = std::uint16_t;
using unsigned32 = std::uint32_t;
using real32 = float;
using real64 = double;

using Boolean = unsigned char;  // 1 byte, 0 or 1
using SPBoolean = int32;        // the basic suite's boolean is 4 bytes on Windows
using OSErr = int16;
using SPErr = int32;
using ASErr = int32;
using Fixed = int32;  // 16.16 fixed point
using OSType = uint32;
using ResType = uint32;
using PIType = uint32;
using DescType = uint32;
using DescriptorKeyID = uint32;
using DescriptorTypeID = uint32;
using DescriptorClassID = uint32;
using DescriptorEnumID = uint32;
using DescriptorEnumTypeID = uint32;
using DescriptorUnitID = uint32;
using DescriptorFormID = uint32;
using DescriptorEventID = uint32;
using DescriptorKeyIDArray = DescriptorKeyID*;  // zero-terminated

// Opaque objects of the suites.
struct ASZStringOpaque;
using ASZString = ASZStringOpaque*;
using ASUnicode = uint16;  // UTF-16
struct SPPluginOpaque;
using SPPluginRef = SPPluginOpaque*;

using Ptr = char*;
// A memory handle: pointer to a master pointer; *h is the data.
using Handle = char**;

using Str255 = unsigned char[256];  // Pascal string: length byte, then up to 255 characters
using ConstStr255Param = const unsigned char*;
using LookUpTable = unsigned char[256];
using FilterColor = unsigned char[4];  // a colour in the image's own mode

// A four-character code as the interface stores it: first character most significant.
constexpr uint32 FourCC(const char (&s)[5]) {
    return (uint32(uint8(s[0])) << 24) | (uint32(uint8(s[1])) << 16) | (uint32(uint8(s[2])) << 8) |
           uint32(uint8(s[3]));
}

// 16-bit point and rectangle of the classic record: vertical first.
struct Point {
    int16 v, h;
};
struct Rect {
    int16 top, left, bottom, right;
};
// 32-bit point and rectangle.
struct VPoint {
    int32 v, h;
};
struct VRect {
    int32 top, left, bottom, right;
};

// 0..65535 per component.
struct PSRGBColor {
    uint16 red, green, blue;
};

// Selectors passed to the entry point.
enum : int16 {
    filterSelectorAbout = 0,
    filterSelectorParameters = 1,
    filterSelectorPrepare = 2,
    filterSelectorStart = 3,
    filterSelectorContinue = 4,
    filterSelectorFinish = 5,
};

// Result codes (OSErr).
enum : int16 {
    noErr = 0,
    coercedParamErr = 2,
    readErr = -19,
    writErr = -20,
    openErr = -23,
    dskFulErr = -34,
    ioErr = -36,
    eofErr = -39,
    fnfErr = -43,
    fLckdErr = -45,
    vLckdErr = -46,
    paramErr = -50,
    memFullErr = -108,
    nilHandleErr = -109,
    memWZErr = -111,
    userCanceledErr = -128,
    errMissingParameter = -1715,
    filterBadParameters = -30100,
    filterBadMode = -30101,
    errPlugInHostInsufficient = -30900,
    errPlugInPropertyUndefined = -30901,
    errHostDoesNotSupportColStep = -30902,
    errInvalidSamplePoint = -30903,
    errReportString = -30904,
    errHostVersionIncompatible = -30905,
    errUnknownPort = -30910,
    errUnsupportedRowBits = -30911,
    errUnsupportedColBits = -30912,
    errUnsupportedBitOffset = -30913,
    errUnsupportedDepth = -30914,
    errUnsupportedDepthConversion = -30915,
    errWrongPlatformFilePath = -30916,
    errIllegalCharInID = -30917,
};

// Basic-suite error codes (SPErr, four-character codes).
constexpr SPErr kSPNoError = 0;
constexpr SPErr kSPUnimplementedError = SPErr(FourCC("!IMP"));
constexpr SPErr kSPUserCanceledError = SPErr(FourCC("stop"));
constexpr SPErr kSPBadParameterError = SPErr(FourCC("Parm"));
constexpr SPErr kSPLogicError = SPErr(FourCC("fbar"));
constexpr SPErr kSPSuiteNotFoundError = SPErr(FourCC("S!Fd"));
constexpr SPErr kSPOutOfMemoryError = -108;

// Image modes.
enum : int16 {
    plugInModeBitmap = 0,
    plugInModeGrayScale = 1,
    plugInModeIndexedColor = 2,
    plugInModeRGBColor = 3,
    plugInModeCMYKColor = 4,
    plugInModeHSLColor = 5,
    plugInModeHSBColor = 6,
    plugInModeMultichannel = 7,
    plugInModeDuotone = 8,
    plugInModeLabColor = 9,
    plugInModeGray16 = 10,
    plugInModeRGB48 = 11,
    plugInModeLab48 = 12,
    plugInModeCMYK64 = 13,
    plugInModeDeepMultichannel = 14,
    plugInModeDuotone16 = 15,
    plugInModeRGB96 = 16,
    plugInModeGray32 = 17,
};

// Filter cases (what the host hands over: flat image, selection, layer transparency).
enum : int16 {
    filterCaseUnsupported = -1,
    filterCaseFlatImageNoSelection = 1,
    filterCaseFlatImageWithSelection = 2,
    filterCaseFloatingSelection = 3,
    filterCaseEditableTransparencyNoSelection = 4,
    filterCaseEditableTransparencyWithSelection = 5,
    filterCaseProtectedTransparencyNoSelection = 6,
    filterCaseProtectedTransparencyWithSelection = 7,
};

// Layouts the plug-in may ask for through wantLayout.
enum : int16 {
    piLayoutTraditional = 0,
    piLayoutRowsColumnsPlanes = 1,
    piLayoutRowsPlanesColumns = 2,
    piLayoutColumnsRowsPlanes = 3,
    piLayoutColumnsPlanesRows = 4,
    piLayoutPlanesRowsColumns = 5,
    piLayoutPlanesColumnsRows = 6,
};

// inputPadding / outputPadding / maskPadding: 0..255 is a fill value, or one of these.
enum : int16 {
    plugInWantsEdgeReplication = -1,
    plugInDoesNotWantPadding = -2,
    plugInWantsErrorOnBoundsException = -3,
};

// samplingSupport.
enum : char {
    hostDoesNotSupportSampling = 0,
    hostSupportsIntegralSampling = 1,
    hostSupportsFractionalSampling = 2,
};

// Host signatures.
constexpr OSType kPhotoshopSignature = FourCC("8BIM");
constexpr OSType kAnyHostSignature = FourCC("    ");

// Simple callbacks of the filter record.
using TestAbortProc = Boolean (*)();
using ProgressProc = void (*)(int32 done, int32 total);
using HostProc = void (*)(int16 selector, intptr_t* data);
using ProcessEventProc = void (*)(void* event);
using AdvanceStateProc = OSErr (*)();
