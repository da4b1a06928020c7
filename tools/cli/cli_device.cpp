#include "commands.h"

namespace sondara::cli {

std::vector<Command> DeviceCommands() { return {}; }

}  // namespace sondara::cli
