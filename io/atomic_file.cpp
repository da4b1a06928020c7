#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace sondara {
namespace {

std::string ErrnoText(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

std::string DirectoryOf(const std::string& path) {
    const std::string dir = std::filesystem::path(path).parent_path().string();
    return dir.empty() ? "." : dir;
}

// What the new file takes over from the one it replaces: its permissions and, where
// allowed, its owner. A new file gets the usual permissions.
struct Ownership {
    mode_t mode;
    bool replaces = false;
    uid_t uid = 0;
    gid_t gid = 0;
};

Ownership OwnershipFor(const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) return {static_cast<mode_t>(st.st_mode & 07777), true, st.st_uid, st.st_gid};
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return {static_cast<mode_t>(0666 & ~mask)};
}

// Flushes the finished temporary file to disk so the rename never publishes a file
// whose data is still only in memory.
std::string SyncFile(const std::string& path, const Ownership& owner) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return ErrnoText("open");
    std::string problem;
    if (owner.replaces) (void)!::fchown(fd, owner.uid, owner.gid);  // best effort: only root may give files away
    if (::fchmod(fd, owner.mode) != 0)
        problem = ErrnoText("chmod");
    else if (::fsync(fd) != 0)
        problem = ErrnoText("fsync");
    ::close(fd);
    return problem;
}

// A symbolic link is followed, so that the file it points to is replaced, not the link.
std::string ResolvedTarget(const std::string& target) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
    char* real = ::realpath(target.c_str(), nullptr);
    if (real == nullptr) return target;
    std::string resolved = real;
    std::free(real);
    return resolved;
}

// Hidden, named after the target, and short enough for any name the folder takes
// (at most 255 bytes): a long target name is cut, on a character boundary.
std::string TempNamePattern(std::string name) {
    constexpr std::size_t kMaxPart = 200;
    if (name.size() > kMaxPart) {
        std::size_t end = kMaxPart;
        while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
        name.resize(end);
    }
    return "." + name + ".XXXXXX";
}

void SyncDirectory(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // best effort: the rename itself has already happened
    ::close(fd);
}

}  // namespace

std::string ReplaceFileAtomically(const std::string& chosen, const TempFileWriter& write) {
    const std::string target = ResolvedTarget(chosen);
    const std::filesystem::path targetPath(target);
    if (targetPath.filename().empty()) return "no file name";
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return "is a directory";

    const std::string dir = DirectoryOf(target);
    std::string temp = dir + "/" + TempNamePattern(targetPath.filename().string());
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return ErrnoText("create");
    ::close(fd);

    std::string problem = write(temp);
    if (problem.empty()) problem = SyncFile(temp, OwnershipFor(target));
    if (problem.empty() && ::rename(temp.c_str(), target.c_str()) != 0) problem = ErrnoText("rename");
    if (!problem.empty()) {
        ::unlink(temp.c_str());
        return problem;
    }
    SyncDirectory(dir);
    return {};
}

std::string WriteFileAtomically(const std::string& target, std::string_view bytes) {
    return ReplaceFileAtomically(target, [bytes](const std::string& temp) -> std::string {
        std::FILE* f = std::fopen(temp.c_str(), "wb");
        if (f == nullptr) return ErrnoText("open");
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        const int savedErrno = errno;
        if (std::fclose(f) != 0 || !written) {
            if (!written) errno = savedErrno;
            return ErrnoText("write");
        }
        return {};
    });
}

std::string LowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    if (!ext.empty()) ext.erase(0, 1);
    for (char& c : ext) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return ext;
}

}  // namespace sondara
