#include <gtest/gtest.h>

#include "create/DrumEditor.h"
#include "create/MultisampleEditor.h"
#include "platform/ScriptedPlatform.h"

namespace velmorant::create {
namespace {

TEST(MultisampleEditorLogic, NoteNamesAndRowTexts) {
    EXPECT_EQ(NoteName(0), "C  -1");
    EXPECT_EQ(NoteName(1), "C#-1");
    EXPECT_EQ(NoteName(11), "B  -1");
    EXPECT_EQ(NoteName(60), "C  4");
    EXPECT_EQ(NoteName(61), "C#4");
    EXPECT_EQ(NoteName(72), "C  5");
    EXPECT_EQ(NoteName(127), "G  9");
    EXPECT_EQ(NoteName(128), "");

    SampleEntry entry;
    entry.path = "/sounds/Grand Piano.wav";
    entry.fileSize = 1024;
    entry.leftKey = 60;
    entry.locked = 1;
    const SampleRow row = MakeSampleRow(entry);
    EXPECT_EQ(row.name, "Grand Piano");
    EXPECT_EQ(row.image, 1);
    EXPECT_EQ(row.size, "2Kb");
    EXPECT_EQ(row.root, "C  5 (72)");
    EXPECT_EQ(row.notes, "C  4 - C  5 (60-72)");
    EXPECT_EQ(row.velocity, "0-127");
    entry.fileSize = 1023;
    EXPECT_EQ(MakeSampleRow(entry).size, "1Kb");
}

TEST(MultisampleEditorLogic, ApplyRefusesLeftAboveRight) {
    platform::ScriptedPlatform platform;
    SampleEntry entry;
    EXPECT_EQ(ApplyZone(platform, entry, {60, 60, 60, true}), 1);
    EXPECT_EQ(entry.leftKey, 60);
    EXPECT_EQ(entry.locked, 1);
    EXPECT_EQ(ApplyZone(platform, entry, {50, 61, 60, false}), 0);
    EXPECT_EQ(entry.rootKey, 60);
    EXPECT_EQ(entry.locked, 1);
    EXPECT_EQ(platform.Boxes(), std::vector<std::string>{"Warning: Left note must be lower than right note"});
}

TEST(MultisampleEditorLogic, RemovalKeepsOrderAndCoversPaintTheKeyboard) {
    std::vector<SampleEntry> entries(3);
    entries[0].path = "a";
    entries[1].path = "b";
    entries[2].path = "c";
    entries[0].leftKey = 0;
    entries[0].rightKey = 64;
    entries[2].leftKey = 60;
    entries[2].rightKey = 70;
    RemoveSample(entries, 1);
    RemoveSample(entries, 5);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].path, "c");
    EXPECT_EQ(KeyPaintFor(KeyCover(entries, 10)), KeyPaint::kCoveredOnce);
    EXPECT_EQ(KeyPaintFor(KeyCover(entries, 62)), KeyPaint::kOverlapped);
    EXPECT_EQ(KeyPaintFor(KeyCover(entries, 100)), KeyPaint::kUncovered);

    const auto keys = MultisampleKeyboard();
    ASSERT_EQ(keys.size(), 128u);
    EXPECT_EQ(keys[0].key, 0);
    EXPECT_EQ(keys[1].left, 27);   // white keys share their outline
    EXPECT_EQ(keys[74].key, 127);  // the last white key, G 9
    EXPECT_EQ(keys[75].key, 1);    // black keys come after, above white keys 0 and 1
    EXPECT_EQ(keys[75].left, 24);
    EXPECT_EQ(keys[75].bottom, 44);
}

TEST(DrumEditorLogic, KeyRowsNamesAndCopyChoices) {
    DrumKit kit;
    platform::ScriptedPlatform platform;
    AddLayer(platform, kit, 31, "/k/kick.wav");
    AddLayer(platform, kit, 0, "/k/low.wav");
    SetDefineOscillator(kit, 2, false);
    SetCopySource(kit, 2, 31);

    const DrumKeyRow row = MakeDrumKeyRow(kit, 31);
    EXPECT_EQ(row.number, "36");
    EXPECT_EQ(row.note, "C 1");
    EXPECT_EQ(row.drumName, "Bass Drum 1");
    EXPECT_EQ(row.stateIcon, 1);
    EXPECT_EQ(MakeDrumKeyRow(kit, 0).note, "F -2");
    EXPECT_EQ(MakeDrumKeyRow(kit, 1).note, "F#-2");
    EXPECT_EQ(MakeDrumKeyRow(kit, 2).stateIcon, 2);
    EXPECT_EQ(DrumKeyName(62), "High Agog\xF4");
    EXPECT_EQ(DrumKeyName(73), "Mute Cu\xED" "ca");
    EXPECT_EQ(DrumKeyName(18), "");
    EXPECT_EQ(DrumKeyName(80), "");

    const auto choices = CopyChoices(kit);
    ASSERT_EQ(choices.size(), 3u);
    EXPECT_EQ(choices[0].text, " - Not Set - ");
    EXPECT_EQ(choices[1].text, "0 - F -1");
    EXPECT_EQ(choices[2].text, "31 - C 2 : Bass Drum 1");
    EXPECT_EQ(SelectedCopyChoice(choices, kit.keys[2]), 2);
    EXPECT_EQ(SelectedCopyChoice(choices, kit.keys[5]), 0);
}

