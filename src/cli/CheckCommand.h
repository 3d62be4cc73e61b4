#pragma once

#include "cli/Command.h"

namespace velmorant::cli {

class CheckCommand : public Command {
public:
    std::string name() const override { return "check"; }
    std::string description() const override;
    void setup(CLI::App& subcommand) override;
    int run(CommandIo& io) override;

private:
    bool json_ = false;
    std::string volume_;
    std::vector<std::string> banks_;
    std::string manifest_;
};

}  // namespace velmorant::cli
