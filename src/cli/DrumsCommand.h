#pragma once

#include <string>
#include <vector>

#include "cli/AudioOptions.h"
#include "cli/Command.h"

namespace velmorant::cli {

// velmorant-cli drums [--kit IN.fdk] [--layer KEY=WAV[@UPPER]]... [--auto-map FILE...] [audio options]
//                     [--save-kit OUT.fdk] [--out PROGRAM.afp]
class DrumsCommand : public Command {
public:
    std::string name() const override { return "drums"; }
    std::string description() const override;
    void setup(CLI::App& subcommand) override;
    int run(CommandIo& io) override;

private:
    std::string kit_;
    std::vector<std::string> layers_;
    std::string saveKit_;
    std::string out_;
    bool autoMap_ = false;
    std::vector<std::string> files_;
    AudioOptions audio_;
};

}  // namespace velmorant::cli
