#pragma once

#include <string>
#include <vector>

#include "create/AudioSamples.h"
#include "create/SampleConversion.h"

namespace velmorant::create {

// What a build will do to one audio file, known before it is built.
struct SamplePlan {
    enum class Kind { kAsIs, kConverted, kRefused };
    Kind kind = Kind::kAsIs;
    // "as is"; the plan as the report line gives it ("24-bit 48000 Hz → 16-bit 44100 Hz,
    // dithered"); or "refused: " and why.
    std::string text;
    int fromRate = 0;  // the source rate, when resampled
    bool downmix = false;
    bool requantize = false;
    bool dither = false;
};

// Each file is routed as ConvertSampleFiles routes it and only its head is read: the exact path
// for 16-bit 44.1 kHz WAV files (and every file when strict), the audio path for the rest,
// planned together so that one gain over the set is known.
std::vector<SamplePlan> PlanSamples(const std::vector<std::string>& paths, const AudioIn& in);

// "3 of 12 samples will be converted: resampled 48000 → 44100 Hz, dithered; 1 will be refused";
// empty for no samples.
std::string PlanSummary(const std::vector<SamplePlan>& plans);

// What a build did to one file, in the same place: "as is", the report line without the file
// name, or "failed: " and why.
std::string OutcomeText(const std::string& path, const SampleOutcome& outcome);

// What a build did, in the plan's words ("Built: 3 of 12 samples converted: resampled 48000 →
// 44100 Hz, dithered."), or how many samples could not be converted. The plans are the build's
// files', in the same order.
std::string BuildSummary(const std::vector<SamplePlan>& plans, const std::vector<SampleOutcome>& outcomes);

}  // namespace velmorant::create
