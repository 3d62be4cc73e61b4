#include <gtest/gtest.h>

#include "create/SampleEntry.h"
#include "platform/ScriptedPlatform.h"
#include "support/CreateFixtures.h"
#include "support/TempDir.h"

namespace velmorant::create {
namespace {

using testing::TempDir;
using testing::WaveLayout;

// The root and the zone come from the sampler chunk's unity note, within the keyboard.
TEST(AddSampleFile, RootAndZoneComeFromTheSamplerChunkWithinTheKeyboard) {
    const std::pair<std::optional<std::uint32_t>, std::int32_t> cases[] = {
        {std::nullopt, 72}, {60u, 60}, {0u, 0}, {200u, 127}, {0xFFFFFFFFu, 0}};
    for (const auto& [unityNote, key] : cases) {
        WaveLayout layout = testing::CountingWave(1000);
        layout.unityNote = unityNote;
        TempDir dir;
        const std::string wav = testing::WriteWave(dir({"in.wav"}), layout);
        platform::ScriptedPlatform platform;
        SampleEntry entry;
        entry.locked = 1;
        ASSERT_EQ(AddSampleFile(platform, wav, entry), 1);
        EXPECT_EQ(std::vector<std::int32_t>({entry.rootKey, entry.leftKey, entry.rightKey, entry.velocityLow,
                                             entry.velocityHigh, entry.locked}),
                  std::vector<std::int32_t>({key, key, key, 0, 127, 0}));
        EXPECT_EQ(entry.path, wav);
        EXPECT_EQ(entry.fileSize, static_cast<std::int64_t>(testing::BuildWave(layout).size()));
        EXPECT_TRUE(platform.Boxes().empty());
    }
}

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
