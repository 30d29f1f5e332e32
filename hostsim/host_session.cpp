#include "hostsim/host_session.h"

#include "hostsim/color_engine.h"
#include "hostsim/descriptor_registry.h"
#include "hostsim/host_handle_procs.h"
#include "hostsim/host_window.h"
#include "hostsim/pixel_display.h"
#include "hostsim/plugin_module.h"
#include "hostsim/program_name.h"
#include "hostsim/record_procs.h"

#include <algorithm>
#include <cstring>

namespace hostsim {

namespace {

thread_local HostSession* currentSession = nullptr;

constexpr uint8 kGuardByte = 0xA5;

int16 Clamp16(int32 value) { return int16(std::clamp<int32>(value, 0, 32767)); }

Fixed ToFixed(double value) { return Fixed(value * 65536.0 + 0.5); }

// An sRGB monitor: gamma 2.2, its primaries and a D65 white point.
PlugInMonitor StandardMonitor() {
    PlugInMonitor m{};
    m.gamma = ToFixed(2.2);
    m.redX = ToFixed(0.64);
    m.redY = ToFixed(0.33);
    m.greenX = ToFixed(0.30);
    m.greenY = ToFixed(0.60);
    m.blueX = ToFixed(0.15);
    m.blueY = ToFixed(0.06);
    m.whiteX = ToFixed(0.3127);
    m.whiteY = ToFixed(0.3290);
    m.ambient = 0;
    return m;
}

// White and black in the document's own mode, as FilterColor carries them.
void FillModeColors(int16 mode, FilterColor& back, FilterColor& fore) {
    for (int i = 0; i < 4; ++i) back[i] = fore[i] = 0;
    switch (mode) {
        case plugInModeCMYKColor:
        case plugInModeCMYK64:
            for (int i = 0; i < 4; ++i) fore[i] = 255;  // black is every ink; white none
            return;
        case plugInModeLabColor:
        case plugInModeLab48:
            back[0] = 255;
            back[1] = back[2] = fore[1] = fore[2] = 128;
            return;
        case plugInModeHSBColor:
        case plugInModeHSLColor:
            back[2] = 255;
            return;
        default:
            for (int i = 0; i < 3; ++i) back[i] = 255;
            return;
    }
}

// Makes `session` the current one for the length of a call, restoring the previous after.
class CurrentScope {
public:
    explicit CurrentScope(HostSession* session) : previous_(currentSession) { currentSession = session; }
    ~CurrentScope() { currentSession = previous_; }
    CurrentScope(const CurrentScope&) = delete;
    CurrentScope& operator=(const CurrentScope&) = delete;

private:
    HostSession* previous_;
};

}  // namespace

HostSession::HostSession(const HostOptions& options, const Document& document)
    : options_(options), document_(document), actionSuites_(DescriptorRegistry::ForFile("")) {
    actionSuites_.Register(basic_);
    UpdateHostWindow();
    ResetFilterRecord();
}

HostSession::~HostSession() {
    // Everything lent to the plug-in goes with the session; the handle store frees its own.
    scriptDescriptors_.Clear();
    actionSuites_.Clear();
    if (currentSession == this) currentSession = nullptr;
}

HostSession::CallScope::CallScope(HostSession& session) : previous_(currentSession), active_(session.basic_) {
    currentSession = &session;
}
HostSession::CallScope::~CallScope() { currentSession = previous_; }

bool HostSession::IsKeptHandle(Handle h) const {
    if (!h) return false;
    return h == reinterpret_cast<Handle>(data_) || h == filter_.parameters ||
           h == scriptDescriptors_.record()->descriptor;
}

std::size_t HostSession::LeakedHandles() const {
    std::size_t leaked = 0;
    for (const Handle h : handles_.LiveHandles()) {
        if (!IsKeptHandle(h)) ++leaked;
    }
    return leaked;
}

void HostSession::SetOptions(const HostOptions& options) {
    options_ = options;
    UpdateHostWindow();
    ResetFilterRecord();
}

void HostSession::UpdateHostWindow() {
    colorServices_.SetPickAnswer(options_.pickColor);
    // A user at the screen picks colours in a chooser; unattended runs answer without one.
    colorServices_.SetChooser(options_.colourChooser ? options_.colourChooser : ColorServicesHost::Chooser());
    if (!options_.makeHostWindow || options_.hostWindow) {
        window_.reset();
        windowProblem_.clear();
    } else if (!window_) {
        windowProblem_.clear();
        window_ = HostWindow::Create(kProgramName, &windowProblem_);
    }
}

void* HostSession::HostWindowHandle() const {
    if (options_.hostWindow) return options_.hostWindow;
    return window_ ? window_->handle() : nullptr;
}

ColorEngine& HostSession::colorEngine() {
    if (!engine_) engine_ = std::make_unique<ColorEngine>();
    return *engine_;
}

void HostSession::SetDocument(const Document& document) {
    document_ = document;
    ResetFilterRecord();
}

HostSession* HostSession::Current() { return currentSession; }

void HostSession::BuildAboutRecord() {
    about_ = AboutRecord{};
    platformData_.hwnd = HostWindowHandle();
    about_.platformData = &platformData_;
    about_.sSPBasic = options_.basicSuite ? basic_.table() : nullptr;
}

void HostSession::ResetFilterRecord() {
    const Document& doc = document_;
    platformData_.hwnd = HostWindowHandle();

    FilterRecord& r = filter_;
    const Handle parameters = r.parameters;
    r = FilterRecord{};
    r.parameters = parameters;
    ApplyCallbacks();

    r.serialNumber = 0;
    r.imageSize = Point{Clamp16(doc.height), Clamp16(doc.width)};
    r.planes = doc.planes();
    r.filterRect = ::Rect{0, 0, Clamp16(doc.height), Clamp16(doc.width)};
    r.background = PSRGBColor{65535, 65535, 65535};  // white
    r.foreground = PSRGBColor{0, 0, 0};              // black
    FillModeColors(doc.mode, r.backColor, r.foreColor);
    r.maxSpace = options_.maxSpace;
    r.maxSpace64 = options_.maxSpace;
    r.hostSig = kHostSignature;
    r.imageMode = doc.mode;
    r.imageHRes = r.imageVRes = Fixed(doc.resolution) << 16;
    r.wholeSize = r.imageSize;
    r.monitor = StandardMonitor();
    r.platformData = &platformData_;
    r.errorString = options_.errorString ? &errorBuffer_.text : nullptr;
    r.inputRate = r.maskRate = Fixed(1) << 16;
    r.filterCase = doc.transparency ? filterCaseEditableTransparencyNoSelection : filterCaseFlatImageNoSelection;
    r.inLayerPlanes = r.outLayerPlanes = r.absLayerPlanes = doc.colorPlanes;
    r.inTransparencyMask = r.outTransparencyMask = r.absTransparencyMask = doc.transparency ? 1 : 0;
    r.sSPBasic = options_.basicSuite ? basic_.table() : nullptr;
    r.depth = doc.depth;

    bigDocument_ = BigDocumentStruct{};
    bigDocument_.imageSize32 = VPoint{doc.height, doc.width};
    bigDocument_.filterRect32 = VRect{0, 0, doc.height, doc.width};
    bigDocument_.wholeSize32 = bigDocument_.imageSize32;
    r.bigDocumentData = options_.bigDocument ? &bigDocument_ : nullptr;
    if (hooks_) hooks_->OnRecordReset(r, bigDocument_);
}

void HostSession::SetHooks(SessionHooks* hooks) {
    hooks_ = hooks;
    ResetFilterRecord();
}

void HostSession::ApplyCallbacks() {
    FilterRecord& r = filter_;
    r.abortProc = callbacks_.Present(HostCallback::Abort) ? &HostSession::AbortProc : nullptr;
    r.progressProc = callbacks_.Present(HostCallback::Progress) ? &HostSession::ProgressProc : nullptr;
    r.advanceState = callbacks_.Present(HostCallback::AdvanceState) ? &HostSession::AdvanceStateProc : nullptr;
    r.displayPixels = callbacks_.Present(HostCallback::DisplayPixels) ? &HostSession::DisplayPixelsProc : nullptr;
    r.colorServices = callbacks_.Present(HostCallback::ColorServices) ? &HostSession::ColorServicesProc : nullptr;
    r.hostProc = &HostSession::HostProcProc;
    r.processEvent = &HostSession::ProcessEventProc;
    r.getPropertyObsolete = UnservedGetProperty();
    resourceProcs_ = UnservedResourceProcs();
    propertyProcs_ = UnservedPropertyProcs();
    imageServicesProcs_ = UnservedImageServicesProcs();
    channelPortProcs_ = UnservedChannelPortProcs();
    r.resourceProcs = &resourceProcs_;
    r.propertyProcs = &propertyProcs_;
    r.imageServicesProcs = &imageServicesProcs_;
    r.channelPortProcs = &channelPortProcs_;
    FillHandleProcs(handleProcs_, callbacks_);
    r.handleProcs = options_.handleProcs ? &handleProcs_ : nullptr;
    scriptDescriptors_.Apply(options_.readDescriptorProcs, options_.writeDescriptorProcs, callbacks_);
    r.descriptorParameters = options_.descriptorParameters ? scriptDescriptors_.record() : nullptr;
    actionSuites_.Apply(callbacks_);
}

void HostSession::PrepareErrorString() {
    std::fill(std::begin(errorBuffer_.text), std::end(errorBuffer_.text), uint8(0));
    std::fill(std::begin(errorBuffer_.guard), std::end(errorBuffer_.guard), kGuardByte);
    errorStringOverrun_ = false;
}

void HostSession::CheckErrorString() {
    errorStringOverrun_ = std::any_of(std::begin(errorBuffer_.guard), std::end(errorBuffer_.guard),
                                      [](uint8 b) { return b != kGuardByte; });
}

std::string HostSession::ErrorText() const {
    if (!options_.errorString) return {};
    // The buffer holds 256 bytes, so any length byte fits.
    return std::string(reinterpret_cast<const char*>(errorBuffer_.text + 1), errorBuffer_.text[0]);
}

int16 HostSession::Call(const PluginModule& module, int16 selector) { return Call(module.entry(), selector); }

int16 HostSession::Call(PluginEntryProc entry, int16 selector) {
    void* record = nullptr;
    if (selector == filterSelectorAbout) {
        BuildAboutRecord();
        record = &about_;
    } else {
        ApplyCallbacks();
        record = &filter_;
    }
    PrepareErrorString();
    result_ = options_.initialResult;
    messageBoxes_.clear();
    {
        std::optional<MessageBoxWatch> watch;
        if (MessageBoxWatch::Wanted()) watch.emplace(HostWindowHandle());
        CurrentScope current(this);
        BasicSuite::ActiveScope active(basic_);
        SessionHooks* hooks = selector == filterSelectorAbout ? nullptr : hooks_;
        if (hooks) hooks->BeforeCall(selector, filter_);
        entry(selector, record, &data_, &result_);
        if (hooks) hooks->AfterCall(selector, result_, filter_);
        if (watch) messageBoxes_ = watch->boxes();
    }
    CheckErrorString();
    return result_;
}

Boolean HostSession::AbortProc() {
    HostSession* self = Current();
    if (!self) return false;
    return self->callbacks_.Enter(HostCallback::Abort) ? 1 : 0;
}

// The host offers no host-specific procedures and no event loop to hand events to.
void HostSession::HostProcProc(int16, intptr_t*) {}
void HostSession::ProcessEventProc(void*) {}

void HostSession::ProgressProc(int32 done, int32 total) {
    HostSession* self = Current();
    if (!self) return;
    self->callbacks_.Enter(HostCallback::Progress);
    self->progressDone_ = done;
    self->progressTotal_ = total;
    if (self->hooks_) self->hooks_->OnProgress(done, total);
}

OSErr HostSession::AdvanceStateProc() {
    HostSession* self = Current();
    if (!self) return paramErr;
    if (self->callbacks_.Enter(HostCallback::AdvanceState)) return self->callbacks_.FailureCode(HostCallback::AdvanceState);
    if (self->hooks_) return self->hooks_->AdvanceState(self->filter_);
    // Without a pixel host the request is accepted and nothing is delivered.
    self->filter_.inData = nullptr;
    self->filter_.outData = nullptr;
    self->filter_.maskData = nullptr;
    return noErr;
}

OSErr HostSession::DisplayPixelsProc(const PSPixelMap* source, const VRect* srcRect, int32 dstRow, int32 dstCol,
                                     void* platformContext) {
    HostSession* self = Current();
    if (!self) return paramErr;
    if (self->callbacks_.Enter(HostCallback::DisplayPixels)) return self->callbacks_.FailureCode(HostCallback::DisplayPixels);
    // Gray and RGB are shown without the colour engine, which takes a moment to set up.
    const bool direct = !source || source->imageMode == plugInModeRGBColor || source->imageMode == plugInModeGrayScale;
    return DisplayPixelMap(source, srcRect, dstRow, dstCol, static_cast<DisplayContext>(platformContext),
                           direct ? nullptr : &self->colorEngine(), self->problems_);
}

OSErr HostSession::ColorServicesProc(ColorServicesInfo* info) {
    HostSession* self = Current();
    if (!self) return paramErr;
    if (self->callbacks_.Enter(HostCallback::ColorServices)) return self->callbacks_.FailureCode(HostCallback::ColorServices);
    return self->colorServices_.Serve(info, self->filter_, [self]() -> ColorEngine& { return self->colorEngine(); },
                                      self->problems_);
}

}  // namespace hostsim
