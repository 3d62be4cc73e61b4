#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/FileSource.h"
#include "formats/DrumProgramLayout.h"
#include "formats/ReferenceRecord.h"

namespace velmorant::formats {

// Program file (.afp): magic "S80p", the type tag at 12, chunk counts in the header, then
// the chunk area, then the voice area at S: four oscillator blocks for a sample program,
// 64 keys of four zones for a drum program. Each oscillator or zone holds an enable
// byte and a reference record.
inline constexpr char kProgramMagic[] = "S80p";
inline constexpr std::size_t kProgramSizeOffset = 4;  // file size minus 8
inline constexpr std::size_t kProgramTagOffset = 12;
inline constexpr std::size_t kProgramHeadSize = 16;  // magic to tag
inline constexpr std::size_t kModsCountOffset = 34;
inline constexpr std::size_t kEnvelopesCountOffset = 36;
inline constexpr std::size_t kLfosCountOffset = 38;
inline constexpr std::size_t kPatternsCountOffset = 51;
inline constexpr std::size_t kProgramCountsSize = 53;  // the Patterns count ends at 53
inline constexpr std::size_t kHeaderChunkArea = 80;    // S = 80 + chunk area
inline constexpr std::size_t kModChunkSize = 116;
inline constexpr std::size_t kEnvelopeChunkSize = 56;
inline constexpr std::size_t kLfoChunkSize = 44;
inline constexpr std::size_t kPatternChunkSize = 140;

inline constexpr std::size_t kOscillators = 4;
inline constexpr std::size_t kOscillatorBlockOffsets[kOscillators] = {0, 104, 228, 332};  // from S
inline constexpr std::size_t kOscillatorBlockSize = 104;
inline constexpr std::size_t kOscillatorEnable = 1;
inline constexpr std::size_t kOscillatorReference = 4;
// Oscillator 1's reference name (32 bytes) in the multisample program the builds write, whose
// chunk counts never change.
inline constexpr std::size_t kMultisampleProgramNameOffset = 852;

using ProgramTag = std::array<char, 4>;
inline constexpr ProgramTag kSampleProgramTag = {'m', 'p', 's', 'a'};
inline constexpr ProgramTag kDrumProgramTag = {'u', 'm', 'd', 'r'};

enum class ProgramResult {
    kRead,
    kCannotOpen,
    kNotAProgram,  // shorter than the head, or the magic is not "S80p"
    kNoCounts,     // the header ends before the chunk counts
};

// Counts M, E, L, P of the header.
struct ChunkCounts {
    std::uint16_t mods = 0, envelopes = 0, lfos = 0, patterns = 0;
    // Offset S of the voice area.
    constexpr std::uint64_t voiceAreaOffset() const {
        return kHeaderChunkArea + kModChunkSize * mods + kEnvelopeChunkSize * envelopes + kLfoChunkSize * lfos +
               kPatternChunkSize * patterns;
    }
};

struct ProgramHead {
    ProgramResult result = ProgramResult::kRead;
    ProgramTag tag{};
};

// Magic and tag from the first bytes of a file.
ProgramHead ReadProgramHead(std::span<const std::uint8_t> head);
// The same from a file, reading only its head.
ProgramHead ReadProgramHeadFile(const std::string& path, core::FileSource& files = core::DiskFiles());
std::optional<ChunkCounts> ReadChunkCounts(std::span<const std::uint8_t> file);

// One place in the voice area where a reference can stand: an oscillator of a sample
// program, or a zone of a drum program. Sites past the end of the file are not listed.
struct ReferenceSite {
    std::size_t siteOffset = 0;    // the oscillator block or the zone
    std::size_t recordOffset = 0;  // its reference record
    bool enabled = false;          // its enable byte is 1
    std::optional<StoredReference> reference;  // absent when the record runs past the end
};

// The four oscillators, in order; a block whose enable byte lies past the end is absent.
std::vector<ReferenceSite> OscillatorSites(std::span<const std::uint8_t> file, const ChunkCounts& counts);
// Every zone of every oscillator whose record lies inside the file, in order.
std::vector<ReferenceSite> DrumZoneSites(std::span<const std::uint8_t> file, const ChunkCounts& counts);

constexpr std::uint64_t OscillatorBlockOffset(const ChunkCounts& counts, std::size_t oscillator) {
    return counts.voiceAreaOffset() + kOscillatorBlockOffsets[oscillator];
}
// The zone of a drum program whose voice area follows its own counts.
constexpr std::uint64_t DrumZoneOffsetIn(const ChunkCounts& counts, std::size_t oscillator, std::size_t zone) {
    return counts.voiceAreaOffset() + kDrumOscillatorSize * oscillator + kDrumZoneSize * zone;
}

// A program of the given tag and counts, zero everywhere else, with room for its voice area
// (none for a tag other than the sample and drum ones).
std::vector<std::uint8_t> BuildProgramSkeleton(const ProgramTag& tag, const ChunkCounts& counts);

// The message of a result, naming the file and the field.
std::string ProgramMessage(ProgramResult result, std::string_view path);

}  // namespace velmorant::formats
