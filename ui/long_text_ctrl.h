// The dialog's multi-line Text field: a wxTextCtrl that takes a long text quickly. Windows' plain
// edit control (wine's, at least) wraps a paragraph by measuring, for each line it makes, the
// whole rest of that paragraph: a 100 KB paragraph put in at once costs many seconds. Put in a
// piece at a time, each line is measured only up to the end of its piece. The field ends up
// holding and showing exactly the text that was set; elsewhere the toolkit's own way is kept.
#pragma once
#include <wx/textctrl.h>

#include <string>
#include <utility>
#include <vector>

class LongTextCtrl : public wxTextCtrl {
public:
    LongTextCtrl(wxWindow* parent, wxWindowID id, const wxString& value, const wxPoint& pos, const wxSize& size,
                 long style);

    // Pieces of at most this many characters; fewer pieces cost more measuring, more cost
    // more of the control's own work per piece.
    static constexpr std::size_t kPieceLength = 512;

    // Where the text may be cut into pieces: [start, end) of each piece, never between a
    // carriage return and its line feed nor inside a surrogate pair. Empty for a text whose
    // paragraphs (runs without a line feed) are all at most kPieceLength long: that text goes
    // in at once.
    static std::vector<std::pair<std::size_t, std::size_t>> Pieces(const std::wstring& text);

protected:
    void DoSetValue(const wxString& value, int flags) override;

private:
#ifdef __WXMSW__
    // Empties the control and puts in `dos` (the text with Windows line breaks) piece by piece.
    void SetInPieces(const std::wstring& dos, const std::vector<std::pair<std::size_t, std::size_t>>& pieces);
#endif
};
