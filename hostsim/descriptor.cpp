#include "hostsim/descriptor.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace hostsim {

bool ReferenceItem::operator==(const ReferenceItem& o) const {
    return form == o.form && desiredClass == o.desiredClass && code == o.code && value == o.value &&
           number == o.number && name == o.name;
}

DescriptorValue DescriptorValue::Integer(int32 v) {
    DescriptorValue d;
    d.type = typeInteger;
    d.integer = v;
    return d;
}

DescriptorValue DescriptorValue::Float(double v) {
    DescriptorValue d;
    d.type = typeFloat;
    d.number = v;
    return d;
}

DescriptorValue DescriptorValue::UnitFloat(DescriptorUnitID unit, double v) {
    DescriptorValue d;
    d.type = typeUnitFloat;
    d.unit = unit;
    d.number = v;
    return d;
}

DescriptorValue DescriptorValue::Boolean(bool v) {
    DescriptorValue d;
    d.type = typeBoolean;
    d.boolean = v;
    return d;
}

DescriptorValue DescriptorValue::Text(std::string v) {
    DescriptorValue d;
    d.type = typeChar;
    d.text = std::move(v);
    return d;
}

DescriptorValue DescriptorValue::Enumerated(DescriptorEnumTypeID type, DescriptorEnumID v) {
    DescriptorValue d;
    d.type = typeEnumerated;
    d.enumType = type;
    d.enumValue = v;
    return d;
}

DescriptorValue DescriptorValue::Object(DescriptorClassID classId, Descriptor v, bool global) {
    DescriptorValue d;
    d.type = global ? typeGlobalObject : typeObject;
    d.classId = classId;
    d.object.push_back(std::move(v));
    return d;
}

DescriptorValue DescriptorValue::Class(DescriptorClassID classId, bool global) {
    DescriptorValue d;
    d.type = global ? typeGlobalClass : typeType;
    d.classId = classId;
    return d;
}

DescriptorValue DescriptorValue::Reference(std::vector<ReferenceItem> items) {
    DescriptorValue d;
    d.type = typeObjectSpecifier;
    d.reference = std::move(items);
    return d;
}

DescriptorValue DescriptorValue::Alias(std::string path) {
    DescriptorValue d;
    d.type = typeAlias;
    d.text = std::move(path);
    return d;
}

DescriptorValue DescriptorValue::List(std::vector<DescriptorValue> items) {
    DescriptorValue d;
    d.type = typeValueList;
    d.list = std::move(items);
    return d;
}

const Descriptor& DescriptorValue::AsObject() const {
    static const Descriptor kEmpty;
    return object.empty() ? kEmpty : object.front();
}

bool DescriptorValue::operator==(const DescriptorValue& o) const {
    if (type != o.type) return false;
    switch (type) {
        case typeInteger: return integer == o.integer;
        case typeFloat: return number == o.number;
        case typeUnitFloat: return unit == o.unit && number == o.number;
        case typeBoolean: return boolean == o.boolean;
        case typeChar:
        case typeAlias: return text == o.text;
        case typeEnumerated: return enumType == o.enumType && enumValue == o.enumValue;
        case typeObject:
        case typeGlobalObject: return classId == o.classId && object == o.object;
        case typeType:
        case typeGlobalClass: return classId == o.classId;
        case typeObjectSpecifier: return reference == o.reference;
        case typeValueList: return list == o.list;
        default: return true;
    }
}

const DescriptorValue* Descriptor::Find(DescriptorKeyID key) const {
    for (const Item& item : items_) {
        if (item.first == key) return &item.second;
    }
    return nullptr;
}

void Descriptor::Put(DescriptorKeyID key, DescriptorValue value) {
    for (Item& item : items_) {
        if (item.first == key) {
            item.second = std::move(value);
            return;
        }
    }
    items_.emplace_back(key, std::move(value));
}

bool Descriptor::Erase(DescriptorKeyID key) {
    const auto it = std::find_if(items_.begin(), items_.end(), [&](const Item& i) { return i.first == key; });
    if (it == items_.end()) return false;
    items_.erase(it);
    return true;
}

bool ReadAsInteger(const DescriptorValue& v, int32& out) {
    if (v.type == typeInteger) {
        out = v.integer;
        return true;
    }
    if (v.type != typeFloat && v.type != typeUnitFloat) return false;
    if (!std::isfinite(v.number) || std::floor(v.number) != v.number) return false;
    if (v.number < double(std::numeric_limits<int32>::min()) || v.number > double(std::numeric_limits<int32>::max()))
        return false;
    out = int32(v.number);
    return true;
}

bool ReadAsFloat(const DescriptorValue& v, double& out) {
    if (v.type == typeFloat || v.type == typeUnitFloat) {
        out = v.number;
        return true;
    }
    if (v.type == typeInteger) {
        out = v.integer;
        return true;
    }
    return false;
}

bool ReadAsUnitFloat(const DescriptorValue& v, DescriptorUnitID& unit, double& out) {
    if (!ReadAsFloat(v, out)) return false;
    unit = v.type == typeUnitFloat ? v.unit : unitNone;
    return true;
}

}  // namespace hostsim
