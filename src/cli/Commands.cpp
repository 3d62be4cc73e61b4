#include "cli/Command.h"
#include "cli/DemoVolumeCommand.h"
#include "cli/InspectCommand.h"

namespace velmorant::cli {

std::vector<std::unique_ptr<Command>> MakeCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<InspectCommand>());
    commands.push_back(std::make_unique<DemoVolumeCommand>());
    return commands;
}

}  // namespace velmorant::cli
