#include "host/host.h"

#include "host/host_handles.h"
#include "host/host_result.h"
#include "host/image_buffer.h"
#include "host/image_modes.h"
#include "param/ps_parameters.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>
#include <string>

namespace Corvantis::Host::PS {
namespace {

FilterRecord* gCurrentFilterRecord = nullptr;

constexpr const char* kChannelPortsSuiteName = kPSChannelPortsSuite;
constexpr const char* kColorSpaceSuiteName = kPSColorSpaceSuite;

}  // namespace

FilterRecord* CurrentFilterRecord() { return gCurrentFilterRecord; }

Host::Host() = default;

Host::~Host() {
    params.reset();
    if (basic && basic->ReleaseSuite) {
        if (channelPorts) basic->ReleaseSuite(kChannelPortsSuiteName, kPSChannelPortsSuiteVersion);
        if (colorSpace) basic->ReleaseSuite(kColorSpaceSuiteName, kPSColorSpaceSuiteVersion);
    }
}

void Host::Init(void* record, bool isAbout, intptr_t* dataSlot, int16* resultSlot, const char* pluginTitle) {
    if (isAbout) {
        aboutRecord = static_cast<AboutRecord*>(record);
        filterRecord = nullptr;
    } else {
        filterRecord = static_cast<FilterRecord*>(record);
        aboutRecord = nullptr;
    }
    data = dataSlot;
    result = resultSlot;
    title = pluginTitle;
    // sSPBasic came with interface 5.0; an older host leaves the slot zero, i.e. no suites.
    basic = aboutRecord ? aboutRecord->sSPBasic : filterRecord ? filterRecord->sSPBasic : nullptr;
    scale = 1.0f;
    inDialog = false;
    channelPorts = nullptr;
    colorSpace = nullptr;
    if (basic && basic->AcquireSuite) {
        const void* suite = nullptr;
        if (basic->AcquireSuite(kChannelPortsSuiteName, kPSChannelPortsSuiteVersion, &suite) == 0)
            channelPorts = static_cast<const PSChannelPortsSuite1*>(suite);
        suite = nullptr;
        if (basic->AcquireSuite(kColorSpaceSuiteName, kPSColorSpaceSuiteVersion, &suite) == 0)
            colorSpace = static_cast<const PSColorSpaceSuite1*>(suite);
    }
}

void Host::Dispatch(int16 selector) {
    gCurrentFilterRecord = filterRecord;
    // bigDocumentData is an 8.0 field: hosts without 32-bit coordinates leave it null.
    if (selector != filterSelectorAbout && filterRecord && filterRecord->bigDocumentData)
        filterRecord->bigDocumentData->PluginUsing32BitCoordinates = 1;
    // The plug-in answers for its result: a host may have pre-set the slot, and reads anything
    // but 0 as a failure. Selectors the plug-in does not know leave it as the host set it.
    const bool known = selector >= filterSelectorAbout && selector <= filterSelectorFinish;
    if (known && result) *result = noErr;
    bool failed = false;
    try {
        switch (selector) {
            case filterSelectorAbout:
                filterRecord = nullptr;
                gCurrentFilterRecord = nullptr;
                OnAbout();
                break;
            case filterSelectorParameters: OnParameters(); break;
            case filterSelectorPrepare: OnPrepare(); break;
            case filterSelectorStart: OnStart(); break;
            case filterSelectorContinue: OnContinue(); break;
            case filterSelectorFinish: OnFinish(); break;
            default: break;
        }
    } catch (const std::bad_alloc&) {
        if (result) *result = memFullErr;
        failed = true;
    } catch (const Corvantis::Interrupted&) {
        if (result) *result = userCanceledErr;
        failed = true;
    } catch (const ErrorAlreadySet&) {
        failed = true;
    } catch (const std::string& text) {
        ReportError(text.c_str());
        failed = true;
    } catch (const std::exception& e) {
        ReportError(e.what());
        failed = true;
    } catch (...) {
        ReportError("Unknown error");
        failed = true;
    }
    // Codes of the plug-in's own parts never reach the host.
    if (known && result) *result = HostFacingResult(*result);
    if (!failed && selector != filterSelectorAbout) UnlockHandlesAfterSelector();
}

void Host::UnlockHandlesAfterSelector() {
    if (!filterRecord) return;
    if (data && *data) HostUnlockHandle(filterRecord->handleProcs, reinterpret_cast<Handle>(*data));
    if (filterRecord->parameters) HostUnlockHandle(filterRecord->handleProcs, filterRecord->parameters);
}

void Host::CheckError(int16 code) {
    if (result) *result = code;
    if (code != noErr) throw ErrorAlreadySet{};
}

void Host::ReportError(const char* text) {
    if (!text) text = "";
    if (filterRecord && filterRecord->errorString) {
        const size_t length = std::min<size_t>(std::strlen(text), 255);
        unsigned char* pascal = *filterRecord->errorString;
        pascal[0] = static_cast<uint8>(length);
        std::memcpy(pascal + 1, text, length);
        if (result) *result = errReportString;
    } else {
        ShowMessage(text, "Error", kMessageOk | kMessageError);
        if (result) *result = userCanceledErr;
    }
}

int Host::ShowMessage(const char* text, const char* caption, uint32 flags) {
    void* owner = nullptr;
    if (aboutRecord) {
        if (auto* platform = static_cast<PlatformData*>(aboutRecord->platformData)) owner = platform->hwnd;
    } else if (filterRecord && filterRecord->platformData) {
        owner = static_cast<PlatformData*>(filterRecord->platformData)->hwnd;
    }
    return ShowMessageBox(owner, text, caption, flags);
}

void Host::AdvanceState() {
    if (!filterRecord || !filterRecord->advanceState) CheckError(errPlugInHostInsufficient);
    CheckError(filterRecord->advanceState());
}

int32 Host::GetBitsPerChannel() const {
    if (!filterRecord) return 8;
    // depth is a 5.0 field; zero from an older host means "as the mode says".
    return filterRecord->depth ? filterRecord->depth : BitsPerChannelOfMode(filterRecord->imageMode);
}

float Host::GetFitScale(const Rect& rect) const {
    const Rect filter = GetFilterRect();
    const float fw = float(RectWidth(filter));
    const float fh = float(RectHeight(filter));
    if (fw <= 0 || fh <= 0) return 1.0f;
    const float sx = std::min(float(RectWidth(rect)), fw) / fw;
    const float sy = std::min(float(RectHeight(rect)), fh) / fh;
    return std::min(sx, sy);
}

int16 Host::EffectiveMode(int16 mode) {
    if (SupportsMode(mode) || mode == plugInModeMultichannel || mode == plugInModeDeepMultichannel) return mode;
    int16 m = mode;
    if (!SupportsHighBitDepth()) m = int16(EightBitModeOf(m));
    if (!SupportsGray()) {
        if (m == plugInModeGrayScale) m = plugInModeRGBColor;
        else if (m == plugInModeGray16) m = plugInModeRGB48;
        else if (m == plugInModeGray32) m = plugInModeRGB96;
    }
    if (!SupportsCMYK()) {
        if (m == plugInModeCMYKColor) m = plugInModeRGBColor;
        else if (m == plugInModeCMYK64) m = plugInModeRGB48;
    }
    return m;
}

void Host::GetTileSize(const Rect& rect, int32& width, int32& height) {
    if (!AdjustTileSize(rect, width, height)) {
        width = RectWidth(rect);
        height = RectHeight(rect);
    }
}

void Host::PrepareAndRenderTile(Parameters* list, ImageBuffer& source, ImageBuffer& destination, ImageBuffer& mask,
                                ImageBuffer* extras) {
    PrepareRender(list, destination.GetRect());
    RenderTile(list, source, destination, mask, extras);
}

Rect Host::MapInputRect(Parameters*, const Rect& outputRect, const Rect&, std::vector<LayerRequest>& layerRequests) {
    layerRequests.clear();
    return outputRect;
}

std::unique_ptr<Parameters> Host::CloneParameters(const Parameters& list) {
    return std::make_unique<Parameters>(list);
}

std::unique_ptr<Parameters> Host::NewParameters() { return std::make_unique<Parameters>(); }

Rect IntersectRect(const Rect& a, const Rect& b) {
    return Rect{std::max(a.top, b.top), std::max(a.left, b.left), std::min(a.bottom, b.bottom),
                std::min(a.right, b.right)};
}

bool RectContains(const Rect& a, const Rect& b) {
    const Rect i = IntersectRect(a, b);
    return i.top == b.top && i.left == b.left && i.bottom == b.bottom && i.right == b.right;
}

Rect ScaleRect(const Rect& r, float s) {
    return Rect{int32(float(r.top) * s), int32(float(r.left) * s), int32(float(r.bottom) * s),
                int32(float(r.right) * s)};
}

}  // namespace Corvantis::Host::PS
