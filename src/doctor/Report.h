#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmorant::doctor {

enum class FindingKind {
    kRefusedProgram,   // an import would refuse the program
    kMissingFile,      // a multisample or sample that programs need is not on the volume
    kCaseOnly,         // a reference that resolves only when letter case is ignored
    kOrphan,           // a multisample or sample that no program uses
    kSameAudio,        // samples with the same sound under different names
    kNameClash,        // samples with different sound under one name
    kNameNotShown,     // a name the instrument cannot show
    kBankList,         // a bank.txt that is unreadable or whose count line and entries disagree
    kBankFolder,       // a bank folder that is missing, unlisted or listed twice
    kMalformedFile,    // a file that is not what its extension says
    kNotListed,        // a program file its bank's bank.txt does not list
    kManifestUnreadable,  // an export manifest that cannot be read or understood
    kManifestMissing,     // a file the manifest lists is not at the destination
    kManifestChanged,     // ... is there with other content
    kManifestExtra,       // a file beside the exported ones that the manifest does not list
};

// A failure means something would not load; a warning is worth knowing before a gig.
enum class Severity { kFailure, kWarning };

// Paths and names are file-system text (UTF-8, or bytes as the disk holds them); the
// writers make them valid UTF-8.
struct Finding {
    FindingKind kind = FindingKind::kRefusedProgram;
    Severity severity = Severity::kWarning;
    std::string bank;                // bank folder the finding belongs to, empty for volume-wide ones
    std::string program;             // program name, empty when the finding is not about one program
    std::vector<std::string> paths;  // the files concerned, the first one the main one
    std::string detail;              // English: why
    std::vector<std::string> usedBy; // "bank/program" of every program that needs the file
    std::int64_t bytes = 0;          // size of the files concerned, where it matters
};

enum class FileState { kFound, kMissing, kCaseOnly, kRom };

// One file a program needs, with a multisample's samples below it.
struct FileNode {
    std::string path;  // "FUSION ROM / name" for a ROM sound
    bool multisample = false;
    FileState state = FileState::kFound;
    std::int64_t size = 0;
    std::vector<FileNode> samples;
};

struct ProgramNode {
    std::string name;
    std::string path;
    std::string slot;     // "A1".."P8" as an import of the bank places it, empty when refused
    bool listed = true;   // named by the bank's bank.txt
    bool refused = false;
    std::string reason;   // why an import refuses it
    std::vector<FileNode> files;
};

struct BankNode {
    std::string name;
    bool listed = true;   // named by Programs/bank.txt
    bool present = true;  // the folder exists
    std::vector<ProgramNode> programs;
};

struct Totals {
    std::int64_t banks = 0;
    std::int64_t programs = 0;
    std::int64_t refused = 0;
    std::int64_t missingFiles = 0;
    std::int64_t caseOnly = 0;
    std::int64_t orphans = 0;
    std::int64_t orphanBytes = 0;
    std::int64_t multisamples = 0;  // files on the volume
    std::int64_t samples = 0;
    std::int64_t sampleBytes = 0;
    std::int64_t manifestFiles = 0;  // files a verified manifest lists
    std::int64_t failures = 0;  // findings of severity failure
    std::int64_t warnings = 0;
};

// What a check of a volume found: the tree a program-by-program view shows, and the findings.
struct Report {
    std::string volume;
    std::string manifest;  // set when the volume was verified against an export manifest
    std::vector<BankNode> banks;
    std::vector<Finding> findings;
    Totals totals;
    bool stopped = false;  // stopped on request before the end: incomplete

    bool WouldFailToLoad() const { return totals.failures > 0; }
};

// Stable names used by the JSON and CSV writers ("refused-program", ...).
const char* FindingKindName(FindingKind kind);
const char* SeverityName(Severity severity);

}  // namespace velmorant::doctor
