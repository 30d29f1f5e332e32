#include "ui/numeric_entry.h"

#include "param/parameter.h"
#include "ui/param_validator.h"

#include <wx/intl.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>

wxString FloatFormat = "%.2f";

namespace Corvantis::Host::Param {

bool NearlyEqual(double a, double b) {
    return std::fabs(a - b) <= std::max(std::fabs(a), std::fabs(b)) * DBL_EPSILON;
}

bool NearlyEqual(float a, float b) {
    return std::fabs(a - b) <= std::max(std::fabs(a), std::fabs(b)) * FLT_EPSILON;
}

double SliderStepFor(double sliderMin, double sliderMax) {
    const double top = std::fabs(sliderMax);
    double step = 1.0;
    if (top < 0.01) {
        step = (sliderMax - sliderMin) / 100.0;
    } else if (top < 100.0) {
        while (step * 100.0 > top) step /= 10.0;
    }
    // A degenerate range would make every position divide by zero.
    if (!std::isfinite(step) || step <= 0.0) step = 1.0;
    return step;
}

int SliderPositionOf(double value, double step) {
    if (!(step > 0.0)) step = 1.0;
    const double quotient = value / step;
    if (!std::isfinite(quotient)) return 0;
    const double whole = std::round(quotient);
    double position = std::fabs(quotient - whole) <= 1e-9 * std::max(1.0, std::fabs(quotient)) ? whole
                                                                                               : std::trunc(quotient);
    position = std::clamp(position, double(INT_MIN), double(INT_MAX));
    return static_cast<int>(position);
}

bool CheckNumericEntry(ParamValidator& validator, Parameter& param, const wxString& text, wxString& message,
                       bool report) {
    const bool isFloat = param.type == ParameterType::Float;
    if (!isFloat && param.type != ParameterType::Integer && param.type != ParameterType::Enumerated) return false;

    const wxString name = wxGetTranslation(wxString::FromUTF8(param.name.c_str()));
    const bool own = &param == validator.GetParameter();
    bool rewrite = false;

    if (isFloat) {
        const double low = param.acceptedMin.GetFloat();
        const double high = param.acceptedMax.GetFloat();
        double number = 0;
        // Not-a-number and infinities are no entry either.
        if (!text.ToDouble(&number) || !std::isfinite(number)) {
            if (!report) return false;
            message = wxString::Format(
                wxGetTranslation("\"%s\": Invalid numeric entry.  A number between %.2f and %.2f is required.  "
                                 "Default value inserted."),
                name, low, high);
            number = param.defaultValue.GetFloat();
            rewrite = true;
        }
        double c = low > number ? low : number;
        if (c > high) c = high;
        if (c != number) {
            if (!report) return false;
            message = wxString::Format(
                wxGetTranslation("\"%s\": A number between %.2f and %.2f is required.  Closest value inserted."), name,
                low, high);
            rewrite = true;
        }
        const double current = param.value.GetFloat();
        double shown = 0;
        if (wxString::Format(FloatFormat, current).ToDouble(&shown) && !NearlyEqual(shown, c) &&
            !NearlyEqual(current, c)) {
            if (own) validator.BeginEdit();
            param.value.SetFloat(c);
        }
        if (rewrite) validator.SetText(wxString::Format(FloatFormat, param.value.GetFloat()));
        return true;
    }

    const long low = param.acceptedMin.GetInteger();
    const long high = param.acceptedMax.GetInteger();
    long number = 0;
    if (!text.ToLong(&number, 10)) {
        if (!report) return false;
        message = wxString::Format(
            wxGetTranslation("\"%s\": Invalid numeric entry.  A number between %d and %d is required.  "
                             "Default value inserted."),
            name, int(low), int(high));
        number = param.defaultValue.GetInteger();
        rewrite = true;
    }
    long c = low > number ? low : number;
    if (c > high) c = high;
    if (c != number) {
        if (!report) return false;
        message = wxString::Format(
            wxGetTranslation("\"%s\": A number between %d and %d is required.  Closest value inserted."), name,
            int(low), int(high));
        rewrite = true;
    }
    if (param.value.GetInteger() != c) {
        if (own) validator.BeginEdit();
        param.value.SetInteger(static_cast<int32_t>(c));
    }
    if (rewrite) validator.SetText(wxString::Format("%d", param.value.GetInteger()));
    return true;
}

}  // namespace Corvantis::Host::Param
