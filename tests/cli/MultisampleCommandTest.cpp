#include <gtest/gtest.h>

#include <filesystem>
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

class MultisampleCommandTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directory(dir({"out"})); }
    std::string Wave(const std::string& name, std::optional<std::uint32_t> unity, std::uint32_t rate = 44100) {
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

TEST_F(MultisampleCommandTest, KeysThenLocksThenAutoMap) {
    const CliRun run = Cli({"multisample", "--out", dir({"out", "Piano.afp"}), "--auto-map", "--keys", "1=40:30-50",
                            "--lock", "1", Wave("a.wav", 36), Wave("b.wav", 60), Wave("c.wav", 72)});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(Zones(), (std::vector<std::tuple<int, int, int>>{{0, 54, 36}, {30, 50, 40}, {55, 127, 72}}));
    EXPECT_NE(run.err.find("Information: Done !"), std::string::npos);
    EXPECT_TRUE(core::FileExists(dir({"out", "Piano040.afs"})));
}

TEST_F(MultisampleCommandTest, RefusedFilesAreSkippedAndReported) {
    const CliRun run = Cli({"multisample", "--strict", "--out", dir({"out", "Piano.afp"}), Wave("a.wav", 60),
                            Wave("slow.wav", std::nullopt, 22050), Wave("c.wav", std::nullopt)});
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_NE(run.err.find("Information: Only 44.1 Khz samples supported !"), std::string::npos) << run.err;
    EXPECT_EQ(Zones(), (std::vector<std::tuple<int, int, int>>{{60, 60, 60}, {72, 72, 72}}));
}

TEST_F(MultisampleCommandTest, LeftAboveRightIsAUsageErrorAndNothingIsBuilt) {
    const CliRun run =
        Cli({"multisample", "--out", dir({"out", "Piano.afp"}), "--keys", "0=60:61-60", Wave("a.wav", 60)});
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_NE(run.err.find("Left note must be lower than right note"), std::string::npos);
    EXPECT_FALSE(core::FileExists(dir({"out", "Piano.afp"})));
    EXPECT_EQ(Cli({"multisample", "--out", dir({"out", "Piano.afp"}), "--keys", "0=60:0-128", Wave("a.wav", 60)})
                  .status,
              kExitUsage);
    EXPECT_EQ(Cli({"multisample", "--out", dir({"out", "Piano.afp"}), "--lock", "3", Wave("a.wav", 60)}).status,
              kExitFailed);
    EXPECT_FALSE(core::FileExists(dir({"out", "Piano.afp"})));
}

}  // namespace
}  // namespace velmorant::cli
