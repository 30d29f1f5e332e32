// The files a run of filterhost writes (the image, the recording, the stored state), checked
// before the plug-in runs: each must be a file that can be written, and no file may take two
// roles, whatever way the command line and the state folder name it.
#pragma once
#include <string>
#include <vector>

namespace hostsim {

struct OutputFile {
    std::string role;  // how the message names it: "the image (--out)"
    std::string path;  // UTF-8; empty: not written by this run
};

// Throws HostError unless `path` (UTF-8, empty for none) is a new or a regular file in a folder
// that exists: a folder or a device is never replaced.
void CheckOutputFile(const std::string& path);

// Whether two paths (UTF-8) name one file: the same existing file, or, for a file that does not
// exist yet, the same place once made absolute, with "." and ".." and the links of its folders
// resolved (on Windows also whatever the slashes and the letter case).
bool NameTheSameFile(const std::string& a, const std::string& b);

// Throws UsageError naming both roles when two of the outputs name the same file.
void CheckDistinctOutputs(const std::vector<OutputFile>& outputs);

}  // namespace hostsim
