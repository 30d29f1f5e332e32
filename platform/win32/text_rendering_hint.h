// How a graphics context renders text, set on its native graphics object. On this platform the
// native object is a cairo context and each hint becomes the nearest cairo font options.
#pragma once

#ifdef _WIN32
// On Windows the native graphics object of a GDI+ context is a Gdiplus::Graphics, and the hint
// is its own.
#include "win32/windows_api.h"

// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
#include <gdiplus.h>

using Gdiplus::TextRenderingHint;
using Gdiplus::TextRenderingHintAntiAlias;
using Gdiplus::TextRenderingHintAntiAliasGridFit;
using Gdiplus::TextRenderingHintClearTypeGridFit;
using Gdiplus::TextRenderingHintSingleBitPerPixel;
using Gdiplus::TextRenderingHintSingleBitPerPixelGridFit;
using Gdiplus::TextRenderingHintSystemDefault;

// The GDI+ status: 0 (Ok) when the hint is set; 2 (InvalidParameter) without a graphics object.
inline int SetTextRenderingHint(void* nativeGraphics, TextRenderingHint hint) {
    if (!nativeGraphics) return Gdiplus::InvalidParameter;
    return static_cast<Gdiplus::Graphics*>(nativeGraphics)->SetTextRenderingHint(hint);
}
#else
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
#endif
