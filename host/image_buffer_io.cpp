// Moving a buffer's pixels through the host: channel-port reads, resampling through a
// temporary port, and writing a buffer back into the document.
#include "host/channel_chain.h"
#include "host/host.h"
#include "host/image_buffer.h"
#include "host/image_modes.h"
#include "host/pixel_conversion.h"
#include "host/pixel_path.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace Corvantis::Host::PS {

void StoreOpaque(void* sample, int32 bits) {
    if (bits == 8) {
        *static_cast<uint8*>(sample) = 255;
    } else if (bits == 16) {
        const uint16 v = 32768;
        std::memcpy(sample, &v, 2);
    } else if (bits == 32) {
        const float v = 1.0f;
        std::memcpy(sample, &v, 4);
    }
}

uint8* AllocateScratch(HostBuffer& buffer, uint64_t size) {
    if (size) buffer.Allocate(size);
    return static_cast<uint8*>(buffer.Data());
}

PixelMemoryDesc MakeMemoryDesc(Host& host, void* data, int64_t rowBytes, int64_t colBytes, int64_t bitOffset,
                               int32 depth) {
    constexpr int64_t kMax = std::numeric_limits<int32>::max();
    if (rowBytes * 8 > kMax || colBytes * 8 > kMax || bitOffset > kMax || rowBytes < 0 || colBytes < 0)
        host.CheckError(errPlugInHostInsufficient);
    return PixelMemoryDesc{data, int32(rowBytes * 8), int32(colBytes * 8), int32(bitOffset), depth};
}

void ImageBuffer::ReadFromPort(ChannelReadPort port, int32 portDepth, const Rect& readRect, const PSScaling& scaling,
                               const PixelMemoryDesc& destination) {
    Host& h = RequireHost();
    const PSChannelPortsSuite1* ports = h.PortsSuite();
    if (!ports) h.CheckError(errPlugInHostInsufficient);
    Rect rect = readRect;
    const bool unscaled = scaling.sourceRect.top == scaling.destinationRect.top &&
                          scaling.sourceRect.left == scaling.destinationRect.left &&
                          scaling.sourceRect.bottom == scaling.destinationRect.bottom &&
                          scaling.sourceRect.right == scaling.destinationRect.right;
    SPErr err;
    if (!h.LacksDocumentInfo() && portDepth == destination.depth && unscaled && ports->ReadPixelsFromLevel)
        err = ports->ReadPixelsFromLevel(port, 0, &rect, &destination);
    else if (ports->ReadScaledPixels)
        err = ports->ReadScaledPixels(port, &rect, &scaling, &destination);
    else
        err = kSPUnimplementedError;
    if (err != kSPNoError) h.CheckError(errPlugInHostInsufficient);
}

void ImageBuffer::ResampleFrom(const ImageBuffer& other, const Rect& rect, const Rect& newImageRect) {
    Host& h = RequireHost();
    if (&other == this) throw std::logic_error("resampling a buffer into itself");
    const PSChannelPortsSuite1* ports = h.PortsSuite();
    if (!ports || !ports->New || !ports->Dispose || !ports->WritePixelsToBaseLevel || !ports->ReadScaledPixels)
        h.CheckError(errPlugInHostInsufficient);
    AllocateLike(other, rect);
    imageRect = newImageRect;
    if (!HasData() || !other.HasData() || RectEmpty(other.GetRect()) || bits < 8) return;

    // A temporary pixel-memory port, disposed on every exit.
    struct PortGuard {
        const PSChannelPortsSuite1* ports;
        PIChannelPort port = nullptr;
        ~PortGuard() {
            if (port) ports->Dispose(&port);
        }
    } guard{ports};
    Rect otherRect = other.GetRect();
    if (ports->New(&guard.port, &otherRect, bits, true) != kSPNoError || !guard.port)
        h.CheckError(errPlugInHostInsufficient);

    const PSScaling scaling{other.imageRect, newImageRect};
    Rect readRect = GetRect();
    for (int32 p = 0; p < channels; ++p) {
        const PixelMemoryDesc from = MakeMemoryDesc(h, other.GetData() + int64_t(p) * other.PlaneBytes(),
                                                    other.RowBytes(), other.ColumnBytes(), 0, other.bits);
        if (ports->WritePixelsToBaseLevel(guard.port, &otherRect, &from) != kSPNoError)
            h.CheckError(errPlugInHostInsufficient);
        const PixelMemoryDesc to =
            MakeMemoryDesc(h, GetData() + int64_t(p) * PlaneBytes(), RowBytes(), ColumnBytes(), 0, bits);
        if (ports->ReadScaledPixels(guard.port, &readRect, &scaling, &to) != kSPNoError)
            h.CheckError(errPlugInHostInsufficient);
    }
}

