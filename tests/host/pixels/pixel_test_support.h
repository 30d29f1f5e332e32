// Helpers for the pixel host's tests: documents with known content, an entry point that runs
// test code inside a host call, and the copy-through module run through the host.
#pragma once
#include "hostsim/filter_run.h"
#include "hostsim/host_session.h"
#include "hostsim/pixel_document.h"
#include "hostsim/pixel_host.h"
#include "hostsim/plugin_module.h"

#include "pluginapi/color_space.h"

#include "tests/host/process_folder.h"
#include "tests/host/run_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace pixel_test {

using namespace hostsim;

inline const std::string kCopyThroughPath = COPY_THROUGH_PATH;
inline const std::string kFilterHostPath = FILTERHOST_PATH;

// A value in 0..1 that differs from pixel to pixel and plane to plane.
inline double Pattern(int32 x, int32 y, int plane, int seed = 0) {
    uint32 h = uint32(x) * 73856093u ^ uint32(y) * 19349663u ^ uint32(plane + 7 * seed) * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return (h % 1001u) / 1000.0;
}

// Fills every layer: colour planes with the pattern (for CMYK: colours an RGB image can hold,
// so that a trip through RGB keeps them), transparency with a pattern of its own.
inline void FillDocument(PixelDocument& doc, ColorEngine& engine, int seed = 0) {
    const bool cmyk = doc.model() == ColorModel::CMYK;
    for (int l = 0; l < doc.layerCount(); ++l) {
        Layer& layer = doc.layer(l);
        for (int32 y = 0; y < doc.height(); ++y) {
            for (int32 x = 0; x < doc.width(); ++x) {
                if (cmyk) {
                    const double rgb[3] = {Pattern(x, y, 0, seed + l), Pattern(x, y, 1, seed + l),
                                           Pattern(x, y, 2, seed + l)};
                    double ink[4];
                    engine.Convert(plugIncolorServicesRGBSpace, plugIncolorServicesCMYKSpace, rgb, ink, 1);
                    for (int p = 0; p < 4; ++p) layer.color[std::size_t(p)].SetUnit(x, y, ink[p]);
                } else {
                    for (int p = 0; p < doc.colorPlanes(); ++p)
                        layer.color[std::size_t(p)].SetUnit(x, y, Pattern(x, y, p, seed + l));
                }
                if (layer.transparency) layer.transparency->SetUnit(x, y, Pattern(x, y, 99, seed + l));
            }
        }
    }
    doc.MarkChanged();
}

// The target layer's planes, to compare with after a run.
inline std::vector<Plane> Snapshot(const PixelDocument& doc) {
    std::vector<Plane> planes;
    for (int p = 0; p < doc.target().planeCount(); ++p) planes.push_back(doc.target().plane(p));
    return planes;
}

// Runs test code inside a host call, with the record the plug-in would get.
struct ScriptedEntry {
    static std::function<void(FilterRecord&, int16&)>& Body() {
        static std::function<void(FilterRecord&, int16&)> body;
        return body;
    }
    static void Entry(int16, void* record, intptr_t*, int16* result) {
        if (Body()) Body()(*static_cast<FilterRecord*>(record), *result);
    }
    // Calls Start with `body` as the plug-in's work; returns the result slot.
    static int16 Start(HostSession& session, std::function<void(FilterRecord&, int16&)> body) {
        Body() = std::move(body);
        const int16 result = session.Call(&Entry, filterSelectorStart);
        Body() = nullptr;
        return result;
    }
};

// Runs a module through the host once, without dialog or stored state.
inline RunReport RunModule(const PluginModule& module, HostSession& session) {
    FilterRun run(module, session);
    RunOptions options;
    options.keepState = false;
    return run.Run(options);
}

using host_tests::ProcessFolder;

using ProcessResult = host_tests::CommandResult;

inline ProcessResult RunFilterHost(const std::string& arguments) {
    // The host's stored state goes to the test's temporary folder, not the user's.
    const std::string state = "TELLORA_HOSTSIM_STATE='" + ProcessFolder() + "state' ";
    return host_tests::RunCommand(state + "'" + kFilterHostPath + "' " + arguments);
}

inline std::string TempPath(const std::string& suffix) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name)
        if (c == '/') c = '_';
    return ProcessFolder() + name + "_" + suffix;
}

}  // namespace pixel_test
