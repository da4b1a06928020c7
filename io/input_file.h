#pragma once
// Opening a file the user chose for reading, without ever blocking on something that
// is not a file (a FIFO, a device, a folder).

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace sondara {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using InputFile = std::unique_ptr<std::FILE, FileCloser>;

// The open regular file and its size, or nothing with `problem` set (for the user).
InputFile OpenInputFile(const std::string& path, std::uint64_t& size, std::string& problem);

}  // namespace sondara
