#pragma once
#include "cli/Command.h"
namespace velmorant::cli {
class DemoVolumeCommand : public Command {
public:
    std::string name() const override { return "demo-volume"; }
    std::string description() const override;
    void setup(CLI::App& subcommand) override;
    int run(CommandIo& io) override;
private:
    std::string directory_;
};
}
