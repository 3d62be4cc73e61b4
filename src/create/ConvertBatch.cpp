#include "create/ConvertBatch.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "create/WaveFile.h"

namespace velmorant::create {

std::vector<std::int32_t> ConvertWavesToSamples(const std::vector<ConversionJob>& jobs) {
    std::vector<std::int32_t> statuses(jobs.size(), kConvertNoSource);
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < jobs.size(); i = next++) {
            statuses[i] = ConvertWaveToSample(jobs[i].wave, jobs[i].sample, jobs[i].rootKey);
        }
    };
    // Reading, swapping and writing one file overlaps with another's; each holds one WAV in memory.
    const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t helpers = std::min<std::size_t>({hardware, 4, jobs.size()}) - (jobs.empty() ? 0 : 1);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < helpers; ++t) {
        threads.emplace_back(work);
    }
    work();
    for (std::thread& thread : threads) {
        thread.join();
    }
    return statuses;
}

}  // namespace velmorant::create
