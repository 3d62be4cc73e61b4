#include <gtest/gtest.h>

#include <filesystem>

#include "core/Checksum.h"
#include "core/File.h"
#include "create/Multisample.h"
#include "create/ProgramTemplates.h"
#include "platform/ScriptedPlatform.h"
#include "support/CreateFixtures.h"
#include "support/TempDir.h"

namespace velmorant::create {
namespace {

using testing::Slice;
using testing::TempDir;

std::uint32_t Crc(std::span<const std::uint8_t> bytes) {
    return core::Crc32Update(0, bytes);
}

// The templates as the instrument expects them, byte for byte; the worked examples below and
// in the drum program's tests show what their fields mean.
TEST(ProgramTemplates, MatchTheInstrumentsBytes) {
    EXPECT_EQ(MultisampleProgramTemplate().size(), 2028u);
    EXPECT_EQ(Crc(MultisampleProgramTemplate()), 0x008B33AAu);
    EXPECT_EQ(DrumProgramTemplate().size(), 28280u);
    EXPECT_EQ(Crc(DrumProgramTemplate()), 0x3E7A1828u);
    EXPECT_EQ(Crc(ProgramParameterList()), 0x33F50412u);
}

class MultisampleBuildTest : public ::testing::Test {
protected:
    std::string Wave(const std::string& name, std::uint32_t unityNote) {
        testing::WaveLayout layout;
        layout.payload = testing::TonePayload(50, 440);
        layout.unityNote = unityNote;
        return testing::WriteWave(dir({name}), layout);
    }
    SampleEntry Entry(const std::string& name, int root, int left, int right) {
        SampleEntry entry;
        entry.path = Wave(name, static_cast<std::uint32_t>(root));
        entry.rootKey = root;
        entry.leftKey = left;
        entry.rightKey = right;
        return entry;
    }
    std::vector<std::string> FilesInOut() {
        std::vector<std::string> names = core::ListDirectory(dir({"out"})).value_or(std::vector<std::string>{});
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir dir;
    platform::ScriptedPlatform platform;
};

TEST_F(MultisampleBuildTest, PianoWithCollidingRootKeys) {
    std::filesystem::create_directory(dir({"out"}));
    const std::vector<SampleEntry> entries = {Entry("a.wav", 48, 0, 54), Entry("b.wav", 60, 55, 66),
                                              Entry("c.wav", 72, 67, 127), Entry("d.wav", 60, 60, 60),
                                              Entry("e.wav", 60, 61, 61)};
    const MultisampleBuildResult result = BuildMultisample(platform, entries, dir({"out", "Piano.afp"}));
    EXPECT_EQ(result.code, BuildResult::kDone);
    EXPECT_EQ(platform.Boxes(), std::vector<std::string>{"Information: Done !"});
    EXPECT_TRUE(platform.Problems().empty());
    EXPECT_EQ(FilesInOut(), (std::vector<std::string>{"Piano.afi", "Piano.afp", "Piano000060.afs", "Piano001060.afs",
                                                      "Piano048.afs", "Piano060.afs", "Piano072.afs", "bank.txt"}));
    EXPECT_EQ(testing::ReadText(dir({"out", "bank.txt"})),
              "Number of items: 5\r\nPiano048\r\nPiano060\r\nPiano072\r\nPiano000060\r\nPiano001060\r\n");

    // The samples were converted with the entry's root key.
    EXPECT_EQ(testing::ReadBytes(dir({"out", "Piano000060.afs"}))[15], 60);

    const auto afi = testing::ReadBytes(dir({"out", "Piano.afi"}));
    ASSERT_EQ(afi.size(), 20u + 5 * 100);
    EXPECT_EQ(Slice(afi, 0, 20), testing::Hex("53383069 00000200 00000000 00000000 00050000"));
    // Zone 3 ("Piano000060", keys 60..60, root 60) written out field by field.
    std::vector<std::uint8_t> zone = testing::Hex("3C 3C 7F 00 00000000");
    zone.resize(40, 0);
    const auto name = testing::PairSwapped("Piano000060", 32);
    zone.insert(zone.end(), name.begin(), name.end());
    const auto tail = testing::Hex("0080 3C 000000 3F800000 3F000000 0000000000000000000000000000");
    zone.insert(zone.end(), tail.begin(), tail.end());
    EXPECT_EQ(Slice(afi, 20 + 3 * 100, 100), zone);
    EXPECT_EQ(Slice(afi, 20, 4), testing::Hex("36 00 7F 00"));
    EXPECT_EQ(Slice(afi, 20 + 40, 8), testing::Hex("69 50 6E 61 30 6F 38 34"));  // "iPna0o84"

    std::vector<std::uint8_t> program = MultisampleProgramTemplate();
    const auto programName = testing::PairSwapped("Piano", 32);
    std::copy(programName.begin(), programName.end(), program.begin() + 852);
    EXPECT_EQ(testing::ReadBytes(dir({"out", "Piano.afp"})), program);
}

TEST_F(MultisampleBuildTest, NeverOverwritesAFileItDidNotWrite) {
    std::filesystem::create_directory(dir({"out"}));
    testing::WriteTextFile(dir({"out", "Piano060.afs"}), "someone else's sample");
    const auto result = BuildMultisample(platform, {Entry("a.wav", 60, 0, 127)}, dir({"out", "Piano.afp"}));
    EXPECT_EQ(result.code, BuildResult::kDone);
    EXPECT_EQ(testing::ReadText(dir({"out", "Piano060.afs"})), "someone else's sample");
    EXPECT_TRUE(core::FileExists(dir({"out", "Piano000060.afs"})));
    EXPECT_EQ(testing::ReadText(dir({"out", "bank.txt"})), "Number of items: 1\r\nPiano000060\r\n");
}

TEST_F(MultisampleBuildTest, LongNamesFitTheReferenceFields) {
    std::filesystem::create_directory(dir({"out"}));
    const std::string name = "A long piano name with forty characters";  // 39 + "X"
    const auto result =
        BuildMultisample(platform, {Entry("a.wav", 5, 0, 127), Entry("b.wav", 5, 0, 127)}, dir({"out", name + "X.afp"}));
    EXPECT_EQ(result.code, BuildResult::kDone);
    const std::string base29 = "A_long_piano_name_with_forty_";
    const std::string base26 = "A_long_piano_name_with_for";
    EXPECT_EQ(testing::ReadText(dir({"out", "bank.txt"})),
              "Number of items: 2\r\n" + base29 + "005\r\n" + base26 + "000005\r\n");
    // The program names the multisample by its first 32 characters, and that is the file written.
    const std::string multisample = name.substr(0, 32);
    EXPECT_TRUE(core::FileExists(dir({"out", multisample + ".afi"})));
    EXPECT_TRUE(core::FileExists(dir({"out", name + "X.afp"})));
    EXPECT_EQ(Slice(testing::ReadBytes(dir({"out", name + "X.afp"})), 852, 32),
              testing::PairSwapped(multisample, 32));
}

TEST_F(MultisampleBuildTest, RefusesWhatCannotBeBuiltBeforeWritingAnything) {
    std::filesystem::create_directory(dir({"out"}));
    std::vector<SampleEntry> many(256, Entry("a.wav", 60, 0, 127));
    EXPECT_EQ(BuildMultisample(platform, many, dir({"out", "Big.afp"})).code, BuildResult::kRefused);
    EXPECT_TRUE(FilesInOut().empty());
    ASSERT_EQ(platform.Boxes().size(), 1u);
    EXPECT_TRUE(platform.Boxes()[0].starts_with("Error: A multisample holds at most 255 samples")) << platform.Boxes()[0];

    // A file that cannot be written is named with the system's reason.
    std::filesystem::create_directory(dir({"out", "bank.txt"}));
    EXPECT_EQ(BuildMultisample(platform, {Entry("a.wav", 60, 0, 127)}, dir({"out", "Piano.afp"})).code,
              BuildResult::kCannotCreateIndex);
    EXPECT_EQ(platform.Boxes().back(), "Error: Cannot create the file " + dir({"out", "bank.txt"}) + ": Is a directory");
}

// A sample that cannot be converted fails the build: nothing names it, and the samples already
// converted are taken back, so nothing of the build is left.
TEST_F(MultisampleBuildTest, AFailedConversionWritesNoProgramAndLeavesNothing) {
    std::filesystem::create_directory(dir({"out"}));
    SampleEntry gone = Entry("a.wav", 60, 0, 127);
    gone.path = dir({"gone.wav"});
    const auto result = BuildMultisample(platform, {Entry("b.wav", 48, 0, 59), gone}, dir({"out", "Piano.afp"}));
    EXPECT_EQ(result.code, BuildResult::kSampleFailed);
    EXPECT_EQ(result.conversionStatus, (std::vector<ConversionResult>{ConversionResult::kWritten,
                                                                      ConversionResult::kNoSource}));
    EXPECT_TRUE(FilesInOut().empty());
    EXPECT_EQ(platform.Boxes(), std::vector<std::string>{"Error: " + dir({"out", "Piano.afp"}) +
                                                         " was not written: 1 of 2 samples could not be converted.\n" +
                                                         dir({"gone.wav"}) +
                                                         ": status 0, the WAV file does not exist"});
}

// Roots and locks -> zones (left, right) after the mapping; a locked entry is left alone (200).
TEST(AutoMapTest, SplitsHalfwayBetweenRootKeys) {
    using Pairs = std::vector<std::pair<int, int>>;
    const std::pair<Pairs, Pairs> cases[] = {{{{72, 0}, {36, 0}, {48, 0}}, {{61, 127}, {0, 42}, {43, 60}}},
                                             {{{60, 0}, {61, 0}}, {{0, 60}, {61, 127}}},
                                             {{{64, 0}}, {{0, 127}}},
                                             {{{60, 0}, {40, 1}, {80, 0}}, {{0, 70}, {200, 200}, {71, 127}}},
                                             {{{60, 0}, {60, 0}, {30, 0}}, {{46, 127}, {200, 200}, {0, 45}}},
                                             {{{60, 1}, {70, 1}}, {{200, 200}, {200, 200}}},
                                             {{}, {}}};
    for (const auto& [rootsAndLocks, expected] : cases) {
        std::vector<SampleEntry> entries;
        for (const auto& [root, locked] : rootsAndLocks) {
            entries.push_back({.path = {}, .rootKey = root, .leftKey = 200, .rightKey = 200, .locked = locked});
        }
        AutoMapSamples(entries);
        Pairs zones;
        for (const SampleEntry& entry : entries) {
            zones.emplace_back(entry.leftKey, entry.rightKey);
        }
        EXPECT_EQ(zones, expected);
    }
}

}  // namespace
}  // namespace velmorant::create
