// A minimal filter module for testing the host: it carries its own property list and
// terminology and records what each call of its entry point received.
#include "fixture_report.h"

#include <cstring>

#define EXPORT extern "C" __attribute__((visibility("default")))
#define RESOURCE(name) __attribute__((section(name), used))

// Little-endian fields; a four-character code is a 32-bit integer, so its bytes are reversed.
#define U16(v) uint8_t(v), uint8_t((v) >> 8)
#define U32(v) uint8_t(v), uint8_t((v) >> 8), uint8_t((v) >> 16), uint8_t((v) >> 24)
#define CODE(a, b, c, d) d, c, b, a
#define PROPERTY(a, b, c, d, length) CODE('8', 'B', 'I', 'M'), CODE(a, b, c, d), U32(0), U32(length)

extern "C" RESOURCE(".rsrc.PIPL.16000") const uint8_t kFixturePipl[] = {
    U16(1), U32(0), U32(12),
    PROPERTY('k', 'i', 'n', 'd', 4), CODE('8', 'B', 'F', 'M'),
    PROPERTY('n', 'a', 'm', 'e', 12), 10, 'F', 'i', 'x', 't', 'u', 'r', 'e', '.', '.', '.', 0,
    PROPERTY('c', 'a', 't', 'g', 12), 7, 'H', 'o', 's', 't', 's', 'i', 'm', 0, 0, 0, 0,
    PROPERTY('v', 'e', 'r', 's', 4), U32(0x00040001),
    PROPERTY('8', '6', '6', '4', 12), 'P', 'l', 'u', 'g', 'i', 'n', 'M', 'a', 'i', 'n', 0, 0,
    PROPERTY('m', 'o', 'd', 'e', 4), 0x5E, 0x40, 0x00, 0x00,
    PROPERTY('h', 's', 't', 'm', 20), U32(0), CODE('F', 'x', 't', '1'), CODE('F', 'x', 't', '1'), U16(16000),
        'S', 'c', 'o', 'p', 'e', 0,
    PROPERTY('e', 'n', 'b', 'l', 8), 't', 'r', 'u', 'e', 0, 0, 0, 0,
    PROPERTY('m', 's', '3', '2', 8), U32(30000), U32(40000),
    PROPERTY('f', 'l', 'l', 'y', 4), 0x80, 0x00, 0x00, 0x00,
    PROPERTY('f', 'i', 'c', 'i', 28), 1, 1, 6, 0, 1, 1, 6, 0, 0, 0, 0, 0, 1, 1, 6, 0, 1, 1, 6, 0, 2, 1, 6, 0, 1, 1, 6, 0,
    PROPERTY('x', 't', 'r', 'a', 4), 1, 2, 3, 4,
};

extern "C" RESOURCE(".rsrc.AETE.16000") const uint8_t kFixtureAete[] = {
    U16(1), 1, 0, U16(0), U16(0),
    U16(1),  // suites
    7, 'F', 'i', 'x', 't', 'u', 'r', 'e', 0, CODE('F', 'x', 't', '1'), U16(1), U16(1),
    U16(1),  // events
    3, 'F', 'i', 'x', 3, 'f', 'i', 'x', CODE('F', 'x', 't', '1'), CODE('F', 'x', 't', '1'),
    CODE('n', 'u', 'l', 'l'), 0, U16(0),
    CODE('#', 'I', 'm', 'R'), 0, U16(0xB000),
    U16(3),  // parameters
    6, 'a', 'm', 'o', 'u', 'n', 't', CODE('F', 'x', 'a', 'a'), CODE('d', 'o', 'u', 'b'), 0, U16(0x8000),
    5, 's', 'h', 'a', 'p', 'e', CODE('F', 'x', 'a', 'b'), CODE('F', 'x', 'a', 'c'), 0, U16(0xA000),
    7, 'c', 'a', 'p', 't', 'i', 'o', 'n', CODE('F', 'x', 'a', 'd'), CODE('T', 'E', 'X', 'T'), 2, ' ', 'c', U16(0x8000),
    U16(0), U16(0),  // classes, comparisons
    U16(1),          // enumerations
    CODE('F', 'x', 'a', 'c'), U16(2),
    4, 'S', 'o', 'f', 't', CODE('F', 'x', 'a', 'e'), 4, 's', 'o', 'f', 't',
    4, 'H', 'a', 'r', 'd', CODE('F', 'x', 'a', 'f'), 0,
};

