// The module loaded as a host loads it: the entry point is found by name, the resources are
// found in the loaded image, and a host can unload it and load it again.
#include "tests/win/module/module_file.h"

#include <gtest/gtest.h>

namespace {

TEST(ModuleImage, LoadsWithItsEntryPointAndResources) {
    for (int round = 0; round < 2; ++round) {
        HMODULE module = LoadLibraryW(ModuleBesideThisProgram().c_str());
        ASSERT_NE(module, nullptr) << "LoadLibrary failed with " << GetLastError() << " in round " << round;
        EXPECT_NE(GetProcAddress(module, "PluginMain"), nullptr);
        EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(16000), L"PIPL"), nullptr);
        EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(16000), L"AETE"), nullptr);
        EXPECT_TRUE(FreeLibrary(module));
    }
}

}  // namespace
