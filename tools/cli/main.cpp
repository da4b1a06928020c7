#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"

namespace {

using sondara::cli::Command;

std::vector<Command> AllCommands() {
    std::vector<Command> all;
    for (auto group : {sondara::cli::FileCommands, sondara::cli::DeviceCommands, sondara::cli::DrawingCommands,
                       sondara::cli::QualityCommands}) {
        for (Command& c : group()) all.push_back(std::move(c));
    }
    return all;
}

void PrintHelp(const std::vector<Command>& commands) {
    std::printf("usage: sondara-cli COMMAND [ARGS...]\n\ncommands:\n");
    for (const Command& c : commands) std::printf("  sondara-cli %s\n      %s\n", c.usage.c_str(), c.summary.c_str());
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::vector<Command> commands = AllCommands();
    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
        PrintHelp(commands);
        return argc < 2 ? 1 : 0;
    }
    const std::string name = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    for (const Command& c : commands) {
        if (c.name == name) return c.run(args);
    }
    std::fprintf(stderr, "sondara-cli: unknown command '%s' (see sondara-cli --help)\n", name.c_str());
    return 1;
}
