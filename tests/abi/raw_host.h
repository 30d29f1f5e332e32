// A second, independent host for the module: the filter record, the About record and the
// callback tables are byte arrays filled at the offsets the interface publishes for 64-bit
// Windows, with nothing taken from the project's own declarations of the interface. If those
// declarations and the published layout ever part, the module and this host disagree and
// the tests that drive the module through it fail.
//
// It offers what a plain classic host offers: advanceState over an 8-bit interleaved document,
// buffer procs (the first five), handle procs, a basic suite that knows no suites, progress
// and abort. No descriptor parameters, no colour services, no display callback, no 32-bit
// coordinates, no document description.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace raw_abi {

// Offsets and sizes from the published interface (x64).
namespace fr {
constexpr std::size_t kSize = 608;
constexpr std::size_t serialNumber = 0, abortProc = 4, progressProc = 12, parameters = 20, imageSize = 28,
                      planes = 32, filterRect = 34, background = 42, foreground = 48, maxSpace = 56,
                      bufferSpace = 60, inRect = 64, inLoPlane = 72, inHiPlane = 74, outRect = 76, outLoPlane = 84,
                      outHiPlane = 86, inData = 88, inRowBytes = 96, outData = 100, outRowBytes = 108,
                      isFloating = 112, haveMask = 113, autoMask = 114, maskRect = 116, maskData = 124,
                      maskRowBytes = 132, backColor = 136, foreColor = 140, hostSig = 144, hostProc = 148,
                      imageMode = 156, imageHRes = 160, imageVRes = 164, floatCoord = 168, wholeSize = 172,
                      monitor = 176, platformData = 216, bufferProcs = 224, resourceProcs = 232,
                      processEvent = 240, displayPixels = 248, handleProcs = 256, supportsDummyChannels = 264,
                      supportsAlternateLayouts = 265, wantLayout = 266, filterCase = 268, dummyPlaneValue = 270,
                      premiereHook = 272, advanceState = 280, supportsAbsolute = 288, wantsAbsolute = 289,
                      getPropertyObsolete = 292, cannotUndo = 300, supportsPadding = 301, inputPadding = 302,
                      outputPadding = 304, maskPadding = 306, samplingSupport = 308, inputRate = 312,
                      maskRate = 316, colorServices = 320, inLayerPlanes = 328, inTransparencyMask = 330,
                      outLayerPlanes = 338, outTransparencyMask = 340, absLayerPlanes = 348,
                      absTransparencyMask = 350, inPreDummyPlanes = 358, inPostDummyPlanes = 360,
                      outPreDummyPlanes = 362, outPostDummyPlanes = 364, inColumnBytes = 368, inPlaneBytes = 372,
                      outColumnBytes = 376, outPlaneBytes = 380, imageServicesProcs = 384, propertyProcs = 392,
                      outTileHeight = 416, outTileWidth = 418, descriptorParameters = 432, errorString = 440,
                      channelPortProcs = 448, documentInfo = 456, sSPBasic = 464, plugInRef = 472, depth = 480,
                      bigDocumentData = 504, maxSpace64 = 552;
}  // namespace fr
namespace about {
constexpr std::size_t kSize = 272, platformData = 0, sSPBasic = 8, plugInRef = 16;
}
// Callback tables: a 2-byte version and a 2-byte count, then 8-byte slots from offset 8.
namespace tables {
constexpr std::size_t kBufferProcsSize = 72, kHandleProcsSize = 72, kBasicSuiteSize = 56;
constexpr std::size_t Slot(int index) { return 8 + 8 * std::size_t(index); }
}  // namespace tables

// A little-endian byte block written and read at offsets.
class Bytes {
public:
    explicit Bytes(std::size_t size) : bytes_(size, 0) {}
    template <class T>
    void Put(std::size_t offset, T value) {
        std::memcpy(bytes_.data() + offset, &value, sizeof value);
    }
    template <class T>
    T Get(std::size_t offset) const {
        T value{};
        std::memcpy(&value, bytes_.data() + offset, sizeof value);
        return value;
    }
    // A 16-bit rectangle (top, left, bottom, right).
    void PutRect(std::size_t offset, int top, int left, int bottom, int right);
    std::array<int, 4> GetRect(std::size_t offset) const;
    uint8_t* data() { return bytes_.data(); }
    std::size_t size() const { return bytes_.size(); }

private:
    std::vector<uint8_t> bytes_;
};

