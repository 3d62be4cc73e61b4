#include "audio/Conversion.h"

#ifdef VELMORANT_AUDIO_LIBRARIES
#include <soxr.h>
#endif

#include <algorithm>
#include <cmath>
#include <memory>

#include "audio/Pitch.h"
#include "core/Text.h"

namespace velmorant::audio {

namespace {

constexpr std::size_t kBlockFrames = 32768;
constexpr std::size_t kPitchFrames = 1u << 16;  // about 1.5 s at 44.1 kHz
// A sample file stores its length field as payload + 40 in 32 bits.
constexpr std::uint64_t kMaxPayloadBytes = 0xFFFFFFFFull - 40;

// Triangular noise over ±1 step from a hash of a running counter: the same everywhere, so a
// seeded build is reproducible, and free of a carried state, so the loop over a block can be
// vectorised.
inline float TriangularNoise(std::uint32_t counter) {
    std::uint32_t x = counter;
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    // The difference of two independent uniform values.
    return (static_cast<float>(static_cast<std::int32_t>(x >> 16)) -
            static_cast<float>(static_cast<std::int32_t>(x & 0xFFFFu))) *
           (1.0f / 65536.0f);
}

// Three passes over a few samples, each simple enough for the compiler to turn into vector
// code at the usual optimisation level (one loop doing all of it is not). Answers how many
// samples clipped.
template <std::size_t N>
[[gnu::always_inline]] inline std::uint32_t QuantizeChunk(const float* in, std::int16_t* out, std::uint32_t counter, float amount) {
    // Adding and taking away 1.5 * 2^23 rounds to the nearest step without a call into the
    // maths library; the clamp first keeps every value where that trick holds.
    constexpr float kRound = 12582912.0f;
    float v[N];
    for (std::uint32_t k = 0; k < N; ++k) {
        v[k] = std::min(std::max(in[k] * 32768.0f + amount * TriangularNoise(counter + k), -65536.0f), 65536.0f);
    }
    std::int32_t r[N];
    for (std::size_t k = 0; k < N; ++k) r[k] = static_cast<std::int32_t>((v[k] + kRound) - kRound);
    // Clipped, never wrapped round.
    std::uint32_t clipped = 0;
    for (std::size_t k = 0; k < N; ++k) {
        clipped += static_cast<std::uint32_t>(r[k] > 32767) + static_cast<std::uint32_t>(r[k] < -32768);
        out[k] = static_cast<std::int16_t>(std::min(std::max(r[k], -32768), 32767));
    }
    return clipped;
}

// The 32-bit multiplies of the noise are slow in the baseline instruction set; where the
// system can pick a version at load time, a processor with AVX2 runs one built for it. Every
// version does the same arithmetic (no fused multiply-add), so the samples do not change.
#if defined(__x86_64__) && defined(__ELF__) && defined(__has_attribute)
#if __has_attribute(target_clones)
#define VELMORANT_WIDER_VECTORS __attribute__((target_clones("avx2", "default")))
#endif
#endif
#ifndef VELMORANT_WIDER_VECTORS
#define VELMORANT_WIDER_VECTORS
#endif

VELMORANT_WIDER_VECTORS inline std::uint64_t Quantize(const float* in, std::int16_t* out, std::size_t n, std::uint32_t counter, float amount) {
    constexpr std::size_t kChunk = 64;
    std::uint64_t clipped = 0;
    std::size_t i = 0;
    for (; i + kChunk <= n; i += kChunk) {
        clipped += QuantizeChunk<kChunk>(in + i, out + i, counter + static_cast<std::uint32_t>(i), amount);
    }
    for (; i < n; ++i) {
        clipped += QuantizeChunk<1>(in + i, out + i, counter + static_cast<std::uint32_t>(i), amount);
    }
    return clipped;
}

class Quantizer {
public:
    Quantizer(bool dither, std::uint64_t seed)
        : dither_(dither), counter_(static_cast<std::uint32_t>(seed ^ (seed >> 32))) {}
    void run(std::span<const float> in, std::span<std::int16_t> out) {
        clipped_ += Quantize(in.data(), out.data(), in.size(), counter_, dither_ ? 1.0f : 0.0f);
        counter_ += static_cast<std::uint32_t>(in.size());
    }
    std::uint64_t clipped() const { return clipped_; }

private:
    bool dither_;
    std::uint32_t counter_;
    std::uint64_t clipped_ = 0;
};

// Weights from each input channel to left and right; each side sums to at most 1, so the
// down-mix itself cannot clip.
// Unused in a build without the resampler.
[[maybe_unused]] std::vector<std::array<float, 2>> DownmixWeights(const AudioInfo& info) {
    const auto channels = static_cast<std::size_t>(info.channels);
    std::vector<std::array<float, 2>> weights(channels);
    for (std::size_t c = 0; c < channels; ++c) {
        const Speaker speaker = c < info.speakers.size() ? info.speakers[c] : Speaker::kUnknown;
        switch (speaker) {
            case Speaker::kLeft: weights[c] = {1.0f, 0.0f}; break;
            case Speaker::kRight: weights[c] = {0.0f, 1.0f}; break;
            case Speaker::kCentre: weights[c] = {0.70710678f, 0.70710678f}; break;
            case Speaker::kLowFrequency: weights[c] = {0.0f, 0.0f}; break;
            case Speaker::kUnknown: weights[c] = c % 2 == 0 ? std::array{1.0f, 0.0f} : std::array{0.0f, 1.0f}; break;
        }
    }
    for (int side = 0; side < 2; ++side) {
        float sum = 0;
        for (const auto& w : weights) sum += w[side];
        if (sum > 1.0f) {
            for (auto& w : weights) w[side] /= sum;
        }
    }
    return weights;
}

#ifdef VELMORANT_AUDIO_LIBRARIES
struct SoxrDeleter {
    void operator()(soxr_t s) const { soxr_delete(s); }
};
#endif

}  // namespace

LoopPoints RescaleLoop(LoopPoints loop, int fromRate, int toRate, std::uint64_t frames) {
    const auto scale = [&](std::uint64_t position) {
        // Exact in integers: a position of 2^32 frames times 768000 still fits 64 bits.
        return (position * static_cast<std::uint64_t>(toRate) + static_cast<std::uint64_t>(fromRate) / 2) /
               static_cast<std::uint64_t>(fromRate);
    };
    LoopPoints out{scale(loop.start), scale(loop.end + 1)};
    out.end = out.end > out.start ? out.end - 1 : out.start;
    const std::uint64_t last = frames > 0 ? frames - 1 : 0;
    out.start = std::min(out.start, last);
    out.end = std::min(out.end, last);
    return out;
}

ConversionPlan PlanConversion(const AudioInfo& info, const ConversionOptions& options) {
    ConversionPlan plan;
    if (info.channels > 2 && !options.downmixToStereo) {
        plan.error = core::Format("%s: the file has %d channels; samples are mono or stereo (a down-mix to stereo "
                                  "can be asked for)",
                                  info.name.c_str(), info.channels);
        return plan;
    }
    plan.downmix = info.channels > 2;
    plan.outChannels = std::min(info.channels, 2);
    plan.resample = info.sampleRate != kTargetRate;
    plan.outFrames = plan.resample
                         ? (info.frames * kTargetRate + static_cast<std::uint64_t>(info.sampleRate) / 2) /
                               static_cast<std::uint64_t>(info.sampleRate)
                         : info.frames;
    if (plan.outFrames == 0 || plan.outFrames > kMaxPayloadBytes / (2u * static_cast<unsigned>(plan.outChannels))) {
        plan.error = core::Format("%s: %llu frames at 44100 Hz do not fit in a sample file", info.name.c_str(),
                                  static_cast<unsigned long long>(plan.outFrames));
        return plan;
    }
    plan.gainDb = options.gainDb;
    const bool wholeSteps = info.encoding == Encoding::kPcm8 || info.encoding == Encoding::kPcm16;
    plan.requantize = plan.resample || plan.downmix || plan.gainDb != 0.0 || !wholeSteps;
    plan.dither = plan.requantize && options.dither;
    plan.ditherSeed = options.ditherSeed;
    plan.detectPitch = options.detectPitch;
    if (info.facts.loop) {
        // At the same rate this only brings a loop reaching past the sound inside it.
        plan.loopIn = info.facts.loop;
        plan.loopOut = RescaleLoop(*info.facts.loop, info.sampleRate, kTargetRate, plan.outFrames);
    }
    return plan;
}

ConversionResult Convert(AudioReader& reader, const ConversionPlan& plan, PcmSink& sink) {
    const AudioInfo& info = reader.info();
    ConversionResult result;
    const auto fail = [&result](std::string why) {
        result.error = std::move(why);
        return result;
    };
    if (!plan.error.empty()) {
        return fail(plan.error);
    }
#ifndef VELMORANT_AUDIO_LIBRARIES
    (void)sink;
    return fail(info.name + ": this build has no resampler");
#else
    const auto inChannels = static_cast<std::size_t>(info.channels);
    const auto outChannels = static_cast<std::size_t>(plan.outChannels);
    const double ratio = static_cast<double>(kTargetRate) / info.sampleRate;

    std::unique_ptr<std::remove_pointer_t<soxr_t>, SoxrDeleter> resampler;
    if (plan.resample) {
        const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
        const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
        // One thread per file: the files themselves run in parallel.
        const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
        soxr_error_t error = nullptr;
        resampler.reset(soxr_create(info.sampleRate, kTargetRate, static_cast<unsigned>(outChannels), &error, &io,
                                    &quality, &runtime));
        if (error != nullptr || !resampler) {
            return fail(core::Format("%s: the resampler cannot start (%s)", info.name.c_str(),
                                     error != nullptr ? error : "unknown error"));
        }
    }
    const auto weights = plan.downmix ? DownmixWeights(info) : std::vector<std::array<float, 2>>{};
    const auto gain = static_cast<float>(std::pow(10.0, plan.gainDb / 20.0));

    std::vector<float> input(kBlockFrames * inChannels);
    std::vector<float> mixed(kBlockFrames * outChannels);
    const std::size_t resampledCapacity = static_cast<std::size_t>(kBlockFrames * std::max(ratio, 1.0)) + 64;
    std::vector<float> resampled(resampledCapacity * outChannels);
    std::vector<std::int16_t> samples(std::max(resampledCapacity, kBlockFrames) * outChannels);
    std::vector<float> pitch;
    Quantizer quantizer(plan.dither, plan.ditherSeed);
    bool sinkFailed = false;

    // The resampler's output can differ from the planned length by a frame: it is cut or
    // padded so that the header's frame count and the loop stay exact.
    const auto emit = [&](std::span<const float> frames) {
        const std::uint64_t room = plan.outFrames - result.framesWritten;
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(frames.size() / outChannels, room));
        if (n == 0 || sinkFailed) return;
        const auto used = frames.first(n * outChannels);
        if (plan.detectPitch && pitch.size() < kPitchFrames) {
            for (std::size_t f = 0; f < n && pitch.size() < kPitchFrames; ++f) {
                float sum = 0;
                for (std::size_t c = 0; c < outChannels; ++c) sum += used[f * outChannels + c];
                pitch.push_back(sum / static_cast<float>(outChannels));
            }
        }
        const std::span<std::int16_t> out(samples.data(), used.size());
        quantizer.run(used, out);
        sinkFailed = !sink.Write(out);
        result.framesWritten += n;
    };
    const auto resampleInto = [&](const float* in, std::size_t frames) {
        std::size_t consumed = 0;
        do {
            std::size_t used = 0;
            std::size_t made = 0;
            soxr_process(resampler.get(), in == nullptr ? nullptr : in + consumed * outChannels, frames - consumed,
                         &used, resampled.data(), resampledCapacity, &made);
            consumed += used;
            emit({resampled.data(), made * outChannels});
            if (made == 0 && (in == nullptr || used == 0)) break;
        } while (in == nullptr || consumed < frames);
    };

