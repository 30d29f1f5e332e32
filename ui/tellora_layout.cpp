#include "ui/tellora_layout.h"

#include "ui/color_button.h"
#include "ui/image_preview.h"
#include "ui/long_text_ctrl.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/intl.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/tglbtn.h>

namespace {

constexpr int kBorder = 5;
// The toolkit asserts on an alignment in the direction a box sizer stacks its items, where it
// has no effect; the items carry only the flags that take effect.
constexpr int kCentred = wxALIGN_CENTER | wxALL;
constexpr int kExpand = wxEXPAND | wxALL;
constexpr int kAtBottom = wxALIGN_BOTTOM | wxALL;

wxStaticText* Label(wxWindow* parent, const char* text) {
    return new wxStaticText(parent, kIdLabel, wxGetTranslation(text));
}

wxTextCtrl* NumberField(wxWindow* parent, int id) {
    return new wxTextCtrl(parent, id, wxEmptyString, wxDefaultPosition, wxSize(80, -1), 0);
}

wxSlider* Slider(wxWindow* parent, int id) {
    return new wxSlider(parent, id, 0, 0, 100, wxDefaultPosition, wxSize(100, -1), wxSL_HORIZONTAL);
}

// 25 x 20: without the theme's padding, which alone is wider than that, so that the label shows.
wxButton* SmallButton(wxWindow* parent, int id, const char* label) {
    return new wxButton(parent, id, wxGetTranslation(label), wxDefaultPosition, wxSize(25, 20), wxBU_EXACTFIT);
}

}  // namespace

wxBitmap TelloraBitmapsFunc(std::size_t index) {
    if (index != 0) return wxNullBitmap;
    static const char* const kSwatch[] = {
        "16 15 1 1",        "a c Black",        "aaaaaaaaaaaaaaaa", "aaaaaaaaaaaaaaaa", "aaaaaaaaaaaaaaaa",
        "aaaaaaaaaaaaaaaa", "aaaaaaaaaaaaaaaa", "aaaaaaaaaaaaaaaa", "aaaaaaaaaaaaaaaa", "aaaaaaaaaaaaaaaa",
        "aaaaaaaaaaaaaaaa", "aaaaaaaaaaaaaaaa", "aaaaaaaaaaaaaaaa", "aaaaaaaaaaaaaaaa", "aaaaaaaaaaaaaaaa",
        "aaaaaaaaaaaaaaaa", "aaaaaaaaaaaaaaaa"};
    return wxBitmap(kSwatch);
}

