#include "hostsim/color_chooser.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <commdlg.h>

#include <cstdlib>

namespace hostsim {

bool RunIsInteractive() { return std::getenv("TELLORA_BATCH") == nullptr; }

// The system chooser has no title of its own: the prompt is not shown.
std::optional<std::array<int16, 3>> ChooseColourOnScreen(const std::array<int16, 3>& rgb, const std::string&) {
    auto clamp = [](int16 v) { return static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v); };
    static COLORREF custom[16] = {};
    CHOOSECOLORW choose = {};
    choose.lStructSize = sizeof choose;
    // Above the window that is active (the plug-in's dialog), as the system chooser is modal.
    choose.hwndOwner = GetActiveWindow();
    choose.rgbResult = RGB(clamp(rgb[0]), clamp(rgb[1]), clamp(rgb[2]));
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&choose)) return std::nullopt;
    return std::array<int16, 3>{int16(GetRValue(choose.rgbResult)), int16(GetGValue(choose.rgbResult)),
                                int16(GetBValue(choose.rgbResult))};
}

}  // namespace hostsim
