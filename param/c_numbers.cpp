#include "param/c_numbers.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include <locale.h>

namespace Corvantis {
namespace Host {
namespace Param {
namespace CNumbers {

namespace {

#ifdef _WIN32
// Windows has no uselocale: a per-thread locale switched to "C" for numbers does the same.
_locale_t CLocale() {
    static const _locale_t c = _create_locale(LC_ALL, "C");
    return c;
}

// Switches this thread's numeric formatting to the C locale for the scope's lifetime.
class CLocaleScope {
public:
    CLocaleScope() : previousMode_(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE)) {
        if (const char* current = std::setlocale(LC_NUMERIC, nullptr))
            previous_ = current;
        std::setlocale(LC_NUMERIC, "C");
    }
    ~CLocaleScope() {
        if (!previous_.empty())
            std::setlocale(LC_NUMERIC, previous_.c_str());
        if (previousMode_ > 0)
            _configthreadlocale(previousMode_);
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    int previousMode_;
    std::string previous_;
};
#else
locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

// Switches this thread to the C locale for the scope's lifetime.
class CLocaleScope {
public:
    CLocaleScope() : previous_(CLocale() ? uselocale(CLocale()) : static_cast<locale_t>(nullptr)) {}
    ~CLocaleScope() {
        if (previous_)
            uselocale(previous_);
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t previous_;
};

#endif

bool IsCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

std::int32_t ToInt32(const char* text) {
    const char* p = text;
    while (IsCSpace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    constexpr std::int64_t kLimit = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;
    std::int64_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (magnitude < kLimit)
            magnitude = magnitude * 10 + (*p - '0');
    }
    if (negative)
        return magnitude >= kLimit ? std::numeric_limits<std::int32_t>::min() : static_cast<std::int32_t>(-magnitude);
    return magnitude >= kLimit ? std::numeric_limits<std::int32_t>::max() : static_cast<std::int32_t>(magnitude);
}

double ToDouble(const char* text) {
#ifdef _WIN32
    if (const _locale_t c = CLocale())
        return _strtod_l(text, nullptr, c);
#else
    if (const locale_t c = CLocale())
        return strtod_l(text, nullptr, c);
#endif
    return std::strtod(text, nullptr);
}

namespace {

std::string Format(const char* format, double value) {
    CLocaleScope scope;
    char small[64];
    const int n = std::snprintf(small, sizeof small, format, value);
    if (n < 0)
        return std::string();
    if (static_cast<std::size_t>(n) < sizeof small)
        return std::string(small, static_cast<std::size_t>(n));
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(&out[0], out.size(), format, value);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

}  // namespace

std::string FormatFixed(double value) { return Format("%f", value); }

std::string FormatExact(double value) { return Format("%.17g", value); }

bool ScanThreeDoubles(const char* text, double (&numbers)[3], int (&ends)[3]) {
    CLocaleScope scope;
    ends[0] = ends[1] = ends[2] = -1;
    std::sscanf(text, "%lf%n %lf%n %lf%n", &numbers[0], &ends[0], &numbers[1], &ends[1], &numbers[2], &ends[2]);
    return ends[2] >= 0;
}

}  // namespace CNumbers
}  // namespace Param
}  // namespace Host
}  // namespace Corvantis
