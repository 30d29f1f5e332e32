#include "hostsim/command_line.h"

#include "hostsim/host_error.h"
#include "hostsim/state_folder.h"

#include <charconv>

namespace hostsim {

std::string CommandLine::Usage() {
    return "usage: filterhost COMMAND PLUGIN [OPTIONS]\n"
           "\n"
           "Loads a filter plug-in module and calls it the way an image editor does.\n"
           "\n"
           "commands:\n"
           "  info PLUGIN             print the plug-in's properties and scripting terminology\n"
           "  about PLUGIN            call the About selector and print the result code\n"
           "  run PLUGIN [OPTIONS]    use the filter once: Parameters (on its first use or with\n"
           "                          --dialog), Prepare, Start, Finish; prints each selector's\n"
           "                          result and the last one as \"result N\"\n"
           "  --help, -h              print this text\n"
           "\n"
           "run options:\n"
           "  --set NAME=VALUE        a parameter by its scripting name (repeatable), e.g.\n"
           "                          fontSize=24 Text=Hi ellipseChoice=Rectangle TextColor=255,0,0\n"
           "                          numbers may carry a unit: 50% 10px 45deg 12pt; colours are\n"
           "                          R,G,B 0-255, fractions 0-1 (with a decimal point) or #RRGGBB\n"
           "  --script FILE           play a recorded descriptor (--set values apply on top)\n"
           "  --record FILE           write the descriptor the filter returns at Finish\n"
           "  --dialog, --no-dialog   ask the filter to show its dialog (play information 1) or not (0)\n"
           "  --play-info N           the play information: 0 no dialog, 1 dialog, 2 silent\n"
           "  --resolution PPI        the document's resolution, 1 to 32767 (default 72)\n"
           "  --size WxH              the document's size when no image is given (default 64x64)\n"
           "  --fresh                 forget what the host kept of earlier uses of the filter: its\n"
           "                          stored handles and the descriptor registry's entries\n"
           "\n" +
           PixelOptionsUsage() +
           "\n"
           "host options (about, run):\n"
           "  --no-basic-suite        offer no basic suite\n"
           "  --no-error-string       offer no error string\n"
           "  --no-big-document       offer no 32-bit document record\n"
           "  --no-handle-procs       offer no handle procs\n"
           "  --unsized-handles       answer 0 for every handle's size, as some hosts do (the\n"
           "                          handles still hold their bytes)\n"
           "  --no-descriptor-procs   offer no scripting descriptor record\n"
           "  --disable-suite NAME    refuse the suite NAME (may be repeated); also ActionDescriptor,\n"
           "                          ActionReference, ActionControl, DescriptorRegistry\n"
           "  --fail NAME             make a callback (newHandle, lockHandle, putText, ...) or a suite\n"
           "                          function (ActionDescriptor.Make, DescriptorRegistry.*) fail\n"
           "  --absent NAME           withhold a callback or suite function (both repeatable)\n"
           "  --host-window           give the plug-in a window of the host as its dialog's parent\n"
           "                          (default for runs with --dialog when DISPLAY is set)\n"
           "  --no-host-window        give it none\n"
           "  --pick-color R,G,B      the host's colour picker answers this colour (0-255) without\n"
           "                          showing its chooser; \"cancel\" cancels every pick (for\n"
           "                          unattended runs; run from a terminal, the chooser is shown)\n"
           "\n"
           "The host keeps what outlives one run (the filter's data and parameters handles, the\n"
           "persistent descriptor registry) in $TELLORA_HOSTSIM_STATE, else\n" +
           std::string(DefaultStateFolderText()) +
           ".\n"
           "\n"
           "exit status: 0 success; 1 the plug-in could not be loaded or reported an error, or a\n"
           "file could not be written (the image is written first); 2 bad command line (also two\n"
           "outputs that name the same file); 3 the user cancelled (the plug-in returned -128)\n";
}

namespace {

int32 ParseWhole(const std::string& option, const std::string& text, int32 min, int32 max) {
    int64_t v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || text.empty())
        throw UsageError(option + " needs a whole number, got '" + text + "'");
    if (v < min || v > max)
        throw UsageError(option + " must be from " + std::to_string(min) + " to " + std::to_string(max) + ", got " + text);
    return int32(v);
}

PickAnswer ParsePickColor(const std::string& option, const std::string& text) {
    PickAnswer answer;
    if (text == "cancel") {
        answer.cancel = true;
        return answer;
    }
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t comma = text.find(',', start);
        if ((i < 2) != (comma != std::string::npos))
            throw UsageError(option + " needs R,G,B (0-255 each) or cancel, got '" + text + "'");
        const std::size_t end = i < 2 ? comma : text.size();
        answer.rgb[std::size_t(i)] = int16(ParseWhole(option, text.substr(start, end - start), 0, 255));
        start = end + 1;
    }
    return answer;
}

}  // namespace

