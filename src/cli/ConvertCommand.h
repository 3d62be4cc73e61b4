#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cli/AudioOptions.h"
#include "cli/Command.h"

namespace velmorant::cli {

// velmorant-cli convert [--root-key N] [audio options] FILE AFS
class ConvertCommand : public Command {
public:
    std::string name() const override { return "convert"; }
    std::string description() const override;
    void setup(CLI::App& subcommand) override;
    int run(CommandIo& io) override;

private:
    std::optional<std::uint32_t> rootKey_;
    AudioOptions audio_;
    std::string wave_;
    std::string sample_;
};

}  // namespace velmorant::cli
