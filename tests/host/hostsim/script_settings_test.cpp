#include "hostsim/host_error.h"
#include "hostsim/script_settings.h"

#include <gtest/gtest.h>

using namespace hostsim;

namespace {

TerminologyParameter Param(const std::string& name, const char (&key)[5], uint32 type, uint16 flags = 0x8000) {
    TerminologyParameter p;
    p.name = name;
    p.key = FourCC(key);
    p.type = type;
    p.flags = flags;
    return p;
}

// A terminology shaped like a filter's: one event, its parameters, one enumeration.
struct Fixture {
    Terminology terminology;
    const TerminologyEvent& event() const { return terminology.suites[0].events[0]; }

    Fixture() {
        TerminologyEvent e;
        e.eventClass = e.eventId = FourCC("Evnt");
        e.parameters = {Param("ellipseChoice", "Wzaa", FourCC("Wzab"), 0xA000), Param("fontSize", "Wzao", typeFloat),
                        Param("Text", "Wzak", typeChar), Param("TextColor", "Wzal", FourCC("Clr ")),
                        Param("fontFamily", "Wzav", typeInteger), Param("boundingBox", "Wzar", typeBoolean),
                        Param("text", "Wzzz", typeChar), Param("where", "Wzwh", FourCC("obj "))};
        TerminologySuite suite;
        suite.events.push_back(e);
        TerminologyEnumeration shapes;
        shapes.id = FourCC("Wzab");
        shapes.values = {{"Ellipse", FourCC("Wzac"), ""}, {"Rectangle", FourCC("Wzad"), ""}};
        suite.enumerations.push_back(shapes);
        terminology.suites.push_back(suite);
    }

    DescriptorValue Value(const std::string& name, const std::string& text) const {
        return ParseSettingValue(terminology, *FindScriptParameter(event(), name), text);
    }
    std::string Error(const std::string& name, const std::string& text) const {
        try {
            Descriptor d;
            ApplySettings(d, terminology, event(), {{name, text}});
        } catch (const UsageError& e) {
            return e.what();
        }
        return "(no error)";
    }
};

DescriptorValue Rgb(double r, double g, double b) {
    Descriptor c;
    c.Put(FourCC("Rd  "), DescriptorValue::Float(r));
    c.Put(FourCC("Grn "), DescriptorValue::Float(g));
    c.Put(FourCC("Bl  "), DescriptorValue::Float(b));
    return DescriptorValue::Object(FourCC("RGBC"), c);
}

}  // namespace

TEST(ScriptSettings, NamesResolveExactlyThenIgnoringCaseThenByKey) {
    const Fixture f;
    EXPECT_EQ(FindScriptParameter(f.event(), "Text")->key, FourCC("Wzak"));
    EXPECT_EQ(FindScriptParameter(f.event(), "text")->key, FourCC("Wzzz"));
    EXPECT_EQ(FindScriptParameter(f.event(), "TEXT"), nullptr) << "two names differ only in case";
    EXPECT_EQ(FindScriptParameter(f.event(), "FONTSIZE")->key, FourCC("Wzao"));
    EXPECT_EQ(FindScriptParameter(f.event(), "Wzav")->name, "fontFamily");
    EXPECT_EQ(FindScriptParameter(f.event(), "size"), nullptr);
}

