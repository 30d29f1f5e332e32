// The host adapter object: one per call of the entry point. It keeps the host's records for
// the call, acquires the suites it needs, hands the selector to the matching handler and turns
// every failure into the host's result code. Its virtual operations are the contract between
// the generic adapter and the plug-in proper.
#pragma once
#include "pluginapi/action_suites.h"
#include "pluginapi/color_space.h"
#include "pluginapi/filter_record.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Corvantis {

// A user's interruption; nothing in the adapter throws it, but a handler may.
struct Interrupted {};

namespace Host {
namespace System {
// Empty roots of the host class tree.
class Thread {
public:
    virtual ~Thread() = default;
};
class Host : public Thread {};
}  // namespace System

namespace PS {

class Parameters;
class ImageBuffer;

using Rect = VRect;

// One further plane set that the input mapping asks the tile loop to read for a tile.
struct LayerRequest {
    uint64_t source = 0;
    Rect rect{};
};

class Host : public System::Host {
public:
    // Thrown by CheckError: the non-zero host result code is already in the result slot.
    struct ErrorAlreadySet {};

    Host();
    ~Host() override;
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // Selector handlers.
    virtual void OnAbout() {}
    virtual void OnParameters();
    virtual void OnPrepare();
    virtual void OnStart();
    virtual bool RunDialog(Parameters* params) = 0;  // true = OK
    virtual void OnContinue();
    virtual void OnFinish();

    // Capabilities and hooks of the plug-in.
    virtual bool HasChannelPorts() { return channelPorts != nullptr; }
    virtual std::unique_ptr<Parameters> CloneParameters(const Parameters& params);
    virtual std::unique_ptr<Parameters> NewParameters();
    virtual void DefineParameters(Parameters* params) = 0;
    virtual void PrepareRender(Parameters* /*params*/, const Rect& /*rect*/) {}
    virtual void RenderTile(Parameters* params, ImageBuffer& source, ImageBuffer& destination, ImageBuffer& mask,
                            ImageBuffer* extras) = 0;
    virtual void PrepareAndRenderTile(Parameters* params, ImageBuffer& source, ImageBuffer& destination,
                                      ImageBuffer& mask, ImageBuffer* extras);
    virtual Rect MapInputRect(Parameters* params, const Rect& outputRect, const Rect& filterRect,
                              std::vector<LayerRequest>& layerRequests);
    virtual Rect MapMaskRect(Parameters* /*params*/, const Rect& outputRect, const Rect& /*filterRect*/) {
        return outputRect;
    }
    virtual bool SupportsHighBitDepth() { return true; }
    virtual bool SupportsGray() { return false; }
    virtual bool SupportsCMYK() { return false; }
    virtual bool SupportsMode(int16 /*mode*/) { return false; }
    virtual bool ProcessesPlanesSeparately() { return false; }
    virtual bool WantsPlanarLayout() { return false; }
    virtual int16 EffectiveMode(int16 mode);
    virtual bool AdjustTileSize(const Rect& /*rect*/, int32& /*width*/, int32& /*height*/) { return true; }
    virtual bool WantsPreviewSelection() { return true; }
    virtual bool WantsSelectionMask() { return false; }
    virtual bool SuppressWriteBack() { return false; }
    // Whether rendering `tile` would give back its source unchanged: the loop then leaves the
    // document's pixels there as they are, without reading, converting or rendering them.
    virtual bool LeavesTileUnchanged(Parameters* /*params*/, const Rect& /*tile*/, const Rect& /*filterRect*/) {
        return false;
    }
    virtual void GetTileSize(const Rect& rect, int32& width, int32& height);

    // Call set-up and dispatch.
    void Init(void* record, bool isAbout, intptr_t* data, int16* result, const char* title);
    void Dispatch(int16 selector);

    // Error convention.
    void CheckError(int16 code);
    void ReportError(const char* text);
    int ShowMessage(const char* text, const char* caption, uint32 flags);

    void AdvanceState();
    int32 GetBitsPerChannel() const;
    float GetFitScale(const Rect& rect) const;

    // Rectangles and planes of the filter record, in 32-bit coordinates where the host offers them.
    Rect GetFilterRect() const;
    Rect GetInRect() const;
    Rect GetMaskRect() const;
    void SetInRect(const Rect& rect);
    void SetOutRect(const Rect& rect);
    void SetMaskRect(const Rect& rect);
    void SetInPlanes(int16 first, int16 count);
    void SetOutPlanes(int16 first, int16 count);
    bool LacksDocumentInfo() const;
    bool HasMask() const;
    bool HasTransparencyPlane() const;

