// Set by the plug-in before its dialog opens when the document is grayscale; the colour
// buttons then show their colours as grey. Defined with the plug-in class.
#pragma once

extern bool GrayscaleMode;
