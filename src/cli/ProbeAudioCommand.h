#pragma once

#include <string>
#include <vector>

#include "cli/AudioOptions.h"
#include "cli/Command.h"

namespace velmorant::cli {

// velmorant-cli probe-audio [--json] [audio options] FILE...
class ProbeAudioCommand : public Command {
public:
    std::string name() const override { return "probe-audio"; }
    std::string description() const override;
    void setup(CLI::App& subcommand) override;
    int run(CommandIo& io) override;

private:
    bool json_ = false;
    std::vector<std::string> files_;
    AudioOptions audio_;
};

}  // namespace velmorant::cli
