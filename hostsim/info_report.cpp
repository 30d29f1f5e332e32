#include "hostsim/info_report.h"

#include "hostsim/four_cc.h"

#include <cstdio>
#include <string>

namespace hostsim {

namespace {

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string Bytes(const std::vector<uint8>& bytes) {
    std::string text;
    for (uint8 b : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", unsigned(b));
        text += (text.empty() ? "" : " ") + std::string(hex);
    }
    return text;
}

std::string Handling(int8 value) {
    return std::to_string(value) + (value == 1 ? " (straight data)" : "");
}

// "  label:   value", values aligned in one column.
void Field(std::ostream& out, const std::string& label, const std::string& value) {
    constexpr std::size_t kWidth = 14;
    out << "  " << label << ':' << std::string(label.size() < kWidth ? kWidth - label.size() : 1, ' ') << value
        << '\n';
}

void PrintParameter(std::ostream& out, const TerminologyParameter& p, const char* indent) {
    out << indent << '"' << p.name << "\" key " << QuotedFourCC(p.key) << " type " << QuotedFourCC(p.type)
        << " flags " << Hex(p.flags, 4) << " (" << Terminology::FlagNames(p.flags) << ") \"" << p.description
        << "\"\n";
}

}  // namespace

void InfoReport::Print(std::ostream& out, const ModuleResources& resources) {
    out << "file: " << resources.path() << '\n';
    out << "property list (PIPL " << resources.piplId() << "):\n";
    PrintPipl(out, resources.pipl());
    if (const Terminology* terminology = resources.terminology()) {
        out << "terminology (AETE " << resources.terminologyId() << "):\n";
        PrintTerminology(out, *terminology);
    } else {
        out << "terminology: none\n";
    }
}

void InfoReport::PrintPipl(std::ostream& out, const Pipl& pipl) {
    const std::string missing = "(absent)";
    Field(out, "kind", pipl.kind ? QuotedFourCC(*pipl.kind) + (*pipl.kind == kFilterKind ? " (filter)" : "")
                                 : missing);
    Field(out, "name", pipl.name ? '"' + *pipl.name + '"' : missing);
    Field(out, "category", pipl.category ? '"' + *pipl.category + '"' : missing);
    Field(out, "version", pipl.interfaceVersion
                              ? std::to_string(pipl.VersionMajor()) + "." + std::to_string(pipl.VersionMinor())
                              : missing);
    Field(out, "entry point", pipl.entryPoint ? *pipl.entryPoint : missing);
    if (pipl.modes) {
        std::string names;
        for (const std::string& name : pipl.ModeNames()) names += (names.empty() ? "" : ", ") + name;
        Field(out, "modes", (names.empty() ? "none" : names) + " [" + Bytes(*pipl.modes) + "]");
    } else {
        Field(out, "modes", missing);
    }
    Field(out, "enable", pipl.enableExpression ? '"' + *pipl.enableExpression + '"' : missing);
    Field(out, "maximum size", pipl.maxSize ? std::to_string(pipl.maxSize->vertical) + " high x " +
                                                  std::to_string(pipl.maxSize->horizontal) + " wide"
                                            : missing);
    Field(out, "filter layer", pipl.filterLayer ? "flags " + Bytes(*pipl.filterLayer) : missing);
    if (pipl.terminology) {
        const PiplTerminologyLink& t = *pipl.terminology;
        Field(out, "scripting", "class " + QuotedFourCC(t.classId) + ", event " + QuotedFourCC(t.eventId) +
                                    ", terminology " + std::to_string(t.terminologyId) + ", scope \"" + t.scope +
                                    "\", version " + std::to_string(t.version));
    } else {
        Field(out, "scripting", missing);
    }
    if (pipl.filterCases) {
        Field(out, "filter cases", std::to_string(pipl.filterCases->size()));
        for (std::size_t i = 0; i < pipl.filterCases->size(); ++i) {
            const PiplFilterCase& c = (*pipl.filterCases)[i];
            const std::string name = Pipl::FilterCaseName(int(i));
            out << "    " << (name.empty() ? "case " + std::to_string(i + 1) : name) << ": input "
                << Handling(c.inputHandling) << ", output " << Handling(c.outputHandling) << ", flags "
                << Hex(c.flags1, 2) << ' ' << Hex(c.flags2, 2) << '\n';
        }
    } else {
        Field(out, "filter cases", missing);
    }
    for (const PiplProperty& p : pipl.others) {
        out << "  other property " << QuotedFourCC(p.key) << " vendor " << QuotedFourCC(p.vendor) << " id " << p.id
            << ", " << p.data.size() << " bytes\n";
    }
}

void InfoReport::PrintTerminology(std::ostream& out, const Terminology& t) {
    out << "  version " << int(t.majorVersion) << '.' << int(t.minorVersion) << ", language " << t.language
        << ", script " << t.script << '\n';
    for (const TerminologySuite& suite : t.suites) {
        out << "  suite \"" << suite.name << "\" " << QuotedFourCC(suite.id) << " \"" << suite.description
            << "\", level " << suite.level << ", version " << suite.version << '\n';
        for (const TerminologyEvent& e : suite.events) {
            out << "    event \"" << e.name << "\" class " << QuotedFourCC(e.eventClass) << " id "
                << QuotedFourCC(e.eventId) << " \"" << e.description << "\"\n";
            out << "      reply type " << QuotedFourCC(e.replyType) << ", flags " << Hex(e.replyFlags, 4) << '\n';
            out << "      direct parameter type " << QuotedFourCC(e.directType) << ", flags " << Hex(e.directFlags, 4)
                << " (" << Terminology::FlagNames(e.directFlags) << ")\n";
            out << "      parameters (" << e.parameters.size() << "):\n";
            for (const TerminologyParameter& p : e.parameters) PrintParameter(out, p, "        ");
        }
        for (const TerminologyClass& c : suite.classes) {
            out << "    class \"" << c.name << "\" " << QuotedFourCC(c.id) << ", " << c.properties.size()
                << " properties, " << c.elements.size() << " elements\n";
            for (const TerminologyParameter& p : c.properties) PrintParameter(out, p, "      ");
        }
        for (const TerminologyComparison& c : suite.comparisons) {
            out << "    comparison \"" << c.name << "\" " << QuotedFourCC(c.id) << " type " << QuotedFourCC(c.type)
                << '\n';
        }
        for (const TerminologyEnumeration& e : suite.enumerations) {
            out << "    enumeration " << QuotedFourCC(e.id) << " (" << e.values.size() << " values):\n";
            for (const TerminologyEnumerator& v : e.values) {
                out << "      \"" << v.name << "\" " << QuotedFourCC(v.code) << " \"" << v.description << "\"\n";
            }
        }
    }
}

}  // namespace hostsim
