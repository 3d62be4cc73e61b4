#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "audio/AudioFile.h"

namespace velmorant::audio {

// A sound reduced to what a waveform view draws: per bucket, the lowest and highest sample
// of any channel at full scale ±1, and the sustain loop in the same buckets.
struct Peaks {
    std::vector<float> low;
    std::vector<float> high;
    std::uint64_t frames = 0;
    std::optional<LoopPoints> loop;  // in frames, as the file says
    std::size_t loopStartBucket = 0;
    std::size_t loopEndBucket = 0;
    std::string error;  // names the file; empty when read whole
};

// The bucket that holds `frame` when `frames` are spread over `buckets`.
std::size_t PeakBucket(std::uint64_t frame, std::uint64_t frames, std::size_t buckets);

// Reads the file block by block (only one block in memory). `buckets` shrinks to the frame
// count for short sounds. Stops early, with no error and no peaks, once `cancel` is set.
Peaks ComputePeaks(AudioReader& reader, std::size_t buckets, const std::atomic<bool>* cancel = nullptr);
Peaks ComputePeaks(const std::string& path, std::size_t buckets, const std::atomic<bool>* cancel = nullptr);

}  // namespace velmorant::audio
