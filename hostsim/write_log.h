// Where the plug-in's output went into the document: one entry per rectangle of one plane,
// in the order written. Tests read it to see which tiles a run wrote before it stopped.
#pragma once
#include "pluginapi/pi_types.h"

#include <vector>

namespace hostsim {

struct WrittenRect {
    VRect rect;
    int plane;  // of the target layer
};

class WriteLog {
public:
    void Add(const VRect& rect, int plane) { entries_.push_back(WrittenRect{rect, plane}); }
    const std::vector<WrittenRect>& entries() const { return entries_; }
    void Clear() { entries_.clear(); }
    // Whether every pixel of `rect` was written in `plane`, by one entry or several.
    bool Covers(const VRect& rect, int plane) const {
        for (int32 y = rect.top; y < rect.bottom; ++y)
            for (int32 x = rect.left; x < rect.right; ++x) {
                bool hit = false;
                for (const WrittenRect& e : entries_)
                    if (e.plane == plane && x >= e.rect.left && x < e.rect.right && y >= e.rect.top && y < e.rect.bottom) {
                        hit = true;
                        break;
                    }
                if (!hit) return false;
            }
        return true;
    }

private:
    std::vector<WrittenRect> entries_;
};

}  // namespace hostsim
