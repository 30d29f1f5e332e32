#include "hostsim/pixel_document.h"

#include "hostsim/samples.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace hostsim {

namespace {

// Memory the process can still have: what the system reports available (else its physical
// memory), and no more than the address-space limit. 0 when nothing can be told.
std::uint64_t AvailableMemory() {
#ifdef _WIN32
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return 0;
    // What can still be committed, within the process's address space.
    return std::min<std::uint64_t>(status.ullAvailPageFile, status.ullAvailVirtual);
#else
    std::uint64_t available = 0;
    std::ifstream meminfo("/proc/meminfo");
    for (std::string line; std::getline(meminfo, line);) {
        std::istringstream fields(line);
        std::string name;
        std::uint64_t kb = 0;
        if (fields >> name >> kb && name == "MemAvailable:") {
            available = kb * 1024;
            break;
        }
    }
    if (available == 0) {
        const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
        if (pages > 0 && pageSize > 0) available = std::uint64_t(pages) * std::uint64_t(pageSize);
    }
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        (available == 0 || std::uint64_t(limit.rlim_cur) < available))
        available = std::uint64_t(limit.rlim_cur);
    return available;
#endif
}

std::string Gigabytes(std::uint64_t bytes) {
    std::ostringstream text;
    text.precision(bytes >= (std::uint64_t(10) << 30) ? 0 : 1);
    text << std::fixed << double(bytes) / double(std::uint64_t(1) << 30) << " GB";
    return text.str();
}

}  // namespace

Plane::Plane(int32 width, int32 height, int32 depth)
    : width_(width), height_(height), depth_(depth),
      bytes_(std::size_t(width) * std::size_t(height) * std::size_t(depth / 8)) {}

double Plane::Unit(int32 x, int32 y) const { return LoadUnit(At(x, y), depth_); }

void Plane::SetUnit(int32 x, int32 y, double value) { StoreUnit(value, At(x, y), depth_); }

void Plane::Fill(double unit) {
    if (width_ == 0 || height_ == 0) return;
    const std::size_t b = std::size_t(depth_ / 8);
    uint8 sample[4];
    StoreUnit(unit, sample, depth_);
    for (std::size_t i = 0; i < bytes_.size(); i += b) std::memcpy(bytes_.data() + i, sample, b);
}

PixelDocument::PixelDocument(int32 width, int32 height, int16 mode, bool transparency, int layers,
                             int16 colorPlanes)
    : width_(width), height_(height), mode_(mode), depth_(0), info_(FindMode(mode)) {
    if (!info_) throw DocumentError("image mode " + std::to_string(mode) + " is not one the host can hold");
    if (width < 1 || height < 1 || width > kMaxDocumentSide || height > kMaxDocumentSide)
        throw DocumentError("a document must be 1 to " + std::to_string(kMaxDocumentSide) + " pixels on each side, not " +
                            std::to_string(width) + " x " + std::to_string(height));
    if (int64_t(width) * height > kMaxPlaneSamples)
        throw DocumentError("a document of " + std::to_string(width) + " x " + std::to_string(height) +
                            " pixels is larger than the host holds");
    if (layers < 1 || layers > 64) throw DocumentError("a document has 1 to 64 layers, not " + std::to_string(layers));
    depth_ = info_->depth;
    colorPlanes_ = info_->model == ColorModel::Multichannel ? colorPlanes : info_->colorPlanes;
    if (colorPlanes_ < 1 || colorPlanes_ > 56)
        throw DocumentError("a multichannel document has 1 to 56 planes, not " + std::to_string(colorPlanes_));
    if (info_->model == ColorModel::Multichannel && (transparency || layers > 1))
        throw DocumentError("a multichannel document has no layers and no transparency");

    // A document larger than the memory left would end the host with an allocation failure.
    const std::uint64_t planeBytes = std::uint64_t(width) * std::uint64_t(height) * std::uint64_t(depth_ / 8);
    const std::uint64_t needed = planeBytes * std::uint64_t(colorPlanes_ + (transparency ? 1 : 0)) * std::uint64_t(layers);
    if (const std::uint64_t available = AvailableMemory(); available != 0 && needed > available)
        throw DocumentError("a document of " + std::to_string(width) + " x " + std::to_string(height) + " pixels, " +
                            std::to_string(layers) + " layer(s) of " +
                            std::to_string(colorPlanes_ + (transparency ? 1 : 0)) + " plane(s) at " +
                            std::to_string(depth_) + " bits needs " + Gigabytes(needed) + " of memory; " +
                            Gigabytes(available) + " is available");

    for (int l = 0; l < layers; ++l) {
        auto layer = std::make_unique<Layer>();
        layer->name = l == 0 && !transparency ? "Background" : "Layer " + std::to_string(l);
        layer->id = l + 1;
        for (int p = 0; p < colorPlanes_; ++p) layer->color.emplace_back(width, height, depth_);
        layers_.push_back(std::move(layer));
        if (transparency) SetTransparency(l, true);
    }
    target_ = layers - 1;
}

