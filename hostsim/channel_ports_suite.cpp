#include "hostsim/channel_ports_suite.h"

#include "hostsim/pixel_transfer.h"
#include "hostsim/samples.h"
#include "hostsim/unserved.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace hostsim {
namespace {

thread_local ChannelPortsHost* activeHost = nullptr;

constexpr SPErr kBadParameter = SPErr(paramErr);
// Largest pixel-memory port a plug-in may make, in bytes.
constexpr int64_t kMaxMemoryPortBytes = int64_t(1) << 31;
// Coordinates beyond this are nonsense, whatever the document.
constexpr int32 kMaxCoordinate = 1 << 28;

std::string RectText(const VRect& r) {
    return "(top " + std::to_string(r.top) + ", left " + std::to_string(r.left) + ", bottom " + std::to_string(r.bottom) +
           ", right " + std::to_string(r.right) + ")";
}

bool Empty(const VRect& r) { return r.right <= r.left || r.bottom <= r.top; }

VRect Intersect(const VRect& a, const VRect& b) {
    VRect r{std::max(a.top, b.top), std::max(a.left, b.left), std::min(a.bottom, b.bottom), std::min(a.right, b.right)};
    if (Empty(r)) return VRect{0, 0, 0, 0};
    return r;
}

bool Sane(const VRect& r) {
    return std::max({std::abs(int64_t(r.top)), std::abs(int64_t(r.left)), std::abs(int64_t(r.bottom)),
                     std::abs(int64_t(r.right))}) <= kMaxCoordinate;
}

bool Contains(const VRect& outer, const VRect& inner) {
    return inner.top >= outer.top && inner.left >= outer.left && inner.bottom <= outer.bottom &&
           inner.right <= outer.right;
}

const char* ColorChannelName(ColorModel model, int plane) {
    static constexpr const char* kRGB[] = {"Red", "Green", "Blue"};
    static constexpr const char* kCMYK[] = {"Cyan", "Magenta", "Yellow", "Black"};
    static constexpr const char* kLab[] = {"Lightness", "a", "b"};
    static constexpr const char* kHSB[] = {"Hue", "Saturation", "Brightness"};
    static constexpr const char* kHSL[] = {"Hue", "Saturation", "Lightness"};
    switch (model) {
        case ColorModel::Gray: return "Gray";
        case ColorModel::Duotone: return "Duotone";
        case ColorModel::RGB: return kRGB[plane];
        case ColorModel::CMYK: return kCMYK[plane];
        case ColorModel::Lab: return kLab[plane];
        case ColorModel::HSB: return kHSB[plane];
        case ColorModel::HSL: return kHSL[plane];
        case ColorModel::Multichannel: break;
    }
    return nullptr;
}

// Address of pixel (x, y) of `rect` in the plug-in's memory.
uint8* Address(const PixelMemoryDesc& m, const VRect& rect, int32 x, int32 y) {
    const int64_t bits = int64_t(y - rect.top) * m.rowBits + int64_t(x - rect.left) * m.colBits + m.bitOffset;
    return static_cast<uint8*>(m.data) + bits / 8;
}

}  // namespace

ChannelPortsHost::ChannelPortsHost(PixelDocument& document, FaultPlan& faults, ProblemLog& problems,
                                   WriteLog& written)
    : document_(document), faults_(faults), problems_(problems), written_(written) {
    RestoreTable();
}

ChannelPortsHost::~ChannelPortsHost() {
    if (activeHost == this) activeHost = nullptr;
}

