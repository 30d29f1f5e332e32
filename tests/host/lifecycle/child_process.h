// Runs another program of the build, as the tests that span processes need, and what differs
// between platforms around it: how a command line quotes, and where the plug-in's own
// registry store lives.
#pragma once
#include <cstddef>
#include <string>

namespace lifecycle {

struct ProcessResult {
    int exitCode = -1;
    std::string output;  // standard output and error together
};

// `command`: a shell command on POSIX; on Windows a command line whose words may be quoted
// with single quotes as in the shell (they become double quotes). Waits for the end.
ProcessResult RunProcess(const std::string& command);
// The program's path quoted for such a command.
std::string QuotedProgram(const std::string& path);
// A program started in the background, for tests that act on it while it runs (answer its
// dialog as a user would). Its standard input is read from a regular file, as an editor started
// from a desktop has no terminal; its standard output and error go to a file.
class BackgroundProcess {
public:
    // `command` as RunProcess takes it.
    BackgroundProcess(const std::string& command, const std::string& inputFile, const std::string& outputFile);
    ~BackgroundProcess();  // ends the program when it still runs
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    bool Started() const;
    // The system's process id.
    long Id() const { return pid_; }
    bool Running();
    // Waits for the end; a program that outlives `boundMs` is ended and reports -1.
    ProcessResult Wait(int boundMs);
    // What it has written so far.
    std::string Output() const;

private:
    std::string outputFile_;
    void* process_ = nullptr;  // the process handle on Windows
    long pid_ = -1;
    int exitCode_ = -1;
    bool ended_ = false;
};

// Clicks the primary button at the point (x, y) of the screen with the system's own input: the
// X server's test extension (xdotool) on POSIX, SendInput on Windows.
bool ClickScreenAt(int x, int y);
// The parts of a drag with the same input: the primary button pressed at (x, y), the pointer
// moved to (x, y) with whatever button is held, the primary button released where it is.
bool PressScreenAt(int x, int y);
bool MovePointerTo(int x, int y);
bool ReleaseScreen();

// What a command puts in front of a program to run it without a display; empty where a display
// cannot be taken away (Windows).
std::string WithoutDisplayPrefix();

// Sets an environment variable of this process, which programs it starts inherit.
void SetEnvironment(const char* name, const std::string& value);
// Takes a variable out of this process's environment and of the programs it starts.
void UnsetEnvironment(const char* name);

// The entries the plug-in keeps in its Windows-registry store: on POSIX the files of the
// stand-in under `root` (TELLORA_REGISTRY_ROOT), on Windows the values under the plug-in's key
// of the real HKEY_CURRENT_USER, which ClearRegistryStore removes (on POSIX the tests' own
// folder starts empty, so it does nothing).
std::size_t RegistryStoreEntries(const std::string& root);
void ClearRegistryStore();

}  // namespace lifecycle
