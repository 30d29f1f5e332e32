// Blending of a drawn bubble tile over the source pixels into the destination, for one to four
// interleaved planes of 8-bit, 16-bit (0..32768) or float (0..1) samples. The compositors work
// on raw rows so that any buffer that can name its first sample and its strides can use them.
#pragma once

#include <cstddef>
#include <cstdint>

// The drawn tile as the toolkit hands it back: packed rows of RGB triples and a separate plane
// of alpha bytes (0 untouched, 255 fully covered), straight colour. Null pixels stand for a tile
// on which nothing was drawn: every pixel then blends as alpha 0.
struct BubblePixels {
    const unsigned char* rgb = nullptr;
    const unsigned char* alpha = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool sameRows = false;  // rgb and alpha hold one row that every row repeats
    std::int32_t stride = 0;  // pixels from one row to the next; 0: the width
};

// Samples seen from the tile's top-left pixel: plane p of the pixel at column c and row r starts
// at data + r * rowBytes + c * columnBytes + p * planeBytes. Interleaved rows have planeBytes
// equal to the sample size; 0 means the same.
struct SourcePixels {
    const unsigned char* data = nullptr;
    std::ptrdiff_t rowBytes = 0;
    std::ptrdiff_t columnBytes = 0;
    std::ptrdiff_t planeBytes = 0;
};
struct DestinationPixels {
    unsigned char* data = nullptr;
    std::ptrdiff_t rowBytes = 0;
    std::ptrdiff_t columnBytes = 0;
    std::ptrdiff_t planeBytes = 0;
};

// Colour planes take (C * a + source * (255 - a)) / 255 with C the bubble's colour at the depth;
// the transparency plane (the last of RGBA and gray+alpha) takes (source * (255 - a) + a * max) / 255.
// Gray documents receive the integer average of red, green and blue.
void CompositeRGBA8(const SourcePixels& source, const DestinationPixels& destination, const BubblePixels& bubble);
void CompositeRGB8(const SourcePixels& source, const DestinationPixels& destination, const BubblePixels& bubble);
void CompositeGrayAlpha8(const SourcePixels& source, const DestinationPixels& destination,
                         const BubblePixels& bubble);
void CompositeGray8(const SourcePixels& source, const DestinationPixels& destination, const BubblePixels& bubble);
void CompositeRGBA16(const SourcePixels& source, const DestinationPixels& destination, const BubblePixels& bubble);
void CompositeRGB16(const SourcePixels& source, const DestinationPixels& destination, const BubblePixels& bubble);
void CompositeGrayAlpha16(const SourcePixels& source, const DestinationPixels& destination,
                          const BubblePixels& bubble);
void CompositeGray16(const SourcePixels& source, const DestinationPixels& destination, const BubblePixels& bubble);
void CompositeRGBA32F(const SourcePixels& source, const DestinationPixels& destination,
                      const BubblePixels& bubble);
void CompositeRGB32F(const SourcePixels& source, const DestinationPixels& destination, const BubblePixels& bubble);
void CompositeGrayAlpha32F(const SourcePixels& source, const DestinationPixels& destination,
                           const BubblePixels& bubble);
void CompositeGray32F(const SourcePixels& source, const DestinationPixels& destination,
                      const BubblePixels& bubble);

// Whether a destination of this many interleaved planes and bits per sample has a compositor.
bool HasCompositor(int channels, int bits);

// Runs the compositor for the destination's planes (4, 3, 2, 1) and depth (8, 16, 32). Any other
// combination writes nothing and answers false.
bool CompositeBubble(int channels, int bits, const SourcePixels& source, const DestinationPixels& destination,
                     const BubblePixels& bubble);

// Copies the samples of channels planes at bits from source to destination over width x height
// pixels: what every compositor gives at 8 and 16 bits where the bubble covers nothing.
void CopyUncovered(int channels, int bits, const SourcePixels& source, const DestinationPixels& destination,
                   std::int32_t width, std::int32_t height);
