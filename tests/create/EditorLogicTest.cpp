#include <gtest/gtest.h>

#include "create/DrumEditor.h"
#include "create/DrumKit.h"
#include "create/MultisampleEditor.h"
#include "create/SamplePlan.h"
#include "platform/ScriptedPlatform.h"
#include "support/CreateFixtures.h"

namespace velmorant::create {
namespace {

TEST(MultisampleEditorLogic, RowTextsZonesRemovalAndCover) {
    EXPECT_EQ(NoteName(1), "C#-1");
    EXPECT_EQ(NoteName(127), "G  9");
    EXPECT_EQ(NoteName(128), "");
    EXPECT_EQ(create::NoteName(60, audio::MiddleC::kC3), "C  3");  // audio has a NoteName too
    SampleEntry entry;
    entry.path = "/sounds/Grand Piano.wav";
    entry.fileSize = 1024;
    entry.leftKey = 60;
    const SampleRow row = MakeSampleRow(entry);
    EXPECT_EQ(std::tie(row.name, row.size, row.root, row.notes), std::make_tuple("Grand Piano", "2Kb", "C  5 (72)", "C  4 - C  5 (60-72)"));
    entry.fileSize = 1023;
    EXPECT_EQ(MakeSampleRow(entry).size, "1Kb");

    platform::ScriptedPlatform platform;
    EXPECT_EQ(ApplyZone(platform, entry, {60, 60, 60, true}), 1);
    EXPECT_EQ(entry.locked, 1);
    EXPECT_EQ(ApplyZone(platform, entry, {50, 61, 60, false}), 0);
    EXPECT_EQ(std::tie(entry.rootKey, entry.locked), std::make_tuple(60, 1));
    EXPECT_EQ(platform.Boxes(), std::vector<std::string>{"Warning: Left note must be lower than right note"});

    std::vector<SampleEntry> entries(3);
    entries[0] = {.path = "a", .leftKey = 0, .rightKey = 64};
    entries[2] = {.path = "c", .leftKey = 60, .rightKey = 70};
    RemoveSample(entries, 1);
    RemoveSample(entries, 5);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].path, "c");
    EXPECT_EQ(KeyPaintFor(KeyCover(entries, 10)), KeyPaint::kCoveredOnce);
    EXPECT_EQ(KeyPaintFor(KeyCover(entries, 62)), KeyPaint::kOverlapped);
    EXPECT_EQ(KeyPaintFor(KeyCover(entries, 100)), KeyPaint::kUncovered);
}

