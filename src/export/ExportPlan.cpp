#include "export/ExportPlan.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "bank/Bank.h"
#include "bank/BankIndex.h"
#include "core/Bytes.h"
#include "core/Checksum.h"
#include "core/Debug.h"
#include "core/Encoding.h"
#include "core/FileNames.h"
#include "core/Path.h"
#include "core/Text.h"
#include "export/DestinationFile.h"
#include "export/ExportBank.h"
#include "export/ExportManifest.h"
#include "export/ExportProgram.h"
#include "formats/BankTxt.h"
#include "formats/MultisampleFile.h"
#include "formats/ProgramFile.h"
#include "formats/ReferenceRecord.h"

namespace velmorant::exporting {
namespace {

using volume::DependencyRecord;
using volume::ProgramRecord;

bool IsRomReference(const DependencyRecord& dependency) {
    return dependency.kind == volume::DependencyKind::kRom || dependency.volumeNumber < 1;
}

std::string Upper(std::string text) {
    core::UpperCaseInPlace(text);
    return text;
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
bool NamesAreSafe(std::string& log, const DependencyRecord& dependency, const std::string& folderName,
                  const std::string& fileName) {
    const std::string_view found = core::TrimSpaces(dependency.foundName);
    for (std::string_view name : {std::string_view(folderName), std::string_view(fileName), found}) {
        // The found name only leads to the source; the other two are created.
        const bool safe = name.data() == found.data() ? core::IsSafePathComponent(name) : core::IsPortableFileName(name);
        if (!safe) {
            log += core::Format("Refuse dependance (%s) : unsafe destination name (%s)\n",
                                dependency.sourcePath.c_str(), std::string(name).c_str());
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

// "Folder/Name", or "Name" when the reference names no folder.
std::string ReferenceText(std::string_view folder, std::string_view name) {
    const std::string_view trimmedFolder = core::TrimSpaces(folder);
    const std::string trimmedName(core::TrimSpaces(name));
    return trimmedFolder.empty() ? trimmedName : std::string(trimmedFolder) + "/" + trimmedName;
}

PlannedReference ReferenceChange(std::int32_t offset, const DependencyRecord& dependency,
                                 const formats::ReferenceRewrite& rewrite) {
    return {static_cast<std::uint32_t>(std::max(offset, 0)),
            ReferenceText(dependency.folderGiven ? dependency.folderName : std::string(), dependency.foundName),
            ReferenceText(rewrite.folder.value_or(""), rewrite.name.value_or(dependency.foundName))};
}

// A multisample may list one sample twice; the sample list keeps only the first entry,
// so the others would still name the source folder and the old name. Each such entry
// is rewritten like the listed sample it names.
void RewriteRepeatedEntries(std::vector<std::uint8_t>& buffer, const DependencyRecord& multisample,
                            const std::vector<const std::string*>& names, std::string_view bankName,
                            const ExportMode& flags, std::vector<PlannedReference>& changes) {
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
        const DependencyRecord& sample = multisample.samples[index];
        const formats::ReferenceRewrite rewrite = RewriteFor(sample, bankName, flags, names[index]);
        if (formats::RewriteReference(writer, static_cast<std::size_t>(entry) + formats::kEntryReference, rewrite) ==
            formats::ReferenceResult::kDone) {
            changes.push_back(ReferenceChange(entry, sample, rewrite));
        }
    }
}

// The program's bytes with every reference naming the copy it is given in `names`.
std::optional<std::vector<std::uint8_t>> RewrittenProgram(const ProgramRecord& program,
                                                          const std::vector<std::string>& names,
                                                          std::string_view bankName, const ExportMode& flags,
                                                          std::string& log, std::vector<PlannedReference>& changes) {
    auto contents = core::ReadWholeFile(program.sourcePath);
    if (!contents) {
        log += core::Format("cannot open Multisample file (%s)\n", program.sourcePath.c_str());
        return std::nullopt;
    }
    std::vector<std::uint8_t>& buffer = *contents;
    core::ByteWriter writer(buffer);
    const auto& dependencies = program.dependencies;
    if (program.type != volume::kTypeSamples && program.type != volume::kTypeDrums) {
        return contents;
    }
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
        if (IsRomReference(dependency)) {
            continue;
        }
        const formats::ReferenceRewrite rewrite = RewriteFor(dependency, bankName, flags, &names[i]);
        const bool ok = dependency.referenceOffset >= 0 &&
                        formats::RewriteReference(writer, static_cast<std::size_t>(dependency.referenceOffset),
                                                  rewrite) == formats::ReferenceResult::kDone;
        if (!ok) {
            log += formats::ReferenceMessage(formats::ReferenceResult::kOutsideFile, program.sourcePath,
                                             dependency.referenceOffset) +
                   "\n";
            return std::nullopt;
        }
        if (!dependency.duplicate || std::none_of(changes.begin(), changes.end(), [&](const PlannedReference& c) {
                return c.offset == static_cast<std::uint32_t>(dependency.referenceOffset);
            })) {
            changes.push_back(ReferenceChange(dependency.referenceOffset, dependency, rewrite));
        }
    }
    return contents;
}

// True when the file at `path` (not a link) holds exactly these bytes.
bool FileHolds(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const auto stamp = core::StatFile(path);
    if (!stamp || static_cast<std::uint64_t>(stamp->size) != bytes.size() || core::IsLink(path)) {
        return false;
    }
    const auto existing = core::ReadWholeFile(path);
    return existing && *existing == bytes;
}

std::vector<std::uint8_t> BytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

// The slots whose programs go out: defined, and the first of each name (the instrument's disk
// ignores letter case, so a second program of the same name would replace the first's file).
std::array<bool, bank::kSlotCount> SlotsToExport(const bank::Bank& bank) {
    std::array<bool, bank::kSlotCount> chosen{};
    std::set<std::string> names;
    for (std::size_t slot = 0; slot < chosen.size(); ++slot) {
        const volume::ProgramRecord& record = bank.slots[slot];
        chosen[slot] = record.defined && names.insert(Upper(record.programName)).second;
    }
    return chosen;
}

}  // namespace

std::optional<std::string> BankListWith(const std::string& listPath, const std::string& bankName) {
    std::vector<std::optional<bank::BankIndexEntry>> lines;
    formats::BankTxt list;
    if (core::FileExists(listPath) && formats::ReadBankTxt(list, listPath) != formats::BankTxtResult::kNoCountLine) {
        for (std::int32_t i = 0; i < list.itemCount && static_cast<std::size_t>(i) < list.entries.size(); ++i) {
            const bank::BankIndexEntry& entry = list.entries[static_cast<std::size_t>(i)];
            if (Upper(std::string(core::TrimSpaces(entry.name))) == Upper(bankName)) {
                return std::nullopt;
            }
            if (!core::TrimSpaces(entry.name).empty()) {
                lines.emplace_back(entry);
            }
        }
    }
    lines.emplace_back(bank::BankIndexEntry{bankName, {}});
    return formats::FormatBankTxt(lines);
}

// ---- the destination as planned

std::string DestinationView::Key(const std::string& path) {
    return core::JoinPath(core::PathDirectory(path), Upper(core::PathFileName(path)));
}

DestinationView::Folder& DestinationView::Listing(const std::string& folder) {
    if (const auto it = folders_.find(folder); it != folders_.end()) {
        return it->second;
    }
    Folder listing;
    if (auto names = core::ListDirectory(folder)) {
        listing.names = std::move(*names);
        for (const std::string& name : listing.names) {
            listing.byUpper.emplace(Upper(name), name);
        }
    }
    return folders_.emplace(folder, std::move(listing)).first->second;
}

std::string DestinationView::OnDiskName(const std::string& path) {
    const Folder& listing = Listing(core::PathDirectory(path));
    const auto it = listing.byUpper.find(Upper(core::PathFileName(path)));
    return it == listing.byUpper.end() ? std::string() : it->second;
}

bool DestinationView::Taken(const std::string& path) {
    return claims_.count(Key(path)) != 0 || !OnDiskName(path).empty();
}

std::optional<std::size_t> DestinationView::ClaimedBy(const std::string& path) const {
    const auto it = claims_.find(Key(path));
    return it == claims_.end() ? std::nullopt : std::optional<std::size_t>(it->second);
}

void DestinationView::Claim(const std::string& path, std::size_t file) {
    claims_.emplace(Key(path), file);
}

void DestinationView::Release(std::size_t fromFile) {
    std::erase_if(claims_, [&](const auto& claim) { return claim.second >= fromFile; });
}

std::vector<std::string> DestinationView::NamesAfter(const std::string& folder, const std::vector<PlannedFile>& files) {
    const Folder& listing = Listing(folder);
    std::vector<std::string> names = listing.names;
    for (const PlannedFile& file : files) {
        if ((file.action == Action::kCopy || file.action == Action::kWrite) &&
            core::PathDirectory(file.destination) == folder &&
            listing.byUpper.count(Upper(core::PathFileName(file.destination))) == 0) {
            names.push_back(core::PathFileName(file.destination));
        }
    }
    return names;
}

// ---- the planner

Planner::Planner(std::string destinationRoot, std::string_view bankName, int mode, volume::ChecksumCache* cache)
    : root_(std::move(destinationRoot)), bankName_(core::TrimSpaces(bankName)), mode_(mode), cache_(cache) {
    plan_.destination = root_;
    plan_.bankName = bankName_;
    plan_.mode = mode;
}

std::size_t Planner::Add(PlannedFile file) {
    file.firstProgram = current_;
    plan_.files.push_back(std::move(file));
    return plan_.files.size() - 1;
}

bool Planner::ExistingEquals(const std::string& path, const std::string& source) {
    const auto a = core::StatFile(path);
    const auto b = core::StatFile(source);
    if (!a || !b || a->size != b->size || core::IsLink(path)) {
        return false;
    }
    const std::uint32_t crc = volume::FileChecksum(path, cache_);
    return crc != 0xFFFFFFFFu && crc == volume::FileChecksum(source, cache_);
}

bool Planner::SameSample(const PlannedFile& file, const std::string& source) {
    if (file.kind != FileKind::kSample || file.action == Action::kMissing) {
        return false;
    }
    return file.source == source ||
           ExistingEquals(file.action == Action::kReuse ? file.destination : file.source, source);
}

std::string Planner::ClashReason(const std::string& path) {
    if (const auto claimed = view_.ClaimedBy(path)) {
        return core::Format("the name is taken by another file of this export (%s)",
                            plan_.files[*claimed].source.c_str());
    }
    const std::string there = view_.OnDiskName(path);
    if (there != core::PathFileName(path)) {
        return core::Format("%s is already there, and names that differ only in letter case are one name on the "
                            "instrument's disk",
                            there.c_str());
    }
    return "a different file is already there";
}

// Decides where the file goes: its own name when free or holding the same content, else the
// first numbered name that is free or holds the same content (so repeated exports do not pile
// up numbered copies). Returns the planned file to share when an earlier one of this export
// has the same content under that name.
std::optional<std::size_t> Planner::Numbered(PlannedFile& file, const std::string& folder, std::string_view baseName,
                                             std::size_t cut, const char* extension,
                                             const std::vector<std::uint8_t>* bytes) {
    const std::string ownName = file.destination;
    for (int k = -1;; ++k) {
        const std::string name = k < 0 ? file.oldName : NumberedName(k, baseName, cut);
        const std::string path = k < 0 ? ownName : core::JoinPath(folder, core::Cp1252ToUtf8(name) + extension);
        file.destination = path;
        file.newName = name;
        if (!view_.Taken(path)) {
            return std::nullopt;
        }
        if (const auto claimed = view_.ClaimedBy(path)) {
            const PlannedFile& other = plan_.files[*claimed];
            if (bytes != nullptr ? other.kind == file.kind && other.bytes == *bytes : SameSample(other, file.source)) {
                return claimed;
            }
        } else if (view_.OnDiskName(path) == core::PathFileName(path) &&
                   (bytes != nullptr ? FileHolds(path, *bytes) : ExistingEquals(path, file.source))) {
            file.action = Action::kReuse;
            if (bytes == nullptr) {
                file.crc = volume::FileChecksum(path, cache_);
            }
            return std::nullopt;
        }
        if (k < 0) {
            core::DebugPrint("FileCompare : %s // %s -> Different\n", path.c_str(), file.source.c_str());
            file.numbered = ClashReason(path);
        }
    }
}

std::optional<std::size_t> Planner::PlanSample(const DependencyRecord& sample, Failure& failure) {
    if (const auto known = bySource_.find(sample.sourcePath); known != bySource_.end()) {
        return known->second;
    }
    const ExportMode flags = ExportMode::FromCode(mode_);
    const std::string folderName = DestinationFolderName(sample, bankName_, flags);
    const std::string fileName = core::PathFileName(sample.sourcePath);
    const std::string folder = core::JoinPath(core::JoinPath(root_, "Samples"), folderName);

    PlannedFile file;
    file.kind = FileKind::kSample;
    file.source = sample.sourcePath;
    file.destination = core::JoinPath(folder, fileName);
    file.oldName = sample.foundName;
    file.newName = sample.foundName;
    if (sample.missing) {
        // Nothing is created from its names: only the reference to it is rewritten.
        file.action = Action::kMissing;
        return bySource_[sample.sourcePath] = Add(std::move(file));
    }
    if (!NamesAreSafe(failure.log, sample, folderName, fileName)) {
        failure.result = kUnsafeName;
        return std::nullopt;
    }
    file.sourceStamp = core::StatFile(sample.sourcePath);
    file.size = static_cast<std::uint64_t>(file.sourceStamp ? file.sourceStamp->size : sample.fileSize);
    if (file.sourceStamp && cache_ != nullptr) {
        file.crc = cache_->Known(sample.sourcePath, *file.sourceStamp);
    }
    const std::string baseName = core::NameFromFileName(core::PathBaseName(sample.sourcePath));
    if (const auto shared = Numbered(file, folder, baseName, kMaxSampleNameLength, ".afs", nullptr)) {
        return bySource_[sample.sourcePath] = *shared;
    }
    const std::size_t index = Add(std::move(file));
    view_.Claim(plan_.files[index].destination, index);
    return bySource_[sample.sourcePath] = index;
}

std::optional<std::size_t> Planner::PlanMultisample(const DependencyRecord& multisample, Failure& failure) {
    if (const auto known = bySource_.find(multisample.sourcePath); known != bySource_.end()) {
        return known->second;
    }
    const ExportMode flags = ExportMode::FromCode(mode_);
    std::vector<std::optional<std::size_t>> sampleFiles(multisample.samples.size());
    std::vector<std::size_t> parts;
    for (std::size_t i = 0; i < multisample.samples.size(); ++i) {
        const DependencyRecord& sample = multisample.samples[i];
        // A ROM sound is not a file: nothing to copy, and its reference stays as it is.
        if (IsRomReference(sample)) {
            continue;
        }
        sampleFiles[i] = PlanSample(sample, failure);
        if (!sampleFiles[i]) {
            return std::nullopt;
        }
        parts.push_back(*sampleFiles[i]);
    }
    // Taken once every sample is planned: planning one may move the others' records.
    std::vector<const std::string*> names(multisample.samples.size(), nullptr);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (sampleFiles[i] && plan_.files[*sampleFiles[i]].newName != multisample.samples[i].foundName) {
            names[i] = &plan_.files[*sampleFiles[i]].newName;
        }
    }

    const std::string folderName = DestinationFolderName(multisample, bankName_, flags);
    const std::string fileName = core::PathFileName(multisample.sourcePath);
    const std::string folder = core::JoinPath(core::JoinPath(root_, "Multisamples"), folderName);
    if (!NamesAreSafe(failure.log, multisample, folderName, fileName)) {
        failure.result = kUnsafeName;
        return std::nullopt;
    }
    auto contents = core::ReadWholeFile(multisample.sourcePath);
    if (!contents) {
        failure.log += core::Format("can,not open Multisample file (%s)\n", multisample.sourcePath.c_str());
        failure.result = kReadOrWriteFailed;
        return std::nullopt;
    }

    PlannedFile file;
    file.kind = FileKind::kMultisample;
    file.action = Action::kWrite;
    file.source = multisample.sourcePath;
    file.destination = core::JoinPath(folder, fileName);
    file.oldName = multisample.foundName;
    file.newName = multisample.foundName;
    const std::vector<std::uint8_t> sourceBytes = *contents;
    file.bytes = std::move(*contents);
    core::ByteWriter writer(file.bytes);
    for (std::size_t i = 0; i < multisample.samples.size(); ++i) {
        const DependencyRecord& sample = multisample.samples[i];
        if (IsRomReference(sample)) {
            continue;
        }
        const formats::ReferenceRewrite rewrite = RewriteFor(sample, bankName_, flags, names[i]);
        if (sample.referenceOffset < 0 ||
            formats::RewriteReference(writer, static_cast<std::size_t>(sample.referenceOffset) + formats::kEntryReference,
                                      rewrite) != formats::ReferenceResult::kDone) {
            failure.log += formats::ReferenceMessage(formats::ReferenceResult::kOutsideFile, multisample.sourcePath,
                                                     sample.referenceOffset) +
                           "\n";
            failure.result = kReadOrWriteFailed;
            return std::nullopt;
        }
        file.references.push_back(ReferenceChange(sample.referenceOffset, sample, rewrite));
    }
    RewriteRepeatedEntries(file.bytes, multisample, names, bankName_, flags, file.references);
    file.size = file.bytes.size();
    file.crc = core::Crc32Update(0, file.bytes);

    const std::string baseName = core::NameFromFileName(core::PathBaseName(multisample.sourcePath));
    file.parts = std::move(parts);
    // A plain copy of the source under its name (the multisample as it lies on disk) is
    // written over with the rewritten one.
    const bool plainCopy = view_.Taken(file.destination) && !view_.ClaimedBy(file.destination) &&
                           view_.OnDiskName(file.destination) == fileName && FileHolds(file.destination, sourceBytes);
    if (!plainCopy) {
        const std::vector<std::uint8_t> rewritten = file.bytes;
        if (const auto shared = Numbered(file, folder, baseName, kMaxMultisampleNameLength, ".afi", &rewritten)) {
            return bySource_[multisample.sourcePath] = *shared;
        }
    }
    const std::size_t index = Add(std::move(file));
    view_.Claim(plan_.files[index].destination, index);
    return bySource_[multisample.sourcePath] = index;
}

void Planner::Refuse(const ProgramRecord& program, int slot, int refusal, std::string why) {
    plan_.programs.push_back(PlannedProgram{slot, program.programName, refusal, std::move(why), {}});
}

void Planner::AddProgram(const ProgramRecord& program, int slot) {
    current_ = static_cast<int>(plan_.programs.size());
    plan_.programs.push_back(PlannedProgram{slot, program.programName, 0, {}, {}});
    const std::size_t mark = plan_.files.size();
    Failure failure;
    // Nothing this program alone needed stays planned when it cannot go out.
    const auto refuse = [&] {
        view_.Release(mark);
        std::erase_if(bySource_, [&](const auto& entry) { return entry.second >= mark; });
        plan_.files.resize(mark);
        PlannedProgram& planned = plan_.programs.back();
        planned.refusal = failure.result;
        planned.why = std::move(failure.log);
        planned.files.clear();
        current_ = -1;
    };

    const std::string bankFolderName(core::TrimSpaces(bankName_));
    const std::string programFileName = program.programName + ".afp";
    for (std::string_view name : {std::string_view(bankFolderName), std::string_view(programFileName)}) {
        if (!core::IsPortableFileName(name) || core::TrimSpaces(core::PathBaseName(name)).empty()) {
            failure.log = core::Format("Refuse program (%s) : unsafe destination name (%s)\n",
                                       program.sourcePath.c_str(), std::string(name).c_str());
            failure.result = kUnsafeName;
            refuse();
            return;
        }
    }

    const auto& dependencies = program.dependencies;
    std::vector<std::string> names(dependencies.size());
    std::vector<std::size_t>& needed = plan_.programs.back().files;
    const auto need = [&](std::size_t index, const auto& self) -> void {
        for (const std::size_t part : plan_.files[index].parts) {
            self(part, self);
        }
        if (std::find(needed.begin(), needed.end(), index) == needed.end()) {
            needed.push_back(index);
        }
    };
    for (std::size_t i = 0; i < dependencies.size(); ++i) {
        const DependencyRecord& dependency = dependencies[i];
        names[i] = dependency.foundName;
        if (dependency.duplicate) {
            // Both references must name the one copy.
            for (std::size_t j = 0; j < i; ++j) {
                if (!dependencies[j].duplicate && dependencies[j].sourcePath == dependency.sourcePath) {
                    names[i] = names[j];
                    break;
                }
            }
            continue;
        }
        std::optional<std::size_t> index;
        if (dependency.kind == volume::DependencyKind::kSample) {
            index = PlanSample(dependency, failure);
        } else if (dependency.kind == volume::DependencyKind::kMultisample) {
            index = PlanMultisample(dependency, failure);
        } else {
            continue;
        }
        if (!index) {
            refuse();
            return;
        }
        need(*index, need);
        const std::string& name = plan_.files[*index].newName;
        names[i] = name == dependency.foundName ? name : bank::SanitiseProgramName(name);
    }

    PlannedFile file;
    file.kind = FileKind::kProgram;
    file.source = program.sourcePath;
    file.destination = ProgramDestination(root_, bankName_, program.programName);
    file.oldName = program.programName;
    file.newName = program.programName;
    auto bytes = RewrittenProgram(program, names, bankName_, ExportMode::FromCode(mode_), failure.log, file.references);
    if (!bytes) {
        failure.result = kReadOrWriteFailed;
        refuse();
        return;
    }
    file.bytes = std::move(*bytes);
    file.size = file.bytes.size();
    file.crc = core::Crc32Update(0, file.bytes);
    file.keepsBackup = true;
    if (WouldReplace(file.destination, file.bytes)) {
        file.action = Action::kWrite;
        file.replaces = true;
        file.asks = true;
    } else {
        file.action = core::FileExists(file.destination) ? Action::kReuse : Action::kWrite;
    }
    needed.push_back(Add(std::move(file)));
    current_ = -1;
}

void Planner::AddMadeFile(FileKind kind, const std::string& path, const std::string& text, bool backup, bool ask) {
    PlannedFile file;
    file.kind = kind;
    file.destination = path;
    file.oldName = core::NameFromFileName(core::PathBaseName(path));
    file.newName = file.oldName;
    file.bytes = BytesOf(text);
    file.size = file.bytes.size();
    file.crc = core::Crc32Update(0, file.bytes);
    file.keepsBackup = backup;
    if (!WouldReplace(path, file.bytes)) {
        file.action = core::FileExists(path) ? Action::kReuse : Action::kWrite;
    } else {
        file.action = Action::kWrite;
        file.replaces = backup;
        file.asks = backup && ask;
    }
    Add(std::move(file));
}

std::string Planner::FolderIndexText(const std::string& folder, bool samples) {
    return formats::FormatBankTxt(bank::FolderIndexLinesOf(
        view_.NamesAfter(folder, plan_.files), samples ? bank::FolderKind::kSamples : bank::FolderKind::kMultisamples));
}

// ---- the plan of a bank

std::string ProgramDestination(std::string_view destinationRoot, std::string_view bankName,
                               const std::string& programName) {
    return core::JoinPath(core::JoinPath(core::JoinPath(destinationRoot, "Programs"),
                                         core::Cp1252ToUtf8(core::TrimSpaces(bankName))),
                          core::Cp1252ToUtf8(programName) + ".afp");
}

std::string ManifestDestination(std::string_view destinationRoot, std::string_view bankName) {
    return core::JoinPath(core::JoinPath(destinationRoot, kManifestFolder),
                          core::Cp1252ToUtf8(core::TrimSpaces(bankName)) + ".export.json");
}

std::string BankIndexText(const bank::Bank& bank, const std::array<bool, bank::kSlotCount>& exported) {
    auto lines = bank::BankIndexLines(bank);
    for (std::size_t slot = 0; slot < exported.size() && slot < lines.size(); ++slot) {
        if (!exported[slot]) {
            lines[slot].reset();
        }
    }
    return formats::FormatBankTxt(lines);
}

ExportPlan PlanExport(const bank::Bank& bank, const ExportOptions& options, volume::ChecksumCache* cache) {
    const std::string& root = options.destinationPath;
    const std::string bankName(core::TrimSpaces(options.bankName));
    Planner planner(root, bankName, ExportModeOf(options), cache);

    const std::array<bool, bank::kSlotCount> toExport = SlotsToExport(bank);
    std::array<bool, bank::kSlotCount> exported{};
    for (std::size_t slot = 0; slot < toExport.size(); ++slot) {
        const volume::ProgramRecord& record = bank.slots[slot];
        if (!record.defined) {
            continue;
        }
        if (toExport[slot]) {
            planner.AddProgram(record, static_cast<int>(slot));
        } else {
            planner.Refuse(record, static_cast<int>(slot), kProgramNameTaken,
                           core::Format("Program name already exported in this bank (%s), program not exported\n",
                                        record.programName.c_str()));
        }
        exported[slot] = planner.plan().programs.back().refusal == 0;
    }

    const std::string bankFolder = core::Cp1252ToUtf8(bankName);
    planner.AddMadeFile(FileKind::kBankList,
                        core::JoinPath(core::JoinPath(core::JoinPath(root, "Programs"), bankFolder), "bank.txt"),
                        BankIndexText(bank, exported), true, true);
    for (const bool samples : {false, true}) {
        const std::string folder = core::JoinPath(core::JoinPath(root, samples ? "Samples" : "Multisamples"), bankFolder);
        planner.AddMadeFile(FileKind::kBankList, core::JoinPath(folder, "bank.txt"),
                            planner.FolderIndexText(folder, samples), false, false);
    }
    const std::string listPath = core::JoinPath(core::JoinPath(root, "Programs"), "bank.txt");
    const std::optional<std::string> list = BankListWith(listPath, bankName);
    planner.plan().listed = !list;
    if (list && options.registerBank) {
        planner.AddMadeFile(FileKind::kBankList, listPath, *list, true, false);
        planner.plan().registration = planner.plan().files.size() - 1;
        planner.plan().listed = true;
    }
    const ExportPlan& sofar = planner.plan();
    planner.AddMadeFile(FileKind::kManifest, ManifestDestination(root, bankName),
                        ManifestText(sofar, std::vector<bool>(sofar.files.size(), true)), false, false);

    ExportPlan plan = planner.Take();
    std::error_code ec;
    const std::filesystem::space_info space = std::filesystem::space(core::NativePath(root), ec);
    if (!ec) {
        plan.freeBytes = space.available;
    }
    return plan;
}

std::uint64_t ExportPlan::BytesToWrite() const {
    std::uint64_t bytes = 0;
    for (const PlannedFile& file : files) {
        bytes += file.action == Action::kCopy || file.action == Action::kWrite ? file.size : 0;
    }
    return bytes;
}

std::vector<std::string> ExportPlan::Replaced() const {
    std::vector<std::string> paths;
    for (const PlannedFile& file : files) {
        if (file.asks) {
            paths.push_back(file.destination);
        }
    }
    return paths;
}

std::string ExportPlan::SpaceProblem() const {
    const std::uint64_t needed = BytesToWrite();
    if (!freeBytes || needed <= *freeBytes) {
        return {};
    }
    return core::Format("Not enough free space in %s: the export writes %s and %s are free", destination.c_str(),
                        ByteSize(needed).c_str(), ByteSize(*freeBytes).c_str());
}

std::string ByteSize(std::uint64_t bytes) {
    if (bytes < 1024) {
        return core::Format("%llu bytes", static_cast<unsigned long long>(bytes));
    }
    const char* units[] = {"KiB", "MiB", "GiB", "TiB"};
    double value = static_cast<double>(bytes) / 1024.0;
    std::size_t unit = 0;
    while (value >= 1024.0 && unit + 1 < std::size(units)) {
        value /= 1024.0;
        ++unit;
    }
    return core::Format(value < 10.0 ? "%.2f %s" : value < 100.0 ? "%.1f %s" : "%.0f %s", value, units[unit]);
}

}  // namespace velmorant::exporting
