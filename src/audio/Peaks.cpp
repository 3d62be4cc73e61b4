#include "audio/Peaks.h"

#include <algorithm>
#include <limits>

namespace velmorant::audio {

std::size_t PeakBucket(std::uint64_t frame, std::uint64_t frames, std::size_t buckets) {
    if (frames == 0 || buckets == 0) {
        return 0;
    }
    const std::uint64_t clamped = std::min(frame, frames - 1);
    if (clamped > std::numeric_limits<std::uint64_t>::max() / buckets) {
        // Only a declared size no real file has; near enough through floating point.
        return std::min(buckets - 1, static_cast<std::size_t>(static_cast<long double>(clamped) * buckets / frames));
    }
    return static_cast<std::size_t>(clamped * buckets / frames);
}

Peaks ComputePeaks(AudioReader& reader, std::size_t buckets, const std::atomic<bool>* cancel) {
    Peaks peaks;
    const AudioInfo& info = reader.info();
    peaks.frames = info.frames;
    peaks.loop = info.facts.loop;
    const auto channels = static_cast<std::size_t>(std::max(info.channels, 1));
    buckets = static_cast<std::size_t>(std::min<std::uint64_t>(buckets, info.frames));
    peaks.low.assign(buckets, std::numeric_limits<float>::max());
    peaks.high.assign(buckets, std::numeric_limits<float>::lowest());

    constexpr std::size_t kBlockFrames = 8192;
    std::vector<float> block(kBlockFrames * channels);
    std::uint64_t frame = 0;
    while (true) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
            return Peaks{};
        }
        const std::optional<std::size_t> read = reader.Read(block);
        if (!read) {
            peaks.error = reader.error();
            break;
        }
        if (*read == 0) {
            break;
        }
        for (std::size_t i = 0; i < *read && frame < info.frames; ++i, ++frame) {
            const std::size_t bucket = PeakBucket(frame, info.frames, buckets);
            for (std::size_t c = 0; c < channels; ++c) {
                const float value = block[i * channels + c];
                peaks.low[bucket] = std::min(peaks.low[bucket], value);
                peaks.high[bucket] = std::max(peaks.high[bucket], value);
            }
        }
    }
    // Buckets never reached (a file shorter than it declares) draw as silence.
    for (std::size_t b = 0; b < buckets; ++b) {
        if (peaks.low[b] > peaks.high[b]) {
            peaks.low[b] = peaks.high[b] = 0.0F;
        }
    }
    if (peaks.loop) {
        peaks.loopStartBucket = PeakBucket(peaks.loop->start, info.frames, buckets);
        peaks.loopEndBucket = PeakBucket(peaks.loop->end, info.frames, buckets);
    }
    return peaks;
}

Peaks ComputePeaks(const std::string& path, std::size_t buckets, const std::atomic<bool>* cancel) {
    AudioReader::Opened opened = AudioReader::Open(path);
    if (!opened.reader) {
        Peaks peaks;
        peaks.error = opened.error;
        return peaks;
    }
    return ComputePeaks(*opened.reader, buckets, cancel);
}

}  // namespace velmorant::audio
