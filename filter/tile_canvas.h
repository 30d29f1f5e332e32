// The transparent surface a part of a tile is drawn on, and the straight-colour pixels it gives
// back for compositing. Two kinds: the toolkit's own bitmap and memory device context (works
// with every renderer, on every platform), and on GTK a cairo image surface drawn through the
// same cairo renderer, which skips the toolkit's bitmap round trip. Both give the same pixels.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

class wxColour;
class wxDC;
class wxFont;
class wxString;
class wxGraphicsContext;
class wxImage;

// Straight (not premultiplied) colour: packed RGB rows and a plane of alpha bytes.
struct StraightPixels {
    std::vector<unsigned char> rgb;
    std::vector<unsigned char> alpha;
};

class TileCanvas {
public:
    virtual ~TileCanvas() = default;
    // The context to draw on, set up for grid-fitted antialiased text; pixel (0, 0) is the
    // canvas's top-left pixel.
    virtual wxGraphicsContext& Context() = 0;
    // Covers the canvas's width x height pixels with an opaque colour, as a filled shape
    // covering them would.
    void FillOpaque(int width, int height, unsigned char red, unsigned char green, unsigned char blue);
    // A rectangle of canvas pixels, right and bottom excluded.
    struct Area {
        int left, top, right, bottom;
    };
    // Completes the drawing and gives back its pixels as the toolkit's bitmap conversion does,
    // in rows of the canvas's width. With `only`, just the pixels inside those areas need be
    // given (the others are left as they are). The context must not be used afterwards.
    virtual void Finish(StraightPixels& out, const std::vector<Area>* only = nullptr) = 0;
};

// The toolkit's bitmap, memory device context and default renderer; `dc` is the device context
// the context draws through (the rectangle's text margin is asked of it).
class BitmapCanvas : public TileCanvas {
public:
    BitmapCanvas(int width, int height);
    ~BitmapCanvas() override;
    wxGraphicsContext& Context() override;
    void Finish(StraightPixels& out, const std::vector<Area>* only = nullptr) override;
    // The drawing as the toolkit's image (straight colour with alpha).
    wxImage FinishImage();
    wxDC& DeviceContext();

private:
    struct Parts;
    std::unique_ptr<Parts> parts;
};

// Draws lines of text on canvases with one font and colour, exactly as the context's DrawText
// does, keeping what can serve every canvas of a call: on GTK each line's shaped layout, so
// that a line crossing many tiles is shaped once.
class TextLineDrawer {
public:
    TextLineDrawer();
    ~TextLineDrawer();
    TextLineDrawer(TextLineDrawer&&) noexcept;
    TextLineDrawer& operator=(TextLineDrawer&&) noexcept;
    // Line `index` (the same text for the same index every time) at (x, y) of the canvas.
    void Draw(TileCanvas& canvas, std::size_t index, const wxString& text, const wxFont& font,
              const wxColour& colour, double x, double y);
    // Forgets every kept line.
    void Clear();

private:
    struct Kept;
    std::unique_ptr<Kept> kept;
};

// The fastest canvas this platform offers for width x height pixels. `memory`, when given, may
// serve as its pixels (cleared first) and must outlive the canvas: canvases drawn one after
// another then reuse one allocation.
std::unique_ptr<TileCanvas> MakeTileCanvas(int width, int height, std::vector<unsigned char>* memory = nullptr);
