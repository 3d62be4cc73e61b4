#include "cli/CheckCommand.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "core/File.h"
#include "doctor/Manifest.h"
#include "doctor/ReportWriters.h"
#include "doctor/VolumeCheck.h"

namespace velmorant::cli {

std::string CheckCommand::description() const {
    return "Check a whole volume: programs that would not load, missing, orphan and duplicate files, "
           "names the instrument cannot show, broken bank.txt files";
}

void CheckCommand::setup(CLI::App& subcommand) {
    subcommand.add_flag("--json", json_, "Print the report as one JSON document");
    subcommand.add_option("--bank", banks_, "Check only this bank folder (repeatable)");
    subcommand.add_option("--manifest", manifest_,
                          "Verify VOLUME against an export manifest instead (missing, changed, extra files)");
    subcommand.add_option("VOLUME", volume_, "The volume folder (holding Programs, Multisamples, Samples)")
        ->required();
    subcommand.footer("Exit status: 0 nothing would fail to load, 1 something would, 2 usage error.");
}

int CheckCommand::run(CommandIo& io) {
    if (!core::DirectoryExists(volume_)) {
        io.err << "check: " << volume_ << " is not a folder\n";
        return kExitUsage;
    }
    if (!manifest_.empty() && !banks_.empty()) {
        io.err << "check: --manifest and --bank cannot be combined\n";
        return kExitUsage;
    }
    doctor::CheckOptions options;
    options.volume = volume_;
    options.banks = banks_;
    const doctor::Report report =
        manifest_.empty() ? doctor::CheckVolume(options) : doctor::VerifyManifest(volume_, manifest_);
    io.out << (json_ ? doctor::ReportJson(report) : doctor::ReportText(report));
    return report.WouldFailToLoad() ? kExitFailed : kExitOk;
}

}  // namespace velmorant::cli
