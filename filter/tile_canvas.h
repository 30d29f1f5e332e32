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
struct TextLine;
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
    TileCanvas(int width, int height) : width(width), height(height) {}
    virtual ~TileCanvas() = default;
    int Width() const { return width; }
    int Height() const { return height; }
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
    // Throws when a call on the context failed since it was made, which the toolkit does not
    // report (the call just draws nothing): out of memory as std::bad_alloc, any other failure
    // as an error that names it.
    void ThrowIfDrawingFailed();
    // Completes the drawing and gives back its pixels as the toolkit's bitmap conversion does,
    // in rows of the canvas's width. With `only`, just the pixels inside those areas need be
    // given (the others are left as they are). The context must not be used afterwards. Throws
    // as ThrowIfDrawingFailed does.
    virtual void Finish(StraightPixels& out, const std::vector<Area>* only = nullptr) = 0;

protected:
    const int width, height;
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
// does (a long line as those of its pieces that reach the canvas), keeping what can serve
// every canvas of a call: on GTK each line's shaped layouts, so that a line crossing many tiles
// is shaped once.
class TextLineDrawer {
public:
    TextLineDrawer();
    ~TextLineDrawer();
    TextLineDrawer(TextLineDrawer&&) noexcept;
    TextLineDrawer& operator=(TextLineDrawer&&) noexcept;
    // Line `index` (the same line for the same index every time), placed in frame coordinates,
    // on the canvas whose top-left pixel is (originLeft, originTop) of the frame.
    void Draw(TileCanvas& canvas, std::size_t index, const TextLine& line, const wxFont& font, const wxColour& colour,
              double originLeft, double originTop);
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
