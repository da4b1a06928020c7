#include "atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
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

// The end of a chain of symbolic links, or the link that must not be followed: one
// in a sticky world-writable folder, owned neither by us nor by the folder's owner.
struct Resolved {
    std::string path;
    bool foreignLink = false;
    uid_t linkOwner = 0;
};

Resolved ResolveLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat link {};
        if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return {path};
        const std::string dir = DirectoryOf(path);
        struct stat folder {};
        if (::stat(dir.c_str(), &folder) == 0 && (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0 &&
            link.st_uid != ::geteuid() && link.st_uid != folder.st_uid) {
            return {path, true, link.st_uid};
        }
        std::string to(static_cast<std::size_t>(link.st_size > 0 ? link.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), to.data(), to.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= to.size()) return {path};
        to.resize(static_cast<std::size_t>(n));
        path = to.front() == '/' ? to : dir + "/" + to;
    }
    return {path};  // a loop: the rename then fails with the system's own reason
}

// Read-only for whoever saves: root may write anything, so for root a file without
// any write permission counts as read-only, as a file manager shows it.
bool IsReadOnly(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (::geteuid() == 0) return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    return ::access(path.c_str(), W_OK) != 0 && errno == EACCES;
}

// Hidden, named after the target and the saving process, and short enough for any
// name the folder takes (at most 255 bytes): a long target name is cut, on a
// character boundary.
std::string TempPrefix(std::string name) {
    constexpr std::size_t kMaxPart = 200;
    if (name.size() > kMaxPart) {
        std::size_t end = kMaxPart;
        while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
        name.resize(end);
    }
    return "." + name + ".sondara-";
}

bool ProcessIsGone(pid_t pid) { return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH; }

// Temporary files of earlier saves of the same target whose process was killed
// before it could remove them: "<prefix><pid>-XXXXXX", ours, regular, pid gone.
void RemoveOrphans(const std::string& dir, const std::string& prefix) {
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return;
    while (const dirent* e = ::readdir(d)) {
        const std::string_view name(e->d_name);
        if (name.substr(0, prefix.size()) != prefix) continue;
        const std::string_view rest = name.substr(prefix.size());
        const std::size_t dash = rest.find('-');
        if (dash == 0 || dash == std::string_view::npos || rest.size() != dash + 7) continue;
        if (rest.substr(0, dash).find_first_not_of("0123456789") != std::string_view::npos) continue;
        const pid_t pid = static_cast<pid_t>(std::strtol(std::string(rest.substr(0, dash)).c_str(), nullptr, 10));
        struct stat st {};
        const std::string path = dir + "/" + std::string(name);
        if (pid == ::getpid() || !ProcessIsGone(pid)) continue;
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()) ::unlink(path.c_str());
    }
    ::closedir(d);
}

void SyncDirectory(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // best effort: the rename itself has already happened
    ::close(fd);
}

}  // namespace

std::optional<FileProblem> SaveTargetProblem(const std::string& chosen) {
    const Resolved target = ResolveLinks(chosen);
    if (target.foreignLink) {
        return FileProblem{FileProblemKind::ForeignLink, chosen, target.path, {}, target.linkOwner};
    }
    if (IsReadOnly(target.path)) return FileProblem{FileProblemKind::ReadOnlyTarget, chosen};
    return std::nullopt;
}

std::string ReplaceFileAtomically(const std::string& chosen, const TempFileWriter& write) {
    if (const auto refused = SaveTargetProblem(chosen)) {
        return refused->kind == FileProblemKind::ReadOnlyTarget ? "read-only file" : "symbolic link of another user";
    }
    const std::string target = ResolveLinks(chosen).path;
    const std::filesystem::path targetPath(target);
    if (targetPath.filename().empty()) return "no file name";
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return "is a directory";

    const std::string dir = DirectoryOf(target);
    const std::string prefix = TempPrefix(targetPath.filename().string());
    RemoveOrphans(dir, prefix);
    std::string temp = dir + "/" + prefix + std::to_string(::getpid()) + "-XXXXXX";
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

}  // namespace sondara
