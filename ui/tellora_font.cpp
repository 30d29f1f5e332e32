// The dialog's font choice: the toolkit's font dialog over the font and text colour parameters.
#include "filter/bubble_drawing.h"
#include "filter/parameter_table.h"
#include "param/parameters.h"
#include "ui/tellora_ui.h"
#include "ui/viewer_base.h"

#include <wx/fontdata.h>
#include <wx/fontdlg.h>

#include <algorithm>
#include <cmath>

using Corvantis::Host::Param::Parameters;

namespace {

// value x 255 truncated; a value outside 0..1 (a hand-edited preset) gives the nearest end.
unsigned char Channel(double value) {
    const double scaled = std::trunc(value * 255.0);
    if (!(scaled > 0.0)) return 0;
    return static_cast<unsigned char>(std::min(scaled, 255.0));
}

// The font parameters' codes: 0 normal, 1 light, 2 bold (the toolkit's weights are numeric).
bool WeightCode(wxFontWeight weight, int32_t& code) {
    switch (weight) {
        case wxFONTWEIGHT_NORMAL: code = 0; return true;
        case wxFONTWEIGHT_LIGHT: code = 1; return true;
        case wxFONTWEIGHT_BOLD: code = 2; return true;
        default: return false;
    }
}

bool StyleCode(wxFontStyle style, int32_t& code) {
    switch (style) {
        case wxFONTSTYLE_NORMAL: code = 0; return true;
        case wxFONTSTYLE_ITALIC: code = 1; return true;
        case wxFONTSTYLE_SLANT: code = 2; return true;
        default: return false;
    }
}

// Default 0, decorative 1, roman 2, script 3, swiss 4, modern 5, teletype 6, unknown 7.
bool FamilyCode(wxFontFamily family, int32_t& code) {
    const int value = static_cast<int>(family);
    if (value < wxFONTFAMILY_DEFAULT || value > wxFONTFAMILY_UNKNOWN) return false;
    code = value - wxFONTFAMILY_DEFAULT;
    return true;
}

}  // namespace

void StoreFontInParams(Parameters* params, const wxFont& font) {
    if (!params || !font.IsOk()) return;
    auto value = [params](std::size_t index) {
        return index < params->parameters.size() ? &params->parameters[index].value : nullptr;
    };
    if (auto* v = value(kParamFontFacename)) v->text = std::string(font.GetFaceName().utf8_str());
    if (auto* v = value(kParamFontSize)) v->SetFloat(double(font.GetPointSize()));
    if (auto* v = value(kParamFontUnderline)) v->SetBoolean(font.GetUnderlined());
    int32_t code = 0;
    if (auto* v = value(kParamFontStyle); v && StyleCode(font.GetStyle(), code)) v->SetInteger(code);
    if (auto* v = value(kParamFontFamily); v && FamilyCode(font.GetFamily(), code)) v->SetInteger(code);
    if (auto* v = value(kParamFontWeight); v && WeightCode(font.GetWeight(), code)) v->SetInteger(code);
}

void TelloraUIBase::OnChooseFont(wxCommandEvent&) {
    Parameters* list = parameters;
    if (!list || list->parameters.size() <= kParamTextColor) return;
    const auto textColour = list->parameters[kParamTextColor].value.GetColor();

    wxFontData data;
    data.SetInitialFont(MakeBubbleFont(*list, 1.0f));
    data.SetColour(wxColour(Channel(textColour.red), Channel(textColour.green), Channel(textColour.blue), 255));
    // A font change records no undo step.
    wxFontDialog dialog(this, data);
    if (dialog.ShowModal() != wxID_OK) return;

    const wxFontData& chosen = dialog.GetFontData();
    StoreFontInParams(list, chosen.GetChosenFont());
    const wxColour colour = chosen.GetColour();
    list->parameters[kParamTextColor].value.SetColor(colour.Red() / 255.0, colour.Green() / 255.0,
                                                      colour.Blue() / 255.0);
    if (auto* viewer = GetViewer()) viewer->RefreshControls();
    RenderAgain();
}
