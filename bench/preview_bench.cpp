// Preview re-render time: the plug-in's real preview render (viewer, tile renderer, host
// display callback) inside hostsim, on a 2400 x 1800 RGB document, in a 1100 x 744 view at
// 100 %, with a 640 x 360 bubble with three lines of 36 pt text in the middle of the view. Each measured
// render follows one parameter change, as a slider drag makes it; the painted view goes onto
// a cairo image surface like a panel's. Needs a display (tools/with-display.sh).
//
//   preview_bench [--width N] [--height N] [--renders N] [--png PATH]   (PATH: the last view)
#include "filter/parameter_table.h"
#include "filter/tellora_plugin.h"
#include "hostsim/host_session.h"
#include "hostsim/pixel_document.h"
#include "hostsim/pixel_host.h"
#include "ui/ps_viewer.h"

#include <cairo.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int32 kViewWidth = 1100;
constexpr int32 kViewHeight = 744;

// Processor time of this process, in ms: steadier than wall time on a busy machine.
double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

void Fill(hostsim::PixelDocument& doc) {
    hostsim::Layer& layer = doc.target();
    for (std::size_t p = 0; p < layer.color.size(); ++p) {
        hostsim::Plane& plane = layer.color[p];
        for (int32 y = 0; y < doc.height(); ++y) {
            uint8* row = plane.Row(y);
            for (std::size_t i = 0; i < plane.rowBytes(); ++i) row[i] = uint8(i / 8 + std::size_t(y) / 4 + p * 80);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    int32 width = 2400, height = 1800;
    int renders = 41;
    std::string png;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--width") width = std::max(64, std::atoi(argv[i + 1]));
        else if (arg == "--height") height = std::max(64, std::atoi(argv[i + 1]));
        else if (arg == "--renders") renders = std::max(1, std::atoi(argv[i + 1]));
        else if (arg == "--png") png = argv[i + 1];
    }

    hostsim::PixelDocument doc(width, height, plugInModeRGBColor);
    Fill(doc);
    hostsim::HostSession session;
    hostsim::PixelHost pixels(session, doc, hostsim::PixelHostOptions{});
    FilterRecord& record = session.filterRecord();
    // The host's side of a call that is under way: the callbacks and suites find it.
    hostsim::HostSession::CallScope call(session);
    pixels.BeforeCall(filterSelectorStart, record);

    TelloraPluginPS plugin;
    if (!plugin.ToolkitStarted()) {
        std::fprintf(stderr, "preview_bench: the toolkit did not start (no display?)\n");
        return 1;
    }
    intptr_t data = 0;
    int16 result = 0;
    plugin.Init(&record, false, &data, &result, "Tellora");
    plugin.inDialog = true;
    Corvantis::Host::PS::Parameters list;
    AppendTelloraParameters(list);
    list.parameters[kParamText].value.text = "Over here!\nA bubble in the middle\nof the preview";
    list.parameters[kParamFontSize].value.SetFloat(36.0);
    list.parameters[kParamEllipseWidth].value.SetFloat(640.0);
    list.parameters[kParamEllipseHeight].value.SetFloat(360.0);
    list.parameters[kParamXPosition].value.SetFloat(30.0);
    list.parameters[kParamYPosition].value.SetFloat(32.0);
    list.parameters[kParamXIndicatorPosition].value.SetFloat(60.0);
    list.parameters[kParamYIndicatorPosition].value.SetFloat(65.0);

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kViewWidth + 4, kViewHeight + 4);
    cairo_t* context = cairo_create(surface);
    Corvantis::Host::PS::Viewer viewer(&plugin, &list, nullptr);
    const auto paint = [&] {
        VRect view{2, 2, 2 + kViewHeight, 2 + kViewWidth};
        viewer.Render(view, 0, context);
        return view;
    };
    const auto ms = [](auto start) {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };

    paint();               // fits the document into the view
    viewer.SetZoom(1.0f);  // then 100 %, around the view's centre
    auto start = std::chrono::steady_clock::now();
    const VRect first = paint();
    const double firstMs = ms(start);
    start = std::chrono::steady_clock::now();
    paint();
    const double repaintMs = ms(start);

    // One parameter change per render, back and forth as a drag of the width slider.
    std::vector<double> times, cpu;
    auto& ellipseWidth = list.parameters[kParamEllipseWidth];
    const double base = ellipseWidth.value.GetFloat();
    for (int i = 0; i < renders; ++i) {
        ellipseWidth.value.SetFloat(base + (i % 2 ? 2.0 : -2.0));
        viewer.needsRender = true;
        const double cpuStart = CpuMs();
        start = std::chrono::steady_clock::now();
        paint();
        times.push_back(ms(start));
        cpu.push_back(CpuMs() - cpuStart);
    }
    std::sort(cpu.begin(), cpu.end());
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    const double p90 = times[std::min(times.size() - 1, times.size() * 9 / 10)];

    std::printf("document %d x %d RGB 8, view %d x %d at %.0f %%, shown %d x %d\n", width, height, kViewWidth,
                kViewHeight, viewer.zoom * 100.0, first.right - first.left, first.bottom - first.top);
    std::printf("first render at 100 %%: %.1f ms; repaint without change: %.2f ms\n", firstMs, repaintMs);
    std::printf("re-render after one parameter change: median %.1f ms, 90th percentile %.1f ms (%d renders)\n",
                median, p90, renders);
    std::printf("  processor time per re-render: median %.1f ms\n", cpu[cpu.size() / 2]);
    if (!png.empty()) cairo_surface_write_to_png(surface, png.c_str());
    cairo_destroy(context);
    cairo_surface_destroy(surface);
    pixels.AfterCall(filterSelectorStart, noErr, record);
    return 0;
}
