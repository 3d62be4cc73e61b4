#include <gtest/gtest.h>

#include <filesystem>

#include "core/File.h"
#include "create/DrumProgram.h"
#include "create/ProgramTemplates.h"
#include "platform/ScriptedPlatform.h"
#include "support/CreateFixtures.h"
#include "support/TempDir.h"

namespace velmorant::create {
namespace {

using testing::Slice;
using testing::TempDir;

constexpr std::size_t kSlot = 424;
constexpr std::size_t kFirstSlot = 368;

class DrumProgramTest : public ::testing::Test {
protected:
    std::string Wave(const std::string& name) {
        testing::WaveLayout layout;
        layout.payload = testing::TonePayload(20, 200);
        return testing::WriteWave(dir({name}), layout);
    }
    std::vector<unsigned char> Build(const DrumKit& kit, const std::string& name) {
        result = BuildDrumProgram(platform, kit, dir({name + ".afp"}));
        return core::FileExists(dir({name + ".afp"})) ? testing::ReadBytes(dir({name + ".afp"}))
                                                      : std::vector<unsigned char>{};
    }
    // Keys 0..n-1 in use, one layer each.
    DrumKit KeysInUse(int n) {
        DrumKit kit;
        const std::string wav = Wave("one.wav");
        for (int k = 0; k < n; ++k) {
            AddLayer(platform, kit, k, wav);
        }
        return kit;
    }

    TempDir dir;
    platform::ScriptedPlatform platform;
    DrumBuildResult result;
    const std::vector<std::uint8_t> blank = DrumProgramTemplate();
};

TEST_F(DrumProgramTest, KickOnKey31WithTwoLayers) {
    DrumKit kit;
    AddLayer(platform, kit, 31, Wave("soft.wav"));
    AddLayer(platform, kit, 31, Wave("hard.wav"));
    const auto file = Build(kit, "Kick");
    ASSERT_EQ(file.size(), 28280u);
    EXPECT_TRUE(result.written);
    EXPECT_EQ(platform.Boxes(), std::vector<std::string>{"Information: Build done !"});

    std::vector<std::uint8_t> expected = blank;
    expected[kFirstSlot + 8] = 0x3F;
    expected[kFirstSlot + 104] = 0x7F;
    expected[kFirstSlot + 105] = 0x01;
    expected[kFirstSlot + 397] = 0x30;
    const auto zone0 = testing::Hex("69 4B 6B 63 31 33 00 30");  // "Kick310" pairs exchanged
    const auto zone1 = testing::Hex("69 4B 6B 63 31 33 00 31");
    std::copy(zone0.begin(), zone0.end(), expected.begin() + kFirstSlot + 12 + 32);
    std::copy(zone1.begin(), zone1.end(), expected.begin() + kFirstSlot + 96 + 12 + 32);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.end()), expected);

    EXPECT_TRUE(core::FileExists(dir({"Kick310.afs"})));
    EXPECT_TRUE(core::FileExists(dir({"Kick311.afs"})));
    EXPECT_EQ(result.conversionStatus, (std::vector<ConversionResult>(2, ConversionResult::kWritten)));
    // No root key is forced: the WAV's own (none here, so 60) applies.
    EXPECT_EQ(testing::ReadBytes(dir({"Kick310.afs"}))[15], 60);

    // Building again under the same name replaces everything.
    const auto again = Build(kit, "Kick");
    EXPECT_EQ(again, file);
}

TEST_F(DrumProgramTest, AnEmptyKitWritesTheTemplate) {
    const auto file = Build(DrumKit{}, "Empty");
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.end()), blank);
}

TEST_F(DrumProgramTest, KeysInUseWithoutLayersTakeASlot) {
    DrumKit kit;
    kit.keys[10].state = kKeyOwnLayers;
    AddLayer(platform, kit, 20, Wave("a.wav"));
    const auto file = Build(kit, "Gap");
    EXPECT_EQ(Slice(file, kFirstSlot, kSlot), Slice(std::vector<unsigned char>(blank.begin(), blank.end()),
                                                     kFirstSlot, kSlot));
    EXPECT_EQ(file[kFirstSlot + kSlot + 397], 20 + 17);
    EXPECT_EQ(Slice(file, kFirstSlot + kSlot + 44, 4), testing::Hex("61 47 32 70"));  // "Gap200"
}

