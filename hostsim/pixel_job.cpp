#include "hostsim/pixel_job.h"

#include "hostsim/host_error.h"
#include "hostsim/host_session.h"
#include "hostsim/image_import.h"
#include "hostsim/png_io.h"
#include "hostsim/program_name.h"

#include "files/atomic_file.h"

#include <charconv>
#include <sstream>
#include <vector>

namespace hostsim {
namespace {

int32 WholeNumber(const std::string& option, const std::string& text, int32 min, int32 max) {
    int64_t v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size())
        throw UsageError(option + " needs whole numbers, got '" + text + "'");
    if (v < min || v > max)
        throw UsageError(option + " takes " + std::to_string(min) + " to " + std::to_string(max) + ", got " + text);
    return int32(v);
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.emplace_back();
    return parts;
}

}  // namespace

bool ParsePixelOption(const std::string& arg, const std::function<const std::string&()>& value,
                      PixelRunOptions& options) {
    if (arg == "--mode") {
        const std::string& name = value();
        options.model = ParseColorModel(name);
        if (!options.model)
            throw UsageError("--mode takes gray, rgb, cmyk, lab, hsb, hsl, duotone or multichannel, got '" + name + "'");
    } else if (arg == "--depth") {
        const std::string& text = value();
        options.depth = WholeNumber(arg, text, 8, 32);
        if (options.depth != 8 && options.depth != 16 && options.depth != 32)
            throw UsageError("--depth takes 8, 16 or 32, got " + text);
    } else if (arg == "--select") {
        const std::vector<std::string> parts = Split(value(), ',');
        if (parts.size() != 4) throw UsageError("--select needs X,Y,W,H");
        const int32 x = WholeNumber(arg, parts[0], 0, kMaxDocumentSide);
        const int32 y = WholeNumber(arg, parts[1], 0, kMaxDocumentSide);
        const int32 w = WholeNumber(arg, parts[2], 1, kMaxDocumentSide);
        const int32 h = WholeNumber(arg, parts[3], 1, kMaxDocumentSide);
        options.selection = VRect{y, x, y + h, x + w};
    } else if (arg == "--tile") {
        const std::vector<std::string> parts = Split(value(), 'x');
        if (parts.size() != 2) throw UsageError("--tile needs WIDTHxHEIGHT");
        options.tileWidth = WholeNumber(arg, parts[0], 1, 1 << 20);
        options.tileHeight = WholeNumber(arg, parts[1], 1, 1 << 20);
    } else if (arg == "--protocol") {
        const std::string& name = value();
        if (name == "classic") options.protocol = PixelProtocol::Classic;
        else if (name == "ports") options.protocol = PixelProtocol::Ports;
        else throw UsageError("--protocol takes classic or ports, got '" + name + "'");
    } else if (arg == "--transparency") {
        options.transparency = true;
    } else if (arg == "--layers") {
        options.layers = WholeNumber(arg, value(), 1, 64);
    } else if (arg == "--planes") {
        options.planes = int16(WholeNumber(arg, value(), 1, 56));
    } else {
        return false;
    }
    return true;
}

std::string PixelOptionsUsage() {
    return "pixel options (run):\n"
           "  --in IN.png             the image to filter (8/16-bit gray, gray+alpha, RGB, RGBA)\n"
           "  --out OUT.png           where to write the filtered image\n"
           "  --mode MODE             gray, rgb, cmyk, lab, hsb, hsl, duotone or multichannel\n"
           "                          (default: gray for a gray image, else rgb); other modes than\n"
           "                          gray and rgb are converted in and out, and said so\n"
           "  --depth 8|16|32         bits per sample (default: the image's)\n"
           "  --planes N              planes of a multichannel document (default: the image's)\n"
           "  --transparency          give the layer a transparency plane (the image's alpha)\n"
           "  --layers N              N layers, each holding the image; the top one is filtered\n"
           "  --select X,Y,W,H        a rectangular selection\n"
           "  --tile WxH              the host's tile size\n"
           "  --protocol classic|ports  how pixels are served: advanceState only, or the\n"
           "                          ChannelPorts suite with the document description (default)\n";
}

PixelJob::PixelJob(HostSession& session, const std::string& input, std::pair<int32, int32> size,
                   const PixelRunOptions& options, std::ostream& err)
    : err_(err), bar_(err, ProgressBar::StderrIsTerminal()) {
    std::vector<std::string> notes;
    if (!input.empty()) {
        ImportOptions import;
        import.model = options.model;
        import.depth = options.depth;
        import.transparency = options.transparency;
        import.layers = options.layers;
        import.planes = options.planes;
        const auto reader = PngReader::OpenFile(input);
        try {
            document_ = ImportPng(*reader, import, engine_, &notes);
        } catch (const PngError& e) {
            throw PngError(input + ": " + e.what());
        }
    } else {
        const ColorModel model = options.model.value_or(ColorModel::RGB);
        const int32 depth = options.depth ? options.depth : 8;
        const int16 mode = ModeFor(model, depth);
        if (mode < 0) throw DocumentError("there is no " + std::to_string(depth) + "-bit " + ColorModelName(model) + " mode");
        document_ = std::make_unique<PixelDocument>(size.first, size.second, mode, options.transparency,
                                                    options.layers, options.planes ? options.planes : 1);
        // A blank page: white, or no ink. Lab white has a and b at their middle, HSB and HSL
        // white no saturation.
        for (int l = 0; l < document_->layerCount(); ++l) {
            std::vector<Plane>& color = document_->layer(l).color;
            for (Plane& plane : color) plane.Fill(model == ColorModel::CMYK ? 0.0 : 1.0);
            if (model == ColorModel::Lab) {
                color[1].Fill(128.0 / 255.0);
                color[2].Fill(128.0 / 255.0);
            }
            if (model == ColorModel::HSB || model == ColorModel::HSL) color[1].Fill(0.0);
        }
    }
    if (options.selection) document_->SelectRect(*options.selection);
    for (const std::string& note : notes) err_ << "filterhost: note: " << note << '\n';

    PixelHostOptions hostOptions;
    hostOptions.protocol = options.protocol;
    hostOptions.tileWidth = options.tileWidth;
    hostOptions.tileHeight = options.tileHeight;
    host_ = std::make_unique<PixelHost>(session, *document_, hostOptions);
    host_->onProgress = [this](int32 done, int32 total) { bar_.Update(done, total); };
}

PixelJob::~PixelJob() = default;

void PixelJob::Finish(const std::string& output) {
    bar_.Finish();
    if (output.empty()) return;
    std::vector<std::string> notes;
    // Streamed into a temporary file that replaces the output when complete.
    std::string error;
    const auto written = tellora::SaveFileAtomicallyWith(
        kProgramName, output,
        [&](const std::string& file) {
            const auto writer = PngWriter::ToFile(file, ExportFormat(*document_), output);
            ExportPng(*document_, engine_, &notes, *writer);
            return true;
        },
        &error);
    if (written == tellora::SaveOutcome::Failed) throw PngError(error);
    for (const std::string& note : notes) err_ << "filterhost: note: " << note << '\n';
}

}  // namespace hostsim
