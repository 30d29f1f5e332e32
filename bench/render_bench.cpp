// The bubble's cost against the floor of the protocol: for each case, the Tellora module and the
// copy-through module run on the same document in the same process, alternately, and the
// medians of their wall times give the ratio bubble / copy-through. The long-text case compares
// the module with itself (a 100 KB text against a short one). The start-up case times whole
// processes: this program runs itself again for one 64 x 64 run of either module.
//
//   build/bench/render_bench                  every case, 3 runs each
//   build/bench/render_bench --runs 5 --case large   cases whose name contains "large"
//   build/bench/render_bench --list
//
// Needs a display for the toolkit (tools/with-display.sh gives one).
#include "hostsim/filter_run.h"
#include "hostsim/host_error.h"
#include "hostsim/host_session.h"
#include "hostsim/pixel_document.h"
#include "hostsim/pixel_host.h"
#include "hostsim/plugin_module.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace hostsim;

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

// A pattern in every sample, so that conversions and copies see real data.
void Fill(PixelDocument& doc) {
    Layer& layer = doc.target();
    for (std::size_t p = 0; p < layer.color.size(); ++p) {
        Plane& plane = layer.color[p];
        for (int32 y = 0; y < doc.height(); ++y) {
            uint8* row = plane.Row(y);
            if (doc.depth() == 32) {
                auto* f = reinterpret_cast<float*>(row);
                for (int32 x = 0; x < doc.width(); ++x) f[x] = float((x * 7 + y * 3 + int(p) * 50) % 256) / 255.0f;
            } else {
                for (std::size_t i = 0; i < plane.rowBytes(); ++i) row[i] = uint8(i * 7 + std::size_t(y) * 3 + p * 50);
                if (doc.depth() == 16) {
                    auto* s = reinterpret_cast<uint16*>(row);
                    for (int32 x = 0; x < doc.width(); ++x) s[x] = uint16(std::min<int>(s[x] & 0x7FFF, 32768));
                }
            }
        }
    }
}

struct Case {
    std::string name;
    int32 width, height;
    int16 mode;
    PixelProtocol protocol;
    Settings settings;                 // the bubble's values
    Settings baselineSettings;         // when set: the baseline is the module with these values
    bool startup = false;              // whole processes
};

Settings DefaultBubble() { return {{"Text", "Text"}}; }

// A bubble over about 40 % of the document, with 150-point text on some thirteen lines; `f`
// scales it to another document size.
Settings LargeBubble(double fx, double fy) {
    const auto n = [](double v) { return std::to_string(v); };
    return {{"ellipseWidth", n(6400 * fx)},
            {"ellipseHeight", n(4700 * fy)},
            {"xPosition", "10"},
            {"yPosition", "10"},
            {"xindiPosition", "95"},
            {"yindiPosition", "95"},
            {"edgeThickness", n(std::max(1.0, 6 * fx))},
            {"indicatorThickness", n(std::max(1.0, 4 * fx))},
            {"indicatorWidth", n(200 * fx)},
            {"fontSize", n(150 * std::min(fx, fy))},
            {"Text", "Far out in the uncharted backwaters of the unfashionable end of the western spiral arm "
                     "of the galaxy lies a small unregarded yellow sun. Orbiting this at a distance of roughly "
                     "ninety-two million miles is an utterly insignificant little blue green planet whose "
                     "ape-descended life forms are so amazingly primitive that they still think digital "
                     "watches are a pretty neat idea."}};
}

Settings LongText(std::size_t bytes) {
    std::string text;
    const std::string words = "lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor ";
    while (text.size() < bytes) text += words;
    text.resize(bytes);
    return {{"ellipseWidth", "3500"}, {"ellipseHeight", "2500"}, {"xPosition", "5"},
            {"yPosition", "5"},       {"fontSize", "6"},         {"Text", text}};
}

std::vector<Case> AllCases() {
    const int16 rgb8 = ModeFor(ColorModel::RGB, 8), rgb16 = ModeFor(ColorModel::RGB, 16),
                rgb32 = ModeFor(ColorModel::RGB, 32), lab8 = ModeFor(ColorModel::Lab, 8),
                cmyk8 = ModeFor(ColorModel::CMYK, 8);
    const auto classic = PixelProtocol::Classic, ports = PixelProtocol::Ports;
    std::vector<Case> cases = {
        {"default-rgb8-4096", 4096, 4096, rgb8, ports, DefaultBubble(), {}},
        {"default-rgb16-4096", 4096, 4096, rgb16, ports, DefaultBubble(), {}},
        {"default-rgb32-4096", 4096, 4096, rgb32, ports, DefaultBubble(), {}},
        {"default-lab8-4096", 4096, 4096, lab8, ports, DefaultBubble(), {}},
        {"default-cmyk8-4096", 4096, 4096, cmyk8, ports, DefaultBubble(), {}},
        {"default-lab8-4096-classic", 4096, 4096, lab8, classic, DefaultBubble(), {}},
        {"default-cmyk8-4096-classic", 4096, 4096, cmyk8, classic, DefaultBubble(), {}},
        {"large-8192x6000-classic", 8192, 6000, rgb8, classic, LargeBubble(1, 1), {}},
        {"large-8192x6000-ports", 8192, 6000, rgb8, ports, LargeBubble(1, 1), {}},
        {"large-1024-classic", 1024, 1024, rgb8, classic, LargeBubble(1024.0 / 8192, 1024.0 / 6000), {}},
        {"large-1024-ports", 1024, 1024, rgb8, ports, LargeBubble(1024.0 / 8192, 1024.0 / 6000), {}},
        {"startup-64", 64, 64, rgb8, ports, DefaultBubble(), {}, true},
        // The same in a process that has started the toolkit before: the cost of one call.
        {"call-64", 64, 64, rgb8, ports, DefaultBubble(), {}},
        // The same module with a short text is the baseline here.
        {"longtext-100k-4000x3000", 4000, 3000, rgb8, ports, LongText(100 * 1024), LongText(4)},
    };
    return cases;
}

