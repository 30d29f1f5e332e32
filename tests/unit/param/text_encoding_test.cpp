// Texts that are not UTF-8 are read in the system's code page (Latin-1 here) instead of being
// lost; UTF-8 texts are taken as they are.
#include "param/text_encoding.h"

#include <gtest/gtest.h>

namespace {

using Corvantis::Host::Param::IsUtf8;
using Corvantis::Host::Param::TextAsUtf8;

TEST(TextEncoding, UnlessATextIsUtf8ItIsReadInTheCodePage) {
    struct Case {
        const char* bytes;
        bool utf8;
        const char* read;
    };
    const Case cases[] = {
        {"", true, ""},
        {"plain ASCII\n", true, "plain ASCII\n"},
        {"Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x98\x80", true, "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {"caf\xE9", false, "caf\xC3\xA9"},                    // Latin-1
        {"ab\xFF" "cd", false, "ab\xC3\xBF" "cd"},
        {"x\xE2\x82", false, "x\xC3\xA2\xC2\x82"},            // cut short: every byte a character
        {"\xC0\xAF", false, "\xC3\x80\xC2\xAF"},              // overlong
        {"\xED\xA0\x80", false, "\xC3\xAD\xC2\xA0\xC2\x80"},  // a surrogate
        {"\xF4\x90\x80\x80", false, "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80"},  // past U+10FFFF
        {"\xC3\xA9 and \xE9", false, "\xC3\x83\xC2\xA9 and \xC3\xA9"},  // mixed: all of it from the code page
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsUtf8(c.bytes), c.utf8) << c.bytes;
        EXPECT_EQ(TextAsUtf8(c.bytes), c.read) << c.bytes;
        EXPECT_TRUE(IsUtf8(TextAsUtf8(c.bytes))) << c.bytes;
    }
    // A zero byte inside a text is a character like any other.
    EXPECT_EQ(TextAsUtf8(std::string("a\0\xE9", 3)), std::string("a\0\xC3\xA9", 4));
}

}  // namespace
