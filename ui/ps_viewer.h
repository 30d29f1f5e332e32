// The viewer the dialog embeds: the host-bound model plus the preview render that fills the
// panel through the host's display callback.
#pragma once
#include "ui/viewer.h"

namespace Corvantis::Host::PS {

class Viewer : public Param::Viewer<Host> {
public:
    Viewer(Host* host, Param::Parameters* parameters, Param::ViewerPanel* panel);
    ~Viewer() override;

    // rect = {x, y, width, height}; renders with the device context's native handle (the cairo
    // context of a paint on GTK) and writes back the rectangle image pixels cover.
    void Draw(int32_t rect[4], wxDC* dc) override;

    // Decides the visible part at the current zoom and pan, reads its source with a margin,
    // renders the bubble into the cache (the visible part after a parameter change, the rest
    // and the uncovered strips when a pan needs them), up-scales above 100 % and shows the
    // result through the host.
    // On return view is the painted panel rectangle, or empty at its corner when nothing was.
    // Failures are reported (texts and standard exceptions) or dropped; they never escape.
    void Render(Rect& view, int unused, void* platformContext);

private:
    void RenderView(Rect& view, void* platformContext);
    void ReadExtraInputs(const std::vector<LayerRequest>& entries, const Rect& img, float s);
    void RenderBubble(const Rect& area, const Rect& renderArea, const Rect& readArea, float s);
    // Renders `rect` of the render cache in place.
    void RenderPart(const Rect& rect);
    // Renders what the cache holds beyond renderedRect, so that all of it is rendered.
    void RenderMargin();
    void ReportError(const std::string& text);

    // After a parameter change only the visible part of the cache is rendered at once; the
    // margin around it is rendered when a pan first needs it. renderedRect is the part that
    // holds rendered pixels while marginPending is set.
    Rect renderedRect{};
    bool marginPending = false;
};

}  // namespace Corvantis::Host::PS
