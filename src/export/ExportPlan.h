#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/File.h"
#include "volume/Dependencies.h"
#include "volume/ProgramRecord.h"

namespace velmorant::bank {
struct Bank;
}

namespace velmorant::exporting {

struct ExportOptions;

enum class FileKind { kSample, kMultisample, kProgram, kBankList, kManifest };

enum class Action {
    kCopy,     // copied byte for byte from its source
    kWrite,    // written: a copy with rewritten references, or a file the export makes
    kReuse,    // the same content is there already; nothing is written
    kMissing,  // a sample missing on the source volume when the program loaded: not copied
};

struct PlannedReference {
    std::uint32_t offset = 0;  // of the reference record (program) or sample entry (multisample)
    std::string oldName;       // "Folder/Name" as stored before, "Name" when it named no folder
    std::string newName;       // Windows-1252, as the instrument's files hold names
};

// One file of the destination that the export writes, reuses or leaves missing.
struct PlannedFile {
    FileKind kind = FileKind::kSample;
    Action action = Action::kCopy;
    std::string source;       // empty for a file the export makes
    std::string destination;  // full path below the destination volume
    std::string oldName;      // Windows-1252, without extension
    std::string newName;      // the name the references carry
    std::string numbered;     // why the file did not keep its name; empty when it did
    bool keepsBackup = false; // a different file found there when writing is kept as "<name>.bak"
    bool replaces = false;    // a different file or a link is there now, to be kept as a backup
    bool asks = false;        // ... and it is the user's: replaced only when they agree
    std::uint64_t size = 0;   // of the file as the export leaves it
    std::optional<core::FileStamp> sourceStamp;
    std::optional<std::uint32_t> crc;  // known once compared or written; a copy learns it as it reads
    std::vector<std::uint8_t> bytes;   // what kWrite writes
    std::vector<PlannedReference> references;
    std::vector<std::size_t> parts;  // a multisample's sample files, indices in ExportPlan::files
    int firstProgram = -1;  // index in ExportPlan::programs of the first program that needs it
};

struct PlannedProgram {
    int slot = -1;
    std::string name;
    int refusal = 0;          // a negative ExportProgram result that keeps it out before anything is written
    std::string why;          // the log lines that say why
    std::vector<std::size_t> files;  // what it needs, in the order of writing; its own file last
};

struct ExportPlan {
    std::string destination;
    std::string bankName;  // Windows-1252, trimmed
    int mode = 1;
    std::vector<PlannedFile> files;
    std::vector<PlannedProgram> programs;
    std::optional<std::uint64_t> freeBytes;  // at the destination; nullopt when the system does not say
    bool listed = false;  // the bank is (or, when registering, will be) in the volume's Programs/bank.txt
    std::optional<std::size_t> registration;  // the planned Programs/bank.txt when registering

    std::uint64_t BytesToWrite() const;
    // Files of the user's with other contents that the export would replace (kept as backups).
    std::vector<std::string> Replaced() const;
    // Empty when the export fits the free space, else why not, with the figures.
    std::string SpaceProblem() const;
};

// The destination as the plan sees it: what lies in each folder (listed once, letter case
// ignored as on the instrument's disk) and the names this export has claimed.
class DestinationView {
public:
    bool Taken(const std::string& path);
    // The name of what is there when only letter case differs, else empty.
    std::string OnDiskName(const std::string& path);
    std::optional<std::size_t> ClaimedBy(const std::string& path) const;
    void Claim(const std::string& path, std::size_t file);
    void Release(std::size_t fromFile);  // claims of files from this index on
    // Names in the folder once the export has written its claims.
    std::vector<std::string> NamesAfter(const std::string& folder, const std::vector<PlannedFile>& files);

private:
    struct Folder {
        std::vector<std::string> names;
        std::map<std::string, std::string> byUpper;
    };
    Folder& Listing(const std::string& folder);
    static std::string Key(const std::string& path);

    std::map<std::string, Folder> folders_;
    std::map<std::string, std::size_t> claims_;
};

// Plans program after program: each planned file is decided once (copied, reused, numbered,
// missing), however many programs need it, against the destination and the earlier claims.
class Planner {
public:
    Planner(std::string destinationRoot, std::string_view bankName, int mode, volume::ChecksumCache* cache);

    // Adds the program with its files; a program that cannot go out gets a refusal and no files.
    void AddProgram(const volume::ProgramRecord& program, int slot);
    // Adds a program that is kept out for a reason found before planning.
    void Refuse(const volume::ProgramRecord& program, int slot, int refusal, std::string why);
    // A file the export makes: written, or reused when it holds these bytes already. A different
    // file there is kept as a backup when `backup`, and then replaced only if the user agrees
    // when `ask`; otherwise it is written over (the export's own indexes and manifest).
    void AddMadeFile(FileKind kind, const std::string& path, const std::string& bytes, bool backup, bool ask);
    // The index of a copy folder as it will be once the planned files are there.
    std::string FolderIndexText(const std::string& folder, bool samples);
    ExportPlan Take() { return std::move(plan_); }
    ExportPlan& plan() { return plan_; }

private:
    struct Failure {
        int result = 0;
        std::string log;
    };
    std::optional<std::size_t> PlanSample(const volume::DependencyRecord& sample, Failure& failure);
    std::optional<std::size_t> PlanMultisample(const volume::DependencyRecord& multisample, Failure& failure);
    bool SameSample(const PlannedFile& file, const std::string& source);
    bool ExistingEquals(const std::string& path, const std::string& source);
    std::optional<std::size_t> Numbered(PlannedFile& file, const std::string& folder, std::string_view baseName,
                                        std::size_t cut, const char* extension,
                                        const std::vector<std::uint8_t>* bytes);
    std::string ClashReason(const std::string& path);
    std::size_t Add(PlannedFile file);

    std::string root_;
    std::string bankName_;
    int mode_;
    volume::ChecksumCache* cache_;
    DestinationView view_;
    std::map<std::string, std::size_t> bySource_;
    ExportPlan plan_;
    int current_ = -1;  // the program being planned
};

// The bank's bank.txt listing the programs of the slots marked.
std::string BankIndexText(const bank::Bank& bank, const std::array<bool, 128>& exported);

// The text of a volume's Programs/bank.txt with the bank added, or nullopt when it lists the
// bank already (letter case ignored).
std::optional<std::string> BankListWith(const std::string& listPath, const std::string& bankName);

// Programs/<bank>/<program name>.afp below the destination root.
std::string ProgramDestination(std::string_view destinationRoot, std::string_view bankName,
                               const std::string& programName);
// Where an export of the bank keeps its manifest: Velmorant/<bank>.export.json.
std::string ManifestDestination(std::string_view destinationRoot, std::string_view bankName);

// What an export of the bank with these options would do; reads the sources and the
// destination and writes nothing. The options must be ones the export accepts.
ExportPlan PlanExport(const bank::Bank& bank, const ExportOptions& options, volume::ChecksumCache* cache);

// The plan as lines for a terminal or a preview window, and as one JSON document.
std::string PlanText(const ExportPlan& plan);
std::string PlanJson(const ExportPlan& plan);

// A byte count the way people read it ("1.5 GiB", "12 KiB", "310 bytes").
std::string ByteSize(std::uint64_t bytes);

}  // namespace velmorant::exporting