void ChannelPortsHost::RestoreTable() {
    table_ = PSChannelPortsSuite1{};
    table_.CountLevels = &CountLevels;
    table_.GetDepth = &GetDepth;
    table_.GetDataBounds = &GetDataBounds;
    table_.GetWriteLimit = &GetWriteLimit;
    table_.GetTilingGrid = &GetTilingGrid;
    table_.GetSupportRect = &GetSupportRect;
    table_.GetDependentRect = &GetDependentRect;
    table_.CanRead = &CanRead;
    table_.CanWrite = &CanWrite;
    table_.ReadPixelsFromLevel = &ReadPixelsFromLevel;
    table_.WritePixelsToBaseLevel = &WritePixelsToBaseLevel;
    table_.ReadScaledPixels = &ReadScaledPixels;
    table_.FindSourceForScaledRead = &FindSourceForScaledRead;
    table_.New = &New;
    table_.Dispose = &Dispose;
    // Version 3: port operations, copy-on-write ports and freezing are not offered.
    table_.SupportsOperation = NotServed<decltype(table_.SupportsOperation)>();
    table_.ApplyOperation = NotServed<decltype(table_.ApplyOperation)>();
    table_.AddOperation = NotServed<decltype(table_.AddOperation)>();
    table_.RemoveOperation = NotServed<decltype(table_.RemoveOperation)>();
    table_.NewCopyOnWrite = NotServed<decltype(table_.NewCopyOnWrite)>();
    table_.Freeze = NotServed<decltype(table_.Freeze)>();
    table_.Restore = NotServed<decltype(table_.Restore)>();
}

ChannelPortsHost::ActiveScope::ActiveScope(ChannelPortsHost& host) : previous_(activeHost) { activeHost = &host; }
ChannelPortsHost::ActiveScope::~ActiveScope() { activeHost = previous_; }

// --- document description ---

ChannelReadPort ChannelPortsHost::AddPort(Port::Kind kind, int layer, int plane, bool writable) {
    auto port = std::make_unique<Port>();
    port->kind = kind;
    port->layer = layer;
    port->plane = plane;
    port->writable = writable;
    const void* id = port.get();
    documentPorts_[id] = std::move(port);
    return reinterpret_cast<ChannelReadPort>(const_cast<void*>(id));
}

ReadChannelDesc* ChannelPortsHost::AddChannel(ChannelReadPort port, ChannelWritePort writePort,
                                              const std::string& name, int32 depth, bool target, bool shown) {
    names_.push_back(name);
    ReadChannelDesc desc{};
    desc.minVersion = 0;
    desc.maxVersion = options_.channelMaxVersion;
    desc.port = port;
    desc.bounds = document_.bounds();
    desc.depth = depth;
    desc.tileSize = options_.tileSize;
    desc.tileOrigin = VPoint{0, 0};
    desc.target = target ? 1 : 0;
    desc.shown = shown ? 1 : 0;
    desc.name = names_.back().c_str();
    desc.writePort = writePort;
    channels_.push_back(desc);
    return &channels_.back();
}

// The composite channels of a layer, linked, and its transparency channel after them.
ReadChannelDesc* ChannelPortsHost::Chain(int layer, bool target, bool writable) {
    const Layer& l = document_.layer(layer);
    const int32 depth = document_.depth();
    ReadChannelDesc* first = nullptr;
    ReadChannelDesc* last = nullptr;
    auto link = [&](ReadChannelDesc* desc) {
        if (last) last->next = desc;
        else first = desc;
        last = desc;
    };
    for (int p = 0; p < int(l.color.size()); ++p) {
        const char* known = ColorChannelName(document_.model(), p);
        const std::string name = known ? known : "Channel " + std::to_string(p + 1);
        const ChannelReadPort port = AddPort(Port::Kind::LayerPlane, layer, p, writable);
        link(AddChannel(port, writable ? port : nullptr, name, depth, target, true));
        if (target && p == options_.hiddenChannelAfter) {
            if (!hidden_) hidden_ = std::make_unique<Plane>(document_.width(), document_.height(), depth);
            const ChannelReadPort hidden = AddPort(Port::Kind::Hidden, layer, 0, writable);
            link(AddChannel(hidden, writable ? hidden : nullptr, "Spot", depth, target, false));
        }
    }
    return first;
}

