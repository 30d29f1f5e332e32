#include "hostsim/filter_state.h"

#include "hostsim/host_error.h"
#include "hostsim/state_folder.h"

#include <sstream>

namespace hostsim {

namespace {

constexpr std::size_t kHexPerLine = 64;  // bytes per `parameters` line

std::string Hex(const std::vector<uint8>& bytes, std::size_t from, std::size_t count) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (std::size_t i = from; i < from + count && i < bytes.size(); ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 0xF];
    }
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Trim(const std::string& s) {
    const std::size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::string FilterStatePath(const std::string& folder, const std::string& key) {
    std::string name;
    for (const char c : key) {
        const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
        name += safe ? c : '_';
    }
    if (name.empty()) name = "_";
    return folder + "/filters/" + name + ".state";
}

std::string FormatFilterState(const StoredFilterState& state) {
    std::string out = "# filterhost: the handles a filter left with the host, kept for its next use\n";
    std::string plugin;
    for (const char c : state.plugin) {
        if (c == '"' || c == '\\') plugin += '\\';
        plugin += (c == '\n' || c == '\r') ? ' ' : c;
    }
    out += "plugin \"" + plugin + "\"\n";
    if (state.data) out += "data " + Hex(*state.data, 0, state.data->size()) + "\n";
    if (state.parameters) {
        const std::vector<uint8>& p = *state.parameters;
        if (p.empty()) out += "parameters\n";
        for (std::size_t i = 0; i < p.size(); i += kHexPerLine) out += "parameters " + Hex(p, i, kHexPerLine) + "\n";
    }
    return out;
}

StoredFilterState ParseFilterState(const std::string& text, const std::string& origin) {
    StoredFilterState state;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    bool sawPlugin = false;
    auto fail = [&](const std::string& what) -> void {
        throw HostError(origin + (number ? ":" + std::to_string(number) : std::string()) + ": " + what);
    };
    auto bytes = [&](const std::string& hex, std::vector<uint8>& out) {
        if (hex.size() % 2) fail("hex bytes come in pairs of digits");
        for (std::size_t i = 0; i < hex.size(); i += 2) {
            const int hi = HexValue(hex[i]);
            const int lo = HexValue(hex[i + 1]);
            if (hi < 0 || lo < 0) fail("'" + hex.substr(i, 2) + "' is not a hex byte");
            out.push_back(uint8(hi * 16 + lo));
        }
    };
    while (std::getline(in, line)) {
        ++number;
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        const std::size_t space = line.find_first_of(" \t");
        const std::string word = line.substr(0, space);
        const std::string rest = space == std::string::npos ? std::string() : Trim(line.substr(space));
        if (word == "plugin") {
            if (sawPlugin) fail("'plugin' appears twice");
            if (rest.size() < 2 || rest.front() != '"' || rest.back() != '"') fail("the plug-in's name must be in double quotes");
            for (std::size_t i = 1; i + 1 < rest.size(); ++i) {
                if (rest[i] == '\\' && i + 2 < rest.size()) ++i;
                state.plugin += rest[i];
            }
            sawPlugin = true;
        } else if (word == "data") {
            if (state.data) fail("'data' appears twice");
            state.data.emplace();
            bytes(rest, *state.data);
        } else if (word == "parameters") {
            if (!state.parameters) state.parameters.emplace();
            bytes(rest, *state.parameters);
        } else {
            fail("unknown entry '" + word + "' (expected plugin, data or parameters)");
        }
    }
    if (!sawPlugin) {
        number = 0;
        fail("no 'plugin' line");
    }
    return state;
}

std::optional<StoredFilterState> LoadFilterState(const std::string& path) {
    const std::optional<std::string> text = ReadStateFile(path);
    if (!text) return std::nullopt;
    return ParseFilterState(*text, path);
}

void SaveFilterState(const std::string& path, const StoredFilterState& state) {
    WriteStateFile(path, FormatFilterState(state));
}

void ForgetFilterState(const std::string& path) { RemoveStateFile(path); }

}  // namespace hostsim
