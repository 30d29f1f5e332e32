// Number text conversions that follow the C locale whatever locale the process
// runs in, so that a toolkit switching the decimal separator to a comma cannot
// change what presets and registry values say.
#pragma once

#include <cstdint>
#include <string>

namespace Corvantis {
namespace Host {
namespace Param {
namespace CNumbers {

// As atoi: leading whitespace, an optional sign, then digits; anything else ends
// the number and no digits give 0. Numbers beyond 32 bits saturate.
std::int32_t ToInt32(const char* text);
// As atof / strtod: decimal, exponent, hexadecimal, inf and nan forms; no number gives 0.0.
double ToDouble(const char* text);
// As printf "%f".
std::string FormatFixed(double value);
// As printf "%.17g": the shortest form that gives the same double back, whatever the double.
std::string FormatExact(double value);
// As sscanf with "%lf %lf %lf"; true only when all three numbers were converted. ends[i] is
// where the i-th number's text ends.
bool ScanThreeDoubles(const char* text, double (&numbers)[3], int (&ends)[3]);

}  // namespace CNumbers
}  // namespace Param
}  // namespace Host
}  // namespace Corvantis
