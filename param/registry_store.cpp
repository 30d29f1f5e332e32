// The registry copy of the last-used values: one key per parameter under
// HKEY_CURRENT_USER, the value in the key's unnamed value.
#include <cmath>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "param/c_numbers.h"
#include "param/parameters.h"
#include "win32/registry.h"

namespace Corvantis {
namespace Host {
namespace Param {

namespace {

// Closes a key on every way out of the scope.
class KeyScope {
public:
    explicit KeyScope(HKEY key) : key_(key) {}
    ~KeyScope() { RegCloseKey(key_); }
    KeyScope(const KeyScope&) = delete;
    KeyScope& operator=(const KeyScope&) = delete;

private:
    HKEY key_;
};

// Texts of numbers are short; longer values are not ours and are left alone.
constexpr DWORD kMaxNumberText = 255;

LONG SetDword(HKEY key, DWORD v) {
    return RegSetValueExA(key, nullptr, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
}

LONG SetString(HKEY key, const std::string& s) {
    if (s.size() >= kTelloraRegistryMaxValueSize)
        return ERROR_INVALID_PARAMETER;
    // The terminating NUL is part of the stored size.
    return RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(s.c_str()),
                          static_cast<DWORD>(s.size() + 1));
}

// Reads a DWORD value; false when the read failed. `usable` is false when the
// value changed under us into something else.
bool ReadDword(HKEY key, DWORD& out, bool& usable) {
    DWORD type = REG_NONE, size = sizeof out;
    if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(&out), &size) != ERROR_SUCCESS)
        return false;
    usable = type == REG_DWORD && size == sizeof out;
    return true;
}

// Reads a short REG_SZ value into `buf` (kMaxNumberText + 1 bytes) and ends it at
// the size read.
bool ReadNumberText(HKEY key, char* buf, bool& usable) {
    DWORD type = REG_NONE, size = kMaxNumberText;
    if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS)
        return false;
    buf[size] = '\0';
    usable = type == REG_SZ;
    return true;
}

// A colour component as read back from its text. Entries written before held each component
// with six decimals ("%f"), and the text of k/255 reads back a little below it about half the
// time, so that the channel byte drew as k - 1: such a text is read as the k/255 it stands for.
double ColourComponent(double v, const char* begin, const char* end) {
    while (begin < end && (*begin == ' ' || (*begin >= '\t' && *begin <= '\r')))
        ++begin;
    const double k = std::round(v * 255.0);
    if (!(k >= 0.0 && k <= 255.0))
        return v;
    return CNumbers::FormatFixed(k / 255.0) == std::string(begin, end) ? k / 255.0 : v;
}

template <typename T>
T Clamp(T v, T lo, T hi) {
    if (v < lo)
        v = lo;
    if (hi < v)
        v = hi;
    return v;
}

}  // namespace

bool Parameters::SaveToRegistry(const std::string& prefix) const {
    for (const Parameter& p : parameters) {
        const std::string path = prefix + p.name;
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS &&
            RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            return false;
        KeyScope scope(key);
        LONG rc = ERROR_SUCCESS;
        switch (p.type) {
        case ParameterType::Integer:
        case ParameterType::Enumerated:
            rc = SetDword(key, static_cast<DWORD>(p.value.GetInteger()));
            break;
        case ParameterType::Boolean:
            rc = SetDword(key, p.value.GetBoolean() ? 1 : 0);
            break;
        case ParameterType::Float:
            rc = SetString(key, CNumbers::FormatFixed(p.value.GetFloat()));
            break;
        case ParameterType::Text:
            rc = SetString(key, p.value.text);
            break;
        case ParameterType::Color: {
            const Rgb c = p.value.GetColor();
            // Every digit the double needs, so that a colour comes back as it was chosen.
            rc = SetString(key, CNumbers::FormatExact(c.red) + " " + CNumbers::FormatExact(c.green) + " " +
                                    CNumbers::FormatExact(c.blue));
            break;
        }
        }
        if (rc != ERROR_SUCCESS)
            return false;
    }
    return true;
}

bool Parameters::LoadFromRegistry(const std::string& prefix) {
    for (Parameter& p : parameters) {
        const std::string path = prefix + p.name;
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            continue;
        KeyScope scope(key);
        DWORD type = REG_NONE, size = 0;
        if (RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            continue;

        bool readOk = true;
        bool usable = false;
        switch (p.type) {
        case ParameterType::Integer:
        case ParameterType::Enumerated:
            if (type == REG_DWORD && size == 4) {
                DWORD d = 0;
                readOk = ReadDword(key, d, usable);
                if (readOk && usable)
                    p.value.SetInteger(Clamp(static_cast<std::int32_t>(d), p.acceptedMin.GetInteger(),
                                             p.acceptedMax.GetInteger()));
            }
            break;
        case ParameterType::Boolean:
            if (type == REG_DWORD && size == 4) {
                DWORD d = 0;
                readOk = ReadDword(key, d, usable);
                if (readOk && usable)
                    p.value.SetBoolean(d != 0);
            }
            break;
        case ParameterType::Float:
            if (type == REG_SZ && size >= 1 && size <= kMaxNumberText) {
                char buf[kMaxNumberText + 1];
                readOk = ReadNumberText(key, buf, usable);
                const double v = readOk && usable ? CNumbers::ToDouble(buf) : 0.0;
                // Infinity or not a number is no stored value; the value stays as it was.
                if (readOk && usable && std::isfinite(v))
                    p.value.SetFloat(Clamp(v, p.acceptedMin.GetFloat(), p.acceptedMax.GetFloat()));
            }
            break;
        case ParameterType::Text:
            if (type == REG_SZ && size >= 1) {
                try {
                    std::vector<char> buf(static_cast<std::size_t>(size) + 1, '\0');
                    DWORD got = size, gotType = REG_NONE;
                    if (RegQueryValueExA(key, nullptr, nullptr, &gotType, reinterpret_cast<BYTE*>(buf.data()),
                                         &got) != ERROR_SUCCESS) {
                        readOk = false;
                    } else if (gotType == REG_SZ) {
                        buf[got] = '\0';
                        p.value.text.assign(buf.data());
                    }
                } catch (const std::exception&) {
                    // Out of memory for this text: keep the old one and go on.
                }
            }
            break;
        case ParameterType::Color:
            if (type == REG_SZ && size >= 1 && size <= kMaxNumberText) {
                char buf[kMaxNumberText + 1];
                readOk = ReadNumberText(key, buf, usable);
                double rgb[3];
                int ends[3];
                if (readOk && usable && CNumbers::ScanThreeDoubles(buf, rgb, ends) && std::isfinite(rgb[0]) &&
                    std::isfinite(rgb[1]) && std::isfinite(rgb[2]))
                    p.value.SetColor(ColourComponent(rgb[0], buf, buf + ends[0]),
                                     ColourComponent(rgb[1], buf + ends[0], buf + ends[1]),
                                     ColourComponent(rgb[2], buf + ends[1], buf + ends[2]));
            }
            break;
        }
        if (!readOk)
            return false;
    }
    return true;
}

}  // namespace Param
}  // namespace Host
}  // namespace Corvantis
