#include "doctor/VolumeCheck.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "bank/Bank.h"
#include "bank/BankIndex.h"
#include "core/Encoding.h"
#include "core/File.h"
#include "core/FileNames.h"
#include "core/Path.h"
#include "core/Text.h"
#include "doctor/SampleScan.h"
#include "doctor/VolumeSnapshot.h"
#include "formats/MultisampleFile.h"
#include "formats/ReferenceRecord.h"
#include "volume/Dependencies.h"
#include "volume/ProgramRecord.h"

namespace velmorant::doctor {
namespace {

// Field lengths of the names the instrument stores: bank.txt entries, reference folder and name.
constexpr std::size_t kListedNameLength = volume::kMaxProgramNameLength;
constexpr std::size_t kFolderFieldLength = formats::kReferenceFolderWidth;
constexpr std::size_t kNameFieldLength = formats::kReferenceNameWidth;

std::string NameOf(const std::string& fileName) {
    return core::NameFromFileName(fileName);
}

bool HasExtension(const std::string& fileName, std::string_view extension) {
    if (fileName.size() <= extension.size()) {
        return false;
    }
    std::string tail = fileName.substr(fileName.size() - extension.size());
    core::UpperCaseInPlace(tail);
    std::string wanted(extension);
    core::UpperCaseInPlace(wanted);
    return tail == wanted;
}

std::string Folded(std::string path) {
    core::UpperCaseInPlace(path);
    return path;
}

std::string StemOf(const std::string& fileName) {
    return fileName.substr(0, fileName.rfind('.'));
}

// A bank.txt as an import reads it.
struct ListFacts {
    bool readable = false;
    std::vector<std::string> names;  // entries 0 .. item count - 1, blank ones included
    std::vector<std::string> unread; // names after them, which an import never reads
    std::string problem;
    bool problemFails = false;
};

ListFacts ReadList(const std::string& path, bool ofBank) {
    ListFacts facts;
    bank::BankIndex index;
    const formats::BankTxtResult result = bank::ReadBankIndex(index, path);
    if (result == formats::BankTxtResult::kCannotOpen) {
        facts.problem = "cannot be read";
        facts.problemFails = true;
        return facts;
    }
    if (result == formats::BankTxtResult::kNoCountLine) {
        facts.problem = "does not start with its \"Number of items\" count line, so an import refuses it";
        facts.problemFails = true;
        return facts;
    }
    facts.readable = true;
    const auto count = static_cast<std::size_t>(std::clamp<std::int32_t>(index.itemCount, 0,
                                                 static_cast<std::int32_t>(index.entries.size())));
    std::size_t blank = 0;
    for (std::size_t i = 0; i < count; ++i) {
        facts.names.push_back(index.entries[i].name);
        blank += core::TrimSpaces(index.entries[i].name).empty() ? 1 : 0;
    }
    std::string unread;
    for (std::size_t i = count; i < index.entries.size(); ++i) {
        if (!core::TrimSpaces(index.entries[i].name).empty()) {
            facts.unread.push_back(index.entries[i].name);
            unread += (unread.empty() ? "" : ", ") + core::Cp1252ToUtf8(index.entries[i].name);
        }
    }
    std::vector<std::string> parts;
    if (index.entries.size() >= formats::kBankTxtMaxEntries) {
        parts.push_back(core::Format("only its first %zu entries are read", formats::kBankTxtMaxEntries));
    } else if (result == formats::BankTxtResult::kTooFewNames) {
        parts.push_back(core::Format("its count line announces more items than the %zu it names", count - blank));
    }
    if (blank > 0) {
        parts.push_back(core::Format("%zu of the %zu lines its count line covers name nothing", blank, count));
    }
    if (!unread.empty()) {
        parts.push_back(core::Format("its count line says %zu, so an import never reads %s", count, unread.c_str()));
        facts.problemFails = ofBank;
    }
    for (const std::string& part : parts) {
        facts.problem += (facts.problem.empty() ? "" : "; ") + part;
    }
    return facts;
}

// Why a name cannot be shown, or empty. `name` is a file name's text as the instrument would hold it.
std::string NameProblem(const std::string& fileName, std::size_t limit) {
    std::string refused;
    const auto bytes = core::Utf8ToCp1252(fileName, &refused);
    if (!bytes && refused.rfind("\\x", 0) != 0) {
        return "holds " + refused + ", which Windows-1252 cannot hold";
    }
    const std::size_t length = bytes ? bytes->size() : fileName.size();
    if (length > limit) {
        return core::Format("is %zu characters long; the instrument keeps %zu", length, limit);
    }
    return {};
}

struct VolumeFile {
    bool sample = false;
    core::FileStamp stamp;
    bool used = false;
    const SampleFacts* facts = nullptr;
};

// Why a multisample would not load, or empty.
std::string MultisampleProblem(core::FileSource& files, const std::string& path) {
    const auto bytes = files.ReadWhole(path, core::kMaxWholeFileBytes);
    if (!bytes) {
        return "cannot be read";
    }
    const formats::MultisampleContents contents = formats::ReadMultisample(*bytes);
    if (contents.result != formats::MultisampleResult::kDone) {
        return formats::MultisampleMessage(contents.result, path, contents.problemOffset);
    }
    return {};
}

// Programs that need one file, and how they name it.
struct Use {
    bool multisample = false;
    std::vector<std::string> usedBy;
    std::string referencedAs;
    void add(const std::string& who) {
        if (std::find(usedBy.begin(), usedBy.end(), who) == usedBy.end()) {
            usedBy.push_back(who);
        }
    }
};

// One file a program needs, as a bank's walk met it.
struct UseEvent {
    std::string path;
    bool multisample = false;
    FileState state = FileState::kFound;
    std::string who;
    std::string referencedAs;
    std::string problem;  // of a multisample that was found: why it would not load
};

// What one walking thread keeps from bank to bank.
struct Walker {
    explicit Walker(const Inventory& inventory) : files(inventory) {
        bank.files = &files;
        bank.multisamples = &multisamples;
    }
    VolumeSnapshot files;
    volume::MultisampleMemo multisamples;
    bank::Bank bank;
    std::unordered_map<std::string, std::string> multisampleProblems;
    // A file as an earlier program named it, and what was found: a file is looked at once
    // per walk however many programs play it.
    struct Seen {
        std::string folderName;
        std::string foundName;
        FileNode node;
        UseEvent use;  // who left empty
        bool told = false;  // a plain find is told to the merge once
    };
    std::unordered_map<std::string, Seen> seen;
};

// What the walk of one bank yields; banks are walked side by side, then merged in order.
struct BankWalk {
    Walker* walker = nullptr;
    BankNode node;
    std::vector<Finding> findings;
    std::vector<UseEvent> uses;
    void Add(FindingKind kind, Severity severity, std::string bank, std::string program, std::vector<std::string> paths,
             std::string detail) {
        findings.push_back(Finding{kind, severity, std::move(bank), std::move(program), std::move(paths),
                                   std::move(detail), {}, 0});
    }
};

class Checker {
public:
    explicit Checker(const CheckOptions& options) : options_(options) {}

