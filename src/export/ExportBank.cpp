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
#include "export/ExportProgram.h"
#include "formats/BankTxt.h"
#include "platform/Platform.h"

#include <array>
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

// The slots whose programs go out: defined, and the first of each name (the instrument's disk
// ignores letter case, so a second program of the same name would replace the first's file).
std::array<bool, bank::kSlotCount> SlotsToExport(const bank::Bank& bank) {
    std::array<bool, bank::kSlotCount> chosen{};
    std::set<std::string> names;
    for (std::size_t slot = 0; slot < chosen.size(); ++slot) {
        const volume::ProgramRecord& record = bank.slots[slot];
        std::string key = record.programName;
        core::UpperCaseInPlace(key);
        chosen[slot] = record.defined && names.insert(key).second;
    }
    return chosen;
}

// bank.txt naming only the programs that went out; the other lines stay empty so every
// program keeps its slot.
std::string BankIndexText(const bank::Bank& bank, const std::array<bool, bank::kSlotCount>& exported) {
    auto lines = bank::BankIndexLines(bank);
    for (std::size_t slot = 0; slot < exported.size() && slot < lines.size(); ++slot) {
        if (!exported[slot]) {
            lines[slot].reset();
        }
    }
    return formats::FormatBankTxt(lines);
}

std::span<const std::uint8_t> BytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
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

