#pragma once
// Replacing a file without ever destroying the old one: the new content is written to
// a hidden file in the same folder and renamed over the target only once it is
// complete and on disk. A failure at any step leaves the old file as it was and no
// temporary file behind.

#include <functional>
#include <string>
#include <string_view>

namespace sondara {

// Writes the whole new content to `tempPath` (which exists, empty); returns an empty
// text on success, otherwise the reason of the failure.
using TempFileWriter = std::function<std::string(const std::string& tempPath)>;

// Returns an empty text on success, otherwise the reason (for the user's message).
// The new file takes the old file's permissions (and owner, where allowed), or the
// usual ones for a new file. A symbolic link is followed: the file it names is
// replaced and the link stays.
std::string ReplaceFileAtomically(const std::string& target, const TempFileWriter& write);

// The same for content already in memory.
std::string WriteFileAtomically(const std::string& target, std::string_view bytes);

// The lower-cased extension of a path's file name, without the dot ("" when none).
std::string LowerExtension(const std::string& path);

}  // namespace sondara
