// Shared by the fixture plug-in and the tests: what the fixture saw on its last call, and
// the suite it asks the host for.
#pragma once
#include "pluginapi/filter_record.h"

struct FixtureReport {
    int calls;
    int16 selector;
    bool recordNull;
    intptr_t dataOnEntry;
    int16 resultOnEntry;
    // About record, or the filter record's platformData.
    bool hasPlatformData;
    void* hostWindow;
    bool hasBasicSuite;
    // Filter record.
    bool hasErrorString;
    bool hasBigDocument;
    bool hasAdvanceState;
    int32 width;
    int32 height;
    int16 planes;
    int16 imageMode;
    int32 depth;
    int16 filterCase;
    // Suite use and callbacks.
    SPErr acquireError;
    int32 suiteValue;
    OSErr advanceStateResult;
};

// The suite the fixture acquires at Prepare (and releases) and at Start (and keeps).
constexpr const char* kFixtureSuiteName = "Fixture Suite";
constexpr int32 kFixtureSuiteVersion = 1;
struct FixtureSuite {
    int32 (*Value)();
};

// Fixture-only selectors.
constexpr int16 kFixtureOverrunErrorString = 100;

using FixtureLastReportProc = const FixtureReport* (*)();
