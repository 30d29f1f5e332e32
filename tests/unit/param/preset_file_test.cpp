#include <gtest/gtest.h>

#include "param/preset_file.h"
#include "test_support.h"

using namespace Corvantis::Host::Param;
using namespace tellora_test;

namespace {

class PresetFileTest : public TempFolderTest {
protected:
    std::wstring Path(const char* name) const { return Wide((folder_ / name).string()); }

    // Loads a preset whose parameter lines follow the two header lines.
    void LoadBody(Parameters& params, const std::string& body) {
        WriteFile(folder_ / "body.txt", "Plugin Name: Tellora\r\nVersion Number: 1.0\r\n" + body);
        params.LoadPreset(Path("body.txt"));
    }
};

const char kDefaultPreset[] =
    "Plugin Name: Tellora\r\nVersion Number: 1.0\r\n"
    "Ellipse: 0\r\nEllipse Width: 100\r\nEllipse Height: 100\r\nIndicator Width: 20\r\n"
    "Edge Thickness: 2\r\nIndicator Thickness: 2\r\nBubble Fill Color: 1 1 1 \r\nEdge Color: 0 0 0 \r\n"
    "Text: \"Text\"\r\nText Color: 0 0 0 \r\nX Position: 1\r\nY Position: 15\r\nX Indi Position: 1\r\n"
    "Y Indi Position: 15\r\nBounding Box: true\r\nFont Size: 12\r\nFont Facename: \"Arial\"\r\n"
    "Font Family: 4\r\nFont Style: 0\r\nFont Weight: 0\r\nFont Underline: false\r\n";

TEST_F(PresetFileTest, DefaultListIsWrittenExactly) {
    auto params = TableList();
    ASSERT_TRUE(params.SavePreset(Path("default.txt"), "Tellora", "1.0"));
    EXPECT_EQ(ReadFile(folder_ / "default.txt"), kDefaultPreset);

    EXPECT_EQ(PresetFile::FormatFloat(12.3456789), "12.3457");
    EXPECT_EQ(PresetFile::FormatFloat(1e6), "1e+06");
    EXPECT_EQ(PresetFile::FormatFloat(0.00001), "1e-05");
    params.parameters[kParamFontFamily].value.SetInteger(-12);
    params.parameters[kParamEdgeColor].value.SetColor(0.25, 1, 0.5);
    std::ostringstream out;
    PresetFile::Write(params, out, "P", "V");
    EXPECT_NE(out.str().find("\r\nFont Family: -12\r\nFont Style"), std::string::npos);
    EXPECT_NE(out.str().find("\r\nEdge Color: 0.25 1 0.5 \r\n"), std::string::npos);
}

TEST_F(PresetFileTest, TextsRoundTrip) {
    for (const std::string text :
         {"say \"hi\" C:\\path\\", "", "two\nlines\r\nand a CR\r", "\\n is no line break", "  blanks  "}) {
        auto params = TableList();
        params.parameters[kParamText].value.text = text;
        ASSERT_TRUE(params.SavePreset(Path("t.txt"), "Tellora", "1.0"));
        auto loaded = TableList();
        loaded.parameters[kParamText].value.text = "old";
        loaded.LoadPreset(Path("t.txt"));
        EXPECT_EQ(loaded.parameters, params.parameters) << text;
    }
    EXPECT_EQ(PresetFile::QuoteText("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(PresetFile::QuoteText("a\nb\r"), "\"a\\nb\\r\"") << "line breaks stay on the line";
}

TEST_F(PresetFileTest, NoPresetAndUnknownTypes) {
    Corvantis::Host::PS::Parameters params;
    params.parameters.push_back(Parameter("Hidden", 0, 1.5, ParameterFlags::NoPreset, 0.0, 10.0));
    params.parameters.push_back(Parameter("Shown", 0, 2.5, 0u, 0.0, 10.0));
    params.parameters.push_back(Parameter("Odd", 0, 1.0, 0u, 0.0, 10.0));
    params.parameters.back().type = static_cast<ParameterType>(99);
    std::ostringstream out;
    PresetFile::Write(params, out, "P", "V");
    EXPECT_EQ(out.str(), "Plugin Name: P\r\nVersion Number: V\r\nShown: 2.5\r\n");

    LoadBody(params, "Hidden: 7\r\nOdd: 3\r\n");
    EXPECT_EQ(params.parameters[0].value.GetFloat(), 7.0) << "NoPreset is still read";
    EXPECT_EQ(params.parameters[2].value.GetFloat(), 1.0);
}

TEST_F(PresetFileTest, ValuesAreTakenAsTheyAreUnlessTheyWouldHarm) {
    auto params = TableList();
    params.parameters[kParamShape].value.SetInteger(1);
    LoadBody(params,
             "Ellipse Width: 99999\r\nEllipse: 7\r\nFont Family: 12abc\r\nFont Style: x\r\n"
             "Font Weight: 99999999999999\r\nFont Size: 1e3\r\nEdge Thickness: nonsense\r\n"
             "Indicator Thickness: nan\r\nBounding Box: True\r\nFont Underline: true\r\n"
             "Ellipse Height: -4\r\nX Position: 1e300\r\nY Position: inf\r\n");
    const auto& p = params.parameters;
    EXPECT_EQ(p[kParamEllipseWidth].value.GetFloat(), 99999.0) << "no clamping";
    EXPECT_EQ(p[kParamEllipseHeight].value.GetFloat(), -4.0);
    EXPECT_EQ(p[kParamXPosition].value.GetFloat(), 1e300);
    EXPECT_EQ(p[kParamYPosition].value.GetFloat(), 15.0) << "infinity is ignored";
    EXPECT_EQ(p[kParamShape].value.GetInteger(), 1) << "no such shape: the shape it had";
    EXPECT_EQ(p[kParamFontFamily].value.GetInteger(), 12);
    EXPECT_EQ(p[kParamFontStyle].value.GetInteger(), 0);
    EXPECT_EQ(p[kParamFontWeight].value.GetInteger(), 2147483647) << "saturates";
    EXPECT_EQ(p[kParamFontSize].value.GetFloat(), 1000.0);
    EXPECT_EQ(p[kParamEdgeThickness].value.GetFloat(), 0.0);
    EXPECT_EQ(p[kParamIndicatorThickness].value.GetFloat(), 2.0) << "not a number is ignored";
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
    const Rgb edge = p[kParamEdgeColor].value.GetColor(), text = p[kParamTextColor].value.GetColor();
    EXPECT_TRUE(edge.red == 0.5 && edge.green == 0.25 && edge.blue == 0.0);
    EXPECT_TRUE(text.red == 0.5 && text.green == 0.25 && text.blue == 1.0);
    EXPECT_EQ(p[kParamText].value.text, "");
    EXPECT_EQ(p[kParamFontFacename].value.text, "unterminated");
    EXPECT_EQ(p[kParamIndicatorWidth].value.GetFloat(), 20.0);
    EXPECT_EQ(p[kParamEdgeThickness].value.GetFloat(), 8.0);
    EXPECT_EQ(p[kParamXPosition].value.GetFloat(), 42.0);
}

TEST_F(PresetFileTest, LongTextsReadBackWithTheValuesAfterThem) {
    auto params = TableList();
    params.parameters[kParamText].value.text = std::string(70000, 'a') + "\"\\\n";
    params.parameters[kParamFontSize].value.SetFloat(33.0);
    params.parameters[kParamFontFacename].value.text = std::string(300, 'f');
    ASSERT_TRUE(params.SavePreset(Path("long.txt"), "Tellora", "1.0"));
    auto loaded = TableList();
    loaded.LoadPreset(Path("long.txt"));
    EXPECT_EQ(loaded.parameters, params.parameters);
}

TEST_F(PresetFileTest, NumbersThatAreNotFiniteKeepTheOldValue) {
    auto params = TableList();
    LoadBody(params, "Ellipse Width: inf\r\nEllipse Height: -1e999\r\nFont Size: nan\r\n"
                     "Edge Color: 0.5 inf 0.25 \r\nX Position: 7\r\n");
    const auto& p = params.parameters;
    EXPECT_EQ(p[kParamEllipseWidth].value.GetFloat(), 100.0);
    EXPECT_EQ(p[kParamEllipseHeight].value.GetFloat(), 100.0);
    EXPECT_EQ(p[kParamFontSize].value.GetFloat(), 12.0);
    const Rgb edge = p[kParamEdgeColor].value.GetColor();
    EXPECT_TRUE(edge.red == 0.5 && edge.green == 0.0 && edge.blue == 0.25);
    EXPECT_EQ(p[kParamXPosition].value.GetFloat(), 7.0);
}

TEST_F(PresetFileTest, OverLongFieldEndsTheRead) {
    // The value field holds the blank after the colon and the CR as well: a text of the bound
    // less four characters fills it and is read; one more ends the read.
    const std::size_t max = PresetFile::kMaxField;
    auto params = TableList();
    LoadBody(params, "Text: \"" + std::string(max - 4, 'a') + "\"\r\nEdge Thickness: 5\r\nFont Facename: \"" +
                         std::string(max - 3, 'b') + "\"\r\nFont Size: 9\r\n");
    EXPECT_EQ(params.parameters[kParamText].value.text.size(), max - 4);
    EXPECT_EQ(params.parameters[kParamEdgeThickness].value.GetFloat(), 5.0);
    EXPECT_EQ(params.parameters[kParamFontFacename].value.text, "Arial");
    EXPECT_EQ(params.parameters[kParamFontSize].value.GetFloat(), 12.0);

    LoadBody(params, std::string(max, 'k') + ": 1\r\nFont Size: 9\r\n" + std::string(max + 1, 'k') +
                         ": 1\r\nFont Style: 9\r\n");
    EXPECT_EQ(params.parameters[kParamFontSize].value.GetFloat(), 9.0);
    EXPECT_EQ(params.parameters[kParamFontStyle].value.GetInteger(), 0);
}

TEST_F(PresetFileTest, ATextTheReaderCouldNotTakeIsNotSaved) {
    auto params = TableList();
    ASSERT_TRUE(params.SavePreset(Path("keep.txt"), "Tellora", "1.0"));
    // Quotes, the blank after the colon and the CR fill the field around the text.
    params.parameters[kParamText].value.text = std::string(PresetFile::kMaxField - 3, 't');
    EXPECT_FALSE(params.SavePreset(Path("keep.txt"), "Tellora", "1.0"));
    EXPECT_EQ(ReadFile(folder_ / "keep.txt"), kDefaultPreset);

    params.parameters[kParamText].value.text.pop_back();
    ASSERT_TRUE(params.SavePreset(Path("keep.txt"), "Tellora", "1.0"));
    auto loaded = TableList();
    loaded.LoadPreset(Path("keep.txt"));
    EXPECT_EQ(loaded.parameters, params.parameters);
}

TEST_F(PresetFileTest, UnreadableOrEmptyFilesChangeNothing) {
    auto params = TableList();
    params.LoadPreset(Path("missing.txt"));
    params.LoadPreset(Wide(folder_.string()));  // a folder: reading it fails
    params.LoadPreset(L"");
    LoadBody(params, "");
    WriteFile(folder_ / "one.txt", "Font Size: 9\r\n");  // the first line is the header, whatever it says
    params.LoadPreset(Path("one.txt"));
    EXPECT_EQ(params.parameters, TableList().parameters);
}

TEST_F(PresetFileTest, FailedSaveIsReportedAndKeepsTheOldFile) {
    auto params = TableList();
    ASSERT_TRUE(params.SavePreset(Path("keep.txt"), "Tellora", "1.0"));
    params.parameters[kParamText].value.text = "new";
    EXPECT_FALSE(params.SavePreset(Wide((folder_ / "no/such/x.txt").string()), "Tellora", "1.0"));
    // A folder in the way of the rename: the write works, the replace does not.
    std::filesystem::create_directory(folder_ / "dir.txt");
    EXPECT_FALSE(params.SavePreset(Path("dir.txt"), "Tellora", "1.0"));
    EXPECT_EQ(ReadFile(folder_ / "keep.txt"), kDefaultPreset);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 2) << "no temporary left";

    const std::wstring unicode = Wide(folder_.string()) + L"/Bl\u00e4se \u6587.txt";
    ASSERT_TRUE(params.SavePreset(unicode, "Tellora", "1.0"));
    EXPECT_TRUE(std::filesystem::exists(folder_ / "Bl\xc3\xa4se \xe6\x96\x87.txt")) << "UTF-8 on disk";
}

}  // namespace
