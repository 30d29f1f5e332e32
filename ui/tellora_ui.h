// The plug-in's modal dialog. It edits the filter's parameter list in place: controls bound to
// their parameters, the interactive preview, zoom, undo and redo, the font dialog and the
// presets list. TelloraUIBase holds everything but the viewer, which TelloraUI adds for one kind
// of host; the modal runner builds the dialog through CreateTelloraDialog.
#pragma once
#include "ui/ps_viewer.h"

#include <wx/dialog.h>

class ImagePreview;
class wxFont;
class wxListBox;
class wxToggleButton;

namespace Corvantis::Host::Param {
class Parameters;
class ViewerBase;
}  // namespace Corvantis::Host::Param

class TelloraUIBase : public wxDialog {
public:
    // Creates the dialog window and all its controls and binds the parameters to them. The
    // list is not owned and must outlive the dialog.
    TelloraUIBase(Corvantis::Host::Param::Parameters* params, wxWindow* parent, wxWindowID id,
                  const wxString& title, const wxPoint& pos, const wxSize& size, long style);
    ~TelloraUIBase() override;

    virtual Corvantis::Host::Param::ViewerBase* GetViewer() = 0;

    // Appends the names of the presets found in the preset folder to the list.
    void FillPresetList();
    // The interactive preview (id 10000).
    ImagePreview* GetPreviewPanel();

    const wxString& GetPresetFolder() const { return presetFolder; }
    // Full path ending in a separator; empty when no documents folder is known.
    void SetPresetFolder(const wxString& folder) { presetFolder = folder; }

protected:
    void OnParamBeginChange(wxCommandEvent& event);
    void OnParamChanged(wxCommandEvent& event);
    void OnZoomIn(wxCommandEvent& event);
    void OnZoomOut(wxCommandEvent& event);
    void OnZoomEnter(wxCommandEvent& event);
    void OnUndo(wxCommandEvent& event);
    void OnRedo(wxCommandEvent& event);
    void OnChooseFont(wxCommandEvent& event);
    void OnBoundingBoxToggle(wxCommandEvent& event);
    void OnSavePreset(wxCommandEvent& event);
    void OnApplyPreset(wxCommandEvent& event);
    void OnPresetSelected(wxCommandEvent& event);
    void OnPresetListKeyDown(wxKeyEvent& event);

    // Sets the viewer's needs-render flag and repaints its panel.
    void RenderAgain();
    // Creates the preset folder with its parents; false (and nothing logged) when it is
    // missing afterwards.
    bool MakePresetFolder() const;
    // Preset folder + name + ".txt".
    wxString PresetPath(const wxString& name) const;
    // Saves the values under the chosen path (".txt" added unless it ends in it; a preset the
    // file dialog did not ask about is replaced only after a question) and lists the presets
    // again.
    void SavePresetTo(const wxString& chosenPath);

private:
    Corvantis::Host::Param::Parameters* parameters = nullptr;
    wxToggleButton* boundingBox = nullptr;
    wxListBox* presetList = nullptr;
    wxString presetFolder;

    wxDECLARE_EVENT_TABLE();
};

// Before the viewer goes, no window may reach it any longer: the preview and the zoom field.
void DetachViewer(TelloraUIBase* dialog, Corvantis::Host::Param::ViewerBase* viewer);

template <class HostType, class ViewerType>
class TelloraUI : public TelloraUIBase {
public:
    TelloraUI(HostType* host, Corvantis::Host::Param::Parameters* params, wxWindow* parent, wxWindowID id,
              const wxString& title, const wxPoint& pos, const wxSize& size, long style)
        : TelloraUIBase(params, parent, id, title, pos, size, style), viewer(host, params, nullptr) {}
    ~TelloraUI() override { DetachViewer(this, &viewer); }

    Corvantis::Host::Param::ViewerBase* GetViewer() override { return &viewer; }

    ViewerType viewer;
};

// The plug-in's dialog factory for the modal runner: a TelloraUI over the host and the list,
// wired to its viewer and its presets, maximised. The caller owns it.
wxDialog* CreateTelloraDialog(Corvantis::Host::PS::Host* host, Corvantis::Host::PS::Parameters* params,
                              wxWindow* parent);

// Writes a font's face name, size, underline, style, family and weight into the font
// parameters; a style, family or weight without a code of its own leaves its parameter.
void StoreFontInParams(Corvantis::Host::Param::Parameters* params, const wxFont& font);
