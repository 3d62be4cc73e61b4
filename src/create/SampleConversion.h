#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/SampleFile.h"
#include "formats/WaveFile.h"

namespace velmorant::create {

// The outcome of turning a WAV file into a sample file. The numbers are the statuses the
// command line prints, so they stay as they are.
enum class ConversionResult : std::int32_t {
    kWritten = 1,
    kNoSource = 0,
    kNotRiff = -1000,
    kNotWave = -1001,
    kNotFmt = -1002,
    kNotSixteenBits = -1003,
    kNot44100 = -1004,
    kTooManyChannels = -1005,
    kCannotRead = -1010,
    kTooShort = -1011,
    kNoChannels = -1012,
    kNoDataChunk = -1013,
    kDataPastEnd = -1014,
    kNotPcm = -1015,  // compressed or float samples
    kCannotCreate = 1006,
    kAudioRefused = -1020,  // a file the audio path could not convert; its message says why
};
inline std::int32_t ConversionCode(ConversionResult result) {
    return static_cast<std::int32_t>(result);
}
// The meaning of a result, for people.
std::string ConversionResultText(ConversionResult result);

// Turns a 16-bit 44.1 kHz mono or stereo WAV file into an instrument sample file.
// A root key from 1 to 128 replaces the WAV's own (or the default 60); any other value
// or none leaves it. The destination is replaced whole or left untouched. `detail`, when
// given, receives what the status alone does not say (the file and the system's reason for
// a write that failed, the format of a compressed file); empty otherwise.
ConversionResult ConvertWaveToSample(const std::string& source, const std::string& destination,
                                     std::optional<std::uint32_t> rootKey = std::nullopt,
                                     std::string* detail = nullptr);

struct ConversionJob {
    std::string wave;
    std::string sample;
    std::optional<std::uint32_t> rootKey;
};

struct SampleOutcome {
    ConversionResult status = ConversionResult::kWritten;
    std::string error;   // the exact path's detail, or why the audio path failed naming the file
    std::string report;  // what the conversion did to the sound; empty when nothing changed
};
// Why a sample was not written, for people: "status -1003, only 16-bit samples are supported"
// and its detail, or the audio path's own words.
std::string SampleOutcomeText(const SampleOutcome& outcome);

// Runs ConvertWaveToSample for every job, several at a time on helper threads (the jobs
// write different files); the outcomes come back in the jobs' order.
std::vector<SampleOutcome> ConvertWavesToSamples(const std::vector<ConversionJob>& jobs);

// The sample header for these WAV facts and the caller's root key.
formats::SampleHeader SampleHeaderFor(const formats::WaveFacts& facts, std::optional<std::uint32_t> rootKey);

}  // namespace velmorant::create
