// Action descriptors as the host holds them: keyed, typed values, nested objects, references
// and lists. One model serves the filter record's scripting descriptor, the action suites and
// the descriptor registry.
#pragma once
#include "pluginapi/descriptor_procs.h"

#include <string>
#include <utility>
#include <vector>

namespace hostsim {

class Descriptor;

// Forms of a reference item, with the codes ActionReference GetForm reports.
enum class ReferenceForm : uint32 {
    Class = FourCC("Clss"),
    Property = FourCC("Prpr"),
    Enumerated = FourCC("Enmr"),
    Name = FourCC("Nm  "),
    Index = FourCC("Indx"),
    Identifier = FourCC("Idnt"),
    Offset = FourCC("Ofst"),
};

// One step of a reference: "property 'Rslt' of", "the target 'Dcmn'", "layer 3", ...
struct ReferenceItem {
    ReferenceForm form = ReferenceForm::Class;
    DescriptorClassID desiredClass = 0;
    uint32 code = 0;   // Property: the key; Enumerated: the enumeration type
    uint32 value = 0;  // Enumerated: the value
    int32 number = 0;  // Index and Identifier (as unsigned), Offset
    std::string name;  // Name

    bool operator==(const ReferenceItem& other) const;
};

// One value. `type` says which fields count:
//   typeInteger integer; typeFloat number; typeUnitFloat unit, number; typeBoolean boolean;
//   typeChar text; typeEnumerated enumType, enumValue; typeObject/typeGlobalObject classId,
//   object[0]; typeType/typeGlobalClass classId; typeObjectSpecifier reference;
//   typeAlias text (the path bytes); typeValueList list.
struct DescriptorValue {
    DescriptorTypeID type = typeInteger;
    int32 integer = 0;
    double number = 0.0;
    DescriptorUnitID unit = 0;
    bool boolean = false;
    std::string text;
    DescriptorEnumTypeID enumType = 0;
    DescriptorEnumID enumValue = 0;
    DescriptorClassID classId = 0;
    std::vector<Descriptor> object;  // exactly one for objects, empty otherwise
    std::vector<ReferenceItem> reference;
    std::vector<DescriptorValue> list;

    static DescriptorValue Integer(int32 v);
    static DescriptorValue Float(double v);
    static DescriptorValue UnitFloat(DescriptorUnitID unit, double v);
    static DescriptorValue Boolean(bool v);
    static DescriptorValue Text(std::string v);
    static DescriptorValue Enumerated(DescriptorEnumTypeID type, DescriptorEnumID v);
    static DescriptorValue Object(DescriptorClassID classId, Descriptor v, bool global = false);
    static DescriptorValue Class(DescriptorClassID classId, bool global = false);
    static DescriptorValue Reference(std::vector<ReferenceItem> items);
    static DescriptorValue Alias(std::string path);
    static DescriptorValue List(std::vector<DescriptorValue> items);

    // The object of an object value (type Object or GlobalObject).
    const Descriptor& AsObject() const;

    bool operator==(const DescriptorValue& other) const;
    bool operator!=(const DescriptorValue& other) const { return !(*this == other); }
};

// Keys in the order they were first put; putting a key again replaces its value in place.
class Descriptor {
public:
    using Item = std::pair<DescriptorKeyID, DescriptorValue>;

    const DescriptorValue* Find(DescriptorKeyID key) const;
    void Put(DescriptorKeyID key, DescriptorValue value);
    bool Erase(DescriptorKeyID key);
    void Clear() { items_.clear(); }
    std::size_t Count() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }
    const std::vector<Item>& items() const { return items_; }

    bool operator==(const Descriptor& other) const { return items_ == other.items_; }
    bool operator!=(const Descriptor& other) const { return !(*this == other); }

private:
    std::vector<Item> items_;
};

// Errors of descriptor reads (the codes of the scripting system the interface comes from).
constexpr int16 kErrKeyNotFound = -1701;     // no value under the key
constexpr int16 kErrWrongType = -1700;       // the value cannot be read as the type asked for
constexpr int16 kErrNoSuchObject = -1728;    // a reference that names nothing the host has

// Numeric reads convert between integer, float and unit float the way the host's scripting
// system coerces: any of them reads as a float or unit float (a plain number with the unit
// '#Nne'); a float reads as an integer only when it is whole and in range.
bool ReadAsInteger(const DescriptorValue& v, int32& out);
bool ReadAsFloat(const DescriptorValue& v, double& out);
bool ReadAsUnitFloat(const DescriptorValue& v, DescriptorUnitID& unit, double& out);

// Nesting the host accepts in objects, lists and text forms; deeper data is refused as
// malformed rather than risking the stack.
constexpr int kMaxDescriptorDepth = 64;

}  // namespace hostsim
