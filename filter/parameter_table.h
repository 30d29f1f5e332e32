// The speech-bubble filter's 21 parameters. A parameter's position in this table
// is its index everywhere (drawing, dialog bindings, the host's parameters handle).
#pragma once

#include <cstddef>

#include "param/ps_parameters.h"

// Indices of the table's records.
enum TelloraParameterIndex : std::size_t {
    kParamShape = 0,
    kParamEllipseWidth,
    kParamEllipseHeight,
    kParamIndicatorWidth,
    kParamEdgeThickness,
    kParamIndicatorThickness,
    kParamFillColor,
    kParamEdgeColor,
    kParamText,
    kParamTextColor,
    kParamXPosition,
    kParamYPosition,
    kParamXIndicatorPosition,
    kParamYIndicatorPosition,
    kParamBoundingBox,
    kParamFontSize,
    kParamFontFacename,
    kParamFontFamily,
    kParamFontStyle,
    kParamFontWeight,
    kParamFontUnderline,
    kTelloraParameterCount
};

// Appends the 21 records, in table order, to the list's records; touches nothing else.
void AppendTelloraParameters(Corvantis::Host::PS::Parameters& params);
