#pragma once
#include "cli/Command.h"
namespace velmorant::cli {
class InspectCommand : public Command {
public:
    std::string name() const override { return "inspect"; }
    std::string description() const override;
    void setup(CLI::App& subcommand) override;
    int run(CommandIo& io) override;
private:
    bool json_ = false;
    std::vector<std::string> files_;
};
}
