#include <gtest/gtest.h>

#include "core/File.h"
#include "create/DrumKit.h"
#include "platform/ScriptedPlatform.h"
#include "support/CreateFixtures.h"
#include "support/TempDir.h"

namespace velmorant::create {
namespace {

using testing::TempDir;

TEST(DrumKitEditing, DefaultBoundsKeepRisingAsLayersAreAdded) {
    platform::ScriptedPlatform platform;
    DrumKit kit;
    const std::vector<std::vector<int>> expected = {{127}, {63, 127}, {63, 96, 127}, {63, 96, 111, 127}};
    for (int n = 0; n < 4; ++n) {
        ASSERT_TRUE(AddLayer(platform, kit, 31, "l" + std::to_string(n) + ".wav"));
        EXPECT_EQ(testing::LayerBounds(kit, 31), expected[static_cast<std::size_t>(n)]);
    }
    EXPECT_EQ(kit.keys[31].state, kKeyOwnLayers);
    EXPECT_FALSE(AddLayer(platform, kit, 31, "fifth.wav"));
    EXPECT_EQ(kit.keys[31].layerCount(), 4);
    EXPECT_EQ(platform.Boxes(), std::vector<std::string>{"Information: You cannot add more than 4 layers"});
    EXPECT_FALSE(AddLayer(platform, kit, 98, "out.wav"));
    EXPECT_FALSE(AddLayer(platform, kit, -1, "out.wav"));
}

TEST(DrumKitEditing, MovingAndRemovingLayersKeepsSplitsAndCounts) {
    platform::ScriptedPlatform platform;
    DrumKit kit;
    for (const char* path : {"a.wav", "b.wav", "c.wav"}) {
        AddLayer(platform, kit, 5, path);
    }
    MoveLayerDown(kit, 5, 0);
    EXPECT_EQ(testing::LayerPaths(kit, 5), (std::vector<std::string>{"b.wav", "a.wav", "c.wav"}));
    EXPECT_EQ(testing::LayerBounds(kit, 5), (std::vector<int>{63, 96, 127}));
    MoveLayerUp(kit, 5, 2);
    EXPECT_EQ(testing::LayerPaths(kit, 5), (std::vector<std::string>{"b.wav", "c.wav", "a.wav"}));
    // Moves past the last layer are ignored rather than touching layers the key does not have.
    MoveLayerUp(kit, 5, 3);
    MoveLayerDown(kit, 5, 2);
    EXPECT_EQ(testing::LayerPaths(kit, 5), (std::vector<std::string>{"b.wav", "c.wav", "a.wav"}));

    RemoveLayer(kit, 5, 1);
    EXPECT_EQ(testing::LayerPaths(kit, 5), (std::vector<std::string>{"b.wav", "a.wav"}));
    EXPECT_EQ(testing::LayerBounds(kit, 5), (std::vector<int>{63, 127}));
    RemoveLayer(kit, 5, 7);
    EXPECT_EQ(kit.keys[5].layerCount(), 2);
    RemoveLayer(kit, 5, 1);
    RemoveLayer(kit, 5, 0);
    EXPECT_EQ(kit.keys[5].state, kKeyNotInUse);

    AddLayer(platform, kit, 6, "x.wav");
    SetUpperBound(kit, 6, 0, 300);
    EXPECT_EQ(testing::LayerBounds(kit, 6), std::vector<int>{127});
    SetUpperBound(kit, 6, 0, 40);
    SetUpperBound(kit, 6, 1, 50);
    EXPECT_EQ(testing::LayerBounds(kit, 6), std::vector<int>{40});
}

TEST(DrumKitEditing, CopyKeysAndTheDefineSwitch) {
    platform::ScriptedPlatform platform;
    DrumKit kit;
    AddLayer(platform, kit, 7, "a.wav");
    SetPreset(kit, 7, 2);
    SetDefineOscillator(kit, 7, false);
    EXPECT_EQ(kit.keys[7].layerCount(), 0);
    EXPECT_EQ(kit.keys[7].state, kKeyNotInUse);
    EXPECT_EQ(kit.keys[7].defineOscillator, 0);
    EXPECT_EQ(kit.keys[7].preset, 0);
    SetCopySource(kit, 7, 31);
    EXPECT_EQ(kit.keys[7].state, kKeyCopy);
    EXPECT_EQ(kit.keys[7].copySource, 31);
    SetCopySource(kit, 7, -1);
    EXPECT_EQ(kit.keys[7].state, kKeyNotInUse);
    SetDefineOscillator(kit, 7, true);
    EXPECT_EQ(kit.keys[7].defineOscillator, 1);
    ResetKit(kit);
    EXPECT_EQ(kit.keys[7].defineOscillator, 1);
}

}  // namespace
}  // namespace velmorant::create
