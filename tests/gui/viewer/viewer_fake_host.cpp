#include "viewer_fake_host.h"

#include <wx/bitmap.h>
#include <wx/graphics.h>
#include <wx/image.h>

#include <cstdlib>
#include <cstring>

namespace viewer_test {

FakeViewerHost* FakeViewerHost::current = nullptr;

struct FakeViewerHost::Port {
    const std::vector<uint8>* doc = nullptr;  // document plane, or null for a memory port
    std::vector<uint8> own;
    VRect bounds{};
    uint8* At(int32 x, int32 y) {
        auto& samples = doc ? const_cast<std::vector<uint8>&>(*doc) : own;
        return samples.data() + int64_t(y - bounds.top) * (bounds.right - bounds.left) + (x - bounds.left);
    }
    bool Inside(int32 x, int32 y) const {
        return x >= bounds.left && x < bounds.right && y >= bounds.top && y < bounds.bottom;
    }
};

namespace {

uint8* DescAt(const PixelMemoryDesc* d, int64_t col, int64_t row) {
    return static_cast<uint8*>(d->data) + (row * d->rowBits + col * d->colBits + d->bitOffset) / 8;
}

}  // namespace

struct FakeViewerHost::Callbacks {
    static FakeViewerHost& H() { return *current; }

    static OSErr Allocate(int32 size, BufferID* id) {
        if (size < 0) return memFullErr;
        *id = reinterpret_cast<BufferID>(std::malloc(size_t(size) + 1));
        ++H().liveBuffers;
        return noErr;
    }
    static Ptr Lock(BufferID id, Boolean) { return reinterpret_cast<Ptr>(id); }
    static void Unlock(BufferID) {}
    static void Free(BufferID id) {
        std::free(id);
        --H().liveBuffers;
    }
    static int32 Space() { return 1 << 30; }

    static SPErr Acquire(const char* name, int32, const void** suite) {
        if (std::strcmp(name, kPSChannelPortsSuite) != 0 || !H().options.channelPorts) return kSPSuiteNotFoundError;
        *suite = &H().ports;
        return kSPNoError;
    }
    static SPErr Release(const char*, int32) { return kSPNoError; }

    // Classic protocol: rows of the requested planes, interleaved, at the requested rate.
    static OSErr Advance() {
        FakeViewerHost& h = H();
        FilterRecord& r = h.record;
        const VRect in = h.big.inRect32;
        h.inBlock.clear();
        r.inData = nullptr;
        const int32 n = r.inHiPlane - r.inLoPlane + 1;
        if (in.right > in.left && in.bottom > in.top && n > 0) {
            ++h.documentReads;
            const int32 w = in.right - in.left;
            h.inBlock.assign(size_t(w) * (in.bottom - in.top) * n, 0);
            for (int32 y = in.top; y < in.bottom; ++y)
                for (int32 x = in.left; x < in.right; ++x)
                    for (int32 k = 0; k < n; ++k)
                        h.inBlock[(size_t(y - in.top) * w + (x - in.left)) * n + k] =
                            h.Sample(r.inLoPlane + k, int32(int64_t(x) * r.inputRate / 65536),
                                     int32(int64_t(y) * r.inputRate / 65536));
            r.inData = h.inBlock.data();
            r.inRowBytes = w * n;
        }
        const VRect m = h.big.maskRect32;
        h.maskBlock.clear();
        r.maskData = nullptr;
        if (r.haveMask && m.right > m.left && m.bottom > m.top) {
            const int32 w = m.right - m.left;
            h.maskBlock.assign(size_t(w) * (m.bottom - m.top), 0);
            for (int32 y = m.top; y < m.bottom; ++y)
                for (int32 x = m.left; x < m.right; ++x) {
                    const int32 dx = int32(int64_t(x) * r.maskRate / 65536);
                    const int32 dy = int32(int64_t(y) * r.maskRate / 65536);
                    h.maskBlock[size_t(y - m.top) * w + (x - m.left)] =
                        dx < h.options.width && dy < h.options.height
                            ? h.selectionPlane[size_t(dy) * h.options.width + dx]
                            : 0;
                }
            r.maskData = h.maskBlock.data();
            r.maskRowBytes = w;
        }
        return noErr;
    }

