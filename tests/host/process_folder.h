// A test process's own folder for the files its tests write.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace host_tests {

// Named by the process id, so that the same tests running at once in other builds never share a
// file, and removed at exit.
inline const std::string& ProcessFolder() {
    struct Folder {
        const pid_t owner = ::getpid();
        const std::string path = ::testing::TempDir() + "host_tests_" + std::to_string(owner) + "/";
        Folder() { std::filesystem::create_directories(path); }
        ~Folder() {
            if (::getpid() != owner) return;  // a forked child leaves it to its parent
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Folder folder;
    return folder.path;
}

}  // namespace host_tests
