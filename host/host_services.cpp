#include "host/host_services.h"

#include "win32/shell_folders.h"

#include <wx/filefn.h>
#include <wx/utils.h>

#include <cmath>
#include <cstring>

namespace Corvantis::Host::PS {
namespace {

// The record's size as the host lays it out on 64-bit systems.
constexpr int32 kColorServicesInfoSize = 56;
static_assert(sizeof(void*) != 8 || sizeof(ColorServicesInfo) == kColorServicesInfoSize,
              "ColorServicesInfo must have the host's layout");

// Length-prefixed prompt of the picker, in a whole Str255 as the host may read one.
const Str255 kPickerPrompt = {12, 'C', 'h', 'o', 'o', 's', 'e', ' ', 'C', 'o', 'l', 'o', 'r'};

// value x 255 truncated toward zero, of which only the low 8 bits remain.
int16 ToComponent(double value) {
    const double scaled = value * 255.0;
    if (!std::isfinite(scaled)) return 0;
    double low = std::fmod(std::trunc(scaled), 256.0);
    if (low < 0) low += 256.0;
    return static_cast<int16>(low);
}

}  // namespace

OSErr PickColor(ColorServicesProc colorServices, double* rgb) {
    if (!colorServices) return errPlugInHostInsufficient;
    if (!rgb) return paramErr;
    ColorServicesInfo info;
    std::memset(&info, 0, sizeof info);
    info.infoSize = kColorServicesInfoSize;
    info.selector = plugIncolorServicesChooseColor;
    info.sourceSpace = 0;  // RGB
    info.resultSpace = 0;
    info.reservedSourceSpaceInfo = nullptr;
    info.reservedResultSpaceInfo = nullptr;
    for (int i = 0; i < 3; ++i) info.colorComponents[i] = ToComponent(rgb[i]);
    info.colorComponents[3] = 0;
    info.reserved = nullptr;
    info.selectorParameter.pickerPrompt = const_cast<Str255*>(&kPickerPrompt);

    const OSErr error = colorServices(&info);
    if (error != noErr) return error;
    // Single-precision quotient, widened afterwards.
    for (int i = 0; i < 3; ++i) rgb[i] = static_cast<double>(static_cast<float>(info.colorComponents[i]) / 255.0f);
    return noErr;
}

wxString GetPresetFolder(const wxString& product, const wxString& subfolder) {
    wchar_t path[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_DOCUMENTS, nullptr, SHGFP_TYPE_CURRENT, path)) || !path[0])
        return wxString();
    const wxString sep(wxFILE_SEP_PATH);
    return wxString(path) + sep + "Corvantis" + sep + product + sep + subfolder + sep;
}

EndBusyCursorIfSet::~EndBusyCursorIfSet() {
    if (set) wxEndBusyCursor();
}

}  // namespace Corvantis::Host::PS
