#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formats/ReferenceRecord.h"
#include "volume/Dependencies.h"
#include "volume/ProgramRecord.h"

namespace velmorant::exporting {

// Results of the copy operations (1) and of ExportProgram (0).
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

// What the export did with one file it copied; the bank's records are left as they were.
struct CopiedFile {
    std::string name;             // what the references carry: the found name, or the numbered one
    std::string destinationPath;  // empty until a copy was planned
    bool renamed = false;         // a different file held the found name at the destination
    std::vector<CopiedFile> samples;  // a multisample's samples, in the order of its record
};

// One exported program: one entry per dependency of its record, in the same order.
struct ExportPlan {
    std::vector<CopiedFile> dependencies;
};

// The files are copied below `destinationRoot` (a volume root, no trailing separator).
// `cache`, when given, spares re-reading sources whose checksum is already known.

// Copies one sample into Samples/<folder>, reusing an identical file already there and
// numbering the name when a different file holds it. 1, or a negative result.
int CopySampleDependency(const volume::DependencyRecord& dependency, CopiedFile& copy,
                         volume::ProgramRecord& program, std::string_view bankName,
                         std::string_view destinationRoot, int mode, volume::ChecksumCache* cache = nullptr);

// Copies the samples of one multisample, then writes the multisample with its sample
// references rewritten into Multisamples/<folder>. 1, or a negative result.
int CopyMultisampleDependency(const volume::DependencyRecord& dependency, CopiedFile& copy,
                              volume::ProgramRecord& program, std::string_view bankName,
                              std::string_view destinationRoot, int mode, volume::ChecksumCache* cache = nullptr);

// Copies every dependency of the program, then writes the program with its references
// rewritten as Programs/<bank>/<program name>.afp. 0, or the first negative result;
// the program file is only written when every dependency was copied. The program's log
// records what was done; `plan`, when given, receives the names and places of the copies.
// A different file under the program's name is replaced only when `replace`, and then kept
// as a backup.
int ExportProgram(volume::ProgramRecord& program, std::string_view bankName, std::string_view destinationRoot,
                  int mode, volume::ChecksumCache* cache = nullptr, ExportPlan* plan = nullptr,
                  bool replace = false);

// Programs/<bank>/<program name>.afp below the destination root.
std::string ProgramDestination(std::string_view destinationRoot, std::string_view bankName,
                               const std::string& programName);
// True when a file or link already at the program's destination differs from what the export
// would write there, if its copies keep their names.
bool ProgramWouldReplace(const volume::ProgramRecord& program, std::string_view bankName,
                         std::string_view destinationRoot, int mode);

}  // namespace velmorant::exporting
