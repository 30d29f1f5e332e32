#include "hostsim/output_files.h"

#include "hostsim/host_error.h"

#include "files/atomic_file.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace hostsim {
namespace {

// The absolute place of `path`, with what exists of it resolved.
fs::path Place(const std::string& path) {
    std::error_code ec;
    fs::path place = fs::absolute(fs::u8path(path), ec);
    if (ec) return fs::u8path(path).lexically_normal();
    const fs::path resolved = fs::weakly_canonical(place, ec);
    return ec ? place.lexically_normal() : resolved;
}

bool SamePlace(const fs::path& a, const fs::path& b) {
#ifdef _WIN32
    // Names as the file system compares them: without regard to case.
    const std::wstring x = a.lexically_normal().make_preferred().native(), y = b.lexically_normal().make_preferred().native();
    return CompareStringOrdinal(x.c_str(), int(x.size()), y.c_str(), int(y.size()), TRUE) == CSTR_EQUAL;
#else
    return a == b;
#endif
}

}  // namespace

void CheckOutputFile(const std::string& path) {
    if (path.empty()) return;
    if (const std::string problem = tellora::SaveTargetProblem(path); !problem.empty())
        throw HostError("cannot write " + path + ": " + problem);
    const fs::path folder = fs::u8path(path).parent_path();
    if (folder.empty()) return;
    std::error_code ec;
    const fs::file_type type = fs::status(folder, ec).type();
    if (type == fs::file_type::not_found)
        throw HostError("cannot write " + path + ": the folder " + folder.u8string() + " does not exist");
    if (type != fs::file_type::directory && type != fs::file_type::none)
        throw HostError("cannot write " + path + ": " + folder.u8string() + " is not a folder");
}

bool NameTheSameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    const fs::path x = fs::u8path(a), y = fs::u8path(b);
    if (fs::exists(x, ec) && fs::exists(y, ec)) return fs::equivalent(x, y, ec);
    return SamePlace(Place(a), Place(b));
}

void CheckDistinctOutputs(const std::vector<OutputFile>& outputs) {
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        for (std::size_t j = i + 1; j < outputs.size(); ++j) {
            const OutputFile &first = outputs[i], &second = outputs[j];
            if (first.path.empty() || second.path.empty() || !NameTheSameFile(first.path, second.path)) continue;
            throw UsageError(first.role + " and " + second.role + " name the same file, " + second.path +
                             ": each needs a file of its own");
        }
    }
}

}  // namespace hostsim
