#include "param/parameter.h"

#include <cmath>
#include <cstring>

namespace Corvantis {
namespace Host {
namespace Param {

std::int32_t ParameterValue::GetInteger() const {
    std::int32_t v;
    std::memcpy(&v, payload, sizeof v);
    return v;
}

void ParameterValue::SetInteger(std::int32_t v) { std::memcpy(payload, &v, sizeof v); }

double ParameterValue::GetFloat() const {
    double v;
    std::memcpy(&v, payload, sizeof v);
    return v;
}

void ParameterValue::SetFloat(double v) { std::memcpy(payload, &v, sizeof v); }

bool ParameterValue::GetBoolean() const { return payload[0] != 0; }

void ParameterValue::SetBoolean(bool v) { payload[0] = v ? 1 : 0; }

Rgb ParameterValue::GetColor() const {
    double c[3];
    std::memcpy(c, payload, sizeof c);
    return Rgb{c[0], c[1], c[2]};
}

void ParameterValue::SetColor(const Rgb& c) { SetColor(c.red, c.green, c.blue); }

void ParameterValue::SetColor(double red, double green, double blue) {
    const double c[3] = {red, green, blue};
    std::memcpy(payload, c, sizeof c);
}

bool ParameterValue::operator==(const ParameterValue& other) const {
    return std::memcmp(payload, other.payload, kPayloadSize) == 0 && text == other.text;
}

Parameter::Parameter(ParameterType type_, const std::string& name_, std::uint32_t key_, std::uint32_t flags_)
    : type(type_), name(name_), key(key_), flags(flags_),
      scale((flags_ & ParameterFlags::ScriptScaled) ? 0.01 : 1.0) {}

Parameter::Parameter(const std::string& name_, std::uint32_t key_, double defaultVal, std::uint32_t flags_,
                     double min, double max)
    : Parameter(name_, key_, defaultVal, flags_, min, max, min, max) {}

Parameter::Parameter(const std::string& name_, std::uint32_t key_, double defaultVal, std::uint32_t flags_,
                     double sliderMin_, double sliderMax_, double acceptedMin_, double acceptedMax_)
    : Parameter(ParameterType::Float, name_, key_, flags_) {
    value.SetFloat(defaultVal);
    defaultValue.SetFloat(defaultVal);
    sliderMin.SetFloat(sliderMin_);
    sliderMax.SetFloat(sliderMax_);
    acceptedMin.SetFloat(acceptedMin_);
    acceptedMax.SetFloat(acceptedMax_);
}

Parameter::Parameter(const std::string& name_, std::uint32_t key_, bool defaultVal, std::uint32_t flags_)
    : Parameter(ParameterType::Boolean, name_, key_, flags_) {
    value.SetBoolean(defaultVal);
    defaultValue.SetBoolean(defaultVal);
    sliderMin.SetBoolean(false);
    acceptedMin.SetBoolean(false);
    sliderMax.SetBoolean(true);
    acceptedMax.SetBoolean(true);
}

Parameter::Parameter(const std::string& name_, std::uint32_t key_, const std::string& defaultVal,
                     std::uint32_t flags_)
    : Parameter(ParameterType::Text, name_, key_, flags_) {
    for (ParameterValue* v : {&value, &defaultValue, &sliderMin, &sliderMax, &acceptedMin, &acceptedMax})
        v->text = defaultVal;
}

Parameter::Parameter(const std::string& name_, std::uint32_t key_, const char* defaultVal, std::uint32_t flags_)
    : Parameter(name_, key_, std::string(defaultVal ? defaultVal : ""), flags_) {}

Parameter::Parameter(const std::string& name_, std::uint32_t key_, double red, double green, double blue,
                     std::uint32_t flags_)
    : Parameter(ParameterType::Color, name_, key_, flags_) {
    for (ParameterValue* v : {&value, &defaultValue, &sliderMin, &sliderMax, &acceptedMin, &acceptedMax})
        v->SetColor(red, green, blue);
}

Parameter::Parameter(const std::string& name_, std::uint32_t key_, std::int32_t defaultVal, std::uint32_t flags_,
                     std::int32_t min, std::int32_t max)
    : Parameter(ParameterType::Integer, name_, key_, flags_) {
    value.SetInteger(defaultVal);
    defaultValue.SetInteger(defaultVal);
    sliderMin.SetInteger(min);
    acceptedMin.SetInteger(min);
    sliderMax.SetInteger(max);
    acceptedMax.SetInteger(max);
}

Parameter Parameter::MakeEnumerated(const std::string& name_, std::uint32_t key_, std::uint32_t enumType_) {
    Parameter p(ParameterType::Enumerated, name_, key_, 0);
    p.enumType = enumType_;
    for (ParameterValue* v : {&p.value, &p.defaultValue, &p.sliderMin, &p.sliderMax, &p.acceptedMin, &p.acceptedMax})
        v->SetInteger(0);
    return p;
}

void Parameter::AddEnumValue(std::uint32_t code, const std::string& label) {
    enumKeys.push_back(code);
    enumNames.push_back(label);
    const auto last = static_cast<std::int32_t>(enumNames.size()) - 1;
    sliderMax.SetInteger(last);
    acceptedMax.SetInteger(last);
}

std::uint32_t Parameter::GetEnumValue() const {
    const std::int32_t index = value.GetInteger();
    if (index < 0 || static_cast<std::size_t>(index) >= enumKeys.size())
        return 0;
    return enumKeys[static_cast<std::size_t>(index)];
}

void Parameter::SetEnumValue(std::uint32_t code) {
    for (std::size_t i = 0; i < enumKeys.size(); ++i) {
        if (enumKeys[i] == code) {
            value.SetInteger(static_cast<std::int32_t>(i));
            return;
        }
    }
}

void Parameter::KeepUsable(const ParameterValue& previous) {
    switch (type) {
    case ParameterType::Float:
        if (!std::isfinite(value.GetFloat()))
            value.SetFloat(previous.GetFloat());
        break;
    case ParameterType::Boolean:
        value.SetBoolean(value.GetBoolean());
        break;
    case ParameterType::Enumerated: {
        const std::int32_t index = value.GetInteger();
        if (index < 0 || static_cast<std::size_t>(index) >= enumKeys.size())
            value.SetInteger(previous.GetInteger());
        break;
    }
    case ParameterType::Color: {
        const Rgb c = value.GetColor();
        if (!std::isfinite(c.red) || !std::isfinite(c.green) || !std::isfinite(c.blue))
            value.SetColor(previous.GetColor());
        break;
    }
    case ParameterType::Integer:
    case ParameterType::Text:
        break;
    }
}

bool Parameter::operator==(const Parameter& o) const {
    return type == o.type && name == o.name && key == o.key && enumType == o.enumType && enumKeys == o.enumKeys &&
           enumNames == o.enumNames && value == o.value && defaultValue == o.defaultValue &&
           sliderMin == o.sliderMin && sliderMax == o.sliderMax && acceptedMin == o.acceptedMin &&
           acceptedMax == o.acceptedMax && flags == o.flags &&
           scale == o.scale;
}

}  // namespace Param
}  // namespace Host
}  // namespace Corvantis
