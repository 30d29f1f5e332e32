// The dialog's presets: the list of the preset files in the preset folder, saving the current
// values as a new preset, applying the selected one and deleting it with the Delete key.
#include "param/parameters.h"
#include "ui/preset_question.h"
#include "ui/tellora_ui.h"
#include "win32/message_box.h"

#include <wx/dir.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/listbox.h>
#include <wx/log.h>

#include <exception>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

namespace {

const char kMessageCaption[] = "Message";

// Nothing is chosen in the list until the user picks an entry. GTK's list selects the row under
// its cursor when it takes the keyboard focus, and puts a missing cursor on the first row: the
// first preset would be chosen by merely tabbing past (or opening the dialog). A cursor placed
// while the list allows no selection leaves the selection empty, and the focus keeps it so.
void PlaceCursorWithoutChoosing(wxListBox* list) {
#ifdef __WXGTK__
    if (!list || list->IsEmpty() || list->GetSelection() != wxNOT_FOUND) return;
    GtkTreeSelection* selection = gtk_tree_view_get_selection(list->m_treeview);
    const GtkSelectionMode mode = gtk_tree_selection_get_mode(selection);
    list->GTKDisableEvents();
    gtk_tree_selection_set_mode(selection, GTK_SELECTION_NONE);
    GtkTreePath* first = gtk_tree_path_new_first();
    gtk_tree_view_set_cursor(list->m_treeview, first, nullptr, FALSE);
    gtk_tree_path_free(first);
    gtk_tree_selection_set_mode(selection, mode);
    list->GTKEnableEvents();
#else
    (void)list;
#endif
}

// Whether the path already names a preset file: one ending in ".txt", compared as the file
// system compares names.
bool HasPresetExtension(const wxString& path) {
    return path.length() > 4 && path.Right(4).IsSameAs(".txt", wxFileName::IsCaseSensitive());
}

}  // namespace

bool TelloraUIBase::MakePresetFolder() const {
    if (presetFolder.empty()) return false;
    wxLogNull quiet;  // a folder that cannot be made is reported by its callers, not logged
    wxFileName::Mkdir(presetFolder, 0777, wxPATH_MKDIR_FULL);
    return wxDir::Exists(presetFolder);
}

wxString TelloraUIBase::PresetPath(const wxString& name) const { return presetFolder + name + ".txt"; }

void TelloraUIBase::FillPresetList() {
    if (!presetList) return;
    // No documents folder means no preset folder: never list the working directory instead.
    wxDir dir;
    bool opened = false;
    if (MakePresetFolder()) {
        wxLogNull quiet;
        opened = dir.Open(presetFolder);
    }
    if (!opened) {
        MessageBoxA(GetHandle(), " No directory here ", kMessageCaption, MB_OK);
        return;
    }
    wxArrayString names;
    wxString file;
    for (bool more = dir.GetFirst(&file, "*.txt", wxDIR_FILES); more; more = dir.GetNext(&file))
        names.Add(wxFileName(file).GetName());
    if (!names.empty()) presetList->Append(names);
    PlaceCursorWithoutChoosing(presetList);
}

void TelloraUIBase::SavePresetTo(const wxString& chosenPath) {
    // No name is no file: never a bare ".txt" in the working folder.
    if (chosenPath.empty()) {
        MessageBoxA(GetHandle(), "Preset saving error", kMessageCaption, MB_OK);
        return;
    }
    // Every preset is a ".txt" file, the only kind the list shows, whatever the name holds: the
    // dot of "v1.2 big" starts no extension.
    const wxString path = HasPresetExtension(chosenPath) ? chosenPath : chosenPath + ".txt";
    // The file dialog asked about the name as it was typed; a preset it did not see is asked
    // about here before it is replaced.
    const bool unseen = path != chosenPath && wxFileName::FileExists(path);
    if (unseen && !UserAllowsReplacingPreset(GetHandle(), wxFileName(path).GetName())) return;
    // A preset that could not be written must not pass for saved.
    if (!parameters || !parameters->SavePreset(path.ToStdWstring(), "Tellora", "1.0"))
        MessageBoxA(GetHandle(), "Preset saving error", kMessageCaption, MB_OK);
    if (presetList) presetList->Clear();
    FillPresetList();
}

void TelloraUIBase::OnSavePreset(wxCommandEvent&) {
    try {
        MakePresetFolder();
        wxFileDialog chooser(this, wxGetTranslation("Save File As "), presetFolder, wxEmptyString,
                             wxGetTranslation("Text files (*.txt)|*.txt"), wxFD_SAVE | wxFD_OVERWRITE_PROMPT,
                             wxDefaultPosition, wxDefaultSize, "filedlg");
        if (chooser.ShowModal() != wxID_OK) return;
        SavePresetTo(chooser.GetPath());
    } catch (const std::exception& e) {
        MessageBoxA(GetHandle(), e.what(), kMessageCaption, MB_OK);
    } catch (...) {
        MessageBoxA(GetHandle(), "Preset saving error", kMessageCaption, MB_OK);
    }
}

void TelloraUIBase::OnApplyPreset(wxCommandEvent&) {
    if (!presetList || !parameters) return;
    const int selection = presetList->GetSelection();
    if (selection == wxNOT_FOUND) return;
    parameters->RecordAll();  // one undo step puts every value back
    parameters->LoadPreset(PresetPath(presetList->GetString(unsigned(selection))).ToStdWstring());
    RenderAgain();
    TransferDataToWindow();
}

void TelloraUIBase::OnPresetListKeyDown(wxKeyEvent& event) {
    if (event.GetKeyCode() != WXK_DELETE) {
        event.Skip();
        return;
    }
    if (MessageBoxA(GetHandle(), "Delete Preset ?", "", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
    const int selection = presetList ? presetList->GetSelection() : wxNOT_FOUND;
    if (selection == wxNOT_FOUND) return;
    {
        wxLogNull quiet;  // a file already gone leaves the list all the same
        wxRemoveFile(PresetPath(presetList->GetString(unsigned(selection))));
    }
    presetList->Delete(unsigned(selection));
    // GTK's list moves its selection to a neighbour of the deleted entry, which the user never
    // chose: after a delete nothing is selected, so that Apply does nothing.
    presetList->SetSelection(wxNOT_FOUND);
}