void PixelDocument::SetTarget(int index) {
    if (index < 0 || index >= layerCount()) throw DocumentError("no layer " + std::to_string(index));
    target_ = index;
}

void PixelDocument::SetTransparency(int layerIndex, bool present) {
    Layer& l = layer(layerIndex);
    if (present && info_->model == ColorModel::Multichannel)
        throw DocumentError("a multichannel document has no layers and no transparency");
    if (present && !l.transparency) {
        l.transparency = std::make_unique<Plane>(width_, height_, depth_);
        l.transparency->Fill(1.0);
    } else if (!present) {
        l.transparency.reset();
    }
    MarkChanged();
}

Plane& PixelDocument::CreateSelection(uint8 initial) {
    selection_ = std::make_unique<Plane>(width_, height_, 8);
    if (initial) std::fill(selection_->Row(0), selection_->Row(0) + selection_->byteSize(), initial);
    return *selection_;
}

void PixelDocument::SelectRect(const VRect& rect) {
    const VRect r{std::max(rect.top, 0), std::max(rect.left, 0), std::min(rect.bottom, height_),
                  std::min(rect.right, width_)};
    if (r.right <= r.left || r.bottom <= r.top) throw DocumentError("the selection lies outside the document");
    Plane& mask = CreateSelection(0);
    for (int32 y = r.top; y < r.bottom; ++y) std::fill(mask.At(r.left, y), mask.At(r.right - 1, y) + 1, uint8(255));
}

void PixelDocument::ClearSelection() { selection_.reset(); }

VRect PixelDocument::SelectionBounds() const {
    if (!selection_) return bounds();
    VRect r{height_, width_, 0, 0};
    for (int32 y = 0; y < height_; ++y) {
        const uint8* row = selection_->Row(y);
        for (int32 x = 0; x < width_; ++x) {
            if (!row[x]) continue;
            r.top = std::min(r.top, y);
            r.bottom = std::max(r.bottom, y + 1);
            r.left = std::min(r.left, x);
            r.right = std::max(r.right, x + 1);
        }
    }
    if (r.right <= r.left) return VRect{0, 0, 0, 0};
    return r;
}

Document PixelDocument::Describe() const {
    Document d;
    d.width = width_;
    d.height = height_;
    d.mode = mode_;
    d.depth = depth_;
    d.colorPlanes = colorPlanes_;
    d.transparency = target().transparency != nullptr;
    d.resolution = resolution;
    return d;
}

bool PixelDocument::mergedHasTransparency() const {
    return std::any_of(layers_.begin(), layers_.end(), [](const auto& l) { return l->transparency != nullptr; });
}

int16 PixelDocument::mergedPlaneCount() const { return int16(colorPlanes_ + (mergedHasTransparency() ? 1 : 0)); }

const Plane& PixelDocument::MergedPlane(int i) const {
    if (layers_.size() == 1) return layers_[0]->plane(i);
    if (!mergedValid_) Composite();
    return merged_.at(std::size_t(i));
}

void PixelDocument::Composite() const {
    const bool alpha = mergedHasTransparency();
    merged_.clear();
    for (int p = 0; p < colorPlanes_ + (alpha ? 1 : 0); ++p) merged_.emplace_back(width_, height_, depth_);
    std::vector<double> colour(static_cast<std::size_t>(colorPlanes_));
    for (int32 y = 0; y < height_; ++y) {
        for (int32 x = 0; x < width_; ++x) {
            double a = 0.0;
            std::fill(colour.begin(), colour.end(), 0.0);
            for (const auto& l : layers_) {
                const double al = l->transparency ? l->transparency->Unit(x, y) : 1.0;
                const double out = al + a * (1.0 - al);
                for (int p = 0; p < colorPlanes_; ++p) {
                    const double cl = l->color[std::size_t(p)].Unit(x, y);
                    colour[std::size_t(p)] = out > 0 ? (cl * al + colour[std::size_t(p)] * a * (1.0 - al)) / out : 0.0;
                }
                a = out;
            }
            for (int p = 0; p < colorPlanes_; ++p) merged_[std::size_t(p)].SetUnit(x, y, colour[std::size_t(p)]);
            if (alpha) merged_.back().SetUnit(x, y, a);
        }
    }
    mergedValid_ = true;
}

}  // namespace hostsim