class Runner {
public:
    Runner(const std::string& tellora, const std::string& copy)
        : tellora_(PluginModule::Load(tellora)), copy_(PluginModule::Load(copy)) {}

    // Wall time of one run, in ms, on a fresh document.
    double Run(const Case& c, bool bubble) {
        PixelDocument doc(c.width, c.height, c.mode);
        Fill(doc);
        HostSession session;
        PixelHostOptions hostOptions;
        hostOptions.protocol = c.protocol;
        PixelHost host(session, doc, hostOptions);
        const bool module = bubble || !c.baselineSettings.empty();
        FilterRun run(module ? *tellora_ : *copy_, session);
        RunOptions options;
        options.keepState = false;
        options.playInfo = plugInDialogDontDisplay;
        if (module) options.settings = bubble ? c.settings : c.baselineSettings;
        const auto start = Clock::now();
        const RunReport report = run.Run(options);
        const double ms = Since(start);
        if (!report.succeeded)
            throw std::runtime_error(c.name + ": the run failed with result " + std::to_string(report.result) + " " +
                                     report.errorText);
        return ms;
    }

private:
    std::unique_ptr<PluginModule> tellora_, copy_;
};

// Whole process: this program again, doing one 64 x 64 run of the module.
double TimeChild(const std::string& self, const std::string& module) {
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        execl(self.c_str(), self.c_str(), "--child", module.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("the start-up child failed");
    return Since(start);
}

int Child(const std::string& modulePath) {
    const auto module = PluginModule::Load(modulePath);
    PixelDocument doc(64, 64, ModeFor(ColorModel::RGB, 8));
    Fill(doc);
    HostSession session;
    PixelHost host(session, doc, PixelHostOptions{});
    FilterRun run(*module, session);
    RunOptions options;
    options.keepState = false;
    options.playInfo = plugInDialogDontDisplay;
    return run.Run(options).succeeded ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        std::string tellora = TELLORA_MODULE_PATH, copy = COPY_THROUGH_PATH, filter;
        int runs = 3;
        bool list = false, bubbleOnly = false, baselineOnly = false;
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            auto value = [&]() -> std::string {
                if (i + 1 >= argc) throw UsageError(arg + " needs a value");
                return argv[++i];
            };
            if (arg == "--child") return Child(value());
            if (arg == "--module") tellora = value();
            else if (arg == "--copy-through") copy = value();
            else if (arg == "--runs") runs = std::max(1, std::atoi(value().c_str()));
            else if (arg == "--case") filter = value();
            else if (arg == "--list") list = true;
            else if (arg == "--bubble-only") bubbleOnly = true;  // for a profiler: no baseline runs
            else if (arg == "--baseline-only") baselineOnly = true;  // for a profiler: no bubble runs
            else
                throw UsageError("usage: render_bench [--runs N] [--case SUBSTRING] [--list] [--bubble-only | --baseline-only] "
                                 "[--module PATH] [--copy-through PATH]");
        }
        // Keep the module's remembered values away from the user's own.
        char folder[] = "/tmp/render_bench.XXXXXX";
        if (!mkdtemp(folder)) throw std::runtime_error("no temporary folder");
        setenv("TELLORA_REGISTRY_ROOT", folder, 1);
        setenv("TELLORA_BATCH", "1", 1);

        std::vector<Case> cases = AllCases();
        if (list) {
            for (const Case& c : cases) std::cout << c.name << "\n";
            return 0;
        }
        Runner runner(tellora, copy);
        {
            // The toolkit's one-time start in this process is not part of any case.
            Case warm{"warm", 64, 64, ModeFor(ColorModel::RGB, 8), PixelProtocol::Ports, DefaultBubble(), {}};
            runner.Run(warm, true);
            runner.Run(warm, false);
        }
        std::printf("%-28s %12s %12s %8s  (median of %d, ms)\n", "case", "bubble", "baseline", "ratio", runs);
        const std::string self = "/proc/self/exe";
        char exe[4096];
        const ssize_t n = readlink(self.c_str(), exe, sizeof exe - 1);
        const std::string selfPath = n > 0 ? std::string(exe, std::size_t(n)) : std::string(argv[0]);
        for (const Case& c : cases) {
            if (!filter.empty() && c.name.find(filter) == std::string::npos) continue;
            std::vector<double> bubble, base;
            for (int r = 0; r < runs; ++r) {
                if (c.startup) {
                    bubble.push_back(TimeChild(selfPath, tellora));
                    base.push_back(TimeChild(selfPath, copy));
                } else {
                    bubble.push_back(baselineOnly ? 1.0 : runner.Run(c, true));
                    base.push_back(bubbleOnly ? 1.0 : runner.Run(c, false));
                }
            }
            const double b = Median(bubble), f = Median(base);
            std::printf("%-28s %12.1f %12.1f %8.2f%s\n", c.name.c_str(), b, f, b / f,
                        c.baselineSettings.empty() ? "" : "  (baseline: the same with a short text)");
            std::fflush(stdout);
        }
        return 0;
    } catch (const UsageError& e) {
        std::cerr << e.what() << "\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "render_bench: " << e.what() << "\n";
        return 1;
    }
}
