#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "resources/terminology.h"
#include "test_support.h"

using namespace Corvantis::Host::Param;
using tellora_test::TableList;

namespace {

constexpr std::uint32_t P = ParameterFlags::UnitPercent;
constexpr ParameterType En = ParameterType::Enumerated, F = ParameterType::Float, I = ParameterType::Integer,
                        B = ParameterType::Boolean, C = ParameterType::Color, T = ParameterType::Text;

struct Row {
    const char* name;
    ParameterType type;
    const char* key;
    double def, sliderMin, sliderMax, acceptedMin, acceptedMax;
    std::uint32_t flags;
    const char* termType;  // type in the terminology
};

// Colour and text rows: default checked separately, ranges hold the default.
const Row kRows[] = {
    {"Ellipse", En, "Wzaa", 0, 0, 1, 0, 1, 0, "Wzab"},
    {"Ellipse Width", F, "Wzae", 100, 0, 400, 0, 15000, P, "doub"},
    {"Ellipse Height", F, "Wzaf", 100, 0, 400, 0, 15000, P, "doub"},
    {"Indicator Width", F, "Wzag", 20, 0, 250, 0, 500, P, "doub"},
    {"Edge Thickness", F, "Wzah", 2, 0, 20, 0, 100, 0, "doub"},
    {"Indicator Thickness", F, "Wzai", 2, 0, 20, 0, 100, 0, "doub"},
    {"Bubble Fill Color", C, "Wzas", 1, 0, 0, 0, 0, 0, "Clr "},
    {"Edge Color", C, "Wzaj", 0, 0, 0, 0, 0, 0, "Clr "},
    {"Text", T, "Wzak", 0, 0, 0, 0, 0, 0, "TEXT"},
    {"Text Color", C, "Wzal", 0, 0, 0, 0, 0, 0, "Clr "},
    {"X Position", F, "Wzam", 1, 0, 100, 0, 100, P, "doub"},
    {"Y Position", F, "Wzan", 15, 0, 100, 0, 100, P, "doub"},
    {"X Indi Position", F, "Wzap", 1, 0, 100, 0, 100, P, "doub"},
    {"Y Indi Position", F, "Wzaq", 15, 0, 100, 0, 100, P, "doub"},
    {"Bounding Box", B, "Wzar", 1, 0, 1, 0, 1, 0, "bool"},
    {"Font Size", F, "Wzao", 12, 0, 40, 0, 4000, 0, "doub"},
    {"Font Facename", T, "Wzat", 0, 0, 0, 0, 0, 0, "TEXT"},
    {"Font Family", I, "Wzav", 4, 0, 100, 0, 100, 0, "long"},
    {"Font Style", I, "Wzaw", 0, 0, 100, 0, 100, 0, "long"},
    {"Font Weight", I, "Wzax", 0, 0, 100, 0, 100, 0, "long"},
    {"Font Underline", B, "Wzay", 0, 0, 1, 0, 1, 0, "bool"},
};

std::uint32_t Code(const std::string& s) {
    return (std::uint32_t(std::uint8_t(s[0])) << 24) | (std::uint32_t(std::uint8_t(s[1])) << 16) |
           (std::uint32_t(std::uint8_t(s[2])) << 8) | std::uint32_t(std::uint8_t(s[3]));
}

double AsNumber(ParameterType type, const ParameterValue& v) {
    if (type == F)
        return v.GetFloat();
    return type == B ? v.GetBoolean() : v.GetInteger();
}

TEST(ParameterTable, HoldsTheTwentyOneRecords) {
    auto params = TableList();
    ASSERT_EQ(params.parameters.size(), std::size(kRows));
    for (std::size_t i = 0; i < std::size(kRows); ++i) {
        const Row& row = kRows[i];
        const Parameter& p = params.parameters[i];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(p.name, row.name);
        EXPECT_EQ(p.type, row.type);
        EXPECT_EQ(p.key, Code(row.key));
        EXPECT_EQ(p.flags, row.flags);
        EXPECT_EQ(p.scale, 1.0);
        EXPECT_EQ(p.value, p.defaultValue);
        if (row.type == C) {
            const Rgb c = p.defaultValue.GetColor();
            EXPECT_TRUE(c.red == row.def && c.green == row.def && c.blue == row.def);
            EXPECT_EQ(p.acceptedMax, p.defaultValue);
        } else if (row.type != T) {
            EXPECT_EQ(AsNumber(row.type, p.defaultValue), row.def);
            EXPECT_EQ(AsNumber(row.type, p.sliderMin), row.sliderMin);
            EXPECT_EQ(AsNumber(row.type, p.sliderMax), row.sliderMax);
            EXPECT_EQ(AsNumber(row.type, p.acceptedMin), row.acceptedMin);
            EXPECT_EQ(AsNumber(row.type, p.acceptedMax), row.acceptedMax);
        }
    }
    EXPECT_EQ(params.parameters[kParamText].sliderMax.text, "Text");
    EXPECT_EQ(params.parameters[kParamFontFacename].acceptedMin.text, "Arial");
    const Parameter& shape = params.parameters[kParamShape];
    EXPECT_EQ(shape.enumType, Code("Wzab"));
    EXPECT_EQ(shape.enumKeys, (std::vector<std::uint32_t>{Code("Wzac"), Code("Wzad")}));
    EXPECT_EQ(shape.enumNames, (std::vector<std::string>{"Ellipse", "Rectangle"}));

    const auto before = params.parameters;
    params.ResetToDefaults();
    EXPECT_EQ(params.parameters, before);
}

// Reads the terminology field by field and refuses to read past its end.
class Reader {
public:
    std::uint16_t U16() {
        Need(2);
        pos_ += 2;
        return std::uint16_t(kTelloraTerminology[pos_ - 2] | (kTelloraTerminology[pos_ - 1] << 8));
    }
    // A little-endian 32-bit code: characters stored last to first.
    std::string CodeText() {
        Need(4);
        const unsigned char* p = kTelloraTerminology + pos_;
        pos_ += 4;
        return {char(p[3]), char(p[2]), char(p[1]), char(p[0])};
    }
    std::string Str() {
        Need(1);
        const std::size_t n = kTelloraTerminology[pos_++];
        Need(n);
        pos_ += n;
        return std::string(reinterpret_cast<const char*>(kTelloraTerminology + pos_ - n), n);
    }
    bool AtEnd() const { return pos_ == kTelloraTerminologySize; }

private:
    void Need(std::size_t n) {
        if (kTelloraTerminologySize - pos_ < n)
            throw std::out_of_range("terminology ends early");
    }
    std::size_t pos_ = 0;
};

// Fields joined by '|'; a braced list is evaluated in order.
std::string Join(std::initializer_list<std::string> fields) {
    std::string out;
    for (const std::string& f : fields)
        out += (&f == fields.begin() ? "" : "|") + f;
    return out;
}

TEST(Terminology, OneSuiteOneEventOneEnumerationMatchingTheTable) {
    Reader r;
    EXPECT_EQ(r.U16(), 1);
    EXPECT_EQ(r.U16(), 0x0001) << "version 1.0";
    EXPECT_EQ(r.U16(), 0);
    EXPECT_EQ(r.U16(), 0);
    ASSERT_EQ(r.U16(), 1) << "suites";
    EXPECT_EQ(Join({r.Str(), r.Str(), r.CodeText()}), "Corvantis|Corvantis Tellora|Wzr1");
    EXPECT_EQ(r.U16(), 1);
    EXPECT_EQ(r.U16(), 1);
    ASSERT_EQ(r.U16(), 1) << "events";
    EXPECT_EQ(Join({r.Str(), r.Str(), r.CodeText(), r.CodeText()}), "Tellora|Tellora|Wzr1|Wzr1");
    EXPECT_EQ(Join({r.CodeText(), r.Str()}), "null|");
    EXPECT_EQ(r.U16(), 0x0000);
    EXPECT_EQ(Join({r.CodeText(), r.Str()}), "#ImR|");
    EXPECT_EQ(r.U16(), 0xB000);

    ASSERT_EQ(r.U16(), 21);
    const auto params = TableList();
    std::vector<std::string> names, descriptions;
    for (std::size_t i = 0; i < 21; ++i) {
        SCOPED_TRACE(kRows[i].name);
        names.push_back(r.Str());
        EXPECT_EQ(Code(r.CodeText()), params.parameters[i].key);
        EXPECT_EQ(r.CodeText(), kRows[i].termType);
        descriptions.push_back(r.Str());
        EXPECT_EQ(r.U16(), kRows[i].type == En ? 0xA000 : 0x8000);
    }
    EXPECT_EQ(r.U16(), 0) << "classes";
    EXPECT_EQ(r.U16(), 0) << "comparison operators";
    ASSERT_EQ(r.U16(), 1) << "enumerations";
    EXPECT_EQ(r.CodeText(), "Wzab");
    ASSERT_EQ(r.U16(), 2);
    EXPECT_EQ(Join({r.Str(), r.CodeText(), r.Str()}), "Ellipse|Wzac|ellipse");
    EXPECT_EQ(Join({r.Str(), r.CodeText(), r.Str()}), "Rectangle|Wzad|rectangle");
    EXPECT_TRUE(r.AtEnd());

    EXPECT_EQ(names[0], "ellipseChoice");
    EXPECT_EQ(names[8], "Text");
    EXPECT_EQ(descriptions[8], " text");
    EXPECT_EQ(names[20], "fontUnderline");
    EXPECT_EQ(descriptions[12], "x indiposition");
}

}  // namespace