ReadImageDocumentDesc* ChannelPortsHost::Describe(const DescriptionOptions& options) {
    options_ = options;
    channels_.clear();
    layers_.clear();
    names_.clear();
    documentPorts_.clear();
    description_ = ReadImageDocumentDesc{};
    ReadImageDocumentDesc& d = description_;
    // Version 3: everything up to the channel counts is filled in.
    d.minVersion = 0;
    d.maxVersion = 3;
    d.documentType = dtImageDocument;
    d.compositeChannelCount = document_.colorPlanes();
    d.imageMode = document_.mode();
    d.depth = document_.depth();
    d.bounds = document_.bounds();
    d.hResolution = d.vResolution = Fixed(document_.resolution) << 16;
    for (int i = 0; i < 256; ++i) d.redLUT[i] = d.greenLUT[i] = d.blueLUT[i] = uint8(i);

    const int target = document_.targetIndex();
    const Layer& t = document_.target();
    const int32 depth = document_.depth();
    if (options.targetLists) {
        d.targetCompositeChannels = Chain(target, true, options.writePorts);
        if (t.transparency) {
            const ChannelReadPort port =
                AddPort(Port::Kind::LayerPlane, target, int(t.color.size()), options.writePorts);
            d.targetTransparency =
                AddChannel(port, options.writePorts ? port : nullptr, "Transparency", depth, true, true);
        }
    }
    // The merged image: read-only.
    ReadChannelDesc* last = nullptr;
    for (int p = 0; p < document_.colorPlanes(); ++p) {
        const char* known = ColorChannelName(document_.model(), p);
        ReadChannelDesc* desc = AddChannel(AddPort(Port::Kind::MergedPlane, 0, p, false), nullptr,
                                           known ? known : "Channel " + std::to_string(p + 1), depth, false, true);
        if (last) last->next = desc;
        else d.mergedCompositeChannels = desc;
        last = desc;
    }
    if (document_.mergedHasTransparency())
        d.mergedTransparency = AddChannel(AddPort(Port::Kind::MergedPlane, 0, document_.colorPlanes(), false), nullptr,
                                          "Transparency", depth, false, true);
    if (document_.hasSelection())
        d.selection = AddChannel(AddPort(Port::Kind::Selection, 0, 0, false), nullptr, "Selection", 8, false, true);
    if (options.layerList) {
        ReadLayerDesc* previous = nullptr;
        for (int l = 0; l < document_.layerCount(); ++l) {
            const Layer& layer = document_.layer(l);
            const bool writable = l == target && options.writePorts;
            ReadLayerDesc desc{};
            desc.minVersion = 0;
            desc.maxVersion = 1;
            desc.compositeChannelsList = Chain(l, l == target, writable);
            if (layer.transparency) {
                const ChannelReadPort port = AddPort(Port::Kind::LayerPlane, l, int(layer.color.size()), writable);
                desc.transparency = AddChannel(port, writable ? port : nullptr, "Transparency", depth, l == target, true);
            }
            names_.push_back(layer.name);
            desc.name = names_.back().c_str();
            desc.sheetID = unsigned32(layer.id);
            desc.isPixelBased = 1;
            layers_.push_back(desc);
            if (previous) previous->next = &layers_.back();
            else d.layersDescriptor = &layers_.back();
            previous = &layers_.back();
        }
        d.layerCount = document_.layerCount();
    }
    described_ = true;
    return &description_;
}

// --- ports ---

ChannelPortsHost* ChannelPortsHost::Enter(PixelCall call, SPErr* failure) {
    ChannelPortsHost* self = activeHost;
    if (!self) {
        *failure = kBadParameter;
        return nullptr;
    }
    int32 code = 0;
    if (self->faults_.Enter(call, &code)) {
        *failure = code;
        return nullptr;
    }
    return self;
}

ChannelPortsHost::Port* ChannelPortsHost::Find(PIChannelPort port, const char* caller) {
    const void* id = port;
    auto it = documentPorts_.find(id);
    if (it != documentPorts_.end()) return it->second.get();
    it = memoryPorts_.find(id);
    if (it != memoryPorts_.end()) return it->second.get();
    problems_.Add(std::string(caller) + ": " + (port ? "no port with that id (disposed, or of an earlier description)"
                                                      : "the port is null"));
    return nullptr;
}

const Plane& ChannelPortsHost::PlaneOf(const Port& port) const {
    switch (port.kind) {
        case Port::Kind::LayerPlane: return document_.layer(port.layer).plane(port.plane);
        case Port::Kind::MergedPlane: return document_.MergedPlane(port.plane);
        case Port::Kind::Selection: return *document_.selection();
        case Port::Kind::Hidden: return *hidden_;
        case Port::Kind::Memory: break;
    }
    return *port.memory;
}

Plane& ChannelPortsHost::WritablePlaneOf(Port& port) { return const_cast<Plane&>(PlaneOf(port)); }

