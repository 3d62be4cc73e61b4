#include "cli/CatalogueCommand.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "catalogue/CatalogueJob.h"
#include "core/AtomicWrite.h"
#include "core/File.h"
#include "core/Terminal.h"
#include "core/Viewer.h"
#include "doctor/CatalogueData.h"
#include "platform/ConsolePlatform.h"

namespace velmorant::cli {

std::string CatalogueCommand::description() const {
    return "Write an HTML catalogue of every bank of a volume: one table per bank, or with --dynamic one "
           "sortable, filterable table of every program";
}

void CatalogueCommand::setup(CLI::App& subcommand) {
    subcommand.add_flag("--dynamic", dynamic_,
                        "Write the sortable, filterable page (reads each program's type; VOLUME must be a "
                        "folder named Volume)");
    subcommand.add_flag("--open", open_, "Open the written page in the default viewer");
    subcommand
        .add_option("--format", format_,
                    "html (the page); csv or json: the dynamic catalogue's rows for scripts (bank, slot, name, type, "
                    "main and other categories, and the files each program needs that are missing)")
        ->check(CLI::IsMember({"html", "csv", "json"}).description(""))
        ->type_name("html|csv|json");
    subcommand.add_option("VOLUME", volume_, "The volume's root folder (the one holding Programs)")
        ->required()
        ->check(CLI::ExistingDirectory);
    subcommand.add_option("OUTPUT", output_, "The page to write, exactly this path")->required();
}

int CatalogueCommand::run(CommandIo& io) {
    if (format_ != "html") {
        if (open_) {
            io.err << "velmorant-cli catalogue: --open goes with the HTML page only\n";
            return kExitUsage;
        }
        const std::string data =
            doctor::CatalogueData(volume_, format_ == "csv" ? doctor::DataFormat::kCsv : doctor::DataFormat::kJson);
        if (const core::FileStatus written = core::WriteFileAtomically(output_, data); !written) {
            io.err << "velmorant-cli catalogue: " << output_ << " : " << written.Reason() << "\n";
            return kExitFailed;
        }
        io.out << "Catalogue data written to " << output_ << "\n";
        return kExitOk;
    }
    platform::ConsoleOptions options;
    options.progress =
        core::StandardErrorIsTerminal() ? platform::ProgressDisplay::kLine : platform::ProgressDisplay::kHidden;
    platform::ConsolePlatform console(io.err, options);
    console.SetDocumentOpener([](const std::string& path) { return core::OpenWithDefaultViewer(path); });

    const auto kind = dynamic_ ? catalogue::CatalogueKind::kDynamic : catalogue::CatalogueKind::kStatic;
    const int result = catalogue::PublishCatalogue(console, kind, volume_, output_, open_);
    if (result == catalogue::kCatalogueDone || result == catalogue::kCatalogueNotOpened) {
        io.out << (dynamic_ ? "Dynamic" : "Static") << " catalogue written to " << output_ << "\n";
    }
    return result == catalogue::kCatalogueDone ? kExitOk : kExitFailed;
}

}  // namespace velmorant::cli
