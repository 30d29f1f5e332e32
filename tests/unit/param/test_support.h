// Shared helpers of the parameter model tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "filter/parameter_table.h"
#include "param/ps_parameters.h"

namespace tellora_test {

inline const char kPrefix[] = "Software\\Corvantis\\Tellora\\";

inline Corvantis::Host::PS::Parameters TableList() {
    Corvantis::Host::PS::Parameters params;
    AppendTelloraParameters(params);
    return params;
}

inline std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder per test; TELLORA_REGISTRY_ROOT points into it.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "tellora-param-XXXXXX").string();
        ASSERT_NE(::mkdtemp(&pattern[0]), nullptr);
        folder_ = pattern;
        registryRoot_ = folder_ / "registry";
        ::setenv("TELLORA_REGISTRY_ROOT", registryRoot_.c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("TELLORA_REGISTRY_ROOT");
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    std::filesystem::path folder_;
    std::filesystem::path registryRoot_;
};

}  // namespace tellora_test
