#include <sys/stat.h>

#include <gtest/gtest.h>

#include "param/preset_file.h"
#include "test_support.h"

using namespace Corvantis::Host::Param;
using namespace tellora_test;

namespace {

class PresetFileTest : public TempFolderTest {
protected:
    std::filesystem::path Path(const char* name) const { return folder_ / name; }

    // Loads a preset whose parameter lines follow the two header lines.
    void LoadBody(Parameters& params, const std::string& body) {
        const auto path = Path("body.txt");
        WriteFile(path, "Plugin Name: Tellora\r\nVersion Number: 1.0\r\n" + body);
        params.LoadPreset(Wide(path.string()));
    }
};

const char kDefaultPreset[] =
    "Plugin Name: Tellora\r\n"
    "Version Number: 1.0\r\n"
    "Ellipse: 0\r\n"
    "Ellipse Width: 100\r\n"
    "Ellipse Height: 100\r\n"
    "Indicator Width: 20\r\n"
    "Edge Thickness: 2\r\n"
    "Indicator Thickness: 2\r\n"
    "Bubble Fill Color: 1 1 1 \r\n"
    "Edge Color: 0 0 0 \r\n"
    "Text: \"Text\"\r\n"
    "Text Color: 0 0 0 \r\n"
    "X Position: 1\r\n"
    "Y Position: 15\r\n"
    "X Indi Position: 1\r\n"
    "Y Indi Position: 15\r\n"
    "Bounding Box: true\r\n"
    "Font Size: 12\r\n"
    "Font Facename: \"Arial\"\r\n"
    "Font Family: 4\r\n"
    "Font Style: 0\r\n"
    "Font Weight: 0\r\n"
    "Font Underline: false\r\n";

TEST_F(PresetFileTest, DefaultListIsWrittenExactly) {
    auto params = TableList();
    ASSERT_TRUE(params.SavePreset(Wide(Path("default.txt").string()), "Tellora", "1.0"));
    EXPECT_EQ(ReadFile(Path("default.txt")), kDefaultPreset);
}

TEST_F(PresetFileTest, ValueTexts) {
    EXPECT_EQ(PresetFile::FormatFloat(100.0), "100");
    EXPECT_EQ(PresetFile::FormatFloat(0.5), "0.5");
    EXPECT_EQ(PresetFile::FormatFloat(12.3456789), "12.3457");
    EXPECT_EQ(PresetFile::FormatFloat(1e6), "1e+06");
    EXPECT_EQ(PresetFile::FormatFloat(0.00001), "1e-05");
    EXPECT_EQ(PresetFile::QuoteText("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(PresetFile::QuoteText(""), "\"\"");

    auto params = TableList();
    params.parameters[kParamFontFamily].value.SetInteger(-12);
    params.parameters[kParamEdgeColor].value.SetColor(0.25, 1, 0.125);
    params.parameters[kParamFontSize].value.SetFloat(12.3456789);
    std::ostringstream out;
    PresetFile::Write(params, out, "P", "V");
    EXPECT_NE(out.str().find("\r\nFont Family: -12\r\n"), std::string::npos);
    EXPECT_NE(out.str().find("\r\nEdge Color: 0.25 1 0.125 \r\n"), std::string::npos);
    EXPECT_NE(out.str().find("\r\nFont Size: 12.3457\r\n"), std::string::npos);
}

TEST_F(PresetFileTest, TextsRoundTrip) {
    const std::string texts[] = {
        "say \"hi\" C:\\path\\",
        "",
        "two\nlines\r\nand a CR\r",
        "\\n is not a line break",
        "  blanks around  ",
    };
    for (const std::string& text : texts) {
        auto params = TableList();
        params.parameters[kParamText].value.text = text;
        ASSERT_TRUE(params.SavePreset(Wide(Path("t.txt").string()), "Tellora", "1.0"));
        auto loaded = TableList();
        loaded.parameters[kParamText].value.text = "old";
        loaded.LoadPreset(Wide(Path("t.txt").string()));
        EXPECT_EQ(loaded.parameters[kParamText].value.text, text);
        EXPECT_EQ(loaded.parameters, params.parameters);
    }
    // Line breaks stay inside the value's own line.
    auto params = TableList();
    params.parameters[kParamText].value.text = "a\nb";
    std::ostringstream out;
    PresetFile::Write(params, out, "P", "V");
    EXPECT_NE(out.str().find("\r\nText: \"a\\nb\"\r\n"), std::string::npos);
}

TEST_F(PresetFileTest, NoPresetRecordsAreSkippedOnWriteButReadBack) {
    Corvantis::Host::PS::Parameters params;
    params.parameters.push_back(Parameter("Hidden", 0, 1.5, ParameterFlags::NoPreset, 0.0, 10.0));
    params.parameters.push_back(Parameter("Shown", 0, 2.5, 0, 0.0, 10.0));
    Parameter odd("Odd", 0, 1.0, 0, 0.0, 10.0);
    odd.type = static_cast<ParameterType>(99);
    params.parameters.push_back(odd);
    std::ostringstream out;
    PresetFile::Write(params, out, "P", "V");
    EXPECT_EQ(out.str(), "Plugin Name: P\r\nVersion Number: V\r\nShown: 2.5\r\n");

    LoadBody(params, "Hidden: 7\r\nOdd: 3\r\n");
    EXPECT_EQ(params.parameters[0].value.GetFloat(), 7.0);
    EXPECT_EQ(params.parameters[2].value.GetFloat(), 1.0) << "unknown type code: nothing";
}

TEST_F(PresetFileTest, ValuesAreTakenAsTheyAre) {
    auto params = TableList();
    LoadBody(params,
             "Ellipse Width: 99999\r\n"
             "Ellipse: 5\r\n"
             "Font Family: 12abc\r\n"
             "Font Style: x\r\n"
             "Font Weight: 99999999999999\r\n"
             "Font Size: 1e3\r\n"
             "Edge Thickness: nonsense\r\n"
             "Bounding Box: True\r\n"
             "Font Underline: true\r\n");
    const auto& p = params.parameters;
    EXPECT_EQ(p[kParamEllipseWidth].value.GetFloat(), 99999.0);
    EXPECT_EQ(p[kParamShape].value.GetInteger(), 5);
    EXPECT_EQ(p[kParamFontFamily].value.GetInteger(), 12);
    EXPECT_EQ(p[kParamFontStyle].value.GetInteger(), 0);
    EXPECT_EQ(p[kParamFontWeight].value.GetInteger(), 2147483647) << "saturates";
    EXPECT_EQ(p[kParamFontSize].value.GetFloat(), 1000.0);
    EXPECT_EQ(p[kParamEdgeThickness].value.GetFloat(), 0.0);
    EXPECT_FALSE(p[kParamBoundingBox].value.GetBoolean());
    EXPECT_TRUE(p[kParamFontUnderline].value.GetBoolean());
}

TEST_F(PresetFileTest, ReaderEdgeCases) {
    auto params = TableList();
    LoadBody(params,
             " Ellipse Width: 5\r\n"          // leading blank: no match
             "Ellipse Height \t : 6\r\n"      // blanks before the colon are trimmed
             "Edge Color: 0.5 0.25\r\n"       // two numbers: blue stays
             "Text Color:   0.5    0.25  1  9 \r\n"
             "Text: no quotes\n"              // bare LF accepted
             "Font Facename: \"unterminated\\\r\n"
             "Garbage without colon\r\n"
             "Indicator Width: 7\r\n"         // swallowed into the previous key
             "Edge Thickness: 8\r\n"
             "X Position: 42");               // no final line break
    const auto& p = params.parameters;
    EXPECT_EQ(p[kParamEllipseWidth].value.GetFloat(), 100.0);
    EXPECT_EQ(p[kParamEllipseHeight].value.GetFloat(), 6.0);
    EXPECT_EQ(p[kParamEdgeColor].value.GetColor().red, 0.5);
    EXPECT_EQ(p[kParamEdgeColor].value.GetColor().green, 0.25);
    EXPECT_EQ(p[kParamEdgeColor].value.GetColor().blue, 0.0);
    EXPECT_EQ(p[kParamTextColor].value.GetColor().red, 0.5);
    EXPECT_EQ(p[kParamTextColor].value.GetColor().blue, 1.0);
    EXPECT_EQ(p[kParamText].value.text, "");
    EXPECT_EQ(p[kParamFontFacename].value.text, "unterminated");
    EXPECT_EQ(p[kParamIndicatorWidth].value.GetFloat(), 20.0);
    EXPECT_EQ(p[kParamEdgeThickness].value.GetFloat(), 8.0);
    EXPECT_EQ(p[kParamXPosition].value.GetFloat(), 42.0);
}

TEST_F(PresetFileTest, OverLongFieldEndsTheRead) {
    // The value field holds the blank after the colon and the CR as well: 251
    // characters of text make 255 and are read; 252 end the read.
    auto params = TableList();
    LoadBody(params, "Text: \"" + std::string(251, 'a') + "\"\r\n" + "Edge Thickness: 5\r\n" +
                         "Font Facename: \"" + std::string(252, 'b') + "\"\r\n" + "Font Size: 9\r\n");
    EXPECT_EQ(params.parameters[kParamText].value.text, std::string(251, 'a'));
    EXPECT_EQ(params.parameters[kParamEdgeThickness].value.GetFloat(), 5.0);
    EXPECT_EQ(params.parameters[kParamFontFacename].value.text, "Arial");
    EXPECT_EQ(params.parameters[kParamFontSize].value.GetFloat(), 12.0);

    auto keyed = TableList();
    LoadBody(keyed, std::string(255, 'k') + ": 1\r\nFont Size: 9\r\n" + std::string(256, 'k') +
                        ": 1\r\nFont Style: 9\r\n");
    EXPECT_EQ(keyed.parameters[kParamFontSize].value.GetFloat(), 9.0);
    EXPECT_EQ(keyed.parameters[kParamFontStyle].value.GetInteger(), 0);
}

TEST_F(PresetFileTest, FilesThatAreNotPresetsChangeNothing) {
    const auto defaults = TableList().parameters;
    auto params = TableList();
    params.LoadPreset(Wide(Path("missing.txt").string()));
    params.LoadPreset(Wide(folder_.string()));  // a folder
    params.LoadPreset(L"");
    LoadBody(params, "");
    WriteFile(Path("empty.txt"), "");
    params.LoadPreset(Wide(Path("empty.txt").string()));
    // The header line is skipped whatever it holds.
    WriteFile(Path("one.txt"), "Font Size: 9\r\n");
    params.LoadPreset(Wide(Path("one.txt").string()));
    EXPECT_EQ(params.parameters, defaults);
}

TEST_F(PresetFileTest, FailedSaveIsReportedAndKeepsTheOldFile) {
    auto params = TableList();
    const auto path = Path("keep.txt");
    ASSERT_TRUE(params.SavePreset(Wide(path.string()), "Tellora", "1.0"));
    EXPECT_FALSE(params.SavePreset(Wide((folder_ / "no" / "such" / "x.txt").string()), "Tellora", "1.0"));
    if (::geteuid() != 0) {
        ::chmod(folder_.c_str(), 0500);
        params.parameters[kParamText].value.text = "new";
        EXPECT_FALSE(params.SavePreset(Wide(path.string()), "Tellora", "1.0"));
        ::chmod(folder_.c_str(), 0700);
    }
    EXPECT_EQ(ReadFile(path), kDefaultPreset);
    EXPECT_FALSE(params.SavePreset(L"", "Tellora", "1.0"));
}

TEST_F(PresetFileTest, WidePathsAreUtf8OnDisk) {
    auto params = TableList();
    const std::wstring name = Wide(folder_.string()) + L"/Bl\u00e4se \u6587.txt";
    ASSERT_TRUE(params.SavePreset(name, "Tellora", "1.0"));
    EXPECT_TRUE(std::filesystem::exists(folder_ / "Bl\xc3\xa4se \xe6\x96\x87.txt"));
}

}  // namespace
