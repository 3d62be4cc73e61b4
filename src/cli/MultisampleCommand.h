#pragma once

#include <string>
#include <vector>

#include "cli/AudioOptions.h"
#include "cli/Command.h"

namespace velmorant::cli {

// velmorant-cli multisample --out PROGRAM.afp [--auto-map] [--keys I=ROOT:LEFT-RIGHT]... [--lock I]... WAV...
class MultisampleCommand : public Command {
public:
    std::string name() const override { return "multisample"; }
    std::string description() const override;
    void setup(CLI::App& subcommand) override;
    int run(CommandIo& io) override;

private:
    std::string out_;
    bool autoMap_ = false;
    AudioOptions audio_;
    std::vector<std::string> keys_;
    std::vector<int> locks_;
    std::vector<std::string> waves_;
};

}  // namespace velmorant::cli
