#include <gtest/gtest.h>

#include "demo/VolumeBuilders.h"
#include "formats/ProgramFile.h"
#include "support/TempDir.h"

namespace velmorant::formats {
namespace {

using testing::TempDir;

struct HeadCase {
    const char* label;
    std::string bytes;  // "" with `missing`: no file at all
    ProgramResult result;
    std::string tag;
};

class ReadProgramHeadTest : public ::testing::TestWithParam<HeadCase> {};

TEST_P(ReadProgramHeadTest, MagicAndTag) {
    const HeadCase& c = GetParam();
    TempDir dir;
    const std::string path = dir({"p.afp"});
    if (c.result != ProgramResult::kCannotOpen) {
        ASSERT_TRUE(demo::WriteText(path, c.bytes));
    }
    const ProgramHead head = ReadProgramHeadFile(path);
    EXPECT_EQ(head.result, c.result);
    EXPECT_EQ(std::string(head.tag.begin(), head.tag.end()), c.tag);
    EXPECT_EQ(ReadProgramHeadFile(dir.path()).result, ProgramResult::kCannotOpen);  // a folder
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadProgramHeadTest,
    ::testing::Values(HeadCase{"Drums", "S80pXXXXXXXXumdr", ProgramResult::kRead, "umdr"},
                      HeadCase{"LongerFile", "S80pXXXXXXXX  fmMORE", ProgramResult::kRead, "  fm"},
                      HeadCase{"OneByteShort", "S80pmpsa1234567", ProgramResult::kNotAProgram, std::string(4, '\0')},
                      HeadCase{"MultisampleMagic", "S80iXXXXXXXXmpsa", ProgramResult::kNotAProgram,
                               std::string(4, '\0')},
                      HeadCase{"Missing", "", ProgramResult::kCannotOpen, std::string(4, '\0')}),
    [](const auto& info) { return info.param.label; });

// Sites follow the counts: S = 80 + 116 M + 56 E + 44 L + 140 P, and each oscillator or
// zone holds its enable byte and reference record at fixed places.
TEST(ProgramSitesTest, FollowTheCountsAndStopAtTheEnd) {
    demo::ProgramLayout layout;
    layout.mods = 2;
    layout.envelopes = 3;
    layout.lfos = 1;
    layout.patterns = 1;
    layout.oscillators[2] = {true, demo::Reference{"Local 1", "Keys", "Piano"}};
    auto file = demo::BuildProgramFile(layout);
    const auto counts = ReadChunkCounts(file);
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->voiceAreaOffset(), 80u + 232 + 168 + 44 + 140);
    auto sites = OscillatorSites(file, *counts);
    ASSERT_EQ(sites.size(), 4u);
    EXPECT_EQ(sites[2].siteOffset, 664u + 228);
    EXPECT_EQ(sites[2].recordOffset, 664u + 228 + 4);
    EXPECT_TRUE(sites[2].enabled);
    EXPECT_FALSE(sites[1].enabled);
    ASSERT_TRUE(sites[2].reference);
    EXPECT_EQ(DecodeReference(*sites[2].reference, VolumeRule::kProgram, 0).name, "Piano");

    // The last block cut inside its record: listed without a reference.
    file.resize(664 + 332 + 10);
    sites = OscillatorSites(file, *counts);
    ASSERT_EQ(sites.size(), 4u);
    EXPECT_FALSE(sites[3].reference);
    EXPECT_FALSE(ReadChunkCounts(std::span(file).first(52)));

    demo::ProgramLayout drums;
    drums.tag = "umdr";
    drums.zones = {{63, 3, true, demo::Reference{"Local 1", "Kit", "Kick"}}};
    const auto kit = demo::BuildProgramFile(drums);
    const auto zones = DrumZoneSites(kit, *ReadChunkCounts(kit));
    ASSERT_EQ(zones.size(), kDrumOscillators * kDrumZonesPerOscillator);
    EXPECT_EQ(zones.back().recordOffset, 80u + 424 * 63 + 96 * 3 + 12);
    EXPECT_TRUE(zones.back().enabled);
    EXPECT_EQ(kit.size(), 80u + 64 * 424);
}

}  // namespace
}  // namespace velmorant::formats
