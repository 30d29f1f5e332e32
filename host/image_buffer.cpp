#include "host/image_buffer.h"

#include "host/host.h"
#include "host/image_modes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

namespace Corvantis::Host::PS {
namespace {

// Comparisons and copies of a pixel's few bytes, with the common sizes spelled out: a library
// call per pixel would cost more than the work.
inline bool SameBytes(const uint8* a, const uint8* b, int32 n) {
    switch (n) {
        case 1: return a[0] == b[0];
        case 2: return std::memcmp(a, b, 2) == 0;
        case 3: return std::memcmp(a, b, 3) == 0;
        case 4: return std::memcmp(a, b, 4) == 0;
        case 6: return std::memcmp(a, b, 6) == 0;
        case 8: return std::memcmp(a, b, 8) == 0;
        default: return std::memcmp(a, b, size_t(n)) == 0;
    }
}

inline void CopyBytes(const uint8* from, size_t n, uint8* to) {
    switch (n) {
        case 1: to[0] = from[0]; return;
        case 2: std::memcpy(to, from, 2); return;
        case 3: std::memcpy(to, from, 3); return;
        case 4: std::memcpy(to, from, 4); return;
        case 6: std::memcpy(to, from, 6); return;
        case 8: std::memcpy(to, from, 8); return;
        default: std::memcpy(to, from, n);
    }
}

}  // namespace

namespace {

bool SameRect(const Rect& a, const Rect& b) {
    return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

uint8* Address(const PSPixelMap& map, int32 x, int32 y) {
    return static_cast<uint8*>(map.baseAddr) + int64_t(y - map.bounds.top) * map.rowBytes +
           int64_t(x - map.bounds.left) * map.colBytes;
}

int32 CheckedStride(int64_t value) {
    if (value < 0 || value > std::numeric_limits<int32>::max()) throw std::bad_alloc();
    return int32(value);
}

// Copies `planes` planes of b-byte samples inside r from one pixel map to another.
void CopySamples(const PSPixelMap& from, const PSPixelMap& to, const Rect& r, int32 planes, int32 b) {
    const int32 width = r.right - r.left;
    const bool packedAlike = from.colBytes == to.colBytes && from.planeBytes == b && to.planeBytes == b &&
                             from.colBytes == planes * b;
    const bool planarRows = from.colBytes == b && to.colBytes == b;
    for (int32 y = r.top; y < r.bottom; ++y) {
        const uint8* s = Address(from, r.left, y);
        uint8* d = Address(to, r.left, y);
        if (packedAlike) {
            std::memcpy(d, s, size_t(width) * size_t(from.colBytes));
        } else if (planarRows) {
            for (int32 p = 0; p < planes; ++p)
                std::memcpy(d + int64_t(p) * to.planeBytes, s + int64_t(p) * from.planeBytes, size_t(width) * b);
        } else {
            for (int32 x = 0; x < width; ++x)
                for (int32 p = 0; p < planes; ++p)
                    std::memcpy(d + int64_t(x) * to.colBytes + int64_t(p) * to.planeBytes,
                                s + int64_t(x) * from.colBytes + int64_t(p) * from.planeBytes, size_t(b));
        }
    }
}

template <class Sample>
void Deinterleave(const Sample* src, uint8* dst, int32 width, int32 channels, int32 planeBytes) {
    for (int32 p = 0; p < channels; ++p) {
        Sample* plane = reinterpret_cast<Sample*>(dst + int64_t(p) * planeBytes);
        for (int32 x = 0; x < width; ++x) plane[x] = src[int64_t(x) * channels + p];
    }
}

template <class Sample>
void Interleave(const uint8* src, Sample* dst, int32 width, int32 channels, int32 planeBytes) {
    for (int32 p = 0; p < channels; ++p) {
        const Sample* plane = reinterpret_cast<const Sample*>(src + int64_t(p) * planeBytes);
        for (int32 x = 0; x < width; ++x) dst[int64_t(x) * channels + p] = plane[x];
    }
}

}  // namespace

ImageBuffer::ImageBuffer(Host* owner) : host(owner), memory(owner ? owner->filterRecord : nullptr) { map.version = 1; }

ImageBuffer::~ImageBuffer() { Reset(); }

ImageBuffer::ImageBuffer(ImageBuffer&& other) noexcept
    : host(other.host), map(other.map), imageRect(other.imageRect), scale(other.scale), bits(other.bits),
      channels(other.channels), extraAlpha(other.extraAlpha), native(std::move(other.native)), hostData(other.hostData),
      hostLoPlane(other.hostLoPlane), hostHiPlane(other.hostHiPlane), hostLayout(other.hostLayout) {
    memory.procs = other.memory.procs;
    memory.Swap(other.memory);
    other.map = PSPixelMap{};
    other.map.version = 1;
    other.imageRect = Rect{};
    other.hostData = HostData::None;
}

ImageBuffer& ImageBuffer::operator=(ImageBuffer&& other) noexcept {
    if (this == &other) return *this;
    Reset();
    host = other.host;
    map = other.map;
    imageRect = other.imageRect;
    scale = other.scale;
    bits = other.bits;
    channels = other.channels;
    extraAlpha = other.extraAlpha;
    native = std::move(other.native);
    other.native = NativeRows{};
    hostData = other.hostData;
    hostLoPlane = other.hostLoPlane;
    hostHiPlane = other.hostHiPlane;
    hostLayout = other.hostLayout;
    if (!memory.procs) memory.procs = other.memory.procs;
    memory.Swap(other.memory);
    other.map = PSPixelMap{};
    other.map.version = 1;
    other.imageRect = Rect{};
    other.hostData = HostData::None;
    return *this;
}

Host& ImageBuffer::RequireHost() const {
    if (!host) throw std::logic_error("image buffer without a host");
    return *host;
}

void ImageBuffer::Reset() {
    memory.Free();
    native = NativeRows{};
    map = PSPixelMap{};
    map.version = 1;
    imageRect = map.bounds;
    hostData = HostData::None;
}

void ImageBuffer::Lay(const Rect& rect, int32 mode, int32 sampleBits, int32 planes, bool planar) {
    Reset();
    map.bounds = RectEmpty(rect) ? Rect{} : rect;
    map.imageMode = mode;
    bits = sampleBits;
    channels = std::max(planes, 0);
    const int64_t b = bits / 8;
    const int64_t width = Width();
    const int64_t height = Height();
    int64_t size;
    if (planar) {
        map.colBytes = CheckedStride(b);
        map.rowBytes = CheckedStride(width * b);
        map.planeBytes = CheckedStride(height * map.rowBytes);
        size = int64_t(channels) * map.planeBytes;
    } else {
        map.planeBytes = CheckedStride(b);
        map.colBytes = CheckedStride(channels * b);
        map.rowBytes = CheckedStride(width * map.colBytes);
        size = height * map.rowBytes;
    }
    if (size > 0) {
        if (!memory.procs && host && host->filterRecord) memory.procs = host->filterRecord->bufferProcs;
        memory.Allocate(uint64_t(size));
        map.baseAddr = memory.Data();
    }
}

void ImageBuffer::Allocate(const Rect& rect, int32 mode, int32 planes, bool planar) {
    Reset();
    extraAlpha = 0;
    if (planes < 0) {
        const FilterRecord* record = host ? host->filterRecord : nullptr;
        planes = ChannelCountOfMode(mode, record ? record->planes : 0);
        if (host && host->HasTransparencyPlane()) {
            ++planes;
            extraAlpha = 1;
        }
    }
    Lay(rect, mode, BitsPerChannelOfMode(mode), planes, planar);
    imageRect = map.bounds;
}

void ImageBuffer::AllocateLike(const ImageBuffer& other, const Rect& rect) {
    const int32 mode = other.map.imageMode, sampleBits = other.bits, planes = other.channels;
    const bool planar = other.IsPlanar();
    const Rect otherImage = other.imageRect;
    const float otherScale = other.scale;
    const uint8 otherAlpha = other.extraAlpha;
    Lay(rect, mode, sampleBits, planes, planar);
    imageRect = otherImage;
    scale = otherScale;
    extraAlpha = otherAlpha;
}

int32 ImageBuffer::ChannelCountFor(int32 mode) const {
    return channels - ChannelCountOfMode(map.imageMode, 0) + ChannelCountOfMode(mode, 0);
}

void ImageBuffer::MakeView(const ImageBuffer& other, const Rect& rect) {
    const Rect clipped = IntersectRect(rect, other.GetRect());
    if (&other == this) {
        // A view of itself: clip in place and keep the memory.
        if (RectEmpty(clipped) || !HasData()) {
            Reset();
        } else {
            map.baseAddr = Address(map, clipped.left, clipped.top);
            map.bounds = clipped;
        }
        return;
    }
    Reset();
    map = other.map;
    imageRect = other.imageRect;
    scale = other.scale;
    bits = other.bits;
    channels = other.channels;
    extraAlpha = other.extraAlpha;
    if (RectEmpty(clipped) || !other.HasData()) {
        map.bounds = Rect{};
        map.baseAddr = nullptr;
    } else {
        map.baseAddr = Address(other.map, clipped.left, clipped.top);
        map.bounds = clipped;
    }
}

void ImageBuffer::MoveTo(const Rect& rect) {
    if (SameRect(rect, GetRect())) return;
    const Rect overlap = IntersectRect(rect, GetRect());
    // The old samples stay alive in `old` until the overlap is copied; freed on every exit.
    HostBuffer old;
    old.procs = memory.procs;
    old.Swap(memory);
    const PSPixelMap oldMap = map;
    const Rect keepImage = imageRect;
    const bool planar = IsPlanar();
    Lay(rect, map.imageMode, bits, channels, planar);
    imageRect = keepImage;
    if (!RectEmpty(overlap) && oldMap.baseAddr && HasData() && bits >= 8)
        CopySamples(oldMap, map, overlap, channels, bits / 8);
}

void ImageBuffer::CopyFrom(const ImageBuffer& other, const Rect& rect) {
    const Rect r = IntersectRect(IntersectRect(rect, GetRect()), other.GetRect());
    if (RectEmpty(r) || !HasData() || !other.HasData() || bits < 8) return;
    if (other.bits != bits) throw std::logic_error("copying pixels between different depths");
    CopySamples(other.map, map, r, std::min(channels, other.channels), bits / 8);
}

void ImageBuffer::ClearRect(const Rect& rect) {
    const Rect r = IntersectRect(rect, GetRect());
    if (RectEmpty(r) || !HasData() || bits < 8) return;
    const int32 b = bits / 8;
    const int32 width = r.right - r.left;
    const bool packed = map.planeBytes == b && map.colBytes == channels * b;
    const bool planarRows = map.colBytes == b;
    for (int32 y = r.top; y < r.bottom; ++y) {
        uint8* row = Address(map, r.left, y);
        if (packed) {
            std::memset(row, 0, size_t(width) * map.colBytes);
        } else if (planarRows) {
            for (int32 p = 0; p < channels; ++p) std::memset(row + int64_t(p) * map.planeBytes, 0, size_t(width) * b);
        } else {
            for (int32 x = 0; x < width; ++x)
                for (int32 p = 0; p < channels; ++p)
                    std::memset(row + int64_t(x) * map.colBytes + int64_t(p) * map.planeBytes, 0, size_t(b));
        }
    }
}

void ImageBuffer::DeinterleaveRow(const void* src, void* dst) const {
    uint8* out = static_cast<uint8*>(dst);
    switch (bits) {
        case 8: Deinterleave(static_cast<const uint8*>(src), out, Width(), channels, map.planeBytes); break;
        case 16: Deinterleave(static_cast<const uint16*>(src), out, Width(), channels, map.planeBytes); break;
        case 32: Deinterleave(static_cast<const float*>(src), out, Width(), channels, map.planeBytes); break;
        default: break;
    }
}

void ImageBuffer::InterleaveRow(const void* src, void* dst) const {
    const uint8* in = static_cast<const uint8*>(src);
    switch (bits) {
        case 8: Interleave(in, static_cast<uint8*>(dst), Width(), channels, map.planeBytes); break;
        case 16: Interleave(in, static_cast<uint16*>(dst), Width(), channels, map.planeBytes); break;
        case 32: Interleave(in, static_cast<float*>(dst), Width(), channels, map.planeBytes); break;
        default: break;
    }
}

const uint8* ImageBuffer::InterleavedRow(int32 y, uint8* scratch) const {
    const int32 b = bits / 8;
    const uint8* row = Address(map, map.bounds.left, y);
    if (map.planeBytes == b && map.colBytes == channels * b) return row;
    if (map.colBytes == b) {
        InterleaveRow(row, scratch);
    } else {
        for (int32 x = 0; x < Width(); ++x)
            for (int32 p = 0; p < channels; ++p)
                std::memcpy(scratch + (int64_t(x) * channels + p) * b,
                            row + int64_t(x) * map.colBytes + int64_t(p) * map.planeBytes, size_t(b));
    }
    return scratch;
}

bool ImageBuffer::NeedsInterleaveScratch() const {
    const int32 b = bits / 8;
    return !(map.planeBytes == b && map.colBytes == channels * b);
}

// --- The document's own samples ---

uint8* ImageBuffer::KeepNativeRows(const Rect& rect, int32 mode, int32 sampleBits, int32 planes) {
    native = NativeRows{};
    if (RectEmpty(rect) || sampleBits < 8 || planes <= 0) return nullptr;
    native.rect = rect;
    native.mode = mode;
    native.bits = sampleBits;
    native.channels = planes;
    native.rowBytes = int64_t(RectWidth(rect)) * planes * (sampleBits / 8);
    native.samples.resize(size_t(native.rowBytes) * size_t(RectHeight(rect)));
    return native.samples.data();
}

uint8* ImageBuffer::NativeAt(int32 x, int32 y) const {
    return const_cast<uint8*>(native.samples.data()) + int64_t(y - native.rect.top) * native.rowBytes +
           int64_t(x - native.rect.left) * native.channels * (native.bits / 8);
}

void ImageBuffer::RestoreUnchanged(const ImageBuffer* source, int32 y, uint8* row, int32 mode, int32 sampleBits,
                                   int32 planes) const {
    if (!source || source == this || source->native.samples.empty() || !HasData() || !source->HasData()) return;
    const NativeRows& kept = source->native;
    const Rect rect = GetRect();
    if (kept.mode != mode || kept.bits != sampleBits || kept.channels != planes) return;
    if (source->bits != bits || source->channels != channels) return;
    if (y < kept.rect.top || y >= kept.rect.bottom || rect.left < kept.rect.left || rect.right > kept.rect.right ||
        !RectContains(source->GetRect(), Rect{y, rect.left, y + 1, rect.right}))
        return;
    const int32 b = bits / 8;
    const size_t nativePixel = size_t(planes) * size_t(sampleBits / 8);
    const int64_t myColumn = ColumnBytes(), theirColumn = source->ColumnBytes();
    const int64_t myPlane = PlaneBytes(), theirPlane = source->PlaneBytes();
    // Interleaved on both sides: a pixel's samples compare as one run of bytes.
    const bool whole = myPlane == b && theirPlane == b;
    const int32 compared = whole ? channels * b : b, runs = whole ? 1 : channels;
    const uint8* mine = SampleAt(rect.left, y, 0);
    const uint8* theirs = source->SampleAt(rect.left, y, 0);
    const uint8* original = source->NativeAt(rect.left, y);
    uint8* out = row;
    for (int32 x = rect.left; x < rect.right;
         ++x, mine += myColumn, theirs += theirColumn, original += nativePixel, out += nativePixel) {
        bool same = true;
        for (int32 p = 0; p < runs && same; ++p) same = SameBytes(mine + p * myPlane, theirs + p * theirPlane, compared);
        if (same) CopyBytes(original, nativePixel, out);
    }
}

// --- Lying over host data ---

void ImageBuffer::AttachHostData(HostData kind, const Rect& rect) {
    Host& h = RequireHost();
    FilterRecord* record = h.filterRecord;
    if (!record) h.CheckError(errPlugInHostInsufficient);
    Reset();
    const Rect filterRect = h.GetFilterRect();
    imageRect = ScaleRect(filterRect, scale);
    map.bounds = rect;
    hostData = kind;
    hostLayout = record->wantLayout;
    if (kind == HostData::Mask) {
        bits = 8;
        channels = 1;
        extraAlpha = 0;
        map.imageMode = EightBitModeOf(record->imageMode);
        map.rowBytes = record->maskRowBytes;
        map.colBytes = map.planeBytes = 1;
        map.baseAddr = record->maskData;
        return;
    }
    const bool input = kind == HostData::Input;
    bits = h.GetBitsPerChannel();
    extraAlpha = h.HasTransparencyPlane() ? 1 : 0;
    hostLoPlane = input ? record->inLoPlane : record->outLoPlane;
    hostHiPlane = input ? record->inHiPlane : record->outHiPlane;
    int32 planes = hostHiPlane - hostLoPlane + 1;
    if (record->supportsDummyChannels)
        planes += input ? record->inPreDummyPlanes + record->inPostDummyPlanes
                        : record->outPreDummyPlanes + record->outPostDummyPlanes;
    channels = std::max(planes, 0);
    // The document's own mode, so that mode and depth of the buffer agree.
    map.imageMode = record->imageMode;
    map.rowBytes = input ? record->inRowBytes : record->outRowBytes;
    map.planeBytes = bits / 8;
    map.colBytes = channels * (bits / 8);
    if (record->supportsAlternateLayouts && record->wantLayout != piLayoutTraditional) {
        const int32 planeBytes = input ? record->inPlaneBytes : record->outPlaneBytes;
        const int32 columnBytes = input ? record->inColumnBytes : record->outColumnBytes;
        if (planeBytes > 0) map.planeBytes = planeBytes;
        if (columnBytes > 0) map.colBytes = columnBytes;
    }
    map.baseAddr = input ? record->inData : record->outData;
}

void ImageBuffer::AttachInData(const Rect& rect) { AttachHostData(HostData::Input, rect); }
void ImageBuffer::AttachOutData(const Rect& rect) { AttachHostData(HostData::Output, rect); }
void ImageBuffer::AttachMaskData(const Rect& rect) { AttachHostData(HostData::Mask, rect); }
void ImageBuffer::AttachInput() { AttachInData(RequireHost().GetInRect()); }
void ImageBuffer::AttachMask() { AttachMaskData(RequireHost().GetMaskRect()); }

void ImageBuffer::RequireHostData() {
    if (hostData != HostData::None && !HasData() && !RectEmpty(GetRect()) && bits >= 8)
        RequireHost().CheckError(errPlugInHostInsufficient);
}

bool ImageBuffer::RestoreHostRequest() {
    if (hostData == HostData::None) return false;
    Host& h = RequireHost();
    FilterRecord& record = *h.filterRecord;
    const Rect rect = GetRect();
    bool changed = false;
    switch (hostData) {
        case HostData::Input:
            if (!SameRect(h.GetInRect(), rect) || record.inLoPlane != hostLoPlane || record.inHiPlane != hostHiPlane) {
                h.SetInRect(rect);
                record.inLoPlane = hostLoPlane;
                record.inHiPlane = hostHiPlane;
                changed = true;
            }
            break;
        case HostData::Output:
            if (record.outLoPlane != hostLoPlane || record.outHiPlane != hostHiPlane) {
                record.outLoPlane = hostLoPlane;
                record.outHiPlane = hostHiPlane;
                changed = true;
            }
            h.SetOutRect(rect);
            break;
        case HostData::Mask:
            if (!SameRect(h.GetMaskRect(), rect)) {
                h.SetMaskRect(rect);
                changed = true;
            }
            return changed;
        case HostData::None: break;
    }
    if (record.wantLayout != hostLayout) {
        record.wantLayout = hostLayout;
        changed = true;
    }
    return changed;
}

void ImageBuffer::RefreshHostData() {
    if (hostData == HostData::None) return;
    // A copy: attaching resets the geometry that GetRect refers to.
    const Rect rect = GetRect();
    AttachHostData(hostData, rect);
    RequireHostData();
}

// --- Sampling ---

float ImageBuffer::GetSamplingScale(float requested, int32 mode) const {
    Host& h = RequireHost();
    if (!(requested > 0.0f) || !std::isfinite(requested)) requested = 1.0f;
    const int32 eff = h.EffectiveMode(int16(mode));
    if (h.PortsSuite() &&
        !(requested == 1.0f && BitsPerChannelOfMode(eff) > 8 && h.LacksDocumentInfo()))
        return requested;
    const int16 support = h.filterRecord ? h.filterRecord->samplingSupport : 0;
    if (support == 0) return 1.0f;
    if (support == 1) return 1.0f / std::ceil(1.0f / requested);
    return requested;
}

float ImageBuffer::GetDocumentSamplingScale(float requested) const {
    const Host& h = RequireHost();
    return GetSamplingScale(requested, EightBitModeOf(h.filterRecord ? h.filterRecord->imageMode : 0));
}

void ImageBuffer::SetSamplingRate(float newScale, bool isMask) {
    Host& h = RequireHost();
    if (!(newScale > 0.0f) || !std::isfinite(newScale)) newScale = 1.0f;
    scale = newScale;
    const double exact = 65536.0 / double(newScale);
    const Fixed rate = exact >= double(std::numeric_limits<int32>::max()) ? std::numeric_limits<int32>::max()
                                                                          : Fixed(exact);
    FilterRecord* record = h.filterRecord;
    if (!record) return;
    // The host holds one rate for input and mask: a request made at another rate is dropped.
    if (isMask && record->inputRate != rate) h.SetInRect(Rect{});
    if (!isMask && record->maskRate != rate) h.SetMaskRect(Rect{});
    record->inputRate = rate;
    record->maskRate = rate;
}

void DeleteImageBuffers(std::vector<ImageBuffer*>& buffers) {
    for (ImageBuffer* buffer : buffers) delete buffer;
    std::vector<ImageBuffer*>().swap(buffers);
}

}  // namespace Corvantis::Host::PS