VRect ChannelPortsHost::BoundsOf(const Port& port) const {
    return port.kind == Port::Kind::Memory ? port.bounds : document_.bounds();
}

int32 ChannelPortsHost::DepthOf(const Port& port) const { return PlaneOf(port).depth(); }

bool ChannelPortsHost::CheckMemory(const PixelMemoryDesc* m, const VRect& rect, const char* caller) {
    std::string why;
    if (!m) why = "no pixel memory description";
    else if (!m->data) why = "the pixel memory's data is null";
    else if (!IsSupportedDepth(m->depth)) why = "depth " + std::to_string(m->depth) + " (the host serves 8, 16 and 32)";
    else if (!Sane(rect)) why = "rectangle " + RectText(rect) + " is far outside any document";
    else if (m->rowBits < 0 || m->colBits < 0 || m->bitOffset < 0) why = "negative strides or bit offset";
    else if (m->rowBits % 8 || m->colBits % 8 || m->bitOffset % 8) why = "strides and bit offset must be whole bytes";
    else if (m->colBits < m->depth) why = "colBits " + std::to_string(m->colBits) + " smaller than the depth";
    else if (rect.bottom - rect.top > 1 && int64_t(m->rowBits) < int64_t(rect.right - rect.left) * m->colBits)
        why = "rowBits " + std::to_string(m->rowBits) + " shorter than a row of " +
              std::to_string(rect.right - rect.left) + " pixels";
    if (why.empty()) return true;
    problems_.Add(std::string(caller) + ": " + why);
    return false;
}

SPErr ChannelPortsHost::CountLevels(PIChannelPort port, int32* count) {
    SPErr failure = 0;
    ChannelPortsHost* self = Enter(PixelCall::CountLevels, &failure);
    if (!self) return failure;
    if (!self->Find(port, "CountLevels") || !count) return kBadParameter;
    *count = 1;
    return kSPNoError;
}

SPErr ChannelPortsHost::GetDepth(PIChannelPort port, int32 level, int32* depth) {
    SPErr failure = 0;
    ChannelPortsHost* self = Enter(PixelCall::GetDepth, &failure);
    if (!self) return failure;
    Port* p = self->Find(port, "GetDepth");
    if (!p || !depth || level != 0) return kBadParameter;
    *depth = self->DepthOf(*p);
    return kSPNoError;
}

SPErr ChannelPortsHost::GetDataBounds(PIChannelPort port, int32 level, VRect* bounds) {
    SPErr failure = 0;
    ChannelPortsHost* self = Enter(PixelCall::GetDataBounds, &failure);
    if (!self) return failure;
    Port* p = self->Find(port, "GetDataBounds");
    if (!p || !bounds || level != 0) return kBadParameter;
    *bounds = self->BoundsOf(*p);
    return kSPNoError;
}

SPErr ChannelPortsHost::GetWriteLimit(PIChannelPort port, int32 level, VRect* writeBounds) {
    SPErr failure = 0;
    ChannelPortsHost* self = Enter(PixelCall::GetWriteLimit, &failure);
    if (!self) return failure;
    Port* p = self->Find(port, "GetWriteLimit");
    if (!p || !writeBounds || level != 0) return kBadParameter;
    *writeBounds = p->writable ? self->BoundsOf(*p) : VRect{0, 0, 0, 0};
    return kSPNoError;
}

SPErr ChannelPortsHost::GetTilingGrid(PIChannelPort port, int32 level, VPoint* tileOrigin, VPoint* tileSize) {
    SPErr failure = 0;
    ChannelPortsHost* self = Enter(PixelCall::GetTilingGrid, &failure);
    if (!self) return failure;
    Port* p = self->Find(port, "GetTilingGrid");
    if (!p || level != 0) return kBadParameter;
    if (tileOrigin) *tileOrigin = VPoint{self->BoundsOf(*p).top, self->BoundsOf(*p).left};
    if (tileSize) *tileSize = self->options_.tileSize;
    return kSPNoError;
}

