#pragma once
// sondara-cli: a headless companion for batch work and scripting, running the same
// code as the desktop program. Each group of commands lives in its own file.

#include <string>
#include <vector>

namespace sondara::cli {

struct Command {
    std::string name;
    std::string usage;    // one line: "export IN.bhx -o OUT.xlsx"
    std::string summary;  // what it does
    // Arguments after the command name. Returns the exit status: 0 success, 1 failure.
    int (*run)(const std::vector<std::string>& args);
};

std::vector<Command> FileCommands();     // cli_files.cpp
std::vector<Command> DeviceCommands();   // cli_device.cpp
std::vector<Command> DrawingCommands();  // cli_drawing.cpp
std::vector<Command> QualityCommands();  // cli_quality.cpp

}  // namespace sondara::cli
