// The host's colour chooser on screen, as an image editor shows one when a plug-in asks the
// user for a colour: GTK's colour chooser with its editor open, above the window that is up.
#pragma once
#include "pluginapi/pi_types.h"

#include <array>
#include <optional>
#include <string>

namespace hostsim {

// Whether a user can answer windows: filterhost runs unattended only when TELLORA_BATCH is set
// (and, with GTK, when there is no display to show windows on). Like an image editor, it does
// not take a missing terminal for a missing user.
bool RunIsInteractive();

// Shows the chooser on `rgb` (0..255) with the prompt as its title; the chosen colour, or
// nothing when the user cancels or no chooser can be shown.
std::optional<std::array<int16, 3>> ChooseColourOnScreen(const std::array<int16, 3>& rgb, const std::string& prompt);

}  // namespace hostsim
