// How a graphics context renders text, set on its native graphics object. On this platform the
// native object is a cairo context and each hint becomes the nearest cairo font options.
#pragma once

enum TextRenderingHint {
    TextRenderingHintSystemDefault = 0,
    TextRenderingHintSingleBitPerPixelGridFit = 1,
    TextRenderingHintSingleBitPerPixel = 2,
    TextRenderingHintAntiAliasGridFit = 3,
    TextRenderingHintAntiAlias = 4,
    // Sub-pixel colour cannot be kept in a bitmap with alpha: rendered as grey antialiasing,
    // grid-fitted (full hinting, hinted metrics).
    TextRenderingHintClearTypeGridFit = 5,
};

// Answers 0 when the hint is set; non-zero when there is no native context or the hint is unknown.
int SetTextRenderingHint(void* nativeGraphics, TextRenderingHint hint);
