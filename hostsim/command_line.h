// The command line of filterhost.
#pragma once
#include "hostsim/filter_run.h"
#include "hostsim/host_session.h"
#include "hostsim/pixel_job.h"

#include <optional>

#include <string>
#include <utility>
#include <vector>

namespace hostsim {

// filterhost COMMAND PLUGIN [OPTIONS]. Host options switch off what a host may lack, so a
// plug-in's behaviour on such a host can be tried from the shell.
struct CommandLine {
    enum class Command { Help, Info, About, Run };

    Command command = Command::Help;
    std::string plugin;
    // run: the image to filter and where to write the result.
    std::string input;
    std::string output;
    // run: the document's mode, depth, layers, selection and how pixels are served.
    PixelRunOptions pixels;
    // run: scripting, dialog and stored state.
    RunOptions run;
    // run: the document when no image is given.
    std::optional<std::pair<int32, int32>> size;  // width, height
    std::optional<int32> resolution;               // pixels per inch
    // about, run: what the host offers.
    HostOptions host;
    std::vector<std::string> disabledSuites;  // suite names or the short names of ActionSuiteInfos
    std::vector<std::string> failing;         // callbacks (CallbackTable names) or "Suite.Function"
    std::vector<std::string> absent;
    // about, run: --host-window / --no-host-window; unset: a window for runs that show the
    // dialog when there is a display.
    std::optional<bool> hostWindow;

    // `args` excludes the program name. Throws UsageError.
    static CommandLine Parse(const std::vector<std::string>& args);
    static std::string Usage();
};

}  // namespace hostsim
