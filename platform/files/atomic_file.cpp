#include "files/atomic_file.h"
#include "files/windows_error_text.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <process.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace tellora {
namespace {

#ifdef _WIN32
// Paths are UTF-8; Windows takes them as UTF-16.
std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(std::size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &wide[0], n);
    return wide;
}

// The system's text for an error of a Windows call, in UTF-8.
std::string WindowsReason(DWORD code) {
    const std::string text = WindowsErrorText(code);
    return text.empty() ? "system error " + std::to_string(code) : text;
}
#endif

// The C library's text for an errno value; 0 is a failure that set none.
std::string ErrorText(int code) { return code ? std::strerror(code) : "the write failed"; }

int RemoveFile(const std::string& path) {
#ifdef _WIN32
    return _wremove(Wide(path).c_str());
#else
    return std::remove(path.c_str());
#endif
}

std::FILE* OpenForWriting(const std::string& path) {
#ifdef _WIN32
    return _wfopen(Wide(path).c_str(), L"wb");
#else
    return std::fopen(path.c_str(), "wb");
#endif
}

// A temporary file is ".<program>-<pid>-<random>.tmp": hidden, and no name a user would give.
constexpr char kTempSuffix[] = ".tmp";
constexpr std::size_t kRandomDigits = 16;

unsigned long ProcessId() {
#ifdef _WIN32
    return static_cast<unsigned long>(_getpid());
#else
    return static_cast<unsigned long>(::getpid());
#endif
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// 64 random bits as hexadecimal digits; the clock and a serial number stand in for a random
// device that fails.
std::string RandomDigits() {
    std::uint64_t bits = std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) * 0x9E3779B97F4A7C15ull;
    static std::atomic<unsigned long> serial{0};
    bits += ++serial;
    try {
        std::random_device device;
        bits ^= (std::uint64_t(device()) << 32) ^ device();
    } catch (const std::exception&) {
    }
    char digits[kRandomDigits + 1];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(bits));
    return digits;
}

std::string TempName(const std::string& folder, const std::string& program) {
    return folder + "." + program + "-" + std::to_string(ProcessId()) + "-" + RandomDigits() + kTempSuffix;
}

bool AllOf(const std::string& text, const char* characters) {
    return !text.empty() && text.find_first_not_of(characters) == std::string::npos;
}

// The process that made `name` when it is a temporary file of `program`'s saves, else 0.
unsigned long TempOwner(const std::string& program, const std::string& name) {
    const std::string prefix = "." + program + "-";
    const std::size_t suffix = sizeof kTempSuffix - 1;
    if (name.size() < prefix.size() + 2 + kRandomDigits + suffix || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix, suffix, kTempSuffix) != 0)
        return 0;
    const std::string pid = name.substr(prefix.size(), name.size() - prefix.size() - suffix - kRandomDigits - 1);
    const std::size_t dash = prefix.size() + pid.size();
    if (pid.size() > 10 || !AllOf(pid, "0123456789") || name[dash] != '-' ||
        !AllOf(name.substr(dash + 1, kRandomDigits), "0123456789abcdef"))
        return 0;
    return std::strtoul(pid.c_str(), nullptr, 10);
}

bool ProcessIsGone(unsigned long pid) {
    if (pid == 0 || pid == ProcessId()) return false;
#ifdef _WIN32
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid));
    if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;  // no process has that id
    const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
#else
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
#endif
}

// Removes the temporary files that `program`'s saves into `folder` left when their process was
// killed. Only names of the temporary form are touched: any other file is the user's.
void RemoveStaleTemps(const std::string& folder, const std::string& program) {
    std::error_code ec;
    const fs::path dir = folder.empty() ? fs::path(".") : fs::u8path(folder);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (!ProcessIsGone(TempOwner(program, it->path().filename().u8string()))) continue;
        std::error_code ignored;
        if (fs::is_regular_file(it->symlink_status(ignored))) fs::remove(it->path(), ignored);
    }
}

bool WriteAndFlush(std::FILE* file, const std::string& bytes) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) return false;
    if (std::fflush(file) != 0) return false;
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return ::fsync(::fileno(file)) == 0;
#endif
}

// Writes the whole file and closes it; false when any step failed, errno saying why.
bool WriteFile(std::FILE* file, const std::string& bytes) {
    const bool written = WriteAndFlush(file, bytes);
    const int why = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written) errno = why;
    return written && closed;
}