    // --- Parameter exchange with the host: plug-in data, parameters handle, requests ---
    // The working list (made when absent, defined afresh, filled from the parameters handle)
    // and the plug-in data byte. False when it failed; the result slot then holds -30100 (no
    // data handle and create false) or -108. Both handles are left for Dispatch to unlock.
    bool GetParameters(Parameters*& list, uint8*& dataByte, bool create);
    // Loads the values remembered by the last Finish into the list (Start, and Finish when the
    // parameters handle gave no values).
    void LoadRememberedValues(Parameters* list);
    // Store the rect as inRect, outRect or maskRect, then advance the host's state.
    void RequestInRect(const Rect& rect);
    void RequestOutRect(const Rect& rect);
    void RequestMaskRect(const Rect& rect);
    // Empty in, out and mask rects, no planes, no dummy planes; advances only when asked.
    void ClearRequests(bool advance);
    // Lets the host drop its input and mask data, when it still holds any.
    void ReleaseInputData();

    // --- Pixel path: reading, the tiled loop, buffers ---
    // Runs the plug-in's tile renderer over the filter rectangle, writing every tile back and
    // reporting progress. Throws on failure; tiles already written stay written.
    void ProcessTiles(Parameters* list);
    void ProcessTiles() { ProcessTiles(params.get()); }
    // Reads the selection into buffer when the plug-in wants it shown in the preview.
    void ReadPreviewSelection(ImageBuffer& buffer, const Rect& rect, float scale);
    // The ChannelPorts suite when the plug-in may use it, else null.
    const PSChannelPortsSuite1* PortsSuite() { return HasChannelPorts() ? channelPorts : nullptr; }

    // --- Host services: colour picker, display, presets folder, modal dialog ---
    // Shows the part `source` of `image` (image coordinates) at the top-left of `destination`
    // through the host's displayPixels callback, with the selection `mask` (may hold no data)
    // and the image's extra alpha plane as masks. `platformContext` goes to the host unchanged
    // (on GTK the cairo context of the paint). `drawn` receives the destination, or an empty
    // rectangle at its top-left when the host has no display callback. Returns the host's code.
    OSErr DisplayPixels(Rect& drawn, const Rect& source, const Rect& destination, ImageBuffer& image,
                        ImageBuffer& mask, void* platformContext);

    AboutRecord* aboutRecord = nullptr;
    FilterRecord* filterRecord = nullptr;
    intptr_t* data = nullptr;
    int16* result = nullptr;
    std::unique_ptr<Parameters> params;
    SPBasicSuite* basic = nullptr;
    const PSChannelPortsSuite1* channelPorts = nullptr;
    const PSColorSpaceSuite1* colorSpace = nullptr;
    float scale = 1.0f;
    int32 tilesDone = 0;
    int32 tilesTotal = 0;
    const char* title = nullptr;
    const char* registryPrefix = nullptr;
    bool inDialog = false;
    // Whether the last GetParameters found values in the parameters handle (none, or one whose
    // size nobody knows, leaves the defaults).
    bool parametersRead = false;
    // Set by the tiled loop while it reads a tile's source that lies over the host's input and
    // is sure to ask for the output next: the input request then waits for that advance, so
    // the host serves input and output together.
    bool deferInputAdvance = false;

private:
    // Leaves the document's pixels of an unchanged tile as they are (see ProcessTiles).
    void KeepTile(const Rect& tile);
    void UnlockHandlesAfterSelector();
};

// The FilterRecord of the call in progress (null during About). Read where no host object is
// at hand (the colour button's click).
FilterRecord* CurrentFilterRecord();

// The adapter's flag bits for message boxes (see ShowMessageBox).
enum MessageFlags : uint32 {
    kMessageOk = 0x1,
    kMessageYesNo = 0x2,
    kMessageCancel = 0x4,
    kMessageSecondDefault = 0x20,
    kMessageWarning = 0x1000,
    kMessageError = 0x2000,
    kMessageQuestion = 0x4000,
    kMessageInformation = 0x8000,
};

// Shows a system message box owned by `owner` (null: task modal). Answers 1 for OK or Yes,
// 2 for Cancel, 3 for No.
int ShowMessageBox(void* owner, const char* text, const char* caption, uint32 flags);

// Rectangle helpers (top, left, bottom, right; right and bottom excluded).
Rect IntersectRect(const Rect& a, const Rect& b);
bool RectContains(const Rect& a, const Rect& b);
Rect ScaleRect(const Rect& rect, float s);
inline int32 RectWidth(const Rect& r) { return r.right - r.left; }
inline int32 RectHeight(const Rect& r) { return r.bottom - r.top; }
inline bool RectEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace PS
}  // namespace Host
}  // namespace Corvantis