// One level only: every rectangle is supported by, and depends on, itself.
SPErr ChannelPortsHost::GetSupportRect(PIChannelPort port, int32 level, const VRect* bounds, int32* supportLevel,
                                       VRect* supportBounds) {
    SPErr failure = 0;
    ChannelPortsHost* self = Enter(PixelCall::GetSupportRect, &failure);
    if (!self) return failure;
    Port* p = self->Find(port, "GetSupportRect");
    if (!p || level != 0 || !bounds || !supportLevel || !supportBounds) return kBadParameter;
    *supportLevel = 0;
    *supportBounds = Intersect(*bounds, self->BoundsOf(*p));
    return kSPNoError;
}

SPErr ChannelPortsHost::GetDependentRect(PIChannelPort port, int32 sourceLevel, const VRect* sourceBounds,
                                         int32 dependentLevel, VRect* dependentBounds) {
    SPErr failure = 0;
    ChannelPortsHost* self = Enter(PixelCall::GetDependentRect, &failure);
    if (!self) return failure;
    Port* p = self->Find(port, "GetDependentRect");
    if (!p || sourceLevel != 0 || dependentLevel != 0 || !sourceBounds || !dependentBounds) return kBadParameter;
    *dependentBounds = Intersect(*sourceBounds, self->BoundsOf(*p));
    return kSPNoError;
}

SPErr ChannelPortsHost::ReadPixelsFromLevel(PIChannelPort port, int32 level, VRect* readRect,
                                            const PixelMemoryDesc* destination) {
    SPErr failure = 0;
    ChannelPortsHost* self = Enter(PixelCall::ReadPixelsFromLevel, &failure);
    if (!self) return failure;
    Port* p = self->Find(port, "ReadPixelsFromLevel");
    if (!p) return kBadParameter;
    if (level != 0) {
        self->problems_.Add("ReadPixelsFromLevel: level " + std::to_string(level) + " (the host keeps level 0 only)");
        return kBadParameter;
    }
    if (!readRect) {
        self->problems_.Add("ReadPixelsFromLevel: no rectangle");
        return kBadParameter;
    }
    const VRect bounds = self->BoundsOf(*p);
    const VRect rect = Intersect(*readRect, bounds);
    if (!self->CheckMemory(destination, *readRect, "ReadPixelsFromLevel")) return kBadParameter;
    const Plane& plane = self->PlaneOf(*p);
    if (destination->depth != plane.depth()) {
        self->problems_.Add("ReadPixelsFromLevel: depth " + std::to_string(destination->depth) +
                            " asked of a port of depth " + std::to_string(plane.depth()) +
                            " (ReadScaledPixels converts depth)");
        return kBadParameter;
    }
    // What lies outside the port is not read; the rectangle says what was.
    if (!Empty(rect)) {
        for (int32 y = rect.top; y < rect.bottom; ++y)
            LoadRun(plane, rect.left - bounds.left, y - bounds.top, rect.right - rect.left,
                    Address(*destination, *readRect, rect.left, y), destination->colBits / 8, destination->depth);
        self->samplesRead_ += int64_t(rect.right - rect.left) * (rect.bottom - rect.top);
    }
    *readRect = rect;
    return kSPNoError;
}

SPErr ChannelPortsHost::WritePixelsToBaseLevel(PIChannelPort port, VRect* writeRect, const PixelMemoryDesc* source) {
    SPErr failure = 0;
    ChannelPortsHost* self = Enter(PixelCall::WritePixelsToBaseLevel, &failure);
    if (!self) return failure;
    Port* p = self->Find(port, "WritePixelsToBaseLevel");
    if (!p) return kBadParameter;
    if (!p->writable) {
        self->problems_.Add("WritePixelsToBaseLevel: the port is read-only");
        return kBadParameter;
    }
    if (!writeRect) {
        self->problems_.Add("WritePixelsToBaseLevel: no rectangle");
        return kBadParameter;
    }
    const VRect bounds = self->BoundsOf(*p);
    if (Empty(*writeRect)) return kSPNoError;
    if (!Contains(bounds, *writeRect)) {
        self->problems_.Add("WritePixelsToBaseLevel: rectangle " + RectText(*writeRect) +
                            " reaches outside the port's " + RectText(bounds));
        return kBadParameter;
    }
    if (!self->CheckMemory(source, *writeRect, "WritePixelsToBaseLevel")) return kBadParameter;
    Plane& plane = self->WritablePlaneOf(*p);
    if (source->depth != plane.depth()) {
        self->problems_.Add("WritePixelsToBaseLevel: depth " + std::to_string(source->depth) +
                            " written to a port of depth " + std::to_string(plane.depth()));
        return kBadParameter;
    }
    // The host keeps the filter's effect inside the selection unless the plug-in masks itself.
    const Plane* mask = nullptr;
    if (p->kind == Port::Kind::LayerPlane && self->document_.hasSelection() && self->record_ &&
        self->record_->autoMask)
        mask = self->document_.selection();
    const VRect& r = *writeRect;
    for (int32 y = r.top; y < r.bottom; ++y)
        StoreRun(plane, r.left - bounds.left, y - bounds.top, r.right - r.left, Address(*source, r, r.left, y),
                 source->colBits / 8, source->depth, mask ? mask->At(r.left, y) : nullptr);
    self->samplesWritten_ += int64_t(r.right - r.left) * (r.bottom - r.top);
    if (p->kind == Port::Kind::LayerPlane) {
        self->document_.MarkChanged();
        if (p->layer == self->document_.targetIndex()) self->written_.Add(r, p->plane);
    }
    return kSPNoError;
}