namespace {

FixtureReport report;

// The host's convention for a failure with a text: a Pascal string in errorString, or, when
// the host offers none, a plain cancel.
void ReportText(FilterRecord* record, const char* text, int16* result) {
    if (!record->errorString) {
        *result = userCanceledErr;
        return;
    }
    const std::size_t length = std::strlen(text) > 255 ? 255 : std::strlen(text);
    (*record->errorString)[0] = uint8(length);
    std::memcpy(*record->errorString + 1, text, length);
    *result = errReportString;
}

SPErr UseSuite(SPBasicSuite* basic, bool release) {
    if (!basic) return kSPBadParameterError;
    const void* table = nullptr;
    const SPErr err = basic->AcquireSuite(kFixtureSuiteName, kFixtureSuiteVersion, &table);
    if (err != kSPNoError) return err;
    report.suiteValue = static_cast<const FixtureSuite*>(table)->Value();
    if (release) basic->ReleaseSuite(kFixtureSuiteName, kFixtureSuiteVersion);
    return kSPNoError;
}

void OnFilterSelector(int16 selector, FilterRecord* r, intptr_t* data, int16* result) {
    report.hasPlatformData = r->platformData != nullptr;
    report.hostWindow = r->platformData ? static_cast<PlatformData*>(r->platformData)->hwnd : nullptr;
    report.hasBasicSuite = r->sSPBasic != nullptr;
    report.hasErrorString = r->errorString != nullptr;
    report.hasBigDocument = r->bigDocumentData != nullptr;
    report.hasAdvanceState = r->advanceState != nullptr;
    report.width = r->bigDocumentData ? r->bigDocumentData->imageSize32.h : r->imageSize.h;
    report.height = r->bigDocumentData ? r->bigDocumentData->imageSize32.v : r->imageSize.v;
    report.planes = r->planes;
    report.imageMode = r->imageMode;
    report.depth = r->depth;
    report.filterCase = r->filterCase;

    switch (selector) {
        case filterSelectorParameters:
            ++*data;
            *result = noErr;
            break;
        case filterSelectorPrepare:
            report.acquireError = UseSuite(r->sSPBasic, true);
            *result = report.acquireError == kSPNoError ? noErr : errPlugInHostInsufficient;
            break;
        case filterSelectorStart:
            report.acquireError = UseSuite(r->sSPBasic, false);
            report.advanceStateResult = r->advanceState ? r->advanceState() : OSErr(noErr);
            *result = report.advanceStateResult;
            break;
        case filterSelectorContinue: {
            char text[301];
            std::memset(text, 'x', 300);
            text[300] = 0;
            ReportText(r, text, result);
            break;
        }
        case filterSelectorFinish:
            ReportText(r, "fixture failed", result);
            break;
        case kFixtureOverrunErrorString:
            if (r->errorString) std::memset(r->errorString, 'y', 260);
            break;
        default:
            break;
    }
}

}  // namespace

EXPORT void PluginMain(int16 selector, void* record, intptr_t* data, int16* result) {
    const int calls = report.calls + 1;
    report = FixtureReport{};
    report.calls = calls;
    report.selector = selector;
    report.recordNull = record == nullptr;
    report.dataOnEntry = *data;
    report.resultOnEntry = *result;
    if (!record) return;
    if (selector == filterSelectorAbout) {
        const auto* about = static_cast<AboutRecord*>(record);
        const auto* platform = static_cast<const PlatformData*>(about->platformData);
        report.hasPlatformData = platform != nullptr;
        report.hostWindow = platform ? platform->hwnd : nullptr;
        report.hasBasicSuite = about->sSPBasic != nullptr;
        *result = noErr;
        return;
    }
    OnFilterSelector(selector, static_cast<FilterRecord*>(record), data, result);
}

EXPORT const FixtureReport* FixtureLastReport() { return &report; }
