// The parameter model against Windows itself: a preset saved over an existing file (a rename
// over a file fails there), a folder name outside ASCII, the registry store in the real
// HKEY_CURRENT_USER, number text in a locale whose decimal separator is a comma, and texts
// that are not UTF-8 read in the Windows code page.
#include "filter/parameter_table.h"
#include "param/c_numbers.h"
#include "param/ps_parameters.h"
#include "param/text_encoding.h"
#include "win32/registry.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;
using Corvantis::Host::PS::Parameters;
namespace CNumbers = Corvantis::Host::Param::CNumbers;

Parameters TableList() {
    Parameters params;
    AppendTelloraParameters(params);
    return params;
}

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / (L"tellora-" + std::to_wstring(GetCurrentProcessId()) + L"-Größe");
        fs::remove_all(folder);
        ASSERT_TRUE(fs::create_directories(folder));
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    fs::path folder;
};

TEST_F(TempFolder, PresetSavedAgainReplacesTheFileAndLeavesNoTemporary) {
    const fs::path preset = folder / L"bubble.tpr";
    Parameters first = TableList();
    first.parameters[kParamText].value.text = "first";
    first.parameters[kParamEllipseWidth].value.SetFloat(150.0);
    ASSERT_TRUE(first.SavePreset(preset.wstring(), "Tellora", "1.0"));
    // A killed save's leftover goes with the next save; a user's file of a like name stays.
    const fs::path stale = folder / L".Tellora-99999-0123456789abcdef.tmp", users = folder / L"bubble.tpr.saving-99999";
    std::ofstream(stale) << "killed";
    std::ofstream(users) << "the user's";

    Parameters second = TableList();
    second.parameters[kParamText].value.text = "second";
    second.parameters[kParamEllipseWidth].value.SetFloat(250.5);
    ASSERT_TRUE(second.SavePreset(preset.wstring(), "Tellora", "1.0")) << "saving over an existing preset failed";

    Parameters loaded = TableList();
    loaded.LoadPreset(preset.wstring());
    EXPECT_EQ(loaded.parameters[kParamText].value.text, "second");
    EXPECT_DOUBLE_EQ(loaded.parameters[kParamEllipseWidth].value.GetFloat(), 250.5);

    std::set<fs::path> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    EXPECT_EQ(names, (std::set<fs::path>{preset.filename(), users.filename()}));
}

TEST_F(TempFolder, PresetIntoAMissingFolderFailsAndWritesNothing) {
    const fs::path preset = folder / L"missing" / L"bubble.tpr";
    EXPECT_FALSE(TableList().SavePreset(preset.wstring(), "Tellora", "1.0"));
    EXPECT_TRUE(fs::is_empty(folder));
}

class RealRegistry : public ::testing::Test {
protected:
    void SetUp() override { prefix = root + "\\"; }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, root.c_str()); }

    void PutText(const std::string& name, const std::string& text) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (prefix + name).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>(text.size() + 1)),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    const std::string root = "Software\\Corvantis\\TelloraWinTest" + std::to_string(GetCurrentProcessId());
    std::string prefix;
};

TEST_F(RealRegistry, ValuesSurviveARoundTripWithTheirTypes) {
    Parameters saved = TableList();
    saved.parameters[kParamShape].value.SetInteger(1);
    saved.parameters[kParamEllipseWidth].value.SetFloat(321.25);
    saved.parameters[kParamText].value.text = "Hallo Welt";
    saved.parameters[kParamFillColor].value.SetColor(0.5, 0.25, 1.0);
    saved.parameters[kParamFontUnderline].value.SetBoolean(true);
    ASSERT_TRUE(saved.SaveToRegistry(prefix));

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (prefix + "Ellipse Width").c_str(), 0, KEY_QUERY_VALUE, &key),
              ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, sizeof("321.250000"));

    Parameters loaded = TableList();
    ASSERT_TRUE(loaded.LoadFromRegistry(prefix));
    EXPECT_EQ(loaded.parameters[kParamShape].value.GetInteger(), 1);
    EXPECT_DOUBLE_EQ(loaded.parameters[kParamEllipseWidth].value.GetFloat(), 321.25);
    EXPECT_EQ(loaded.parameters[kParamText].value.text, "Hallo Welt");
    const auto fill = loaded.parameters[kParamFillColor].value.GetColor();
    EXPECT_DOUBLE_EQ(fill.red, 0.5);
    EXPECT_DOUBLE_EQ(fill.green, 0.25);
    EXPECT_DOUBLE_EQ(fill.blue, 1.0);
    EXPECT_TRUE(loaded.parameters[kParamFontUnderline].value.GetBoolean());
}

TEST_F(RealRegistry, OutOfRangeAndMistypedValuesAreClampedOrIgnored) {
    PutText("Ellipse Width", "1e9");
    PutText("Font Family", "3");  // an integer stored as text is not taken
    Parameters loaded = TableList();
    ASSERT_TRUE(loaded.LoadFromRegistry(prefix));
    EXPECT_DOUBLE_EQ(loaded.parameters[kParamEllipseWidth].value.GetFloat(), 15000.0);
    EXPECT_EQ(loaded.parameters[kParamFontFamily].value.GetInteger(), 4);
}

// Number text follows the C locale while the process runs in one with a decimal comma, and
// the process's locale is what it was afterwards.
TEST(CommaLocale, NumbersKeepTheirPoint) {
    const char* german = std::setlocale(LC_ALL, "German_Germany.1252");
    if (!german) german = std::setlocale(LC_ALL, "de-DE");
    if (!german) GTEST_SKIP() << "no German locale here";
    ASSERT_EQ(*std::localeconv()->decimal_point, ',');

    EXPECT_EQ(CNumbers::FormatFixed(1.5), "1.500000");
    EXPECT_DOUBLE_EQ(CNumbers::ToDouble("2.25"), 2.25);
    EXPECT_EQ(CNumbers::FormatExact(0.1), "0.10000000000000001");
    double rgb[3] = {};
    int ends[3] = {};
    ASSERT_TRUE(CNumbers::ScanThreeDoubles("0.5 0.25 1.75", rgb, ends));
    EXPECT_EQ(rgb[0], 0.5);
    EXPECT_EQ(rgb[1], 0.25);
    EXPECT_EQ(rgb[2], 1.75);

    EXPECT_EQ(*std::localeconv()->decimal_point, ',') << "the scope did not give the locale back";
    std::setlocale(LC_ALL, "C");
}

TEST(TextEncoding, TextsThatAreNotUtf8AreReadInTheWindowsCodePage) {
    using Corvantis::Host::Param::TextAsUtf8;
    EXPECT_EQ(TextAsUtf8("caf\xC3\xA9"), "caf\xC3\xA9") << "UTF-8 as it is";
    // Every byte as the system's own conversion reads it.
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const char text[] = {'x', char(byte), 0};
        wchar_t wide[4] = {};
        ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, text, 2, wide, 4), 2);
        char expected[16] = {};
        ASSERT_GT(WideCharToMultiByte(CP_UTF8, 0, wide, 2, expected, sizeof expected, nullptr, nullptr), 0);
        EXPECT_EQ(TextAsUtf8(text), expected) << byte;
    }
    if (GetACP() == 1252) {
        EXPECT_EQ(TextAsUtf8("\x80 caf\xE9"), "\xE2\x82\xAC caf\xC3\xA9");
    }
}

}  // namespace
