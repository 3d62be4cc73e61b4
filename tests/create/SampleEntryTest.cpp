#include <gtest/gtest.h>

#include "create/SampleEntry.h"
#include "platform/ScriptedPlatform.h"
#include "support/CreateFixtures.h"
#include "support/TempDir.h"

namespace velmorant::create {
namespace {

using testing::TempDir;
using testing::WaveLayout;

struct InspectCase {
    std::optional<std::uint32_t> unityNote;
    std::int32_t key;
};

class InspectKeyTest : public ::testing::TestWithParam<InspectCase> {};

TEST_P(InspectKeyTest, RootAndZoneComeFromTheSamplerChunkWithinTheKeyboard) {
    WaveLayout layout = testing::CountingWave(1000);
    layout.unityNote = GetParam().unityNote;
    TempDir dir;
    const std::string wav = testing::WriteWave(dir({"in.wav"}), layout);
    platform::ScriptedPlatform platform;
    SampleEntry entry;
    entry.locked = 1;
    ASSERT_EQ(AddSampleFile(platform, wav, entry), 1);
    EXPECT_EQ(entry.rootKey, GetParam().key);
    EXPECT_EQ(entry.leftKey, GetParam().key);
    EXPECT_EQ(entry.rightKey, GetParam().key);
    EXPECT_EQ(entry.velocityLow, 0);
    EXPECT_EQ(entry.velocityHigh, 127);
    EXPECT_EQ(entry.locked, 0);
    EXPECT_EQ(entry.path, wav);
    EXPECT_EQ(entry.fileSize, static_cast<std::int64_t>(testing::BuildWave(layout).size()));
    EXPECT_TRUE(platform.Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, InspectKeyTest,
                         ::testing::Values(InspectCase{std::nullopt, 72}, InspectCase{60u, 60}, InspectCase{0u, 0},
                                           InspectCase{200u, 127}, InspectCase{0xFFFFFFFFu, 0}));

TEST(AddSampleFiles, SkipsRefusedAndMissingFilesKeepingTheOrder) {
    TempDir dir;
    const std::string a = testing::WriteWave(dir({"a.wav"}), testing::CountingWave(10));
    WaveLayout bad = testing::CountingWave(10);
    bad.sampleRate = 22050;
    const std::string b = testing::WriteWave(dir({"b.wav"}), bad);
    const std::string c = testing::WriteWave(dir({"c.wav"}), testing::CountingWave(12, 2));
    platform::ScriptedPlatform platform;
    std::vector<SampleEntry> entries;
    EXPECT_EQ(AddSampleFiles(platform, {a, dir({"gone.wav"}), b, c}, entries), 2);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].path, a);
    EXPECT_EQ(entries[1].path, c);
    EXPECT_EQ(platform.Boxes(), std::vector<std::string>{"Information: Only 44.1 Khz samples supported !"});
}

}  // namespace
}  // namespace velmorant::create