wxSizer* TelloraDialogFunc(wxWindow* parent, bool fit, bool setSizer) {
    auto* root = new wxBoxSizer(wxVERTICAL);

    // Preview row over the controls row.
    auto* main = new wxBoxSizer(wxVERTICAL);
    root->Add(main, 1, kExpand, kBorder);

    auto* previewRow = new wxBoxSizer(wxHORIZONTAL);
    main->Add(previewRow, 2, kExpand, kBorder);
    previewRow->Add(new ImagePreview(parent, kIdPreview, wxDefaultPosition, wxDefaultSize, 0, "panel"), 1, kExpand,
                    kBorder);

    auto* presets = new wxBoxSizer(wxVERTICAL);
    previewRow->Add(presets, 0, kExpand, kBorder);
    presets->Add(new wxListBox(parent, kIdPresetList, wxDefaultPosition, wxSize(140, 100), 0, nullptr, wxLB_SINGLE),
                 0, kCentred, kBorder);
    auto* presetButtons = new wxBoxSizer(wxHORIZONTAL);
    presets->Add(presetButtons, 0, kCentred, kBorder);
    presetButtons->Add(new wxButton(parent, kIdSavePreset, wxGetTranslation("Save Preset")), 0, kCentred, kBorder);
    presetButtons->Add(new wxButton(parent, kIdApplyPreset, wxGetTranslation("Apply Preset")), 0, kCentred, kBorder);
    auto* zoom = new wxBoxSizer(wxHORIZONTAL);
    presets->Add(zoom, 0, kCentred, kBorder);
    zoom->Add(SmallButton(parent, kIdZoomOut, "-"), 0, kCentred, kBorder);
    // Wide enough for "100.00" inside the theme's padding.
    zoom->Add(new wxTextCtrl(parent, kIdZoomText, wxEmptyString, wxDefaultPosition, wxSize(72, -1), 0), 0, kCentred,
              kBorder);
    zoom->Add(SmallButton(parent, kIdZoomIn, "+"), 0, kCentred, kBorder);
    presets->Add(new wxToggleButton(parent, kIdBoundingBox, wxGetTranslation("Bounding Box")), 0, kCentred, kBorder);

    // Controls row: the shape column and the colour column share its width.
    auto* controls = new wxBoxSizer(wxHORIZONTAL);
    main->Add(controls, 0, kExpand, kBorder);

    auto* shapeColumn = new wxBoxSizer(wxVERTICAL);
    controls->Add(shapeColumn, 1, kAtBottom, kBorder);

    auto* widthRow = new wxBoxSizer(wxHORIZONTAL);
    shapeColumn->Add(widthRow, 0, kExpand, kBorder);
    const wxString shapes[] = {wxGetTranslation("Ellipse"), wxGetTranslation("Rectangle")};
    widthRow->Add(new wxChoice(parent, kIdShape, wxDefaultPosition, wxSize(100, -1), 2, shapes, 0), 0, kCentred,
                  kBorder);
    widthRow->Add(Label(parent, "Width"), 0, kCentred, kBorder);
    widthRow->Add(NumberField(parent, kIdWidthText), 0, kCentred, kBorder);
    widthRow->Add(Slider(parent, kIdWidthSlider), 0, kCentred, kBorder);
    widthRow->Add(Label(parent, "Indicator Width"), 0, kCentred, kBorder);
    widthRow->Add(NumberField(parent, kIdIndicatorWidthText), 0, kCentred, kBorder);
    widthRow->Add(Slider(parent, kIdIndicatorWidthSlider), 0, kCentred, kBorder);

    // The spacers put "Height" under "Width".
    auto* heightRow = new wxBoxSizer(wxHORIZONTAL);
    shapeColumn->Add(heightRow, 0, kExpand, kBorder);
    heightRow->Add(20, 20, 0, kCentred, kBorder);
    heightRow->Add(20, 20, 0, kCentred, kBorder);
    heightRow->Add(20, 20, 0, kCentred, kBorder);
    heightRow->Add(12, 20, 0, kCentred, kBorder);
    heightRow->Add(Label(parent, "Height"), 0, kCentred, kBorder);
    heightRow->Add(NumberField(parent, kIdHeightText), 0, kCentred, kBorder);
    heightRow->Add(Slider(parent, kIdHeightSlider), 0, kCentred, kBorder);

    auto* textRow = new wxBoxSizer(wxHORIZONTAL);
    shapeColumn->Add(textRow, 0, kExpand, kBorder);
    textRow->Add(Label(parent, "Text"), 0, kCentred, kBorder);
    textRow->Add(new LongTextCtrl(parent, kIdText, wxEmptyString, wxDefaultPosition, wxSize(450, 70),
                                  wxTE_MULTILINE | wxTE_PROCESS_ENTER),
                 0, kCentred, kBorder);
    textRow->Add(new wxButton(parent, kIdFont, wxGetTranslation("Font")), 0, kCentred, kBorder);

    auto* colourColumn = new wxBoxSizer(wxVERTICAL);
    controls->Add(colourColumn, 1, kAtBottom, kBorder);

    auto* colours = new wxBoxSizer(wxHORIZONTAL);
    colourColumn->Add(colours, 0, wxALL, kBorder);
    colours->Add(Label(parent, "Bubble Color"), 0, kCentred, kBorder);
    colours->Add(new Corvantis::Host::Param::ColorButton(parent, kIdFillColor, TelloraBitmapsFunc(0),
                                                         wxDefaultPosition, wxSize(20, 20), wxBU_AUTODRAW,
                                                         wxDefaultValidator, "colorButton"),
                 0, kCentred, kBorder);
    colours->Add(Label(parent, "Edge Color"), 0, kCentred, kBorder);
    colours->Add(new Corvantis::Host::Param::ColorButton(parent, kIdEdgeColor, TelloraBitmapsFunc(0),
                                                         wxDefaultPosition, wxSize(20, 20), wxBU_AUTODRAW,
                                                         wxDefaultValidator, "colorButton"),
                 0, kCentred, kBorder);

    auto* edgeRow = new wxBoxSizer(wxHORIZONTAL);
    colourColumn->Add(edgeRow, 0, wxALL, kBorder);
    edgeRow->Add(Label(parent, "Bubble Edge Thickness"), 0, kCentred, kBorder);
    edgeRow->Add(NumberField(parent, kIdEdgeThicknessText), 0, kCentred, kBorder);
    edgeRow->Add(Slider(parent, kIdEdgeThicknessSlider), 0, kCentred, kBorder);

    auto* pointerRow = new wxBoxSizer(wxHORIZONTAL);
    colourColumn->Add(pointerRow, 0, wxALL, kBorder);
    pointerRow->Add(Label(parent, "Indicator Thickness"), 0, kCentred, kBorder);
    pointerRow->Add(NumberField(parent, kIdIndicatorThicknessText), 0, kCentred, kBorder);
    pointerRow->Add(Slider(parent, kIdIndicatorThicknessSlider), 0, kCentred, kBorder);

    auto* okRow = new wxBoxSizer(wxHORIZONTAL);
    colourColumn->Add(okRow, 0, wxALIGN_RIGHT | wxALL, kBorder);
    auto* buttons = new wxStdDialogButtonSizer();
    okRow->Add(buttons, 0, wxEXPAND | wxALL, kBorder);
    auto* ok = new wxButton(parent, wxID_OK, wxEmptyString);
    ok->SetDefault();
    buttons->AddButton(ok);
    buttons->AddButton(new wxButton(parent, wxID_CANCEL, wxEmptyString));
    buttons->Realize();

    if (setSizer) {
        parent->SetSizer(root);
        if (fit) root->SetSizeHints(parent);
    }
    return root;
}
