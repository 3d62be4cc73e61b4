#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace velmorant::create {

// One WAV file of the multisample being built, mapped to a key zone.
struct SampleEntry {
    std::string path;
    std::int32_t rootKey = 72;
    std::int32_t leftKey = 72;
    std::int32_t rightKey = 72;
    std::int32_t velocityLow = 0;
    std::int32_t velocityHigh = 127;
    std::int64_t fileSize = 0;
    std::int32_t locked = 0;
};

// The editor's table holds at most this many entries.
inline constexpr std::size_t kMaxSampleEntries = 512;

// Checks a WAV file and fills the entry from it: 1 accepted, 0 refused. A refusal shows one
// message; a file that cannot be opened is refused silently.
int InspectWave(platform::Platform& platform, const std::string& path, SampleEntry& entry);

// Stores the path in the entry, then inspects it; a missing file is refused silently.
int AddSampleFile(platform::Platform& platform, const std::string& path, SampleEntry& entry);

// The editor's "+" for each path in turn, while the table has room; refused files are skipped.
// Returns how many were added.
int AddSampleFiles(platform::Platform& platform, const std::vector<std::string>& paths,
                   std::vector<SampleEntry>& entries);

}  // namespace velmorant::create
