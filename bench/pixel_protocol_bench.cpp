// Wall time and peak memory of one filter run over a large document, through hostsim, once
// per pixel protocol. The baseline is the copy-through module on an 8192 x 8192 8-bit RGB
// document; any module can be measured the same way (--module, --set for its parameters; a
// module with a toolkit dialog needs a display, e.g. under tools/with-display.sh).
//
// Peak memory is the process's high-water mark (VmHWM), reset before each run, so it
// includes the document; "over the document" subtracts the document's own planes.
#include "hostsim/filter_run.h"
#include "hostsim/host_error.h"
#include "hostsim/host_session.h"
#include "hostsim/pixel_document.h"
#include "hostsim/pixel_host.h"
#include "hostsim/plugin_module.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

using namespace hostsim;

namespace {

struct BenchOptions {
    std::string module = COPY_THROUGH_PATH;
    int32 size = 8192;
    int16 mode = plugInModeRGBColor;
    std::vector<PixelProtocol> protocols{PixelProtocol::Classic, PixelProtocol::Ports};
    int32 tileWidth = 0;
    int32 tileHeight = 0;
    Settings settings;
};

// A status line of /proc/self/status, in kB; -1 when it cannot be read.
long StatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t n = std::strlen(key);
    while (std::getline(status, line))
        if (line.compare(0, n, key) == 0 && line.size() > n && line[n] == ':') return std::atol(line.c_str() + n + 1);
    return -1;
}

// Resets VmHWM to the current resident size (Linux 4.0 and later).
bool ResetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return bool(clear.flush());
}

void Fill(PixelDocument& doc) {
    Layer& layer = doc.target();
    for (std::size_t p = 0; p < layer.color.size(); ++p) {
        Plane& plane = layer.color[p];
        for (int32 y = 0; y < doc.height(); ++y) {
            uint8* row = plane.Row(y);
            for (std::size_t i = 0; i < plane.rowBytes(); ++i) row[i] = uint8(i * 7 + std::size_t(y) * 3 + p * 50);
        }
    }
}

bool SpotCheck(const PixelDocument& doc) {
    const Layer& layer = doc.target();
    for (std::size_t p = 0; p < layer.color.size(); ++p)
        for (int32 y = 0; y < doc.height(); y += 997)
            for (std::size_t i = 0; i < layer.color[p].rowBytes(); i += 991)
                if (layer.color[p].Row(y)[i] != uint8(i * 7 + std::size_t(y) * 3 + p * 50)) return false;
    return true;
}

BenchOptions Parse(int argc, char** argv) {
    BenchOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw UsageError(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--module") {
            o.module = value();
        } else if (arg == "--size") {
            o.size = std::atoi(value().c_str());
        } else if (arg == "--depth") {
            const int depth = std::atoi(value().c_str());
            o.mode = ModeFor(ColorModel::RGB, depth);
            if (o.mode < 0) throw UsageError("--depth takes 8, 16 or 32");
        } else if (arg == "--protocol") {
            const std::string name = value();
            if (name == "classic") o.protocols = {PixelProtocol::Classic};
            else if (name == "ports") o.protocols = {PixelProtocol::Ports};
            else if (name != "both") throw UsageError("--protocol takes classic, ports or both");
        } else if (arg == "--tile") {
            const std::string tile = value();
            o.tileWidth = std::atoi(tile.c_str());
            const std::size_t x = tile.find('x');
            o.tileHeight = x == std::string::npos ? o.tileWidth : std::atoi(tile.c_str() + x + 1);
        } else if (arg == "--set") {
            const std::string setting = value();
            const std::size_t eq = setting.find('=');
            if (eq == std::string::npos) throw UsageError("--set needs NAME=VALUE");
            o.settings.emplace_back(setting.substr(0, eq), setting.substr(eq + 1));
        } else {
            throw UsageError("usage: pixel_protocol_bench [--module PATH] [--size N] [--depth 8|16|32] "
                             "[--protocol classic|ports|both] [--tile WxH] [--set NAME=VALUE]...");
        }
    }
    if (o.size < 1 || o.size > 30000) throw UsageError("--size takes 1 to 30000");
    return o;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const BenchOptions options = Parse(argc, argv);
        const auto module = PluginModule::Load(options.module);
        std::cout << "module " << options.module << "\n"
                  << "document " << options.size << " x " << options.size << " " << FindMode(options.mode)->name
                  << "\n\n";
        {
            // The first run of a process pays one-time start-up (a plug-in's toolkit loads its
            // fonts and settings once); a small run takes it, so the rows below measure the work
            // that grows with the document.
            PixelDocument doc(64, 64, options.mode);
            Fill(doc);
            HostSession session;
            PixelHost host(session, doc, PixelHostOptions{});
            FilterRun run(*module, session);
            RunOptions runOptions;
            runOptions.keepState = false;
            runOptions.playInfo = plugInDialogDontDisplay;
            runOptions.settings = options.settings;
            const auto start = std::chrono::steady_clock::now();
            run.Run(runOptions);
            std::printf("start-up run on 64 x 64: %.0f ms\n\n",
                        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        std::printf("%-8s %10s %10s %12s %16s %14s %14s\n", "protocol", "time ms", "Mpixel/s", "peak MB",
                    "over doc MB", "buffers MB", "host data MB");
        for (const PixelProtocol protocol : options.protocols) {
            PixelDocument doc(options.size, options.size, options.mode);
            Fill(doc);
            const double docMb = double(doc.target().color[0].byteSize()) * doc.colorPlanes() / (1 << 20);
            HostSession session;
            PixelHostOptions hostOptions;
            hostOptions.protocol = protocol;
            hostOptions.tileWidth = options.tileWidth;
            hostOptions.tileHeight = options.tileHeight;
            PixelHost host(session, doc, hostOptions);
            FilterRun run(*module, session);
            RunOptions runOptions;
            runOptions.keepState = false;
            runOptions.playInfo = plugInDialogDontDisplay;
            runOptions.settings = options.settings;

            const bool peakReset = ResetPeak();
            const auto start = std::chrono::steady_clock::now();
            const RunReport report = run.Run(runOptions);
            const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            const double peakMb = StatusKb("VmHWM") / 1024.0;

            if (!report.succeeded) {
                std::cerr << PixelProtocolName(protocol) << ": the run failed with result " << report.result << " "
                          << report.errorText << "\n";
                for (const std::string& problem : report.problems) std::cerr << "  " << problem << "\n";
                return 1;
            }
            std::printf("%-8s %10.0f %10.1f %12.0f %16.0f %14.1f %14.1f%s%s\n", PixelProtocolName(protocol), ms,
                        double(options.size) * options.size / ms / 1000.0, peakMb, peakMb - docMb,
                        host.buffers().peakBytes() / double(1 << 20), host.classic().peakBytes() / double(1 << 20),
                        peakReset ? "" : "  (peak not reset: cumulative)",
                        options.module == COPY_THROUGH_PATH && !SpotCheck(doc) ? "  PIXELS CHANGED" : "");
        }
        return 0;
    } catch (const UsageError& e) {
        std::cerr << e.what() << "\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "pixel_protocol_bench: " << e.what() << "\n";
        return 1;
    }
}
