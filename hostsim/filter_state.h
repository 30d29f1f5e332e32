// What the host keeps of a filter between uses, for "repeat last filter": the plug-in data
// handle's bytes and the parameters handle's bytes, stored in the state folder so that the
// next filterhost process can hand them back.
#pragma once
#include "pluginapi/pi_types.h"

#include <optional>
#include <string>
#include <vector>

namespace hostsim {

struct StoredFilterState {
    std::string plugin;  // the filter it belongs to, as the user knows it
    std::optional<std::vector<uint8>> data;
    std::optional<std::vector<uint8>> parameters;

    bool operator==(const StoredFilterState& o) const {
        return plugin == o.plugin && data == o.data && parameters == o.parameters;
    }
};

// The state file of one filter in `folder`; `key` names the filter (category and name from
// its property list) and is reduced to a safe file name.
std::string FilterStatePath(const std::string& folder, const std::string& key);

// The file's text:
//   # comment
//   plugin "Corvantis/Tellora..."
//   data 01
//   parameters 0000803f...        (hex bytes; may continue on further `parameters` lines)
std::string FormatFilterState(const StoredFilterState& state);
// Throws HostError "<origin>:<line>: ..." for anything else.
StoredFilterState ParseFilterState(const std::string& text, const std::string& origin);

// Nullopt when the filter has no stored state; HostError when the file is unreadable or bad.
std::optional<StoredFilterState> LoadFilterState(const std::string& path);
void SaveFilterState(const std::string& path, const StoredFilterState& state);
void ForgetFilterState(const std::string& path);

}  // namespace hostsim
