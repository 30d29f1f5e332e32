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

std::string FormatFixed(double value) {
    CLocaleScope scope;
    char small[64];
    const int n = std::snprintf(small, sizeof small, "%f", value);
    if (n < 0)
        return std::string();
    if (static_cast<std::size_t>(n) < sizeof small)
        return std::string(small, static_cast<std::size_t>(n));
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(&out[0], out.size(), "%f", value);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

bool ScanThreeFloats(const char* text, float& a, float& b, float& c) {
    CLocaleScope scope;
    return std::sscanf(text, "%f %f %f", &a, &b, &c) == 3;
}

}  // namespace CNumbers
}  // namespace Param
}  // namespace Host
}  // namespace Corvantis