// An 8-bit document with interleaved samples.
struct Document {
    int width = 0;
    int height = 0;
    int planes = 0;
    std::vector<uint8_t> samples;
    uint8_t* At(int x, int y) { return samples.data() + (std::size_t(y) * width + x) * planes; }
    const uint8_t* At(int x, int y) const { return samples.data() + (std::size_t(y) * width + x) * planes; }
};

using PluginEntry = void (*)(int16_t selector, void* record, intptr_t* data, int16_t* result);

class RawHost {
public:
    explicit RawHost(Document document);
    ~RawHost();
    RawHost(const RawHost&) = delete;
    RawHost& operator=(const RawHost&) = delete;

    // One call of the entry point: the About record for selector 0, the filter record else.
    // After Start (and each Continue) the host calls Continue while the plug-in still asks
    // for data, as a classic host does. Returns the result slot.
    int16_t Call(PluginEntry entry, int16_t selector);

    // What the result slot holds before each call; one editor pre-sets 1.
    int16_t presetResult = 0;
    // Lends what it has of a request for planes beyond the document, as some hosts do, instead
    // of refusing it.
    bool clampPlanes = false;

    const Document& document() const { return document_; }
    Bytes& record() { return record_; }
    // What the host saw that a plug-in must not do.
    const std::vector<std::string>& problems() const { return problems_; }
    int advanceCalls() const { return advanceCalls_; }
    int abortCalls() const { return abortCalls_; }
    std::size_t liveHandles() const { return handles_.size(); }
    // Size of one of the host's handles; -1 for anything else.
    int64_t HandleSize(char** h) const {
        const auto it = handles_.find(h);
        return it == handles_.end() ? -1 : int64_t(it->second.data.size());
    }
    std::size_t liveBuffers() const { return buffers_.size(); }

private:
    static RawHost* current_;

    void Commit();
    void ServeRequests();
    bool HasRequests() const;
    std::vector<uint8_t> Gather(const std::array<int, 4>& rect, int lo, int hi, int padding) const;

    // Callbacks, with the widths the interface gives them.
    static int16_t AdvanceState();
    static uint8_t Abort();
    static void Progress(int32_t done, int32_t total);
    static int16_t AllocateBuffer(int32_t size, void** id);
    static char* LockBuffer(void* id, uint8_t moveHigh);
    static void UnlockBuffer(void* id);
    static void FreeBuffer(void* id);
    static int32_t BufferSpace();
    static char** NewHandle(int32_t size);
    static void DisposeHandle(char** h);
    static int32_t GetHandleSize(char** h);
    static int16_t SetHandleSize(char** h, int32_t size);
    static char* LockHandle(char** h, uint8_t moveHigh);
    static void UnlockHandle(char** h);
    static void RecoverSpace(int32_t size);
    static int32_t AcquireSuite(const char* name, int32_t version, const void** suite);
    static int32_t ReleaseSuite(const char* name, int32_t version);
    static int32_t IsEqual(const char* a, const char* b);
    static int32_t AllocateBlock(std::size_t size, void** block);
    static int32_t FreeBlock(void* block);
    static int32_t ReallocateBlock(void* block, std::size_t size, void** newBlock);
    static int32_t Undefined();

    Document document_;
    Bytes record_{fr::kSize};
    Bytes about_{about::kSize};
    Bytes bufferProcs_{tables::kBufferProcsSize};
    Bytes handleProcs_{tables::kHandleProcsSize};
    Bytes basicSuite_{tables::kBasicSuiteSize};
    Bytes platformData_{8};
    std::array<uint8_t, 256> errorString_{};
    intptr_t data_ = 0;
    int16_t result_ = 0;

    // Data lent for the current requests, and where the output goes back to.
    std::vector<uint8_t> in_;
    std::vector<uint8_t> out_;
    std::array<int, 4> outRect_{};
    int outLo_ = 0, outHi_ = -1;

    struct Handle {
        std::unique_ptr<char*> master;
        std::vector<char> data;
    };
    std::map<char**, Handle> handles_;
    std::map<void*, std::vector<char>> buffers_;
    std::vector<std::string> problems_;
    int advanceCalls_ = 0;
    int abortCalls_ = 0;
};

}  // namespace raw_abi
