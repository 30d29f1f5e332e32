#include <cstdio>
#include <cstring>

#include <gtest/gtest.h>

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

    // Type and bytes of the unnamed value of the parameter's key.
    static bool Get(const std::string& name, DWORD& type, std::string& bytes) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kPrefix) + name).c_str(), 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return false;
        DWORD size = 0;
        bool ok = RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
        bytes.assign(size, '\0');
        ok = ok && RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size) ==
                       ERROR_SUCCESS;
        RegCloseKey(key);
        return ok;
    }

    static std::vector<fs::path> ValueFiles(const fs::path& root) {
        std::vector<fs::path> files;
        for (const auto& e : fs::recursive_directory_iterator(root))
            if (e.is_regular_file())
                files.push_back(e.path());
        return files;
    }
};

// ---- the store's own behaviour ----

TEST_F(RegistryTest, StandInKeepsTypedValues) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Test", 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_EQ(TelloraRegistryOpenKeyCount(), 1u);

    const BYTE blob[5] = {1, 0, 2, 0, 3};
    ASSERT_EQ(RegSetValueExA(key, nullptr, 0, REG_BINARY, blob, sizeof blob), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "Named", 0, REG_DWORD, blob, 4), ERROR_SUCCESS);

    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(size, 5u);
    BYTE buf[8] = {};
    size = 4;
    EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, &type, buf, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 5u);
    size = sizeof buf;
    EXPECT_EQ(RegQueryValueExA(key, "", nullptr, &type, buf, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::memcmp(buf, blob, 5), 0);
    EXPECT_EQ(RegQueryValueExA(key, "NAMED", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(RegQueryValueExA(key, "Other", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, &type, buf, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegDeleteValueA(key, "Named"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, "Named"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size), ERROR_INVALID_HANDLE);

    // Key names ignore case, as on Windows; a missing key is not found.
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\test", 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    // Opened for reading only: no writes.
    EXPECT_EQ(RegSetValueExA(key, nullptr, 0, REG_DWORD, blob, 4), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Missing", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);

    // Writes leave no temporary files behind.
    for (const fs::path& f : ValueFiles(registryRoot_))
        EXPECT_EQ(f.filename().string().rfind(".value", 0), 0u) << f;
}

TEST_F(RegistryTest, KeyPathsCannotLeaveTheRoot) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    for (const char* bad : {"..", "Software\\..\\..\\..\\escape", "\\Software", "Software\\\\x", "Software\\",
                            ".", "a/b", "../escape", "Software\\.."}) {
        SCOPED_TRACE(bad);
        key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, bad, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_BAD_PATHNAME);
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, bad, 0, KEY_READ, &key), ERROR_BAD_PATHNAME);
        EXPECT_EQ(key, nullptr);
    }
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, std::string(256, 'k').c_str(), 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_BAD_PATHNAME);
    // Only the root's own tree exists in the test folder.
    for (const auto& e : fs::directory_iterator(folder_))
        EXPECT_EQ(e.path(), registryRoot_);

    // The store refuses such a prefix and writes nothing.
    auto params = TableList();
    EXPECT_FALSE(params.SaveToRegistry("..\\"));
    EXPECT_TRUE(params.LoadFromRegistry("..\\"));
    EXPECT_EQ(params.parameters, TableList().parameters);

    // Names that are odd but harmless are kept inside the root.
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, ".hidden\\%41\\tab\tname", 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, ".hidden\\%41\\tab\tname", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, ".hidden\\A", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, RootDefaultsToTheConfigFolder) {
    ::unsetenv("TELLORA_REGISTRY_ROOT");
    const std::string oldXdg = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
    ::setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\X", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_TRUE(fs::is_directory(folder_ / "config/tellora/registry/HKEY_CURRENT_USER/Software/X"));
    if (oldXdg.empty())
        ::unsetenv("XDG_CONFIG_HOME");
    else
        ::setenv("XDG_CONFIG_HOME", oldXdg.c_str(), 1);
}

