#include <gtest/gtest.h>
#include <sndfile.h>


#include "audio/AudioSet.h"
#include "audio/Loudness.h"
#include "audio/PcmFileSink.h"
#include "core/File.h"
#include "support/AudioFixtures.h"
#include "support/CreateFixtures.h"
#include "support/TempDir.h"

namespace velmorant::audio {
namespace {

using testing::TempDir;

// A small multisample: keys from the names (every smpl says 60, a tool's default), one gain
// for the set, the pitch heard checked against the key, and a broken file named, not fatal.
TEST(AudioSetTest, PlansKeysAndGainThenConvertsEveryFile) {
    TempDir dir;
    const std::vector<std::string> paths{dir({"bass-c2.wav"}), dir({"bass-c4.wav"}), dir({"bass-c5.wav"}),
                                         dir({"bass-c6.wav"})};
    // C2 played as C2; "c4" is really a C3 (130.8 Hz); C5 as C5; the last is no audio at all.
    testing::WriteSound(paths[0], {SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 2, 48000, testing::Sine(65.41, 48000, 0.5)});
    testing::WriteSound(paths[1], {SF_FORMAT_WAV | SF_FORMAT_PCM_24, 44100, 1, 44100, testing::Sine(130.81, 44100, 0.25)});
    testing::WriteSound(paths[2], {SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, 44100, testing::Sine(523.25, 44100, 0.25)});
    for (std::size_t i = 0; i < 3; ++i) testing::AppendChunk(paths[i], "smpl", testing::SamplerBody(60, 0, std::nullopt));
    testing::WriteTextFile(paths[3], "not audio");

    SetOptions options;
    options.conversion.detectPitch = true;
    options.loudness = {LoudnessMode::kPeak, -1.0};
    options.threads = 2;
    const SetPlan set = PlanSet(paths, options);
    ASSERT_EQ(set.files.size(), 4u);
    EXPECT_FALSE(set.ok());
    EXPECT_TRUE(set.files[3].error.starts_with("bass-c6.wav: ")) << set.files[3].error;
    EXPECT_EQ(set.files[0].root.key, 36);
    EXPECT_EQ(set.files[1].root.key, 60);
    EXPECT_EQ(set.files[2].root.key, 72);
    EXPECT_EQ(set.files[0].root.evidence, KeyEvidence::kFileName);
    EXPECT_NEAR(set.gainDb, -1.0 + 6.02, 0.05);

    std::vector<std::vector<std::int16_t>> sounds(paths.size());
    const auto outcomes = ConvertSet(set, options, [&](std::size_t i, const FilePlan&) {
        return std::make_unique<testing::MemorySink>(&sounds[i]);
    });
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(outcomes[i].result.error, "") << i;
        EXPECT_EQ(sounds[i].size(), set.files[i].plan.outFrames * static_cast<std::size_t>(set.files[i].plan.outChannels));
    }
    EXPECT_EQ(outcomes[0].report, "bass-c2.wav: 24-bit 48000 Hz → 16-bit 44100 Hz, dithered, gain +5.0 dB");
    EXPECT_EQ(outcomes[1].report,
              "bass-c4.wav: 24-bit 44100 Hz → 16-bit 44100 Hz, dithered, gain +5.0 dB, the pitch heard, 130.8 Hz (C3), "
              "lies an octave or more from the root key C4 (60)");
    EXPECT_EQ(outcomes[2].report, "bass-c5.wav: 16-bit 44100 Hz → 16-bit 44100 Hz, dithered, gain +5.0 dB");
    EXPECT_EQ(outcomes[3].result.error, set.files[3].error);

