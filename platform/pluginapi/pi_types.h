// Basic types, result codes and constants of the host's filter plug-in interface.
// Shared by the module and by hostsim; our own declarations.
#pragma once
#include <cstddef>
#include <cstdint>

using int16 = std::int16_t;
using uint16 = std::uint16_t;
using int32 = std::int32_t;
using uint32 = std::uint32_t;
using uint8 = std::uint8_t;
using int8 = std::int8_t;
using OSErr = int16;
using SPErr = int32;
using PIBoolean = uint8;
using Ptr = char*;
using Fixed = int32;
using DescriptorKeyID = uint32;
using DescriptorTypeID = uint32;
using DescriptorClassID = uint32;
using DescriptorUnitID = uint32;
using DescriptorEnumID = uint32;
using DescriptorEnumTypeID = uint32;
using DescriptorEventID = uint32;

// Opaque memory handle. The host gives out pointers to its own blocks; the fallback
// handles (global memory) use the same type.
struct HandleOpaque;
using Handle = HandleOpaque**;

// A four-character code as the interface stores it: first character most significant.
constexpr uint32 FourCC(const char (&s)[5]) {
    return (uint32(uint8(s[0])) << 24) | (uint32(uint8(s[1])) << 16) | (uint32(uint8(s[2])) << 8) |
           uint32(uint8(s[3]));
}

// 16-bit rectangle (top, left, bottom, right) as carried in the classic record.
struct Rect16 {
    int16 top, left, bottom, right;
};
// 32-bit rectangle (top, left, bottom, right).
struct VRect {
    int32 top, left, bottom, right;
};
struct VPoint {
    int32 v, h;
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

// Result codes.
enum : int16 {
    noErr = 0,
    paramErr = -50,
    memFullErr = -108,
    nilHandleErr = -109,
    memWZErr = -111,
    userCanceledErr = -128,
    errAENoSuchObject = -1715,  // used for "no write descriptor"
    filterBadParameters = -30100,
    errPlugInHostInsufficient = -30900,
    errReportString = -30904,
};

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

// Basic-suite error codes (four-character codes).
constexpr SPErr kSPBadParameterError = SPErr(FourCC("Parm"));
constexpr SPErr kSPNotImplmented = SPErr(FourCC("!IMP"));
constexpr SPErr kSPSuiteNotFoundError = SPErr(FourCC("S!Fd"));
constexpr SPErr kSPNoError = 0;

// Host callbacks used by the filter record.
using TestAbortProc = PIBoolean (*)();
using ProgressProc = void (*)(int32 done, int32 total);
using AdvanceStateProc = OSErr (*)();