void ImageBuffer::ScaleFrom(const ImageBuffer& other, const Rect& rect, float factor) {
    ResampleFrom(other, rect, ScaleRect(other.imageRect, factor));
}

void ImageBuffer::WriteBack(int32 firstPlane, const ImageBuffer* source) {
    Host& h = RequireHost();
    if (h.inDialog) return;
    FilterRecord* record = h.filterRecord;
    if (!record) h.CheckError(errPlugInHostInsufficient);
    // Rendered straight into the host's output: nothing to copy.
    if (HasData() && GetData() == record->outData) return;
    if (!HasData() || RectEmpty(GetRect()) || bits < 8 || channels <= 0) return;
    if (firstPlane < 0) firstPlane = 0;
    const int32 targetBits = h.GetBitsPerChannel();
    const int32 targetMode = record->imageMode;
    if (h.PortsSuite() && record->documentInfo && !h.LacksDocumentInfo())
        WriteThroughPorts(firstPlane, targetMode, targetBits, source);
    else
        WriteClassic(firstPlane, targetMode, targetBits, source);
}

void ImageBuffer::WriteThroughPorts(int32 firstPlane, int32 targetMode, int32 targetBits,
                                    const ImageBuffer* unchangedFrom) {
    Host& h = RequireHost();
    const PSChannelPortsSuite1* ports = h.PortsSuite();
    if (!ports->WritePixelsToBaseLevel) h.CheckError(errPlugInHostInsufficient);
    ChannelChain chain = TargetChain(h.filterRecord->documentInfo);
    if (!chain.Skip(firstPlane)) return;
    Rect rect = GetRect();

    if (map.imageMode == targetMode) {
        for (int32 p = 0; p < channels; ++p) {
            const ReadChannelDesc* channel = chain.Next(true);
            if (!channel) break;
            if (!channel->writePort) h.CheckError(paramErr);
            const PixelMemoryDesc desc =
                MakeMemoryDesc(h, GetData() + int64_t(p) * PlaneBytes(), RowBytes(), ColumnBytes(), 0, bits);
            if (ports->WritePixelsToBaseLevel(channel->writePort, &rect, &desc) != kSPNoError)
                h.CheckError(errPlugInHostInsufficient);
        }
        return;
    }

    // Another mode: convert row by row into the document's mode, then write plane by plane.
    const int32 n = ChannelCountFor(targetMode);
    const uint64_t width = uint64_t(Width());
    HostBuffer scratch(h.filterRecord), intermediate(h.filterRecord), converted(h.filterRecord),
        interleaved(h.filterRecord);
    uint8* scratchData =
        AllocateScratch(scratch, ConversionScratchSize(map.imageMode, targetMode, bits, targetBits, width));
    uint8* intermediateData = AllocateScratch(
        intermediate, IntermediateRunSize(map.imageMode, targetMode, channels, bits, targetBits, width));
    uint8* convertedRow = AllocateScratch(converted, width * uint64_t(targetBits) * uint64_t(std::max(n, 0)) / 8);
    uint8* interleavedRow = NeedsInterleaveScratch()
                                ? AllocateScratch(interleaved, uint64_t(bits / 8) * width * uint64_t(channels))
                                : nullptr;
    h.SetOutPlanes(int16(firstPlane), int16(n));
    for (int32 y = rect.top; y < rect.bottom; ++y) {
        const uint8* source = InterleavedRow(y, interleavedRow);
        ConvertPixels(h, map.imageMode, targetMode, channels, bits, targetBits, scratchData, intermediateData, source,
                      convertedRow, width);
        RestoreUnchanged(unchangedFrom, y, convertedRow, targetMode, targetBits, n);
        Rect row{y, rect.left, y + 1, rect.right};
        ChannelChain rowChain = chain;
        for (int32 p = 0; p < n; ++p) {
            const ReadChannelDesc* channel = rowChain.Next(true);
            if (!channel) break;
            if (!channel->writePort) h.CheckError(paramErr);
            const PixelMemoryDesc desc =
                MakeMemoryDesc(h, convertedRow, int64_t(width) * n * targetBits / 8, int64_t(n) * targetBits / 8,
                               int64_t(p) * targetBits, targetBits);
            if (ports->WritePixelsToBaseLevel(channel->writePort, &row, &desc) != kSPNoError)
                h.CheckError(errPlugInHostInsufficient);
        }
    }
}

