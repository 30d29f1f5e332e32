#include "ui/long_text_ctrl.h"

#ifdef __WXMSW__
#include <wx/msw/wrapwin.h>
#include <wx/textfile.h>
#endif

#include <algorithm>

LongTextCtrl::LongTextCtrl(wxWindow* parent, wxWindowID id, const wxString& value, const wxPoint& pos,
                           const wxSize& size, long style)
    : wxTextCtrl(parent, id, value, pos, size, style) {}

std::vector<std::pair<std::size_t, std::size_t>> LongTextCtrl::Pieces(const std::wstring& text) {
    std::vector<std::pair<std::size_t, std::size_t>> pieces;
    std::size_t longest = 0, run = 0;
    for (wchar_t c : text) {
        run = c == L'\n' ? 0 : c == L'\r' ? run : run + 1;
        longest = std::max(longest, run);
    }
    if (longest <= kPieceLength) return pieces;

    auto lowSurrogate = [](wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = std::min(start + kPieceLength, text.size());
        // A line break and a surrogate pair stay whole; a piece holds at least one character.
        while (end < text.size() && end > start + 1 &&
               (lowSurrogate(text[end]) || (text[end] == L'\n' && text[end - 1] == L'\r')))
            --end;
        pieces.emplace_back(start, end);
        start = end;
    }
    return pieces;
}

void LongTextCtrl::DoSetValue(const wxString& value, int flags) {
#ifdef __WXMSW__
    if (IsMultiLine() && !IsRich()) {
        // The toolkit writes a long text again even when it is there already (the dialog shows
        // every value again after an undo); here that would cost wrapping all of it again.
        if (value == DoGetValue()) {
            DiscardEdits();
            if (flags & SetValue_SendEvent) SendUpdateEvent();
            return;
        }
        const std::wstring dos = wxTextFile::Translate(value, wxTextFileType_Dos).ToStdWstring();
        const auto pieces = Pieces(dos);
        if (!pieces.empty()) {
            SetInPieces(dos, pieces);
            if (flags & SetValue_SendEvent) SendUpdateEvent();
            return;
        }
    }
#endif
    wxTextCtrl::DoSetValue(value, flags);
}

#ifdef __WXMSW__
void LongTextCtrl::SetInPieces(const std::wstring& dos, const std::vector<std::pair<std::size_t, std::size_t>>& pieces) {
    HWND edit = static_cast<HWND>(GetHWND());
    // Room for all of it: a piece past the limit is cut, where a whole text set at once is
    // not. A small limit is one the program set (the toolkit reads it so) and stays.
    const auto limit = static_cast<std::size_t>(::SendMessageW(edit, EM_GETLIMITTEXT, 0, 0));
    if (limit > 10000 && limit < dos.size())
        SetMaxLength(static_cast<unsigned long>((dos.size() + 0x7fff) & ~std::size_t(0x7fff)));

    // The control does much less for each piece while it is hidden. One that has the keyboard
    // focus stays shown: hiding it would move the focus away, and the field would hand on its
    // text before it is all there.
    const bool hide = (::GetWindowLongW(edit, GWL_STYLE) & WS_VISIBLE) && ::GetFocus() != edit;
    if (hide) ::ShowWindow(edit, SW_HIDE);
    m_updatesCount = -2;  // the pieces send no events of their own
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    for (const auto& [start, end] : pieces) {
        const std::wstring piece = dos.substr(start, end - start);
        ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
    }
    m_updatesCount = -1;
    if (hide) ::ShowWindow(edit, SW_SHOWNA);

    // As after setting the text at once: nothing to undo, not modified, the start in view.
    ::SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    DiscardEdits();
    SetInsertionPoint(0);
}
#endif
