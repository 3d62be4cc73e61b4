#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <numbers>

#include "support/AudioFixtures.h"
#include "audio/Conversion.h"
#include "core/Bytes.h"
#include "support/TempDir.h"

namespace velmorant::audio {
namespace {

using testing::MemorySink;
using testing::TempDir;

struct Converted {
    std::string error;
    AudioInfo info;
    ConversionPlan plan;
    ConversionResult result;
    std::vector<std::int16_t> samples;
    std::string report;
};

Converted ConvertFile(const std::string& path, const ConversionOptions& options) {
    Converted c;
    auto opened = AudioReader::Open(path);
    if (!opened.reader) {
        c.error = opened.error;
        return c;
    }
    c.info = opened.reader->info();
    c.plan = PlanConversion(c.info, options);
    MemorySink sink;
    c.result = Convert(*opened.reader, c.plan, sink);
    c.error = c.result.error;
    c.samples = std::move(sink.samples_);
    c.report = ReportLine(c.info, c.plan, c.result);
    return c;
}

using Decorate = std::function<void(const std::string&)>;

Decorate WithSamplerLoop(std::uint32_t start, std::uint32_t end) {
    return [=](const std::string& path) { testing::AppendChunk(path, "smpl", testing::SamplerBody(60, 0, {{start, end}})); };
}

// AIFF INST with its sustain loop between markers 1 and 2, and the MARK chunk holding them.
Decorate WithAiffLoop(int baseNote, int detune, std::uint32_t begin, std::uint32_t end) {
    return [=](const std::string& path) {
        core::ByteBuilder mark;
        mark.u16be(2);
        for (const auto& [id, at] : {std::pair{1, begin}, std::pair{2, end}}) {
            mark.u16be(static_cast<std::uint16_t>(id));
            mark.u32be(at);
            mark.u8(1);
            mark.text("m");  // count byte + one character: even, no pad
        }
        testing::AppendChunk(path, "MARK", mark.data());
        core::ByteBuilder inst;
        inst.u8(static_cast<std::uint8_t>(baseNote));
        inst.u8(static_cast<std::uint8_t>(static_cast<std::int8_t>(detune)));
        inst.bytes(std::vector<std::uint8_t>{0, 127, 1, 127});
        inst.u16be(0);
        inst.u16be(1);  // sustain: forward
        inst.u16be(1);
        inst.u16be(2);
        inst.zeros(6);  // release loop off
        testing::AppendChunk(path, "INST", inst.data());
    };
}

ConversionOptions Options(bool dither, bool downmix) {
    ConversionOptions o;
    o.dither = dither;
    o.downmixToStereo = downmix;
    return o;
}

TEST(ConversionTest, ConvertsToSixteenBitsAt44100WithTheLoopMoved) {
    const struct {
        const char* file;
        int format;
        int rate;
        int channels;
        std::size_t frames;
        Decorate decorate;
        ConversionOptions options;
        const char* report;
        std::optional<LoopPoints> loop;
    } rows[] = {  // (a 24-bit WAV with its loop and a float one are converted by the command-line tests)
        // AIFF markers sit between frames: the loop 1000..5001 plays frames 1000 to 5000.
        {"organ.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 22050, 1, 22050, WithAiffLoop(57, 0, 1000, 5001), {},
         "organ.aiff: 16-bit 22050 Hz → 16-bit 44100 Hz, dithered, loop 1000–5000 → 2000–10001", LoopPoints{2000, 10001}},
        // A loop reaching past the end of the sound is brought inside it.
        {"tail.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 1, 4800, WithSamplerLoop(100, 9000), {},
         "tail.wav: 24-bit 48000 Hz → 16-bit 44100 Hz, dithered, loop 100–9000 → 92–4409", LoopPoints{92, 4409}},
        {"quad.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 4, 4800, nullptr, Options(true, true),
         "quad.wav: 16-bit 48000 Hz 4 channels → 16-bit 44100 Hz stereo, dithered", std::nullopt},
        {"wide.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_32, 88200, 1, 8821, nullptr, Options(false, false),
         "wide.wav: 32-bit 88200 Hz → 16-bit 44100 Hz, rounded without dither", std::nullopt},
        {"lofi.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 11025, 1, 1000, nullptr, {},
         "lofi.wav: 8-bit 11025 Hz → 16-bit 44100 Hz, dithered", std::nullopt},
        {"hot.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 1, 1000, nullptr, {},
         "hot.wav: 32-bit float 44100 Hz → 16-bit 44100 Hz, dithered, 3 samples clipped", std::nullopt}};
    for (const auto& c : rows) {
        TempDir dir;
        const std::string path = dir({c.file});
        testing::SoundRecipe sound{c.format, c.rate, c.channels, c.frames, testing::Sine(441, c.rate, 0.25)};
        if (std::string(c.file) == "hot.wav") {
            sound.sample = [](std::size_t f, int) { return f % 100 == 7 && f < 300 ? 1.5 : 0.1; };
        }
        testing::WriteSound(path, sound);
        if (c.decorate) c.decorate(path);

        const Converted out = ConvertFile(path, c.options);
        ASSERT_EQ(out.error, "") << c.file;
        EXPECT_NEAR(static_cast<double>(out.plan.outFrames), static_cast<double>(c.frames) * 44100.0 / c.rate, 1.0) << c.file;
        EXPECT_EQ(out.result.framesWritten, out.plan.outFrames);
        EXPECT_EQ(out.samples.size(), out.plan.outFrames * static_cast<std::size_t>(out.plan.outChannels));
        EXPECT_EQ(out.plan.outChannels, std::min(c.channels, 2));
        EXPECT_EQ(out.report, c.report);
        EXPECT_EQ(out.plan.loopOut, c.loop) << c.file;
        EXPECT_EQ(ConvertFile(path, c.options).samples, out.samples) << "the same file dithers the same way";
    }
}

// Sounds already made of whole 16-bit steps come out unchanged: no dither noise is added
// where nothing is requantised, and the scaling is exact.
TEST(ConversionTest, KeepsEveryStep) {
    const std::tuple<const char*, int, bool, double> rows[] = {  // file, format, dither, one 16-bit step written as
        {"a.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, true, 1.0}, {"a.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, true, 1.0},
        {"a.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, false, 256.0}, {"f.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, false, 1.0 / 32768}};
    const auto step = [](std::size_t f, int channel) {
        return static_cast<int>((f * 7919 + static_cast<std::size_t>(channel) * 13) % 65536) - 32768;
    };
    for (const auto& [file, format, dither, scale] : rows) {
        TempDir dir;
        const std::string path = dir({file});
        testing::WriteSound(path, {format, 44100, 2, 3000, [&step, factor = scale](std::size_t f, int channel) { return step(f, channel) * factor; }, true});
        const Converted out = ConvertFile(path, Options(dither, false));
        ASSERT_EQ(out.error, "");
        ASSERT_EQ(out.samples.size(), 6000u);
        for (std::size_t i = 0; i < out.samples.size(); ++i) {
            ASSERT_EQ(out.samples[i], step(i / 2, static_cast<int>(i % 2))) << file << " " << i;
        }
    }
}

// The tone after conversion: its frequency from interpolated rising zero crossings, and the
// noise left after fitting a sine of the source frequency.
TEST(ConversionTest, KeepsThePitchAndDithersBelowMinus90dBFS) {
    for (const auto& [format, rate] : {std::pair{SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000}, {SF_FORMAT_WAV | SF_FORMAT_FLOAT, 96000},
                                       {SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 32000}, {SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 44100}}) {
        constexpr double kHz = 1234.5;
        TempDir dir;
        const std::string path = dir({"tone.wav"});
        testing::WriteSound(path, {format, rate, 1, static_cast<std::size_t>(rate) * 2, testing::Sine(kHz, rate, 0.5)});
        const Converted out = ConvertFile(path, {});
        ASSERT_EQ(out.error, "");
        const std::vector<std::int16_t>& s = out.samples;
        ASSERT_GT(s.size(), 80000u);

        const std::size_t from = 4410;
        const std::size_t to = s.size() - 4410;
        std::vector<double> crossings;
        for (std::size_t i = from; i < to; ++i) {
            if (s[i - 1] < 0 && s[i] >= 0) {
                crossings.push_back(static_cast<double>(i - 1) + static_cast<double>(-s[i - 1]) / (s[i] - s[i - 1]));
            }
        }
        ASSERT_GT(crossings.size(), 1000u);
        const double hz = static_cast<double>(crossings.size() - 1) * 44100.0 / (crossings.back() - crossings.front());
        EXPECT_LT(std::abs(1200.0 * std::log2(hz / kHz)), 1.0) << hz;

        // Least squares for a·sin + b·cos + d at the source frequency.
        double ss = 0, sc = 0, cc = 0, s1 = 0, c1 = 0, ys = 0, yc = 0, y1 = 0;
        const double w = 2 * std::numbers::pi * kHz / 44100.0;
        for (std::size_t i = from; i < to; ++i) {
            const double si = std::sin(w * static_cast<double>(i)), ci = std::cos(w * static_cast<double>(i)), y = s[i];
            ss += si * si, sc += si * ci, cc += ci * ci, s1 += si, c1 += ci, ys += y * si, yc += y * ci, y1 += y;
        }
        const double n = static_cast<double>(to - from);
        // Solve the 3×3 normal equations by Cramer's rule.
        const auto det = [](double a, double b, double c3, double d, double e, double f, double g, double h, double k) {
            return a * (e * k - f * h) - b * (d * k - f * g) + c3 * (d * h - e * g);
        };
        const double D = det(ss, sc, s1, sc, cc, c1, s1, c1, n);
        const double a = det(ys, sc, s1, yc, cc, c1, y1, c1, n) / D;
        const double b = det(ss, ys, s1, sc, yc, c1, s1, y1, n) / D;
        const double d = det(ss, sc, ys, sc, cc, yc, s1, c1, y1) / D;
        double noise = 0;
        for (std::size_t i = from; i < to; ++i) {
            const double e = s[i] - (a * std::sin(w * static_cast<double>(i)) + b * std::cos(w * static_cast<double>(i)) + d);
            noise += e * e;
        }
        // dBFS against a full-scale sine, whose RMS is 32768 / √2.
        const double floorDb = 20 * std::log10(std::sqrt(noise / n) / (32768.0 / std::numbers::sqrt2));
        EXPECT_LT(floorDb, -90.0);
        EXPECT_GT(floorDb, -100.0) << "a dither this quiet is no TPDF dither";
    }
}

}  // namespace
}  // namespace velmorant::audio
