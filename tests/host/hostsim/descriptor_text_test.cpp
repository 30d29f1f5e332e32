#include "hostsim/descriptor_text.h"
#include "hostsim/host_error.h"

#include <gtest/gtest.h>

#include <limits>

using namespace hostsim;

namespace {

Descriptor EveryKind() {
    Descriptor color;
    color.Put(FourCC("Rd  "), DescriptorValue::Float(0.1));
    color.Put(FourCC("Grn "), DescriptorValue::Integer(-7));
    Descriptor inner;
    inner.Put(FourCC("deep"), DescriptorValue::Object(FourCC("RGBC"), color, true));

    ReferenceItem property{ReferenceForm::Property, FourCC("Prpr"), FourCC("Rslt"), 0, 0, {}};
    ReferenceItem target{ReferenceForm::Enumerated, FourCC("Dcmn"), FourCC("Ordn"), FourCC("Trgt"), 0, {}};
    ReferenceItem name{ReferenceForm::Name, FourCC("Lyr "), 0, 0, 0, "Layer \"1\""};
    ReferenceItem index{ReferenceForm::Index, FourCC("Lyr "), 0, 0, int32(4000000000u), {}};
    ReferenceItem offset{ReferenceForm::Offset, FourCC("Lyr "), 0, 0, -2, {}};

    Descriptor d;
    d.Put(FourCC("int "), DescriptorValue::Integer(std::numeric_limits<int32>::min()));
    d.Put(FourCC("big "), DescriptorValue::Integer(std::numeric_limits<int32>::max()));
    d.Put(FourCC("flt "), DescriptorValue::Float(0.1 + 0.2));
    d.Put(FourCC("tiny"), DescriptorValue::Float(-4.9e-324));
    d.Put(FourCC("unit"), DescriptorValue::UnitFloat(FourCC("#Prc"), 150));
    d.Put(FourCC("bool"), DescriptorValue::Boolean(false));
    d.Put(FourCC("text"), DescriptorValue::Text("quote \" backslash \\ tab\t nl\n bell\x07 caf\xC3\xA9 #not a comment"));
    d.Put(FourCC("none"), DescriptorValue::Text(""));
    d.Put(FourCC("enum"), DescriptorValue::Enumerated(FourCC("Wzab"), FourCC("Wzad")));
    d.Put(FourCC("obj "), DescriptorValue::Object(FourCC("null"), inner));
    d.Put(FourCC("cls "), DescriptorValue::Class(FourCC("Dcmn")));
    d.Put(FourCC("gcls"), DescriptorValue::Class(FourCC("Lyr "), true));
    d.Put(FourCC("alis"), DescriptorValue::Alias("/tmp/a b"));
    d.Put(FourCC("list"), DescriptorValue::List({DescriptorValue::Integer(1), DescriptorValue::List({}),
                                                 DescriptorValue::Object(FourCC("RGBC"), color)}));
    d.Put(FourCC("ref "), DescriptorValue::Reference({property, target, name, index, offset}));
    // Codes that are not plain text: a quote, a control byte.
    d.Put(FourCC("it's"), DescriptorValue::Integer(1));
    d.Put(0x00000001u, DescriptorValue::Enumerated(0x0A0B0C0Du, FourCC("    ")));
    return d;
}

std::string ParseError(const std::string& text) {
    try {
        ParseDescriptor(text, "test.txt");
    } catch (const HostError& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace

TEST(DescriptorText, EveryKindSurvivesTheRoundTrip) {
    const Descriptor d = EveryKind();
    const std::string text = FormatDescriptor(d);
    EXPECT_EQ(ParseDescriptor(text, "t"), d) << text;
    // Codes that are not printable four-character text are written in hex.
    EXPECT_NE(text.find("0x00000001 enum 0x0A0B0C0D '    '"), std::string::npos) << text;
    EXPECT_NE(text.find("0x69742773 integer 1"), std::string::npos) << text;
}

TEST(DescriptorText, AnnotationsAreCommentsThatReadingSkips) {
    Descriptor fill;
    fill.Put(FourCC("Rd  "), DescriptorValue::Float(1));
    Descriptor d;
    d.Put(FourCC("Wzao"), DescriptorValue::Float(24));
    d.Put(FourCC("Wzak"), DescriptorValue::Text("# hash"));
    d.Put(FourCC("Wzas"), DescriptorValue::Object(FourCC("RGBC"), fill));
    const std::string text = FormatDescriptor(d, [](DescriptorKeyID key, const DescriptorValue&) {
        return key == FourCC("Wzak") ? std::string() : "note " + CodeText(key);
    });
    EXPECT_EQ(text,
              "'Wzao' float 24  # note 'Wzao'\n"
              "'Wzak' text \"# hash\"\n"
              "'Wzas' object 'RGBC' {  # note 'Wzas'\n"
              "    'Rd  ' float 1\n"
              "}\n");
    EXPECT_EQ(ParseDescriptor(text, "t"), d);
}

TEST(DescriptorText, ReadingAcceptsLayoutFreely) {
    const Descriptor d = ParseDescriptor(
        "# header\n\n  'abcd' unitFloat '#Pxl' +1e3 'efgh' object 'RGBC' { } # trailing\n'ijkl' float -inf\n", "t");
    ASSERT_EQ(d.Count(), 3u);
    EXPECT_EQ(*d.Find(FourCC("abcd")), DescriptorValue::UnitFloat(unitPixels, 1000));
    EXPECT_TRUE(d.Find(FourCC("efgh"))->AsObject().Empty());
    EXPECT_EQ(d.Find(FourCC("ijkl"))->number, -std::numeric_limits<double>::infinity());
}

TEST(DescriptorText, MistakesAreReportedWithTheirLine) {
    EXPECT_EQ(ParseError("'abcd' integer 1\n'abc' integer 2"), "test.txt:2: a code must be four characters in single quotes");
    EXPECT_EQ(ParseError("\n\n'abcd' number 1"), "test.txt:3: unknown value kind 'number'");
    EXPECT_EQ(ParseError("'abcd' integer 2147483648"),
              "test.txt:1: an integer '2147483648' is out of range (-2147483648 to 2147483647)");
    EXPECT_EQ(ParseError("'abcd' integer 1.5"), "test.txt:1: expected an integer (a whole number), found '1.5'");
    EXPECT_EQ(ParseError("'abcd' float x"), "test.txt:1: expected a float (a number), found 'x'");
    EXPECT_EQ(ParseError("'abcd' text \"open\n"), "test.txt:1: text in double quotes does not end on its line");
    EXPECT_EQ(ParseError("'abcd' text \"\\q\""), "test.txt:1: unknown escape \\q");
    EXPECT_EQ(ParseError("'abcd' boolean maybe"), "test.txt:1: expected true or false, found 'maybe'");
    EXPECT_EQ(ParseError("'abcd' integer 1\n'abcd' integer 2"), "test.txt:2: the key 'abcd' appears twice");
    EXPECT_EQ(ParseError("'abcd' object 'RGBC' {\n'x   ' float 1\n"), "test.txt:3: an object is not closed with '}'");
    EXPECT_EQ(ParseError("'abcd' list [ integer 1"), "test.txt:1: the list opened on line 1 is not closed");
    EXPECT_EQ(ParseError("'abcd' reference [ below 'Dcmn' ]"), "test.txt:1: unknown reference form 'below'");
    EXPECT_EQ(ParseError("integer 1"), "test.txt:1: expected a key (a code like 'abcd'), found 'integer'");
    EXPECT_EQ(ParseError("'abcd' integer 1 }"), "test.txt:1: expected a key (a code like 'abcd'), found '}'");
    EXPECT_EQ(ParseError("'abcd' text \"x\" ;"), "test.txt:1: unexpected character ';'");
}

TEST(DescriptorText, DeepNestingIsRefusedNotOverflowed) {
    std::string text;
    for (int i = 0; i < 10000; ++i) text += "'abcd' object 'RGBC' {\n";
    EXPECT_NE(ParseError(text).find("nested too deeply"), std::string::npos);
    std::string lists = "'abcd' ";
    for (int i = 0; i < 10000; ++i) lists += "list [ ";
    EXPECT_NE(ParseError(lists).find("nested too deeply"), std::string::npos);
}

TEST(DescriptorText, NamedDescriptorsKeepTheirNames) {
    NamedDescriptors entries;
    entries.emplace_back("Corvantis Tellora", EveryKind());
    entries.emplace_back("with \"quotes\"\n", Descriptor{});
    EXPECT_EQ(ParseNamedDescriptors(FormatNamedDescriptors(entries), "r"), entries);

    EXPECT_THROW(ParseNamedDescriptors("entry \"a\" { }\nentry \"a\" { }", "r"), HostError);
    EXPECT_THROW(ParseNamedDescriptors("record \"a\" { }", "r"), HostError);
    EXPECT_THROW(ParseNamedDescriptors("entry \"a\" {", "r"), HostError);
}
