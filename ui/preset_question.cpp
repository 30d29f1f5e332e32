#include "ui/preset_question.h"

#include <wx/intl.h>

bool UserAllowsReplacingPreset(HWND owner, const wxString& name) {
    const wxString question = wxString::Format(wxGetTranslation("The preset \"%s\" exists already. Replace it?"), name);
    return MessageBoxW(owner, question.wc_str(), L"", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}
