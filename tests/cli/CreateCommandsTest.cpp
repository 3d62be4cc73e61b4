#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "cli/Command.h"
#include "core/File.h"
#include "support/CliRun.h"
#include "support/CreateFixtures.h"
#include "support/TempDir.h"

namespace velmorant::cli {
namespace {

using testing::CliRun;
const auto Cli = &testing::RunVelmorantCli;

class CreateCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directory(dir({"out"})); }
    std::string Wave(const std::string& name, std::optional<std::uint32_t> unity = {}, std::uint32_t rate = 44100) {
        testing::WaveLayout layout;
        layout.payload = testing::TonePayload(30, 300);
        layout.unityNote = unity;
        layout.sampleRate = rate;
        return testing::WriteWave(dir({name}), layout);
    }
    // The zones of the written multisample as (left, right, root).
    std::vector<std::tuple<int, int, int>> Zones() {
        const auto afi = testing::ReadBytes(dir({"out", "Piano.afi"}));
        std::vector<std::tuple<int, int, int>> zones;
        for (std::size_t at = 20; at + 100 <= afi.size(); at += 100) {
            zones.emplace_back(afi[at + 1], afi[at], afi[at + 74]);
        }
        return zones;
    }
    testing::TempDir dir;
};

TEST_F(CreateCommandsTest, ConvertForcesTheRootKeyAndTellsAFailureByItsStatus) {
    testing::WaveLayout layout;
    layout.payload = testing::CountingPayload(8);
    const std::string wav = testing::WriteWave(dir({"in.wav"}), layout);
    ASSERT_EQ(Cli({"convert", "--root-key", "48", wav, dir({"out.afs"})}).status, kExitOk);
    const auto bytes = testing::ReadBytes(dir({"out.afs"}));
    ASSERT_EQ(bytes.size(), 56u);
    EXPECT_EQ(bytes[15], 48);

    layout.format = 0x11;
    layout.bitsPerSample = 4;
    testing::WriteWave(wav, layout);
    const CliRun run = Cli({"convert", "--strict", wav, dir({"bad.afs"})});
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_EQ(run.err, "Cannot convert " + wav + ": status -1015, only uncompressed PCM samples are supported (" + wav +
                           " holds IMA ADPCM samples, format 0x0011)\n");
    EXPECT_FALSE(core::FileExists(dir({"bad.afs"})));
}

#ifndef _WIN32
// A file-size limit on a child stands in for a full disk. A sample that cannot be written fails
// the build, named with the system's reason; no program names it and the samples the build
// made are taken back.
TEST_F(CreateCommandsTest, ASampleThatCannotBeWrittenFailsTheBuildBeforeTheProgram) {
    testing::WaveLayout big;
    big.payload = testing::TonePayload(2000, 300);
    const std::string bigWave = testing::WriteWave(dir({"big.wav"}), big);
    const std::string out = dir({"out", "K.afp"});
    const std::string log = dir({"log.txt"});
    const std::string command = std::string("trap '' XFSZ; prlimit --fsize=2048 '") + VELMORANT_CLI_PATH +
                                "' drums --layer 31=" + bigWave + " --layer 33=" + Wave("small.wav") + " --out " + out +
                                " >'" + log + "' 2>&1; echo status $? >>'" + log + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string printed = testing::ReadText(log);
    EXPECT_NE(printed.find("Error: " + out + " was not written: 1 of 2 samples could not be converted.\n" + bigWave +
                           ": status 1006, the sample file cannot be created (" + dir({"out", "K310.afs"}) +
                           ": File too large)\n"),
              std::string::npos) << printed;
    EXPECT_TRUE(printed.ends_with("status 1\n")) << printed;
    EXPECT_EQ(printed.find("Wrote"), std::string::npos) << printed;
    EXPECT_EQ(core::ListDirectory(dir({"out"})), std::vector<std::string>{});
}
#endif

