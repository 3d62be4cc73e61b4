#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmorant::create {

struct ConversionJob {
    std::string wave;
    std::string sample;
    std::optional<std::uint32_t> rootKey;
};

// Runs ConvertWaveToSample for every job, several at a time on helper threads (the jobs
// write distinct files); the statuses come back in job order.
std::vector<std::int32_t> ConvertWavesToSamples(const std::vector<ConversionJob>& jobs);

}  // namespace velmorant::create
