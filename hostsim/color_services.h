// The host's colorServices callback, answered without a user.
//
// Choose colour answers the one set with SetPickAnswer (the --pick-color option), else asks the
// user through the chooser when one is set (interactive runs show a colour chooser on screen),
// else answers the colour it was offered; a cancelling answer gives userCanceledErr. Convert changes the
// components between the spaces of the colour engine; special colours are the filter record's
// foreground (0) and background (1). Sampling a point is not offered. Every request is logged.
//
// Components, as the record carries them: RGB, gray (intensity) and CMYK (ink) 0..255; HSB and
// HSL hue in degrees 0..359, then 0..255; Lab L 0..255, a and b -128..127.
#pragma once
#include "hostsim/problem_log.h"

#include "pluginapi/filter_record.h"
#include "pluginapi/pixel_map.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace hostsim {

class ColorEngine;

// What the picker answers instead of the offered colour.
struct PickAnswer {
    bool cancel = false;
    std::array<int16, 3> rgb{};  // 0..255
};

struct ColorRequest {
    int16 selector = 0;
    int16 sourceSpace = 0;
    int16 resultSpace = 0;  // as asked
    std::array<int16, 4> given{};
    std::array<int16, 4> answered{};  // as returned (unchanged on failure)
    std::string prompt;               // choose colour
    OSErr result = noErr;

    std::string Describe() const;
};

class ColorServicesHost {
public:
    // Asks a user for a colour, starting from an RGB colour (0..255) with a prompt; nothing
    // when the user cancels.
    using Chooser = std::function<std::optional<std::array<int16, 3>>(const std::array<int16, 3>&, const std::string&)>;

    void SetPickAnswer(std::optional<PickAnswer> answer) { pick_ = answer; }
    void SetChooser(Chooser chooser) { chooser_ = std::move(chooser); }
    const std::optional<PickAnswer>& pickAnswer() const { return pick_; }

    // Answers one request. `engine` converts between spaces (made on first use by the caller).
    OSErr Serve(ColorServicesInfo* info, const FilterRecord& record, const std::function<ColorEngine&()>& engine,
                ProblemLog& problems);

    const std::vector<ColorRequest>& requests() const { return requests_; }
    void ClearRequests() { requests_.clear(); }

    // Converts record components between spaces; false for an unknown space, components out of
    // range or a failed conversion (`why` says which).
    static bool Convert(ColorEngine& engine, int16 from, int16 to, const int16* in, int16* out, std::string* why);

private:
    std::optional<PickAnswer> pick_;
    Chooser chooser_;
    std::vector<ColorRequest> requests_;
};

}  // namespace hostsim
