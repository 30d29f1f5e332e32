// A document the host owns: layers of planes in one image mode and depth, an optional
// selection, and the merged image of all layers. Planes are stored one after the other (each
// a width x height block of samples), so the host can hand them out in any layout.
#pragma once
#include "hostsim/document.h"

#include "pluginapi/pi_types.h"

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace hostsim {

// A document that cannot be made as asked (mode, size, planes).
class DocumentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One plane of samples, row after row, no padding.
class Plane {
public:
    Plane() = default;
    Plane(int32 width, int32 height, int32 depth);

    int32 width() const { return width_; }
    int32 height() const { return height_; }
    int32 depth() const { return depth_; }
    std::size_t rowBytes() const { return std::size_t(width_) * std::size_t(depth_ / 8); }
    uint8* Row(int32 y) { return bytes_.data() + std::size_t(y) * rowBytes(); }
    const uint8* Row(int32 y) const { return bytes_.data() + std::size_t(y) * rowBytes(); }
    uint8* At(int32 x, int32 y) { return Row(y) + std::size_t(x) * std::size_t(depth_ / 8); }
    const uint8* At(int32 x, int32 y) const { return Row(y) + std::size_t(x) * std::size_t(depth_ / 8); }
    double Unit(int32 x, int32 y) const;
    void SetUnit(int32 x, int32 y, double value);
    // Every sample set to the value a unit value stands for.
    void Fill(double unit);
    std::size_t byteSize() const { return bytes_.size(); }
    bool operator==(const Plane& other) const {
        return width_ == other.width_ && height_ == other.height_ && depth_ == other.depth_ && bytes_ == other.bytes_;
    }
    bool operator!=(const Plane& other) const { return !(*this == other); }

private:
    int32 width_ = 0;
    int32 height_ = 0;
    int32 depth_ = 8;
    std::vector<uint8> bytes_;
};

struct Layer {
    std::string name;
    int32 id = 0;
    std::vector<Plane> color;          // the mode's colour planes
    std::unique_ptr<Plane> transparency;  // null for a layer without transparency (a background)

    int16 planeCount() const { return int16(color.size() + (transparency ? 1 : 0)); }
    // Plane i of the layer: colour planes first, then the transparency plane.
    Plane& plane(int i) { return i < int(color.size()) ? color[std::size_t(i)] : *transparency; }
    const Plane& plane(int i) const { return i < int(color.size()) ? color[std::size_t(i)] : *transparency; }
};

// Largest side and number of samples per plane a document may have.
constexpr int32 kMaxDocumentSide = 300000;
constexpr int64_t kMaxPlaneSamples = int64_t(1) << 31;

class PixelDocument {
public:
    // `mode` must be one of the host's modes (FindMode); `colorPlanes` counts only for
    // multichannel (1 or more). Every layer gets a transparency plane when `transparency`.
    // Samples start at 0, transparency at opaque. Throws DocumentError.
    PixelDocument(int32 width, int32 height, int16 mode, bool transparency = false, int layers = 1,
                  int16 colorPlanes = 0);

    int32 width() const { return width_; }
    int32 height() const { return height_; }
    int16 mode() const { return mode_; }
    int32 depth() const { return depth_; }
    ColorModel model() const { return info_->model; }
    const ModeInfo& modeInfo() const { return *info_; }
    int16 colorPlanes() const { return colorPlanes_; }
    VRect bounds() const { return VRect{0, 0, height_, width_}; }
    int32 resolution = 72;

    int layerCount() const { return int(layers_.size()); }
    Layer& layer(int i) { return *layers_.at(std::size_t(i)); }
    const Layer& layer(int i) const { return *layers_.at(std::size_t(i)); }
    // The layer the filter works on (the top one by default).
    int targetIndex() const { return target_; }
    void SetTarget(int index);
    Layer& target() { return layer(target_); }
    const Layer& target() const { return layer(target_); }
    // Adds or removes a layer's transparency plane (added as fully opaque).
    void SetTransparency(int layerIndex, bool present);

    // Selection: an 8-bit mask over the whole document (255 selected), or none.
    bool hasSelection() const { return selection_ != nullptr; }
    const Plane* selection() const { return selection_.get(); }
    Plane* selection() { return selection_.get(); }
    // A rectangular selection clipped to the document; throws when nothing remains.
    void SelectRect(const VRect& rect);
    // A selection of the given values (then edit selection() freely).
    Plane& CreateSelection(uint8 initial);
    void ClearSelection();
    // The smallest rectangle holding every selected (non-zero) pixel; the whole document
    // without a selection; empty when the selection holds nothing.
    VRect SelectionBounds() const;

    // The geometry the filter record is filled from: the target layer's planes.
    Document Describe() const;

    // The document as it looks with all layers composited, bottom to top, with the
    // transparency of each (straight alpha, in the samples' own values): colour planes, then
    // transparency when any layer has one. With one layer these are that layer's own planes.
    // Rebuilt on demand after MarkChanged().
    int16 mergedPlaneCount() const;
    const Plane& MergedPlane(int i) const;
    bool mergedHasTransparency() const;
    void MarkChanged() { mergedValid_ = false; }

    // Fills every colour plane of every layer from f(layer, plane, x, y) -> unit value, and
    // the transparency planes from alpha(layer, x, y).
    template <class ColorFn>
    void FillColor(ColorFn f) {
        for (int l = 0; l < layerCount(); ++l)
            for (int p = 0; p < colorPlanes_; ++p)
                for (int32 y = 0; y < height_; ++y)
                    for (int32 x = 0; x < width_; ++x) layer(l).color[std::size_t(p)].SetUnit(x, y, f(l, p, x, y));
        MarkChanged();
    }

private:
    void Composite() const;

    int32 width_;
    int32 height_;
    int16 mode_;
    int32 depth_;
    const ModeInfo* info_;
    int16 colorPlanes_;
    std::vector<std::unique_ptr<Layer>> layers_;
    int target_ = 0;
    std::unique_ptr<Plane> selection_;

    mutable std::vector<Plane> merged_;
    mutable bool mergedValid_ = false;
};

}  // namespace hostsim
