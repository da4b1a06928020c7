#pragma once
// How the program's port numbers COM1 to COM29 map to devices on Linux.
//
// 1. A link COMn in the port folder wins (see CheckPortFolder for which folders count): a symbolic link to any device, put there by
//    the user (say, to a /dev/serial/by-id/... name) or by sondara-sim for the
//    pseudo-terminal it serves. A link with a COMn.pid file beside it belongs to a
//    process; once that process has ended the link is ignored.
// 2. Otherwise a fixed table:
//      COM1 to COM4    /dev/ttyS0 to /dev/ttyS3      (on-board ports)
//      COM5 to COM16   /dev/ttyUSB0 to /dev/ttyUSB11 (USB serial adapters)
//      COM17 to COM28  /dev/ttyACM0 to /dev/ttyACM11 (USB modem-class adapters)
//      COM29           only through the port folder
// The port folder is $SONDARA_PORT_DIR when set, else /tmp/sondara-<uid>/ports.

#include <optional>
#include <string>
#include <vector>

namespace sondara {

inline constexpr int kFirstComPort = 1;
inline constexpr int kLastComPort = 29;

struct PortMapping {
    int number = 0;       // n of COMn
    std::string device;   // what is opened; empty when COMn maps to nothing
    bool linked = false;  // came from the port folder
};

// Where the COMn links live.
std::string PortFolder();

// Links are honoured only in a folder that is a real directory (not a link), owned
// by this user and writable by nobody else: anyone else who may write there could
// point a COM port at a device of their choosing.
enum class PortFolderState {
    Usable,
    Missing,
    NotADirectory,     // a file or a symbolic link
    OwnedByOther,      // owned by another user
    WritableByOthers,  // group or others may write it
};
PortFolderState CheckPortFolder(const std::string& folder);

// The device for COMn (n in 1..29), in `folder`; `systemTable` false leaves out the
// fixed table (tests use it so that no real device is ever tried).
PortMapping MapComPort(int number, const std::string& folder, bool systemTable = true);
PortMapping MapComPort(int number);

// All 29 mappings, for showing the user which device each COMn is.
std::vector<PortMapping> AllPortMappings(const std::string& folder, bool systemTable = true);

// What a user typed as a port: "COM3", "com3", "3" give port 3; anything beginning
// with '/' is a device path. Nothing for other text.
struct TypedPort {
    int number = 0;      // non-zero for a COM port
    std::string device;  // the device path typed, or the mapping of COMn
};
std::optional<TypedPort> ParseTypedPort(const std::string& text);

// The COM number a device path maps to (through links and the table), or 0.
int ComNumberOfDevice(const std::string& device, const std::string& folder, bool systemTable = true);

// Registers `device` as COMn in `folder` for process `pid`; returns false when the
// link cannot be made. RemovePortLink undoes it.
bool WritePortLink(const std::string& folder, int number, const std::string& device, long pid);
void RemovePortLink(const std::string& folder, int number);

}  // namespace sondara
