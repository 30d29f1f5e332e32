// Walks the document's channel lists in the order the pixel path reads and writes planes:
// one list (a layer's composite channels, the selection) followed by another (its
// transparency). Used by the channel-port reading and writing.
#pragma once
#include "pluginapi/channel_ports.h"

#include <cstdint>

namespace Corvantis::Host::PS {

class ChannelChain {
public:
    ChannelChain() = default;
    ChannelChain(const ReadChannelDesc* first, const ReadChannelDesc* then) : current(first), second(then) {
        if (!current) TakeSecond();
    }

    // The next channel (only shown ones when shownOnly), or null at the end of the chain.
    const ReadChannelDesc* Next(bool shownOnly) {
        while (current && ++steps <= kMaxSteps) {
            const ReadChannelDesc* channel = current;
            current = current->next;
            if (!current) TakeSecond();
            if (!shownOnly || channel->shown) return channel;
        }
        current = nullptr;
        return nullptr;
    }
    // The channel Next would return, without moving.
    const ReadChannelDesc* Peek(bool shownOnly) const {
        ChannelChain copy = *this;
        return copy.Next(shownOnly);
    }
    // Passes over `count` shown channels; false when the chain ends first.
    bool Skip(int32_t count) {
        for (int32_t i = 0; i < count; ++i)
            if (!Next(true)) return false;
        return true;
    }

private:
    // A host's list that loops back on itself must not hang the plug-in.
    static constexpr int32_t kMaxSteps = 1 << 16;

    void TakeSecond() {
        current = second;
        second = nullptr;
    }

    const ReadChannelDesc* current = nullptr;
    const ReadChannelDesc* second = nullptr;
    int32_t steps = 0;
};

// The target layer's composite channels and transparency, or the merged ones when the host
// gives no target list.
inline ChannelChain TargetChain(const ReadImageDocumentDesc* doc) {
    if (!doc) return ChannelChain();
    if (doc->targetCompositeChannels) return ChannelChain(doc->targetCompositeChannels, doc->targetTransparency);
    return ChannelChain(doc->mergedCompositeChannels, doc->mergedTransparency);
}

}  // namespace Corvantis::Host::PS