TEST(DrumEditorLogic, LayerRowsAndVelocityControls) {
    DrumKit kit;
    platform::ScriptedPlatform platform;
    AddLayer(platform, kit, 9, "/k/one.wav");
    auto rows = MakeDrumLayerRows(kit.keys[9]);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "one.wav");
    EXPECT_EQ(rows[0].from, "0");
    EXPECT_EQ(rows[0].to, "127");
    VelocityControls only = MakeVelocityControls(kit.keys[9], 0);
    EXPECT_FALSE(only.toEnabled);
    EXPECT_FALSE(only.fromEnabled);

    AddLayer(platform, kit, 9, "/k/two.wav");
    SetUpperBound(kit, 9, 1, 100);  // the last layer still reaches 127
    rows = MakeDrumLayerRows(kit.keys[9]);
    EXPECT_EQ(rows[1].from, "63");
    EXPECT_EQ(rows[1].to, "127");
    const VelocityControls first = MakeVelocityControls(kit.keys[9], 0);
    EXPECT_TRUE(first.toEnabled);
    EXPECT_EQ(std::tie(first.to, first.toMin, first.toMax), std::make_tuple(63, 0, 100));
    const VelocityControls second = MakeVelocityControls(kit.keys[9], 1);
    EXPECT_TRUE(second.fromEnabled);
    EXPECT_FALSE(second.toEnabled);
    EXPECT_EQ(std::tie(second.from, second.fromMin, second.fromMax, second.to), std::make_tuple(63, 0, 100, 127));
}

TEST(DrumEditorLogic, OscillatorCountText) {
    DrumKit kit;
    EXPECT_EQ(OscillatorCountText(kit), "");
    const std::int64_t sizes[] = {1000, 500, 300, 200, 47};  // 2 047 bytes
    int n = 0;
    for (int key : {3, 3, 7, 7, 9}) {
        auto& layers = kit.keys[static_cast<std::size_t>(key)].layers;
        layers.push_back({"x.wav", 127, sizes[n++]});
        kit.keys[static_cast<std::size_t>(key)].state = kKeyOwnLayers;
    }
    EXPECT_EQ(OscillatorCountText(kit), "3 Oscillators (5 samples, 1 Ko)");
    for (int key = 10; key < 72; ++key) {
        kit.keys[static_cast<std::size_t>(key)].state = kKeyCopy;
    }
    EXPECT_EQ(OscillatorCountText(kit),
              "65 Oscillators (5 samples, 1 Ko) - WARNING - Fusion drums programs are limited to 64 oscillators");
}

struct HitCase {
    int x, y, key;
};
class DrumKeyboardHitTest : public ::testing::TestWithParam<HitCase> {};

TEST_P(DrumKeyboardHitTest, FindsTheKeyUnderThePointer) {
    EXPECT_EQ(DrumKeyAt(GetParam().x, GetParam().y), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(Clicks, DrumKeyboardHitTest,
                         ::testing::Values(HitCase{29, 90, 1},    // the black key between the first two whites
                                           HitCase{24, 110, 0},   // low on F
                                           HitCase{29, 110, 2},   // a shared column goes to the right-hand key
                                           HitCase{28, 110, 0}, HitCase{18, 76, 0}, HitCase{645, 122, 96},
                                           HitCase{642, 90, 97},  // the last black key, past the whites
                                           HitCase{649, 90, 97}, HitCase{650, 90, -1}, HitCase{647, 110, -1},
                                           HitCase{17, 90, -1}, HitCase{100, 123, -1},
                                           HitCase{100, 75, -1}));

}  // namespace
}  // namespace velmorant::create
