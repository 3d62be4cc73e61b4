#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "audio/ByteSource.h"
#include "audio/SamplerChunks.h"

namespace velmorant::audio {

enum class Encoding { kPcm8, kPcm16, kPcm24, kPcm32, kFloat32, kFloat64 };

// "24-bit", "32-bit float".
std::string EncodingText(Encoding encoding);

// False in a build without the decoding library (a cross build for a system that has no
// package of it): only 16-bit 44.1 kHz WAV files, which need no decoding, can then be used.
bool HaveDecoder();
std::string ContainerText(Container container);

// Where a speaker sits, as far as a down-mix needs to know.
enum class Speaker { kUnknown, kLeft, kRight, kCentre, kLowFrequency };

struct AudioInfo {
    std::string name;  // the file name, for messages and reports
    Encoding encoding = Encoding::kPcm16;
    int channels = 0;
    int sampleRate = 0;
    std::uint64_t frames = 0;
    ContainerFacts facts;
    std::vector<Speaker> speakers;  // one per channel when the file says; empty otherwise
};

// A WAV, AIFF or FLAC file decoded block by block through libsndfile. Nothing but the
// current block is ever held, whatever the file's size.
class AudioReader {
public:
    struct Opened {
        std::unique_ptr<AudioReader> reader;
        std::string error;  // names the file; empty when opened
    };
    static Opened Open(const std::string& path);
    // `name` stands for the file in messages.
    static Opened Open(const std::string& name, std::unique_ptr<ByteSource> source);

    ~AudioReader();
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;

    const AudioInfo& info() const { return info_; }

    // Fills `out` with whole interleaved frames at full scale ±1.0 and answers the frames
    // read, 0 at the end; nullopt when the file ends before the frames it declares (error()).
    std::optional<std::size_t> Read(std::span<float> out);
    const std::string& error() const { return error_; }

private:
    struct Handle;
    AudioReader(std::unique_ptr<Handle> handle, AudioInfo info);
    std::unique_ptr<Handle> handle_;
    AudioInfo info_;
    std::uint64_t done_ = 0;
    std::string error_;
};

}  // namespace velmorant::audio
