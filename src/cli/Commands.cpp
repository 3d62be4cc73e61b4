#include "cli/BankCommand.h"
#include "cli/CatalogueCommand.h"
#include "cli/CheckCommand.h"
#include "cli/Command.h"
#include "cli/ConvertCommand.h"
#include "cli/DrumsCommand.h"
#include "cli/MultisampleCommand.h"
#include "cli/DemoVolumeCommand.h"
#include "cli/InspectCommand.h"
#include "cli/ProbeAudioCommand.h"

namespace velmorant::cli {

std::vector<std::unique_ptr<Command>> MakeCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<InspectCommand>());
    commands.push_back(std::make_unique<DemoVolumeCommand>());
    commands.push_back(std::make_unique<BankCommand>());
    commands.push_back(std::make_unique<CatalogueCommand>());
    commands.push_back(std::make_unique<ConvertCommand>());
    commands.push_back(std::make_unique<ProbeAudioCommand>());
    commands.push_back(std::make_unique<MultisampleCommand>());
    commands.push_back(std::make_unique<DrumsCommand>());
    commands.push_back(std::make_unique<CheckCommand>());
    return commands;
}

}  // namespace velmorant::cli
