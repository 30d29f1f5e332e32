#include "hostsim/script_settings.h"

#include "hostsim/descriptor_text.h"
#include "hostsim/host_error.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace hostsim {

namespace {

constexpr uint32 kTypeColor = FourCC("Clr ");
constexpr uint32 kClassRGBColor = FourCC("RGBC");
constexpr uint32 kKeyRed = FourCC("Rd  ");
constexpr uint32 kKeyGreen = FourCC("Grn ");
constexpr uint32 kKeyBlue = FourCC("Bl  ");

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool ParseDouble(const std::string& text, double& out) {
    if (text.empty()) return false;
    const char* first = text.data();
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') ++first;
    const auto r = std::from_chars(first, text.data() + text.size(), out);
    return r.ec == std::errc() && r.ptr == text.data() + text.size() && std::isfinite(out);
}

bool ParseWhole(const std::string& text, long long& out) {
    if (text.empty()) return false;
    const char* first = text.data();
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') ++first;
    const auto r = std::from_chars(first, text.data() + text.size(), out);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

uint32 CodeOf(const std::string& text) {
    return (uint32(uint8(text[0])) << 24) | (uint32(uint8(text[1])) << 16) | (uint32(uint8(text[2])) << 8) |
           uint32(uint8(text[3]));
}

[[noreturn]] void Bad(const TerminologyParameter& p, const std::string& text, const std::string& what) {
    throw UsageError(p.name + ": '" + text + "' " + what);
}

DescriptorValue ParseNumber(const TerminologyParameter& p, const std::string& text) {
    struct Suffix {
        const char* text;
        uint32 unit;
    };
    static const Suffix suffixes[] = {{"%", unitPercent}, {"px", unitPixels}, {"deg", unitAngle}, {"pt", unitDistance}};
    for (const Suffix& s : suffixes) {
        const std::string suffix = s.text;
        if (text.size() > suffix.size() && Lower(text.substr(text.size() - suffix.size())) == suffix) {
            double v = 0;
            if (!ParseDouble(Trim(text.substr(0, text.size() - suffix.size())), v)) Bad(p, text, "is not a number");
            return DescriptorValue::UnitFloat(s.unit, v);
        }
    }
    double v = 0;
    if (!ParseDouble(text, v)) Bad(p, text, "is not a number (units: %, px, deg, pt)");
    return DescriptorValue::Float(v);
}

DescriptorValue ParseColor(const TerminologyParameter& p, const std::string& text) {
    double rgb[3] = {0, 0, 0};
    if (text.size() == 7 && text[0] == '#') {
        for (int i = 0; i < 3; ++i) {
            unsigned v = 0;
            const auto r = std::from_chars(text.data() + 1 + 2 * i, text.data() + 3 + 2 * i, v, 16);
            if (r.ec != std::errc() || r.ptr != text.data() + 3 + 2 * i) Bad(p, text, "is not a colour #RRGGBB");
            rgb[i] = v / 255.0;
        }
    } else {
        std::vector<std::string> parts;
        std::size_t start = 0;
        while (true) {
            const std::size_t comma = text.find(',', start);
            parts.push_back(Trim(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        if (parts.size() != 3) Bad(p, text, "is not a colour: give R,G,B (0-255, or 0-1 with a decimal point) or #RRGGBB");
        const bool fractions = text.find('.') != std::string::npos;
        for (int i = 0; i < 3; ++i) {
            if (fractions) {
                if (!ParseDouble(parts[i], rgb[i]) || rgb[i] < 0.0 || rgb[i] > 1.0)
                    Bad(p, text, "has a component that is not a fraction from 0 to 1");
            } else {
                long long v = 0;
                if (!ParseWhole(parts[i], v) || v < 0 || v > 255)
                    Bad(p, text, "has a component that is not a whole number from 0 to 255");
                rgb[i] = double(v) / 255.0;
            }
        }
    }
    Descriptor color;
    color.Put(kKeyRed, DescriptorValue::Float(rgb[0]));
    color.Put(kKeyGreen, DescriptorValue::Float(rgb[1]));
    color.Put(kKeyBlue, DescriptorValue::Float(rgb[2]));
    return DescriptorValue::Object(kClassRGBColor, std::move(color));
}

}  // namespace

const TerminologyEvent* ScriptingEvent(const Terminology& terminology, const Pipl& pipl) {
    if (pipl.terminology) {
        if (const TerminologyEvent* e = terminology.FindEvent(pipl.terminology->classId, pipl.terminology->eventId))
            return e;
    }
    for (const TerminologySuite& suite : terminology.suites) {
        if (!suite.events.empty()) return &suite.events.front();
    }
    return nullptr;
}

const TerminologyParameter* FindScriptParameter(const TerminologyEvent& event, const std::string& name) {
    for (const TerminologyParameter& p : event.parameters) {
        if (p.name == name) return &p;
    }
    const TerminologyParameter* folded = nullptr;
    int matches = 0;
    for (const TerminologyParameter& p : event.parameters) {
        if (Lower(p.name) == Lower(name)) {
            folded = &p;
            ++matches;
        }
    }
    if (matches == 1) return folded;
    if (name.size() == 4) {
        for (const TerminologyParameter& p : event.parameters) {
            if (p.key == CodeOf(name)) return &p;
        }
    }
    return nullptr;
}

DescriptorValue ParseSettingValue(const Terminology& terminology, const TerminologyParameter& p, const std::string& text) {
    if (const TerminologyEnumeration* e = terminology.FindEnumeration(p.type); e || p.enumerated()) {
        if (!e) throw UsageError(p.name + ": the terminology lacks its enumeration " + CodeText(p.type));
        for (const TerminologyEnumerator& v : e->values) {
            if (Lower(v.name) == Lower(text)) return DescriptorValue::Enumerated(e->id, v.code);
        }
        if (text.size() == 4) {
            for (const TerminologyEnumerator& v : e->values) {
                if (v.code == CodeOf(text)) return DescriptorValue::Enumerated(e->id, v.code);
            }
        }
        long long index = 0;
        if (ParseWhole(text, index) && index >= 0 && index < (long long)e->values.size())
            return DescriptorValue::Enumerated(e->id, e->values[std::size_t(index)].code);
        std::string names;
        for (const TerminologyEnumerator& v : e->values) names += (names.empty() ? "" : ", ") + v.name;
        Bad(p, text, "is not one of: " + names);
    }
    switch (p.type) {
        case typeFloat: return ParseNumber(p, text);
        case typeUnitFloat: return ParseNumber(p, text);
        case typeInteger: {
            long long v = 0;
            if (!ParseWhole(text, v)) Bad(p, text, "is not a whole number");
            if (v < std::numeric_limits<int32>::min() || v > std::numeric_limits<int32>::max()) Bad(p, text, "is out of range");
            return DescriptorValue::Integer(int32(v));
        }
        case typeBoolean: {
            const std::string b = Lower(text);
            if (b == "true" || b == "yes" || b == "on" || b == "1") return DescriptorValue::Boolean(true);
            if (b == "false" || b == "no" || b == "off" || b == "0") return DescriptorValue::Boolean(false);
            Bad(p, text, "is not true or false");
        }
        case typeChar: return DescriptorValue::Text(text);
        case kTypeColor:
        case kClassRGBColor: return ParseColor(p, text);
        default: throw UsageError(p.name + ": values of type " + CodeText(p.type) + " cannot be given on the command line");
    }
}

void ApplySettings(Descriptor& descriptor, const Terminology& terminology, const TerminologyEvent& event,
                   const Settings& settings) {
    for (const auto& [name, text] : settings) {
        const TerminologyParameter* p = FindScriptParameter(event, name);
        if (!p) {
            std::string names;
            for (const TerminologyParameter& q : event.parameters) names += (names.empty() ? "" : ", ") + q.name;
            throw UsageError("the filter has no parameter '" + name + "'; its parameters are: " + names);
        }
        descriptor.Put(p->key, ParseSettingValue(terminology, *p, text));
    }
}

std::string DescribeItem(const Terminology& terminology, const TerminologyEvent& event, DescriptorKeyID key,
                         const DescriptorValue& value) {
    const TerminologyParameter* p = nullptr;
    for (const TerminologyParameter& q : event.parameters) {
        if (q.key == key) p = &q;
    }
    if (!p) return {};
    if (value.type == typeEnumerated) {
        if (const TerminologyEnumeration* e = terminology.FindEnumeration(value.enumType)) {
            for (const TerminologyEnumerator& v : e->values) {
                if (v.code == value.enumValue) return p->name + " = " + v.name;
            }
        }
    }
    return p->name;
}

}  // namespace hostsim