// False with the system's reason in `why`.
bool ReplaceFile(const std::string& from, const std::string& to, std::string& why) {
#ifdef _WIN32
    if (MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    why = WindowsReason(GetLastError());
#else
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    why = ErrorText(errno);
#endif
    return false;
}

// The rename is kept only once the folder's entry is on the disk.
void FlushFolder(const std::string& folder) {
#ifndef _WIN32
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
#else
    (void)folder;
#endif
}

// Flushes a file another writer has closed: the file is opened again for that.
bool FlushPath(const std::string& path) {
#ifdef _WIN32
    const int fd = _wopen(Wide(path).c_str(), _O_RDWR | _O_BINARY);
    if (fd < 0) return false;
    const bool flushed = _commit(fd) == 0;
    _close(fd);
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool flushed = ::fsync(fd) == 0;
    const int why = errno;
    ::close(fd);
    errno = why;
#endif
    return flushed;
}

std::FILE* CreateNew(const std::string& path) {
#ifdef _WIN32
    const int fd = _wopen(Wide(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* file = _fdopen(fd, "wb");
    if (!file) _close(fd);
    return file;
#else
    // As a plain save creates a file: the user's file mode creation mask applies.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) ::close(fd);
    return file;
#endif
}

// The file a save replaces: `path`, or for a symbolic link the file it leads to, so that the
// link itself stays.
std::string ResolvedTarget(const std::string& path) {
#ifdef _WIN32
    return path;
#else
    std::error_code ec;
    const fs::path link = fs::u8path(path);
    if (!fs::is_symlink(fs::symlink_status(link, ec))) return path;
    const fs::path target = fs::weakly_canonical(link, ec);
    return ec ? path : target.u8string();
#endif
}

#ifndef _WIN32
// The replacement takes the owner, group and permissions of the file it replaces. Only a
// privileged process can give a file to another owner; the group then still follows.
void KeepOwnerAndMode(const std::string& file, const struct stat& original) {
    if (::chown(file.c_str(), original.st_uid, original.st_gid) != 0 &&
        ::chown(file.c_str(), uid_t(-1), original.st_gid) != 0) {
        // The process's own group stays: it may not give the file away.
    }
    ::chmod(file.c_str(), original.st_mode & 07777);
}
#endif

// Creates an empty temporary file in `folder`, named in `temp`; false with errno set when none
// could be made.
bool CreateTemp(const std::string& folder, const std::string& program, std::string& temp) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        temp = TempName(folder, program);
        if (std::FILE* file = CreateNew(temp)) {
            std::fclose(file);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

SaveOutcome Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return SaveOutcome::Failed;
}

}  // namespace

std::string SaveTargetProblem(const std::string& path) {
    std::error_code ec;
    switch (fs::status(fs::u8path(path), ec).type()) {
        case fs::file_type::directory: return "it is a folder";
        case fs::file_type::block:
        case fs::file_type::character: return "it is a device, not a file";
        case fs::file_type::fifo: return "it is a pipe, not a file";
        case fs::file_type::socket: return "it is a socket, not a file";
        case fs::file_type::unknown: return "it is not a regular file";
        default: return {};  // a file, none yet, or a folder the save itself will report on
    }
}

SaveOutcome SaveFileAtomically(const std::string& program, const std::string& path, const std::string& bytes,
                               std::string* error) {
    return SaveFileAtomicallyWith(
        program, path,
        [&bytes](const std::string& file) {
            std::FILE* out = OpenForWriting(file);
            return out && WriteFile(out, bytes);
        },
        error);
}

SaveOutcome SaveFileAtomicallyWith(const std::string& program, const std::string& requested,
                                   const std::function<bool(const std::string& file)>& write, std::string* error) {
    if (NameOf(requested).empty()) return Fail(error, "cannot write " + requested + ": no file name");
    const std::string path = ResolvedTarget(requested);
    if (const std::string problem = SaveTargetProblem(path); !problem.empty())
        return Fail(error, "cannot write " + requested + ": " + problem);
    const std::string folder = FolderOf(path);
#ifndef _WIN32
    // A file its owner keeps from being written is not replaced behind its back either.
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && ::access(path.c_str(), W_OK) != 0) return Fail(error, "cannot write " + requested + ": " + ErrorText(errno));
#endif
    RemoveStaleTemps(folder, program);

    std::string temp;
    if (CreateTemp(folder, program, temp)) {
        bool written = false;
        int why = 0;
        try {
            errno = 0;
            written = write(temp) && FlushPath(temp);
            why = errno;
        } catch (...) {
            RemoveFile(temp);
            throw;
        }
        if (!written) {
            RemoveFile(temp);
            return Fail(error, "cannot write " + requested + ": " + ErrorText(why));
        }
#ifndef _WIN32
        if (exists) KeepOwnerAndMode(temp, existing);
#endif
        std::string replaceWhy;
        if (!ReplaceFile(temp, path, replaceWhy)) {
            RemoveFile(temp);
            return Fail(error, "cannot replace " + requested + ": " + replaceWhy);
        }
        FlushFolder(folder);
        return SaveOutcome::Replaced;
    }

    // The folder refuses new files: write the target itself when that is allowed. Any other
    // failure (a full disk among them) must not touch the target.
    const int created = errno;
    if (created != EACCES && created != EPERM) return Fail(error, "cannot write " + requested + ": " + ErrorText(created));
    errno = 0;
    if (!write(path) || !FlushPath(path)) return Fail(error, "cannot write " + requested + ": " + ErrorText(errno));
    return SaveOutcome::WrittenInPlace;
}

}  // namespace tellora