TEST_F(RegistryTest, CorruptedValueFilesReadAsAbsent) {
    auto params = TableList();
    params.parameters[kParamEllipseWidth].value.SetFloat(7.0);
    ASSERT_TRUE(params.SaveToRegistry(kPrefix));
    const auto files = ValueFiles(registryRoot_);
    ASSERT_EQ(files.size(), 21u);
    const std::string garbage[] = {"", "TRGV", std::string("TRGV\1\0\0\0\xff\xff\xff\x7f", 12),
                                   std::string("TRGV\4\0\0\0\4\0\0\0\1\0", 14), "\x00\x01 random bytes"};
    for (std::size_t i = 0; i < files.size(); ++i)
        WriteFile(files[i], garbage[i % std::size(garbage)]);
    auto loaded = TableList();
    EXPECT_TRUE(loaded.LoadFromRegistry(kPrefix));
    EXPECT_EQ(loaded.parameters, TableList().parameters);
}

// ---- the parameter list's registry copy ----

TEST_F(RegistryTest, SavedValuesHaveTheirRegistryForm) {
    auto params = TableList();
    params.parameters[kParamText].value.text = "";
    params.parameters[kParamEdgeColor].value.SetColor(1, 0.5, 0);
    params.parameters[kParamFontFamily].value.SetInteger(-3);
    ASSERT_TRUE(params.SaveToRegistry(kPrefix));

    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(Get("Ellipse Width", type, bytes));
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(bytes, std::string("100.000000", 11));
    ASSERT_TRUE(Get("Edge Color", type, bytes));
    EXPECT_EQ(bytes, std::string("1.000000 0.500000 0.000000", 27));
    ASSERT_TRUE(Get("Text", type, bytes));
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(bytes, std::string(1, '\0')) << "empty text: size 1";
    ASSERT_TRUE(Get("Bounding Box", type, bytes));
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(bytes, std::string("\1\0\0\0", 4));
    ASSERT_TRUE(Get("Font Family", type, bytes));
    EXPECT_EQ(bytes, std::string("\xfd\xff\xff\xff", 4));
    ASSERT_TRUE(Get("Ellipse", type, bytes));
    EXPECT_EQ(type, REG_DWORD);
}

TEST_F(RegistryTest, LoadClampsAndIgnoresWhatDoesNotFit) {
    PutText("Ellipse Width", "1e9");
    PutText("Ellipse Height", "-5");
    PutText("Indicator Width", "no number");
    PutDword("Edge Thickness", 7);                   // Float as DWORD
    PutText("Font Family", "12");                    // Integer as text
    PutDword("Font Style", 1000);
    PutDword("Font Weight", 0xFFFFFFFFu);             // -1
    PutDword("Ellipse", 5);
    PutDword("Bounding Box", 0);
    PutDword("Font Underline", 7);
    PutText("Indicator Thickness", std::string(299, '1'));  // 300 bytes with the NUL
    PutText("Text", std::string(299, 't'));
    PutText("Edge Color", "0.5 0.25");
    PutText("Text Color", "0.5 0.25 1");
    PutText("Bubble Fill Color", "2 0 0");
    PutText("Font Size", "nan");
    const BYTE two[2] = {1, 0};
    Put("X Position", REG_BINARY, "50", 3);
    Put("Y Position", REG_DWORD, two, 2);
    Put("Font Facename", REG_BINARY, "Helvetica", 10);

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
    EXPECT_FALSE(p[kParamBoundingBox].value.GetBoolean());
    EXPECT_TRUE(p[kParamFontUnderline].value.GetBoolean());
    EXPECT_EQ(p[kParamIndicatorThickness].value.GetFloat(), 2.0);
    EXPECT_EQ(p[kParamText].value.text, std::string(299, 't'));
    EXPECT_EQ(p[kParamEdgeColor].value.GetColor().red, 0.0) << "two numbers: unchanged";
    EXPECT_EQ(p[kParamTextColor].value.GetColor().red, 0.5);
    EXPECT_EQ(p[kParamTextColor].value.GetColor().green, 0.25);
    EXPECT_EQ(p[kParamTextColor].value.GetColor().blue, 1.0);
    EXPECT_EQ(p[kParamFillColor].value.GetColor().red, 2.0) << "colours are not clamped";
    EXPECT_EQ(p[kParamFontSize].value.GetFloat(), 12.0) << "not a number is ignored";
    EXPECT_EQ(p[kParamXPosition].value.GetFloat(), 1.0);
    EXPECT_EQ(p[kParamYPosition].value.GetFloat(), 15.0);
    EXPECT_EQ(p[kParamFontFacename].value.text, "Arial");
}

