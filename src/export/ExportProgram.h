#pragma once

#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "export/DestinationFile.h"
#include "export/ExportPlan.h"
#include "formats/ReferenceRecord.h"
#include "volume/Dependencies.h"
#include "volume/ProgramRecord.h"

namespace velmorant::exporting {

// Results of ExportProgram (0) and PlanWriter::WriteProgram.
inline constexpr int kCopyDone = 1;
inline constexpr int kProgramExported = 0;
inline constexpr int kFolderNotCreated = -2;
inline constexpr int kReadOrWriteFailed = -3;
// A folder or file name that would not stay one component below its destination folder.
inline constexpr int kUnsafeName = -4;
// Another program of the bank was exported under the same name (ExportBank only).
inline constexpr int kProgramNameTaken = -5;
// A different file holds the program's name at the destination and replacing was not allowed.
inline constexpr int kDestinationTaken = -6;

// Longest numbered names the instrument accepts for copied files.
inline constexpr std::size_t kMaxSampleNameLength = formats::kReferenceNameWidth;
inline constexpr std::size_t kMaxMultisampleNameLength = 16;
inline constexpr std::size_t kMaxFolderFieldLength = formats::kReferenceFolderWidth;

// The two flags an export mode (10 x reference option + folder option) stands for.
struct ExportMode {
    bool writeFolder = false;  // reference folder fields filled in
    bool bankFolders = false;  // copies go into folders named after the bank

    static ExportMode FromCode(int mode) { return ExportMode{mode > 9, mode == 1 || mode == 11}; }
};

// What an export did, as its final message counts it.
struct ExportCounts {
    int programs = 0;  // programs of the bank
    int exported = 0;
    int copied = 0;    // samples, multisamples and programs written
    int reused = 0;    // already there with the same content
    int numbered = 0;  // of the copied, those under a numbered name
    int missing = 0;   // samples missing on the source volume, not copied
};

// Writes what a plan decided, program by program, each planned file once however many
// programs need it, and records in the plan the checksum of each copy as it reads it. Program
// logs record what was done.
class PlanWriter {
public:
    explicit PlanWriter(ExportPlan& plan);

    // The program's files, then the program itself (never when one of its files failed).
    // ExportProgram's result.
    int WriteProgram(std::size_t program, volume::ProgramRecord& record, bool replace);
    // A file the export makes, with the bytes it has at the end of the export. One that keeps a
    // backup replaces a different file only when `replace`; the others are written over.
    PlaceResult WriteMadeFile(std::size_t file, std::span<const std::uint8_t> bytes, bool replace);

    // For each planned file: it is at the destination as planned (written, or reused).
    std::vector<bool> Present() const;
    ExportCounts Counts() const;

private:
    enum class State { kPending, kDone, kFailed };
    int WriteFile(std::size_t index, volume::ProgramRecord& record);
    int Copy(std::size_t index, std::string& log);
    bool EnterFolder(const std::string& folder);

    ExportPlan& plan_;
    std::vector<State> states_;
    std::vector<int> results_;
    std::vector<std::string> failures_;  // the log lines of a failed file, for every program needing it
    std::vector<int> programResults_;
    std::set<std::string> folders_;      // known to be there
};

// Exports one program on its own: its copies, then the program as Programs/<bank>/<program
// name>.afp with its references rewritten. 0, or the first negative result; the program file is
// only written when every file it needs is there. A different file under the program's name is
// replaced only when `replace`, and then kept as a backup.
int ExportProgram(volume::ProgramRecord& program, std::string_view bankName, std::string_view destinationRoot,
                  int mode, volume::ChecksumCache* cache = nullptr, bool replace = false);

}  // namespace velmorant::exporting
