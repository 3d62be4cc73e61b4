#include "cli/ProbeAudioCommand.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "audio/AudioSet.h"

namespace velmorant::cli {

std::string ProbeAudioCommand::description() const {
    return "Show each audio file's format, rate, channels, length, root key and its evidence, loop, and what "
           "converting it would do";
}

void ProbeAudioCommand::setup(CLI::App& subcommand) {
    subcommand.add_flag("--json", json_, "Print one JSON document instead of text");
    audio_.setup(subcommand, false);
    subcommand.add_option("FILE", files_, "WAV, AIFF or FLAC files, taken as one set (as a multisample's)")
        ->required();
    subcommand.footer("Nothing is written. Exit status: 0 every file can be converted, 1 some cannot, 2 usage error.");
}

int ProbeAudioCommand::run(CommandIo& io) {
    const auto in = audio_.make("probe-audio", io.err);
    if (!in) {
        return kExitUsage;
    }
    const audio::SetPlan set = audio::PlanSet(files_, in->set);
    io.out << (json_ ? audio::DescribeSetJson(set, in->set.middleC) : audio::DescribeSetText(set, in->set.middleC));
    return set.ok() ? kExitOk : kExitFailed;
}

}  // namespace velmorant::cli
