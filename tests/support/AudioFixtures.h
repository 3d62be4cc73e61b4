#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "audio/AudioSet.h"

namespace velmorant::testing {

// A sound written through libsndfile: `format` is an SF_FORMAT_* major | subtype.
struct SoundRecipe {
    int format = 0;
    int sampleRate = 44100;
    int channels = 1;
    std::size_t frames = 0;
    // Sample of (frame, channel) at full scale ±1; silence when empty.
    std::function<double(std::size_t, int)> sample;
    bool raw = false;  // the values are written as they stand, not scaled from ±1
};
void WriteSound(const std::string& path, const SoundRecipe& sound);

std::function<double(std::size_t, int)> Sine(double hz, int sampleRate, double amplitude);

// Appends one chunk (padded to even) and fixes the RIFF or FORM size in the head.
void AppendChunk(const std::string& path, const std::string& id, std::span<const std::uint8_t> body);
// A "smpl" chunk body: unity note, pitch fraction and, when given, one loop.
std::vector<std::uint8_t> SamplerBody(std::uint32_t unityNote, std::uint32_t fraction,
                                      std::optional<std::pair<std::uint32_t, std::uint32_t>> loop);

// Keeps what a conversion writes, in samples_ or in the caller's vector.
class MemorySink final : public audio::FinishingSink {
public:
    explicit MemorySink(std::vector<std::int16_t>* into = nullptr) : into_(into != nullptr ? into : &samples_) {}
    bool Write(std::span<const std::int16_t> samples) override {
        into_->insert(into_->end(), samples.begin(), samples.end());
        return true;
    }
    bool Finish() override { return true; }
    std::vector<std::int16_t> samples_;

private:
    std::vector<std::int16_t>* into_;
};

}  // namespace velmorant::testing
