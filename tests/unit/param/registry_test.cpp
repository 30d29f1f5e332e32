#include <cstdio>
#include <cstring>

#include <gtest/gtest.h>

#include "param/c_numbers.h"
#include "param/preset_file.h"
#include "test_support.h"
#include "win32/registry.h"

using namespace Corvantis::Host::Param;
using namespace tellora_test;

namespace {

namespace fs = std::filesystem;

class RegistryTest : public TempFolderTest {
protected:
    void TearDown() override {
        EXPECT_EQ(TelloraRegistryOpenKeyCount(), 0u) << "a key was left open";
        TempFolderTest::TearDown();
    }

    // Stores raw bytes as the unnamed value of the parameter's key.
    static void Put(const std::string& name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kPrefix) + name).c_str(), 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(key, nullptr, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static void PutText(const std::string& name, const std::string& text) {
        Put(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
    static void PutDword(const std::string& name, DWORD v) { Put(name, REG_DWORD, &v, sizeof v); }

    // "type:bytes" of the unnamed value of the parameter's key.
    static std::string Get(const std::string& name) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kPrefix) + name).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return "absent";
        DWORD type = 0, size = 0;
        RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size);
        std::string bytes(size, '\0');
        RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size);
        RegCloseKey(key);
        return std::to_string(type) + ":" + bytes;
    }

    std::vector<fs::path> Files() const {
        std::vector<fs::path> files;
        for (const auto& e : fs::recursive_directory_iterator(registryRoot_))
            if (e.is_regular_file())
                files.push_back(e.path());
        return files;
    }
};

TEST_F(RegistryTest, StandInKeepsTypedValuesAndChecksAccess) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Test", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_EQ(TelloraRegistryOpenKeyCount(), 1u);
    const BYTE blob[5] = {1, 0, 2, 0, 3};
    ASSERT_EQ(RegSetValueExA(key, nullptr, 0, REG_BINARY, blob, sizeof blob), ERROR_SUCCESS);
    DWORD type = 0, size = 4;
    BYTE buf[8] = {};
    EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, &type, buf, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 5u);
    size = sizeof buf;
    EXPECT_EQ(RegQueryValueExA(key, "", nullptr, &type, buf, &size), ERROR_SUCCESS);
    EXPECT_TRUE(type == REG_BINARY && size == 5 && std::memcmp(buf, blob, 5) == 0);
    EXPECT_EQ(RegQueryValueExA(key, "Other", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);

    // Key names ignore case, as on Windows; a key opened for reading takes no writes.
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\test", 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, nullptr, 0, REG_DWORD, blob, 4), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Missing", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    for (const fs::path& f : Files())
        EXPECT_EQ(f.filename(), ".value") << "no temporary file left";
}

TEST_F(RegistryTest, KeyPathsCannotLeaveTheRoot) {
    HKEY key = nullptr;
    for (const char* bad : {"..", "Software\\..\\..\\..\\escape", "\\Software", "Software\\\\x", "Software\\",
                            ".", "a/b", "../escape"}) {
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, bad, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_BAD_PATHNAME)
            << bad;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, bad, 0, KEY_READ, &key), ERROR_BAD_PATHNAME) << bad;
    }
    auto params = TableList();
    EXPECT_FALSE(params.SaveToRegistry("..\\"));
    EXPECT_TRUE(params.LoadFromRegistry("..\\"));
    EXPECT_TRUE(fs::is_empty(folder_)) << "nothing was created";

    // Odd but harmless names stay distinct and inside the root.
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, ".hidden\\%41", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, ".hidden\\A", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, RootDefaultsToTheConfigFolder) {
    ::unsetenv("TELLORA_REGISTRY_ROOT");
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string oldXdg = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\X", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    old ? ::setenv("XDG_CONFIG_HOME", oldXdg.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_TRUE(fs::is_directory(folder_ / "config/tellora/registry/HKEY_CURRENT_USER/Software/X"));
}

TEST_F(RegistryTest, SavedValuesHaveTheirRegistryForm) {
    auto params = TableList();
    params.parameters[kParamText].value.text = "";
    params.parameters[kParamEdgeColor].value.SetColor(1, 0.5, 0);
    params.parameters[kParamFontFamily].value.SetInteger(-3);
    ASSERT_TRUE(params.SaveToRegistry(kPrefix));
    using namespace std::string_literals;
    EXPECT_EQ(Get("Ellipse Width"), "1:100.000000\0"s);
    EXPECT_EQ(Get("Edge Color"), "1:1 0.5 0\0"s);
    EXPECT_EQ(Get("Text"), "1:\0"s) << "empty text: REG_SZ of size 1";
    EXPECT_EQ(Get("Bounding Box"), "4:\1\0\0\0"s);
    EXPECT_EQ(Get("Font Family"), "4:\xfd\xff\xff\xff"s);
    EXPECT_EQ(Get("Ellipse"), "4:\0\0\0\0"s);
}

