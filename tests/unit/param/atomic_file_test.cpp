// Saving a file through a temporary file: long names, the temporary's name and the leftovers of
// killed saves, what the new file keeps of the old one, targets that are no files, folders that
// refuse new files, why a save failed; and the preset, which saves this way.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <regex>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "files/atomic_file.h"
#include "param/preset_file.h"
#include "test_support.h"

using namespace tellora_test;

namespace {

constexpr char kProgram[] = "test";

class AtomicFileTest : public TempFolderTest {
protected:
    std::size_t Entries() const {
        return std::size_t(std::distance(std::filesystem::directory_iterator(folder_), {}));
    }
};

// The id of a process that has ended.
pid_t EndedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST_F(AtomicFileTest, ALongestLegalNameSavesAndReplaces) {
    // 255 bytes, the longest name a folder takes.
    const std::string name = std::string(251, 'p') + ".txt";
    const std::string path = (folder_ / name).string();
    ASSERT_EQ(tellora::SaveFileAtomically(kProgram, path, "one"), tellora::SaveOutcome::Replaced);
    ASSERT_EQ(tellora::SaveFileAtomically(kProgram, path, "two"), tellora::SaveOutcome::Replaced);
    EXPECT_EQ(ReadFile(path), "two");
    EXPECT_EQ(Entries(), 1u);

    // A preset whose name is 249 bytes of UTF-8.
    const std::wstring preset = L"a" + std::wstring(122, L'\u00e4') + L".txt";
    auto params = TableList();
    params.parameters[kParamFontSize].value.SetFloat(33.0);
    ASSERT_TRUE(params.SavePreset(Wide(folder_.string()) + L"/" + preset, "Tellora", "1.0"));
    auto loaded = TableList();
    loaded.LoadPreset(Wide(folder_.string()) + L"/" + preset);
    EXPECT_EQ(loaded.parameters[kParamFontSize].value.GetFloat(), 33.0);
    EXPECT_EQ(Entries(), 2u);
}

TEST_F(AtomicFileTest, ASaveWritesAHiddenTemporaryAndRemovesOnlyItsProgramsLeftovers) {
    const std::string dead = std::to_string(EndedProcess()), alive = std::to_string(::getppid());
    const std::string random = "-0123456789abcdef.tmp";
    const struct {
        std::string name;
        bool stays;
    } entries[] = {
        {".test-" + dead + random, false},  // a killed save's
        {".test-" + alive + random, true},  // a save in progress
        {".other-" + dead + random, true},  // another program's
        {".test-" + dead + "-0123456789ABCDEF.tmp", true},
        {"notes.saving-2023", true},  // the user's, and the temporaries' earlier form
        {"keep.txt.saving-" + dead + "-7", true},
    };
    for (const auto& e : entries) WriteFile(folder_ / e.name, "x");

    std::string temp;
    const auto saved = tellora::SaveFileAtomicallyWith(kProgram, (folder_ / "keep.txt").string(), [&](const std::string& file) {
        temp = file;
        WriteFile(file, "bytes");
        return true;
    });
    ASSERT_EQ(saved, tellora::SaveOutcome::Replaced);
    const std::string name = std::filesystem::path(temp).filename().string();
    EXPECT_EQ(std::filesystem::path(temp).parent_path(), folder_);
    EXPECT_TRUE(std::regex_match(name, std::regex("\\.test-" + std::to_string(::getpid()) + "-[0-9a-f]{16}\\.tmp"))) << name;
    for (const auto& e : entries) EXPECT_EQ(std::filesystem::exists(folder_ / e.name), e.stays) << e.name;
    EXPECT_EQ(ReadFile(folder_ / "keep.txt"), "bytes");
    EXPECT_EQ(Entries(), std::size(entries));
}

TEST_F(AtomicFileTest, TheNewFileKeepsThePermissionsAndTheLinkOfTheOldOne) {
    const std::filesystem::path secret = folder_ / "secret.png";
    WriteFile(secret, "before");
    ::chmod(secret.c_str(), 0600);
    ASSERT_EQ(tellora::SaveFileAtomically(kProgram, secret.string(), "after"), tellora::SaveOutcome::Replaced);
    EXPECT_EQ(ReadFile(secret), "after");
    struct stat info {};
    ASSERT_EQ(::stat(secret.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    // Saved through a link, the file it leads to takes the bytes and the link stays.
    std::filesystem::create_directory(folder_ / "real");
    WriteFile(folder_ / "real" / "target.txt", "before");
    std::filesystem::create_symlink("real/target.txt", folder_ / "link.txt");
    ASSERT_EQ(tellora::SaveFileAtomically(kProgram, (folder_ / "link.txt").string(), "through"), tellora::SaveOutcome::Replaced);
    EXPECT_TRUE(std::filesystem::is_symlink(folder_ / "link.txt"));
    EXPECT_EQ(ReadFile(folder_ / "real" / "target.txt"), "through");
}

TEST_F(AtomicFileTest, FoldersDevicesAndPipesAreNeverReplaced) {
    const std::filesystem::path pipe = folder_ / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    std::filesystem::create_directory(folder_ / "folder");
    struct Case {
        std::string path, problem;
    } cases[] = {{(folder_ / "folder").string(), "it is a folder"},
                 {pipe.string(), "it is a pipe, not a file"},
                 {"/dev/null", "it is a device, not a file"},
                 {(folder_ / "new.txt").string(), ""}};
    for (const Case& c : cases) EXPECT_EQ(tellora::SaveTargetProblem(c.path), c.problem) << c.path;

    std::string error;
    for (const Case& c : {cases[0], cases[1]}) {
        EXPECT_EQ(tellora::SaveFileAtomically(kProgram, c.path, "x", &error), tellora::SaveOutcome::Failed);
        EXPECT_EQ(error, "cannot write " + c.path + ": " + c.problem);
    }
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
    EXPECT_TRUE(std::filesystem::is_directory(folder_ / "folder"));
}

TEST_F(AtomicFileTest, AFailureNamesTheFileAndTheSystemsReason) {
    // A disk that takes no more than 16 bytes: a file size limit (whose signal is ignored).
    const std::string path = (folder_ / "full.txt").string();
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const struct rlimit limit {16, 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string error;
        tellora::SaveFileAtomically(kProgram, path, std::string(4096, 'x'), &error);
        const ssize_t written = ::write(pipe[1], error.data(), error.size());
        ::_exit(written == ssize_t(error.size()) ? 0 : 1);
    }
    ::close(pipe[1]);
    std::string error;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;) error.append(buffer, std::size_t(n));
    ::close(pipe[0]);
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(error, "cannot write " + path + ": " + std::strerror(EFBIG));
    EXPECT_EQ(Entries(), 0u);
}

TEST_F(AtomicFileTest, AFolderThatRefusesNewFilesIsWrittenInPlace) {
    // Run by a user without write access to the folder, even when the tests run as root.
    const std::filesystem::path sub = folder_ / "locked";
    std::filesystem::create_directory(sub);
    WriteFile(sub / "target.txt", "before");
    ::chmod((sub / "target.txt").c_str(), 0666);
    ::chmod(sub.c_str(), 0555);
    ::chmod(folder_.c_str(), 0755);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && ::setuid(65534) != 0) ::_exit(3);
        const auto in = tellora::SaveFileAtomically(kProgram, (sub / "target.txt").string(), "after");
        const auto none = tellora::SaveFileAtomically(kProgram, (sub / "new.txt").string(), "x");
        ::_exit(in == tellora::SaveOutcome::WrittenInPlace && none == tellora::SaveOutcome::Failed ? 0 : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    ::chmod(sub.c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFile(sub / "target.txt"), "after");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sub), {}), 1);
}

TEST_F(AtomicFileTest, AFailedWriteLeavesTheTargetAndNoTemporary) {
    const std::string path = (folder_ / "kept.txt").string();
    WriteFile(path, "before");
    std::filesystem::create_directory(folder_ / "kept.txt.d");
    EXPECT_EQ(tellora::SaveFileAtomically(kProgram, (folder_ / "kept.txt.d").string(), "x"), tellora::SaveOutcome::Failed);
    std::string error;
    const std::string missing = (folder_ / "no" / "such.txt").string();
    EXPECT_EQ(tellora::SaveFileAtomically(kProgram, missing, "x", &error), tellora::SaveOutcome::Failed);
    EXPECT_EQ(error, "cannot write " + missing + ": " + std::strerror(ENOENT));
    EXPECT_EQ(ReadFile(path), "before");
    EXPECT_EQ(Entries(), 2u);
}

}  // namespace
