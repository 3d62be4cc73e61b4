#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmorant::volume {

// Device limits the rest of the system relies on.
inline constexpr std::size_t kMaxProgramNameLength = 47;
inline constexpr std::size_t kMaxCategoriesLength = 19;
inline constexpr std::size_t kMaxDependencies = 256;
inline constexpr std::size_t kMaxLogLength = 20000;
inline constexpr std::size_t kLogDropLength = 2000;

// Program type codes, by the tag at offset 12 of a program file.
enum ProgramType : std::int32_t {
    kTypeUnknown = 0,
    kTypeSamples = 1,  // "mpsa"
    kTypeDrums = 2,    // "umdr"
    kTypeFm = 3,       // "  fm"
    kTypeWind = 4,     // "utfl"
    kTypeReed = 5,     // "arcl"
    kTypeVa = 6,       // "ogal"
};

// The numbers are the ones reports print.
enum class DependencyKind : std::int32_t {
    kRom = 0,
    kSample = 1,
    kMultisample = 2,
};

// One multisample, sample or ROM reference found for a program (level 1)
// or for a multisample (level 2).
struct DependencyRecord {
    std::string sourcePath;
    std::string foundName;    // at most 32 characters
    std::string folderName;   // at most 16 characters
    std::string locationText{}; // at most 16 characters
    std::int32_t volumeNumber = 0;
    std::int32_t referenceOffset = 0;
    DependencyKind kind = DependencyKind::kSample;
    std::vector<DependencyRecord> samples{};  // level 2, multisamples only
    std::int64_t fileSize = 0;
    bool folderGiven = false;  // the reference names a folder (else the sample is looked for by name)
    bool duplicate = false;    // an earlier dependency of the same program is the same file
    std::uint32_t crc = 0;
    // The file was found but its checksum not read yet: an import that is only exported never
    // needs it, so it is read when shown (DependencyChecksum).
    bool crcPending = false;
    bool missing = false;  // not found when the program loaded
};

// The record of one bank slot.
struct ProgramRecord {
    std::string slotLetter;
    std::int32_t slotNumber = 1;
    std::string programName;
    std::string sourcePath;
    bool defined = false;  // a program occupies the slot
    std::int32_t type = kTypeUnknown;
    std::vector<DependencyRecord> dependencies;  // at most kMaxDependencies
    std::array<std::int32_t, 4> oscillatorOffsets{};
    std::string log;  // CR LF after each entry, at most kMaxLogLength characters
    std::string summary;
    std::array<std::int32_t, 4> chunkCounts{};  // Mods, Enveloppes, LFO, Patterns
    std::int64_t fileSize = 0;
    std::string categories;
};

// Appends one entry and CR LF; when the log would pass 19,999 characters the
// oldest 2,000 are dropped first (even mid-line).
void AppendLog(ProgramRecord& record, std::string_view text);

// The summary's name of a type code: "Unknow", "Samples", "Drums", "FM", "Wind", "Reed", "VA".
const char* ProgramTypeName(std::int32_t type);

}  // namespace velmorant::volume