TEST_F(RegistryTest, LoadClampsAndIgnoresWhatDoesNotFit) {
    PutText("Ellipse Width", "1e9");
    PutText("Ellipse Height", "-5");
    PutText("Indicator Width", "no number");
    PutDword("Edge Thickness", 7);            // Float as DWORD
    PutText("Font Family", "12");             // Integer as text
    PutDword("Font Style", 1000);
    PutDword("Font Weight", 0xFFFFFFFFu);     // -1
    PutDword("Ellipse", 5);
    PutDword("Font Underline", 7);
    PutText("Indicator Thickness", std::string(299, '1'));  // 300 bytes with the NUL
    PutText("Text", std::string(299, 't'));
    PutText("Edge Color", "0.5 0.25");
    PutText("Text Color", "0.5 0.25 1");
    PutText("Bubble Fill Color", "2 0 0");
    PutText("Font Size", "nan");
    PutText("X Indi Position", "inf");
    PutText("Y Indi Position", "-1e999");
    Put("X Position", REG_BINARY, "50", 3);
    Put("Y Position", REG_DWORD, "\1\0", 2);
    Put("Font Facename", REG_SZ, "ab\0cd", 5);

    auto params = TableList();
    EXPECT_TRUE(params.LoadFromRegistry(kPrefix));
    const auto& p = params.parameters;
    EXPECT_EQ(p[kParamEllipseWidth].value.GetFloat(), 15000.0);
    EXPECT_EQ(p[kParamEllipseHeight].value.GetFloat(), 0.0);
    EXPECT_EQ(p[kParamIndicatorWidth].value.GetFloat(), 0.0);
    EXPECT_EQ(p[kParamEdgeThickness].value.GetFloat(), 2.0);
    EXPECT_EQ(p[kParamFontFamily].value.GetInteger(), 4);
    EXPECT_EQ(p[kParamFontStyle].value.GetInteger(), 100);
    EXPECT_EQ(p[kParamFontWeight].value.GetInteger(), 0);
    EXPECT_EQ(p[kParamShape].value.GetInteger(), 1);
    EXPECT_TRUE(p[kParamFontUnderline].value.GetBoolean());
    EXPECT_EQ(p[kParamIndicatorThickness].value.GetFloat(), 2.0);
    EXPECT_EQ(p[kParamText].value.text, std::string(299, 't'));
    EXPECT_EQ(p[kParamEdgeColor].value.GetColor().red, 0.0) << "two numbers: unchanged";
    const Rgb text = p[kParamTextColor].value.GetColor();
    EXPECT_TRUE(text.red == 0.5 && text.green == 0.25 && text.blue == 1.0);
    EXPECT_EQ(p[kParamFillColor].value.GetColor().red, 2.0) << "colours are not clamped";
    EXPECT_EQ(p[kParamFontSize].value.GetFloat(), 12.0) << "not a number is ignored";
    EXPECT_EQ(p[kParamXIndicatorPosition].value.GetFloat(), 1.0) << "infinity is ignored, not clamped";
    EXPECT_EQ(p[kParamYIndicatorPosition].value.GetFloat(), 15.0);
    EXPECT_EQ(p[kParamXPosition].value.GetFloat(), 1.0);
    EXPECT_EQ(p[kParamYPosition].value.GetFloat(), 15.0);
    EXPECT_EQ(p[kParamFontFacename].value.text, "ab") << "up to the first NUL";
}

TEST_F(RegistryTest, CorruptedValueFilesReadAsAbsent) {
    auto params = TableList();
    params.parameters[kParamEllipseWidth].value.SetFloat(7.0);
    ASSERT_TRUE(params.SaveToRegistry(kPrefix));
    const auto files = Files();
    ASSERT_EQ(files.size(), 21u);
    const std::string garbage[] = {"", "TRGV", std::string("TRGV\1\0\0\0\xff\xff\xff\x7f", 12),
                                   std::string("TRGV\4\0\0\0\4\0\0\0\1\0", 14), "\x00\x01 random"};
    for (std::size_t i = 0; i < files.size(); ++i)
        WriteFile(files[i], garbage[i % std::size(garbage)]);
    auto loaded = TableList();
    EXPECT_TRUE(loaded.LoadFromRegistry(kPrefix));
    EXPECT_EQ(loaded.parameters, TableList().parameters);
}