    // Each file's dither starts from the seed, whichever thread converts it.
    options.threads = 1;
    std::vector<std::vector<std::int16_t>> alone(paths.size());
    ConvertSet(set, options, [&](std::size_t i, const FilePlan&) { return std::make_unique<testing::MemorySink>(&alone[i]); });
    EXPECT_EQ(alone, sounds);
}

// The file holds the caller's header and then every sample big-endian; a file whose sound fails
// half-way never appears.
TEST(PcmFileSinkTest, WritesHeaderThenBigEndianSamplesOnlyWhenFinished) {
    TempDir dir;
    const std::vector<std::string> paths{dir({"ok.aiff"}), dir({"cut.flac"})};
    testing::WriteSound(paths[0], {SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 44100, 2, 3,
                                   [](std::size_t f, int c) { return (c == 0 ? 1.0 : -1.0) * static_cast<double>(f + 1); }, true});
    testing::WriteSound(paths[1], {SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 1, 50000, testing::Sine(440, 44100, 0.5)});
    const auto flac = testing::ReadBytes(paths[1]);
    testing::WriteBytes(paths[1], {flac.begin(), flac.begin() + static_cast<std::ptrdiff_t>(flac.size() / 2)});

    SetOptions options;
    const SetPlan set = PlanSet(paths, options);
    const std::vector<std::uint8_t> header{'H', 'E', 'A', 'D'};
    const auto outcomes = ConvertSet(set, options, [&](std::size_t i, const FilePlan&) {
        return std::make_unique<PcmFileSink>(dir({"out" + std::to_string(i)}), header);
    });
    EXPECT_EQ(outcomes[0].result.error, "");
    EXPECT_EQ(testing::ReadBytes(dir({"out0"})),
              (std::vector<unsigned char>{'H', 'E', 'A', 'D', 0, 1, 0xFF, 0xFF, 0, 2, 0xFF, 0xFE, 0, 3, 0xFF, 0xFD}));
    EXPECT_NE(outcomes[1].result.error.find("cut.flac: the file ends after"), std::string::npos) << outcomes[1].result.error;
    EXPECT_FALSE(core::FileExists(dir({"out1"})));
    EXPECT_EQ(core::ListDirectory(dir.path())->size(), 3u) << "a temporary file was left";
}

// Texts that name a target, and ones refused naming themselves (mode kNone).
TEST(LoudnessTest, TargetsParseOrSayWhy) {
    const std::tuple<const char*, LoudnessMode, double> rows[] = {
        {"peak:-1dBFS", LoudnessMode::kPeak, -1}, {"peak:-0.5", LoudnessMode::kPeak, -0.5}, {"lufs:-14", LoudnessMode::kLufs, -14},
        {"LUFS:-23LUFS", LoudnessMode::kLufs, -23}, {"peak:+3dBFS", LoudnessMode::kNone, 0}, {"lufs:-90", LoudnessMode::kNone, 0},
        {"rms:-10", LoudnessMode::kNone, 0}, {"lufs:", LoudnessMode::kNone, 0}, {"peak:-1dB", LoudnessMode::kNone, 0}};
    for (const auto& [text, mode, level] : rows) {
        std::string error;
        const auto target = ParseLoudnessTarget(text, error);
        ASSERT_EQ(target.has_value(), mode != LoudnessMode::kNone) << text;
        if (target) {
            EXPECT_EQ(target->mode, mode);
            EXPECT_DOUBLE_EQ(target->level, level);
        } else {
            EXPECT_NE(error.find(text), std::string::npos) << error;
        }
    }
}

Measured MeasureFile(const std::string& path, LoudnessMode mode) {
    auto opened = AudioReader::Open(path);
    if (!opened.reader) return {std::nullopt, opened.error};
    return MeasureLoudness(*opened.reader, mode);
}

// One gain for the whole set: the loudest file meets the target and the others keep their
// distance from it.
TEST(SetGainTest, BringsTheLoudestFileToTheTarget) {
    TempDir dir;
    const std::vector<double> amplitudes{0.5, 0.125, 0.0};
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < amplitudes.size(); ++i) {
        paths.push_back(dir({"layer" + std::to_string(i) + ".wav"}));
        testing::WriteSound(paths.back(), {SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 2, 96000,
                                           testing::Sine(997, 48000, amplitudes[i])});
    }
    for (const auto& [mode, text] : {std::pair{LoudnessMode::kPeak, "peak:-1dBFS"}, std::pair{LoudnessMode::kLufs, "lufs:-14"}}) {
        std::vector<LoudnessMeasure> measures;
        for (const std::string& p : paths) {
            const Measured m = MeasureFile(p, mode);
            ASSERT_TRUE(m.measure) << m.error;
            measures.push_back(*m.measure);
        }
        std::string error;
        const LoudnessTarget target = *ParseLoudnessTarget(text, error);
        const double gain = SetGainDb(measures, target);
        const double loudest = mode == LoudnessMode::kPeak ? measures[0].truePeakDb : measures[0].lufs;
        EXPECT_NEAR(loudest + gain, target.level, 1e-9) << text;
        // 0.5 is -6.02 dBFS; a 1 kHz sine on both channels measures as many LUFS as its peak has dBFS.
        EXPECT_NEAR(loudest, -6.02, 0.1) << text;
        const double second = mode == LoudnessMode::kPeak ? measures[1].truePeakDb : measures[1].lufs;
        EXPECT_NEAR(loudest - second, 12.04, 0.1) << text;
    }
    EXPECT_EQ(SetGainDb(std::vector<LoudnessMeasure>{LoudnessMeasure{}}, {LoudnessMode::kLufs, -14}), 0.0);
}

}  // namespace
}  // namespace velmorant::audio
