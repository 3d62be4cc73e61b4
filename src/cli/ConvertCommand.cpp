#include "cli/ConvertCommand.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "create/SampleConversion.h"

namespace velmorant::cli {

std::string ConvertCommand::description() const {
    return "Convert a 16-bit 44.1 kHz mono or stereo WAV file into an instrument sample file (.afs)";
}

void ConvertCommand::setup(CLI::App& subcommand) {
    subcommand.add_option("--root-key", rootKey_,
                          "MIDI note 1..128 written as the sample's root key (other values keep the WAV's own, "
                          "or 60)");
    subcommand.add_option("WAV", wave_, "The WAV file to read")->required();
    subcommand.add_option("AFS", sample_, "The sample file to write (replaced when it exists)")->required();
    subcommand.footer("Exit status: 0 written, 1 the conversion failed (its status is printed), 2 usage error.");
}

int ConvertCommand::run(CommandIo& io) {
    const create::ConversionResult status = create::ConvertWaveToSample(wave_, sample_, rootKey_);
    if (status == create::ConversionResult::kWritten) {
        io.out << "Wrote " << sample_ << "\n";
        return kExitOk;
    }
    io.err << "Cannot convert " << wave_ << ": status " << create::ConversionCode(status) << ", "
           << create::ConversionResultText(status)
           << "\n";
    return kExitFailed;
}

}  // namespace velmorant::cli
