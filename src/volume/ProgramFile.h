#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "formats/DrumProgramLayout.h"
#include "volume/ProgramRecord.h"

namespace velmorant::volume {

inline constexpr std::size_t kHeaderChunkArea = 80;  // S = 80 + chunk area
inline constexpr std::size_t kMinCountsHeader = 53;  // the Patterns count ends at 53
inline constexpr std::size_t kOscillatorBlockOffsets[4] = {0, 104, 228, 332};
inline constexpr std::size_t kDrumKeyEntrySize = formats::kDrumOscillatorSize;
inline constexpr std::size_t kDrumZoneSize = formats::kDrumZoneSize;
inline constexpr std::size_t kDrumKeys = formats::kDrumOscillators;
inline constexpr std::size_t kDrumZonesPerKey = formats::kDrumZonesPerOscillator;

using ProgramTag = std::array<char, 4>;

struct HeaderResult {
    int code = 0;  // 0 read, -3 cannot be opened, -4 not a program file
    ProgramTag tag{};
};

HeaderResult ReadProgramHeader(const std::string& path);
std::int32_t ProgramTypeFromTag(const ProgramTag& tag);

// Counts M, E, L, P from the header, or nullopt-like false when the header is shorter than 53 bytes.
struct ChunkCounts {
    std::int32_t mods = 0, envelopes = 0, lfos = 0, patterns = 0;
    // Offset S of the voice area.
    std::uint64_t voiceAreaOffset() const {
        return kHeaderChunkArea + 116ull * static_cast<std::uint64_t>(mods) +
               56ull * static_cast<std::uint64_t>(envelopes) + 44ull * static_cast<std::uint64_t>(lfos) +
               140ull * static_cast<std::uint64_t>(patterns);
    }
};
bool ReadChunkCounts(std::span<const std::uint8_t> file, ChunkCounts& counts);

// Fills the record from the file (path, name, size, type, log line); always 0.
// The chunk counts are read here from the header for every program type.
int LoadProgramFile(ProgramRecord& record, const std::string& path, const ProgramTag& tag);

// The light probe of the dynamic catalogue: 1 with the entry's type set, -4 otherwise.
struct ProgramProbe {
    std::string path;
    std::int32_t type = kTypeUnknown;
};
int ProbeProgramFile(ProgramProbe& entry, const std::string& path);

}  // namespace velmorant::volume
