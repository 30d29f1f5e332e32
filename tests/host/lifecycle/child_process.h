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
// What a command puts in front of a program to run it without a display; empty where a display
// cannot be taken away (Windows).
std::string WithoutDisplayPrefix();

// Sets an environment variable of this process, which programs it starts inherit.
void SetEnvironment(const char* name, const std::string& value);

// The entries the plug-in keeps in its Windows-registry store: on POSIX the files of the
// stand-in under `root` (TELLORA_REGISTRY_ROOT), on Windows the values under the plug-in's key
// of the real HKEY_CURRENT_USER, which ClearRegistryStore removes (on POSIX the tests' own
// folder starts empty, so it does nothing).
std::size_t RegistryStoreEntries(const std::string& root);
void ClearRegistryStore();

}  // namespace lifecycle
