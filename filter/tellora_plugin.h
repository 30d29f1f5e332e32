// The speech-bubble plug-in class. Only TelloraPluginPS is ever instantiated: one per call of
// the entry point, on that call's stack.
#pragma once
#include "host/host.h"

#include <memory>

struct TileRenderCache;

// Set before the dialog opens: the document is grayscale, so colour swatches show grey.
extern bool GrayscaleMode;

template <class HostType>
class TelloraPlugin : public HostType {};

class TelloraPluginPS : public TelloraPlugin<Corvantis::Host::PS::Host> {
public:
    using Parameters = Corvantis::Host::PS::Parameters;
    using ImageBuffer = Corvantis::Host::PS::ImageBuffer;

    TelloraPluginPS();
    ~TelloraPluginPS() override;

    void OnAbout() override;
    bool RunDialog(Parameters* params) override;
    void DefineParameters(Parameters* params) override;
    void RenderTile(Parameters* params, ImageBuffer& source, ImageBuffer& destination, ImageBuffer& mask,
                    ImageBuffer* extras) override;
    bool SupportsGray() override { return true; }
    // The bubble's colours are RGB: Lab, HSB and HSL documents are drawn on in RGB and converted
    // back, as CMYK documents are; every other mode stays as the adapter decides.
    int16 EffectiveMode(int16 mode) override;
    // A tile the bubble cannot reach: the document keeps its pixels there untouched.
    bool LeavesTileUnchanged(Parameters* params, const VRect& tile, const VRect& filterRect) override;

    // Whether the toolkit started for this call; drawing and dialogs need it.
    bool ToolkitStarted() const { return toolkitStarted; }

private:
    void RequireToolkit() const;

    bool toolkitStarted = false;
    // What the tile renderer keeps between the tiles of one call (see tile_render.cpp).
    std::shared_ptr<TileRenderCache> renderCache;
};
