// The toolkit for a test suite (tests skip without a display), a host object, and a generic
// parameter dialog that logs the framework events it receives.
#pragma once
#include "host/host.h"
#include "param/ps_parameters.h"
#include "ui/framework_events.h"
#include "ui/param_dialog.h"
#include "ui/viewer_base.h"
#include "win32/message_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class ToolkitTest : public ::testing::Test {
public:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

protected:
    void SetUp() override;
    void TearDown() override;

    std::vector<MessageBoxRecord> boxes;  // captured, answered with OK
};

struct TestHost : Corvantis::Host::PS::Host {
    bool RunDialog(Corvantis::Host::PS::Parameters*) override { return true; }
    void DefineParameters(Corvantis::Host::PS::Parameters*) override {}
    void RenderTile(Corvantis::Host::PS::Parameters*, Corvantis::Host::PS::ImageBuffer&,
                    Corvantis::Host::PS::ImageBuffer&, Corvantis::Host::PS::ImageBuffer&,
                    Corvantis::Host::PS::ImageBuffer*) override {}
};

// `record` becomes the current filter record, as the dispatcher makes it; Clear: none.
void MakeCurrent(TestHost& host, FilterRecord* record);
void ClearCurrent();

class StubViewer : public Corvantis::Host::Param::ViewerBase {
public:
    explicit StubViewer(Corvantis::Host::Param::Parameters* list) : ViewerBase(list, nullptr) {}
    void Draw(int32_t[4], wxDC*) override {}
    int32_t GetWidth() const override { return 0; }
    int32_t GetHeight() const override { return 0; }
    bool GetPixel(float[4], int32_t, int32_t) const override { return false; }
};

struct LoggedEvent {
    wxEventType type;
    long index;
    int id;
    wxObject* object;
};

class LoggingDialog : public Corvantis::Host::Param::ParamDialog {
public:
    explicit LoggingDialog(Corvantis::Host::Param::Parameters* list)
        : ParamDialog(list, nullptr, wxID_ANY, "test"), viewer(list) {}
    void ParametersChanged() override { ++changedCalls; }
    Corvantis::Host::Param::ViewerBase* GetViewer() override { return &viewer; }
    // e.g. "B3 G3 C3": Begin, chanGing, Changed, colour (D), each with its index.
    std::string Summary() const;

    std::vector<LoggedEvent> log;
    int changedCalls = 0;
    StubViewer viewer;

private:
    void Log(wxCommandEvent& e);
    wxDECLARE_EVENT_TABLE();
};