TEST_F(DrumProgramTest, SixtyFourOscillatorsFitAndTheSixtyFifthKeyIsLeftOut) {
    const auto full = Build(KeysInUse(64), "Full");
    EXPECT_EQ(platform.Boxes(), std::vector<std::string>{"Information: Build done !"});
    EXPECT_EQ(full[kFirstSlot + 63 * kSlot + 397], 63 + 17);
    EXPECT_EQ(result.keysLeftOut, 0);

    const auto over = Build(KeysInUse(65), "Over");
    EXPECT_EQ(platform.Boxes().back(), "Information: Build done !");
    EXPECT_EQ(platform.Boxes()[platform.Boxes().size() - 2],
              "Error: The Fusion drums programs are limited to 64 oscillators. All notes will be ignored beyond. !");
    EXPECT_EQ(result.keysLeftOut, 1);
    EXPECT_EQ(result.sampleFiles.size(), 64u);
    EXPECT_TRUE(core::FileExists(dir({"Over630.afs"})));
    EXPECT_FALSE(core::FileExists(dir({"Over640.afs"})));
    EXPECT_EQ(over.size(), 28280u);
}

TEST_F(DrumProgramTest, ACopyKeyPlaysItsSourcesSamplesUnderItsOwnKey) {
    DrumKit kit;
    SetDefineOscillator(kit, 2, false);
    SetCopySource(kit, 2, 31);
    AddLayer(platform, kit, 31, Wave("a.wav"));
    AddLayer(platform, kit, 31, Wave("b.wav"));
    SetDefineOscillator(kit, 50, false);
    SetCopySource(kit, 50, 60);  // a key not in use: the slot stays as shipped
    const auto file = Build(kit, "Cp");
    // Slot 0 is key 2, slot 1 key 31, slot 2 key 50.
    EXPECT_EQ(file[kFirstSlot + 397], 2 + 17);
    EXPECT_EQ(Slice(file, kFirstSlot, 2 * 96), Slice(file, kFirstSlot + kSlot, 2 * 96));
    EXPECT_EQ(Slice(file, kFirstSlot + 44, 6), testing::Hex("70 43 31 33 00 30"));  // "Cp310"
    const std::vector<unsigned char> shipped(blank.begin(), blank.end());
    EXPECT_EQ(Slice(file, kFirstSlot + 2 * kSlot, kSlot), Slice(shipped, kFirstSlot + 2 * kSlot, kSlot));
    EXPECT_EQ(result.sampleFiles.size(), 2u);
}

// A layer whose WAV cannot be converted fails the build before the program is written, and the
// samples this build made are taken back; a sample an earlier build wrote stays.
TEST_F(DrumProgramTest, ALayerThatCannotBeConvertedWritesNoProgram) {
    testing::WaveLayout adpcm;
    adpcm.format = 0x11;
    adpcm.payload = testing::TonePayload(20, 200);
    DrumKit kit;
    AddLayer(platform, kit, 31, Wave("soft.wav"));
    AddLayer(platform, kit, 31, testing::WriteWave(dir({"hard.wav"}), adpcm));
    AddLayer(platform, kit, 33, Wave("snare.wav"));
    testing::WriteTextFile(dir({"Kick330.afs"}), "an earlier build's");
    EXPECT_TRUE(Build(kit, "Kick").empty());
    EXPECT_FALSE(result.written);
    EXPECT_FALSE(core::FileExists(dir({"Kick310.afs"})));
    EXPECT_FALSE(core::FileExists(dir({"Kick311.afs"})));
    EXPECT_TRUE(core::FileExists(dir({"Kick330.afs"})));
    EXPECT_EQ(platform.Boxes().back(),
              "Error: " + dir({"Kick.afp"}) + " was not written: 1 of 3 samples could not be converted.\n" +
                  dir({"hard.wav"}) + ": status -1015, only uncompressed PCM samples are supported (" +
                  dir({"hard.wav"}) + " holds IMA ADPCM samples, format 0x0011)");

    // A program file that cannot be written says why.
    std::filesystem::create_directory(dir({"Empty.afp"}));
    Build(DrumKit{}, "Empty");
    EXPECT_FALSE(result.written);
    EXPECT_EQ(platform.Boxes().back(), "Error: Cannot create the file " + dir({"Empty.afp"}) + ": Is a directory");
}

TEST_F(DrumProgramTest, NamesThatCannotNameTheSamplesAreRefused) {
    DrumKit kit = KeysInUse(1);
    EXPECT_TRUE(Build(kit, "").empty());
    EXPECT_EQ(platform.Boxes().back(), "Error: Program name is empty !");
    const std::string thirty(30, 'n');
    EXPECT_TRUE(Build(kit, thirty).empty());
    EXPECT_EQ(platform.Boxes().back(), "Error: Program name is too long !");
    EXPECT_TRUE(result.sampleFiles.empty());
    const std::string twentyNine(29, 'n');
    EXPECT_EQ(Build(kit, twentyNine).size(), 28280u);
    EXPECT_TRUE(core::FileExists(dir({twentyNine + "000.afs"})));

    EXPECT_TRUE(platform.Problems().empty());
}

}  // namespace
}  // namespace velmorant::create
