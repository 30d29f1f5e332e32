#include "ui/font_dialog.h"

#include "host/dialog_map.h"

#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/colordlg.h>
#include <wx/dcmemory.h>
#include <wx/fontenum.h>
#include <wx/intl.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include <algorithm>
#include <cmath>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#include <pango/pangocairo.h>
#endif

namespace {

constexpr int kMaxPoints = 4000;  // the font size parameter's accepted maximum

int CodeOrNormal(int code) { return code >= 0 && code <= 2 ? code : 0; }

wxBitmap Swatch(const wxColour& colour) {
    wxBitmap swatch(28, 16);
    wxMemoryDC dc(swatch);
    dc.SetBackground(*wxBLACK_BRUSH);
    dc.Clear();
    dc.SetBrush(wxBrush(colour));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(1, 1, 26, 14);
    dc.SelectObject(wxNullBitmap);
    return swatch;
}

#ifdef __WXGTK__
// The editor's colour name field takes the keyboard first: a colour can be typed at once.
void FocusColourName(GtkWidget* widget) {
    if (GTK_IS_ENTRY(widget) && gtk_widget_get_visible(widget)) {
        gtk_widget_grab_focus(widget);
        return;
    }
    if (GTK_IS_CONTAINER(widget))
        gtk_container_forall(GTK_CONTAINER(widget), [](GtkWidget* child, gpointer) { FocusColourName(child); }, nullptr);
}
#endif

}  // namespace

wxString BubbleFontDialog::ResolveFace(const wxString& face) {
#ifdef __WXGTK__
    // The toolkit draws text through pango: ask it which face it loads for the name.
    PangoFontMap* map = pango_cairo_font_map_get_default();
    PangoContext* context = pango_font_map_create_context(map);
    PangoFontDescription* wanted = pango_font_description_new();
    pango_font_description_set_family(wanted, face.utf8_str());
    pango_font_description_set_size(wanted, 12 * PANGO_SCALE);
    wxString resolved = face;
    if (PangoFont* font = pango_font_map_load_font(map, context, wanted)) {
        PangoFontDescription* loaded = pango_font_describe(font);
        if (const char* family = pango_font_description_get_family(loaded)) resolved = wxString::FromUTF8(family);
        pango_font_description_free(loaded);
        g_object_unref(font);
    }
    pango_font_description_free(wanted);
    g_object_unref(context);
    return resolved;
#else
    return face;
#endif
}

