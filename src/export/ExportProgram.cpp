#include "export/ExportProgram.h"

#include "bank/Bank.h"
#include "core/AtomicWrite.h"
#include "core/Bytes.h"
#include "core/Checksum.h"
#include "core/Debug.h"
#include "core/Encoding.h"
#include "core/File.h"
#include "core/FileNames.h"
#include "core/Path.h"
#include "core/Text.h"
#include "export/DestinationFile.h"
#include "formats/MultisampleFile.h"
#include "formats/ProgramFile.h"
#include "formats/ReferenceRecord.h"
#include "volume/ProgramFile.h"

#include <algorithm>
#include <array>
#include <optional>

namespace velmorant::exporting {
namespace {

using volume::DependencyRecord;
using volume::ProgramRecord;

void Log(ProgramRecord& program, const std::string& line) {
    volume::AppendLog(program, line);
    core::DebugPrint("%s", line.c_str());
}

bool IsRomReference(const DependencyRecord& dependency) {
    return dependency.kind == volume::DependencyKind::kRom || dependency.volumeNumber < 1;
}

// The instrument's disk and Windows ignore letter case, so a name that differs from an existing
// one only there is taken too: copied to such a disk, the two files would be one.
bool PathTaken(const std::string& path) {
    if (core::FileExists(path) || core::DirectoryExists(path)) {
        return true;
    }
    const auto names = core::ListDirectory(core::PathDirectory(path));
    if (!names) {
        return false;
    }
    std::string wanted = core::PathFileName(path);
    core::UpperCaseInPlace(wanted);
    return std::any_of(names->begin(), names->end(), [&](std::string name) {
        core::UpperCaseInPlace(name);
        return name == wanted;
    });
}

// Samples/<name> or Multisamples/<name>; the export job creates the upper level
// beforehand, a program exported on its own may not find it.
bool EnterOrCreateCopyFolder(const std::string& folder) {
    return !core::IsLink(folder) &&
           (core::DirectoryExists(folder) ||
            (core::EnterOrCreateFolder(core::PathDirectory(folder)) && core::MakeDirectory(folder)));
}

// Same size and checksum. The sizes come first: most clashing files differ there,
// and then neither file has to be read.
bool SameAsFile(const std::string& existing, const std::string& source, volume::ChecksumCache* cache) {
    const auto a = core::StatFile(existing);
    const auto b = core::StatFile(source);
    if (!a || !b || a->size != b->size) {
        return false;
    }
    return volume::FileChecksum(existing, cache) == volume::FileChecksum(source, cache);
}

bool SameAsBytes(const std::string& existing, std::span<const std::uint8_t> bytes, volume::ChecksumCache* cache) {
    const auto a = core::StatFile(existing);
    if (!a || static_cast<std::uint64_t>(a->size) != bytes.size()) {
        return false;
    }
    return volume::FileChecksum(existing, cache) == core::Crc32Update(0, bytes);
}

// The file name of the folder a copy goes into, below Samples or Multisamples.
std::string DestinationFolderName(const DependencyRecord& dependency, std::string_view bankName,
                                  const ExportMode& mode) {
    return core::Cp1252ToUtf8(
        core::TrimSpaces(mode.bankFolders ? bankName : std::string_view(dependency.folderName)));
}

// What a rewritten reference's folder field holds, before the 16-character cut.
std::string FolderFieldText(const DependencyRecord& dependency, std::string_view bankName, const ExportMode& mode) {
    const std::string_view text = mode.bankFolders ? bankName : std::string_view(dependency.folderName);
    return core::CutText(core::TrimTrailingSpaces(text), kMaxFolderFieldLength);
}

// Names from references or records must each stay one component below their folder.
bool NamesAreSafe(ProgramRecord& program, const DependencyRecord& dependency, const std::string& folderName,
                  const std::string& fileName) {
    const std::string_view found = core::TrimSpaces(dependency.foundName);
    for (std::string_view name : {std::string_view(folderName), std::string_view(fileName), found}) {
        // The found name only leads to the source; the other two are created.
        const bool safe = name.data() == found.data() ? core::IsSafePathComponent(name) : core::IsPortableFileName(name);
        if (!safe) {
            Log(program, core::Format("Refuse dependance (%s) : unsafe destination name (%s)\n",
                                      dependency.sourcePath.c_str(), std::string(name).c_str()));
            return false;
        }
    }
    return true;
}

// "%i%s": the number, then the base name, cut; the characters a file name cannot hold
// become underscores, so the file and the reference naming it always agree.
std::string NumberedName(int k, std::string_view baseName, std::size_t cut) {
    return bank::SanitiseProgramName(core::CutText(core::Format("%i%.*s", k, static_cast<int>(baseName.size()),
                                                                baseName.data()),
                                                   cut));
}

struct NumberedCandidate {
    std::string name;
    std::string path;
};

// The first numbered name under which nothing lies in the folder yet.
NumberedCandidate FirstFreeNumberedName(const std::string& folder, std::string_view baseName, std::size_t cut,
                                        const char* extension) {
    for (int k = 0;; ++k) {
        NumberedCandidate candidate;
        candidate.name = NumberedName(k, baseName, cut);
        candidate.path = core::JoinPath(folder, core::Cp1252ToUtf8(candidate.name) + extension);
        if (!PathTaken(candidate.path)) {
            return candidate;
        }
    }
}

// How a reference is rewritten to name the copy of `dependency`; the name only when
// `name` is given (a sample entry keeps its name unless the copy got a new one).
formats::ReferenceRewrite RewriteFor(const DependencyRecord& dependency, std::string_view bankName,
                                     const ExportMode& flags, const std::string* name) {
    formats::ReferenceRewrite rewrite;
    if (flags.writeFolder) {
        rewrite.folder = FolderFieldText(dependency, bankName, flags);
    }
    if (name != nullptr) {
        rewrite.name = *name;
    }
    return rewrite;
}

// Rewrites the reference record of the sample entry at `entry` so it names the sample's copy.
bool RewriteSampleEntry(core::ByteWriter& writer, std::int32_t entry, const DependencyRecord& sample,
                        const CopiedFile& copy, std::string_view bankName, const ExportMode& flags) {
    return entry >= 0 && formats::RewriteReference(writer, static_cast<std::size_t>(entry) + formats::kEntryReference,
                                                   RewriteFor(sample, bankName, flags,
                                                              copy.renamed ? &copy.name : nullptr)) ==
                             formats::ReferenceResult::kDone;
}

// A multisample may list one sample twice; the sample list keeps only the first entry,
// so the others would still name the source folder and the old name. Each such entry
// is rewritten like the listed sample it names.
void RewriteRepeatedEntries(std::vector<std::uint8_t>& buffer, const DependencyRecord& multisample,
                            const CopiedFile& copy, std::string_view bankName, const ExportMode& flags) {
    const std::string ownFolder =
        core::NameFromFileName(core::PathFileName(core::PathDirectory(multisample.sourcePath)));
    std::vector<std::pair<std::int32_t, std::size_t>> repeats;  // entry, index of the listed sample
    for (const formats::MultisampleEntryView& view : formats::ReadMultisample(buffer).entries) {
        const auto entry = static_cast<std::int32_t>(view.offset);
        bool listed = false;
        for (const DependencyRecord& sample : multisample.samples) {
            listed = listed || sample.referenceOffset == entry;
        }
        if (listed) {
            continue;
        }
        const formats::Reference decoded =
            formats::DecodeReference(view.reference, formats::VolumeRule::kMultisample, multisample.volumeNumber);
        const std::string_view name = core::TrimSpaces(decoded.name);
        std::string_view folder = core::TrimSpaces(decoded.folder);
        if (decoded.volumeNumber < 1 || name.empty()) {
            continue;
        }
        if (folder.empty()) {
            folder = ownFolder;
        }
        for (std::size_t i = 0; i < multisample.samples.size(); ++i) {
            const DependencyRecord& sample = multisample.samples[i];
            if (!IsRomReference(sample) && core::TrimSpaces(sample.foundName) == name &&
                core::TrimSpaces(sample.folderName) == folder) {
                repeats.emplace_back(entry, i);
                break;
            }
        }
    }
    core::ByteWriter writer(buffer);
    for (const auto& [entry, index] : repeats) {
        RewriteSampleEntry(writer, entry, multisample.samples[index], copy.samples[index], bankName, flags);
    }
}

// Before anything is copied a file keeps its found name.
CopiedFile Unchanged(const DependencyRecord& dependency) {
    CopiedFile copy;
    copy.name = dependency.foundName;
    for (const DependencyRecord& sample : dependency.samples) {
        copy.samples.push_back(Unchanged(sample));
    }
    return copy;
}

// The program's bytes with every reference naming its copy in the plan.
std::optional<std::vector<std::uint8_t>> RewrittenProgram(ProgramRecord& program, const ExportPlan& plan,
                                                          std::string_view bankName, const ExportMode& flags) {
    auto contents = core::ReadWholeFile(program.sourcePath);
    if (!contents) {
        volume::AppendLog(program, core::Format("cannot open Multisample file (%s)\n", program.sourcePath.c_str()));
        return std::nullopt;
    }
    std::vector<std::uint8_t>& buffer = *contents;
    core::ByteWriter writer(buffer);
    const auto& dependencies = program.dependencies;

    if (program.type == volume::kTypeSamples || program.type == volume::kTypeDrums) {
        if (program.type == volume::kTypeSamples) {
            // Oscillators that are off or name nothing keep no stale reference; a ROM
            // sound's reference is kept as it is, or the program would lose that sound.
            for (const std::int32_t block : program.oscillatorOffsets) {
                const std::int64_t record = static_cast<std::int64_t>(block) + formats::kOscillatorReference;
                bool rom = false;
                for (const DependencyRecord& dependency : dependencies) {
                    rom = rom || (IsRomReference(dependency) && dependency.referenceOffset == record);
                }
                if (rom || block < 0 || static_cast<std::uint64_t>(record) >= buffer.size()) {
                    continue;
                }
                formats::ClearReference(writer, static_cast<std::size_t>(record));
            }
        }
        for (std::size_t i = 0; i < dependencies.size(); ++i) {
            const DependencyRecord& dependency = dependencies[i];
            if (dependency.volumeNumber < 1 || IsRomReference(dependency)) {
                continue;
            }
            const bool ok = dependency.referenceOffset >= 0 &&
                            formats::RewriteReference(writer, static_cast<std::size_t>(dependency.referenceOffset),
                                                      RewriteFor(dependency, bankName, flags,
                                                                 &plan.dependencies[i].name)) ==
                                formats::ReferenceResult::kDone;
            if (!ok) {
                volume::AppendLog(program, formats::ReferenceMessage(formats::ReferenceResult::kOutsideFile,
                                                                     program.sourcePath, dependency.referenceOffset));
                return std::nullopt;
            }
        }
    }

    return contents;
}

}  // namespace

std::string ProgramDestination(std::string_view destinationRoot, std::string_view bankName,
                               const std::string& programName) {
    return core::JoinPath(core::JoinPath(core::JoinPath(destinationRoot, "Programs"),
                                         core::Cp1252ToUtf8(core::TrimSpaces(bankName))),
                          core::Cp1252ToUtf8(programName) + ".afp");
}

bool ProgramWouldReplace(const ProgramRecord& program, std::string_view bankName, std::string_view destinationRoot,
                         int mode) {
    const std::string destination = ProgramDestination(destinationRoot, bankName, program.programName);
    if (!core::IsLink(destination) && !core::FileExists(destination)) {
        return false;
    }
    ExportPlan plan;
    for (const DependencyRecord& dependency : program.dependencies) {
        plan.dependencies.push_back(Unchanged(dependency));
    }
    ProgramRecord scratch = program;  // collects the log lines of a failed read
    const auto bytes = RewrittenProgram(scratch, plan, bankName, ExportMode::FromCode(mode));
    return !bytes || WouldReplace(destination, *bytes);
}

int CopySampleDependency(const DependencyRecord& dependency, CopiedFile& copy, ProgramRecord& program,
                         std::string_view bankName, std::string_view destinationRoot, int mode,
                         volume::ChecksumCache* cache) {
    const ExportMode flags = ExportMode::FromCode(mode);
    const std::string folderName = DestinationFolderName(dependency, bankName, flags);
    const std::string fileName = core::PathFileName(dependency.sourcePath);
    const std::string baseName = core::NameFromFileName(core::PathBaseName(dependency.sourcePath));
    const std::string folder = core::JoinPath(core::JoinPath(destinationRoot, "Samples"), folderName);

    copy = Unchanged(dependency);
    copy.destinationPath = core::JoinPath(folder, fileName);
    if (!NamesAreSafe(program, dependency, folderName, fileName)) {
        return kUnsafeName;
    }

    if (PathTaken(copy.destinationPath)) {
        if (SameAsFile(copy.destinationPath, dependency.sourcePath, cache)) {
            Log(program, core::Format("Copy dependance (%s to %s) : destination file already exist\n",
                                      dependency.sourcePath.c_str(), copy.destinationPath.c_str()));
            return kCopyDone;
        }
        NumberedCandidate candidate = FirstFreeNumberedName(folder, baseName, kMaxSampleNameLength, ".afs");
        copy.renamed = true;
        copy.destinationPath = std::move(candidate.path);
        copy.name = std::move(candidate.name);
    }

    if (!EnterOrCreateCopyFolder(folder)) {
        Log(program, core::Format("Error creation destination directory %s\n", folder.c_str()));
        return kFolderNotCreated;
    }

    // The copy goes through a temporary name, so a failure leaves nothing under the final one.
    if (const core::CopyStatus copied = core::CopyFileContents(dependency.sourcePath, copy.destinationPath);
        !copied) {
        Log(program, core::Format("Error copy dependance (%s to %s)\n", dependency.sourcePath.c_str(),
                                  copy.destinationPath.c_str()));
        Log(program, core::Format("%s : %s\n",
                                  (copied.sourceFailed ? dependency.sourcePath : copy.destinationPath).c_str(),
                                  copied.Reason().c_str()));
        return kReadOrWriteFailed;
    }
    Log(program, core::Format("Copy dependance (%s to %s)\n", dependency.sourcePath.c_str(),
                              copy.destinationPath.c_str()));
    return kCopyDone;
}

int CopyMultisampleDependency(const DependencyRecord& dependency, CopiedFile& copy, ProgramRecord& program,
                              std::string_view bankName, std::string_view destinationRoot, int mode,
                              volume::ChecksumCache* cache) {
    const ExportMode flags = ExportMode::FromCode(mode);

    copy = Unchanged(dependency);
    for (std::size_t i = 0; i < dependency.samples.size(); ++i) {
        const DependencyRecord& sample = dependency.samples[i];
        // A ROM sound is not a file: nothing to copy, and its reference stays as it is.
        if (IsRomReference(sample)) {
            continue;
        }
        const int result =
            CopySampleDependency(sample, copy.samples[i], program, bankName, destinationRoot, mode, cache);
        if (result < 0) {
            return result;
        }
    }

    const std::string folderName = DestinationFolderName(dependency, bankName, flags);
    const std::string fileName = core::PathFileName(dependency.sourcePath);
    const std::string folder = core::JoinPath(core::JoinPath(destinationRoot, "Multisamples"), folderName);
    copy.destinationPath = core::JoinPath(folder, fileName);
    if (!NamesAreSafe(program, dependency, folderName, fileName)) {
        return kUnsafeName;
    }
    if (!EnterOrCreateCopyFolder(folder)) {
        Log(program, core::Format("Error creation destination directory %s\n", folder.c_str()));
        return kFolderNotCreated;
    }

    auto contents = core::ReadWholeFile(dependency.sourcePath);
    if (!contents) {
        volume::AppendLog(program,
                          core::Format("can,not open Multisample file (%s)\n", dependency.sourcePath.c_str()));
        return kReadOrWriteFailed;
    }
    std::vector<std::uint8_t>& buffer = *contents;
    // An existing copy is compared with the source as it lies on disk, so before the rewrite.
    // An existing copy may equal the source as it lies on disk (compared before the rewrite)
    // or the rewritten copy an earlier export made of it (compared after).
    bool clash = PathTaken(copy.destinationPath) && !SameAsBytes(copy.destinationPath, buffer, cache);

    core::ByteWriter writer(buffer);
    for (std::size_t i = 0; i < dependency.samples.size(); ++i) {
        const DependencyRecord& sample = dependency.samples[i];
        if (IsRomReference(sample)) {
            continue;
        }
        if (!RewriteSampleEntry(writer, sample.referenceOffset, sample, copy.samples[i], bankName, flags)) {
            volume::AppendLog(program, formats::ReferenceMessage(formats::ReferenceResult::kOutsideFile,
                                                                 dependency.sourcePath, sample.referenceOffset));
            return kReadOrWriteFailed;
        }
    }
    RewriteRepeatedEntries(buffer, dependency, copy, bankName, flags);

    clash = clash && !SameAsBytes(copy.destinationPath, buffer, cache);
    if (clash) {
        core::DebugPrint("FileCompare : %s // %s -> Different\n", copy.destinationPath.c_str(),
                         dependency.sourcePath.c_str());
        NumberedCandidate candidate =
            FirstFreeNumberedName(folder, core::NameFromFileName(core::PathBaseName(dependency.sourcePath)),
                                  kMaxMultisampleNameLength, ".afi");
        copy.renamed = true;
        copy.destinationPath = std::move(candidate.path);
        copy.name = std::move(candidate.name);
    }

    if (const core::FileStatus written = core::WriteFileAtomically(copy.destinationPath, buffer); !written) {
        volume::AppendLog(program, core::Format("can,not open Multisample destination file (%s)\n",
                                                copy.destinationPath.c_str()));
        Log(program,
            core::Format("Error writing %s : %s\n", copy.destinationPath.c_str(), written.Reason().c_str()));
        return kReadOrWriteFailed;
    }
    return kCopyDone;
}

int ExportProgram(ProgramRecord& program, std::string_view bankName, std::string_view destinationRoot, int mode,
                  volume::ChecksumCache* cache, ExportPlan* planOut, bool replace) {
    const ExportMode flags = ExportMode::FromCode(mode);
    ExportPlan localPlan;
    ExportPlan& plan = planOut != nullptr ? *planOut : localPlan;
    plan.dependencies.clear();
    for (const DependencyRecord& dependency : program.dependencies) {
        plan.dependencies.push_back(Unchanged(dependency));
    }

    const std::string programsFolder = core::JoinPath(destinationRoot, "Programs");
    if (!core::EnterOrCreateFolder(programsFolder)) {
        Log(program, core::Format("Error creation destination directory %s\n", programsFolder.c_str()));
        return kFolderNotCreated;
    }
    const std::string bankFolderName(core::TrimSpaces(bankName));
    const std::string programFileName = program.programName + ".afp";
    for (std::string_view name : {std::string_view(bankFolderName), std::string_view(programFileName)}) {
        if (!core::IsPortableFileName(name) || core::TrimSpaces(core::PathBaseName(name)).empty()) {
            Log(program, core::Format("Refuse program (%s) : unsafe destination name (%s)\n",
                                      program.sourcePath.c_str(), std::string(name).c_str()));
            return kUnsafeName;
        }
    }
    const std::string bankFolder = core::JoinPath(programsFolder, core::Cp1252ToUtf8(bankFolderName));
    if (!core::EnterOrCreateFolder(bankFolder)) {
        Log(program, core::Format("Error creation destination directory %s\n", bankFolder.c_str()));
        return kFolderNotCreated;
    }
    const std::string destination = ProgramDestination(destinationRoot, bankName, program.programName);

    const auto& dependencies = program.dependencies;
    for (std::size_t i = 0; i < dependencies.size(); ++i) {
        const DependencyRecord& dependency = dependencies[i];
        CopiedFile& copy = plan.dependencies[i];
        if (dependency.duplicate) {
            // Both references must name the one copy that was written.
            for (std::size_t j = 0; j < i; ++j) {
                const DependencyRecord& earlier = dependencies[j];
                if (!earlier.duplicate && earlier.sourcePath == dependency.sourcePath) {
                    copy = plan.dependencies[j];
                    break;
                }
            }
            continue;
        }
        int result = kCopyDone;
        if (dependency.kind == volume::DependencyKind::kSample) {
            result = CopySampleDependency(dependency, copy, program, bankName, destinationRoot, mode, cache);
        } else if (dependency.kind == volume::DependencyKind::kMultisample) {
            result = CopyMultisampleDependency(dependency, copy, program, bankName, destinationRoot, mode, cache);
        } else {
            continue;
        }
        if (result < 0) {
            return result;
        }
        if (copy.renamed) {
            copy.name = bank::SanitiseProgramName(copy.name);
        }
    }

    auto buffer = RewrittenProgram(program, plan, bankName, flags);
    if (!buffer) {
        return kReadOrWriteFailed;
    }
    const PlaceResult placed = PlaceFile(destination, *buffer, replace);
    if (placed.placed == Placed::kTaken) {
        Log(program, PlaceFailure(destination, placed));
        return kDestinationTaken;
    }
    if (placed.placed == Placed::kFailed) {
        volume::AppendLog(program,
                          core::Format("can,not open Multisample destination file (%s)\n", destination.c_str()));
        Log(program, PlaceFailure(destination, placed));
        return kReadOrWriteFailed;
    }
    return kProgramExported;
}

}  // namespace velmorant::exporting
