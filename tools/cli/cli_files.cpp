#include "commands.h"

namespace sondara::cli {

std::vector<Command> FileCommands() { return {}; }

}  // namespace sondara::cli