TEST(DrumEditorLogic, RowsCopyChoicesVelocityControlsAndCount) {
    DrumKit kit;
    platform::ScriptedPlatform platform;
    AddLayer(platform, kit, 31, "/k/kick.wav");
    AddLayer(platform, kit, 0, "/k/low.wav");
    SetDefineOscillator(kit, 2, false);
    SetCopySource(kit, 2, 31);
    const DrumKeyRow row = MakeDrumKeyRow(kit, 31);
    EXPECT_EQ(std::tie(row.number, row.note, row.drumName, row.stateIcon), std::make_tuple("36", "C 2", "Bass Drum 1", 1));
    EXPECT_EQ(MakeDrumKeyRow(kit, 31, audio::MiddleC::kC3).note, "C 1");
    EXPECT_EQ(MakeDrumKeyRow(kit, 0).note, "F -1");
    EXPECT_EQ(MakeDrumKeyRow(kit, 2).stateIcon, 2);
    const auto choices = CopyChoices(kit);
    ASSERT_EQ(choices.size(), 3u);
    EXPECT_EQ(choices[2].text, "31 - C 2 : Bass Drum 1");
    EXPECT_EQ(SelectedCopyChoice(choices, kit.keys[2]), 2);
    EXPECT_EQ(SelectedCopyChoice(choices, kit.keys[5]), 0);

    AddLayer(platform, kit, 9, "/k/one.wav");
    EXPECT_FALSE(MakeVelocityControls(kit.keys[9], 0).toEnabled);
    AddLayer(platform, kit, 9, "/k/two.wav");
    SetUpperBound(kit, 9, 1, 100);  // the last layer still reaches 127
    const auto rows = MakeDrumLayerRows(kit.keys[9]);
    EXPECT_EQ(std::tie(rows[1].name, rows[1].from, rows[1].to), std::make_tuple("two.wav", "63", "127"));
    const VelocityControls first = MakeVelocityControls(kit.keys[9], 0);
    EXPECT_EQ(std::tie(first.toEnabled, first.to, first.toMin, first.toMax), std::make_tuple(true, 63, 0, 100));
    const VelocityControls second = MakeVelocityControls(kit.keys[9], 1);
    EXPECT_EQ(std::tie(second.fromEnabled, second.toEnabled, second.from, second.fromMax), std::make_tuple(true, false, 63, 100));

    DrumKit counted;
    EXPECT_EQ(OscillatorCountText(counted), "");
    const std::int64_t sizes[] = {1000, 500, 300, 200, 47};  // 2 047 bytes
    int n = 0;
    for (int key : {3, 3, 7, 7, 9}) {
        counted.keys[static_cast<std::size_t>(key)].layers.push_back({"x.wav", 127, sizes[n++]});
        counted.keys[static_cast<std::size_t>(key)].state = kKeyOwnLayers;
    }
    EXPECT_EQ(OscillatorCountText(counted), "3 Oscillators (5 samples, 1 Ko)");
    for (int key = 10; key < 72; ++key) {
        counted.keys[static_cast<std::size_t>(key)].state = kKeyCopy;
    }
    EXPECT_EQ(OscillatorCountText(counted),
              "65 Oscillators (5 samples, 1 Ko) - WARNING - Fusion drums programs are limited to 64 oscillators");
}

TEST(DrumEditorLogic, KeyboardHitTest) {
    // x, y, key: a shared column goes to the right-hand key; the last black key lies past the whites.
    const int rows[][3] = {{29, 90, 1}, {24, 110, 0}, {29, 110, 2}, {28, 110, 0}, {18, 76, 0}, {645, 122, 96},
                           {642, 90, 97}, {649, 90, 97}, {650, 90, -1}, {647, 110, -1}, {17, 90, -1}, {100, 123, -1},
                           {100, 75, -1}};
    for (const auto& [x, y, key] : rows) {
        EXPECT_EQ(DrumKeyAt(x, y), key) << x << "," << y;
    }
}

