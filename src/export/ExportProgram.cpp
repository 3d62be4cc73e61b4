#include "export/ExportProgram.h"

#include "core/AtomicWrite.h"
#include "core/Checksum.h"
#include "core/Debug.h"
#include "core/File.h"
#include "core/Path.h"
#include "core/Text.h"

namespace velmorant::exporting {
namespace {

using volume::ProgramRecord;

// Each line its own log entry, and on the debug channel.
void Log(ProgramRecord& program, std::string_view lines) {
    while (!lines.empty()) {
        const std::size_t end = lines.find('\n');
        const std::string_view line = lines.substr(0, end == std::string_view::npos ? lines.size() : end + 1);
        volume::AppendLog(program, line);
        core::DebugPrint("%.*s", static_cast<int>(line.size()), line.data());
        lines.remove_prefix(line.size());
    }
}

}  // namespace

PlanWriter::PlanWriter(ExportPlan& plan)
    : plan_(plan),
      states_(plan.files.size(), State::kPending),
      results_(plan.files.size(), kCopyDone),
      failures_(plan.files.size()),
      programResults_(plan.programs.size(), kCopyDone) {}

// Samples/<name> or Multisamples/<name>; the export job creates the upper level beforehand, a
// program exported on its own may not find it. A link is refused: the export writes only below
// the destination it was given.
bool PlanWriter::EnterFolder(const std::string& folder) {
    if (folders_.count(folder) != 0) {
        return true;
    }
    const bool there = !core::IsLink(folder) &&
                       (core::DirectoryExists(folder) ||
                        (core::EnterOrCreateFolder(core::PathDirectory(folder)) && core::MakeDirectory(folder)));
    if (there) {
        folders_.insert(folder);
    }
    return there;
}

int PlanWriter::Copy(std::size_t index, std::string& log) {
    PlannedFile& file = plan_.files[index];
    // The copy's own read gives the checksum the manifest records, unless it is known already.
    std::uint32_t crc = 0;
    const core::CopyStatus copied =
        core::CopyFileContents(file.source, file.destination, file.crc ? nullptr : &crc);
    if (!copied) {
        log += core::Format("Error copy dependance (%s to %s)\n", file.source.c_str(), file.destination.c_str());
        log += core::Format("%s : %s\n", (copied.sourceFailed ? file.source : file.destination).c_str(),
                            copied.Reason().c_str());
        return kReadOrWriteFailed;
    }
    if (!file.crc) {
        file.crc = crc;
    }
    log += core::Format("Copy dependance (%s to %s)\n", file.source.c_str(), file.destination.c_str());
    return kCopyDone;
}

int PlanWriter::WriteFile(std::size_t index, ProgramRecord& record) {
    const PlannedFile& file = plan_.files[index];
    if (states_[index] == State::kFailed) {
        Log(record, failures_[index]);
        return results_[index];
    }
    const std::string reused = core::Format("Copy dependance (%s to %s) : destination file already exist\n",
                                            file.source.c_str(), file.destination.c_str());
    const std::string missing = core::Format("Skip dependance (%s) : missing on the source volume, not copied\n",
                                             file.source.c_str());
    if (states_[index] == State::kDone) {
        if (file.action == Action::kMissing) {
            Log(record, missing);
        } else if (file.kind == FileKind::kSample) {
            Log(record, reused);
        }
        return kCopyDone;
    }
    std::string log;
    int result = kCopyDone;
    const std::string folder = core::PathDirectory(file.destination);
    if (file.action == Action::kMissing) {
        log = missing;
    } else if (file.action == Action::kReuse) {
        log = reused;
    } else if (!EnterFolder(folder)) {
        log = core::Format("Error creation destination directory %s\n", folder.c_str());
        result = kFolderNotCreated;
    } else if (file.action == Action::kCopy) {
        result = Copy(index, log);
    } else if (const core::FileStatus written = core::WriteFileAtomically(file.destination, file.bytes); !written) {
        log = core::Format("can,not open Multisample destination file (%s)\n", file.destination.c_str());
        log += core::Format("Error writing %s : %s\n", file.destination.c_str(), written.Reason().c_str());
        result = kReadOrWriteFailed;
    }
    Log(record, log);
    states_[index] = result < 0 ? State::kFailed : State::kDone;
    results_[index] = result;
    if (result < 0) {
        failures_[index] = std::move(log);
    }
    return result;
}

int PlanWriter::WriteProgram(std::size_t program, ProgramRecord& record, bool replace) {
    const PlannedProgram& planned = plan_.programs[program];
    int& result = programResults_[program];
    if (planned.refusal != 0) {
        Log(record, planned.why);
        return result = planned.refusal;
    }
    const std::size_t own = planned.files.back();
    const std::string bankFolder = core::PathDirectory(plan_.files[own].destination);
    for (const std::string& folder : {core::PathDirectory(bankFolder), bankFolder}) {
        if (!EnterFolder(folder)) {
            Log(record, core::Format("Error creation destination directory %s\n", folder.c_str()));
            return result = kFolderNotCreated;
        }
    }
    for (std::size_t i = 0; i + 1 < planned.files.size(); ++i) {
        if (const int copied = WriteFile(planned.files[i], record); copied < 0) {
            return result = copied;
        }
    }
    const PlannedFile& file = plan_.files[own];
    const PlaceResult placed = PlaceFile(file.destination, file.bytes, replace);
    if (placed.placed == Placed::kTaken || placed.placed == Placed::kFailed) {
        if (placed.placed == Placed::kFailed) {
            volume::AppendLog(record, core::Format("can,not open Multisample destination file (%s)\n",
                                                   file.destination.c_str()));
        }
        Log(record, PlaceFailure(file.destination, placed));
        states_[own] = State::kFailed;
        return result = placed.placed == Placed::kTaken ? kDestinationTaken : kReadOrWriteFailed;
    }
    states_[own] = State::kDone;
    return result = kProgramExported;
}

PlaceResult PlanWriter::WriteMadeFile(std::size_t index, std::span<const std::uint8_t> bytes, bool replace) {
    PlannedFile& file = plan_.files[index];
    file.bytes.assign(bytes.begin(), bytes.end());
    file.size = file.bytes.size();
    file.crc = core::Crc32Update(0, file.bytes);
    PlaceResult result;
    const std::string folder = core::PathDirectory(file.destination);
    if (!EnterFolder(folder)) {
        result.status.error = std::make_error_code(std::errc::not_a_directory);
    } else if (file.keepsBackup) {
        result = PlaceFile(file.destination, bytes, replace);
    } else if (!WouldReplace(file.destination, bytes) && core::FileExists(file.destination)) {
        result.placed = Placed::kUnchanged;
    } else {
        // The export's own indexes and manifest: written over whatever they were.
        result.status = core::WriteFileAtomically(file.destination, bytes);
        result.placed = result.status ? Placed::kWritten : Placed::kFailed;
    }
    states_[index] = result.placed == Placed::kWritten || result.placed == Placed::kUnchanged ? State::kDone
                                                                                              : State::kFailed;
    return result;
}

std::vector<bool> PlanWriter::Present() const {
    std::vector<bool> present(states_.size());
    for (std::size_t i = 0; i < states_.size(); ++i) {
        present[i] = states_[i] == State::kDone && plan_.files[i].action != Action::kMissing;
    }
    return present;
}

ExportCounts PlanWriter::Counts() const {
    ExportCounts counts;
    counts.programs = static_cast<int>(plan_.programs.size());
    for (const int result : programResults_) {
        counts.exported += result == kProgramExported ? 1 : 0;
    }
    for (std::size_t i = 0; i < states_.size(); ++i) {
        const PlannedFile& file = plan_.files[i];
        if (states_[i] != State::kDone || file.kind == FileKind::kBankList || file.kind == FileKind::kManifest) {
            continue;
        }
        counts.missing += file.action == Action::kMissing ? 1 : 0;
        counts.reused += file.action == Action::kReuse ? 1 : 0;
        if (file.action == Action::kCopy || file.action == Action::kWrite) {
            counts.copied += 1;
            counts.numbered += file.numbered.empty() ? 0 : 1;
        }
    }
    return counts;
}

int ExportProgram(ProgramRecord& program, std::string_view bankName, std::string_view destinationRoot, int mode,
                  volume::ChecksumCache* cache, bool replace) {
    Planner planner(std::string(destinationRoot), bankName, mode, cache);
    planner.AddProgram(program, -1);
    ExportPlan plan = planner.Take();
    PlanWriter writer(plan);
    return writer.WriteProgram(0, program, replace);
}

}  // namespace velmorant::exporting
