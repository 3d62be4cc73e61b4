#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "audio/AudioFile.h"

namespace velmorant::audio {

enum class LoudnessMode { kNone, kPeak, kLufs };

struct LoudnessTarget {
    LoudnessMode mode = LoudnessMode::kNone;
    double level = 0.0;  // dBFS (true peak) or LUFS
};

// "peak:-1dBFS", "peak:-1", "lufs:-14", "lufs:-14LUFS"; nullopt (and why) for anything else.
std::optional<LoudnessTarget> ParseLoudnessTarget(std::string_view text, std::string& error);

struct LoudnessMeasure {
    double truePeakDb = -1e9;  // dBFS
    double lufs = -1e9;        // integrated loudness; -1e9 for silence
};

struct Measured {
    std::optional<LoudnessMeasure> measure;
    std::string error;  // names the file
};

// Reads the file once, block by block; the reader is then at its end.
Measured MeasureLoudness(AudioReader& reader, LoudnessMode mode);

// The one gain in dB that brings the loudest file of a set to the target, so the balance
// between the samples of a multisample or a kit is kept; 0 when every file is silent.
double SetGainDb(std::span<const LoudnessMeasure> measures, const LoudnessTarget& target);

}  // namespace velmorant::audio
