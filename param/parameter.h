// One typed, named setting of the filter and the value block it is made of.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Corvantis {
namespace Host {
namespace Param {

// A four-character code held with its first character in the most significant byte.
constexpr std::uint32_t FourCharCode(const char (&s)[5]) {
    return (std::uint32_t(static_cast<unsigned char>(s[0])) << 24) |
           (std::uint32_t(static_cast<unsigned char>(s[1])) << 16) |
           (std::uint32_t(static_cast<unsigned char>(s[2])) << 8) |
           std::uint32_t(static_cast<unsigned char>(s[3]));
}

// Type codes. The field that holds them may carry any 32-bit number; code that
// reads or writes values handles these six and ignores every other code.
enum class ParameterType : std::uint32_t {
    Integer = 0,
    Float = 1,
    Boolean = 2,
    Text = 3,
    Enumerated = 4,
    Color = 5,
};

// Bits of Parameter::flags.
struct ParameterFlags {
    static constexpr std::uint32_t UnitPercent = 0x1;
    static constexpr std::uint32_t UnitAngle = 0x2;
    static constexpr std::uint32_t UnitPixels = 0x4;
    static constexpr std::uint32_t UnitPixelsAlt = 0x8;
    // Left out of preset files; the registry store writes it all the same.
    static constexpr std::uint32_t NoPreset = 0x10;
    static constexpr std::uint32_t ScriptScaled = 0x1000000;
    static constexpr std::uint32_t ScriptColor255 = 0x2000000;
    static constexpr std::uint32_t ScriptColor32768 = 0x4000000;
    static constexpr std::uint32_t RegistryScaled = 0x8000000;
    static constexpr std::uint32_t RegistryColor255 = 0x10000000;
    static constexpr std::uint32_t RegistryColor32768 = 0x20000000;
};

struct Rgb {
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
};

// One value: a 24-byte payload followed by a text. The payload is copied byte for
// byte into the host's parameters handle, so its layout is a stored format: the
// 32-bit integer (or enumeration index), the double or the boolean byte at offset
// 0, a colour as three consecutive doubles red, green, blue. Bytes a type does not
// use carry no meaning; they start out as zero.
struct ParameterValue {
    static constexpr std::size_t kPayloadSize = 24;

    alignas(8) unsigned char payload[kPayloadSize] = {};
    std::string text;

    std::int32_t GetInteger() const;
    void SetInteger(std::int32_t v);
    double GetFloat() const;
    void SetFloat(double v);
    // Any non-zero byte reads as true; true is stored as 1.
    bool GetBoolean() const;
    void SetBoolean(bool v);
    Rgb GetColor() const;
    void SetColor(const Rgb& c);
    void SetColor(double red, double green, double blue);

    // Payload bytes and text both equal.
    bool operator==(const ParameterValue& other) const;
    bool operator!=(const ParameterValue& other) const { return !(*this == other); }
};

static_assert(sizeof(ParameterValue::payload) == 24, "the payload is a stored format of 24 bytes");
static_assert(alignof(ParameterValue) >= alignof(double), "the payload holds doubles");

class Parameter {
public:
    ParameterType type = ParameterType::Enumerated;
    std::string name;
    std::uint32_t key = 0;
    std::uint32_t enumType = 0;
    std::vector<std::uint32_t> enumKeys;
    std::vector<std::string> enumNames;
    ParameterValue value;
    ParameterValue defaultValue;
    ParameterValue sliderMin;
    ParameterValue sliderMax;
    ParameterValue acceptedMin;
    ParameterValue acceptedMax;
    std::uint32_t flags = 0;
    double scale = 1.0;

    // An empty enumerated record, as the fill value of a list.
    Parameter() = default;

    // Float whose slider and accepted ranges coincide.
    Parameter(const std::string& name, std::uint32_t key, double defaultVal, std::uint32_t flags, double min,
              double max);
    // Float with separate slider and accepted ranges.
    Parameter(const std::string& name, std::uint32_t key, double defaultVal, std::uint32_t flags,
              double sliderMin, double sliderMax, double acceptedMin, double acceptedMax);
    // Boolean; both ranges are false..true.
    Parameter(const std::string& name, std::uint32_t key, bool defaultVal, std::uint32_t flags);
    // Text; all six value blocks hold the default text.
    Parameter(const std::string& name, std::uint32_t key, const std::string& defaultVal, std::uint32_t flags);
    // Keeps a string literal from choosing the Boolean constructor.
    Parameter(const std::string& name, std::uint32_t key, const char* defaultVal, std::uint32_t flags);
    // Colour; note the components come before the flags. All six blocks hold it.
    Parameter(const std::string& name, std::uint32_t key, double red, double green, double blue,
              std::uint32_t flags);
    // Integer; both ranges are min..max.
    Parameter(const std::string& name, std::uint32_t key, std::int32_t defaultVal, std::uint32_t flags,
              std::int32_t min, std::int32_t max);

    // An enumerated record without values yet: index 0 everywhere, flags 0.
    static Parameter MakeEnumerated(const std::string& name, std::uint32_t key, std::uint32_t enumType);
    // Appends one enumeration value and moves both maxima to the last index.
    void AddEnumValue(std::uint32_t code, const std::string& label);

    // Code of the current enumeration index; 0 when the index is outside the list.
    std::uint32_t GetEnumValue() const;
    // Selects the first enumeration value with this code; an unknown code changes nothing.
    void SetEnumValue(std::uint32_t code);

    // Guards the module against a value that came from outside (the parameters handle, a
    // scripting descriptor, the descriptor registry, a preset): a float or colour that is not a
    // finite number, or an enumeration index that names no value of the list, takes `previous`
    // back, and a boolean is stored as 0 or 1. Everything else is taken as given, within the
    // accepted range or not: the drawing copes with any finite value.
    void KeepUsable(const ParameterValue& previous);

    bool operator==(const Parameter& other) const;
    bool operator!=(const Parameter& other) const { return !(*this == other); }

private:
    Parameter(ParameterType type, const std::string& name, std::uint32_t key, std::uint32_t flags);
};

}  // namespace Param
}  // namespace Host
}  // namespace Corvantis