TEST_F(RegistryTest, TextStopsAtItsFirstNulAndNeedsNoTerminator) {
    Put("Text", REG_SZ, "ab\0cd", 5);
    Put("Font Facename", REG_SZ, "Mono", 4);  // stored without a NUL
    auto params = TableList();
    EXPECT_TRUE(params.LoadFromRegistry(kPrefix));
    EXPECT_EQ(params.parameters[kParamText].value.text, "ab");
    EXPECT_EQ(params.parameters[kParamFontFacename].value.text, "Mono");
}

TEST_F(RegistryTest, SaveThenLoadRoundTripsEveryParameter) {
    auto params = TableList();
    auto& p = params.parameters;
    p[kParamShape].value.SetInteger(1);
    for (std::size_t i : {kParamEllipseWidth, kParamEllipseHeight, kParamIndicatorWidth, kParamEdgeThickness,
                          kParamIndicatorThickness, kParamXPosition, kParamYPosition, kParamXIndicatorPosition,
                          kParamYIndicatorPosition, kParamFontSize})
        p[i].value.SetFloat(10.5 + double(i));
    p[kParamFillColor].value.SetColor(0.5, 0.25, 0.125);
    p[kParamEdgeColor].value.SetColor(1, 0.75, 0);
    p[kParamTextColor].value.SetColor(0.0625, 1, 0.5);
    p[kParamText].value.text = "Hello\r\nworld \"quoted\" \xc3\xa4";
    p[kParamBoundingBox].value.SetBoolean(false);
    p[kParamFontFacename].value.text = "DejaVu Sans";
    p[kParamFontFamily].value.SetInteger(7);
    p[kParamFontStyle].value.SetInteger(2);
    p[kParamFontWeight].value.SetInteger(1);
    p[kParamFontUnderline].value.SetBoolean(true);
    ASSERT_TRUE(params.SaveToRegistry(kPrefix));

    auto loaded = TableList();
    EXPECT_TRUE(loaded.LoadFromRegistry(kPrefix));
    EXPECT_EQ(loaded.parameters, params.parameters);
}

TEST_F(RegistryTest, SaveStopsAtTheFirstFailure) {
    Corvantis::Host::PS::Parameters params;
    params.parameters.push_back(Parameter("A", 0, std::int32_t{1}, 0, 0, 9));
    params.parameters.push_back(Parameter("..", 0, std::int32_t{2}, 0, 0, 9));
    params.parameters.push_back(Parameter("B", 0, std::int32_t{3}, 0, 0, 9));
    EXPECT_FALSE(params.SaveToRegistry(kPrefix));
    DWORD type;
    std::string bytes;
    EXPECT_TRUE(Get("A", type, bytes));
    EXPECT_FALSE(Get("B", type, bytes));
}

std::string RunHelper(const char* mode) {
    const std::string command = std::string("'") + TELLORA_REGISTRY_HELPER + "' " + mode;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return "popen failed";
    std::string out;
    char buf[512];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;)
        out.append(buf, n);
    const int status = ::pclose(pipe);
    return status == 0 ? out : "helper failed: " + std::to_string(status);
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
    EXPECT_EQ(p[kParamFontWeight].value.GetInteger(), 2);

    params.parameters[kParamFontSize].value.SetFloat(33.25);
    params.parameters[kParamText].value.text = "back again";
    ASSERT_TRUE(params.SaveToRegistry(kPrefix));
    std::ostringstream expected;
    PresetFile::Write(params, expected, "Tellora", "1.0");
    EXPECT_EQ(RunHelper("dump"), expected.str());
}

}  // namespace
