#include "commands.h"

namespace sondara::cli {

std::vector<Command> DrawingCommands() { return {}; }

}  // namespace sondara::cli