    static SPErr ReadLevel(PIChannelPort port, int32, VRect* rect, const PixelMemoryDesc* d) {
        auto* p = reinterpret_cast<Port*>(port);
        if (p->doc) ++H().documentReads;
        for (int32 y = rect->top; y < rect->bottom; ++y)
            for (int32 x = rect->left; x < rect->right; ++x) {
                if (!p->Inside(x, y)) return kSPBadParameterError;
                *DescAt(d, x - rect->left, y - rect->top) = *p->At(x, y);
            }
        return kSPNoError;
    }
    static SPErr ReadScaled(PIChannelPort port, VRect* rect, const PSScaling* s, const PixelMemoryDesc* d) {
        auto* p = reinterpret_cast<Port*>(port);
        if (p->doc) ++H().documentReads;
        const VRect src = s->sourceRect, dst = s->destinationRect;
        const int64_t sw = src.right - src.left, sh = src.bottom - src.top;
        const int64_t dw = dst.right - dst.left, dh = dst.bottom - dst.top;
        if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return kSPBadParameterError;
        for (int32 y = rect->top; y < rect->bottom; ++y)
            for (int32 x = rect->left; x < rect->right; ++x) {
                const int32 sx = int32(src.left + (x - dst.left) * sw / dw);
                const int32 sy = int32(src.top + (y - dst.top) * sh / dh);
                if (!p->Inside(sx, sy)) return kSPBadParameterError;
                *DescAt(d, x - rect->left, y - rect->top) = *p->At(sx, sy);
            }
        return kSPNoError;
    }
    static SPErr Write(PIChannelPort port, VRect* rect, const PixelMemoryDesc* d) {
        auto* p = reinterpret_cast<Port*>(port);
        for (int32 y = rect->top; y < rect->bottom; ++y)
            for (int32 x = rect->left; x < rect->right; ++x) {
                if (!p->Inside(x, y)) return kSPBadParameterError;
                *p->At(x, y) = *DescAt(d, x - rect->left, y - rect->top);
            }
        return kSPNoError;
    }
    static SPErr New(PIChannelPort* port, const VRect* rect, int32 depth, Boolean) {
        FakeViewerHost& h = H();
        ++h.newPorts;
        if (depth != 8 || (h.options.failNewPort && h.newPorts >= h.options.failNewPort))
            return kSPBadParameterError;
        auto* p = new Port;
        p->bounds = *rect;
        p->own.assign(size_t(int64_t(rect->right - rect->left) * (rect->bottom - rect->top)), 0);
        ++h.livePorts;
        *port = reinterpret_cast<PIChannelPort>(p);
        return kSPNoError;
    }
    static SPErr Dispose(PIChannelPort* port) {
        delete reinterpret_cast<Port*>(*port);
        *port = nullptr;
        --H().livePorts;
        return kSPNoError;
    }