    while (!sinkFailed) {
        const std::optional<std::size_t> got = reader.Read(input);
        if (!got) {
            return fail(reader.error());
        }
        if (*got == 0) break;
        const std::size_t n = *got;
        float* block = input.data();
        if (plan.downmix) {
            for (std::size_t f = 0; f < n; ++f) {
                float left = 0;
                float right = 0;
                for (std::size_t c = 0; c < inChannels; ++c) {
                    left += input[f * inChannels + c] * weights[c][0];
                    right += input[f * inChannels + c] * weights[c][1];
                }
                mixed[f * 2] = left;
                mixed[f * 2 + 1] = right;
            }
            block = mixed.data();
        }
        if (gain != 1.0f) {
            for (float& v : std::span<float>(block, n * outChannels)) v *= gain;
        }
        if (resampler) {
            resampleInto(block, n);
        } else {
            emit({block, n * outChannels});
        }
    }
    if (resampler && !sinkFailed) {
        resampleInto(nullptr, 0);
    }
    while (!sinkFailed && result.framesWritten < plan.outFrames) {
        std::fill(mixed.begin(), mixed.end(), 0.0f);
        emit(mixed);
    }
    if (sinkFailed) {
        return fail(core::Format("%s: the converted sound cannot be written", info.name.c_str()));
    }
    result.clippedSamples = quantizer.clipped();
    if (plan.detectPitch) {
        result.pitchHz = DetectPitch(pitch, kTargetRate);
    }
    return result;
#endif
}

