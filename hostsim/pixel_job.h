// The pixels of one `filterhost run`: the document made from the input PNG (or a blank one),
// the pixel host serving it to the plug-in, the progress bar, and the output PNG.
#pragma once
#include "hostsim/document.h"
#include "hostsim/pixel_host.h"
#include "hostsim/progress_bar.h"

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

namespace hostsim {

class HostSession;

struct PixelRunOptions {
    std::optional<ColorModel> model;   // --mode
    int32 depth = 0;                   // --depth (0: the PNG's)
    std::optional<VRect> selection;    // --select X,Y,W,H
    int32 tileWidth = 0;               // --tile WxH
    int32 tileHeight = 0;
    PixelProtocol protocol = PixelProtocol::Ports;  // --protocol
    bool transparency = false;         // --transparency
    int layers = 1;                    // --layers
    int16 planes = 0;                  // --planes (multichannel)
};

// Takes `arg` when it is one of the pixel options (reading its value through `value`); false
// when it is not. Throws UsageError for a bad value.
bool ParsePixelOption(const std::string& arg, const std::function<const std::string&()>& value,
                      PixelRunOptions& options);
std::string PixelOptionsUsage();

class PixelJob {
public:
    // The document from the PNG `input`, or a white one of `size` (width, height) when input
    // is empty; attached to the session. Notes (conversions) go to `err`. Throws HostError,
    // PngError or DocumentError.
    PixelJob(HostSession& session, const std::string& input, std::pair<int32, int32> size,
             const PixelRunOptions& options, std::ostream& err);
    ~PixelJob();
    PixelJob(const PixelJob&) = delete;
    PixelJob& operator=(const PixelJob&) = delete;

    // After the run: ends the progress line and writes the document to `output` (when not
    // empty).
    void Finish(const std::string& output);

    PixelHost& host() { return *host_; }
    PixelDocument& document() { return *document_; }

private:
    std::ostream& err_;
    ColorEngine engine_;
    std::unique_ptr<PixelDocument> document_;
    std::unique_ptr<PixelHost> host_;
    ProgressBar bar_;
};

}  // namespace hostsim