    Report Run();

private:
    void Add(FindingKind kind, Severity severity, std::string bank, std::string program, std::vector<std::string> paths,
             std::string detail, std::vector<std::string> usedBy = {}, std::int64_t bytes = 0) {
        Add(Finding{kind, severity, std::move(bank), std::move(program), std::move(paths), std::move(detail),
                    std::move(usedBy), bytes});
    }
    void Add(Finding finding) {
        (finding.severity == Severity::kFailure ? report_.totals.failures : report_.totals.warnings) += 1;
        report_.findings.push_back(std::move(finding));
    }
    // One step of a phase done, told to the caller one call at a time; false once it asked to stop.
    bool Stepped(std::string_view phase, std::size_t total) {
        if (!options_.progress) {
            return true;
        }
        const std::lock_guard<std::mutex> lock(progressMutex_);
        if (report_.stopped) {
            return false;
        }
        if (phase != phase_) {
            phase_ = phase;
            done_ = 0;
        }
        ++done_;
        if (!options_.progress(phase, done_, total)) {
            report_.stopped = true;
        }
        return !report_.stopped;
    }
    void TakeInventory();
    // The inventory in path order, which the report follows.
    std::vector<std::pair<const std::string, VolumeFile>*> SortedFiles();
    void ScanSamples(const std::vector<std::string>& paths);
    void WalkBanks(const std::vector<std::string>& names);
    void WalkBank(BankWalk& walk, const std::string& listedName) const;
    ProgramNode LoadProgram(BankWalk& walk, const std::string& path, bool listed) const;
    FileNode FileFor(BankWalk& walk, const volume::DependencyRecord& dependency, bool multisample,
                     const std::string& who) const;
    // How the walk finds the file: its node's path and state, and what the merge is told.
    UseEvent FileFor(BankWalk& walk, const volume::DependencyRecord& dependency, bool multisample) const;
    void Merge(BankWalk& walk);
    void ReportFiles();
    void ReportSounds();

