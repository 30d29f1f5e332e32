// The module's resources read as a host reads them: the property list and terminology carry
// the same bytes as the Linux module's sections, and the version and manifest are there.
#include "resources/pipl.h"
#include "resources/terminology.h"
#include "tests/win/module/module_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr WORD kEnglishUs = 1033;

class ModuleResources : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExW(ModuleBesideThisProgram().c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << "LoadLibraryEx failed with " << GetLastError();
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }

    // The bytes of one resource; `found` tells whether it exists in that language.
    std::vector<unsigned char> Resource(const wchar_t* type, const wchar_t* name, WORD language, bool& found) {
        found = false;
        HRSRC info = FindResourceExW(module, type, name, language);
        if (!info) return {};
        HGLOBAL loaded = LoadResource(module, info);
        const auto* bytes = static_cast<const unsigned char*>(LockResource(loaded));
        if (!bytes) return {};
        found = true;
        return std::vector<unsigned char>(bytes, bytes + SizeofResource(module, info));
    }

    HMODULE module = nullptr;
};

TEST_F(ModuleResources, PropertyListAndTerminologyEqualTheLinuxBytes) {
    bool found = false;
    const auto pipl = Resource(L"PIPL", MAKEINTRESOURCEW(16000), kEnglishUs, found);
    ASSERT_TRUE(found) << "no PIPL 16000 in US English";
    EXPECT_EQ(pipl, std::vector<unsigned char>(kTelloraPipl, kTelloraPipl + kTelloraPiplSize));

    const auto aete = Resource(L"AETE", MAKEINTRESOURCEW(16000), kEnglishUs, found);
    ASSERT_TRUE(found) << "no AETE 16000 in US English";
    EXPECT_EQ(aete,
              std::vector<unsigned char>(kTelloraTerminology, kTelloraTerminology + kTelloraTerminologySize));
}

TEST_F(ModuleResources, ManifestAsksForCommonControlsSixOnAmd64) {
    bool found = false;
    const auto bytes = Resource(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(2), kEnglishUs, found);  // RT_MANIFEST
    ASSERT_TRUE(found) << "no manifest with the ID a DLL's manifest has";
    const std::string manifest(bytes.begin(), bytes.end());
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\""), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("processorArchitecture=\"amd64\""), std::string::npos);
}

// The version as the shell's file properties read it.
TEST(ModuleVersion, IsOnePointZero) {
    const std::wstring path = ModuleBesideThisProgram();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<unsigned char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    for (const wchar_t* key : {L"\\StringFileInfo\\040904B0\\FileVersion", L"\\StringFileInfo\\040904B0\\ProductVersion"}) {
        wchar_t* text = nullptr;
        ASSERT_TRUE(VerQueryValueW(block.data(), key, reinterpret_cast<void**>(&text), &length)) << key;
        EXPECT_EQ(std::wstring(text), L"1.0");
    }
}

}  // namespace