TEST(DrumKitEditing, LayersKeepTheirSplitsAsTheyAreAddedMovedAndRemoved) {
    platform::ScriptedPlatform platform;
    DrumKit kit;
    const std::vector<std::vector<int>> expected = {{127}, {63, 127}, {63, 96, 127}, {63, 96, 111, 127}};
    for (int n = 0; n < 4; ++n) {
        ASSERT_TRUE(AddLayer(platform, kit, 31, "l" + std::to_string(n) + ".wav"));
        EXPECT_EQ(testing::LayerBounds(kit, 31), expected[static_cast<std::size_t>(n)]);
    }
    EXPECT_FALSE(AddLayer(platform, kit, 31, "fifth.wav"));
    EXPECT_EQ(platform.Boxes(), std::vector<std::string>{"Information: You cannot add more than 4 layers"});
    EXPECT_FALSE(AddLayer(platform, kit, 98, "out.wav"));
    EXPECT_FALSE(AddLayer(platform, kit, -1, "out.wav"));

    for (const char* path : {"a.wav", "b.wav", "c.wav"}) {
        AddLayer(platform, kit, 5, path);
    }
    MoveLayerDown(kit, 5, 0);
    MoveLayerUp(kit, 5, 2);
    MoveLayerUp(kit, 5, 3);  // past the last layer: ignored
    MoveLayerDown(kit, 5, 2);
    EXPECT_EQ(testing::LayerPaths(kit, 5), (std::vector<std::string>{"b.wav", "c.wav", "a.wav"}));
    EXPECT_EQ(testing::LayerBounds(kit, 5), (std::vector<int>{63, 96, 127}));
    RemoveLayer(kit, 5, 1);
    RemoveLayer(kit, 5, 7);
    EXPECT_EQ(testing::LayerPaths(kit, 5), (std::vector<std::string>{"b.wav", "a.wav"}));
    EXPECT_EQ(testing::LayerBounds(kit, 5), (std::vector<int>{63, 127}));
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
    EXPECT_EQ(std::tie(kit.keys[7].state, kit.keys[7].defineOscillator, kit.keys[7].preset), std::make_tuple(kKeyNotInUse, 0, 0));
    EXPECT_EQ(kit.keys[7].layerCount(), 0);
    SetCopySource(kit, 7, 31);
    EXPECT_EQ(std::tie(kit.keys[7].state, kit.keys[7].copySource), std::make_tuple(kKeyCopy, 31));
    SetCopySource(kit, 7, -1);
    EXPECT_EQ(kit.keys[7].state, kKeyNotInUse);
    SetDefineOscillator(kit, 7, true);
    ResetKit(kit);
    EXPECT_EQ(kit.keys[7].defineOscillator, 1);
}

// The plan's line sums up files that differ: each rate once, refusals after conversions.
TEST(ConversionSummary, CountsAndNamesWhatChanges) {
    using K = SamplePlan::Kind;
    const SamplePlan asIs{K::kAsIs, "as is"};
    const SamplePlan from48{K::kConverted, "", 48000, false, true, true};
    const SamplePlan from96{K::kConverted, "", 96000, true, false, false};
    const SamplePlan rounded{K::kConverted, "", 0, false, true, false};
    const SamplePlan refused{K::kRefused, "refused: why"};
    const struct {
        std::vector<SamplePlan> plans;
        const char* summary;
    } rows[] = {
        {{}, ""},
        {{asIs, asIs}, "All 2 samples will be built as they are."},
        {{from96, asIs, from48, from48}, "3 of 4 samples will be converted: resampled 48000, 96000 \u2192 44100 Hz, "
                                         "down-mixed to stereo, dithered"},
        {{rounded}, "1 of 1 sample will be converted: rounded without dither"},
        {{from48, refused}, "1 of 2 samples will be converted: resampled 48000 \u2192 44100 Hz, dithered; 1 will be "
                            "refused and stop the build"},
        {{refused, asIs}, "1 of 2 samples will be refused and stop the build"},
    };
    for (const auto& row : rows) EXPECT_EQ(PlanSummary(row.plans), row.summary);

    const SampleOutcome plain;
    const SampleOutcome noted{ConversionResult::kWritten, "", "a.wav: 16-bit 44100 Hz, pitch 880 Hz, an octave above C4"};
    const SampleOutcome failed{ConversionResult::kAudioRefused, "a.wav: 5 channels", ""};
    EXPECT_EQ(BuildSummary({from48, asIs}, {noted, plain}),
              "Built: 1 of 2 samples converted: resampled 48000 \u2192 44100 Hz, dithered.");
    EXPECT_EQ(BuildSummary({asIs, asIs}, {noted, plain}), "Built: all 2 samples as they were; 1 with a note in the Conversion column.");
    EXPECT_EQ(BuildSummary({asIs, asIs}, {failed, plain}), "Nothing was built: 1 of 2 samples could not be converted.");
    EXPECT_EQ(OutcomeText("/x/a.wav", noted), "16-bit 44100 Hz, pitch 880 Hz, an octave above C4");
    EXPECT_EQ(OutcomeText("/x/a.wav", failed), "failed: 5 channels");
}

}  // namespace
}  // namespace velmorant::create
