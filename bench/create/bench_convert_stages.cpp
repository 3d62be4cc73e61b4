// Where the time of one 24-bit 48 kHz stereo file's conversion goes, on one thread and from
// memory (no disk): decoding alone, decoding with dither to 16 bits, and the whole conversion
// with the resampler. The differences give the resampler's own cost per sample, the part
// that no change outside it can take away.
// Usage: bench_convert_stages [seconds of sound, default 29] [files, default 64] [threads, default 2]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <random>
#include <vector>

#include "audio/AudioFile.h"
#include "audio/Conversion.h"
#include "core/Bytes.h"

namespace {

using namespace velmorant;

std::vector<std::uint8_t> NoiseWave(int rate, std::size_t frames) {
    core::ByteBuilder b;
    const auto dataBytes = static_cast<std::uint32_t>(frames * 6);
    b.text("RIFF");
    b.u32le(36 + dataBytes);
    b.text("WAVEfmt ");
    b.u32le(16);
    b.u16le(1);
    b.u16le(2);
    b.u32le(static_cast<std::uint32_t>(rate));
    b.u32le(static_cast<std::uint32_t>(rate) * 6);
    b.u16le(6);
    b.u16le(24);
    b.text("data");
    b.u32le(dataBytes);
    std::vector<std::uint8_t> bytes = b.data();
    std::mt19937 random(1);
    for (std::size_t i = 0; i < dataBytes; ++i) bytes.push_back(static_cast<std::uint8_t>(random()));
    return bytes;
}

class NullSink final : public audio::PcmSink {
public:
    bool Write(std::span<const std::int16_t>) override { return true; }
};

double ProcessorSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// Processor seconds of the best of three runs of `stage` over the file.
template <typename Stage>
double Best(const std::vector<std::uint8_t>& wave, Stage stage) {
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        auto opened = audio::AudioReader::Open("bench.wav", std::make_unique<audio::MemorySource>(wave));
        if (!opened.reader) {
            std::fprintf(stderr, "%s\n", opened.error.c_str());
            std::exit(1);
        }
        const double start = ProcessorSeconds();
        stage(*opened.reader);
        best = std::min(best, ProcessorSeconds() - start);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 29.0;
    const int files = argc > 2 ? std::atoi(argv[2]) : 64;
    const int threads = argc > 3 ? std::max(1, std::atoi(argv[3])) : 2;
    const auto frames = static_cast<std::size_t>(seconds * 48000);
    audio::ConversionOptions options;
    options.detectPitch = true;  // as the builds ask

    const auto decode = [](audio::AudioReader& reader) {
        std::vector<float> block(32768 * 2);
        while (reader.Read(block).value_or(0) > 0) {
        }
    };
    const auto convert = [&](audio::AudioReader& reader) {
        NullSink sink;
        const auto result = audio::Convert(reader, audio::PlanConversion(reader.info(), options), sink);
        if (!result.error.empty()) {
            std::fprintf(stderr, "%s\n", result.error.c_str());
            std::exit(1);
        }
    };
    const double decoding = Best(NoiseWave(48000, frames), decode);
    // The same number of samples at the target rate: everything but the resampler.
    const double dithering = Best(NoiseWave(44100, frames * 44100 / 48000), convert);
    const double whole = Best(NoiseWave(48000, frames), convert);
    const double resampler = whole - dithering;
    const double samples = static_cast<double>(frames) * 2;

    std::printf("one file of %.0f s (%zu stereo frames), processor time on one thread:\n", seconds, frames);
    std::printf("  %-31s %6.1f ms\n", "decoding", decoding * 1e3);
    std::printf("  %-31s %6.1f ms\n", "decoding and dither (44.1 kHz)", dithering * 1e3);
    std::printf("  %-31s %6.1f ms\n", "the whole conversion (48 kHz)", whole * 1e3);
    std::printf("  %-31s %6.1f ms, %.1f ns per input sample (%.0f %% of the whole)\n", "the resampler alone",
                resampler * 1e3, resampler / samples * 1e9, 100 * resampler / whole);
    std::printf("%d files on %d threads: at least %.2f s of wall time, %.2f s of it the resampler's\n", files, threads,
                whole * files / threads, resampler * files / threads);
    return 0;
}
