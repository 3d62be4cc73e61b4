#include "export/ExportBank.h"

#include "bank/Bank.h"
#include "bank/BankIndex.h"
#include "core/AtomicWrite.h"
#include "core/Debug.h"
#include "core/Encoding.h"
#include "core/File.h"
#include "core/Path.h"
#include "core/Text.h"
#include "export/DestinationFile.h"
#include "export/ExportManifest.h"
#include "export/ExportProgram.h"
#include "formats/BankTxt.h"
#include "platform/Platform.h"

#include <array>
#include <optional>
#include <set>
#include <span>
#include <utility>

namespace velmorant::exporting {
namespace {

// Empty when the folder is there or was made; otherwise why not. A link is refused: the
// export writes only below the destination it was given.
std::string FolderProblem(const std::string& folder) {
    if (core::IsLink(folder)) {
        return core::Format("%s is a link, the export does not write through links", folder.c_str());
    }
    if (core::DirectoryExists(folder)) {
        return {};
    }
    const core::FileStatus status = core::MakeDirectory(folder);
    return status ? std::string() : core::Format("%s : %s", folder.c_str(), status.Reason().c_str());
}

bool IsRomReference(const volume::DependencyRecord& dependency) {
    return dependency.kind == volume::DependencyKind::kRom || dependency.volumeNumber < 1;
}

// A source folder whose name does not fit a reference's folder field, or nullptr.
const std::string* LongSourceFolder(const volume::DependencyRecord& dependency) {
    if (!IsRomReference(dependency) && core::TrimSpaces(dependency.folderName).size() > kMaxFolderFieldLength) {
        return &dependency.folderName;
    }
    for (const volume::DependencyRecord& sample : dependency.samples) {
        if (const std::string* folder = LongSourceFolder(sample)) {
            return folder;
        }
    }
    return nullptr;
}

std::span<const std::uint8_t> BytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The planned file the export makes at this path.
std::optional<std::size_t> MadeFile(const ExportPlan& plan, const std::string& path) {
    for (std::size_t i = plan.files.size(); i-- > 0;) {
        const PlannedFile& file = plan.files[i];
        if ((file.kind == FileKind::kBankList || file.kind == FileKind::kManifest) && file.destination == path) {
            return i;
        }
    }
    return std::nullopt;
}

// Refuses options no export can run with, saying why in a box; 0 when they are fine.
int CheckOptions(platform::Platform& platform, const bank::Bank& bank, ExportOptions& options) {
    ApplyFolderRule(options);
    const int mode = ExportModeOf(options);
    const auto refuse = [&](const std::string& text) {
        platform.ShowMessage(text, "Information", platform::Icon::kInformation);
        return kExportRefused;
    };
    // A name of blanks would give folders the instrument cannot tell from none.
    const std::string bankName(core::TrimSpaces(options.bankName));
    if (bankName.empty()) {
        return refuse("You must define a Bank Name to export");
    }
    // The name becomes three folder names; it must not lead out of the volume.
    if (!core::IsPortableFileName(bankName)) {
        return refuse(core::Format("The Bank Name cannot be used as a folder name (%s)", bankName.c_str()));
    }
    // A reference holds 16 characters of folder name: a longer bank name written there
    // would name a folder that is not the one the copies go into.
    const ExportMode flags = ExportMode::FromCode(mode);
    if (flags.writeFolder && flags.bankFolders && bankName.size() > kMaxFolderFieldLength) {
        return refuse(
            core::Format("The Bank Name must have at most %zu characters with absolute paths", kMaxFolderFieldLength));
    }
    // A copy's folder is named like its source folder, but a reference holds only 16
    // characters of it: a longer name would leave the program pointing at no folder.
    if (flags.writeFolder && !flags.bankFolders) {
        for (const volume::ProgramRecord& record : bank.slots) {
            for (const volume::DependencyRecord& dependency : record.dependencies) {
                const std::string* folder = record.defined ? LongSourceFolder(dependency) : nullptr;
                if (folder != nullptr) {
                    return refuse(core::Format("The folder %s (program %s) is longer than the %zu characters a "
                                               "reference holds; rename it or export into a bank named folder",
                                               std::string(core::TrimSpaces(*folder)).c_str(),
                                               record.programName.c_str(), kMaxFolderFieldLength));
                }
            }
        }
    }
    const std::string& root = options.destinationPath;
    if (root.empty() || !core::DirectoryExists(root)) {
        return refuse("You must define an existing Path to export");
    }
    return 0;
}

}  // namespace

ExportOptions DefaultExportOptions(std::string executableFolder) {
    ExportOptions options;
    options.destinationPath = std::move(executableFolder);
    return options;
}

bool ReferenceOptionLocked(const ExportOptions& options) {
    return options.folderOption == kSameAsSource;
}

void ApplyFolderRule(ExportOptions& options) {
    if (ReferenceOptionLocked(options)) {
        options.referenceOption = kAbsolutePaths;
    }
}

int ExportModeOf(const ExportOptions& options) {
    ExportOptions ruled = options;
    ApplyFolderRule(ruled);
    return 10 * ruled.referenceOption + ruled.folderOption;
}

int ExportOutcome::failures() const {
    int count = 0;
    for (const Program& program : programs) {
        count += program.result < 0 ? 1 : 0;
    }
    return count;
}

std::string CountsMessage(const ExportCounts& counts, bool listed) {
    std::string text = core::Format("Exported %i of %i programs: ", counts.exported, counts.programs);
    if (counts.copied == 0 && counts.reused > 0) {
        text += core::Format("nothing copied, every file was already there (%i reused)", counts.reused);
    } else {
        text += core::Format("%i files copied", counts.copied);
        if (counts.numbered > 0) {
            text += core::Format(" (%i under a numbered name)", counts.numbered);
        }
        text += core::Format(", %i reused (already there with the same content)", counts.reused);
    }
    if (counts.missing > 0) {
        text += core::Format(", %i %s missing on the source volume, not copied", counts.missing,
                             counts.missing == 1 ? "sample" : "samples");
    }
    text += ".";
    if (!listed) {
        text += "\nThe bank is not listed in the destination's Programs/bank.txt.";
    }
    return text;
}

int PreviewExport(platform::Platform& platform, bank::Bank& bank, ExportOptions& options, ExportPlan& plan) {
    if (!options.accepted) {
        return kExportFinished;
    }
    if (const int refused = CheckOptions(platform, bank, options); refused != 0) {
        return refused;
    }
    plan = PlanExport(bank, options, &bank.checksums);
    return kExportFinished;
}

int ExportBank(platform::Platform& platform, bank::Bank& bank, ExportOptions& options, ExportOutcome* outcome) {
    if (!options.accepted) {
        return kExportFinished;
    }
    if (const int refused = CheckOptions(platform, bank, options); refused != 0) {
        return refused;
    }
    const std::string& root = options.destinationPath;
    // Two exports into one volume would race for the same names, and the last bank.txt would win.
    const core::ExclusiveLock lock(core::JoinPath(root, kExportLockName));
    if (!lock.held()) {
        platform.ShowMessage(
            lock.busy() ? core::Format("Another export is writing into %s; try again when it has finished", root.c_str())
                        : core::Format("Cannot write into %s : %s", root.c_str(), lock.status().Reason().c_str()),
            "Information", platform::Icon::kInformation);
        return kExportRefused;
    }
    ExportPlan plan = PlanExport(bank, options, &bank.checksums);
    return RunExportPlan(platform, bank, options, plan, outcome);
}

int RunExportPlan(platform::Platform& platform, bank::Bank& bank, ExportOptions& options, ExportPlan& plan,
                  ExportOutcome* outcome) {
    if (const std::string problem = plan.SpaceProblem(); !problem.empty()) {
        platform.ShowMessage(problem, "Information", platform::Icon::kInformation);
        return kExportRefused;
    }
    // Files of the user's that the export would replace with something else: asked about
    // before anything is written; the old ones are then kept as backups.
    const std::vector<std::string> replaced = plan.Replaced();
    if (!replaced.empty() && !options.replaceExisting) {
        std::string list;
        for (const std::string& path : replaced) {
            list += "\n" + path;
        }
        if (!platform.Confirm(core::Format("These files already exist with other contents:%s\nReplace them? The old "
                                           "files are kept beside the new ones as .bak files.",
                                           list.c_str()),
                              "Question", platform::Icon::kQuestion)) {
            return kExportRefused;
        }
    }
    const bool replace = options.replaceExisting || !replaced.empty();

    const std::string& root = plan.destination;
    const std::string programs = core::JoinPath(root, "Programs");
    const std::string multisamples = core::JoinPath(root, "Multisamples");
    const std::string samples = core::JoinPath(root, "Samples");
    // The name is Windows-1252 like every bank name; its folders are named with its UTF-8, as
    // the programs' own paths are, so bank.txt lands beside the programs it lists.
    const std::string bankFolder = core::Cp1252ToUtf8(plan.bankName);
    options.programFolder = core::JoinPath(programs, bankFolder);
    options.multisampleFolder = core::JoinPath(multisamples, bankFolder);
    options.sampleFolder = core::JoinPath(samples, bankFolder);
    const std::string indexPath = core::JoinPath(options.programFolder, "bank.txt");

    std::unique_ptr<platform::ProgressWindow> progress = platform.StartProgressWindow(false);
    progress->SetTitle("Exporting bank");
    progress->SetStatus("Prepare export");

    const std::array<const std::string*, 6> folders = {&programs,     &options.programFolder,
                                                       &multisamples, &options.multisampleFolder,
                                                       &samples,      &options.sampleFolder};
    for (const std::string* folder : folders) {
        if (const std::string error = FolderProblem(*folder); !error.empty()) {
            // A progress window has no close box: it must go before the message.
            progress->Close();
            platform.ShowMessage("Error creation folders\n" + error, "Error", platform::Icon::kInformation);
            return kExportFoldersFailed;
        }
    }

    int defined = 0;
    int transfers = 0;
    for (const volume::ProgramRecord& record : bank.slots) {
        if (!record.defined) {
            continue;
        }
        ++defined;
        for (const volume::DependencyRecord& dependency : record.dependencies) {
            transfers += 1 + static_cast<int>(dependency.samples.size());
        }
    }
    core::DebugPrint("%i elements in the transfer table\n", defined + transfers);
    progress->SetRange(static_cast<std::uint32_t>(defined));

    PlanWriter writer(plan);
    int exported = 0;
    std::array<bool, bank::kSlotCount> written{};
    int failures = 0;
    for (std::size_t index = 0; index < plan.programs.size(); ++index) {
        const int slot = plan.programs[index].slot;
        volume::ProgramRecord& record = bank.slots[static_cast<std::size_t>(slot)];
        progress->SetStatus(
            core::Format(" %i/%i - Export Program : %s", exported, defined, record.programName.c_str()));
        progress->SetPosition(slot);
        // A failed program leaves its reasons in its own log; the others still go out.
        const int result = writer.WriteProgram(index, record, replace);
        written[static_cast<std::size_t>(slot)] = result >= 0;
        failures += result < 0 ? 1 : 0;
        if (outcome != nullptr) {
            outcome->programs.push_back({slot, record.programName, result});
        }
        ++exported;
    }

    std::string errors;
    if (const auto index = MadeFile(plan, indexPath)) {
        const PlaceResult placed = writer.WriteMadeFile(*index, BytesOf(BankIndexText(bank, written)), replace);
        if (placed.placed == Placed::kTaken || placed.placed == Placed::kFailed) {
            volume::AppendLog(bank.bankLog,
                              core::Format("can,not open Multisample destination file (%s)\n", indexPath.c_str()));
            errors += PlaceFailure(indexPath, placed);
        }
    }
    for (const auto& [folder, kind] : {std::pair{&options.multisampleFolder, bank::FolderKind::kMultisamples},
                                       {&options.sampleFolder, bank::FolderKind::kSamples}}) {
        const std::string path = core::JoinPath(*folder, "bank.txt");
        const auto lines = bank::FolderIndexLines(*folder, kind);
        const auto index = MadeFile(plan, path);
        const PlaceResult placed = lines && index ? writer.WriteMadeFile(*index, BytesOf(formats::FormatBankTxt(*lines)), true)
                                                  : PlaceResult{Placed::kFailed,
                                                                {std::make_error_code(std::errc::no_such_file_or_directory)},
                                                                {}};
        if (placed.placed == Placed::kFailed) {
            errors += PlaceFailure(path, placed);
        }
    }
    std::string registered;
    if (plan.registration) {
        const std::string listPath = plan.files[*plan.registration].destination;
        if (const auto list = BankListWith(listPath, plan.bankName)) {
            const PlaceResult placed = writer.WriteMadeFile(*plan.registration, BytesOf(*list), true);
            if (placed.placed == Placed::kFailed) {
                errors += PlaceFailure(listPath, placed);
                plan.listed = false;
            } else {
                registered = core::Format("\nThe bank is added to %s", listPath.c_str()) +
                             (placed.backupPath.empty() ? std::string(".")
                                                        : "; the old list is kept as " + placed.backupPath + ".");
            }
        }
    }
    if (const auto index = MadeFile(plan, ManifestDestination(root, plan.bankName))) {
        const std::string manifest = ManifestText(plan, writer.Present());
        const PlaceResult placed = writer.WriteMadeFile(*index, BytesOf(manifest), true);
        if (placed.placed == Placed::kFailed) {
            errors += PlaceFailure(plan.files[*index].destination, placed);
        }
    }

    progress->Close();
    const ExportCounts counts = writer.Counts();
    if (outcome != nullptr) {
        outcome->counts = counts;
        outcome->listed = plan.listed;
    }
    const std::string message = CountsMessage(counts, plan.listed) + registered;
    if (failures > 0) {
        errors += core::Format("%i of %i programs were not exported; their logs say why\n", failures, defined);
    }
    if (!errors.empty()) {
        platform.ShowMessage(errors + "\n" + message, "Error", platform::Icon::kStop);
        return kExportIncomplete;
    }
    platform.ShowMessage(message, "Information", platform::Icon::kInformation);
    return kExportFinished;
}

}  // namespace velmorant::exporting
