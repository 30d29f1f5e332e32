// Reading document pixels into image buffers: through the ChannelPorts suite where the host
// offers it, through the classic advance-state protocol otherwise.
#include "host/channel_chain.h"
#include "host/host.h"
#include "host/image_buffer.h"
#include "host/image_modes.h"
#include "host/pixel_conversion.h"
#include "host/pixel_path.h"

#include <algorithm>
#include <cstring>

namespace Corvantis::Host::PS {

void ImageBuffer::ReadSource(uint64_t source, const Rect& rect, float requested) {
    Host& h = RequireHost();
    if (!h.filterRecord) h.CheckError(errPlugInHostInsufficient);
    const int32 mode = h.inDialog ? EightBitModeOf(h.filterRecord->imageMode) : h.filterRecord->imageMode;
    ReadPixels(source, rect, requested, mode, -1, 0, false);
}

void Host::ReadPreviewSelection(ImageBuffer& buffer, const Rect& rect, float requested) {
    if (!WantsPreviewSelection()) return;
    if (!buffer.host) buffer.host = this;
    buffer.ReadPixels(1, rect, requested, plugInModeGrayScale, -1, 0, false);
}

void ImageBuffer::FillOpaque(int32 plane) {
    if (!HasData() || bits < 8) return;
    for (int32 y = map.bounds.top; y < map.bounds.bottom; ++y)
        for (int32 x = map.bounds.left; x < map.bounds.right; ++x) StoreOpaque(SampleAt(x, y, plane), bits);
}

void ImageBuffer::ReadPixels(uint64_t source, const Rect& rect, float requested, int32 mode, int32 planes,
                             int32 firstPlane, bool direct) {
    Host& h = RequireHost();
    FilterRecord* record = h.filterRecord;
    if (!record) h.CheckError(errPlugInHostInsufficient);
    const int32 eff = h.EffectiveMode(int16(mode));
    const int32 docBits = h.GetBitsPerChannel();
    Reset();
    if (source == 1 && !h.HasMask()) return;
    if (firstPlane < 0) firstPlane = 0;

    SetSamplingRate(GetSamplingScale(requested, mode), source == 1);
    record->inputPadding = 255;
    record->maskPadding = 255;

    if (RectEmpty(rect)) {
        Allocate(rect, eff, planes, h.WantsPlanarLayout());
    } else {
        const bool classic = !h.PortsSuite() || !record->documentInfo ||
                             (requested == 1.0f && BitsPerChannelOfMode(eff) > 8 && h.LacksDocumentInfo());
        if (classic) {
            ReadClassic(source, rect, eff, planes, firstPlane, direct, docBits);
        } else if (!ReadChannelPorts(source, rect, requested, eff, planes, firstPlane, docBits)) {
            return;  // the source does not exist: the buffer stays empty
        }
    }
    imageRect = ScaleRect(h.GetFilterRect(), scale);
}

void ImageBuffer::ReadClassic(uint64_t source, const Rect& rect, int32 eff, int32 planes, int32 firstPlane,
                              bool direct, int32 docBits) {
    Host& h = RequireHost();
    FilterRecord& record = *h.filterRecord;
    if (source == 1) {
        h.RequestMaskRect(rect);
        AttachMask();
        RequireHostData();
        return;
    }
    // Every other source reads the target layer's input.
    record.wantLayout = piLayoutTraditional;
    const bool planar = h.WantsPlanarLayout();

    if (direct && record.imageMode == eff && !(planar && !record.supportsAlternateLayouts)) {
        if (planar) record.wantLayout = piLayoutPlanesRowsColumns;
        int32 count = planes;
        if (count < 0) count = ChannelCountOfMode(eff, record.planes) + (h.HasTransparencyPlane() ? 1 : 0);
        h.SetInPlanes(int16(firstPlane), int16(count));
        if (h.deferInputAdvance) {
            // The caller's next advance delivers the data; it refreshes this buffer then.
            h.SetInRect(rect);
            AttachInput();
            return;
        }
        h.RequestInRect(rect);
        AttachInput();
        RequireHostData();
        return;
    }

    Allocate(rect, eff, planes, planar);
    if (!HasData()) return;
    const uint64_t width = uint64_t(Width());
    const int32 b = bits / 8;
    // The host's input row, after asking for it.
    auto requestRow = [&](int32 y) -> const void* {
        h.RequestInRect(Rect{y, rect.left, y + 1, rect.right});
        if (!record.inData) h.CheckError(errPlugInHostInsufficient);
        return record.inData;
    };

    if (ColorSpaceOfMode(record.imageMode) == ColorSpaceOfMode(eff)) {
        if (!IsPlanar()) {
            h.SetInPlanes(int16(firstPlane), int16(channels));
            for (int32 y = rect.top; y < rect.bottom; ++y)
                ConvertDepth(h, uint64_t(channels), docBits, bits, requestRow(y), SampleAt(rect.left, y, 0), width);
        } else {
            for (int32 p = 0; p < channels; ++p) {
                h.SetInPlanes(int16(firstPlane + p), 1);
                for (int32 y = rect.top; y < rect.bottom; ++y)
                    ConvertDepth(h, 1, docBits, bits, requestRow(y), SampleAt(rect.left, y, p), width);
            }
        }
        h.ReleaseInputData();
        return;
    }

    // Another colour space: convert each row from the host's input into the buffer.
    const int32 n = ChannelCountFor(record.imageMode);
    HostBuffer scratch(h.filterRecord), intermediate(h.filterRecord), interleaved(h.filterRecord);
    uint8* scratchData = AllocateScratch(scratch, ConversionScratchSize(record.imageMode, eff, docBits, bits, width));
    uint8* intermediateData =
        AllocateScratch(intermediate, IntermediateRunSize(record.imageMode, eff, n, docBits, bits, width));
    uint8* interleavedRow =
        IsPlanar() ? AllocateScratch(interleaved, uint64_t(b) * width * uint64_t(channels)) : nullptr;
    h.SetInPlanes(int16(firstPlane), int16(n));
    uint8* nativeRows = KeepNativeRows(rect, record.imageMode, docBits, n);
    for (int32 y = rect.top; y < rect.bottom; ++y) {
        uint8* row = SampleAt(rect.left, y, 0);
        const void* input = requestRow(y);
        if (nativeRows)
            std::memcpy(nativeRows + int64_t(y - rect.top) * native.rowBytes, input, size_t(native.rowBytes));
        ConvertPixels(h, record.imageMode, eff, n, docBits, bits, scratchData, intermediateData, input,
                      interleavedRow ? interleavedRow : row, width);
        if (interleavedRow) DeinterleaveRow(interleavedRow, row);
    }
    h.ReleaseInputData();
}

bool ImageBuffer::ReadChannelPorts(uint64_t source, const Rect& rect, float requested, int32 eff, int32 planes,
                                   int32 firstPlane, int32 docBits) {
    Host& h = RequireHost();
    FilterRecord& record = *h.filterRecord;
    const ReadImageDocumentDesc* doc = record.documentInfo;
    // Ports scale freely: the requested scale itself.
    SetSamplingRate(requested, source == 1);

    ChannelChain chain;
    if (source == 1) {
        chain = ChannelChain(doc->selection, nullptr);
    } else if (source >= 2 && doc->layersDescriptor) {
        // A version-2 field of the description. Reached only with the ChannelPorts suite, which
        // no host offers with an older description.
        const ReadLayerDesc* layer = doc->layersDescriptor;
        for (uint64_t i = 0; layer && i < source - 2; ++i) layer = layer->next;
        if (!layer) return false;
        chain = ChannelChain(layer->compositeChannelsList, layer->transparency);
    } else {
        chain = TargetChain(doc);
    }
    if (!chain.Skip(firstPlane)) return false;
    h.ReleaseInputData();

    // The selection is read with every channel of its list, a layer with its shown ones.
    const bool shownOnly = source != 1;
    const ReadChannelDesc* first = chain.Peek(shownOnly);
    int32 readMode = record.imageMode;
    int32 readBits = docBits;
    if (source == 1) {
        readBits = first ? first->depth : 8;
        readMode = readBits == 16 ? plugInModeGray16 : readBits == 32 ? plugInModeGray32 : plugInModeGrayScale;
        if (readBits != 16 && readBits != 32) readBits = 8;
    }
    if (first && first->depth > 8 && h.LacksDocumentInfo()) {
        readMode = EightBitModeOf(readMode);
        readBits = 8;
    }
    const int32 bufferMode = source == 1 ? readMode : eff;
    Allocate(rect, bufferMode, source == 1 ? 1 : planes, h.WantsPlanarLayout());
    if (!HasData()) return true;

    const Rect filterRect = h.GetFilterRect();
    const PSScaling scaling{filterRect, ScaleRect(filterRect, scale)};

    if (readMode == bufferMode || ColorSpaceOfMode(readMode) == ColorSpaceOfMode(bufferMode)) {
        for (int32 p = 0; p < channels; ++p) {
            const ReadChannelDesc* channel = chain.Next(shownOnly);
            if (!channel) {
                FillOpaque(p);
                continue;
            }
            const PixelMemoryDesc desc =
                MakeMemoryDesc(h, GetData() + int64_t(p) * PlaneBytes(), RowBytes(), ColumnBytes(), 0, bits);
            ReadFromPort(channel->port, channel->depth, rect, scaling, desc);
        }
        return true;
    }

    // Another colour space: read the document's planes of a row interleaved, then convert.
    h.ReleaseInputData();
    const int32 n = std::max(ChannelCountFor(readMode), 0);
    const uint64_t width = uint64_t(Width());
    HostBuffer scratch(h.filterRecord), intermediate(h.filterRecord), readBuffer(h.filterRecord),
        interleaved(h.filterRecord);
    uint8* scratchData = AllocateScratch(scratch, ConversionScratchSize(readMode, bufferMode, readBits, bits, width));
    uint8* intermediateData =
        AllocateScratch(intermediate, IntermediateRunSize(readMode, bufferMode, n, readBits, bits, width));
    uint8* readRow = AllocateScratch(readBuffer, width * uint64_t(readBits) * uint64_t(n) / 8);
    uint8* interleavedRow =
        IsPlanar() ? AllocateScratch(interleaved, uint64_t(bits / 8) * width * uint64_t(channels)) : nullptr;
    const int32 rb = readBits / 8;
    // The document's own samples, when they are what is read.
    uint8* nativeRows = readMode == record.imageMode && readBits == docBits && source != 1
                            ? KeepNativeRows(rect, readMode, readBits, n)
                            : nullptr;
    for (int32 y = rect.top; y < rect.bottom; ++y) {
        const Rect row{y, rect.left, y + 1, rect.right};
        ChannelChain rowChain = chain;
        for (int32 p = 0; p < n; ++p) {
            const ReadChannelDesc* channel = rowChain.Next(shownOnly);
            if (!channel) {
                for (uint64_t x = 0; x < width; ++x) StoreOpaque(readRow + (x * n + p) * rb, readBits);
                continue;
            }
            const PixelMemoryDesc desc = MakeMemoryDesc(h, readRow, int64_t(width) * n * rb, int64_t(n) * rb,
                                                        int64_t(p) * readBits, readBits);
            ReadFromPort(channel->port, channel->depth, row, scaling, desc);
        }
        if (nativeRows)
            std::memcpy(nativeRows + int64_t(y - rect.top) * native.rowBytes, readRow, size_t(native.rowBytes));
        uint8* target = SampleAt(rect.left, y, 0);
        ConvertPixels(h, readMode, bufferMode, n, readBits, bits, scratchData, intermediateData, readRow,
                      interleavedRow ? interleavedRow : target, width);
        if (interleavedRow) DeinterleaveRow(interleavedRow, target);
    }
    return true;
}

}  // namespace Corvantis::Host::PS
