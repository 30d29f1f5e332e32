// Saving a file through a temporary file: long names, leftovers of killed saves, folders that
// refuse new files; and the preset, which saves this way.
#include <gtest/gtest.h>

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

TEST_F(AtomicFileTest, LeftoversOfKilledSavesAreRemovedByTheNextSave) {
    const std::string path = (folder_ / "keep.txt").string();
    const std::string dead = std::to_string(EndedProcess());
    const std::string alive = std::to_string(::getppid());
    WriteFile(folder_ / ("keep.txt.saving-" + dead), "old style");
    WriteFile(folder_ / ("keep.txt.saving-" + dead + "-7"), "new style");
    WriteFile(folder_ / ("keep.txt.saving-" + alive + "-1"), "a save in progress elsewhere");
    WriteFile(folder_ / ("other.txt.saving-" + dead), "another file's");
    WriteFile(folder_ / "keep.txt.saving-notes", "not a temporary name");

    ASSERT_EQ(tellora::SaveFileAtomically(path, "bytes"), tellora::SaveOutcome::Replaced);
    EXPECT_FALSE(std::filesystem::exists(folder_ / ("keep.txt.saving-" + dead)));
    EXPECT_FALSE(std::filesystem::exists(folder_ / ("keep.txt.saving-" + dead + "-7")));
    EXPECT_TRUE(std::filesystem::exists(folder_ / ("keep.txt.saving-" + alive + "-1")));
    EXPECT_TRUE(std::filesystem::exists(folder_ / ("other.txt.saving-" + dead)));
    EXPECT_TRUE(std::filesystem::exists(folder_ / "keep.txt.saving-notes"));
    EXPECT_EQ(ReadFile(path), "bytes");
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
    // The rename cannot put a file over a folder.
    EXPECT_EQ(tellora::SaveFileAtomically((folder_ / "kept.txt.d").string(), "x"), tellora::SaveOutcome::Failed);
    EXPECT_EQ(tellora::SaveFileAtomically((folder_ / "no" / "such.txt").string(), "x"), tellora::SaveOutcome::Failed);
    EXPECT_EQ(ReadFile(path), "before");
    EXPECT_EQ(Entries(), 2u);
}

}  // namespace