SPErr ChannelPortsHost::ReadScaledPixels(PIChannelPort port, VRect* readRect, const PSScaling* scaling,
                                         const PixelMemoryDesc* destination) {
    SPErr failure = 0;
    ChannelPortsHost* self = Enter(PixelCall::ReadScaledPixels, &failure);
    if (!self) return failure;
    Port* p = self->Find(port, "ReadScaledPixels");
    if (!p) return kBadParameter;
    if (!readRect || !scaling) {
        self->problems_.Add(std::string("ReadScaledPixels: no ") + (readRect ? "scaling" : "rectangle"));
        return kBadParameter;
    }
    const VRect& from = scaling->sourceRect;
    const VRect& to = scaling->destinationRect;
    if (Empty(from) || Empty(to) || !Sane(from) || !Sane(to)) {
        self->problems_.Add("ReadScaledPixels: unusable scaling rectangle " + RectText(Empty(from) || !Sane(from) ? from : to));
        return kBadParameter;
    }
    if (!self->CheckMemory(destination, *readRect, "ReadScaledPixels")) return kBadParameter;
    const VRect rect = Intersect(*readRect, to);
    const Plane& plane = self->PlaneOf(*p);
    const VRect bounds = self->BoundsOf(*p);
    const bool identity = from.top == to.top && from.left == to.left && from.bottom == to.bottom &&
                          from.right == to.right;
    if (!Empty(rect)) {
        const double sx = double(from.right - from.left) / (to.right - to.left);
        const double sy = double(from.bottom - from.top) / (to.bottom - to.top);
        std::vector<int32> columns;
        try {
            columns.resize(std::size_t(rect.right - rect.left));
        } catch (const std::bad_alloc&) {
            return SPErr(memFullErr);
        }
        for (int32 x = rect.left; x < rect.right; ++x) {
            const int32 c = identity ? x : from.left + int32(std::floor((x - to.left + 0.5) * sx));
            columns[std::size_t(x - rect.left)] = std::clamp(c, bounds.left, bounds.right - 1) - bounds.left;
        }
        const int32 step = destination->colBits / 8;
        for (int32 y = rect.top; y < rect.bottom; ++y) {
            const int32 r = identity ? y : from.top + int32(std::floor((y - to.top + 0.5) * sy));
            const int32 row = std::clamp(r, bounds.top, bounds.bottom - 1) - bounds.top;
            uint8* out = Address(*destination, *readRect, rect.left, y);
            const int32 first = columns.front();
            const bool straight = columns.back() - first == rect.right - rect.left - 1;
            if (straight) {
                LoadRun(plane, first, row, rect.right - rect.left, out, step, destination->depth);
            } else {
                for (std::size_t i = 0; i < columns.size(); ++i)
                    LoadRun(plane, columns[i], row, 1, out + int64_t(i) * step, step, destination->depth);
            }
        }
        self->samplesRead_ += int64_t(rect.right - rect.left) * (rect.bottom - rect.top);
    }
    *readRect = rect;
    return kSPNoError;
}