int ExportBank(platform::Platform& platform, bank::Bank& bank, ExportOptions& options, ExportOutcome* outcome) {
    if (!options.accepted) {
        return kExportFinished;
    }
    ApplyFolderRule(options);
    const int mode = ExportModeOf(options);

    // A name of blanks would give folders the instrument cannot tell from none.
    const std::string bankName(core::TrimSpaces(options.bankName));
    if (bankName.empty()) {
        platform.ShowMessage("You must define a Bank Name to export", "Information", platform::Icon::kInformation);
        return kExportRefused;
    }
    // The name becomes three folder names; it must not lead out of the volume.
    if (!core::IsPortableFileName(bankName)) {
        platform.ShowMessage(core::Format("The Bank Name cannot be used as a folder name (%s)", bankName.c_str()),
                             "Information", platform::Icon::kInformation);
        return kExportRefused;
    }
    // A reference holds 16 characters of folder name: a longer bank name written there
    // would name a folder that is not the one the copies go into.
    const ExportMode flags = ExportMode::FromCode(mode);
    if (flags.writeFolder && flags.bankFolders && bankName.size() > kMaxFolderFieldLength) {
        platform.ShowMessage(
            core::Format("The Bank Name must have at most %zu characters with absolute paths", kMaxFolderFieldLength),
            "Information", platform::Icon::kInformation);
        return kExportRefused;
    }
    // A copy's folder is named like its source folder, but a reference holds only 16
    // characters of it: a longer name would leave the program pointing at no folder.
    if (flags.writeFolder && !flags.bankFolders) {
        for (const volume::ProgramRecord& record : bank.slots) {
            for (const volume::DependencyRecord& dependency : record.dependencies) {
                const std::string* folder = record.defined ? LongSourceFolder(dependency) : nullptr;
                if (folder != nullptr) {
                    platform.ShowMessage(
                        core::Format("The folder %s (program %s) is longer than the %zu characters a reference "
                                     "holds; rename it or export into a bank named folder",
                                     std::string(core::TrimSpaces(*folder)).c_str(), record.programName.c_str(),
                                     kMaxFolderFieldLength),
                        "Information", platform::Icon::kInformation);
                    return kExportRefused;
                }
            }
        }
    }
    const std::string& root = options.destinationPath;
    if (root.empty() || !core::DirectoryExists(root)) {
        platform.ShowMessage("You must define an existing Path to export", "Information",
                             platform::Icon::kInformation);
        return kExportRefused;
    }
    // Two exports into one volume would race for the same names, and the last bank.txt would win.
    const core::ExclusiveLock lock(core::JoinPath(root, kExportLockName));
    if (!lock.held()) {
        platform.ShowMessage(
            lock.busy() ? core::Format("Another export is writing into %s; try again when it has finished", root.c_str())
                        : core::Format("Cannot write into %s : %s", root.c_str(), lock.status().Reason().c_str()),
            "Information", platform::Icon::kInformation);
        return kExportRefused;
    }

    const std::string programs = core::JoinPath(root, "Programs");
    const std::string multisamples = core::JoinPath(root, "Multisamples");
    const std::string samples = core::JoinPath(root, "Samples");
    // The name is Windows-1252 like every bank name; its folders are named with its UTF-8, as
    // the programs' own paths are, so bank.txt lands beside the programs it lists.
    const std::string bankFolder = core::Cp1252ToUtf8(bankName);
    options.programFolder = core::JoinPath(programs, bankFolder);
    options.multisampleFolder = core::JoinPath(multisamples, bankFolder);
    options.sampleFolder = core::JoinPath(samples, bankFolder);
    const std::string indexPath = core::JoinPath(options.programFolder, "bank.txt");

    // Files of the user's that the export would replace with something else: asked about
    // before anything is written; the old ones are then kept as backups.
    const std::array<bool, bank::kSlotCount> toExport = SlotsToExport(bank);
    std::vector<std::string> replaced;
    for (std::size_t slot = 0; slot < toExport.size(); ++slot) {
        const volume::ProgramRecord& record = bank.slots[slot];
        if (toExport[slot] && ProgramWouldReplace(record, bankName, root, mode)) {
            replaced.push_back(ProgramDestination(root, bankName, record.programName));
        }
    }
    if (WouldReplace(indexPath, BytesOf(BankIndexText(bank, toExport)))) {
        replaced.push_back(indexPath);
    }
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

    int exported = 0;
    std::array<bool, bank::kSlotCount> written{};
    int failures = 0;
    for (int slot = 0; slot < bank::kSlotCount; ++slot) {
        volume::ProgramRecord& record = bank.slots[static_cast<std::size_t>(slot)];
        if (!record.defined) {
            continue;
        }
        progress->SetStatus(
            core::Format(" %i/%i - Export Program : %s", exported, defined, record.programName.c_str()));
        progress->SetPosition(slot);
        int result = kProgramNameTaken;
        if (toExport[static_cast<std::size_t>(slot)]) {
            // A failed program leaves its reasons in its own log; the others still go out.
            result = ExportProgram(record, bankName, root, mode, &bank.checksums, nullptr, replace);
        } else {
            volume::AppendLog(record, core::Format("Program name already exported in this bank (%s), program not "
                                                   "exported\n",
                                                   record.programName.c_str()));
        }
        written[static_cast<std::size_t>(slot)] = result >= 0;
        failures += result < 0 ? 1 : 0;
        if (outcome != nullptr) {
            outcome->programs.push_back({slot, record.programName, result});
        }
        ++exported;
    }

    std::string errors;
    const PlaceResult index = PlaceFile(indexPath, BytesOf(BankIndexText(bank, written)), replace);
    if (index.placed == Placed::kTaken || index.placed == Placed::kFailed) {
        volume::AppendLog(bank.bankLog,
                          core::Format("can,not open Multisample destination file (%s)\n", indexPath.c_str()));
        errors += PlaceFailure(indexPath, index);
    }
    for (const auto& [folder, kind] : {std::pair{&options.multisampleFolder, bank::FolderKind::kMultisamples},
                                       {&options.sampleFolder, bank::FolderKind::kSamples}}) {
        const std::string path = core::JoinPath(*folder, "bank.txt");
        const auto lines = bank::FolderIndexLines(*folder, kind);
        const core::FileStatus status =
            lines ? core::WriteFileAtomically(path, formats::FormatBankTxt(*lines))
                  : core::FileStatus{std::make_error_code(std::errc::no_such_file_or_directory)};
        if (!status) {
            errors += core::Format("Error writing %s : %s\n", path.c_str(), status.Reason().c_str());
        }
    }

    progress->Close();
    if (failures > 0) {
        errors += core::Format("%i of %i programs were not exported; their logs say why\n", failures, defined);
    }
    if (!errors.empty()) {
        platform.ShowMessage(errors, "Error", platform::Icon::kStop);
        return kExportIncomplete;
    }
    return kExportFinished;
}

}  // namespace velmorant::exporting
