#include "device/port_map.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace sondara {

namespace fs = std::filesystem;

namespace {

struct TableRange {
    int first, last;
    const char* prefix;
};
constexpr TableRange kTable[] = {
    {1, 4, "/dev/ttyS"},
    {5, 16, "/dev/ttyUSB"},
    {17, 28, "/dev/ttyACM"},
};

std::string LinkPath(const std::string& folder, int number) { return folder + "/COM" + std::to_string(number); }

bool FolderIsOurs(const std::string& folder) { return CheckPortFolder(folder) == PortFolderState::Usable; }

// A link registered by a process that has ended is stale.
bool LinkIsLive(const std::string& link) {
    std::ifstream pidFile(link + ".pid");
    if (!pidFile) return true;
    long pid = 0;
    if (!(pidFile >> pid) || pid <= 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::string Canonical(const std::string& path) {
    std::error_code ec;
    const fs::path c = fs::canonical(path, ec);
    return ec ? path : c.string();
}

}  // namespace

PortFolderState CheckPortFolder(const std::string& folder) {
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) return PortFolderState::Missing;
    if (!S_ISDIR(st.st_mode)) return PortFolderState::NotADirectory;
    if (st.st_uid != ::getuid()) return PortFolderState::OwnedByOther;
    if (st.st_mode & (S_IWGRP | S_IWOTH)) return PortFolderState::WritableByOthers;
    return PortFolderState::Usable;
}

std::string PortFolder() {
    if (const char* dir = std::getenv("SONDARA_PORT_DIR"); dir && *dir) return dir;
    return "/tmp/sondara-" + std::to_string(::getuid()) + "/ports";
}

PortMapping MapComPort(int number, const std::string& folder, bool systemTable) {
    PortMapping m;
    m.number = number;
    if (number < kFirstComPort || number > kLastComPort) return m;
    const std::string link = LinkPath(folder, number);
    std::error_code ec;
    if (FolderIsOurs(folder) && fs::is_symlink(fs::symlink_status(link, ec)) && LinkIsLive(link)) {
        m.device = Canonical(link);
        m.linked = true;
        return m;
    }
    if (!systemTable) return m;
    for (const TableRange& r : kTable) {
        if (number >= r.first && number <= r.last) m.device = r.prefix + std::to_string(number - r.first);
    }
    return m;
}

PortMapping MapComPort(int number) { return MapComPort(number, PortFolder()); }

std::vector<PortMapping> AllPortMappings(const std::string& folder, bool systemTable) {
    std::vector<PortMapping> all;
    for (int n = kFirstComPort; n <= kLastComPort; ++n) all.push_back(MapComPort(n, folder, systemTable));
    return all;
}

std::optional<TypedPort> ParseTypedPort(const std::string& text) {
    std::size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
    const std::string t = text.substr(b, e - b);
    if (t.empty()) return std::nullopt;
    if (t[0] == '/') return TypedPort{0, t};
    std::size_t digits = 0;
    if (t.size() > 3 && std::toupper(static_cast<unsigned char>(t[0])) == 'C' &&
        std::toupper(static_cast<unsigned char>(t[1])) == 'O' && std::toupper(static_cast<unsigned char>(t[2])) == 'M')
        digits = 3;
    if (digits == t.size() || t.size() - digits > 4) return std::nullopt;
    for (std::size_t i = digits; i < t.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(t[i]))) return std::nullopt;
    }
    const int number = std::stoi(t.substr(digits));
    if (number == 0) return std::nullopt;
    return TypedPort{number, MapComPort(number).device};
}

int ComNumberOfDevice(const std::string& device, const std::string& folder, bool systemTable) {
    const std::string wanted = Canonical(device);
    for (const PortMapping& m : AllPortMappings(folder, systemTable)) {
        if (!m.device.empty() && Canonical(m.device) == wanted) return m.number;
    }
    return 0;
}

bool WritePortLink(const std::string& folder, int number, const std::string& device, long pid) {
    std::error_code ec;
    // Only a folder made here is closed to others here; one the user made stays as
    // it is and is refused when others may write it.
    if (fs::create_directories(folder, ec)) ::chmod(folder.c_str(), 0700);
    if (!FolderIsOurs(folder)) return false;
    const std::string link = LinkPath(folder, number);
    RemovePortLink(folder, number);
    // The pid file is whole before the link appears: a reader that finds the link
    // must find its owner, or it would take the link for a dead simulator's.
    const std::string pidPath = link + ".pid";
    {
        std::ofstream pidFile(pidPath + ".new");
        pidFile << pid << '\n';
        if (!pidFile.flush()) return false;
    }
    if (::rename((pidPath + ".new").c_str(), pidPath.c_str()) != 0) return false;
    fs::create_symlink(device, link, ec);
    return !ec;
}

void RemovePortLink(const std::string& folder, int number) {
    const std::string link = LinkPath(folder, number);
    ::unlink(link.c_str());
    ::unlink((link + ".pid").c_str());
}

}  // namespace sondara