BubbleFontDialog::BubbleFontDialog(wxWindow* parent, const BubbleFontChoice& start)
    : wxDialog(parent, wxID_ANY, wxGetTranslation("Font"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      initial(start),
      colour(start.colour) {
    wxArrayString names = wxFontEnumerator::GetFacenames();
    names.Sort([](const wxString& a, const wxString& b) { return a.CmpNoCase(b); });
    faces = new wxListBox(this, kIdFaces, wxDefaultPosition, wxSize(260, 240), names, wxLB_SINGLE);
    // The stored face when it is installed, else the face drawn in its place.
    initialFace = faces->FindString(initial.face);
    if (initialFace == wxNOT_FOUND) initialFace = faces->FindString(ResolveFace(initial.face));
    if (initialFace != wxNOT_FOUND) {
        faces->SetSelection(initialFace);
        faces->EnsureVisible(initialFace);
    }

    style = new wxChoice(this, kIdStyle);
    for (const char* name : {"Normal", "Italic", "Slanted"}) style->Append(wxGetTranslation(name));
    style->SetSelection(CodeOrNormal(initial.style));
    weight = new wxChoice(this, kIdWeight);
    for (const char* name : {"Normal", "Light", "Bold"}) weight->Append(wxGetTranslation(name));
    weight->SetSelection(CodeOrNormal(initial.weight));
    size = new wxSpinCtrl(this, kIdSize, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxSP_ARROW_KEYS, 1,
                          kMaxPoints, std::clamp(initial.points, 1, kMaxPoints));
    underline = new wxCheckBox(this, kIdUnderline, wxGetTranslation("&Underline"));
    underline->SetValue(initial.underline);
    colourButton = new wxButton(this, kIdColour, wxGetTranslation("Text &Colour..."));
    sample = new wxStaticText(this, kIdSample, "AaBbCc XxYyZz 0123", wxDefaultPosition, wxSize(-1, 90),
                              wxST_NO_AUTORESIZE | wxALIGN_CENTRE_HORIZONTAL);

    auto* fields = new wxFlexGridSizer(2, 6, 8);
    auto row = [&](const char* label, wxWindow* control) {
        fields->Add(new wxStaticText(this, wxID_ANY, wxGetTranslation(label)), 0, wxALIGN_CENTER_VERTICAL);
        fields->Add(control, 0, wxEXPAND);
    };
    row("Style:", style);
    row("Weight:", weight);
    row("Size:", size);
    fields->AddSpacer(0);
    fields->Add(underline);
    fields->AddSpacer(0);
    fields->Add(colourButton);

    auto* facesColumn = new wxBoxSizer(wxVERTICAL);
    facesColumn->Add(new wxStaticText(this, wxID_ANY, wxGetTranslation("Font:")), 0, wxBOTTOM, 4);
    facesColumn->Add(faces, 1, wxEXPAND);
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(facesColumn, 1, wxEXPAND | wxALL, 8);
    top->Add(fields, 0, wxALL, 8);
    auto* root = new wxBoxSizer(wxVERTICAL);
    root->Add(top, 1, wxEXPAND);
    root->Add(sample, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
    if (wxSizer* buttons = CreateSeparatedButtonSizer(wxOK | wxCANCEL)) root->Add(buttons, 0, wxEXPAND | wxALL, 8);
    SetSizerAndFit(root);

    Bind(wxEVT_LISTBOX, &BubbleFontDialog::OnChange, this, kIdFaces);
    Bind(wxEVT_CHOICE, &BubbleFontDialog::OnChange, this, kIdStyle);
    Bind(wxEVT_CHOICE, &BubbleFontDialog::OnChange, this, kIdWeight);
    Bind(wxEVT_SPINCTRL, &BubbleFontDialog::OnChange, this, kIdSize);
    Bind(wxEVT_TEXT, &BubbleFontDialog::OnChange, this, kIdSize);
    Bind(wxEVT_CHECKBOX, &BubbleFontDialog::OnChange, this, kIdUnderline);
    Bind(wxEVT_BUTTON, &BubbleFontDialog::OnColour, this, kIdColour);
    ShowColour();
    ShowSample();
    faces->SetFocus();
    Corvantis::Host::PS::MapDialogWhenShown(this, ".font");
}

BubbleFontChoice BubbleFontDialog::GetChoice() const {
    const BubbleFontChanges changes = GetChanges();
    BubbleFontChoice choice = initial;
    if (changes.face) choice.face = faces->GetStringSelection();
    if (changes.points) choice.points = size->GetValue();
    if (changes.style) choice.style = style->GetSelection();
    if (changes.weight) choice.weight = weight->GetSelection();
    choice.underline = underline->GetValue();
    choice.colour = colour;
    return choice;
}

BubbleFontChanges BubbleFontDialog::GetChanges() const {
    BubbleFontChanges changes;
    changes.face = faces->GetSelection() != wxNOT_FOUND && faces->GetSelection() != initialFace;
    changes.points = size->GetValue() != std::clamp(initial.points, 1, kMaxPoints);
    changes.style = style->GetSelection() != CodeOrNormal(initial.style);
    changes.weight = weight->GetSelection() != CodeOrNormal(initial.weight);
    changes.underline = underline->GetValue() != initial.underline;
    changes.colour = colour.GetRGB() != initial.colour.GetRGB();
    return changes;
}

void BubbleFontDialog::OnChange(wxCommandEvent& event) {
    event.Skip();
    ShowSample();
}

void BubbleFontDialog::OnColour(wxCommandEvent&) {
    wxColour picked = colour;
    if (ChooseColourWithToolkit(this, wxGetTranslation("Text Colour"), picked)) SetColour(picked);
}

void BubbleFontDialog::SetColour(const wxColour& picked) {
    colour = picked;
    ShowColour();
    ShowSample();
}

void BubbleFontDialog::ShowColour() { colourButton->SetBitmap(Swatch(colour)); }

void BubbleFontDialog::ShowSample() {
    static const wxFontStyle kStyles[] = {wxFONTSTYLE_NORMAL, wxFONTSTYLE_ITALIC, wxFONTSTYLE_SLANT};
    static const wxFontWeight kWeights[] = {wxFONTWEIGHT_NORMAL, wxFONTWEIGHT_LIGHT, wxFONTWEIGHT_BOLD};
    const int faceIndex = faces->GetSelection();
    // The sample shows at most a readable size; the chosen size is in the field.
    wxFont font(wxFontInfo(std::min(size->GetValue(), 36))
                    .FaceName(faceIndex != wxNOT_FOUND ? faces->GetString(unsigned(faceIndex)) : initial.face)
                    .Style(kStyles[std::max(0, style->GetSelection())])
                    .Weight(kWeights[std::max(0, weight->GetSelection())])
                    .Underlined(underline->GetValue()));
    sample->SetFont(font);
    sample->SetForegroundColour(colour);
    sample->Refresh();
}

bool ChooseColourWithToolkit(wxWindow* parent, const wxString& title, wxColour& colour) {
#ifdef __WXGTK__
    // GTK's chooser with its editor open: a colour field, a hue strip and the colour's name.
    GtkWindow* owner = parent ? GTK_WINDOW(gtk_widget_get_toplevel(static_cast<GtkWidget*>(parent->GetHandle())))
                              : nullptr;
    GtkWidget* chooser = gtk_color_chooser_dialog_new(title.utf8_str(), owner);
    gtk_window_set_modal(GTK_WINDOW(chooser), TRUE);
    gtk_color_chooser_set_use_alpha(GTK_COLOR_CHOOSER(chooser), FALSE);
    const GdkRGBA start{colour.Red() / 255.0, colour.Green() / 255.0, colour.Blue() / 255.0, 1.0};
    gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(chooser), &start);
    g_object_set(chooser, "show-editor", TRUE, nullptr);
    FocusColourName(chooser);
    const bool chosen = gtk_dialog_run(GTK_DIALOG(chooser)) == GTK_RESPONSE_OK;
    if (chosen) {
        GdkRGBA picked;
        gtk_color_chooser_get_rgba(GTK_COLOR_CHOOSER(chooser), &picked);
        auto channel = [](double v) { return static_cast<unsigned char>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
        colour = wxColour(channel(picked.red), channel(picked.green), channel(picked.blue));
    }
    gtk_widget_destroy(chooser);
    return chosen;
#else
    wxColourData data;
    data.SetColour(colour);
    wxColourDialog dialog(parent, &data);
    dialog.SetTitle(title);
    if (dialog.ShowModal() != wxID_OK) return false;
    colour = dialog.GetColourData().GetColour();
    return true;
#endif
}
