// Shared helpers of the bubble tests: the default parameter list, value setters, and a fixture
// that starts the toolkit (skipped without a display) and fails on any toolkit assertion.
#pragma once
#include "filter/parameter_table.h"
#include "param/ps_parameters.h"
#include "pluginapi/pi_types.h"

#include <gtest/gtest.h>
#include <wx/init.h>

#include <cstdlib>
#include <string>

using Corvantis::Host::PS::Parameters;

inline Parameters DefaultBubble() {
    Parameters params;
    AppendTelloraParameters(params);
    return params;
}
inline void Set(Parameters& p, std::size_t i, double v) { p.parameters[i].value.SetFloat(v); }
inline void SetInt(Parameters& p, std::size_t i, int v) { p.parameters[i].value.SetInteger(v); }
inline void SetText(Parameters& p, std::size_t i, const std::string& v) { p.parameters[i].value.text = v; }

inline VRect DocRect(int left, int top, int right, int bottom) { return VRect{top, left, bottom, right}; }

inline bool HaveDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveDisplay()) GTEST_SKIP() << "needs a display";
        int argc = 0;
        started = wxInitialize(argc, static_cast<wxChar**>(nullptr));
        ASSERT_TRUE(started);
        previous = wxSetAssertHandler(&ToolkitTest::OnAssert);
        assertions = 0;
    }
    void TearDown() override {
        if (!HaveDisplay()) return;
        if (started) wxSetAssertHandler(previous);
        EXPECT_EQ(assertions, 0) << "toolkit assertions";
        wxUninitialize();  // a failed start counts as one level too
    }
    static void OnAssert(const wxString&, int, const wxString&, const wxString&, const wxString&) { ++assertions; }
    static inline int assertions = 0;
    bool started = false;
    wxAssertHandler_t previous = nullptr;
};
