#include "hostsim/terminology.h"

#include "hostsim/byte_reader.h"

#include <cstdio>

namespace hostsim {

namespace {

// Reads a 16-bit count and checks that `count` items of at least `minItemSize` bytes can
// still follow, so a garbage count fails at once instead of after a long loop.
uint16 ReadCount(ByteReader& in, const char* field, std::size_t minItemSize) {
    const uint16 count = in.U16(field);
    if (count * minItemSize > in.remaining()) {
        in.Fail(field, std::to_string(count) + " items cannot fit in the " + std::to_string(in.remaining()) +
                           " bytes left");
    }
    return count;
}

// name, key, type, description, flags: the shape of event parameters and class properties.
TerminologyParameter ReadParameter(ByteReader& in) {
    TerminologyParameter p;
    p.name = in.PascalString("parameter name");
    p.key = in.U32("parameter key");
    p.type = in.U32("parameter type");
    p.description = in.PascalString("parameter description");
    p.flags = in.U16("parameter flags");
    return p;
}

// Minimum sizes of the repeated items (empty strings, no nested items).
constexpr std::size_t kMinParameter = 1 + 4 + 4 + 1 + 2;
constexpr std::size_t kMinEvent = 1 + 1 + 4 + 4 + 4 + 1 + 2 + 4 + 1 + 2 + 2;
constexpr std::size_t kMinClass = 1 + 4 + 1 + 2 + 2;
constexpr std::size_t kMinElement = 4 + 2;
constexpr std::size_t kMinComparison = 1 + 4 + 4 + 1;
constexpr std::size_t kMinEnumeration = 4 + 2;
constexpr std::size_t kMinEnumerator = 1 + 4 + 1;
constexpr std::size_t kMinSuite = 1 + 1 + 4 + 2 + 2 + 2 * 4;

TerminologyEvent ReadEvent(ByteReader& in) {
    TerminologyEvent e;
    e.name = in.PascalString("event name");
    e.description = in.PascalString("event description");
    e.eventClass = in.U32("event class");
    e.eventId = in.U32("event id");
    e.replyType = in.U32("reply type");
    e.replyDescription = in.PascalString("reply description");
    e.replyFlags = in.U16("reply flags");
    e.directType = in.U32("direct parameter type");
    e.directDescription = in.PascalString("direct parameter description");
    e.directFlags = in.U16("direct parameter flags");
    const uint16 count = ReadCount(in, "parameter count", kMinParameter);
    for (uint16 i = 0; i < count; ++i) e.parameters.push_back(ReadParameter(in));
    return e;
}

TerminologyClass ReadClass(ByteReader& in) {
    TerminologyClass c;
    c.name = in.PascalString("class name");
    c.id = in.U32("class id");
    c.description = in.PascalString("class description");
    const uint16 properties = ReadCount(in, "class property count", kMinParameter);
    for (uint16 i = 0; i < properties; ++i) c.properties.push_back(ReadParameter(in));
    const uint16 elements = ReadCount(in, "class element count", kMinElement);
    for (uint16 i = 0; i < elements; ++i) {
        TerminologyClassElement element;
        element.type = in.U32("element type");
        const uint16 forms = ReadCount(in, "key form count", 4);
        for (uint16 k = 0; k < forms; ++k) element.keyForms.push_back(in.U32("key form"));
        c.elements.push_back(std::move(element));
    }
    return c;
}

TerminologySuite ReadSuite(ByteReader& in) {
    TerminologySuite s;
    s.name = in.PascalString("suite name");
    s.description = in.PascalString("suite description");
    s.id = in.U32("suite id");
    s.level = in.U16("suite level");
    s.version = in.U16("suite version");

    const uint16 events = ReadCount(in, "event count", kMinEvent);
    for (uint16 i = 0; i < events; ++i) s.events.push_back(ReadEvent(in));

    const uint16 classes = ReadCount(in, "class count", kMinClass);
    for (uint16 i = 0; i < classes; ++i) s.classes.push_back(ReadClass(in));

    const uint16 comparisons = ReadCount(in, "comparison count", kMinComparison);
    for (uint16 i = 0; i < comparisons; ++i) {
        TerminologyComparison c;
        c.name = in.PascalString("comparison name");
        c.id = in.U32("comparison id");
        c.type = in.U32("comparison type");
        c.description = in.PascalString("comparison description");
        s.comparisons.push_back(std::move(c));
    }

    const uint16 enumerations = ReadCount(in, "enumeration count", kMinEnumeration);
    for (uint16 i = 0; i < enumerations; ++i) {
        TerminologyEnumeration e;
        e.id = in.U32("enumeration id");
        const uint16 values = ReadCount(in, "enumerator count", kMinEnumerator);
        for (uint16 v = 0; v < values; ++v) {
            TerminologyEnumerator value;
            value.name = in.PascalString("enumerator name");
            value.code = in.U32("enumerator code");
            value.description = in.PascalString("enumerator description");
            e.values.push_back(std::move(value));
        }
        s.enumerations.push_back(std::move(e));
    }
    return s;
}

}  // namespace

Terminology Terminology::Parse(const uint8* data, std::size_t size) {
    ByteReader in(data, size, "terminology");
    const uint16 leading = in.U16("resource header");
    if (leading != 1) in.Fail("resource header", "is " + std::to_string(leading) + ", expected 1");
    Terminology t;
    t.majorVersion = in.U8("major version");
    t.minorVersion = in.U8("minor version");
    t.language = in.U16("language");
    t.script = in.U16("script");
    const uint16 suites = ReadCount(in, "suite count", kMinSuite);
    for (uint16 i = 0; i < suites; ++i) t.suites.push_back(ReadSuite(in));
    return t;
}

const TerminologyEvent* Terminology::FindEvent(uint32 eventClass, uint32 eventId) const {
    for (const auto& suite : suites)
        for (const auto& event : suite.events)
            if (event.eventClass == eventClass && event.eventId == eventId) return &event;
    return nullptr;
}

const TerminologyParameter* Terminology::FindParameter(const std::string& name) const {
    for (const auto& suite : suites)
        for (const auto& event : suite.events)
            for (const auto& parameter : event.parameters)
                if (parameter.name == name) return &parameter;
    return nullptr;
}

const TerminologyParameter* Terminology::FindParameterByKey(uint32 key) const {
    for (const auto& suite : suites)
        for (const auto& event : suite.events)
            for (const auto& parameter : event.parameters)
                if (parameter.key == key) return &parameter;
    return nullptr;
}

const TerminologyEnumeration* Terminology::FindEnumeration(uint32 id) const {
    for (const auto& suite : suites)
        for (const auto& enumeration : suite.enumerations)
            if (enumeration.id == id) return &enumeration;
    return nullptr;
}

std::string Terminology::FlagNames(uint16 flags) {
    if (flags == 0) return "none";
    std::string text;
    auto add = [&text](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
    if (flags & terminology_flag::kOptional) add("optional");
    if (flags & terminology_flag::kList) add("list");
    if (flags & terminology_flag::kEnumerated) add("enumerated");
    const uint16 rest = flags & ~(terminology_flag::kOptional | terminology_flag::kList | terminology_flag::kEnumerated);
    if (rest) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%04X", unsigned(rest));
        add(hex);
    }
    return text;
}

}  // namespace hostsim