TEST(ScriptSettings, ValuesAreTypedByTheTerminology) {
    const Fixture f;
    EXPECT_EQ(f.Value("fontSize", "24"), DescriptorValue::Float(24));
    EXPECT_EQ(f.Value("fontSize", "50%"), DescriptorValue::UnitFloat(unitPercent, 50));
    EXPECT_EQ(f.Value("fontSize", "10PX"), DescriptorValue::UnitFloat(unitPixels, 10));
    EXPECT_EQ(f.Value("fontSize", "12 pt"), DescriptorValue::UnitFloat(unitDistance, 12));
    EXPECT_EQ(f.Value("fontSize", "-1.5deg"), DescriptorValue::UnitFloat(unitAngle, -1.5));
    EXPECT_EQ(f.Value("fontFamily", "-3"), DescriptorValue::Integer(-3));
    EXPECT_EQ(f.Value("boundingBox", "OFF"), DescriptorValue::Boolean(false));
    EXPECT_EQ(f.Value("Text", "a=b, \"c\""), DescriptorValue::Text("a=b, \"c\""));
    const DescriptorValue rectangle = DescriptorValue::Enumerated(FourCC("Wzab"), FourCC("Wzad"));
    EXPECT_EQ(f.Value("ellipseChoice", "rectangle"), rectangle);
    EXPECT_EQ(f.Value("ellipseChoice", "Wzad"), rectangle);
    EXPECT_EQ(f.Value("ellipseChoice", "1"), rectangle);
    EXPECT_EQ(f.Value("TextColor", "255,0,128"), Rgb(1, 0, 128 / 255.0));
    EXPECT_EQ(f.Value("TextColor", " 1.0, 0 ,0.5"), Rgb(1, 0, 0.5));
    EXPECT_EQ(f.Value("TextColor", "#FF8000"), Rgb(1, 128 / 255.0, 0));
}

TEST(ScriptSettings, BadSettingsSayWhatIsWrong) {
    const Fixture f;
    EXPECT_EQ(f.Error("size", "1"),
              "the filter has no parameter 'size'; its parameters are: ellipseChoice, fontSize, Text, TextColor, "
              "fontFamily, boundingBox, text, where");
    EXPECT_EQ(f.Error("fontSize", "big"), "fontSize: 'big' is not a number (units: %, px, deg, pt)");
    EXPECT_EQ(f.Error("fontSize", "nan"), "fontSize: 'nan' is not a number (units: %, px, deg, pt)");
    EXPECT_EQ(f.Error("fontSize", "x%"), "fontSize: 'x%' is not a number");
    EXPECT_EQ(f.Error("fontFamily", "2.5"), "fontFamily: '2.5' is not a whole number");
    EXPECT_EQ(f.Error("fontFamily", "99999999999"), "fontFamily: '99999999999' is out of range");
    EXPECT_EQ(f.Error("boundingBox", "maybe"), "boundingBox: 'maybe' is not true or false");
    EXPECT_EQ(f.Error("ellipseChoice", "Circle"), "ellipseChoice: 'Circle' is not one of: Ellipse, Rectangle");
    EXPECT_EQ(f.Error("ellipseChoice", "2"), "ellipseChoice: '2' is not one of: Ellipse, Rectangle");
    EXPECT_EQ(f.Error("TextColor", "1,2"),
              "TextColor: '1,2' is not a colour: give R,G,B (0-255, or 0-1 with a decimal point) or #RRGGBB");
    EXPECT_EQ(f.Error("TextColor", "256,0,0"), "TextColor: '256,0,0' has a component that is not a whole number from 0 to 255");
    EXPECT_EQ(f.Error("TextColor", "0.5,2,0"), "TextColor: '0.5,2,0' has a component that is not a fraction from 0 to 1");
    EXPECT_EQ(f.Error("TextColor", "#GG0000"), "TextColor: '#GG0000' is not a colour #RRGGBB");
    EXPECT_EQ(f.Error("where", "x"), "where: values of type 'obj ' cannot be given on the command line");
}

TEST(ScriptSettings, LaterSettingsWinAndRecordedItemsAreNamed) {
    const Fixture f;
    Descriptor d;
    ApplySettings(d, f.terminology, f.event(), {{"fontSize", "1"}, {"Text", "x"}, {"FontSize", "2"}});
    ASSERT_EQ(d.Count(), 2u);
    EXPECT_EQ(d.items()[0].second, DescriptorValue::Float(2));
    EXPECT_EQ(DescribeItem(f.terminology, f.event(), FourCC("Wzaa"),
                           DescriptorValue::Enumerated(FourCC("Wzab"), FourCC("Wzac"))),
              "ellipseChoice = Ellipse");
    EXPECT_EQ(DescribeItem(f.terminology, f.event(), FourCC("Wzao"), DescriptorValue::Float(1)), "fontSize");
    EXPECT_EQ(DescribeItem(f.terminology, f.event(), FourCC("Nope"), DescriptorValue::Float(1)), "");
}