SPErr ChannelPortsHost::FindSourceForScaledRead(PIChannelPort port, const VRect* readRect, const PSScaling* scaling,
                                                int32 depth, int32* level, VRect* levelRect,
                                                VRect* levelBounds) {
    SPErr failure = 0;
    ChannelPortsHost* self = Enter(PixelCall::FindSourceForScaledRead, &failure);
    if (!self) return failure;
    Port* p = self->Find(port, "FindSourceForScaledRead");
    if (!p || !readRect || !scaling || !IsSupportedDepth(depth)) return kBadParameter;
    const VRect& from = scaling->sourceRect;
    const VRect& to = scaling->destinationRect;
    if (Empty(from) || Empty(to) || !Sane(from) || !Sane(to) || !Sane(*readRect)) return kBadParameter;
    if (level) *level = 0;
    if (levelBounds) *levelBounds = self->BoundsOf(*p);
    if (levelRect) {
        const double sx = double(from.right - from.left) / (to.right - to.left);
        const double sy = double(from.bottom - from.top) / (to.bottom - to.top);
        VRect r{from.top + int32(std::floor((readRect->top - to.top) * sy)),
                from.left + int32(std::floor((readRect->left - to.left) * sx)),
                from.top + int32(std::ceil((readRect->bottom - to.top) * sy)),
                from.left + int32(std::ceil((readRect->right - to.left) * sx))};
        *levelRect = Intersect(r, self->BoundsOf(*p));
    }
    return kSPNoError;
}

SPErr ChannelPortsHost::New(PIChannelPort* port, const VRect* rect, int32 depth, Boolean) {
    SPErr failure = 0;
    ChannelPortsHost* self = Enter(PixelCall::NewPort, &failure);
    if (!self) return failure;
    if (!port || !rect) return kBadParameter;
    *port = nullptr;
    if (Empty(*rect) || !IsSupportedDepth(depth)) {
        self->problems_.Add("New: " + std::string(Empty(*rect) ? "empty rectangle " + RectText(*rect)
                                                                  : "depth " + std::to_string(depth)));
        return kBadParameter;
    }
    const int64_t width = int64_t(rect->right) - rect->left;
    const int64_t height = int64_t(rect->bottom) - rect->top;
    if (width > kMaxCoordinate || height > kMaxCoordinate || width * height * (depth / 8) > kMaxMemoryPortBytes)
        return SPErr(memFullErr);
    try {
        auto memory = std::make_unique<Port>();
        memory->kind = Port::Kind::Memory;
        memory->writable = true;
        memory->bounds = *rect;
        memory->memory = std::make_unique<Plane>(int32(width), int32(height), depth);
        const void* id = memory.get();
        self->memoryPorts_[id] = std::move(memory);
        *port = reinterpret_cast<PIChannelPort>(const_cast<void*>(id));
    } catch (const std::bad_alloc&) {
        return SPErr(memFullErr);
    }
    return kSPNoError;
}

SPErr ChannelPortsHost::Dispose(PIChannelPort* port) {
    SPErr failure = 0;
    ChannelPortsHost* self = Enter(PixelCall::DisposePort, &failure);
    if (!self) return failure;
    if (!port) return kBadParameter;
    const auto it = self->memoryPorts_.find(*port);
    if (it == self->memoryPorts_.end()) {
        self->problems_.Add(self->documentPorts_.count(*port) ? "Dispose: a document's port is not the plug-in's to dispose"
                                                              : "Dispose: no port with that id");
        return kBadParameter;
    }
    self->memoryPorts_.erase(it);
    *port = nullptr;
    return kSPNoError;
}

SPErr ChannelPortsHost::CanRead(PIChannelPort port, Boolean* canRead) {
    SPErr failure = 0;
    ChannelPortsHost* self = Enter(PixelCall::CanRead, &failure);
    if (!self) return failure;
    if (!canRead) return kBadParameter;
    *canRead = self->Find(port, "CanRead") ? 1 : 0;
    return kSPNoError;
}

SPErr ChannelPortsHost::CanWrite(PIChannelPort port, Boolean* canWrite) {
    SPErr failure = 0;
    ChannelPortsHost* self = Enter(PixelCall::CanWrite, &failure);
    if (!self) return failure;
    if (!canWrite) return kBadParameter;
    Port* p = self->Find(port, "CanWrite");
    *canWrite = p && p->writable ? 1 : 0;
    return kSPNoError;
}

}  // namespace hostsim