TEST_F(RegistryTest, SaveThenLoadRoundTripsEveryParameter) {
    auto params = TableList();
    for (Parameter& p : params.parameters) {
        if (p.type == ParameterType::Float)
            p.value.SetFloat(p.acceptedMax.GetFloat() / 4 + 0.5);
        else if (p.type == ParameterType::Integer || p.type == ParameterType::Enumerated)
            p.value.SetInteger(p.acceptedMax.GetInteger());
        else if (p.type == ParameterType::Boolean)
            p.value.SetBoolean(!p.value.GetBoolean());
        else if (p.type == ParameterType::Color)
            p.value.SetColor(0.5, 0.25, 0.125);
        else
            p.value.text = "Hello\r\nworld \"q\" \xc3\xa4";
    }
    ASSERT_TRUE(params.SaveToRegistry(kPrefix));
    auto loaded = TableList();
    EXPECT_TRUE(loaded.LoadFromRegistry(kPrefix));
    EXPECT_EQ(loaded.parameters, params.parameters);

    // A failure stops the walk: parameters after it are not written.
    Corvantis::Host::PS::Parameters broken;
    for (const char* name : {"A", "..", "B"})
        broken.parameters.push_back(Parameter(name, 0, std::int32_t{1}, 0u, 0, 9));
    EXPECT_FALSE(broken.SaveToRegistry(kPrefix));
    EXPECT_EQ(Get("A"), std::string("4:\1\0\0\0", 6));
    EXPECT_EQ(Get("B"), "absent");
}

// A channel byte k, kept as k / 255, is drawn as k again (the drawing truncates the component
// times 255), whether this version saved it or an earlier one wrote it with six decimals.
TEST_F(RegistryTest, EveryChannelByteComesBackAsChosen) {
    Corvantis::Host::PS::Parameters saved, old;
    saved.parameters.assign(1, Parameter("C", 0, 0.0, 0.0, 0.0, 0u));
    old.parameters.assign(1, Parameter("Old", 0, 0.0, 0.0, 0.0, 0u));
    for (int k = 0; k < 256; k += 3) {
        const int bytes[3] = {k, std::min(k + 1, 255), std::min(k + 2, 255)};
        saved.parameters[0].value.SetColor(bytes[0] / 255.0, bytes[1] / 255.0, bytes[2] / 255.0);
        ASSERT_TRUE(saved.SaveToRegistry(kPrefix));
        PutText("Old", CNumbers::FormatFixed(bytes[0] / 255.0) + " " + CNumbers::FormatFixed(bytes[1] / 255.0) +
                           "  " + CNumbers::FormatFixed(bytes[2] / 255.0) + " ");
        for (auto* list : {&saved, &old}) {
            ASSERT_TRUE(list->LoadFromRegistry(kPrefix));
            const Rgb c = list->parameters[0].value.GetColor();
            EXPECT_EQ(int(c.red * 255.0), bytes[0]) << list->parameters[0].name;
            EXPECT_EQ(int(c.green * 255.0), bytes[1]) << list->parameters[0].name;
            EXPECT_EQ(int(c.blue * 255.0), bytes[2]) << list->parameters[0].name;
        }
    }
    PutText("Old", "0.1176471 0.117647 0.5");
    ASSERT_TRUE(old.LoadFromRegistry(kPrefix));
    const Rgb c = old.parameters[0].value.GetColor();
    EXPECT_TRUE(c.red == 0.1176471 && c.green == 30 / 255.0 && c.blue == 0.5) << "only the old form is read so";
}

std::string RunHelper(const char* mode) {
    FILE* pipe = ::popen((std::string("'") + TELLORA_REGISTRY_HELPER + "' " + mode).c_str(), "r");
    std::string out;
    char buf[512];
    for (std::size_t n; pipe && (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;)
        out.append(buf, n);
    return pipe && ::pclose(pipe) == 0 ? out : "helper failed";
}

TEST_F(RegistryTest, ValuesPersistAcrossProcesses) {
    ASSERT_EQ(RunHelper("save"), "");
    auto params = TableList();
    EXPECT_TRUE(params.LoadFromRegistry(kPrefix));
    const auto& p = params.parameters;
    EXPECT_EQ(p[kParamShape].value.GetInteger(), 1);
    EXPECT_EQ(p[kParamEllipseWidth].value.GetFloat(), 250.5);
    EXPECT_EQ(p[kParamEdgeColor].value.GetColor().green, 0.25);
    EXPECT_EQ(p[kParamText].value.text, "from another process");
    EXPECT_TRUE(p[kParamFontUnderline].value.GetBoolean());

    params.parameters[kParamFontSize].value.SetFloat(33.25);
    params.parameters[kParamText].value.text = "back again";
    ASSERT_TRUE(params.SaveToRegistry(kPrefix));
    std::ostringstream expected;
    PresetFile::Write(params, expected, "Tellora", "1.0");
    EXPECT_EQ(RunHelper("dump"), expected.str());
}

}  // namespace
