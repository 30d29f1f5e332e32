#include "toolkit_fixture.h"

#include <wx/app.h>
#include <wx/init.h>

#include <cstdlib>

// Defined next to the plug-in class in the module; the colour buttons read it.
bool GrayscaleMode = false;

namespace {
class TestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};
bool gStarted = false;
}  // namespace
wxIMPLEMENT_APP_NO_MAIN(TestApp);

void ToolkitTest::SetUpTestSuite() {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return;
    int argc = 0;
    gStarted = wxInitialize(argc, static_cast<wxChar**>(nullptr));
    if (!gStarted) wxUninitialize();  // a failed start still counts as one level
}

void ToolkitTest::TearDownTestSuite() {
    if (gStarted) wxUninitialize();
    gStarted = false;
}

void ToolkitTest::SetUp() {
    // Without a display there is nothing to test; with one, a toolkit that does not start is a
    // failure, not a reason to pass over the test.
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no display for the toolkit";
    ASSERT_TRUE(gStarted) << "the toolkit did not start on display " << display;
    GrayscaleMode = false;
    SetMessageBoxObserver([this](const MessageBoxRecord& box) {
        boxes.push_back(box);
        return IDOK;
    });
}

void ToolkitTest::TearDown() { SetMessageBoxObserver(nullptr); }

void MakeCurrent(TestHost& host, FilterRecord* record) {
    int16 result = 0;
    host.Init(record, false, nullptr, &result, "test");
    host.Dispatch(99);  // no handler runs; only the current record is set
}

void ClearCurrent() {
    TestHost host;
    int16 result = 0;
    host.Init(nullptr, true, nullptr, &result, "test");
    host.Dispatch(filterSelectorAbout);
}

wxBEGIN_EVENT_TABLE(LoggingDialog, Corvantis::Host::Param::ParamDialog)
    EVT_TELLORA_COLOR_CHANGED(wxID_ANY, LoggingDialog::Log)
    EVT_TELLORA_PARAM_BEGIN_CHANGE(wxID_ANY, LoggingDialog::Log)
    EVT_TELLORA_PARAM_CHANGED(wxID_ANY, LoggingDialog::Log)
    EVT_TELLORA_PARAM_CHANGING(wxID_ANY, LoggingDialog::Log)
wxEND_EVENT_TABLE()

void LoggingDialog::Log(wxCommandEvent& e) {
    log.push_back({e.GetEventType(), e.GetExtraLong(), e.GetId(), e.GetEventObject()});
    e.Skip();  // the generic dialog's handlers run as well
}

std::string LoggingDialog::Summary() const {
    std::string out;
    for (const auto& e : log) {
        if (!out.empty()) out += ' ';
        out += e.type == EVT_PARAM_BEGIN_CHANGE ? 'B'
               : e.type == EVT_PARAM_CHANGING   ? 'G'
               : e.type == EVT_PARAM_CHANGED    ? 'C'
                                                : 'D';
        out += std::to_string(e.index);
    }
    return out;
}
