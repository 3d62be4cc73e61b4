#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "create/DrumKit.h"
#include "create/AudioSamples.h"
#include "create/SampleConversion.h"
#include "platform/Platform.h"

namespace velmorant::create {

// A drum program's sample names leave room for three characters of key and layer.
inline constexpr std::size_t kMaxDrumProgramName = 29;

// "Kick" key 31 layer 0 -> "Kick310".
std::string DrumSampleName(const std::string& programName, int key, int layer);

struct DrumBuildResult {
    bool written = false;  // the program file was written
    std::string programPath;
    int keysLeftOut = 0;  // keys in use beyond the 64 oscillators
    std::vector<std::string> sampleFiles;
    std::vector<std::string> sampleSources;  // the layer's audio file each sample file is made from
    std::vector<ConversionResult> conversionStatus;  // per sample file
    std::vector<SampleOutcome> conversions;          // with what the audio path did or why it failed
};

// A drum program's bytes for a kit whose samples are named after `programName`: one oscillator
// per key in use (at most 64), and which layers become sample files, in the order they are made.
struct DrumProgramPlan {
    struct Sample {
        int key = 0;
        int layer = 0;
        std::string name;  // the sample file's name without extension, as the zone names it
    };
    std::vector<std::uint8_t> bytes;
    std::vector<Sample> samples;
    int keysLeftOut = 0;
};
DrumProgramPlan PlanDrumProgram(const DrumKit& kit, const std::string& programName);

// The drum program named by `chosenPath` (the extension .afp is put on): the template with
// one oscillator per key in use, and the converted samples beside it.
DrumBuildResult BuildDrumProgram(platform::Platform& platform, const DrumKit& kit, const std::string& chosenPath,
                                 const AudioIn& audio = {});

}  // namespace velmorant::create
