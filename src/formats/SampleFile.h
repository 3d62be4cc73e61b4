#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>
#include <string>

#include "core/File.h"

namespace velmorant::formats {

// The instrument's sample file (.afs): a 48-byte header, then 16-bit big-endian sound with
// the channels interleaved. Fields not listed here hold the same bytes in every file.
inline constexpr char kSampleMagic[] = "S80s";
inline constexpr std::size_t kSampleHeaderSize = 48;
inline constexpr std::size_t kSampleLength = 4;     // sound length + 40, plain big-endian
inline constexpr std::size_t kSampleStereo = 13;    // 1 for two channels
inline constexpr std::size_t kSampleRootKey = 15;   // MIDI note
inline constexpr std::size_t kSampleRate = 16;      // 16-bit big-endian
inline constexpr std::size_t kSampleFrames = 28;    // the three counts are word-swapped
inline constexpr std::size_t kSampleLoopStart = 32;
inline constexpr std::size_t kSampleLoopEnd = 36;
inline constexpr std::uint32_t kSampleLengthBias = 40;
inline constexpr std::uint8_t kSampleDefaultRootKey = 60;

struct SampleHeader {
    std::uint32_t soundLength = 0;  // the WAV's declared length; an odd one stores one byte more
    bool stereo = false;
    std::uint8_t rootKey = kSampleDefaultRootKey;
    std::uint16_t sampleRate = 44100;
    std::uint32_t frames = 0;
    std::uint32_t loopStart = 0;  // 0 and 0 when there is no loop
    std::uint32_t loopEnd = 0;
};

// The sound bytes a header's length stands for: an odd length also stores the pad byte.
inline constexpr std::uint64_t StoredSoundBytes(std::uint32_t soundLength) {
    return (std::uint64_t{soundLength} + 1) & ~std::uint64_t{1};
}

std::array<std::uint8_t, kSampleHeaderSize> EncodeSampleHeader(const SampleHeader& header);

enum class SampleResult {
    kOk,
    kCannotOpen,
    kTooShort,       // the file ends inside the header
    kNotSample,      // no "S80s" magic
    kBadLength,      // the length field is below its bias
    kSoundPastEnd,   // the sound the header declares runs past the end of the file
    kCannotRead,     // the sound to store could not be read whole
    kCannotCreate,   // the file could not be created or written
};
std::string SampleResultText(SampleResult result);

struct SampleRead {
    SampleResult result = SampleResult::kOk;
    std::size_t problemOffset = 0;
    const char* field = "";
    SampleHeader header;
};
// Reads and checks the header of a sample file held in memory (the header and its sound).
SampleRead ReadSampleHeader(std::span<const std::uint8_t> file);
SampleRead ReadSampleFile(const std::string& path);
// "<path>: offset 4, length: the sound runs past the end of the file".
std::string DescribeSampleProblem(const std::string& path, const SampleRead& read);

// A sample file's bytes: the header, then `header.soundLength` bytes of little-endian 16-bit
// sound taken from `read` turned big-endian, handed to `write` piece by piece. For an odd
// length the byte after the sound (the WAV's pad byte, zero when missing) is stored with it.
// `read` fills its buffer with up to that many bytes and returns how many it gave; `write`
// returns false when the piece could not be stored.
using SoundReader = std::function<std::size_t(std::span<std::uint8_t>)>;
using SampleWriter = std::function<bool(std::span<const std::uint8_t>)>;
SampleResult StreamSampleFile(const SampleHeader& header, const SoundReader& read, const SampleWriter& write);

// The same written atomically to `path`, the sound read from `sound` (positioned at its first
// byte). `status`, when given, receives the system's reason for a failed write.
SampleResult WriteSampleFile(const std::string& path, const SampleHeader& header, std::FILE* sound,
                             core::FileStatus* status = nullptr);

}  // namespace velmorant::formats
