#include "raw_host.h"

#include <algorithm>
#include <cstdlib>

namespace raw_abi {

namespace {

// Codes of the interface.
constexpr int16_t kNoErr = 0;
constexpr int16_t kParamErr = -50;
constexpr int16_t kMemFullErr = -108;
constexpr int16_t kNilHandleErr = -109;
constexpr int32_t kSuiteNotFound = 0x53214664;     // 'S!Fd'
constexpr int32_t kBadParameter = 0x5061726D;      // 'Parm'
constexpr int32_t kUnimplemented = 0x21494D50;     // '!IMP'
constexpr int16_t kSelectorContinue = 4;
constexpr int16_t kSelectorStart = 3;
constexpr int16_t kSelectorAbout = 0;

constexpr int32_t kHostSpace = 64 * 1024 * 1024;

template <class Fn>
void PutProc(Bytes& bytes, std::size_t offset, Fn fn) {
    bytes.Put(offset, reinterpret_cast<void*>(fn));
}

bool Empty(const std::array<int, 4>& r) { return r[3] <= r[1] || r[2] <= r[0]; }

}  // namespace

RawHost* RawHost::current_ = nullptr;

void Bytes::PutRect(std::size_t offset, int top, int left, int bottom, int right) {
    Put(offset, int16_t(top));
    Put(offset + 2, int16_t(left));
    Put(offset + 4, int16_t(bottom));
    Put(offset + 6, int16_t(right));
}

std::array<int, 4> Bytes::GetRect(std::size_t offset) const {
    return {Get<int16_t>(offset), Get<int16_t>(offset + 2), Get<int16_t>(offset + 4), Get<int16_t>(offset + 6)};
}

RawHost::RawHost(Document document) : document_(std::move(document)) {
    // Buffer procs: version 2, the first five entries.
    bufferProcs_.Put(0, int16_t(2));
    bufferProcs_.Put(2, int16_t(5));
    PutProc(bufferProcs_, tables::Slot(0), &AllocateBuffer);
    PutProc(bufferProcs_, tables::Slot(1), &LockBuffer);
    PutProc(bufferProcs_, tables::Slot(2), &UnlockBuffer);
    PutProc(bufferProcs_, tables::Slot(3), &FreeBuffer);
    PutProc(bufferProcs_, tables::Slot(4), &BufferSpace);

    // Handle procs: version 1, eight entries; a regular handle is one of ours.
    handleProcs_.Put(0, int16_t(1));
    handleProcs_.Put(2, int16_t(8));
    PutProc(handleProcs_, tables::Slot(0), &NewHandle);
    PutProc(handleProcs_, tables::Slot(1), &DisposeHandle);
    PutProc(handleProcs_, tables::Slot(2), &GetHandleSize);
    PutProc(handleProcs_, tables::Slot(3), &SetHandleSize);
    PutProc(handleProcs_, tables::Slot(4), &LockHandle);
    PutProc(handleProcs_, tables::Slot(5), &UnlockHandle);
    PutProc(handleProcs_, tables::Slot(6), &RecoverSpace);
    PutProc(handleProcs_, tables::Slot(7), &DisposeHandle);

    // Basic suite: no header; it knows no suites.
    PutProc(basicSuite_, 0, &AcquireSuite);
    PutProc(basicSuite_, 8, &ReleaseSuite);
    PutProc(basicSuite_, 16, &IsEqual);
    PutProc(basicSuite_, 24, &AllocateBlock);
    PutProc(basicSuite_, 32, &FreeBlock);
    PutProc(basicSuite_, 40, &ReallocateBlock);
    PutProc(basicSuite_, 48, &Undefined);

    about_.Put(about::platformData, static_cast<void*>(platformData_.data()));
    about_.Put(about::sSPBasic, static_cast<void*>(basicSuite_.data()));

    Bytes& r = record_;
    const int w = document_.width, h = document_.height;
    r.Put(fr::serialNumber, int32_t(0));
    PutProc(r, fr::abortProc, &Abort);
    PutProc(r, fr::progressProc, &Progress);
    r.Put(fr::imageSize, int16_t(h));
    r.Put(fr::imageSize + 2, int16_t(w));
    r.Put(fr::planes, int16_t(document_.planes));
    r.PutRect(fr::filterRect, 0, 0, h, w);
    for (int i = 0; i < 3; ++i) r.Put(fr::background + 2 * std::size_t(i), uint16_t(0xFFFF));
    r.Put(fr::maxSpace, kHostSpace);
    r.Put(fr::hostSig, uint32_t(0x52617748));  // 'RawH'
    r.Put(fr::imageMode, int16_t(3));          // RGB
    r.Put(fr::imageHRes, int32_t(72 << 16));
    r.Put(fr::imageVRes, int32_t(72 << 16));
    r.Put(fr::wholeSize, int16_t(h));
    r.Put(fr::wholeSize + 2, int16_t(w));
    r.Put(fr::platformData, static_cast<void*>(platformData_.data()));
    r.Put(fr::bufferProcs, static_cast<void*>(bufferProcs_.data()));
    r.Put(fr::handleProcs, static_cast<void*>(handleProcs_.data()));
    r.Put(fr::filterCase, int16_t(1));  // flat image, no selection
    PutProc(r, fr::advanceState, &AdvanceState);
    r.Put(fr::samplingSupport, char(0));  // every pixel, no sampling
    r.Put(fr::inputRate, int32_t(1 << 16));
    r.Put(fr::maskRate, int32_t(1 << 16));
    r.Put(fr::inLayerPlanes, int16_t(document_.planes));
    r.Put(fr::outLayerPlanes, int16_t(document_.planes));
    r.Put(fr::absLayerPlanes, int16_t(document_.planes));
    r.Put(fr::errorString, static_cast<void*>(errorString_.data()));
    r.Put(fr::sSPBasic, static_cast<void*>(basicSuite_.data()));
    r.Put(fr::depth, int32_t(8));
}

RawHost::~RawHost() {
    if (current_ == this) current_ = nullptr;
}

int16_t RawHost::Call(PluginEntry entry, int16_t selector) {
    current_ = this;
    result_ = presetResult;
    if (selector == kSelectorAbout) {
        entry(selector, about_.data(), &data_, &result_);
        return result_;
    }
    entry(selector, record_.data(), &data_, &result_);
    Commit();
    if (selector == kSelectorStart) {
        // Classic hosts keep calling Continue while the plug-in still names data it wants.
        for (int rounds = 0; result_ == kNoErr && HasRequests(); ++rounds) {
            if (rounds > 100000) {
                problems_.push_back("Continue never ended");
                break;
            }
            ServeRequests();
            entry(kSelectorContinue, record_.data(), &data_, &result_);
            Commit();
        }
    }
    in_.clear();
    record_.Put(fr::inData, static_cast<void*>(nullptr));
    record_.Put(fr::outData, static_cast<void*>(nullptr));
    return result_;
}

bool RawHost::HasRequests() const {
    return !Empty(record_.GetRect(fr::inRect)) || !Empty(record_.GetRect(fr::outRect)) ||
           !Empty(record_.GetRect(fr::maskRect));
}

std::vector<uint8_t> RawHost::Gather(const std::array<int, 4>& rect, int lo, int hi, int padding) const {
    const int n = hi - lo + 1;
    const int w = rect[3] - rect[1];
    std::vector<uint8_t> data(std::size_t(w) * std::size_t(rect[2] - rect[0]) * std::size_t(n));
    std::size_t at = 0;
    for (int y = rect[0]; y < rect[2]; ++y) {
        for (int x = rect[1]; x < rect[3]; ++x) {
            const bool inside = x >= 0 && y >= 0 && x < document_.width && y < document_.height;
            for (int p = lo; p <= hi; ++p)
                data[at++] = inside ? document_.At(x, y)[p] : uint8_t(padding >= 0 ? padding : 0);
        }
    }
    return data;
}

void RawHost::ServeRequests() {
    Bytes& r = record_;
    const std::array<int, 4> inRect = r.GetRect(fr::inRect);
    int inLo = r.Get<int16_t>(fr::inLoPlane), inHi = r.Get<int16_t>(fr::inHiPlane);
    const std::array<int, 4> outRect = r.GetRect(fr::outRect);
    int outLo = r.Get<int16_t>(fr::outLoPlane), outHi = r.Get<int16_t>(fr::outHiPlane);
    if (clampPlanes) {
        const int last = document_.planes - 1;
        inLo = std::clamp(inLo, 0, last);
        inHi = std::clamp(inHi, 0, last);
        outLo = std::clamp(outLo, 0, last);
        outHi = std::clamp(outHi, 0, last);
    }
    if (r.Get<int32_t>(fr::inputRate) != (1 << 16)) problems_.push_back("a sampled read from a host that offers none");
    if (r.Get<int16_t>(fr::wantLayout) != 0) problems_.push_back("a layout the host does not offer");

    const bool planesOk = inLo >= 0 && inHi < document_.planes && outLo >= 0 && outHi < document_.planes;
    if (!planesOk) problems_.push_back("planes beyond the document");

    in_.clear();
    if (!Empty(inRect) && inHi >= inLo && planesOk) {
        in_ = Gather(inRect, inLo, inHi, r.Get<int16_t>(fr::inputPadding));
        r.Put(fr::inData, static_cast<void*>(in_.data()));
        r.Put(fr::inRowBytes, int32_t((inRect[3] - inRect[1]) * (inHi - inLo + 1)));
        r.Put(fr::inColumnBytes, int32_t(inHi - inLo + 1));
        r.Put(fr::inPlaneBytes, int32_t(1));
    } else {
        r.Put(fr::inData, static_cast<void*>(nullptr));
    }

    out_.clear();
    outHi_ = -1;
    if (!Empty(outRect) && outHi >= outLo && planesOk) {
        const std::array<int, 4> clipped{std::max(outRect[0], 0), std::max(outRect[1], 0),
                                         std::min(outRect[2], document_.height), std::min(outRect[3], document_.width)};
        if (clipped != outRect) problems_.push_back("output rectangle outside the document");
        out_ = Gather(outRect, outLo, outHi, 0);
        outRect_ = outRect;
        outLo_ = outLo;
        outHi_ = outHi;
        r.Put(fr::outData, static_cast<void*>(out_.data()));
        r.Put(fr::outRowBytes, int32_t((outRect[3] - outRect[1]) * (outHi - outLo + 1)));
        r.Put(fr::outColumnBytes, int32_t(outHi - outLo + 1));
        r.Put(fr::outPlaneBytes, int32_t(1));
    } else {
        r.Put(fr::outData, static_cast<void*>(nullptr));
    }
    // No selection: there is never mask data.
    r.Put(fr::maskData, static_cast<void*>(nullptr));
}

// The output lent at the last request goes back into the document.
void RawHost::Commit() {
    if (outHi_ < outLo_ || out_.empty()) return;
    std::size_t at = 0;
    for (int y = outRect_[0]; y < outRect_[2]; ++y) {
        for (int x = outRect_[1]; x < outRect_[3]; ++x) {
            const bool inside = x >= 0 && y >= 0 && x < document_.width && y < document_.height;
            for (int p = outLo_; p <= outHi_; ++p, ++at)
                if (inside) document_.At(x, y)[p] = out_[at];
        }
    }
    out_.clear();
    outHi_ = -1;
}

int16_t RawHost::AdvanceState() {
    RawHost* self = current_;
    if (!self) return kParamErr;
    ++self->advanceCalls_;
    self->Commit();
    self->ServeRequests();
    return kNoErr;
}

uint8_t RawHost::Abort() {
    // The module asks between tiles whether to stop; this host never does.
    if (current_) ++current_->abortCalls_;
    return 0;
}

void RawHost::Progress(int32_t, int32_t) {}

int16_t RawHost::AllocateBuffer(int32_t size, void** id) {
    RawHost* self = current_;
    if (!self || !id || size < 0) return kParamErr;
    std::vector<char> block(std::size_t(std::max(size, 1)));
    void* key = block.data();
    self->buffers_[key] = std::move(block);
    *id = key;
    return kNoErr;
}

char* RawHost::LockBuffer(void* id, uint8_t) {
    RawHost* self = current_;
    if (!self || !self->buffers_.count(id)) return nullptr;
    return self->buffers_[id].data();
}

void RawHost::UnlockBuffer(void*) {}

void RawHost::FreeBuffer(void* id) {
    if (current_ && current_->buffers_.erase(id) == 0) current_->problems_.push_back("freeProc: unknown buffer");
}

int32_t RawHost::BufferSpace() { return kHostSpace; }

char** RawHost::NewHandle(int32_t size) {
    RawHost* self = current_;
    if (!self || size < 0) return nullptr;
    Handle handle;
    handle.data.resize(std::size_t(size));
    handle.master = std::make_unique<char*>(handle.data.data());
    char** h = handle.master.get();
    self->handles_[h] = std::move(handle);
    return h;
}

void RawHost::DisposeHandle(char** h) {
    if (h && current_ && current_->handles_.erase(h) == 0) current_->problems_.push_back("dispose: unknown handle");
}

int32_t RawHost::GetHandleSize(char** h) {
    if (!current_ || !current_->handles_.count(h)) return 0;
    return int32_t(current_->handles_[h].data.size());
}

int16_t RawHost::SetHandleSize(char** h, int32_t size) {
    if (!current_ || !current_->handles_.count(h)) return kNilHandleErr;
    if (size < 0) return kMemFullErr;
    Handle& handle = current_->handles_[h];
    handle.data.resize(std::size_t(size));
    *handle.master = handle.data.data();
    return kNoErr;
}

char* RawHost::LockHandle(char** h, uint8_t) {
    if (!current_ || !current_->handles_.count(h)) return nullptr;
    return *h;
}

void RawHost::UnlockHandle(char**) {}
void RawHost::RecoverSpace(int32_t) {}

int32_t RawHost::AcquireSuite(const char*, int32_t, const void** suite) {
    if (suite) *suite = nullptr;
    return kSuiteNotFound;
}

int32_t RawHost::ReleaseSuite(const char*, int32_t) {
    if (current_) current_->problems_.push_back("a suite released that was never acquired");
    return kSuiteNotFound;
}

int32_t RawHost::IsEqual(const char* a, const char* b) { return a && b && std::strcmp(a, b) == 0; }

int32_t RawHost::AllocateBlock(std::size_t size, void** block) {
    if (!block) return kBadParameter;
    *block = std::malloc(size ? size : 1);
    return *block ? 0 : int32_t(kMemFullErr);
}

int32_t RawHost::FreeBlock(void* block) {
    std::free(block);
    return 0;
}

int32_t RawHost::ReallocateBlock(void* block, std::size_t size, void** newBlock) {
    if (!newBlock) return kBadParameter;
    void* grown = std::realloc(block, size ? size : 1);
    if (!grown) return int32_t(kMemFullErr);
    *newBlock = grown;
    return 0;
}

int32_t RawHost::Undefined() { return kUnimplemented; }

}  // namespace raw_abi