std::string ReportLine(const AudioInfo& info, const ConversionPlan& plan, const ConversionResult& result,
                       std::span<const std::string> notes) {
    std::string line = core::Format("%s: %s %d Hz", info.name.c_str(), EncodingText(info.encoding).c_str(),
                                    info.sampleRate);
    if (plan.downmix) {
        line += core::Format(" %d channels", info.channels);
    }
    line += core::Format(" \u2192 16-bit %d Hz", kTargetRate);
    if (plan.downmix) {
        line += " stereo";
    }
    if (plan.requantize) {
        line += plan.dither ? ", dithered" : ", rounded without dither";
    }
    if (plan.gainDb != 0.0) {
        line += core::Format(", gain %+.1f dB", plan.gainDb);
    }
    if (plan.loopIn && plan.loopOut) {
        line += core::Format(", loop %llu\u2013%llu", static_cast<unsigned long long>(plan.loopIn->start),
                             static_cast<unsigned long long>(plan.loopIn->end));
        if (!(*plan.loopIn == *plan.loopOut)) {
            line += core::Format(" \u2192 %llu\u2013%llu", static_cast<unsigned long long>(plan.loopOut->start),
                                 static_cast<unsigned long long>(plan.loopOut->end));
        }
    }
    if (result.clippedSamples > 0) {
        line += core::Format(", %llu sample%s clipped", static_cast<unsigned long long>(result.clippedSamples),
                             result.clippedSamples == 1 ? "" : "s");
    }
    for (const std::string& note : notes) {
        line += ", " + note;
    }
    return line;
}

}  // namespace velmorant::audio
