#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velmorant::create {

// What the WAV checks found, in the order they are made. The first six follow the
// instrument-sample rules; the rest refuse files that would make a reader leave the buffer.
enum class WaveCheck {
    kOk,
    kNotRiff,
    kNotWave,
    kNotFmt,
    kNotSixteenBits,
    kNot44100,
    kTooManyChannels,
    kTooShort,        // the file ends inside the fixed fields
    kNoChannels,      // a channel count of 0 or below
    kNoDataChunk,
    kDataPastEnd,     // the declared data length runs past the end of the file
};

// The facts of one WAV file read at fixed offsets, plus the chunks found by searching.
struct WaveFacts {
    WaveCheck check = WaveCheck::kOk;
    std::int16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;

    // "data": the last occurrence in the file wins.
    bool hasData = false;
    std::size_t dataOffset = 0;  // first payload byte
    std::uint32_t dataLength = 0;

    // "smpl": the last occurrence whose 44-byte head lies inside the file.
    bool hasSampler = false;
    std::uint32_t unityNote = 0;
    std::int32_t loopCount = 0;
    bool hasLoop = false;  // a first loop record was present and taken
    std::uint32_t loopStart = 0;
    std::uint32_t loopEnd = 0;
};

// Examines a whole WAV file held in memory. Never reads outside `file`.
WaveFacts ReadWaveFacts(std::span<const std::uint8_t> file);
// The same from a file, reading only the chunk heads while the chunk list is sound;
// nullopt when the file cannot be opened or is too large.
std::optional<WaveFacts> ReadWaveFactsFromFile(const std::string& path);

// The largest WAV file read into memory: sample files count frames in 32 bits.
inline constexpr std::uint64_t kMaxWaveFileBytes = 0x7FFFFFFFu;

// ConvertWaveToSample results.
inline constexpr std::int32_t kConvertWritten = 1;
inline constexpr std::int32_t kConvertNoSource = 0;
inline constexpr std::int32_t kConvertNotRiff = -1000;
inline constexpr std::int32_t kConvertNotWave = -1001;
inline constexpr std::int32_t kConvertNotFmt = -1002;
inline constexpr std::int32_t kConvertNotSixteenBits = -1003;
inline constexpr std::int32_t kConvertNot44100 = -1004;
inline constexpr std::int32_t kConvertTooManyChannels = -1005;
inline constexpr std::int32_t kConvertCannotRead = -1010;
inline constexpr std::int32_t kConvertTooShort = -1011;
inline constexpr std::int32_t kConvertNoChannels = -1012;
inline constexpr std::int32_t kConvertNoDataChunk = -1013;
inline constexpr std::int32_t kConvertDataPastEnd = -1014;
inline constexpr std::int32_t kConvertCannotCreate = 1006;

inline constexpr std::size_t kSampleHeaderSize = 48;

// Turns a 16-bit 44.1 kHz mono or stereo WAV file into an instrument sample file.
// A root key from 1 to 128 replaces the WAV's own (or the default 60); any other value
// or none leaves it. The destination is replaced whole or left untouched.
std::int32_t ConvertWaveToSample(const std::string& source, const std::string& destination,
                                 std::optional<std::uint32_t> rootKey = std::nullopt);

// The sample file made from a WAV file held in memory, as the pieces written one after another.
// The payload is turned big-endian inside `wav` itself, so no second copy of the sound is made.
struct SampleFileParts {
    std::int32_t status = kConvertWritten;  // a refusal leaves the other fields empty
    std::array<std::uint8_t, kSampleHeaderSize> header{};
    std::span<const std::uint8_t> payload;
    std::array<std::uint8_t, 2> tail{};  // an odd length's last byte, after its pad byte
    std::size_t tailSize = 0;
};
SampleFileParts PrepareSampleFile(std::span<std::uint8_t> wav, std::optional<std::uint32_t> rootKey);

// The meaning of a ConvertWaveToSample status, for people.
std::string ConversionStatusText(std::int32_t status);

// The 48-byte sample header for these facts (used by the conversion; exposed for the fuzzer).
std::array<std::uint8_t, kSampleHeaderSize> MakeSampleHeader(const WaveFacts& facts,
                                                             std::optional<std::uint32_t> rootKey);

}  // namespace velmorant::create
