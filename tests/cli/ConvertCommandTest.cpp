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

TEST(ConvertCommandTest, WritesTheSampleWithTheForcedRootKey) {
    testing::TempDir dir;
    testing::WaveLayout layout;
    layout.payload = testing::CountingPayload(8);
    const std::string wav = testing::WriteWave(dir({"in.wav"}), layout);
    const CliRun run = Cli({"convert", "--root-key", "48", wav, dir({"out.afs"})});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    const auto bytes = testing::ReadBytes(dir({"out.afs"}));
    ASSERT_EQ(bytes.size(), 56u);
    EXPECT_EQ(bytes[15], 48);
}

TEST(ConvertCommandTest, AFailurePrintsItsStatusAndMeaning) {
    testing::TempDir dir;
    testing::WaveLayout layout;
    layout.payload = testing::CountingPayload(8);
    layout.bitsPerSample = 24;
    const std::string wav = testing::WriteWave(dir({"in.wav"}), layout);
    const CliRun run = Cli({"convert", "--strict", wav, dir({"out.afs"})});
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_EQ(run.err, "Cannot convert " + wav + ": status -1003, only 16-bit samples are supported\n");
    EXPECT_FALSE(core::FileExists(dir({"out.afs"})));

    EXPECT_EQ(Cli({"convert", wav}).status, kExitUsage);
    EXPECT_EQ(Cli({"convert", "--root-key", "-3", wav, dir({"out.afs"})}).status, kExitUsage);
}

}  // namespace
}  // namespace velmorant::cli
