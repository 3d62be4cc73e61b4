#include <gtest/gtest.h>

#include <sstream>

#include "cli/Command.h"
#include "core/File.h"
#include "support/CliRun.h"
#include "support/CreateFixtures.h"
#include "support/TempDir.h"

namespace velmorant::cli {
namespace {

using testing::CliRun;
const auto Cli = &testing::RunVelmorantCli;

class DrumsCommandTest : public ::testing::Test {
protected:
    std::string Wave(const std::string& name) {
        testing::WaveLayout layout;
        layout.payload = testing::TonePayload(30, 300);
        return testing::WriteWave(dir({name}), layout);
    }
    testing::TempDir dir;
};

TEST_F(DrumsCommandTest, LayersKitFileAndProgram) {
    // The "@" inside the file name is part of the path; only a final "@digits" is a bound.
    const std::string snare = Wave("snare@2.wav");
    const CliRun run = Cli({"drums", "--layer", "31=" + Wave("kick.wav"), "--layer", "31=" + snare + "@100",
                            "--layer", "33=" + snare, "--save-kit", dir({"kit.fdk"}), "--out", dir({"Kit.afp"})});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_NE(run.out.find("2 Oscillators (3 samples, "), std::string::npos) << run.out;
    const std::string kit = testing::ReadText(dir({"kit.fdk"}));
    EXPECT_NE(kit.find("\r\n31|2|1|-1|1|0|" + dir({"kick.wav"}) + "|63|" + snare + "|100||0||0|\r\n"),
              std::string::npos);
    const auto program = testing::ReadBytes(dir({"Kit.afp"}));
    ASSERT_EQ(program.size(), 28280u);
    EXPECT_EQ(program[368 + 8], 63);
    EXPECT_EQ(program[368 + 96 + 8], 100);
    for (const char* sample : {"Kit310.afs", "Kit311.afs", "Kit330.afs"}) {
        EXPECT_TRUE(core::FileExists(dir({sample}))) << sample;
    }

    // The saved kit loads back; saving over it is refused.
    const CliRun again = Cli({"drums", "--kit", dir({"kit.fdk"}), "--save-kit", dir({"kit.fdk"})});
    EXPECT_EQ(again.status, kExitFailed);
    EXPECT_NE(again.err.find("Information: File already Exist !"), std::string::npos);
    EXPECT_NE(again.err.find("Error: File not saved"), std::string::npos);
    EXPECT_NE(again.out.find("2 Oscillators (3 samples, "), std::string::npos);
}

TEST_F(DrumsCommandTest, AMissingKitSampleEmptiesItsKey) {
    testing::WriteTextFile(dir({"kit.fdk"}), "##|fdk|3\r\n5|1|1|-1|1|0|" + dir({"gone.wav"}) + "|127||0||0||0|\r\n");
    const CliRun run = Cli({"drums", "--kit", dir({"kit.fdk"}), "--out", dir({"K.afp"})});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_NE(run.err.find("Cannot open sample " + dir({"gone.wav"})), std::string::npos);
    EXPECT_EQ(run.out.find("Oscillators"), std::string::npos);
}

TEST_F(DrumsCommandTest, BadLayersAreRefused) {
    const std::string wav = Wave("a.wav");
    EXPECT_EQ(Cli({"drums", "--layer", "98=" + wav}).status, kExitUsage);
    EXPECT_EQ(Cli({"drums", "--layer", "x=" + wav}).status, kExitUsage);
    EXPECT_EQ(Cli({"drums", "--layer", "5=" + wav + "@128"}).status, kExitUsage);
    EXPECT_EQ(Cli({"drums", "--layer", "5=" + dir({"none.wav"})}).status, kExitFailed);
    const CliRun five = Cli({"drums", "--layer", "5=" + wav, "--layer", "5=" + wav, "--layer", "5=" + wav,
                             "--layer", "5=" + wav, "--layer", "5=" + wav});
    EXPECT_EQ(five.status, kExitFailed);
    EXPECT_NE(five.err.find("You cannot add more than 4 layers"), std::string::npos);
}

}  // namespace
}  // namespace velmorant::cli
