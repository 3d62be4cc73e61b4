#pragma once

#include <string>
#include <vector>

#include "audio/AudioSet.h"
#include "create/SampleConversion.h"
#include "create/SampleEntry.h"
#include "platform/Platform.h"

namespace velmorant::create {

// How the builds take audio files that are not already 16-bit 44.1 kHz WAV files. One struct,
// so the command line and the editors cannot drift apart.
struct AudioIn {
    bool strict = true;    // only files that need no conversion, refused as they always were
    bool autoKeys = false; // root keys from the evidence over the whole set (smpl, inst, name)
    audio::SetOptions set;
};

// True when the file goes through the exact path as it always did: strict, a missing file, or a
// 16-bit 44.1 kHz WAV file unless a loudness target wants one gain over the whole set.
bool TakesExactPath(const std::string& path, const AudioIn& in);

// Converts every job. A 16-bit 44.1 kHz WAV file takes the exact path (its sample file is byte
// for byte what it always was) unless a loudness target wants one gain over the whole set;
// every other file, unless strict, is read, resampled and dithered with the others as one set.
std::vector<SampleOutcome> ConvertSampleFiles(const std::vector<ConversionJob>& jobs, const AudioIn& in);

// Converts the samples of a build (ConvertSampleFiles). When any cannot be converted, the
// sample files this build created are removed again and one message names each failed file
// and why, so that no program is written naming a sample that does not exist. True when
// every sample was written.
bool ConvertBuildSamples(platform::Platform& platform, const std::string& programPath,
                         const std::vector<ConversionJob>& jobs, const AudioIn& in,
                         std::vector<SampleOutcome>& outcomes);

// The editor's "+" for each path. Strict, or for a 16-bit 44.1 kHz WAV file without
// automatic keys, a file is inspected as it always was; any other file is read as audio, its
// root key taken from its own chunks (or the evidence over the set with automatic keys).
// A file that cannot be read shows why and is skipped. Returns how many were added.
int AddAudioFiles(platform::Platform& platform, const std::vector<std::string>& paths,
                  std::vector<SampleEntry>& entries, const AudioIn& in);

}  // namespace velmorant::create
