// Saving a file through a temporary file: long names, leftovers of killed saves, what the new
// file keeps of the old one, targets that are no files, folders that refuse new files, why a
// save failed; and the preset, which saves this way.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "files/atomic_file.h"
#include "param/preset_file.h"
#include "test_support.h"

using namespace tellora_test;

namespace {

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
    // 255 bytes: no room for the temporary suffix beside the name itself.
    const std::string name = std::string(251, 'p') + ".txt";
    const std::string path = (folder_ / name).string();
    ASSERT_EQ(tellora::SaveFileAtomically(path, "one"), tellora::SaveOutcome::Replaced);
    ASSERT_EQ(tellora::SaveFileAtomically(path, "two"), tellora::SaveOutcome::Replaced);
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

TEST_F(AtomicFileTest, LeftoversOfKilledSavesAreRemovedByTheNextSaveIntoTheFolder) {
    const std::string path = (folder_ / "keep.txt").string();
    const std::string dead = std::to_string(EndedProcess());
    const std::string alive = std::to_string(::getppid());
    WriteFile(folder_ / ("keep.txt.saving-" + dead), "old style");
    WriteFile(folder_ / ("keep.txt.saving-" + dead + "-7"), "new style");
    WriteFile(folder_ / ("other.txt.saving-" + dead + "-2"), "another file's, killed as well");
    WriteFile(folder_ / ("keep.txt.saving-" + alive + "-1"), "a save in progress elsewhere");
    WriteFile(folder_ / "keep.txt.saving-notes", "not a temporary name");
    WriteFile(folder_ / ("keep.txt.saving-" + dead + "-x"), "not a temporary name either");
    std::filesystem::create_directory(folder_ / ("dir.saving-" + dead));

    ASSERT_EQ(tellora::SaveFileAtomically(path, "bytes"), tellora::SaveOutcome::Replaced);
    EXPECT_FALSE(std::filesystem::exists(folder_ / ("keep.txt.saving-" + dead)));
    EXPECT_FALSE(std::filesystem::exists(folder_ / ("keep.txt.saving-" + dead + "-7")));
    EXPECT_FALSE(std::filesystem::exists(folder_ / ("other.txt.saving-" + dead + "-2")));
    EXPECT_TRUE(std::filesystem::exists(folder_ / ("keep.txt.saving-" + alive + "-1")));
    EXPECT_TRUE(std::filesystem::exists(folder_ / "keep.txt.saving-notes"));
    EXPECT_TRUE(std::filesystem::exists(folder_ / ("keep.txt.saving-" + dead + "-x")));
    EXPECT_TRUE(std::filesystem::is_directory(folder_ / ("dir.saving-" + dead)));
    EXPECT_EQ(ReadFile(path), "bytes");
}

TEST_F(AtomicFileTest, TheNewFileKeepsThePermissionsAndTheLinkOfTheOldOne) {
    const std::filesystem::path secret = folder_ / "secret.png";
    WriteFile(secret, "before");
    ::chmod(secret.c_str(), 0600);
    ASSERT_EQ(tellora::SaveFileAtomically(secret.string(), "after"), tellora::SaveOutcome::Replaced);
    EXPECT_EQ(ReadFile(secret), "after");
    struct stat info {};
    ASSERT_EQ(::stat(secret.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    // Saved through a link, the file it leads to takes the bytes and the link stays.
    std::filesystem::create_directory(folder_ / "real");
    WriteFile(folder_ / "real" / "target.txt", "before");
    std::filesystem::create_symlink("real/target.txt", folder_ / "link.txt");
    ASSERT_EQ(tellora::SaveFileAtomically((folder_ / "link.txt").string(), "through"), tellora::SaveOutcome::Replaced);
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
        EXPECT_EQ(tellora::SaveFileAtomically(c.path, "x", &error), tellora::SaveOutcome::Failed);
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
        tellora::SaveFileAtomically(path, std::string(4096, 'x'), &error);
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
        const auto in = tellora::SaveFileAtomically((sub / "target.txt").string(), "after");
        const auto none = tellora::SaveFileAtomically((sub / "new.txt").string(), "x");
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
    EXPECT_EQ(tellora::SaveFileAtomically((folder_ / "kept.txt.d").string(), "x"), tellora::SaveOutcome::Failed);
    std::string error;
    const std::string missing = (folder_ / "no" / "such.txt").string();
    EXPECT_EQ(tellora::SaveFileAtomically(missing, "x", &error), tellora::SaveOutcome::Failed);
    EXPECT_EQ(error, "cannot write " + missing + ": " + std::strerror(ENOENT));
    EXPECT_EQ(ReadFile(path), "before");
    EXPECT_EQ(Entries(), 2u);
}

}  // namespace