    CheckOptions options_;
    Report report_;
    std::string programs_;
    bool whole_ = true;
    std::unordered_map<std::string, VolumeFile> files_;  // every multisample and sample file, by path
    Inventory inventory_;  // their stamps, for the walks' snapshots
    std::unordered_map<std::string, std::string> byFoldedPath_;  // the same paths, by their letters in one case
    std::vector<SampleFacts> facts_;
    std::vector<std::string> factPaths_;
    std::map<std::string, Use> missing_;
    std::map<std::string, Use> caseOnly_;
    std::set<std::string> multisamplesChecked_;
    std::unordered_set<std::string> usedSamples_;
    std::mutex progressMutex_;
    std::string_view phase_;
    std::size_t done_ = 0;
};

void Checker::TakeInventory() {
    for (const bool sample : {false, true}) {
        const std::string top = core::JoinPath(report_.volume, sample ? "Samples" : "Multisamples");
        auto folders = core::ListDirectory(top);
        if (!folders) {
            continue;
        }
        std::sort(folders->begin(), folders->end());
        for (const std::string& folder : *folders) {
            const std::string folderPath = core::JoinPath(top, folder);
            auto names = core::ListDirectory(folderPath);
            if (!names || !core::DirectoryExists(folderPath)) {
                continue;
            }
            if (const std::string problem = NameProblem(folder, kFolderFieldLength); !problem.empty()) {
                Add(FindingKind::kNameNotShown, Severity::kWarning, {}, {}, {folderPath}, "folder name " + problem);
            }
            std::sort(names->begin(), names->end());
            for (const std::string& name : *names) {
                if (!HasExtension(name, sample ? ".afs" : ".afi")) {
                    continue;
                }
                const std::string path = core::JoinPath(folderPath, name);
                const auto stamp = core::StatFile(path);
                if (!stamp) {
                    continue;  // a folder or a dangling link with the extension
                }
                files_[path] = VolumeFile{sample, *stamp, false, nullptr};
                inventory_[path] = InventoryFile{*stamp, !sample};
                byFoldedPath_.emplace(Folded(path), path);
                (sample ? report_.totals.samples : report_.totals.multisamples) += 1;
                if (sample) {
                    report_.totals.sampleBytes += stamp->size;
                }
                if (const std::string problem = NameProblem(StemOf(name), kNameFieldLength); !problem.empty()) {
                    Add(FindingKind::kNameNotShown, Severity::kWarning, {}, {}, {path}, "name " + problem);
                }
            }
        }
    }
}

std::vector<std::pair<const std::string, VolumeFile>*> Checker::SortedFiles() {
    std::vector<std::pair<const std::string, VolumeFile>*> sorted;
    sorted.reserve(files_.size());
    for (auto& entry : files_) {
        sorted.push_back(&entry);
    }
    std::sort(sorted.begin(), sorted.end(), [](const auto* a, const auto* b) { return a->first < b->first; });
    return sorted;
}

void Checker::ScanSamples(const std::vector<std::string>& paths) {
    factPaths_ = paths;
    // The inventory's stamps where it took them: a file is looked at once.
    std::vector<core::FileStamp> stamps;
    for (const std::string& path : factPaths_) {
        const auto it = files_.find(path);
        if (it == files_.end()) {
            stamps.clear();
            break;
        }
        stamps.push_back(it->second.stamp);
    }
    const std::size_t total = factPaths_.size();
    facts_ = ScanSampleFiles(factPaths_, options_.threads, stamps,
                             [this, total] { return Stepped("Reading samples", total); });
    for (std::size_t i = 0; i < factPaths_.size(); ++i) {
        const SampleFacts& facts = facts_[i];
        if (auto it = files_.find(factPaths_[i]); it != files_.end()) {
            it->second.facts = &facts;
        }
    }
}

FileNode Checker::FileFor(BankWalk& walk, const volume::DependencyRecord& dependency, bool multisample,
                          const std::string& who) const {
    if (dependency.kind == volume::DependencyKind::kRom) {
        return FileNode{dependency.sourcePath, multisample, FileState::kRom, 0, {}};
    }
    auto& seen = walk.walker->seen;
    auto known = seen.find(dependency.sourcePath);
    if (known == seen.end() || known->second.node.multisample != multisample ||
        known->second.node.size != dependency.fileSize || known->second.folderName != dependency.folderName ||
        known->second.foundName != dependency.foundName) {
        UseEvent use = FileFor(walk, dependency, multisample);
        FileNode node{use.path, multisample, use.state, use.state == FileState::kMissing ? 0 : dependency.fileSize, {}};
        Walker::Seen fresh{dependency.folderName, dependency.foundName, std::move(node), std::move(use), false};
        known = seen.insert_or_assign(dependency.sourcePath, std::move(fresh)).first;
    }
    Walker::Seen& file = known->second;
    // Missing and case-only files list every program that needs them; a plain find only
    // marks the file used.
    if (file.node.state != FileState::kFound || !file.told) {
        UseEvent event = file.use;
        event.who = who;
        walk.uses.push_back(std::move(event));
        file.told = true;
    }
    return file.node;
}

UseEvent Checker::FileFor(BankWalk& walk, const volume::DependencyRecord& dependency, bool multisample) const {
    UseEvent use{dependency.sourcePath, multisample, FileState::kFound, {}, {}, {}};
    const bool inInventory = files_.count(use.path) != 0;
    if (!inInventory && !walk.walker->files.IsReadable(use.path)) {
        use.state = FileState::kMissing;
        return use;
    }
    // A file system that ignores letter case (Windows, a FAT disk) opens the file under the
    // reference's spelling: the inventory knows the name it is stored under.
    if (!inInventory) {
        if (const auto stored = byFoldedPath_.find(Folded(use.path)); stored != byFoldedPath_.end()) {
            use.path = stored->second;
        }
    }
    // The lookup may have ignored letter case: compare what was found with what was asked for.
    const std::string wantedFolder(core::TrimSpaces(dependency.folderName));
    const std::string wantedName = std::string(core::TrimSpaces(dependency.foundName)) + (multisample ? ".afi" : ".afs");
    const std::string folder = NameOf(core::PathFileName(core::PathDirectory(use.path)));
    const std::string name = NameOf(core::PathFileName(use.path));
    if (folder != wantedFolder || name != wantedName) {
        use.state = FileState::kCaseOnly;
        use.referencedAs = core::Cp1252ToUtf8(wantedFolder + "/" + wantedName);
    }
    if (multisample) {
        auto problem = walk.walker->multisampleProblems.find(use.path);
        if (problem == walk.walker->multisampleProblems.end()) {
            problem = walk.walker->multisampleProblems
                          .emplace(use.path, MultisampleProblem(walk.walker->files, use.path))
                          .first;
        }
        use.problem = problem->second;
    }
    return use;
}

ProgramNode Checker::LoadProgram(BankWalk& walk, const std::string& path, bool listed) const {
    bank::Bank& bank = walk.walker->bank;
    ProgramNode node;
    node.path = path;
    node.listed = listed;
    node.name = core::PathBaseName(path);
    const bank::AddResult result = bank::AddProgram(bank, -1, path);
    const volume::ProgramRecord* record = nullptr;
    if (result.slot) {
        node.slot = bank::SlotLabel(*result.slot);
        record = &bank.slots[static_cast<std::size_t>(*result.slot)];
    } else {
        node.refused = true;
        if (result.loadedSlot) {
            record = &bank.slots[static_cast<std::size_t>(*result.loadedSlot)];
        }
        switch (result.failure) {
        case bank::AddFailure::kNoFreeSlot: node.reason = "no room: the bank already holds 128 programs"; break;
        case bank::AddFailure::kAlreadyInBank: node.reason = "already in the bank: bank.txt lists it twice"; break;
        case bank::AddFailure::kCannotOpen: node.reason = "the program file cannot be opened"; break;
        case bank::AddFailure::kNotAProgram: node.reason = "not a program file (no \"S80p\" at its start)"; break;
        case bank::AddFailure::kMissingDependency:
            node.reason = record != nullptr && record->type == volume::kTypeUnknown
                              ? "unknown program type"
                              : "a multisample or sample it needs is missing";
        }
    }
    if (record != nullptr) {
        const std::string who = walk.node.name + "/" + node.name;
        const bool multisamples = record->type == volume::kTypeSamples;
        for (const volume::DependencyRecord& dependency : record->dependencies) {
            node.files.push_back(FileFor(walk, dependency, multisamples, who));
            for (const volume::DependencyRecord& sample : dependency.samples) {
                node.files.back().samples.push_back(FileFor(walk, sample, false, who));
            }
        }
    }
    return node;
}

// `listedName` is the name as bank.txt holds it (Windows-1252).
void Checker::WalkBank(BankWalk& walk, const std::string& listedName) const {
    BankNode& node = walk.node;
    bank::Bank& bank = walk.walker->bank;
    VolumeSnapshot& files = walk.walker->files;
    const std::string folder = core::FindNamedFile(programs_, listedName, "", files);
    if (!core::IsSafePathComponent(listedName) || !files.IsDirectory(folder)) {
        node.present = false;
        walk.Add(FindingKind::kBankFolder, Severity::kFailure, node.name, {}, {folder},
             core::IsSafePathComponent(listedName) ? "no such bank folder" : "names no folder inside Programs");
        return;
    }
    if (const std::string problem = NameProblem(core::PathFileName(folder), kListedNameLength); !problem.empty()) {
        walk.Add(FindingKind::kNameNotShown, Severity::kWarning, node.name, {}, {folder}, "bank name " + problem);
    }
    const std::string listPath = core::JoinPath(folder, "bank.txt");
    const ListFacts list = ReadList(listPath, true);
    if (!list.problem.empty()) {
        walk.Add(FindingKind::kBankList, list.problemFails ? Severity::kFailure : Severity::kWarning, node.name, {},
             {listPath}, list.problem);
    }

    bank::InitBank(bank);
    std::unordered_set<std::string> loaded;
    std::unordered_set<std::string> mentioned;  // listed after the count: reported with the list
    for (const std::string& name : list.names) {
        if (core::TrimSpaces(name).empty()) {
            continue;  // reported with the list
        }
        // As the import does: a name with a separator would reach into another folder.
        const bool inFolder = name.find_first_of("/\\") == std::string::npos && name.find('\0') == std::string::npos;
        const std::string path = core::FindNamedFile(folder, name, ".afp", files);
        ProgramNode program = inFolder ? LoadProgram(walk, path, true) : ProgramNode{};
        if (!inFolder) {
            program.name = core::Cp1252ToUtf8(name);
            program.path = path;
            program.refused = true;
            program.reason = "its name in bank.txt names a file outside the bank folder";
        }
        loaded.insert(path);
        if (program.refused) {
            walk.Add(FindingKind::kRefusedProgram, Severity::kFailure, node.name, program.name, {path}, program.reason);
        }
        node.programs.push_back(std::move(program));
    }

    for (const std::string& name : list.unread) {
        mentioned.insert(core::FindNamedFile(folder, name, ".afp", files));
    }
    auto names = files.List(folder);
    if (!names) {
        return;
    }
    std::sort(names->begin(), names->end());
    std::size_t unlisted = 0;
    for (const std::string& name : *names) {
        const std::string path = core::JoinPath(folder, name);
        if (!HasExtension(name, ".afp") || !files.Stat(path)) {
            continue;
        }
        if (const std::string problem = NameProblem(StemOf(name), volume::kMaxProgramNameLength); !problem.empty()) {
            walk.Add(FindingKind::kNameNotShown, Severity::kWarning, node.name, StemOf(name), {path},
                 "program name " + problem);
        }
        if (loaded.count(path) != 0) {
            continue;
        }
        // Unlisted programs are loaded too, so the files they use are not taken for orphans.
        if (unlisted++ % bank::kSlotCount == 0) {
            bank::InitBank(bank);
        }
        ProgramNode program = LoadProgram(walk, path, false);
        if (list.readable && mentioned.count(path) == 0) {
            walk.Add(FindingKind::kNotListed, Severity::kWarning, node.name, program.name, {path},
                 "not listed in the bank's bank.txt, so an import of the bank leaves it out");
        }
        node.programs.push_back(std::move(program));
    }
}

void Checker::Merge(BankWalk& walk) {
    for (Finding& finding : walk.findings) {
        report_.totals.refused += finding.kind == FindingKind::kRefusedProgram ? 1 : 0;
        Add(std::move(finding));
    }
    for (const UseEvent& event : walk.uses) {
        if (event.state == FileState::kMissing) {
            Use& use = missing_[event.path];
            use.multisample = event.multisample;
            use.add(event.who);
            continue;
        }
        if (auto it = files_.find(event.path); it != files_.end()) {
            it->second.used = true;
        }
        if (!event.multisample) {
            usedSamples_.insert(event.path);
        }
        if (event.state == FileState::kCaseOnly) {
            Use& use = caseOnly_[event.path];
            use.multisample = event.multisample;
            use.referencedAs = event.referencedAs;
            use.add(event.who);
        }
        if (event.multisample && multisamplesChecked_.insert(event.path).second && !event.problem.empty()) {
            Add(FindingKind::kMalformedFile, Severity::kFailure, {}, {}, {event.path}, event.problem);
        }
    }
    report_.totals.banks += walk.node.present ? 1 : 0;
    report_.totals.programs += static_cast<std::int64_t>(walk.node.programs.size());
    report_.banks.push_back(std::move(walk.node));
}

// Banks are walked on the worker threads, each with a bank of its own whose checksum cache
// consults the scanned samples' and a snapshot of the volume, then merged in order so
// the report does not depend on timing.
void Checker::WalkBanks(const std::vector<std::string>& names) {
    std::vector<BankWalk> walks(names.size());
    std::atomic<std::size_t> next{0};
    volume::ChecksumCache scanned;
    for (std::size_t i = 0; i < factPaths_.size(); ++i) {
        if (facts_[i].readable) {
            scanned.Remember(factPaths_[i], facts_[i].stamp, facts_[i].crc);
        }
    }
    const auto work = [&] {
        auto walker = std::make_unique<Walker>(inventory_);
        walker->bank.checksums.Consult(&scanned);
        for (std::size_t i = next++; i < names.size(); i = next++) {
            walks[i].walker = walker.get();
            walks[i].node.name = core::Cp1252ToUtf8(names[i]);
            WalkBank(walks[i], names[i]);
            walks[i].walker = nullptr;
            if (!Stepped("Checking banks", names.size())) {
                break;
            }
        }
    };
    const unsigned threads = std::clamp<unsigned>(options_.threads, 1, 16);
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < std::min<std::size_t>(threads, names.size()); ++t) {
        pool.emplace_back(work);
    }
    work();
    for (std::thread& thread : pool) {
        thread.join();
    }
    for (BankWalk& walk : walks) {
        Merge(walk);
    }
}

void Checker::ReportFiles() {
    for (const auto& [path, use] : missing_) {
        report_.totals.missingFiles += 1;
        Add(FindingKind::kMissingFile, Severity::kFailure, {}, {}, {path},
             use.multisample ? "multisample missing" : "sample missing", use.usedBy);
    }
    for (const auto& [path, use] : caseOnly_) {
        report_.totals.caseOnly += 1;
        Add(FindingKind::kCaseOnly, Severity::kWarning, {}, {}, {path},
             "referenced as " + use.referencedAs + ": found only when letter case is ignored", use.usedBy);
    }
    for (const auto* entry : SortedFiles()) {
        const auto& [path, file] = *entry;
        if (file.facts != nullptr && !file.facts->problem.empty()) {
            const bool fails = file.facts->notSample && usedSamples_.count(path) != 0;
            Add(FindingKind::kMalformedFile, fails ? Severity::kFailure : Severity::kWarning, {}, {}, {path},
                 file.facts->problem);
        }
        if (whole_ && !file.used) {
            report_.totals.orphans += 1;
            report_.totals.orphanBytes += file.stamp.size;
            Add(FindingKind::kOrphan, Severity::kWarning, {}, {}, {path},
                 file.sample ? "sample no program uses" : "multisample no program uses", {}, file.stamp.size);
        }
    }
    if (!whole_) {
        // Only the scanned samples the banks use are in the inventory's place.
        for (std::size_t i = 0; i < factPaths_.size(); ++i) {
            if (!facts_[i].problem.empty()) {
                Add(FindingKind::kMalformedFile, facts_[i].notSample ? Severity::kFailure : Severity::kWarning, {}, {},
                    {factPaths_[i]}, facts_[i].problem);
            }
        }
    }
}

void Checker::ReportSounds() {
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::vector<std::size_t>> bySound;
    std::map<std::string, std::vector<std::size_t>> byName;
    for (std::size_t i = 0; i < factPaths_.size(); ++i) {
        const SampleFacts& facts = facts_[i];
        if (!facts.readable || !facts.problem.empty() || facts.soundBytes == 0) {
            continue;
        }
        bySound[{facts.soundBytes, facts.soundKey}].push_back(i);
        std::string name = NameOf(StemOf(core::PathFileName(factPaths_[i])));
        core::UpperCaseInPlace(name);
        byName[name].push_back(i);
    }
    for (const auto& [sound, members] : bySound) {
        if (members.size() < 2) {
            continue;
        }
        Finding finding{FindingKind::kSameAudio, Severity::kWarning, {}, {}, {},
                        core::Format("%zu samples hold the same sound", members.size()), {}, 0};
        for (const std::size_t i : members) {
            finding.paths.push_back(factPaths_[i]);
        }
        finding.bytes = static_cast<std::int64_t>(sound.first * (members.size() - 1));
        Add(std::move(finding));
    }
    for (const auto& [name, members] : byName) {
        std::set<std::pair<std::uint64_t, std::uint64_t>> sounds;
        for (const std::size_t i : members) {
            sounds.insert({facts_[i].soundBytes, facts_[i].soundKey});
        }
        if (sounds.size() < 2) {
            continue;
        }
        Finding finding{FindingKind::kNameClash, Severity::kWarning, {}, {}, {},
                        core::Format("%zu different sounds under one name", sounds.size()), {}, 0};
        for (const std::size_t i : members) {
            finding.paths.push_back(factPaths_[i]);
        }
        Add(std::move(finding));
    }
}

Report Checker::Run() {
    report_.volume = options_.volume;
    while (report_.volume.size() > 1 && report_.volume.back() == core::kNativeSeparator) {
        report_.volume.pop_back();
    }
    programs_ = core::JoinPath(report_.volume, "Programs");
    whole_ = options_.banks.empty();
    if (!core::DirectoryExists(programs_)) {
        Add(FindingKind::kBankFolder, Severity::kFailure, {}, {}, {programs_},
             "no Programs folder: not an instrument volume");
        return std::move(report_);
    }

    const std::string listPath = core::JoinPath(programs_, "bank.txt");
    const ListFacts list = ReadList(listPath, false);
    if (whole_ && !list.problem.empty()) {
        Add(FindingKind::kBankList, list.problemFails ? Severity::kFailure : Severity::kWarning, {}, {}, {listPath},
             list.problem);
    }
    std::set<std::string> listed;
    std::vector<std::string> order;
    for (const std::string& name : list.names) {
        if (!core::TrimSpaces(name).empty() && listed.insert(name).second) {
            order.push_back(name);
        }
    }
    if (whole_) {
        TakeInventory();
        std::vector<std::string> samples;
        for (const auto* entry : SortedFiles()) {
            const auto& [path, file] = *entry;
            if (file.sample) {
                samples.push_back(path);
            }
        }
        ScanSamples(samples);
        if (report_.stopped) {
            return std::move(report_);
        }
        if (auto folders = core::ListDirectory(programs_)) {
            std::sort(folders->begin(), folders->end());
            for (const std::string& folder : *folders) {
                if (listed.count(NameOf(folder)) == 0 && core::DirectoryExists(core::JoinPath(programs_, folder))) {
                    order.push_back(NameOf(folder));
                    Add(FindingKind::kBankFolder, Severity::kWarning, folder, {},
                         {core::JoinPath(programs_, folder)}, "bank folder not listed in Programs/bank.txt");
                }
            }
        }
    } else {
        order.clear();
        for (const std::string& bank : options_.banks) {
            order.push_back(NameOf(bank));
        }
    }

    WalkBanks(order);
    if (report_.stopped) {
        return std::move(report_);
    }
    for (BankNode& node : report_.banks) {
        node.listed = listed.count(NameOf(node.name)) != 0;
    }
    if (!whole_) {
        std::vector<std::string> used(usedSamples_.begin(), usedSamples_.end());
        std::sort(used.begin(), used.end());
        ScanSamples(used);
        if (report_.stopped) {
            return std::move(report_);
        }
    }
    ReportFiles();
    ReportSounds();
    return std::move(report_);
}

}  // namespace

Report CheckVolume(const CheckOptions& options) {
    return Checker(options).Run();
}

}  // namespace velmorant::doctor
