// The dialog's tests: the toolkit for a suite (skipped without a display; toolkit assertions
// fail the test), a small RGB document served through the classic protocol whose display
// callback paints into the preview, and the real dialog built by the plug-in's factory over it.
#pragma once
#include "filter/parameter_table.h"
#include "filter/tellora_plugin.h"
#include "param/ps_parameters.h"
#include "ui/image_preview.h"
#include "ui/tellora_layout.h"
#include "ui/tellora_ui.h"
#include "win32/message_box.h"

#include <gtest/gtest.h>
#include <wx/debug.h>
#include <wx/filedlg.h>
#include <wx/testing.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace dialog_test {

namespace PS = Corvantis::Host::PS;

class FakeDocument {
public:
    // A gradient, or the interleaved RGB samples given.
    FakeDocument(int32 width, int32 height, const uint8* rgb = nullptr);
    FakeDocument(const FakeDocument&) = delete;
    FakeDocument& operator=(const FakeDocument&) = delete;
    ~FakeDocument();

    FilterRecord record{};
    int displays = 0;          // display callbacks with a context to paint into
    int16 picked[3] = {255, 0, 0};  // what the colour picker answers

    static FakeDocument* current;
    struct Callbacks;

private:
    std::vector<uint8> Serve(const VRect& rect, int16 lo, int16 hi, int32 rate, int32& rowBytes) const;

    int32 width, height;
    std::vector<uint8> pixels, inBlock, outBlock;  // interleaved
    BigDocumentStruct big{};
    BufferProcs bufferProcs{};
    PlatformData platform{};
    uint8 errorText[256]{};
};

// Answers the file dialog with a path, as a user who typed it would. The toolkit's chooser takes a
// new folder in the background: wait until it reports the path back.
class SaveAs : public wxExpectModalBase<wxFileDialog, SaveAs> {
public:
    SaveAs(const wxString& path, int answer) : path(path), answer(answer) {}
    int OnInvoked(wxFileDialog* dialog) const override;
    wxString path;
    int answer;
};

class DialogTest : public ::testing::Test {
public:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the dialog through the factory over `list` and a document, shows it and waits until
    // the preview has painted.
    void Open(int32 width = 200, int32 height = 150);
    void Settle(int ms = 60);
    template <class T>
    T* Find(int id) const {
        return dynamic_cast<T*>(dialog->FindWindow(id));
    }
    // A command event from the control `id`, as a click or a selection sends it.
    void Command(wxEventType type, int id);
    void Menu(int id);
    void Mouse(wxEventType type, int x, int y);
    // Framework events that reached the dialog since the last call, e.g. "B10 B11 G10 G11 C10 C11".
    std::string TakeEvents();
    double Value(std::size_t index) const { return list.parameters[index].value.GetFloat(); }
    std::size_t UndoSteps() const { return list.undo.size(); }

    std::filesystem::path temp;
    std::unique_ptr<FakeDocument> document;
    std::unique_ptr<TelloraPluginPS> plugin;
    intptr_t data = 0;
    int16 result = 0;
    PS::Parameters list;
    TelloraUIBase* dialog = nullptr;
    ImagePreview* preview = nullptr;
    std::vector<MessageBoxRecord> boxes;
    int boxAnswer = IDOK;
    std::string events;
    static inline int assertions = 0;

private:
    wxAssertHandler_t previousAssert = nullptr;
};

// Tests of the presets list: the preset folder of the test's documents folder, made at the
// start, and presets written into it.
class PresetsTest : public DialogTest {
protected:
    void SetUp() override;
    // A preset holding the defaults with `text` and `width`.
    void Write(const std::string& file, const std::string& text, double width);
    // The width a preset file sets.
    double WidthIn(const std::string& file) const;
    // The list's entries, sorted.
    std::vector<std::string> Names() const;

    std::filesystem::path folder;
};

}  // namespace dialog_test
