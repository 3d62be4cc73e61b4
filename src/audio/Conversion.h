#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "audio/AudioFile.h"

namespace velmorant::audio {

inline constexpr int kTargetRate = 44100;

struct ConversionOptions {
    bool dither = true;  // TPDF; off rounds to the nearest step instead
    std::uint64_t ditherSeed = 0x76656C6D6F72616EULL;  // fixed, so the same input builds the same file
    bool downmixToStereo = false;                      // otherwise more than two channels are refused
    double gainDb = 0.0;                               // one gain for a whole set (see Loudness.h)
    bool detectPitch = false;                          // keep the first seconds for a pitch check
};

// What converting one file will do, decided before a byte is read.
struct ConversionPlan {
    std::string error;  // names the file; the other fields are then meaningless
    int outChannels = 0;
    std::uint64_t outFrames = 0;
    bool resample = false;
    bool downmix = false;
    bool requantize = false;  // the values are not whole 16-bit steps as they stand
    bool dither = false;
    double gainDb = 0.0;
    std::uint64_t ditherSeed = 0;
    bool detectPitch = false;
    std::optional<LoopPoints> loopIn;
    std::optional<LoopPoints> loopOut;

    // True when the output differs from the input other than in byte order and container.
    bool changesSound() const { return resample || downmix || requantize || gainDb != 0.0; }
};

ConversionPlan PlanConversion(const AudioInfo& info, const ConversionOptions& options);

// A loop moved to the new rate: the times of its first frame and of the end of its last frame
// are rounded, then the loop is kept inside a sound of `frames` frames.
LoopPoints RescaleLoop(LoopPoints loop, int fromRate, int toRate, std::uint64_t frames);

// Receives the converted sound: interleaved 16-bit samples, in order.
class PcmSink {
public:
    virtual ~PcmSink() = default;
    virtual bool Write(std::span<const std::int16_t> samples) = 0;
};

struct ConversionResult {
    std::string error;  // names the file; empty on success
    std::uint64_t framesWritten = 0;
    std::uint64_t clippedSamples = 0;
    std::optional<double> pitchHz;  // when asked for and the sound is pitched
};

// Streams the file through down-mix, gain, resampling and dither into the sink, block by block.
ConversionResult Convert(AudioReader& reader, const ConversionPlan& plan, PcmSink& sink);

// "piano-c4.wav: 24-bit 48000 Hz → 16-bit 44100 Hz, dithered, loop 12000–48000 → 11025–44100,
// 3 samples clipped"; each note is appended after a comma.
std::string ReportLine(const AudioInfo& info, const ConversionPlan& plan, const ConversionResult& result,
                       std::span<const std::string> notes = {});

}  // namespace velmorant::audio
