#include "host/modal_dialog_runner.h"
#include "host/unattended_dialog.h"
#include "toolkit_fixture.h"
#include "win32/focus.h"
#include "win32/host_window.h"

#include <wx/frame.h>
#include <wx/nativewin.h>
#include <wx/sizer.h>

#include <cstdlib>
#include <stdexcept>

using Corvantis::Host::PS::Host;
using List = Corvantis::Host::PS::Parameters;

namespace {

struct Seen {
    bool hostEnabled = true;
    bool insideHost = false;
    bool destroyed = false;
    bool answered = false;
};

// A plain dialog with OK and Cancel. The run is unattended (no terminal, TELLORA_BATCH), so the
// runner's own watcher ends it once it is on screen; the answer it asks for below notes the host
// window's state from inside the modal loop and picks the button. Nothing here depends on which
// of two events comes first.
class ProbeDialog : public wxDialog {
public:
    ProbeDialog(wxWindow* parent, Seen& seen) : wxDialog(parent, wxID_ANY, "probe"), seen(seen) {
        SetSizerAndFit(CreateStdDialogButtonSizer(wxOK | wxCANCEL));
    }
    ~ProbeDialog() override { seen.destroyed = true; }
    Seen& seen;
};

class ModalRunner : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;  // no display, or the toolkit did not start
        setenv("TELLORA_BATCH", "1", 1);  // unattended however the test is started
        hostFrame = new wxFrame(nullptr, wxID_ANY, "host", wxDefaultPosition, wxSize(300, 200));
        hostFrame->Show();
        platform.hwnd = hostFrame->GetHandle();
        record.platformData = &platform;
        host.filterRecord = &record;
        SetFocus(nullptr);
    }
    void TearDown() override {
        Corvantis::Host::PS::SetUnattendedDialogAnswer(nullptr);
        delete hostFrame;
        ToolkitTest::TearDown();
    }
    bool Run(int closeWith) {
        Corvantis::Host::PS::SetUnattendedDialogAnswer([this, closeWith](wxDialog& dialog) {
            seen.answered = true;
            seen.hostEnabled = IsWindowEnabled(platform.hwnd) != 0;
            seen.insideHost = dynamic_cast<wxNativeContainerWindow*>(dialog.GetParent()) != nullptr;
            return closeWith;
        });
        return RunModalInHostWindow(&host, &list,
                                    [&](Host*, List*, wxWindow* parent) { return new ProbeDialog(parent, seen); });
    }

    wxFrame* hostFrame = nullptr;
    PlatformData platform{};
    FilterRecord record{};
    TestHost host;
    List list;
    Seen seen;
};

}  // namespace

TEST_F(ModalRunner, OkAndCancelInsideTheDisabledHostWindow) {
    for (int id : {wxID_OK, wxID_CANCEL}) {
        seen = Seen{};
        SetFocus(nullptr);
        EXPECT_EQ(Run(id), id == wxID_OK);
        EXPECT_TRUE(seen.answered);
        EXPECT_TRUE(seen.insideHost);
        EXPECT_FALSE(seen.hostEnabled);  // no input to the host during the modal loop
        EXPECT_TRUE(seen.destroyed);     // gone before the runner returned
        EXPECT_TRUE(IsWindowEnabled(platform.hwnd));
        EXPECT_EQ(GetFocus(), platform.hwnd);
    }
    record.platformData = nullptr;  // a host without a window: no parent
    seen = Seen{};
    EXPECT_TRUE(Run(wxID_OK));
    EXPECT_FALSE(seen.insideHost);
}

TEST_F(ModalRunner, AFactoryWithoutDialogStillRestoresTheHost) {
    auto none = [](Host*, List*, wxWindow*) -> wxDialog* { return nullptr; };
    EXPECT_THROW(RunModalInHostWindow(&host, &list, none), std::runtime_error);
    EXPECT_TRUE(IsWindowEnabled(platform.hwnd));
    EXPECT_EQ(GetFocus(), platform.hwnd);
}
