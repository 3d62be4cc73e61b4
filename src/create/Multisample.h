#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/File.h"
#include "create/SampleConversion.h"
#include "create/AudioSamples.h"
#include "create/SampleEntry.h"
#include "formats/MultisampleFile.h"
#include "platform/Platform.h"

namespace velmorant::create {

// A multisample file names at most this many zones (its count is one byte).
inline constexpr std::size_t kMaxMultisampleZones = formats::kMultisampleMaxEntries;

// The name with every character that files cannot carry turned into an underscore.
std::string SafeSampleName(std::string_view name);

// File names ("Piano060.afs") for the samples of a build called `name` in `folder`, in entry order.
// A name already given in this build, or naming a file in the folder, takes the next collision
// code. Empty when the codes run out.
std::vector<std::string> PlanSampleFileNames(std::string_view name, const std::vector<SampleEntry>& entries,
                                             const std::string& folder);

// What a multisample build writes besides its samples, whose files are `fileNames` (in entry
// order; at most kMaxMultisampleZones).
struct MultisampleFiles {
    std::string multisampleName;  // how the program names its multisample, and the file's name
    std::vector<std::uint8_t> multisample;
    std::vector<std::uint8_t> program;
    std::string index;  // the bank.txt listing the samples
};
MultisampleFiles PlanMultisampleFiles(std::string_view name, const std::vector<SampleEntry>& entries,
                                      const std::vector<std::string>& fileNames);

enum class BuildResult {
    kDone,
    kCannotCreateProgram,  // the multisample or the program file (its message is shown)
    kCannotCreateIndex,    // the bank.txt listing the samples
    kRefused,              // the input cannot be built; nothing was written
    kSampleFailed,         // a sample could not be converted; no program was written
};

struct MultisampleBuildResult {
    BuildResult code = BuildResult::kDone;
    std::string programPath;
    std::vector<std::string> sampleFiles;        // in entry order
    std::vector<ConversionResult> conversionStatus;  // ConvertWaveToSample's status per entry
    std::vector<SampleOutcome> conversions;          // with what the audio path did or why it failed
};

// Writes the program named by `chosenPath` and beside it one sample file per entry, the
// multisample and a bank.txt listing the samples. `audio` says how
// files that are not 16-bit 44.1 kHz WAV files are taken (by default they are refused).
MultisampleBuildResult BuildMultisample(platform::Platform& platform, const std::vector<SampleEntry>& entries,
                                        const std::string& chosenPath, const AudioIn& audio = {});

// The editor's "Auto map": spreads the unlocked samples of distinct root keys over the
// keyboard, splitting halfway between neighbouring root keys.
void AutoMapSamples(std::vector<SampleEntry>& entries);

}  // namespace velmorant::create
