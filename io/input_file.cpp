#include "input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sondara {

InputFile OpenInputFile(const std::string& path, std::uint64_t& size, std::string& problem) {
    // Non-blocking, so that opening a FIFO returns at once; cleared again below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        problem = std::strerror(errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        problem = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "not a regular file";
        ::close(fd);
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* f = ::fdopen(fd, "rb");
    if (f == nullptr) {
        problem = std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    size = static_cast<std::uint64_t>(st.st_size);
    return InputFile(f);
}

}  // namespace sondara
