// The scripting terminology resource: the events, parameters and enumerations through which a
// host scripts the filter by parameter name.
#pragma once
#include "pluginapi/pi_types.h"

#include <string>
#include <vector>

namespace hostsim {

// Flag bits of parameters and properties.
namespace terminology_flag {
constexpr uint16 kOptional = 0x8000;
constexpr uint16 kList = 0x4000;
constexpr uint16 kEnumerated = 0x2000;
}  // namespace terminology_flag

struct TerminologyParameter {
    std::string name;
    uint32 key = 0;
    uint32 type = 0;  // a value type ('doub', 'TEXT', ...) or, when enumerated, an enumeration id
    std::string description;
    uint16 flags = 0;

    bool optional() const { return flags & terminology_flag::kOptional; }
    bool enumerated() const { return flags & terminology_flag::kEnumerated; }
};

struct TerminologyEvent {
    std::string name;
    std::string description;
    uint32 eventClass = 0;
    uint32 eventId = 0;
    uint32 replyType = 0;
    std::string replyDescription;
    uint16 replyFlags = 0;
    uint32 directType = 0;
    std::string directDescription;
    uint16 directFlags = 0;
    std::vector<TerminologyParameter> parameters;
};

struct TerminologyClassElement {
    uint32 type = 0;
    std::vector<uint32> keyForms;
};

struct TerminologyClass {
    std::string name;
    uint32 id = 0;
    std::string description;
    std::vector<TerminologyParameter> properties;
    std::vector<TerminologyClassElement> elements;
};

struct TerminologyComparison {
    std::string name;
    uint32 id = 0;
    uint32 type = 0;
    std::string description;
};

struct TerminologyEnumerator {
    std::string name;
    uint32 code = 0;
    std::string description;
};

struct TerminologyEnumeration {
    uint32 id = 0;
    std::vector<TerminologyEnumerator> values;
};

struct TerminologySuite {
    std::string name;
    std::string description;
    uint32 id = 0;
    uint16 level = 0;
    uint16 version = 0;
    std::vector<TerminologyEvent> events;
    std::vector<TerminologyClass> classes;
    std::vector<TerminologyComparison> comparisons;
    std::vector<TerminologyEnumeration> enumerations;
};

// The parsed resource (the little-endian form: 16-bit numbers and four-character codes as
// little-endian integers, length-prefixed strings, no padding).
struct Terminology {
    // Throws HostError naming the field and offset when the data ends early or a count lies.
    static Terminology Parse(const uint8* data, std::size_t size);
    static Terminology Parse(const std::vector<uint8>& bytes) { return Parse(bytes.data(), bytes.size()); }

    uint8 majorVersion = 0;
    uint8 minorVersion = 0;
    uint16 language = 0;
    uint16 script = 0;
    std::vector<TerminologySuite> suites;

    // Lookups over every suite and event; null when there is no match.
    const TerminologyEvent* FindEvent(uint32 eventClass, uint32 eventId) const;
    const TerminologyParameter* FindParameter(const std::string& name) const;
    const TerminologyParameter* FindParameterByKey(uint32 key) const;
    const TerminologyEnumeration* FindEnumeration(uint32 id) const;

    // "optional, enumerated" and the like; unnamed bits in hex; "none" for 0.
    static std::string FlagNames(uint16 flags);
};

}  // namespace hostsim
