// The rules of numeric entry shared by the validators and the viewer's zoom.
#pragma once
#include <wx/string.h>

namespace Corvantis::Host::Param {
class Parameter;
class ParamValidator;
}  // namespace Corvantis::Host::Param

// How the validators show floating-point values: "%.2f".
extern wxString FloatFormat;

namespace Corvantis::Host::Param {

// |a - b| <= max(|a|, |b|) x epsilon of the type.
bool NearlyEqual(double a, double b);
bool NearlyEqual(float a, float b);

// The value of one slider position of a Float parameter, from its slider maximum and minimum:
// (max - min) / 100 for |max| < 0.01, else the largest power of ten not above 1 for which
// step x 100 <= |max| (max 400 or 100: 1; 40 or 20: 0.1; 1: 0.01).
double SliderStepFor(double sliderMin, double sliderMax);

// The slider position showing `value` with `step`: truncated toward zero, except that a
// quotient within rounding noise of a whole number counts as that number (5.7 / 0.1 is 57,
// not 56).
int SliderPositionOf(double value, double step);

// Checks `text` as an entry for `param` (the validator's own record or a copy). Float,
// Integer and Enumerated only; other types give false.
// Without `report`, an entry that is not a number or lies outside the accepted range gives
// false and changes nothing. With it, such an entry is replaced by the default or the nearest
// limit, `message` explains, and the validator's field is rewritten. A valid value is stored
// when it differs from the current one; a store into the validator's own record opens an
// edit first (EVT_PARAM_BEGIN_CHANGE). A typed Float equal to the two-decimal display of the
// current value stores nothing.
bool CheckNumericEntry(ParamValidator& validator, Parameter& param, const wxString& text, wxString& message,
                       bool report);

}  // namespace Corvantis::Host::Param
