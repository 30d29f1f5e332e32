// The filter run: the filter rectangle tile by tile, each tile read, rendered by the plug-in
// and written back, with progress reported to the host.
#include "host/host.h"
#include "host/image_buffer.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace Corvantis::Host::PS {
namespace {

constexpr int32 kDefaultTile = 256;

void ReportProgress(const FilterRecord& record, int32 done, int32 total) {
    if (!record.progressProc) return;
    int64_t scaledDone = int64_t(done) * 1000, scaledTotal = int64_t(total) * 1000;
    // Very large runs would overflow the host's 32-bit counts: report plain tile counts.
    if (scaledTotal > std::numeric_limits<int32>::max()) {
        scaledDone = done;
        scaledTotal = total;
    }
    record.progressProc(int32(scaledDone), int32(scaledTotal));
}

// Clears a flag of the host object on every exit.
struct FlagScope {
    explicit FlagScope(bool& flag, bool value) : flag(flag) { flag = value; }
    ~FlagScope() { flag = false; }
    bool& flag;
};

}  // namespace

void Host::KeepTile(const Rect& tile) {
    FilterRecord& record = *filterRecord;
    const bool ports = PortsSuite() && record.documentInfo &&
                       !(GetBitsPerChannel() > 8 && LacksDocumentInfo());
    // Through the channel ports the document changes only where the plug-in writes: nothing
    // to do at all.
    if (ports) return;
    // Classic: the output is what the plug-in hands back, so the tile's input goes back as it
    // came, in the document's own mode and depth, all planes, in one advance.
    const int32 bits = GetBitsPerChannel();
    const int16 planes = record.planes;
    if (planes <= 0 || RectEmpty(tile)) return;
    record.wantLayout = piLayoutTraditional;
    SetInPlanes(0, planes);
    SetOutPlanes(0, planes);
    SetInRect(tile);
    SetOutRect(tile);
    AdvanceState();
    if (!record.inData || !record.outData) CheckError(errPlugInHostInsufficient);
    const uint64_t rowBytes = (uint64_t(RectWidth(tile)) * uint64_t(planes) * uint64_t(bits) + 7) / 8;
    const auto* in = static_cast<const uint8*>(record.inData);
    auto* out = static_cast<uint8*>(record.outData);
    for (int32 y = 0; y < RectHeight(tile); ++y)
        std::memcpy(out + int64_t(y) * record.outRowBytes, in + int64_t(y) * record.inRowBytes, rowBytes);
}

void Host::ProcessTiles(Parameters* list) {
    inDialog = false;
    if (!filterRecord) CheckError(errPlugInHostInsufficient);
    FilterRecord& record = *filterRecord;

    int32 width = record.outTileWidth, height = record.outTileHeight;
    if (width <= 0 || height <= 0) width = height = kDefaultTile;
    const Rect filterRect = GetFilterRect();
    scale = 1.0f;
    PrepareRender(list, filterRect);
    GetTileSize(filterRect, width, height);
    tilesDone = 0;
    tilesTotal = 0;
    if (RectEmpty(filterRect)) return;
    if (width <= 0 || height <= 0) width = height = kDefaultTile;

    const int64_t rows = (int64_t(RectHeight(filterRect)) + height - 1) / height;
    const int64_t columns = (int64_t(RectWidth(filterRect)) + width - 1) / width;
    tilesTotal = int32(std::min<int64_t>(rows * columns, std::numeric_limits<int32>::max()));
    const bool separately = ProcessesPlanesSeparately();
    const int32 passes = separately ? std::max<int32>(record.planes, 0) : 1;

    for (int64_t i = 0; i < rows; ++i) {
        for (int64_t j = 0; j < columns; ++j) {
            Rect tile;
            tile.top = int32(filterRect.top + i * height);
            tile.left = int32(filterRect.left + j * width);
            tile.bottom = int32(std::min<int64_t>(int64_t(tile.top) + height, filterRect.bottom));
            tile.right = int32(std::min<int64_t>(int64_t(tile.left) + width, filterRect.right));

            // A run can take long: the user may stop it between tiles. What is written stays.
            if (record.abortProc && record.abortProc()) CheckError(userCanceledErr);

            ClearRequests(true);
            if (!SuppressWriteBack() && LeavesTileUnchanged(list, tile, filterRect)) {
                KeepTile(tile);
                ClearRequests(true);
                if (tilesTotal > 1) {
                    ++tilesDone;
                    ReportProgress(record, tilesDone, tilesTotal);
                }
                continue;
            }
            std::vector<LayerRequest> layerRequests;
            const Rect inputRect = MapInputRect(list, tile, filterRect, layerRequests);

            for (int32 plane = 0; plane < passes; ++plane) {
                const int32 count = separately ? 1 : -1;
                ImageBuffer mask(this), source(this), destination(this);
                std::vector<ImageBuffer> extras;
                if (HasMask() && WantsSelectionMask()) {
                    const Rect maskRect = MapMaskRect(list, tile, filterRect);
                    mask.ReadPixels(1, maskRect, 1.0f, plugInModeGrayScale, 1, 0, true);
                }
                {
                    // The output is asked for right after the source: let both come in one advance.
                    const FlagScope defer(deferInputAdvance, layerRequests.empty() && !SuppressWriteBack());
                    source.ReadPixels(0, inputRect, 1.0f, record.imageMode, count, plane, layerRequests.empty());
                }
                extras.reserve(layerRequests.size());
                for (const LayerRequest& request : layerRequests) {
                    extras.emplace_back(this);
                    extras.back().ReadPixels(request.source, request.rect, 1.0f, record.imageMode, count, plane,
                                             false);
                }

                // Later reads may have released or moved host data that earlier buffers lie
                // over: put their requests back so that the next advance delivers them again.
                bool changed = mask.RestoreHostRequest();
                changed = source.RestoreHostRequest() || changed;
                for (ImageBuffer& extra : extras) changed = extra.RestoreHostRequest() || changed;

                bool advanced = false;
                const bool suppress = SuppressWriteBack();
                if (!suppress) {
                    const bool planar = WantsPlanarLayout();
                    if (source.GetMode() == record.imageMode && source.bits == GetBitsPerChannel() &&
                        (!planar || record.supportsAlternateLayouts)) {
                        record.wantLayout = planar ? piLayoutPlanesRowsColumns : piLayoutTraditional;
                        if (separately)
                            SetOutPlanes(int16(plane), 1);
                        else
                            SetOutPlanes(0, int16(source.channels));
                        RequestOutRect(tile);
                        advanced = true;
                        destination.AttachOutData(tile);
                        if (!destination.HasData() && !RectEmpty(tile) && destination.bits >= 8)
                            CheckError(errPlugInHostInsufficient);
                    } else {
                        // Same mode, depth, planes and layout as the source, in our own memory.
                        destination.AllocateLike(source, tile);
                    }
                }
                if (changed && !advanced) AdvanceState();
                mask.RefreshHostData();
                source.RefreshHostData();
                for (ImageBuffer& extra : extras) extra.RefreshHostData();

                source.imageRect = filterRect;
                destination.imageRect = filterRect;
                mask.imageRect = filterRect;
                RenderTile(list, source, destination, mask, extras.empty() ? nullptr : extras.data());
                if (!suppress) destination.WriteBack(plane, &source);
                ClearRequests(true);
            }

            if (tilesTotal > 1) {
                ++tilesDone;
                ReportProgress(record, tilesDone, tilesTotal);
            }
        }
    }
}

}  // namespace Corvantis::Host::PS
