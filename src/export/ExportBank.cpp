#include "export/ExportBank.h"

#include "bank/Bank.h"
#include "bank/BankIndex.h"
#include "core/Debug.h"
#include "core/File.h"
#include "core/Path.h"
#include "core/Text.h"
#include "export/ExportProgram.h"
#include "platform/Platform.h"

#include <array>
#include <set>

namespace velmorant::exporting {
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
    if (!core::IsSafePathComponent(bankName)) {
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
    const std::string& root = options.destinationPath;
    if (root.empty() || !core::DirectoryExists(root)) {
        platform.ShowMessage("You must define an existing Path to export", "Information",
                             platform::Icon::kInformation);
        return kExportRefused;
    }

    std::unique_ptr<platform::ProgressWindow> progress = platform.StartProgressWindow(false);
    progress->SetTitle("Exporting bank");
    progress->SetStatus("Prepare export");

    const std::string programs = core::JoinPath(root, "Programs");
    const std::string multisamples = core::JoinPath(root, "Multisamples");
    const std::string samples = core::JoinPath(root, "Samples");
    options.programFolder = core::JoinPath(programs, bankName);
    options.multisampleFolder = core::JoinPath(multisamples, bankName);
    options.sampleFolder = core::JoinPath(samples, bankName);
    const std::array<const std::string*, 6> folders = {&programs,     &options.programFolder,
                                                       &multisamples, &options.multisampleFolder,
                                                       &samples,      &options.sampleFolder};
    for (const std::string* folder : folders) {
        if (!core::EnterOrCreateFolder(*folder)) {
            // A progress window has no close box: it must go before the message.
            progress->Close();
            platform.ShowMessage("Error creation folders", "Error", platform::Icon::kInformation);
            return kExportFoldersFailed;
        }
    }
    const std::string indexPath = core::JoinPath(options.programFolder, "bank.txt");

    int defined = 0;
    int transfers = 0;
    for (const volume::ProgramRecord& record : bank.slots) {
        if (record.defined != 1) {
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
    std::set<std::string> exportedNames;
    for (int slot = 0; slot < bank::kSlotCount; ++slot) {
        volume::ProgramRecord& record = bank.slots[static_cast<std::size_t>(slot)];
        if (record.defined != 1) {
            continue;
        }
        progress->SetStatus(
            core::Format(" %i/%i - Export Program : %s", exported, defined, record.programName.c_str()));
        progress->SetPosition(slot);
        // Two slots may hold programs of the same name (the instrument's disk ignores letter
        // case): the second would silently replace the first one's file.
        std::string key = record.programName;
        core::UpperCaseInPlace(key);
        int result = kProgramNameTaken;
        if (exportedNames.insert(key).second) {
            // A failed program leaves its reasons in its own log; the others still go out.
            result = ExportProgram(record, bankName, root, mode, &bank.checksums);
        } else {
            volume::AppendLog(record, core::Format("Program name already exported in this bank (%s), program not "
                                                   "exported\n",
                                                   record.programName.c_str()));
        }
        if (outcome != nullptr) {
            outcome->programs.push_back({slot, record.programName, result});
        }
        ++exported;
    }

    bank::WriteBankIndex(bank, indexPath);
    bank::WriteFolderIndex(options.multisampleFolder, bank::FolderKind::kMultisamples);
    bank::WriteFolderIndex(options.sampleFolder, bank::FolderKind::kSamples);

    progress->Close();
    return kExportFinished;
}

}  // namespace velmorant::exporting