void ImageBuffer::WriteClassic(int32 firstPlane, int32 targetMode, int32 targetBits,
                               const ImageBuffer* unchangedFrom) {
    Host& h = RequireHost();
    FilterRecord& record = *h.filterRecord;
    record.wantLayout = piLayoutTraditional;
    const Rect rect = GetRect();
    const uint64_t width = uint64_t(Width());
    const int32 b = bits / 8;

    // The host's output row, after asking for it.
    auto requestRow = [&](int32 y) -> void* {
        h.RequestOutRect(Rect{y, rect.left, y + 1, rect.right});
        if (!record.outData) h.CheckError(errPlugInHostInsufficient);
        return record.outData;
    };

    if (map.imageMode == targetMode || ColorSpaceOfMode(map.imageMode) == ColorSpaceOfMode(targetMode)) {
        // Same colour space: a copy, or a depth conversion (equal depths copy).
        if (!(IsPlanar() && ColumnBytes() == b)) {
            HostBuffer interleaved(h.filterRecord);
            uint8* scratch = NeedsInterleaveScratch()
                                 ? AllocateScratch(interleaved, uint64_t(b) * width * uint64_t(channels))
                                 : nullptr;
            h.SetOutPlanes(int16(firstPlane), int16(channels));
            for (int32 y = rect.top; y < rect.bottom; ++y) {
                const uint8* source = InterleavedRow(y, scratch);
                ConvertDepth(h, uint64_t(channels), bits, targetBits, source, requestRow(y), width);
            }
        } else {
            // Planar rows: each plane row is contiguous.
            for (int32 p = 0; p < channels && firstPlane + p < record.planes; ++p) {
                h.SetOutPlanes(int16(firstPlane + p), 1);
                for (int32 y = rect.top; y < rect.bottom; ++y)
                    ConvertDepth(h, 1, bits, targetBits, SampleAt(rect.left, y, p), requestRow(y), width);
            }
        }
        return;
    }

    // Another colour space: convert each row straight into the host's output.
    const int32 n = ChannelCountFor(targetMode);
    HostBuffer scratch(h.filterRecord), intermediate(h.filterRecord), interleaved(h.filterRecord);
    uint8* scratchData =
        AllocateScratch(scratch, ConversionScratchSize(map.imageMode, targetMode, bits, targetBits, width));
    uint8* intermediateData = AllocateScratch(
        intermediate, IntermediateRunSize(map.imageMode, targetMode, channels, bits, targetBits, width));
    uint8* interleavedRow =
        NeedsInterleaveScratch() ? AllocateScratch(interleaved, uint64_t(b) * width * uint64_t(channels)) : nullptr;
    h.SetOutPlanes(int16(firstPlane), int16(n));
    for (int32 y = rect.top; y < rect.bottom; ++y) {
        const uint8* source = InterleavedRow(y, interleavedRow);
        uint8* out = static_cast<uint8*>(requestRow(y));
        ConvertPixels(h, map.imageMode, targetMode, channels, bits, targetBits, scratchData, intermediateData, source,
                      out, width);
        RestoreUnchanged(unchangedFrom, y, out, targetMode, targetBits, n);
    }
}

}  // namespace Corvantis::Host::PS