    static OSErr Display(const PSPixelMap* map, const VRect* srcRect, int32 row, int32 col, void* context) {
        Shown s;
        s.bounds = *srcRect;
        s.mode = map->imageMode;
        s.row = row;
        s.col = col;
        for (PSPixelMask* m = map->masks; m; m = m->next) ++s.masks;
        if (map->masks) s.firstMask = *static_cast<const uint8*>(map->masks->maskData);
        s.hadContext = context != nullptr;
        const int32 w = srcRect->right - srcRect->left, h = srcRect->bottom - srcRect->top;
        const int32 planes = map->imageMode == plugInModeGrayScale ? 1 : 3;
        auto sample = [&](int32 x, int32 y, int32 p) {
            return static_cast<const uint8*>(map->baseAddr)[int64_t(y) * map->rowBytes + int64_t(x) * map->colBytes +
                                                            int64_t(p) * map->planeBytes];
        };
        if (w > 0 && h > 0)
            for (int32 p = 0; p < planes; ++p) s.firstPixel.push_back(sample(0, 0, p));
        // Paint into the window when the caller gave the paint's cairo context.
        if (context && w > 0 && h > 0) {
            wxImage image(w, h, false);
            for (int32 y = 0; y < h; ++y)
                for (int32 x = 0; x < w; ++x)
                    image.SetRGB(x, y, sample(x, y, 0), sample(x, y, planes == 3 ? 1 : 0), sample(x, y, planes == 3 ? 2 : 0));
            std::unique_ptr<wxGraphicsContext> gc(
                wxGraphicsRenderer::GetDefaultRenderer()->CreateContextFromNativeContext(context));
            if (gc) gc->DrawBitmap(wxBitmap(image), col, row, w, h);
        }
        current->shown.push_back(std::move(s));
        return noErr;
    }
};

FakeViewerHost::FakeViewerHost(HostOptions opts) : options(opts), previous(current) {
    current = this;
    const int32 planeCount = options.gray ? 1 : 3;
    planes.assign(size_t(planeCount), std::vector<uint8>(size_t(options.width) * options.height));
    for (int32 p = 0; p < planeCount; ++p)
        for (int32 y = 0; y < options.height; ++y)
            for (int32 x = 0; x < options.width; ++x)
                planes[p][size_t(y) * options.width + x] = uint8((x * 3 + y * 5 + p * 80) & 0xFF);
    if (options.selection) {
        selectionPlane.assign(size_t(options.width) * options.height, 0);
        for (int32 y = 0; y < options.height; ++y)
            std::memset(&selectionPlane[size_t(y) * options.width], 255, size_t(options.width / 2));
    }

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

    const VRect whole{0, 0, options.height, options.width};
    big.PluginUsing32BitCoordinates = 1;
    big.filterRect32 = whole;
    big.imageSize32 = VPoint{options.height, options.width};
    record.planes = int16(planeCount);
    record.imageSize = Point{int16(options.height), int16(options.width)};
    record.filterRect = ::Rect{0, 0, int16(options.height), int16(options.width)};
    record.imageMode = options.gray ? plugInModeGrayScale : plugInModeRGBColor;
    record.depth = 8;
    record.advanceState = Callbacks::Advance;
    record.bufferProcs = &bufferProcs;
    record.haveMask = options.selection;
    record.filterCase = options.selection ? filterCaseFlatImageWithSelection : filterCaseFlatImageNoSelection;
    record.inputRate = record.maskRate = 65536;
    record.samplingSupport = options.samplingSupport;
    record.sSPBasic = &basic;
    record.bigDocumentData = &big;
    record.errorString = &errorText;
    record.platformData = &platform;
    record.displayPixels = options.display ? Callbacks::Display : nullptr;
    if (options.channelPorts) BuildDocumentInfo();
}

FakeViewerHost::~FakeViewerHost() {
    if (current == this) current = previous;
}

uint8 FakeViewerHost::Sample(int32 plane, int32 x, int32 y) const {
    if (plane < 0 || plane >= int32(planes.size()) || x < 0 || y < 0 || x >= options.width || y >= options.height)
        return 0;
    return planes[size_t(plane)][size_t(y) * options.width + x];
}

int FakeViewerHost::TakeReads() {
    const int n = documentReads;
    documentReads = 0;
    return n;
}

void FakeViewerHost::BuildDocumentInfo() {
    auto channel = [&](const std::vector<uint8>* samples) {
        auto port = std::make_unique<Port>();
        port->doc = samples;
        port->bounds = VRect{0, 0, options.height, options.width};
        auto desc = std::make_unique<ReadChannelDesc>();
        *desc = ReadChannelDesc{};
        desc->minVersion = 1;
        desc->maxVersion = 3;
        desc->port = reinterpret_cast<ChannelReadPort>(port.get());
        desc->bounds = port->bounds;
        desc->depth = 8;
        desc->shown = true;
        docPorts.push_back(std::move(port));
        channels.push_back(std::move(desc));
        return channels.back().get();
    };
    ReadChannelDesc** link = &info.targetCompositeChannels;
    for (auto& plane : planes) {
        *link = channel(&plane);
        link = &(*link)->next;
    }
    if (options.selection) info.selection = channel(&selectionPlane);
    info.minVersion = info.maxVersion = 1;
    info.imageMode = record.imageMode;
    info.depth = 8;
    info.bounds = VRect{0, 0, options.height, options.width};
    record.documentInfo = &info;
}

}  // namespace viewer_test
