#pragma once

#include "cli/Command.h"

namespace velmorant::cli {

// velmorant-cli catalogue [--dynamic] [--open] [--format html|csv|json] VOLUME OUTPUT
class CatalogueCommand : public Command {
public:
    std::string name() const override { return "catalogue"; }
    std::string description() const override;
    void setup(CLI::App& subcommand) override;
    int run(CommandIo& io) override;

private:
    bool dynamic_ = false;
    bool open_ = false;
    std::string format_ = "html";
    std::string volume_;
    std::string output_;
};

}  // namespace velmorant::cli
