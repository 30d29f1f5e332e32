// Helpers for hostsim's tests: files, patched module copies, running filterhost.
#pragma once
#include "hostsim/elf_sections.h"

#include "tests/host/process_folder.h"
#include "tests/host/run_command.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace hostsim_test {

inline const std::string kFixturePath = HOSTSIM_FIXTURE_PATH;
inline const std::string kFilterHostPath = FILTERHOST_PATH;
inline const std::string kTestBinaryPath = HOSTSIM_TESTS_PATH;
inline const std::string kPiplSection = ".rsrc.PIPL.16000";
inline const std::string kAeteSection = ".rsrc.AETE.16000";

inline std::vector<uint8> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const std::vector<uint8>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

using host_tests::ProcessFolder;

// A path in this process's folder, unique to the running test.
inline std::string TempPath(const std::string& suffix) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name)
        if (c == '/') c = '_';
    return ProcessFolder() + name + "_" + suffix;
}

// The bytes of one section of the fixture module.
inline std::vector<uint8> FixtureSection(const std::string& name) {
    const auto elf = hostsim::ElfSections::ReadFile(kFixturePath);
    return elf.Contents(*elf.Find(name));
}

// Offset of a section's first byte in the fixture file.
inline std::size_t FixtureSectionOffset(const std::string& name) {
    return std::size_t(hostsim::ElfSections::ReadFile(kFixturePath).Find(name)->offset);
}

// A copy of the fixture module with `patch` applied to its bytes; returns the copy's path.
template <typename Patch>
std::string PatchedFixture(const std::string& suffix, Patch patch) {
    std::vector<uint8> bytes = ReadBytes(kFixturePath);
    patch(bytes);
    const std::string path = TempPath(suffix);
    WriteBytes(path, bytes);
    return path;
}

using ProcessResult = host_tests::CommandResult;

inline ProcessResult RunFilterHost(const std::string& arguments) {
    // The host's stored state goes to the folder a test chose, else to this process's folder:
    // never to the user's, which every build shares.
    const char* chosen = std::getenv("TELLORA_HOSTSIM_STATE");
    const std::string state =
        chosen && *chosen ? std::string() : "TELLORA_HOSTSIM_STATE='" + ProcessFolder() + "state' ";
    return host_tests::RunCommand(state + "'" + kFilterHostPath + "' " + arguments);
}

}  // namespace hostsim_test
