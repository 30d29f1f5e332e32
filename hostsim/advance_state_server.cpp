#include "hostsim/advance_state_server.h"

#include "hostsim/pixel_transfer.h"
#include "hostsim/samples.h"

#include <algorithm>
#include <string>

namespace hostsim {
namespace {

constexpr int32 kFullRate = 1 << 16;
// Largest block the host hands out for one request.
constexpr int64_t kMaxBlockBytes = int64_t(1) << 31;
constexpr int32 kMaxCoordinate = 1 << 28;
constexpr int16 kMaxDummyPlanes = 64;

int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int64_t CeilDiv(int64_t a, int64_t b) { return FloorDiv(a + b - 1, b); }

bool Empty(const VRect& r) { return r.right <= r.left || r.bottom <= r.top; }

VRect From16(const ::Rect& r) { return VRect{r.top, r.left, r.bottom, r.right}; }

std::string RectText(const VRect& r) {
    return "(top " + std::to_string(r.top) + ", left " + std::to_string(r.left) + ", bottom " + std::to_string(r.bottom) +
           ", right " + std::to_string(r.right) + ")";
}

// Dimension order of a layout, outermost first: 0 rows, 1 columns, 2 planes.
struct Order {
    int dims[3];
};
Order LayoutOrder(int16 layout) {
    switch (layout) {
        case piLayoutRowsPlanesColumns: return {{0, 2, 1}};
        case piLayoutColumnsRowsPlanes: return {{1, 0, 2}};
        case piLayoutColumnsPlanesRows: return {{1, 2, 0}};
        case piLayoutPlanesRowsColumns: return {{2, 0, 1}};
        case piLayoutPlanesColumnsRows: return {{2, 1, 0}};
        default: return {{0, 1, 2}};
    }
}

}  // namespace

struct AdvanceStateServer::Request {
    const char* what = "";
    VRect rect{};
    int16 lo = 0, hi = 0, pre = 0, post = 0;
    int32 rate = kFullRate;
    int32 padding = 0;
    int16 layout = 0;
    bool sampled = false;  // in and mask: sampled coordinates and padding
    bool planesMatter = true;
};

AdvanceStateServer::AdvanceStateServer(PixelDocument& document, ProblemLog& problems, WriteLog& written)
    : document_(document), problems_(problems), written_(written) {}

AdvanceStateServer::~AdvanceStateServer() = default;

bool AdvanceStateServer::HasRequests(const FilterRecord& r) {
    if (r.bigDocumentData && r.bigDocumentData->PluginUsing32BitCoordinates) {
        const BigDocumentStruct& big = *r.bigDocumentData;
        return !Empty(big.inRect32) || !Empty(big.outRect32) || !Empty(big.maskRect32);
    }
    return !Empty(From16(r.inRect)) || !Empty(From16(r.outRect)) || !Empty(From16(r.maskRect));
}

OSErr AdvanceStateServer::Check(const Request& q, const FilterRecord& r) const {
    if (Empty(q.rect)) return noErr;
    const std::string what = std::string("advanceState: ") + q.what;
    const VRect& rect = q.rect;
    if (std::max({std::abs(int64_t(rect.top)), std::abs(int64_t(rect.left)), std::abs(int64_t(rect.bottom)),
                  std::abs(int64_t(rect.right))}) > kMaxCoordinate) {
        problems_.Add(what + "Rect " + RectText(rect) + " is far outside any document");
        return paramErr;
    }
    if (q.sampled) {
        const char* rateName = q.planesMatter ? "inputRate" : "maskRate";
        if (q.rate < kFullRate) {
            problems_.Add(what + ": " + rateName + " " + std::to_string(q.rate) +
                          " below 1.0 (the host does not enlarge)");
            return paramErr;
        }
        if (q.rate != kFullRate && options_.samplingSupport == 0) {
            problems_.Add(what + ": " + rateName + " " + std::to_string(q.rate) + " but the host does no sampling");
            return paramErr;
        }
        if (q.rate % kFullRate && options_.samplingSupport == 1) {
            problems_.Add(what + ": " + rateName + " " + std::to_string(q.rate) +
                          " is not whole, and the host samples at whole rates only");
            return paramErr;
        }
        if (q.padding > 255 || q.padding < kPaddingError) {
            problems_.Add(what + ": padding " + std::to_string(q.padding) + " is neither 0..255 nor a padding mode");
            return paramErr;
        }
        if (q.padding == kPaddingError) {
            const int64_t w = CeilDiv(int64_t(document_.width()) * kFullRate, q.rate);
            const int64_t h = CeilDiv(int64_t(document_.height()) * kFullRate, q.rate);
            if (rect.left < 0 || rect.top < 0 || rect.right > w || rect.bottom > h) {
                problems_.Add(what + "Rect " + RectText(rect) + " reaches outside the document, and padding asks for an error");
                return paramErr;
            }
        }
    } else {
        const VRect b = document_.bounds();
        if (rect.left < b.left || rect.top < b.top || rect.right > b.right || rect.bottom > b.bottom) {
            problems_.Add(what + "Rect " + RectText(rect) + " reaches outside the document " + RectText(b));
            return paramErr;
        }
    }
    if (q.planesMatter) {
        const int16 planes = document_.target().planeCount();
        if (q.lo < 0 || q.hi >= planes || q.lo > q.hi) {
            problems_.Add(what + " planes " + std::to_string(q.lo) + ".." + std::to_string(q.hi) +
                          " are not within the document's planes 0.." + std::to_string(planes - 1));
            return paramErr;
        }
        if (q.pre < 0 || q.post < 0 || q.pre + q.post > kMaxDummyPlanes) {
            problems_.Add(what + " dummy planes " + std::to_string(q.pre) + " before and " + std::to_string(q.post) +
                          " after are out of range");
            return paramErr;
        }
        if ((q.pre || q.post) && !options_.dummyPlanes) {
            problems_.Add(what + " asks for dummy planes, which the host does not offer");
            return paramErr;
        }
    }
    if (q.layout < piLayoutTraditional || q.layout > piLayoutPlanesColumnsRows) {
        problems_.Add(what + ": wantLayout " + std::to_string(q.layout) + " is not a layout");
        return paramErr;
    }
    (void)r;
    return noErr;
}

OSErr AdvanceStateServer::Lay(Block& block, const Request& q, const FilterRecord&, int32 depth) {
    block = Block{};
    if (Empty(q.rect)) return noErr;
    block.rect = q.rect;
    block.lo = q.planesMatter ? q.lo : 0;
    block.hi = q.planesMatter ? q.hi : 0;
    block.pre = q.planesMatter ? q.pre : 0;
    block.post = q.planesMatter ? q.post : 0;
    const int64_t extent[3] = {int64_t(q.rect.bottom) - q.rect.top, int64_t(q.rect.right) - q.rect.left,
                               int64_t(block.planes())};
    const Order order = LayoutOrder(options_.alternateLayouts ? q.layout : int16(piLayoutTraditional));
    int64_t stride[3] = {0, 0, 0};
    int64_t size = BytesPerSample(depth);
    for (int i = 2; i >= 0; --i) {
        const int d = order.dims[i];
        stride[d] = size;
        if (d == 0 && i != 2) stride[d] += options_.rowPadding;
        size = stride[d] * extent[d];
        if (size > kMaxBlockBytes) break;
    }
    if (size > kMaxBlockBytes || stride[0] > INT32_MAX || stride[2] > INT32_MAX) {
        problems_.Add(std::string("advanceState: ") + q.what + "Rect " + RectText(q.rect) + " asks for more than " +
                      std::to_string(kMaxBlockBytes >> 20) + " MB at once");
        return memFullErr;
    }
    uint8* data = static_cast<uint8*>(std::malloc(std::size_t(size)));
    if (!data) return memFullErr;
    block.data.reset(data);
    block.size = std::size_t(size);
    block.rowBytes = int32(stride[0]);
    block.colBytes = int32(stride[1]);
    block.planeBytes = int32(stride[2]);
    block.active = true;
    return noErr;
}

namespace {

// One row of sampled input: document row `docY`, columns from `left` (sampled coordinates).
void FillSampledRow(uint8* dst, int32 colBytes, const Plane& plane, int32 left, int32 count, int64_t docY, int32 rate,
                    int32 padding, int32 depth) {
    const int32 w = plane.width();
    const int32 h = plane.height();
    uint8 pad[4] = {0, 0, 0, 0};
    if (padding >= 0) StoreByteValue(uint8(padding), pad, depth);
    const bool edge = padding == kPaddingEdgeReplicate;
    if (docY < 0 || docY >= h) {
        if (!edge) {
            FillRun(dst, count, colBytes, pad, depth);
            return;
        }
        docY = std::clamp<int64_t>(docY, 0, h - 1);
    }
    const int32 y = int32(docY);
    if (rate == kFullRate) {
        const int32 right = left + count;
        const int32 in0 = std::clamp(left, 0, w);
        const int32 in1 = std::clamp(right, 0, w);
        const int32 before = std::max(std::min(right, 0) - left, 0);
        const int32 after = std::max(right - std::max(left, w), 0);
        if (before > 0) {
            if (edge) LoadRun(plane, 0, y, 1, pad, 4, depth);
            FillRun(dst, before, colBytes, pad, depth);
        }
        if (in1 > in0) LoadRun(plane, in0, y, in1 - in0, dst + int64_t(in0 - left) * colBytes, colBytes, depth);
        if (after > 0) {
            if (edge) LoadRun(plane, w - 1, y, 1, pad, 4, depth);
            FillRun(dst + int64_t(count - after) * colBytes, after, colBytes, pad, depth);
        }
        return;
    }
    for (int32 i = 0; i < count; ++i) {
        int64_t x = FloorDiv((int64_t(left) + i) * rate, kFullRate);
        uint8* out = dst + int64_t(i) * colBytes;
        if (x < 0 || x >= w) {
            if (!edge) {
                FillRun(out, 1, colBytes, pad, depth);
                continue;
            }
            x = std::clamp<int64_t>(x, 0, w - 1);
        }
        LoadRun(plane, int32(x), y, 1, out, colBytes, depth);
    }
}

}  // namespace

void AdvanceStateServer::FillInput(Block& block, const Request& q, const FilterRecord& r) {
    const int32 depth = document_.depth();
    const int32 width = block.rect.right - block.rect.left;
    uint8 dummy[4] = {0, 0, 0, 0};
    if (r.dummyPlaneValue >= 0 && r.dummyPlaneValue <= 255) StoreByteValue(uint8(r.dummyPlaneValue), dummy, depth);
    for (int16 p = 0; p < block.planes(); ++p) {
        uint8* base = block.data.get() + int64_t(p) * block.planeBytes;
        const bool isDummy = p < block.pre || p > block.pre + (block.hi - block.lo);
        for (int32 y = block.rect.top; y < block.rect.bottom; ++y) {
            uint8* row = base + int64_t(y - block.rect.top) * block.rowBytes;
            if (isDummy) {
                FillRun(row, width, block.colBytes, dummy, depth);
            } else {
                const Plane& plane = document_.target().plane(block.lo + p - block.pre);
                FillSampledRow(row, block.colBytes, plane, block.rect.left, width,
                               FloorDiv(int64_t(y) * q.rate, kFullRate), q.rate, q.padding, depth);
            }
        }
    }
}

void AdvanceStateServer::FillMask(Block& block, const Request& q) {
    const Plane& selection = *document_.selection();
    const int32 width = block.rect.right - block.rect.left;
    for (int32 y = block.rect.top; y < block.rect.bottom; ++y)
        FillSampledRow(block.data.get() + int64_t(y - block.rect.top) * block.rowBytes, block.colBytes, selection,
                       block.rect.left, width, FloorDiv(int64_t(y) * q.rate, kFullRate), q.rate, q.padding, 8);
}

void AdvanceStateServer::FillOutput(Block& block, const FilterRecord& r) {
    const int32 depth = document_.depth();
    const int32 width = block.rect.right - block.rect.left;
    uint8 dummy[4] = {0, 0, 0, 0};
    if (r.dummyPlaneValue >= 0 && r.dummyPlaneValue <= 255) StoreByteValue(uint8(r.dummyPlaneValue), dummy, depth);
    for (int16 p = 0; p < block.planes(); ++p) {
        uint8* base = block.data.get() + int64_t(p) * block.planeBytes;
        const bool isDummy = p < block.pre || p > block.pre + (block.hi - block.lo);
        for (int32 y = block.rect.top; y < block.rect.bottom; ++y) {
            uint8* row = base + int64_t(y - block.rect.top) * block.rowBytes;
            if (isDummy)
                FillRun(row, width, block.colBytes, dummy, depth);
            else
                LoadRun(document_.target().plane(block.lo + p - block.pre), block.rect.left, y, width, row,
                        block.colBytes, depth);
        }
    }
}

void AdvanceStateServer::Publish(FilterRecord& r) const {
    const bool alternate = options_.alternateLayouts;
    r.inData = in_.data.get();
    r.inRowBytes = in_.rowBytes;
    r.inColumnBytes = alternate ? in_.colBytes : 0;
    r.inPlaneBytes = alternate ? in_.planeBytes : 0;
    r.outData = out_.data.get();
    r.outRowBytes = out_.rowBytes;
    r.outColumnBytes = alternate ? out_.colBytes : 0;
    r.outPlaneBytes = alternate ? out_.planeBytes : 0;
    r.maskData = mask_.data.get();
    r.maskRowBytes = mask_.rowBytes;
}

OSErr AdvanceStateServer::Advance(FilterRecord& r) {
    ++advances_;
    TakeBackOutput(r);
    in_ = Block{};
    mask_ = Block{};

    const bool big = r.bigDocumentData && r.bigDocumentData->PluginUsing32BitCoordinates;
    Request in;
    in.what = "in";
    in.rect = big ? r.bigDocumentData->inRect32 : From16(r.inRect);
    in.lo = r.inLoPlane;
    in.hi = r.inHiPlane;
    in.pre = r.inPreDummyPlanes;
    in.post = r.inPostDummyPlanes;
    in.rate = r.inputRate;
    in.padding = r.inputPadding;
    in.layout = r.wantLayout;
    in.sampled = true;

    Request out;
    out.what = "out";
    out.rect = big ? r.bigDocumentData->outRect32 : From16(r.outRect);
    out.lo = r.outLoPlane;
    out.hi = r.outHiPlane;
    out.pre = r.outPreDummyPlanes;
    out.post = r.outPostDummyPlanes;
    out.layout = r.wantLayout;

    Request mask;
    mask.what = "mask";
    mask.rect = big ? r.bigDocumentData->maskRect32 : From16(r.maskRect);
    mask.rate = r.maskRate;
    mask.padding = r.maskPadding;
    mask.sampled = true;
    mask.planesMatter = false;
    // Without a selection there is no mask to give; asking for one is not an error.
    if (!document_.hasSelection() || !r.haveMask) mask.rect = VRect{0, 0, 0, 0};

    OSErr err = noErr;
    for (const Request* q : {&in, &out, &mask}) {
        err = Check(*q, r);
        if (err != noErr) break;
    }
    if (err == noErr) err = Lay(in_, in, r, document_.depth());
    if (err == noErr) err = Lay(out_, out, r, document_.depth());
    if (err == noErr) err = Lay(mask_, mask, r, 8);
    if (err != noErr) {
        in_ = Block{};
        out_ = Block{};
        mask_ = Block{};
        Publish(r);
        return err;
    }
    if (in_.active) FillInput(in_, in, r);
    if (out_.active) FillOutput(out_, r);
    if (mask_.active) FillMask(mask_, mask);
    peakBytes_ = std::max<int64_t>(peakBytes_, int64_t(in_.size + out_.size + mask_.size));
    Publish(r);
    return noErr;
}

void AdvanceStateServer::TakeBackOutput(FilterRecord& r) {
    if (!out_.active) return;
    const int32 depth = document_.depth();
    const int32 width = out_.rect.right - out_.rect.left;
    const Plane* mask = document_.hasSelection() && r.autoMask ? document_.selection() : nullptr;
    for (int16 p = out_.pre; p <= out_.pre + (out_.hi - out_.lo); ++p) {
        Plane& plane = document_.target().plane(out_.lo + p - out_.pre);
        const uint8* base = out_.data.get() + int64_t(p) * out_.planeBytes;
        for (int32 y = out_.rect.top; y < out_.rect.bottom; ++y)
            StoreRun(plane, out_.rect.left, y, width, base + int64_t(y - out_.rect.top) * out_.rowBytes, out_.colBytes,
                     depth, mask ? mask->At(out_.rect.left, y) : nullptr);
        written_.Add(out_.rect, out_.lo + p - out_.pre);
    }
    document_.MarkChanged();
    ++outputsTaken_;
    out_ = Block{};
    r.outData = nullptr;
}

void AdvanceStateServer::DropOutput() { out_ = Block{}; }

void AdvanceStateServer::Release(FilterRecord& r) {
    in_ = Block{};
    out_ = Block{};
    mask_ = Block{};
    Publish(r);
}

}  // namespace hostsim
