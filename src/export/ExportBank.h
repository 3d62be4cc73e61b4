#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "export/ExportPlan.h"
#include "export/ExportProgram.h"

namespace velmorant::bank {
struct Bank;
}
namespace velmorant::platform {
class Platform;
}

namespace velmorant::exporting {

enum ReferenceOption : int {
    kRelativePaths = 0,  // "Use relative paths"
    kAbsolutePaths = 1,  // "Use absolute paths"
};

enum FolderOption : int {
    kSameAsSource = 0,    // "Same as source"
    kBankNamedFolder = 1, // "All in a bank named directory"
};

// The options of one export, kept by the front end between exports so that its
// dialog shows the last values used. Front ends only map their widgets to it.
struct ExportOptions {
    std::string destinationPath;  // the destination volume's root folder
    std::string bankName = "New_Bank";
    int referenceOption = kRelativePaths;
    int folderOption = kBankNamedFolder;
    bool accepted = false;  // set by the front end when the user confirmed the options
    // Program files and bank.txt already at the destination with other contents may be
    // replaced without asking; the old ones are kept as backups.
    bool replaceExisting = false;
    // Add the bank to the destination volume's list, Programs/bank.txt (the old list is kept as
    // a backup beside it).
    bool registerBank = true;

    // Filled by every export.
    std::string multisampleFolder;
    std::string sampleFolder;
    std::string programFolder;
};

// The initial options; the destination starts at the folder of the running executable.
ExportOptions DefaultExportOptions(std::string executableFolder);

// Copies into folders named like their sources must name those folders, so
// "Same as source" forces absolute references. True when that locks the choice.
bool ReferenceOptionLocked(const ExportOptions& options);
void ApplyFolderRule(ExportOptions& options);

// 10 x reference option + folder option, after the rule above.
int ExportModeOf(const ExportOptions& options);

// ExportBank results.
inline constexpr int kExportFinished = 0;  // also when the options were not accepted
inline constexpr int kExportRefused = -1;  // nothing was written
inline constexpr int kExportFoldersFailed = -4;
// Some program or index file was not written; a box and the programs' logs say which and why.
inline constexpr int kExportIncomplete = -5;

// Held in the destination's root while an export writes there.
inline constexpr const char* kExportLockName = ".velmorant-export.lock";

// What became of each program, for callers that report more than the logs.
struct ExportOutcome {
    struct Program {
        int slot = 0;
        std::string name;
        int result = 0;  // ExportProgram's result
    };
    std::vector<Program> programs;
    ExportCounts counts;
    bool listed = false;  // the destination's Programs/bank.txt names the bank

    int failures() const;
};

// The options checked as an export checks them (a box says why it refuses), then the plan of
// what the export would do; nothing is written. kExportFinished, with `plan` filled when the
// options were accepted, or kExportRefused.
int PreviewExport(platform::Platform& platform, bank::Bank& bank, ExportOptions& options, ExportPlan& plan);

// Exports every defined slot of the bank as the bank folder Programs/<bank name> of
// the destination volume, with the copies of their dependencies and the three
// bank.txt indexes. Nothing is written when the options are refused, when another
// export holds the destination, or when the user declines replacing files of theirs.
int ExportBank(platform::Platform& platform, bank::Bank& bank, ExportOptions& options,
               ExportOutcome* outcome = nullptr);
// The export once planned: refused with the figures when it does not fit, or when the user keeps
// files of theirs it would replace; then written, ending with a message that counts what was done.
int RunExportPlan(platform::Platform& platform, bank::Bank& bank, ExportOptions& options, ExportPlan& plan,
                  ExportOutcome* outcome = nullptr);

// The final message: programs exported, files copied, reused, numbered, samples missing, and
// whether the destination's bank list names the bank.
std::string CountsMessage(const ExportCounts& counts, bool listed);

}  // namespace velmorant::exporting
