// A plug-in that copies every source pixel to its destination unchanged. It runs the same
// adapter as the real filter, so host-driven tests can check that pixels survive the whole
// path (reading, conversion, tiling, write-back), and it is the benchmark baseline.
#pragma once
#include "host/host.h"
#include "host/image_buffer.h"

class CopyThroughPlugin : public Corvantis::Host::PS::Host {
public:
    using Parameters = Corvantis::Host::PS::Parameters;
    using ImageBuffer = Corvantis::Host::PS::ImageBuffer;

    bool RunDialog(Parameters*) override { return true; }
    void DefineParameters(Parameters*) override {}
    void RenderTile(Parameters* params, ImageBuffer& source, ImageBuffer& destination, ImageBuffer& mask,
                    ImageBuffer* extras) override;
    bool SupportsGray() override { return true; }
};
