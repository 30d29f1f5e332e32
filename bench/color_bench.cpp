// Colour conversion speed in hostsim: the ColorSpace suite's Convert8 and Convert16 the way the
// plug-in calls them (slots of four, chunks of 32000), and the engine's own 8-bit transform on
// packed pixels. Each 8-bit row also tells how far the result lies from the exact conversion
// (LittleCMS on doubles, rounded), in 8-bit steps. Speeds are medians of five runs, in pixels
// per second of wall time and of processor time (which a busy machine disturbs less, and which
// adds up the threads a large 8-bit conversion is split over).
#include "hostsim/color_engine.h"
#include "hostsim/color_space_suite.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <ctime>
#include <random>
#include <vector>

using namespace hostsim;

namespace {

constexpr std::size_t kPixels = std::size_t(1) << 22;
constexpr std::size_t kSuiteChunk = 32000;  // what the plug-in hands over per call
constexpr int kRepeats = 5;

// Processor time of the process (std::clock on Linux).
double CpuMs() { return double(std::clock()) * 1000.0 / CLOCKS_PER_SEC; }

struct Timing {
    double wallMs;
    double cpuMs;
};

Timing Median(const std::function<void()>& run) {
    std::vector<double> wall, cpu;
    for (int i = 0; i < kRepeats; ++i) {
        const double cpuStart = CpuMs();
        const auto start = std::chrono::steady_clock::now();
        run();
        wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        cpu.push_back(CpuMs() - cpuStart);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

void PrintRow(const char* name, const Timing& t) {
    std::printf("%-34s %10.1f %10.1f %10.1f", name, t.wallMs, kPixels / t.wallMs / 1000.0, kPixels / t.cpuMs / 1000.0);
}

// Colours of `space` in slots: random bytes in the colour's components, zero before them.
template <class Sample>
std::vector<Sample> RandomSlots(int16 space, Sample full) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> dist(0, int(full));
    const int k = ColorEngine::Components(space);
    std::vector<Sample> slots(kPixels * 4, Sample(0));
    for (std::size_t i = 0; i < kPixels; ++i)
        for (int c = 4 - k; c < 4; ++c) slots[i * 4 + std::size_t(c)] = Sample(dist(rng));
    return slots;
}

// The exact result: the engine on unit doubles, rounded to bytes.
std::vector<uint8> Reference(ColorEngine& engine, int16 from, int16 to, const std::vector<uint8>& slots) {
    const int k = ColorEngine::Components(from);
    const int m = ColorEngine::Components(to);
    std::vector<double> in(kPixels * std::size_t(k)), out(kPixels * std::size_t(m));
    for (std::size_t i = 0; i < kPixels; ++i)
        for (int c = 0; c < k; ++c) in[i * k + c] = slots[i * 4 + 4 - k + c] / 255.0;
    if (!engine.Convert(from, to, in.data(), out.data(), kPixels)) std::exit(1);
    std::vector<uint8> ref(kPixels * 4, 0);
    for (std::size_t i = 0; i < kPixels; ++i)
        for (int c = 0; c < m; ++c) ref[i * 4 + 4 - m + c] = uint8(std::lround(out[i * m + c] * 255.0));
    return ref;
}

struct Pair {
    int16 from, to;
};

const Pair kPairs[] = {{plugIncolorServicesCMYKSpace, plugIncolorServicesRGBSpace},
                       {plugIncolorServicesRGBSpace, plugIncolorServicesCMYKSpace},
                       {plugIncolorServicesLabSpace, plugIncolorServicesRGBSpace},
                       {plugIncolorServicesRGBSpace, plugIncolorServicesLabSpace},
                       {plugIncolorServicesRGBSpace, plugIncolorServicesGraySpace},
                       {plugIncolorServicesGraySpace, plugIncolorServicesRGBSpace}};

}  // namespace

int main() {
    ColorEngine engine;
    FaultPlan faults;
    ProblemLog problems;
    ColorSpaceSuiteHost host(engine, faults, problems);
    ColorSpaceSuiteHost::ActiveScope active(host);
    const PSColorSpaceSuite1& suite = *host.table();

    std::printf("%-34s %10s %10s %10s %16s\n", "conversion", "wall ms", "Mpixel/s", "per cpu s", "off exact (max)");
    for (const Pair& pair : kPairs) {
        const std::vector<uint8> input = RandomSlots<uint8>(pair.from, 255);
        const std::vector<uint8> ref = Reference(engine, pair.from, pair.to, input);
        std::vector<uint8> work;
        const Timing t = Median([&] {
            work = input;  // a copy costs under 1 % of the slowest conversion
            for (std::size_t start = 0; start < kPixels; start += kSuiteChunk) {
                const std::size_t n = std::min(kSuiteChunk, kPixels - start);
                if (suite.Convert8(pair.from, pair.to, reinterpret_cast<Color8*>(work.data() + start * 4), int16(n)) != kSPNoError) std::exit(1);
            }
        });
        int worst = 0;
        std::size_t off = 0;
        for (std::size_t i = 0; i < work.size(); ++i) {
            const int d = std::abs(int(work[i]) - int(ref[i]));
            worst = std::max(worst, d);
            off += d != 0;
        }
        char name[64];
        std::snprintf(name, sizeof name, "suite 8-bit %s -> %s", ColorEngine::SpaceName(pair.from),
                      ColorEngine::SpaceName(pair.to));
        PrintRow(name, t);
        std::printf(" %9d (%.2f%%)\n", worst, 100.0 * double(off) / double(work.size()));
    }
    for (const Pair& pair : {kPairs[0], kPairs[1]}) {
        const std::vector<uint16> input = RandomSlots<uint16>(pair.from, 32768);
        std::vector<uint16> work;
        const Timing t = Median([&] {
            work = input;
            for (std::size_t start = 0; start < kPixels; start += kSuiteChunk) {
                const std::size_t n = std::min(kSuiteChunk, kPixels - start);
                if (suite.Convert16(pair.from, pair.to, reinterpret_cast<Color16*>(work.data() + start * 4), int16(n)) != kSPNoError)
                    std::exit(1);
            }
        });
        char name[64];
        std::snprintf(name, sizeof name, "suite 16-bit %s -> %s", ColorEngine::SpaceName(pair.from),
                      ColorEngine::SpaceName(pair.to));
        PrintRow(name, t);
        std::printf("\n");
    }
    // ENGINE-8-BIT-BEGIN
    // The engine's transform on packed pixels: random colours (every pixel somewhere else in
    // the table, the worst case) and a picture-like raster (smooth gradients with grain).
    for (const bool picture : {false, true})
        for (const Pair& pair : {kPairs[0], kPairs[1], kPairs[2]}) {
            const int k = ColorEngine::Components(pair.from);
            const int m = ColorEngine::Components(pair.to);
            std::vector<uint8> in(kPixels * std::size_t(k)), out(kPixels * std::size_t(m));
            std::mt19937 rng(11);
            for (std::size_t i = 0; i < kPixels; ++i)
                for (int c = 0; c < k; ++c) {
                    const std::size_t x = i % 2048, y = i / 2048;
                    const int smooth = int((x * (c + 1) + y * (3 - c % 3)) / 16 % 256);
                    in[i * k + c] = picture ? uint8(std::clamp(smooth + int(rng() % 7) - 3, 0, 255)) : uint8(rng());
                }
            const Timing t = Median([&] {
                if (!engine.Convert8(pair.from, pair.to, in.data(), out.data(), kPixels, ColorEngine::Layout::Packed))
                    std::exit(1);
            });
            char name[64];
            std::snprintf(name, sizeof name, "engine 8-bit %s -> %s%s", ColorEngine::SpaceName(pair.from),
                          ColorEngine::SpaceName(pair.to), picture ? " (picture)" : "");
            PrintRow(name, t);
            std::printf("\n");
        }
    // ENGINE-8-BIT-END
    return problems.count() == 0 ? 0 : 1;
}
