// The preview render: what is visible at the current zoom and pan, read with a margin at a
// sampling scale of at most 1, rendered by the plug-in's own tile renderer into a cache that
// survives between paints, up-scaled above 100 % and shown through the host's display callback.
#include "param/ps_parameters.h"
#include "ui/numeric_entry.h"
#include "ui/ps_viewer.h"
#include "ui/viewer_panel.h"
#include "win32/message_box.h"
#include "win32/toolkit_state.h"

#include <wx/intl.h>
#include <wx/msgdlg.h>

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

namespace Corvantis::Host::PS {
namespace {

// Sampled pixels read and rendered around the needed area, so that a short pan only displays.
constexpr int32 kCacheMargin = 256;
// Spare sampled pixels around the part that is up-scaled, for the resampling filter.
constexpr int32 kScaleBorder = 5;

int32 Clamp32(int64_t v) {
    return int32(std::clamp<int64_t>(v, std::numeric_limits<int32>::min(), std::numeric_limits<int32>::max()));
}

Rect Grow(const Rect& r, int32 by) {
    return Rect{Clamp32(int64_t(r.top) - by), Clamp32(int64_t(r.left) - by), Clamp32(int64_t(r.bottom) + by),
                Clamp32(int64_t(r.right) + by)};
}

Rect Shift(const Rect& r, int32 dx, int32 dy) {
    return Rect{Clamp32(int64_t(r.top) + dy), Clamp32(int64_t(r.left) + dx), Clamp32(int64_t(r.bottom) + dy),
                Clamp32(int64_t(r.right) + dx)};
}

int32 Trunc(float v) {
    if (!(v == v)) return 0;
    if (v >= 2147483520.0f) return std::numeric_limits<int32>::max();
    if (v <= -2147483648.0f) return std::numeric_limits<int32>::min();
    return int32(v);
}

bool SameRect(const Rect& a, const Rect& b) {
    return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

void EmptyAtCorner(Rect& view) {
    view.right = view.left;
    view.bottom = view.top;
}

// The tile renderer takes the host's kind of list.
Parameters* HostList(Param::Parameters* list) {
    auto* hostList = dynamic_cast<Parameters*>(list);
    if (list && !hostList) throw std::logic_error("The preview was given a parameter list it cannot render.");
    return hostList;
}

}  // namespace

void Viewer::Render(Rect& view, int, void* platformContext) {
    try {
        RenderView(view, platformContext);
        return;
    } catch (const std::string& text) {
        ReportError(text);
    } catch (const std::exception& e) {
        ReportError(e.what());
    } catch (...) {
        // Host errors have stored their code already; nothing to show.
    }
    EmptyAtCorner(view);
}

void Viewer::ReportError(const std::string& text) {
    try {
        const wxString caption = wxGetTranslation("Viewer Error");
        // Batch runs must not stop at a modal box: the stand-in logs it instead.
        if (BatchRunRequested() || !ToolkitReady()) {
            MessageBoxA(panel ? panel->GetHandle() : nullptr, text.c_str(), caption.utf8_str(), MB_OK);
            return;
        }
        wxMessageBox(wxString::FromUTF8(text.c_str()), caption, wxOK, panel);
    } catch (...) {
        // Reporting must not turn a failed paint into a crash.
    }
}

void Viewer::RenderView(Rect& view, void* platformContext) {
    if (!host) {
        EmptyAtCorner(view);
        return;
    }
    Parameters* list = HostList(parameters);

    // A view of another size (the window was resized) places the picture for its own size.
    FollowViewSize(RectWidth(view), RectHeight(view));
    const bool fitting = resetPending;
    // The zoom keeps the centre of the view in place; a value typed into the zoom field is
    // taken over here.
    pivotX = (view.left + view.right) / 2;
    pivotY = (view.top + view.bottom) / 2;
    SetZoom(float(zoomParam.value.GetFloat() / 100.0));
    float z = zoom;

    if (showOriginal && source != cachedSource) {
        cacheValid = false;
        cachedSource = source;
    }
    // Fitting never goes below the smallest zoom the record accepts: the cache's scale and the
    // zoom must stay in step.
    if (resetPending) z = std::max(host->GetFitScale(view), float(zoomParam.acceptedMin.GetFloat() / 100.0));

    const float s = sourceBuffer.GetDocumentSamplingScale(std::min(z, 1.0f));
    const bool sameScale = cacheValid && Param::NearlyEqual(s, sourceBuffer.scale);
    bool fitted = false;
    if (!sameScale || scaleChanged || resetPending) {
        // At or below 100 % the picture is shown at the sampling scale, so the zoom says so.
        if ((scaleChanged || resetPending) && z <= 1.0f) z = s;
        if (!sameScale) {
            cacheValid = false;
            marginPending = false;
            sourceBuffer.Reset();
            renderBuffer.Reset();
            maskBuffer.Reset();
            altSourceBuffer.Reset();
            zoomBuffer.Reset();
            zoomMaskBuffer.Reset();
            ClearExtraBuffers();
        }
        SetZoom(z);
        scaleChanged = false;
        resetPending = false;
        fitted = true;
    }

    host->scale = s;
    const Rect img = ScaleRect(host->GetFilterRect(), s);
    const int32 imgW = RectWidth(img);
    const int32 imgH = RectHeight(img);
    const bool up = z > 1.0f;
    const int32 dispW = up ? Trunc(float(imgW) * z) : imgW;
    const int32 dispH = up ? Trunc(float(imgH) * z) : imgH;

    if (fitted) {
        panX = (RectWidth(view) - dispW) / 2;
        panY = (RectHeight(view) - dispH) / 2;
    }
    if (panX + dispW < view.left) panX = view.left - dispW - 1;
    if (panX > view.right) panX = view.right - 1;
    if (panY + dispH < view.top) panY = view.top - dispH - 1;
    if (panY > view.bottom) panY = view.bottom - 1;
    if (fitting) RememberFit();

    const Rect disp{view.top + panY, view.left + panX, view.top + panY + dispH, view.left + panX + dispW};
    Rect shown = IntersectRect(view, disp);

    // The shown part in the coordinates of the buffer that is displayed (zoomed above 100 %).
    const Rect frame = up ? ScaleRect(img, z) : img;
    const int32 offX = frame.left - panX - view.left;
    const int32 offY = frame.top - panY - view.top;
    Rect src = Shift(shown, offX, offY);
    if (up) {
        // The truncated display size may pass the zoomed image by a pixel.
        src = IntersectRect(src, frame);
        shown = Shift(src, -offX, -offY);
    }
    if (RectEmpty(shown)) {
        // The image lies wholly outside the view: nothing to read, render or show.
        EmptyAtCorner(view);
        return;
    }

    Rect area = src;
    if (up) {
        area = Rect{Trunc(float(src.top) / z) - kScaleBorder, Trunc(float(src.left) / z) - kScaleBorder,
                    Trunc(float(src.bottom) / z) + kScaleBorder, Trunc(float(src.right) / z) + kScaleBorder};
        area = IntersectRect(area, img);
    }

    Rect renderArea = area;
    Rect readArea = area;
    std::vector<LayerRequest> entries;
    if (!showOriginal) {
        if (!renderBuffer.HasData() || needsRender || !RectContains(renderBuffer.GetRect(), area))
            renderArea = IntersectRect(Grow(area, kCacheMargin), img);
        readArea = IntersectRect(host->MapInputRect(list, renderArea, img, entries), img);
    }

    ImageBuffer& inBuf = showOriginal && source > 0 ? altSourceBuffer : sourceBuffer;

    if (showOriginal)
        ClearExtraBuffers();
    else
        ReadExtraInputs(entries, img, s);

    if (!cacheValid || !RectContains(inBuf.GetRect(), readArea)) {
        const Rect r = IntersectRect(showOriginal ? readArea : Grow(readArea, kCacheMargin), img);
        inBuf.ReadSource(uint64_t(source), r, s);
        host->ReadPreviewSelection(maskBuffer, r, s);
        cacheValid = true;
    }

    if (!showOriginal) RenderBubble(area, renderArea, readArea, s);

    ImageBuffer* out = showOriginal ? &inBuf : &renderBuffer;
    ImageBuffer* mask = &maskBuffer;
    ImageBuffer noMask(host);
    if (up) {
        try {
            zoomBuffer.Reset();
            zoomMaskBuffer.Reset();
            ImageBuffer part(host);
            part.MakeView(*out, area);
            zoomBuffer.ScaleFrom(part, src, z);
            out = &zoomBuffer;
            if (maskBuffer.HasData()) {
                ImageBuffer maskPart(host);
                maskPart.MakeView(maskBuffer, area);
                zoomMaskBuffer.ScaleFrom(maskPart, src, z);
                mask = &zoomMaskBuffer;
            }
        } catch (...) {
            // Up-scaling is best effort; see below for what is shown without it.
        }
        // A buffer that was not up-scaled is in unzoomed coordinates: src does not address it.
        if (out != &zoomBuffer) {
            EmptyAtCorner(view);
            return;
        }
        if (mask != &zoomMaskBuffer) mask = &noMask;
    }

    host->DisplayPixels(view, src, shown, *out, *mask, platformContext);
}

void Viewer::ReadExtraInputs(const std::vector<LayerRequest>& entries, const Rect& img, float s) {
    if (!(cacheValid && extraBuffers.size() == entries.size())) {
        ClearExtraBuffers();
        extraBuffers.reserve(entries.size());
        extraKeys.reserve(entries.size());
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        while (extraBuffers.size() <= i) extraBuffers.emplace_back(host);
        while (extraKeys.size() <= i) extraKeys.push_back(0);
        const Rect r = IntersectRect(entries[i].rect, img);
        if (extraKeys[i] != entries[i].source) {
            extraBuffers[i].Reset();
            extraKeys[i] = entries[i].source;
        }
        if (!cacheValid || !RectContains(extraBuffers[i].GetRect(), r))
            extraBuffers[i].ReadSource(entries[i].source, IntersectRect(Grow(r, kCacheMargin), img), s);
    }
}

void Viewer::RenderBubble(const Rect& area, const Rect& renderArea, const Rect& readArea, float s) {
    altSourceBuffer.Reset();
    if (renderBuffer.HasData() && !needsRender && RectContains(renderBuffer.GetRect(), area)) {
        // The cache covers the view; its margin may still wait for rendering.
        if (marginPending && !RectContains(renderedRect, area)) RenderMargin();
        return;
    }

    if (RectEmpty(sourceBuffer.imageRect)) {
        sourceBuffer.ReadSource(0, readArea, s);
        host->ReadPreviewSelection(maskBuffer, readArea, s);
    }
    Parameters* list = HostList(parameters);
    ImageBuffer* extras = extraBuffers.empty() ? nullptr : extraBuffers.data();

    if (!renderBuffer.HasData() || needsRender) {
        const bool rendered = renderBuffer.HasData();
        // The same rectangle and layout as before: render over the old pixels, every one of
        // which the renderer writes, instead of allocating the cache again.
        const bool reuse = rendered && SameRect(renderBuffer.GetRect(), renderArea) &&
                           renderBuffer.map.imageMode == sourceBuffer.map.imageMode &&
                           renderBuffer.bits == sourceBuffer.bits && renderBuffer.channels == sourceBuffer.channels &&
                           renderBuffer.IsPlanar() == sourceBuffer.IsPlanar() &&
                           renderBuffer.extraAlpha == sourceBuffer.extraAlpha;
        if (reuse) {
            renderBuffer.imageRect = sourceBuffer.imageRect;
            renderBuffer.scale = sourceBuffer.scale;
        } else {
            renderBuffer.AllocateLike(sourceBuffer, renderArea);
        }
        marginPending = false;
        host->PrepareRender(list, sourceBuffer.imageRect);
        const Rect visible = IntersectRect(area, renderBuffer.GetRect());
        if (rendered && !RectContains(visible, renderBuffer.GetRect()) && !RectEmpty(visible)) {
            // A parameter change (a drag of a slider makes one per frame): the view first.
            RenderPart(visible);
            renderedRect = visible;
            marginPending = true;
        } else {
            host->RenderTile(list, sourceBuffer, renderBuffer, maskBuffer, extras);
        }
        needsRender = false;
        return;
    }

    // A pan past the cache: keep the overlap, render only what became uncovered.
    if (marginPending) RenderMargin();
    host->PrepareRender(list, sourceBuffer.imageRect);
    const Rect old = renderBuffer.GetRect();
    renderBuffer.MoveTo(renderArea);
    const Rect now = renderBuffer.GetRect();
    if (renderArea.top < old.top) RenderPart(Rect{now.top, now.left, old.top, now.right});
    if (renderArea.left < old.left) RenderPart(Rect{old.top, now.left, old.bottom, old.left});
    if (old.right < renderArea.right) RenderPart(Rect{old.top, old.right, old.bottom, now.right});
    if (old.bottom < renderArea.bottom) RenderPart(Rect{old.bottom, now.left, now.bottom, now.right});
}

void Viewer::RenderPart(const Rect& rect) {
    ImageBuffer view(host);
    view.MakeView(renderBuffer, rect);
    if (!view.HasData()) return;
    ImageBuffer* extras = extraBuffers.empty() ? nullptr : extraBuffers.data();
    host->RenderTile(HostList(parameters), sourceBuffer, view, maskBuffer, extras);
}

void Viewer::RenderMargin() {
    host->PrepareRender(HostList(parameters), sourceBuffer.imageRect);
    const Rect all = renderBuffer.GetRect();
    const Rect done = IntersectRect(renderedRect, all);
    if (RectEmpty(done)) {
        RenderPart(all);
    } else {
        RenderPart(Rect{all.top, all.left, done.top, all.right});
        RenderPart(Rect{done.top, all.left, done.bottom, done.left});
        RenderPart(Rect{done.top, done.right, done.bottom, all.right});
        RenderPart(Rect{done.bottom, all.left, all.bottom, all.right});
    }
    marginPending = false;
}

}  // namespace Corvantis::Host::PS
