#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sndfile.h>

#include <filesystem>

#include "cli/Command.h"
#include "core/File.h"
#include "formats/SampleFile.h"
#include "support/AudioFixtures.h"
#include "support/CliRun.h"
#include "support/CreateFixtures.h"
#include "support/TempDir.h"

namespace velmorant::cli {
namespace {

using testing::CliRun;
const auto Cli = &testing::RunVelmorantCli;

// Each file becomes a sample file the sample reader accepts, with the length, loop and
// report line the conversion promised.
struct ConvertCase {
    const char* file;
    testing::SoundRecipe sound;
    std::optional<std::pair<std::uint32_t, std::uint32_t>> smplLoop;
    const char* report;  // "" when the file is taken as it is
    std::uint32_t loopStart;
    std::uint32_t loopEnd;
};

class ConvertAudioTest : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertAudioTest, WritesASampleFileAndSaysWhatWasDone) {
    const ConvertCase& c = GetParam();
    testing::TempDir dir;
    const std::string source = dir({c.file});
    const std::string afs = dir({"out.afs"});
    testing::SoundRecipe sound = c.sound;
    sound.sample = testing::Sine(440, sound.sampleRate, 0.25);
    testing::WriteSound(source, sound);
    if (c.smplLoop) testing::AppendChunk(source, "smpl", testing::SamplerBody(60, 0, c.smplLoop));

    const CliRun run = Cli({"convert", source, afs});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, (*c.report ? std::string(c.report) + "\n" : std::string()) + "Wrote " + afs + "\n");
    const formats::SampleRead read = formats::ReadSampleFile(afs);
    ASSERT_EQ(read.result, formats::SampleResult::kOk) << formats::DescribeSampleProblem(afs, read);
    const double frames = static_cast<double>(sound.frames) * 44100.0 / sound.sampleRate;
    EXPECT_NEAR(read.header.frames, frames, 1.0);
    EXPECT_EQ(read.header.stereo, sound.channels == 2);
    EXPECT_EQ(read.header.loopStart, c.loopStart);
    EXPECT_EQ(read.header.loopEnd, c.loopEnd);
    EXPECT_EQ(core::FileSize(afs), 48 + static_cast<std::int64_t>(read.header.frames) * 2 * sound.channels);

    if (!*c.report) {
        // Taken as it is: byte for byte what the strict path writes.
        ASSERT_EQ(Cli({"convert", "--strict", source, dir({"strict.afs"})}).status, kExitOk);
        EXPECT_EQ(testing::ReadBytes(afs), testing::ReadBytes(dir({"strict.afs"})));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ConvertAudioTest,
    ::testing::Values(
        ConvertCase{"piano-c4.wav", {SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 2, 96000, nullptr}, {{12000, 48000}},
                    "piano-c4.wav: 24-bit 48000 Hz → 16-bit 44100 Hz, dithered, loop 12000–48000 → 11025–44100",
                    11025, 44100},
        ConvertCase{"pad.wav", {SF_FORMAT_WAV | SF_FORMAT_FLOAT, 96000, 1, 30001, nullptr}, std::nullopt,
                    "pad.wav: 32-bit float 96000 Hz → 16-bit 44100 Hz, dithered", 0, 0},
        ConvertCase{"plain.wav", {SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 1000, nullptr}, {{10, 900}}, "", 10, 900}),
    [](const auto& row) { return std::string(row.param.file).substr(0, std::string(row.param.file).find_first_of(".-")); });

TEST(AudioCommandsTest, MultisampleTakesKeysFromNamesAndReportsEachConversion) {
    testing::TempDir dir;
    std::filesystem::create_directory(dir({"out"}));
    std::vector<std::string> files;
    for (const auto& [name, format] : {std::pair{"str c2.wav", SF_FORMAT_WAV}, {"str c4.aiff", SF_FORMAT_AIFF}, {"str c6.flac", SF_FORMAT_FLAC}}) {
        files.push_back(dir({name}));
        testing::WriteSound(files.back(), {format | SF_FORMAT_PCM_24, 48000, 1, 4800, nullptr});
    }
    for (const auto& [middleC, keys] : {std::pair{"C4", std::vector<int>{36, 60, 84}}, std::pair{"C3", std::vector<int>{48, 72, 96}}}) {
        std::vector<std::string> args{"multisample", "--out", dir({"out", "Str.afp"}), "--auto-map", "--middle-c", middleC};
        args.insert(args.end(), files.begin(), files.end());
        const CliRun run = Cli(args);
        ASSERT_EQ(run.status, kExitOk) << run.err;
        EXPECT_NE(run.out.find("  str c4.aiff: 24-bit 48000 Hz → 16-bit 44100 Hz, dithered\n"), std::string::npos) << run.out;
        const auto afi = testing::ReadBytes(dir({"out", "Str.afi"}));
        std::vector<int> roots;
        for (std::size_t at = 20; at + 100 <= afi.size(); at += 100) roots.push_back(afi[at + 74]);
        EXPECT_EQ(roots, keys) << middleC;
        std::filesystem::remove_all(dir({"out"}));
        std::filesystem::create_directory(dir({"out"}));
    }
}

TEST(AudioCommandsTest, DrumsPlacesFilesByTheirKeys) {
    testing::TempDir dir;
    const std::string kick = dir({"kick_036.wav"}), noise = dir({"noise.wav"});
    for (const std::string& path : {kick, noise}) testing::WriteSound(path, {SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 1, 4800, nullptr});
    const CliRun run = Cli({"drums", "--auto-map", kick, "--out", dir({"Kit.afp"})});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_NE(run.out.find("kick_036.wav: 32-bit float 48000 Hz → 16-bit 44100 Hz, dithered\n"), std::string::npos)
        << run.out;
    EXPECT_TRUE(core::FileExists(dir({"Kit310.afs"})));  // key index 31 plays note 36

    const CliRun unplaced = Cli({"drums", "--auto-map", noise, "--out", dir({"Other.afp"})});
    EXPECT_EQ(unplaced.status, kExitFailed);
    EXPECT_EQ(unplaced.err, "noise.wav: no root key in its chunks or its name; place it with --layer\n");
    EXPECT_EQ(Cli({"drums", kick}).status, kExitUsage);
}

TEST(AudioCommandsTest, ProbeNamesEveryFileAndFailsOnABrokenOne) {
    testing::TempDir dir;
    const std::string good = dir({"bass-a1.aiff"});
    const std::string bad = dir({"bad.wav"});
    testing::WriteSound(good, {SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 96000, 2, 960, nullptr});
    testing::WriteBytes(bad, {'R', 'I', 'F', 'F'});
    const CliRun run = Cli({"probe-audio", "--json", good, bad});
    EXPECT_EQ(run.status, kExitFailed);
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["files"][0]["sampleRate"], 96000);
    EXPECT_EQ(json["files"][0]["conversion"]["frames"], 441);
    EXPECT_EQ(json["files"][1]["error"], "bad.wav: not a WAV, AIFF or FLAC file");
    EXPECT_EQ(Cli({"probe-audio", good}).out,
              "bass-a1.aiff: AIFF, 24-bit, 96000 Hz, stereo, 960 frames (0.010 s)\n"
              "  root key A1 (33) from the file name\n"
              "  conversion: 24-bit 96000 Hz → 16-bit 44100 Hz, dithered\n");
    EXPECT_EQ(Cli({"probe-audio", "--normalize", "loud", good}).status, kExitUsage);
}

}  // namespace
}  // namespace velmorant::cli
