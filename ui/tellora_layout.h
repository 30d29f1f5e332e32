// The controls of the Tellora dialog: their window ids, the function that creates them with
// their sizers, and the dialog's bitmaps.
#pragma once
#include <wx/bitmap.h>

#include <cstddef>

class wxSizer;
class wxWindow;

// Window ids of the dialog's controls. All labels share one id.
enum TelloraControlId : int {
    kIdPreview = 10000,
    kIdPresetList = 10001,
    kIdSavePreset = 10002,
    kIdApplyPreset = 10003,
    kIdZoomOut = 10004,
    kIdZoomText = 10005,
    kIdZoomIn = 10006,
    kIdBoundingBox = 10007,
    kIdShape = 10008,
    kIdLabel = 10009,
    kIdWidthText = 10010,
    kIdWidthSlider = 10011,
    kIdIndicatorWidthText = 10012,
    kIdIndicatorWidthSlider = 10013,
    kIdHeightText = 10014,
    kIdHeightSlider = 10015,
    kIdText = 10016,
    kIdFont = 10017,
    kIdFillColor = 10018,
    kIdEdgeColor = 10019,
    kIdEdgeThicknessText = 10020,
    kIdEdgeThicknessSlider = 10021,
    kIdIndicatorThicknessText = 10022,
    kIdIndicatorThicknessSlider = 10023,
};

// Creates every control of the dialog as a child of `parent` and every sizer; returns the root
// sizer. With `setSizer` the root sizer is installed on the parent, and then with `fit` the
// parent's size hints are taken from it.
wxSizer* TelloraDialogFunc(wxWindow* parent, bool fit, bool setSizer);

// Index 0: the solid black 16 x 15 swatch bitmap of the colour buttons; any other index: none.
wxBitmap TelloraBitmapsFunc(std::size_t index);
