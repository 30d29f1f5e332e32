// Replacing a file's contents so that a reader finds the old bytes or the new ones, never a part.
//
// The bytes go to a temporary file beside the target, "<name>.saving-<pid>-<n>", which is
// flushed to the disk and renamed over the target; the folder is flushed after the rename. When
// the target's name is too long for that suffix within the folder's name limit, the name part
// of the temporary file is shortened. A save removes the temporary files that killed saves
// (their process is gone) left in its folder, whatever file they were for. The new file keeps
// the owner and permissions of the one it replaces; a symbolic link stays a link and the file
// it points to is replaced. A target that exists but is no regular file (a folder, a device,
// a pipe) is never replaced, nor one that may not be written. When no temporary file can be
// created beside the target because the folder refuses it (no write access) but the target
// itself can be written, the bytes are written in place, as a plain save would; the target is
// then briefly incomplete. Every failure is told as "cannot write <path>: <the system's reason>"
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

// `path` is UTF-8 (on Windows too). `error` receives a sentence naming what failed and why.
SaveOutcome SaveFileAtomically(const std::string& path, const std::string& bytes, std::string* error = nullptr);

// As above, for a writer that makes the file itself: `write` is given the path of the file to
// write (the temporary file, created empty, or the target when written in place) and returns
// false (with errno telling why) or throws when it failed. The file is flushed to the disk
// after it. An exception from `write` is passed on once the temporary file is removed.
SaveOutcome SaveFileAtomicallyWith(const std::string& path, const std::function<bool(const std::string& file)>& write,
                                   std::string* error = nullptr);

// Why `path` (UTF-8) cannot be saved to, following symbolic links: "it is a folder", "it is a
// device", ...; empty when it is a regular file or does not exist yet.
std::string SaveTargetProblem(const std::string& path);

// The temporary name used for `path` by this process: for tests.
std::string AtomicTempName(const std::string& path, unsigned long serial);

}  // namespace tellora
