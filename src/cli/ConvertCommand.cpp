#include "cli/ConvertCommand.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "core/Encoding.h"
#include "create/AudioSamples.h"

namespace velmorant::cli {

std::string ConvertCommand::description() const {
    return "Convert a WAV, AIFF or FLAC file into an instrument sample file (.afs), resampled to 44.1 kHz and "
           "dithered to 16 bits when it needs to be";
}

void ConvertCommand::setup(CLI::App& subcommand) {
    subcommand.add_option("--root-key", rootKey_,
                          "MIDI note 1..128 written as the sample's root key (other values keep the file's own, "
                          "or 60)");
    audio_.setup(subcommand, true);
    subcommand.add_option("FILE", wave_, "The audio file to read")->required();
    subcommand.add_option("AFS", sample_, "The sample file to write (replaced when it exists)")->required();
    subcommand.footer(
        "A 16-bit 44.1 kHz mono or stereo WAV file is copied exactly; any other file is converted and a line\n"
        "says what was done.\n"
        "Exit status: 0 written, 1 the conversion failed (its reason is printed), 2 usage error.");
}

int ConvertCommand::run(CommandIo& io) {
    const auto in = audio_.make("convert", io.err);
    if (!in) {
        return kExitUsage;
    }
    const create::SampleOutcome outcome = create::ConvertSampleFiles({{wave_, sample_, rootKey_}}, *in).front();
    if (outcome.status == create::ConversionResult::kWritten) {
        if (!outcome.report.empty()) {
            io.out << outcome.report << "\n";
        }
        io.out << "Wrote " << sample_ << "\n";
        return kExitOk;
    }
    io.err << core::TerminalText("Cannot convert " + wave_ + ": " + create::SampleOutcomeText(outcome)) << "\n";
    return kExitFailed;
}

}  // namespace velmorant::cli