CommandLine CommandLine::Parse(const std::vector<std::string>& args) {
    CommandLine line;
    if (args.empty()) throw UsageError("no command given");

    const std::string& verb = args[0];
    if (verb == "--help" || verb == "-h" || verb == "help") return line;
    if (verb == "info") {
        line.command = Command::Info;
    } else if (verb == "about") {
        line.command = Command::About;
    } else if (verb == "run") {
        line.command = Command::Run;
    } else {
        throw UsageError("unknown command '" + verb + "'");
    }

    const bool hostOptions = line.command != Command::Info;
    const bool runOptions = line.command == Command::Run;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError("option " + arg + " needs a value");
            return args[++i];
        };
        if (arg == "--help" || arg == "-h") {
            line.command = Command::Help;
            return line;
        }
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            if (!line.plugin.empty()) throw UsageError("unexpected argument '" + arg + "'");
            line.plugin = arg;
        } else if (hostOptions && arg == "--no-basic-suite") {
            line.host.basicSuite = false;
        } else if (hostOptions && arg == "--no-error-string") {
            line.host.errorString = false;
        } else if (hostOptions && arg == "--no-big-document") {
            line.host.bigDocument = false;
        } else if (hostOptions && arg == "--disable-suite") {
            line.disabledSuites.push_back(value());
        } else if (hostOptions && arg == "--no-handle-procs") {
            line.host.handleProcs = false;
        } else if (hostOptions && arg == "--unsized-handles") {
            line.host.unsizedHandles = true;
        } else if (hostOptions && arg == "--no-descriptor-procs") {
            line.host.descriptorParameters = false;
        } else if (hostOptions && arg == "--fail") {
            line.failing.push_back(value());
        } else if (hostOptions && arg == "--absent") {
            line.absent.push_back(value());
        } else if (hostOptions && (arg == "--host-window" || arg == "--no-host-window")) {
            line.hostWindow = arg == "--host-window";
        } else if (hostOptions && arg == "--pick-color") {
            line.host.pickColor = ParsePickColor(arg, value());
        } else if (runOptions && arg == "--in") {
            line.input = value();
        } else if (runOptions && arg == "--out") {
            line.output = value();
        } else if (runOptions && arg == "--set") {
            const std::string& setting = value();
            const std::size_t eq = setting.find('=');
            if (eq == std::string::npos || eq == 0) throw UsageError("--set needs NAME=VALUE, got '" + setting + "'");
            line.run.settings.emplace_back(setting.substr(0, eq), setting.substr(eq + 1));
        } else if (runOptions && arg == "--script") {
            line.run.scriptFile = value();
        } else if (runOptions && arg == "--record") {
            line.run.recordFile = value();
        } else if (runOptions && (arg == "--dialog" || arg == "--no-dialog" || arg == "--play-info")) {
            int32 playInfo = arg == "--dialog" ? plugInDialogDisplay : plugInDialogDontDisplay;
            if (arg == "--play-info") playInfo = ParseWhole(arg, value(), 0, 2);
            if (line.run.playInfo && *line.run.playInfo != playInfo)
                throw UsageError("--dialog, --no-dialog and --play-info disagree");
            line.run.playInfo = playInfo;
        } else if (runOptions && arg == "--resolution") {
            line.resolution = ParseWhole(arg, value(), 1, kMaxResolution);
        } else if (runOptions && arg == "--size") {
            const std::string& size = value();
            const std::size_t x = size.find('x');
            if (x == std::string::npos) throw UsageError("--size needs WIDTHxHEIGHT, got '" + size + "'");
            line.size = std::make_pair(ParseWhole(arg, size.substr(0, x), 0, 1 << 20),
                                       ParseWhole(arg, size.substr(x + 1), 0, 1 << 20));
        } else if (runOptions && ParsePixelOption(arg, value, line.pixels)) {
            // taken
        } else if (runOptions && arg == "--fresh") {
            line.run.fresh = true;
        } else {
            throw UsageError("unknown option '" + arg + "' for " + verb);
        }
    }

    if (line.plugin.empty()) throw UsageError(verb + " needs a PLUGIN file");
    return line;
}

}  // namespace hostsim
