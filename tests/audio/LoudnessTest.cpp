#include <gtest/gtest.h>
#include <sndfile.h>

#include <atomic>
#include <stdexcept>

#include "support/AudioFixtures.h"
#include "audio/ConversionPool.h"
#include "audio/Loudness.h"
#include "support/TempDir.h"

namespace velmorant::audio {
namespace {

using testing::TempDir;

struct TargetCase {
    const char* text;
    LoudnessMode mode;  // kNone: refused
    double level;
};

class LoudnessTargetTest : public ::testing::TestWithParam<TargetCase> {};

TEST_P(LoudnessTargetTest, ParsesOrSaysWhy) {
    const TargetCase& c = GetParam();
    std::string error;
    const auto target = ParseLoudnessTarget(c.text, error);
    if (c.mode == LoudnessMode::kNone) {
        EXPECT_FALSE(target);
        EXPECT_NE(error.find(c.text), std::string::npos) << error;
        return;
    }
    ASSERT_TRUE(target) << error;
    EXPECT_EQ(target->mode, c.mode);
    EXPECT_DOUBLE_EQ(target->level, c.level);
}

INSTANTIATE_TEST_SUITE_P(Texts, LoudnessTargetTest,
                         ::testing::Values(TargetCase{"peak:-1dBFS", LoudnessMode::kPeak, -1},
                                           TargetCase{"peak:-0.5", LoudnessMode::kPeak, -0.5},
                                           TargetCase{"lufs:-14", LoudnessMode::kLufs, -14},
                                           TargetCase{"LUFS:-23LUFS", LoudnessMode::kLufs, -23},
                                           TargetCase{"peak:+3dBFS", LoudnessMode::kNone, 0},
                                           TargetCase{"lufs:-90", LoudnessMode::kNone, 0},
                                           TargetCase{"rms:-10", LoudnessMode::kNone, 0},
                                           TargetCase{"lufs:", LoudnessMode::kNone, 0},
                                           TargetCase{"peak:-1dB", LoudnessMode::kNone, 0}));

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

TEST(ConversionPoolTest, RunsEveryJobOnceAndPassesOnAFailure) {
    std::vector<std::atomic<int>> runs(200);
    RunInParallel(runs.size(), 3, [&](std::size_t i) { ++runs[i]; });
    for (const auto& r : runs) EXPECT_EQ(r.load(), 1);
    EXPECT_THROW(RunInParallel(50, 2, [](std::size_t i) { if (i == 7) throw std::runtime_error("x"); }),
                 std::runtime_error);
}

}  // namespace
}  // namespace velmorant::audio
