#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace velmorant::formats {

// RIFF/WAVE layout as far as the instrument's sample rules look at it: the format chunk must
// be the first chunk, in its canonical place, so its fields are read at fixed offsets.
inline constexpr std::size_t kWaveRiffTag = 0;
inline constexpr std::size_t kWaveWaveTag = 8;
inline constexpr std::size_t kWaveFmtTag = 12;  // three bytes: the fourth is not examined
inline constexpr std::size_t kWaveFmtLength = 16;
inline constexpr std::size_t kWaveFormatTag = 20;
inline constexpr std::size_t kWaveChannels = 22;
inline constexpr std::size_t kWaveSampleRate = 24;
inline constexpr std::size_t kWaveBitsPerSample = 34;
inline constexpr std::size_t kWaveFixedHeadSize = 36;
// WAVE_FORMAT_EXTENSIBLE names the real format in the first two bytes of its sub-format GUID.
inline constexpr std::uint16_t kWaveFormatPcm = 0x0001;
inline constexpr std::uint16_t kWaveFormatExtensible = 0xFFFE;
inline constexpr std::size_t kWaveSubFormat = 44;
inline constexpr std::size_t kWaveExtensibleFmtLength = 40;
inline constexpr std::size_t kWaveFirstChunk = 12;
inline constexpr std::size_t kWaveChunkHeadSize = 8;  // tag, then a 32-bit little-endian length
// Within a "smpl" chunk, counted from its tag.
inline constexpr std::size_t kSamplerHeadSize = 44;
inline constexpr std::size_t kSamplerUnityNote = 20;
inline constexpr std::size_t kSamplerLoopCount = 36;
inline constexpr std::size_t kLoopRecordSize = 24;
inline constexpr std::size_t kSamplerLoopStart = kSamplerHeadSize + 8;
inline constexpr std::size_t kSamplerLoopEnd = kSamplerHeadSize + 12;

// The largest WAV file read: sample files count frames in 32 bits.
inline constexpr std::uint64_t kMaxWaveFileBytes = 0x7FFFFFFFu;

// What the WAV checks found, in the order they are made. The first six follow the
// instrument-sample rules; the rest refuse files that would make a reader leave the buffer.
enum class WaveResult {
    kOk,
    kNotRiff,
    kNotWave,
    kNotFmt,
    kNotPcm,          // compressed (ADPCM, MP3...) or float samples
    kNotSixteenBits,
    kNot44100,
    kTooManyChannels,
    kTooShort,        // the file ends inside the fixed fields
    kNoChannels,      // a channel count of 0 or below
    kNoDataChunk,
    kDataPastEnd,     // the declared data length runs past the end of the file
    kCannotRead,      // cannot be opened or read, or larger than kMaxWaveFileBytes
};

// The facts of one WAV file read at fixed offsets, plus the chunks found.
struct WaveFacts {
    WaveResult result = WaveResult::kOk;
    std::size_t problemOffset = 0;  // where the refused field lies
    std::uint16_t format = 0;       // the format tag (an extensible file's sub-format)
    std::int16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;

    bool hasData = false;
    std::size_t dataOffset = 0;  // first payload byte
    std::uint32_t dataLength = 0;

    // "smpl": the last one whose 44-byte head lies inside the file.
    bool hasSampler = false;
    std::uint32_t unityNote = 0;
    std::int32_t loopCount = 0;
    bool hasLoop = false;  // a first loop record was present and taken
    std::uint32_t loopStart = 0;
    std::uint32_t loopEnd = 0;
};

// Examines a whole WAV file held in memory. Never reads outside `file`.
WaveFacts ReadWave(std::span<const std::uint8_t> file);
// The same from a file, reading only the chunk heads while the chunk list is sound.
WaveFacts ReadWaveFile(const std::string& path);

// "IMA ADPCM" for 0x0011; "unknown" for a tag not listed.
const char* WaveFormatName(std::uint16_t format);

// What a result means, for people ("only 16-bit samples are supported").
std::string WaveResultText(WaveResult result);
// The field a refusal is about ("bits per sample").
const char* WaveResultField(WaveResult result);
// "<path>: offset 34, bits per sample: only 16-bit samples are supported".
std::string DescribeWaveProblem(const std::string& path, const WaveFacts& facts);

}  // namespace velmorant::formats
