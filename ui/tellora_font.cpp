// The dialog's font choice over the font and text colour parameters: the toolkit's font dialog
// on Windows, elsewhere our own (GTK's chooser has no colour and loses the underline).
#include "filter/bubble_drawing.h"
#include "filter/parameter_table.h"
#include "param/parameters.h"
#include "ui/tellora_ui.h"
#include "ui/viewer_base.h"

#ifdef __WXMSW__
#include <wx/fontdata.h>
#include <wx/fontdlg.h>
#else
#include "ui/font_dialog.h"
#endif

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

#ifdef __WXMSW__
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
#else
void TelloraUIBase::OnChooseFont(wxCommandEvent&) {
    Parameters* list = parameters;
    if (!list || list->parameters.size() <= kParamFontUnderline) return;
    auto& p = list->parameters;
    const auto textColour = p[kParamTextColor].value.GetColor();

    BubbleFontChoice initial;
    initial.face = DecodeUtf8(p[kParamFontFacename].value.text);
    initial.points = static_cast<int>(std::min(std::max(std::trunc(p[kParamFontSize].value.GetFloat()), 1.0), 4000.0));
    initial.style = p[kParamFontStyle].value.GetInteger();
    initial.weight = p[kParamFontWeight].value.GetInteger();
    initial.underline = p[kParamFontUnderline].value.GetBoolean();
    initial.colour = wxColour(Channel(textColour.red), Channel(textColour.green), Channel(textColour.blue), 255);
    // A font change records no undo step.
    BubbleFontDialog dialog(this, initial);
    if (dialog.ShowModal() != wxID_OK) return;

    // Only what the user changed is written, in the order of the font parameters' table; a
    // new face brings its family.
    const BubbleFontChoice chosen = dialog.GetChoice();
    const BubbleFontChanges changed = dialog.GetChanges();
    int32_t code = 0;
    if (changed.face) p[kParamFontFacename].value.text = std::string(chosen.face.utf8_str());
    if (changed.points) p[kParamFontSize].value.SetFloat(double(chosen.points));
    if (changed.underline) p[kParamFontUnderline].value.SetBoolean(chosen.underline);
    if (changed.style) p[kParamFontStyle].value.SetInteger(chosen.style);
    if (changed.face && FamilyCode(wxFont(wxFontInfo(12).FaceName(chosen.face)).GetFamily(), code))
        p[kParamFontFamily].value.SetInteger(code);
    if (changed.weight) p[kParamFontWeight].value.SetInteger(chosen.weight);
    if (changed.colour)
        p[kParamTextColor].value.SetColor(chosen.colour.Red() / 255.0, chosen.colour.Green() / 255.0,
                                          chosen.colour.Blue() / 255.0);
    if (auto* viewer = GetViewer()) viewer->RefreshControls();
    RenderAgain();
}
#endif
