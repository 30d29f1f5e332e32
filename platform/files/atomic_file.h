// Replacing a file's contents so that a reader finds the old bytes or the new ones, never a part.
//
// The bytes go to a hidden temporary file beside the target, ".<program>-<pid>-<random>.tmp"
// (named by the saving program, e.g. ".filterhost-4711-0f3c9a61d2b7e845.tmp"), which is flushed
// to the disk and renamed over the target; the folder is flushed after the rename. A save
// removes the temporary files of that form that the same program's killed saves (their process
// is gone) left in its folder, and no other file: a name of any other form is the user's. The
// new file keeps the owner and permissions of the one it replaces; a symbolic link stays a link
// and the file it points to is replaced. A target that exists but is no regular file (a folder,
// a device, a pipe) is never replaced, nor one that may not be written. When no temporary file
// can be created beside the target because the folder refuses it (no write access) but the
// target itself can be written, the bytes are written in place, as a plain save would; the
// target is then briefly incomplete. Every failure is told as "cannot write <path>: <the system's reason>"
// (or "cannot replace").
#pragma once

#include <functional>
#include <string>

namespace tellora {

enum class SaveOutcome {
    Replaced,        // written to a temporary file and renamed over the target
    WrittenInPlace,  // no temporary file could be made: the target was rewritten directly
    Failed,          // nothing changed at the target (or, in place, it may be incomplete)
};

// `program` is the saving program's name (letters, digits, '-', '_'); `path` is UTF-8 (on Windows
// too). `error` receives a sentence naming what failed and why.
SaveOutcome SaveFileAtomically(const std::string& program, const std::string& path, const std::string& bytes,
                               std::string* error = nullptr);

// As above, for a writer that makes the file itself: `write` is given the path of the file to
// write (the temporary file, created empty, or the target when written in place) and returns
// false (with errno telling why) or throws when it failed. The file is flushed to the disk
// after it. An exception from `write` is passed on once the temporary file is removed.
SaveOutcome SaveFileAtomicallyWith(const std::string& program, const std::string& path,
                                   const std::function<bool(const std::string& file)>& write, std::string* error = nullptr);

// Why `path` (UTF-8) cannot be saved to, following symbolic links: "it is a folder", "it is a
// device", ...; empty when it is a regular file or does not exist yet.
std::string SaveTargetProblem(const std::string& path);

}  // namespace tellora
