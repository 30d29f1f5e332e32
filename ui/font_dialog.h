// The font dialog of toolkits whose own one cannot show or give back a text colour and an
// underline (GTK's font chooser has neither): face, size, style, weight, underline and text
// colour in one dialog, with a sample. It opens on the face the toolkit draws for the stored
// one and tells which values the user changed, so that nothing else is rewritten.
#pragma once
#include <wx/colour.h>
#include <wx/dialog.h>
#include <wx/string.h>

class wxButton;
class wxCheckBox;
class wxChoice;
class wxListBox;
class wxSpinCtrl;
class wxStaticText;

// A font as the font parameters hold it.
struct BubbleFontChoice {
    wxString face;  // may name a face that is not installed
    int points = 12;
    int style = 0;   // 0 normal, 1 italic, 2 slanted; other codes show as normal
    int weight = 0;  // 0 normal, 1 light, 2 bold; other codes show as normal
    bool underline = false;
    wxColour colour{0, 0, 0};
};

// Which values differ from those the dialog opened with.
struct BubbleFontChanges {
    bool face = false;
    bool points = false;
    bool style = false;
    bool weight = false;
    bool underline = false;
    bool colour = false;
};

class BubbleFontDialog : public wxDialog {
public:
    enum {
        kIdFaces = 10100,
        kIdSize,
        kIdStyle,
        kIdWeight,
        kIdUnderline,
        kIdColour,
        kIdSample,
    };

    BubbleFontDialog(wxWindow* parent, const BubbleFontChoice& initial);

    // The values shown now; the face is the stored one until the user picks another.
    BubbleFontChoice GetChoice() const;
    BubbleFontChanges GetChanges() const;
    // The text colour, as the colour chooser sets it.
    void SetColour(const wxColour& picked);

    // The installed face the toolkit draws text in when `face` is asked for (a missing face is
    // replaced by the system's substitute); `face` itself when that cannot be found out.
    static wxString ResolveFace(const wxString& face);

private:
    void OnChange(wxCommandEvent& event);
    void OnColour(wxCommandEvent& event);
    void ShowSample();
    void ShowColour();

    BubbleFontChoice initial;
    int initialFace = -1;  // the entry selected on opening, or none
    wxColour colour;
    wxListBox* faces = nullptr;
    wxSpinCtrl* size = nullptr;
    wxChoice* style = nullptr;
    wxChoice* weight = nullptr;
    wxCheckBox* underline = nullptr;
    wxButton* colourButton = nullptr;
    wxStaticText* sample = nullptr;
};

// Asks the user for a colour with the toolkit's colour chooser, over `parent`; false when the
// user cancels.
bool ChooseColourWithToolkit(wxWindow* parent, const wxString& title, wxColour& colour);