TEST_F(CreateCommandsTest, MultisampleKeysThenLocksThenAutoMapAndSkipsRefusedFiles) {
    const CliRun run = Cli({"multisample", "--out", dir({"out", "Piano.afp"}), "--auto-map", "--keys", "1=40:30-50",
                            "--lock", "1", Wave("a.wav", 36), Wave("b.wav", 60), Wave("c.wav", 72)});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(Zones(), (std::vector<std::tuple<int, int, int>>{{0, 54, 36}, {30, 50, 40}, {55, 127, 72}}));
    EXPECT_TRUE(core::FileExists(dir({"out", "Piano040.afs"})));

    const CliRun refused = Cli({"multisample", "--strict", "--out", dir({"out", "Piano.afp"}), Wave("a.wav", 60),
                                Wave("slow.wav", std::nullopt, 22050), Wave("c.wav")});
    EXPECT_EQ(refused.status, kExitFailed);
    EXPECT_NE(refused.err.find("Information: Only 44.1 Khz samples supported !"), std::string::npos) << refused.err;
    EXPECT_EQ(Zones(), (std::vector<std::tuple<int, int, int>>{{60, 60, 60}, {72, 72, 72}}));
}

TEST_F(CreateCommandsTest, DrumsLayersKitFileAndProgram) {
    // The "@" inside the file name is part of the path; only a final "@digits" is a bound.
    const std::string snare = Wave("snare@2.wav");
    const CliRun run = Cli({"drums", "--layer", "31=" + Wave("kick.wav"), "--layer", "31=" + snare + "@100",
                            "--layer", "33=" + snare, "--save-kit", dir({"kit.fdk"}), "--out", dir({"Kit.afp"})});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_NE(testing::ReadText(dir({"kit.fdk"})).find("\r\n31|2|1|-1|1|0|" + dir({"kick.wav"}) + "|63|" + snare + "|100||0||0|\r\n"),
              std::string::npos);
    EXPECT_EQ(core::FileSize(dir({"Kit.afp"})), 28280);
    for (const char* sample : {"Kit310.afs", "Kit311.afs", "Kit330.afs"}) {
        EXPECT_TRUE(core::FileExists(dir({sample}))) << sample;
    }
    // The saved kit loads back; saving over it is refused.
    const CliRun again = Cli({"drums", "--kit", dir({"kit.fdk"}), "--save-kit", dir({"kit.fdk"})});
    EXPECT_EQ(again.status, kExitFailed);
    EXPECT_NE(again.err.find("Error: File not saved"), std::string::npos);
    EXPECT_NE(again.out.find("2 Oscillators (3 samples, "), std::string::npos);
}

TEST_F(CreateCommandsTest, RefusalsExitWithTheirStatusAndBuildNothing) {
    const std::string wav = Wave("a.wav", 60);
    const std::string piano = dir({"out", "Piano.afp"});
    struct Run {
        std::vector<std::string> args;
        int status;
        std::string says = "";  // part of what standard error says
    };
    const std::vector<Run> runs = {
        {{"convert", wav}, kExitUsage},
        {{"convert", "--root-key", "-3", wav, dir({"x.afs"})}, kExitUsage},
        {{"multisample", "--out", piano, "--keys", "0=60:61-60", wav}, kExitUsage, "Left note must be lower than right note"},
        {{"multisample", "--out", piano, "--keys", "0=60:0-128", wav}, kExitUsage},
        {{"multisample", "--out", piano, "--lock", "3", wav}, kExitFailed},
        {{"drums", "--layer", "98=" + wav}, kExitUsage},
        {{"drums", "--layer", "x=" + wav}, kExitUsage},
        {{"drums", "--layer", "5=" + wav + "@128"}, kExitUsage},
        {{"drums", "--layer", "5=" + dir({"none.wav"})}, kExitFailed},
        {{"drums", "--layer", "5=" + wav, "--layer", "5=" + wav, "--layer", "5=" + wav, "--layer", "5=" + wav,
          "--layer", "5=" + wav},
         kExitFailed, "You cannot add more than 4 layers"}};
    for (const Run& r : runs) {
        const CliRun run = Cli(r.args);
        EXPECT_EQ(run.status, r.status) << r.args[0] << " " << r.args[1] << " " << r.args.back();
        EXPECT_NE(run.err.find(r.says), std::string::npos) << run.err;
    }
    EXPECT_FALSE(core::FileExists(piano));
    EXPECT_FALSE(core::FileExists(dir({"x.afs"})));
}

}  // namespace
}  // namespace velmorant::cli
