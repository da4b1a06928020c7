#pragma once
// Replacing a file without ever destroying the old one: the new content is written to
// a hidden file in the same folder and renamed over the target only once it is
// complete and on disk. A failure at any step leaves the old file as it was and no
// temporary file behind; a save killed half way leaves a temporary file that the next
// save of the same target removes (its name carries the saving process's id).

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "file_result.h"

namespace sondara {

// Writes the whole new content to `tempPath` (which exists, empty); returns an empty
// text on success, otherwise the reason of the failure.
using TempFileWriter = std::function<std::string(const std::string& tempPath)>;

// Why a save must not replace what the chosen name leads to, when it must not: a
// read-only file (ReadOnlyTarget), or a symbolic link in a world-writable sticky
// folder owned neither by us nor by the folder's owner (ForeignLink: the kernel's
// protected-symlinks rule, which we apply ourselves since we resolve links).
std::optional<FileProblem> SaveTargetProblem(const std::string& chosen);

// Returns an empty text on success, otherwise the reason (for the user's message).
// The new file takes the old file's permissions (and owner, where allowed), or the
// usual ones for a new file. A symbolic link is followed as SaveTargetProblem allows:
// the file it names is replaced and the link stays. A target SaveTargetProblem
// refuses is not touched.
std::string ReplaceFileAtomically(const std::string& target, const TempFileWriter& write);

// The same for content already in memory.
std::string WriteFileAtomically(const std::string& target, std::string_view bytes);

}  // namespace sondara
