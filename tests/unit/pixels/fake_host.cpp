#include "fake_host.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace fake {

FakeHost* FakeHost::current = nullptr;

namespace {

double Load(const uint8* p, int32 depth) {
    if (depth == 8) return *p / 255.0;
    if (depth == 16) {
        uint16 v;
        std::memcpy(&v, p, 2);
        return v / 32768.0;
    }
    float f;
    std::memcpy(&f, p, 4);
    return f;
}

void Store(uint8* p, int32 depth, double v) {
    if (depth == 8) {
        *p = uint8(std::clamp(std::lround(v * 255.0), 0L, 255L));
    } else if (depth == 16) {
        const uint16 s = uint16(std::clamp(std::lround(v * 32768.0), 0L, 32768L));
        std::memcpy(p, &s, 2);
    } else {
        const float f = float(v);
        std::memcpy(p, &f, 4);
    }
}

void CopySample(const uint8* from, int32 fromDepth, uint8* to, int32 toDepth) {
    if (fromDepth == toDepth)
        std::memcpy(to, from, size_t(fromDepth / 8));
    else
        Store(to, toDepth, Load(from, fromDepth));
}

uint8* DescAt(const PixelMemoryDesc* d, int64_t col, int64_t row) {
    return static_cast<uint8*>(d->data) + (row * d->rowBits + col * d->colBits + d->bitOffset) / 8;
}

bool Empty(const VRect& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

struct FakeHost::Port {
    std::vector<uint8>* samples = nullptr;
    VRect bounds{};
    int32 depth = 8;
    bool hidden = false;
    std::vector<uint8> own;  // pixel-memory ports
    uint8* At(int32 x, int32 y) {
        return samples->data() + (int64_t(y - bounds.top) * (bounds.right - bounds.left) + (x - bounds.left)) *
                                     (depth / 8);
    }
    bool Inside(int32 x, int32 y) const {
        return x >= bounds.left && x < bounds.right && y >= bounds.top && y < bounds.bottom;
    }
};

struct FakeHost::Served {
    uint8* block = nullptr;
    VRect rect{};
    int32 lo = 0, hi = -1;
    int32 rowBytes = 0, colBytes = 0, planeBytes = 0;
    bool mask = false;
    void Release() {
        std::free(block);
        block = nullptr;
    }
};

struct Block {
    void* base;
    int32 size;
};

struct Callbacks {
    static FakeHost& H() { return *FakeHost::current; }

    static OSErr Advance() { return H().Advance(); }
    static void Progress(int32 done, int32 total) { H().progress.emplace_back(done, total); }

    static OSErr Allocate(int32 size, BufferID* id) {
        FakeHost& h = H();
        ++h.allocateCalls;
        h.allocateSizes.push_back(size);
        if (h.failAllocateAt == h.allocateCalls || size < 0) return memFullErr;
        auto* block = new Block{std::malloc(size_t(size) + 8), size};
        ++h.liveBuffers;
        *id = reinterpret_cast<BufferID>(block);
        return noErr;
    }
    // Deliberately only 8-byte aligned: the plug-in rounds up to 16 itself.
    static Ptr Lock(BufferID id, Boolean) {
        FakeHost& h = H();
        ++h.lockCalls;
        if (h.failLockAt == h.lockCalls) return nullptr;
        return static_cast<char*>(reinterpret_cast<Block*>(id)->base) + 8;
    }
    static void Unlock(BufferID) {}
    static void Free(BufferID id) {
        auto* block = reinterpret_cast<Block*>(id);
        std::free(block->base);
        delete block;
        --H().liveBuffers;
    }
    static int32 Space() { return 1 << 30; }

    static SPErr Acquire(const char* name, int32, const void** suite) {
        FakeHost& h = H();
        if (std::strcmp(name, kPSChannelPortsSuite) == 0 && h.options.channelPorts) {
            *suite = &h.ports;
        } else if (std::strcmp(name, kPSColorSpaceSuite) == 0 && h.options.colorSpace) {
            *suite = &h.colors;
        } else {
            return kSPSuiteNotFoundError;
        }
        ++h.liveSuites;
        return kSPNoError;
    }
    static SPErr Release(const char*, int32) {
        --H().liveSuites;
        return kSPNoError;
    }

    static SPErr ReadLevel(PIChannelPort port, int32 level, VRect* rect, const PixelMemoryDesc* d) {
        FakeHost& h = H();
        if (++h.portReads == h.failPortReadAt) return kSPBadParameterError;
        auto* p = reinterpret_cast<FakeHost::Port*>(port);
        if (level != 0 || d->depth != p->depth) return kSPBadParameterError;
        for (int32 y = rect->top; y < rect->bottom; ++y)
            for (int32 x = rect->left; x < rect->right; ++x) {
                if (!p->Inside(x, y)) return kSPBadParameterError;
                CopySample(p->At(x, y), p->depth, DescAt(d, x - rect->left, y - rect->top), d->depth);
            }
        return kSPNoError;
    }
    static SPErr ReadScaled(PIChannelPort port, VRect* rect, const PSScaling* s, const PixelMemoryDesc* d) {
        FakeHost& h = H();
        if (++h.portReads == h.failPortReadAt) return kSPBadParameterError;
        auto* p = reinterpret_cast<FakeHost::Port*>(port);
        const VRect& src = s->sourceRect;
        const VRect& dst = s->destinationRect;
        const int64_t sw = src.right - src.left, sh = src.bottom - src.top;
        const int64_t dw = dst.right - dst.left, dh = dst.bottom - dst.top;
        if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return kSPBadParameterError;
        for (int32 y = rect->top; y < rect->bottom; ++y)
            for (int32 x = rect->left; x < rect->right; ++x) {
                const int32 sx = int32(src.left + (x - dst.left) * sw / dw);
                const int32 sy = int32(src.top + (y - dst.top) * sh / dh);
                if (!p->Inside(sx, sy)) return kSPBadParameterError;
                CopySample(p->At(sx, sy), p->depth, DescAt(d, x - rect->left, y - rect->top), d->depth);
            }
        return kSPNoError;
    }
    static SPErr Write(PIChannelPort port, VRect* rect, const PixelMemoryDesc* d) {
        FakeHost& h = H();
        if (++h.portWrites == h.failPortWriteAt) return kSPBadParameterError;
        auto* p = reinterpret_cast<FakeHost::Port*>(port);
        if (p->hidden) ++h.hiddenWrites;
        for (int32 y = rect->top; y < rect->bottom; ++y)
            for (int32 x = rect->left; x < rect->right; ++x) {
                if (!p->Inside(x, y)) return kSPBadParameterError;
                CopySample(DescAt(d, x - rect->left, y - rect->top), d->depth, p->At(x, y), p->depth);
            }
        return kSPNoError;
    }
    static SPErr New(PIChannelPort* port, const VRect* rect, int32 depth, Boolean) {
        auto* p = new FakeHost::Port;
        p->bounds = *rect;
        p->depth = depth;
        p->own.assign(size_t(int64_t(rect->right - rect->left) * (rect->bottom - rect->top) * (depth / 8)), 0);
        p->samples = &p->own;
        ++H().livePorts;
        *port = reinterpret_cast<PIChannelPort>(p);
        return kSPNoError;
    }
    static SPErr Dispose(PIChannelPort* port) {
        delete reinterpret_cast<FakeHost::Port*>(*port);
        *port = nullptr;
        --H().livePorts;
        return kSPNoError;
    }

    // Colour slots: RGB (0,R,G,B), CMYK (C,M,Y,K), gray (0,0,0,g).
    template <class T>
    static SPErr Convert(int16 in, int16 out, void* colors, int16 count, T max) {
        FakeHost& h = H();
        h.colorChunks.push_back(count);
        if (h.failColorConversion) return kSPBadParameterError;
        T* slot = static_cast<T*>(colors);
        for (int i = 0; i < count; ++i, slot += 4) {
            T s[4] = {slot[0], slot[1], slot[2], slot[3]};
            if (in == out) continue;
            if (in == plugIncolorServicesRGBSpace && out == plugIncolorServicesCMYKSpace) {
                T r[4] = {T(max - s[1]), T(max - s[2]), T(max - s[3]), 0};
                std::copy(r, r + 4, slot);
            } else if (in == plugIncolorServicesCMYKSpace && out == plugIncolorServicesRGBSpace) {
                T r[4] = {0, T(max - s[0]), T(max - s[1]), T(max - s[2])};
                std::copy(r, r + 4, slot);
            } else if (in == plugIncolorServicesRGBSpace && out == plugIncolorServicesGraySpace) {
                T r[4] = {0, 0, 0, s[2]};
                std::copy(r, r + 4, slot);
            } else if (in == plugIncolorServicesGraySpace && out == plugIncolorServicesRGBSpace) {
                T r[4] = {0, s[3], s[3], s[3]};
                std::copy(r, r + 4, slot);
            } else {
                return kSPBadParameterError;
            }
        }
        return kSPNoError;
    }
    static SPErr Convert8(int16 in, int16 out, Color8* colors, int16 count) {
        return Convert<uint8>(in, out, colors, count, 255);
    }
    static SPErr Convert16(int16 in, int16 out, Color16* colors, int16 count) {
        return Convert<uint16>(in, out, colors, count, 32768);
    }
    static SPErr Convert8to16(uint8* in, uint16* out, int16 count) {
        H().depthChunks.push_back(count);
        for (int i = 0; i < count; ++i) out[i] = uint16((in[i] * 32768 + 127) / 255);
        return kSPNoError;
    }
    static SPErr Convert16to8(uint16* in, uint8* out, int16 count) {
        H().depthChunks.push_back(count);
        for (int i = 0; i < count; ++i) out[i] = uint8((std::min<int>(in[i], 32768) * 255 + 16384) / 32768);
        return kSPNoError;
    }
};

Document Document::Make(int32 width, int32 height, int16 mode, int32 depth, int32 planeCount) {
    Document doc;
    doc.width = width;
    doc.height = height;
    doc.mode = mode;
    doc.depth = depth;
    doc.planes.resize(size_t(planeCount));
    const bool cmyk = mode == plugInModeCMYKColor || mode == plugInModeCMYK64;
    for (int32 p = 0; p < planeCount; ++p) {
        doc.planes[p].samples.resize(size_t(int64_t(width) * height * doc.Bytes()));
        for (int32 y = 0; y < height; ++y)
            for (int32 x = 0; x < width; ++x) {
                uint8* s = doc.At(p, x, y);
                const int32 v = (x * 7 + y * 13 + p * 61) & 0xFF;
                if (cmyk && p == 3) {
                    std::memset(s, 0, size_t(doc.Bytes()));  // K = 0 converts exactly
                } else if (depth == 8) {
                    *s = uint8(v);
                } else if (depth == 16) {
                    const uint16 w = uint16((x * 131 + y * 257 + p * 1021) % 32769);
                    std::memcpy(s, &w, 2);
                } else {
                    const float f = float(v) / 255.0f;
                    std::memcpy(s, &f, 4);
                }
            }
    }
    return doc;
}

double Document::Get(int32 plane, int32 x, int32 y) {
    const uint8* s = At(plane, x, y);
    if (depth == 8) return *s;
    if (depth == 16) {
        uint16 v;
        std::memcpy(&v, s, 2);
        return v;
    }
    float f;
    std::memcpy(&f, s, 4);
    return f;
}

FakeHost::FakeHost(Document document, Options opts)
    : doc(std::move(document)), options(opts), in(new Served), out(new Served), maskServed(new Served),
      previous(current) {
    current = this;
    bufferProcs = BufferProcs{kCurrentBufferProcsVersion, kClassicBufferProcsCount, Callbacks::Allocate,
                              Callbacks::Lock,            Callbacks::Unlock,        Callbacks::Free,
                              Callbacks::Space, nullptr, nullptr, nullptr};
    basic.AcquireSuite = Callbacks::Acquire;
    basic.ReleaseSuite = Callbacks::Release;
    ports.ReadPixelsFromLevel = Callbacks::ReadLevel;
    ports.ReadScaledPixels = Callbacks::ReadScaled;
    ports.WritePixelsToBaseLevel = Callbacks::Write;
    ports.New = Callbacks::New;
    ports.Dispose = Callbacks::Dispose;
    colors.Convert8 = Callbacks::Convert8;
    colors.Convert16 = Callbacks::Convert16;
    if (options.depthSuite) {
        colors.Convert8to16 = Callbacks::Convert8to16;
        colors.Convert16to8 = Callbacks::Convert16to8;
    }

    const VRect whole{0, 0, doc.height, doc.width};
    record.planes = int16(doc.planes.size());
    record.imageSize = Point{int16(doc.height), int16(doc.width)};
    record.filterRect = ::Rect{0, 0, int16(doc.height), int16(doc.width)};
    big.filterRect32 = whole;
    big.imageSize32 = VPoint{doc.height, doc.width};
    record.imageMode = doc.mode;
    record.depth = doc.depth;
    record.advanceState = Callbacks::Advance;
    record.progressProc = Callbacks::Progress;
    record.bufferProcs = options.bufferProcs ? &bufferProcs : nullptr;
    record.haveMask = !doc.selection.empty();
    const bool selection = record.haveMask;
    record.filterCase = options.transparency ? int16(selection ? filterCaseEditableTransparencyWithSelection
                                                               : filterCaseEditableTransparencyNoSelection)
                                             : int16(selection ? filterCaseFlatImageWithSelection
                                                               : filterCaseFlatImageNoSelection);
    record.inputRate = record.maskRate = 65536;
    record.supportsDummyChannels = options.dummyChannels;
    record.supportsAlternateLayouts = options.alternateLayouts;
    record.samplingSupport = options.samplingSupport;
    record.outTileWidth = options.tileWidth;
    record.outTileHeight = options.tileHeight;
    record.sSPBasic = &basic;
    record.bigDocumentData = options.bigDocument ? &big : nullptr;
    record.errorString = &errorText;
    record.platformData = &platform;
    if (options.channelPorts) BuildDocumentInfo();
}

FakeHost::~FakeHost() {
    in->Release();
    out->Release();
    maskServed->Release();
    if (current == this) current = previous;
}

void FakeHost::BuildDocumentInfo() {
    auto makeChannel = [&](std::vector<uint8>* samples, int32 depth, bool shown, bool hidden) {
        auto port = std::make_unique<Port>();
        port->samples = samples;
        port->bounds = VRect{0, 0, doc.height, doc.width};
        port->depth = depth;
        port->hidden = hidden;
        auto channel = std::make_unique<ReadChannelDesc>();
        *channel = ReadChannelDesc{};
        channel->minVersion = 1;
        channel->maxVersion = options.maxVersion;
        channel->port = reinterpret_cast<ChannelReadPort>(port.get());
        channel->writePort = reinterpret_cast<ChannelWritePort>(port.get());
        channel->bounds = port->bounds;
        channel->depth = depth;
        channel->shown = shown;
        docPorts.push_back(std::move(port));
        channels.push_back(std::move(channel));
        return channels.back().get();
    };
    // A chain of the given planes, with the hidden channel after plane hiddenAfter.
    auto chain = [&](std::vector<Plane>& set, int32 first, int32 end, bool withHidden) {
        ReadChannelDesc* head = nullptr;
        ReadChannelDesc** link = &head;
        for (int32 p = first; p < end; ++p) {
            *link = makeChannel(&set[p].samples, doc.depth, set[p].shown, false);
            link = &(*link)->next;
            if (withHidden && p == options.hiddenAfter) {
                hidden.samples.assign(size_t(int64_t(doc.width) * doc.height * doc.Bytes()), 0);
                *link = makeChannel(&hidden.samples, doc.depth, false, true);
                link = &(*link)->next;
            }
        }
        return head;
    };
    const int32 planes = int32(doc.planes.size());
    const int32 colour = options.transparency ? planes - 1 : planes;
    info.minVersion = 1;
    info.maxVersion = 1;
    info.imageMode = doc.mode;
    info.depth = doc.depth;
    info.bounds = VRect{0, 0, doc.height, doc.width};
    info.targetCompositeChannels = chain(doc.planes, 0, colour, true);
    if (options.transparency && options.transparencyList)
        info.targetTransparency = chain(doc.planes, colour, planes, false);
    if (!doc.selection.empty()) info.selection = makeChannel(&doc.selection, 8, true, false);
    ReadLayerDesc** link = &info.layersDescriptor;
    for (auto& layer : doc.layers) {
        auto desc = std::make_unique<ReadLayerDesc>();
        *desc = ReadLayerDesc{};
        desc->compositeChannelsList = chain(layer, 0, colour, false);
        if (options.transparency) desc->transparency = chain(layer, colour, planes, false);
        *link = desc.get();
        link = &desc->next;
        layerDescs.push_back(std::move(desc));
    }
    info.layerCount = int32(doc.layers.size());
    record.documentInfo = &info;
}

VRect FakeHost::ReadRect(const VRect& bigRect, const ::Rect& small) const {
    if (record.bigDocumentData && record.bigDocumentData->PluginUsing32BitCoordinates) return bigRect;
    return VRect{small.top, small.left, small.bottom, small.right};
}

void FakeHost::Serve(Served& s, const VRect& rect, int32 lo, int32 hi, int32 dummies, bool mask, Fixed rate) {
    s.rect = rect;
    s.lo = lo;
    s.hi = hi;
    s.mask = mask;
    const int32 n = mask ? 1 : hi - lo + 1 + dummies;
    if (n <= 0 || Empty(rect)) return;
    const int32 b = mask ? 1 : doc.Bytes();
    const int32 w = rect.right - rect.left, h = rect.bottom - rect.top;
    const bool planar = !mask && record.supportsAlternateLayouts && record.wantLayout == piLayoutPlanesRowsColumns;
    // Rows carry 8 bytes of padding, as hosts' rows may.
    if (planar) {
        s.colBytes = b;
        s.rowBytes = w * b + 8;
        s.planeBytes = s.rowBytes * h;
    } else {
        s.colBytes = n * b;
        s.planeBytes = b;
        s.rowBytes = w * s.colBytes + 8;
    }
    const size_t size = planar ? size_t(s.planeBytes) * n : size_t(s.rowBytes) * h;
    s.block = static_cast<uint8*>(std::malloc(size));
    std::memset(s.block, 0xCD, size);
    for (int32 y = 0; y < h; ++y)
        for (int32 x = 0; x < w; ++x) {
            const int32 dx = int32(int64_t(rect.left + x) * rate / 65536);
            const int32 dy = int32(int64_t(rect.top + y) * rate / 65536);
            const bool inside = dx >= 0 && dy >= 0 && dx < doc.width && dy < doc.height;
            for (int32 k = 0; k < n; ++k) {
                uint8* target = s.block + int64_t(y) * s.rowBytes + int64_t(x) * s.colBytes + int64_t(k) * s.planeBytes;
                if (mask)
                    *target = inside ? doc.selection[size_t(dy) * doc.width + dx] : 0;
                else if (inside && lo + k < int32(doc.planes.size()))
                    std::memcpy(target, doc.At(lo + k, dx, dy), size_t(b));
                else
                    std::memset(target, 0, size_t(b));
            }
        }
}

void FakeHost::CommitOutput() {
    Served& s = *out;
    if (!s.block) return;
    const int32 b = doc.Bytes();
    for (int32 y = s.rect.top; y < s.rect.bottom; ++y)
        for (int32 x = s.rect.left; x < s.rect.right; ++x)
            for (int32 k = 0; s.lo + k <= s.hi && s.lo + k < int32(doc.planes.size()); ++k)
                std::memcpy(doc.At(s.lo + k, x, y),
                            s.block + int64_t(y - s.rect.top) * s.rowBytes + int64_t(x - s.rect.left) * s.colBytes +
                                int64_t(k) * s.planeBytes,
                            size_t(b));
    s.Release();
}

OSErr FakeHost::Advance() {
    ++advanceCalls;
    if (failAdvanceAt == advanceCalls) return advanceError;
    CommitOutput();
    in->Release();
    maskServed->Release();
    record.inData = record.outData = record.maskData = nullptr;
    if (withholdData) return noErr;

    const VRect inRect = ReadRect(big.inRect32, record.inRect);
    const int32 inDummies =
        record.supportsDummyChannels ? record.inPreDummyPlanes + record.inPostDummyPlanes : 0;
    Serve(*in, inRect, record.inLoPlane, record.inHiPlane, inDummies, false, record.inputRate);
    record.inData = in->block;
    record.inRowBytes = in->rowBytes;
    record.inColumnBytes = in->colBytes;
    record.inPlaneBytes = in->planeBytes;

    const VRect outRect = ReadRect(big.outRect32, record.outRect);
    if (!Empty(outRect)) outRequests.push_back(outRect);
    const int32 outDummies =
        record.supportsDummyChannels ? record.outPreDummyPlanes + record.outPostDummyPlanes : 0;
    Serve(*out, outRect, record.outLoPlane, record.outHiPlane, outDummies, false, 65536);
    record.outData = out->block;
    record.outRowBytes = out->rowBytes;
    record.outColumnBytes = out->colBytes;
    record.outPlaneBytes = out->planeBytes;

    const VRect maskRect = ReadRect(big.maskRect32, record.maskRect);
    if (record.haveMask) {
        Serve(*maskServed, maskRect, 0, 0, 0, true, record.maskRate);
        record.maskData = maskServed->block;
        record.maskRowBytes = maskServed->rowBytes;
    }
    return noErr;
}

}  // namespace fake
