#include "cli/DemoVolumeCommand.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "demo/DemoVolume.h"

namespace velmorant::cli {

std::string DemoVolumeCommand::description() const {
    return "Write a small demo volume (banks, programs, multisamples, samples) into DIR";
}

void DemoVolumeCommand::setup(CLI::App& subcommand) {
    subcommand.add_option("DIR", directory_, "Folder to write the volume into (created when missing)")->required();
}

int DemoVolumeCommand::run(CommandIo& io) {
    std::string error;
    if (!demo::WriteDemoVolume(directory_, error)) {
        io.err << "demo-volume: " << error << "\n";
        return kExitFailed;
    }
    io.out << "Demo volume written to " << directory_ << "\n";
    return kExitOk;
}

}  // namespace velmorant::cli
