#include <gtest/gtest.h>

#include "demo/VolumeBuilders.h"
#include "formats/ProgramFile.h"
#include "support/TempDir.h"
#include "volume/ProgramFile.h"

namespace velmorant::formats {
namespace {

using testing::TempDir;

// The head of a file: the result, the tag, and the program type the volume reads from it (every
// tag's type is shown, and so checked, by the dynamic catalogue's rows).
TEST(ProgramHeadTest, MagicTagAndType) {
    const std::tuple<std::string, ProgramResult, std::string, std::int32_t> rows[] = {
        {"S80pXXXXXXXXumdr", ProgramResult::kRead, "umdr", volume::kTypeDrums},
        {"S80pXXXXXXXX  fmMORE", ProgramResult::kRead, "  fm", volume::kTypeFm},
        {"S80pXXXXXXXXFM  ", ProgramResult::kRead, "FM  ", volume::kTypeUnknown},  // tags are exact
        {"S80pmpsa1234567", ProgramResult::kNotAProgram, std::string(4, '\0'), -1},  // one byte short
        {"S80iXXXXXXXXmpsa", ProgramResult::kNotAProgram, std::string(4, '\0'), -1}};  // a multisample's magic
    TempDir dir;
    for (const auto& [bytes, result, tag, type] : rows) {
        ASSERT_TRUE(demo::WriteText(dir({"p.afp"}), bytes));
        const ProgramHead head = ReadProgramHeadFile(dir({"p.afp"}));
        EXPECT_EQ(head.result, result) << bytes;
        EXPECT_EQ(std::string(head.tag.begin(), head.tag.end()), tag);
        volume::ProgramProbe probe{"unchanged", volume::kTypeVa};
        EXPECT_EQ(volume::ProbeProgramFile(probe, dir({"p.afp"})), type >= 0) << bytes;
        EXPECT_EQ(probe.type, type >= 0 ? type : volume::kTypeVa);
    }
    EXPECT_EQ(ReadProgramHeadFile(dir({"missing.afp"})).result, ProgramResult::kCannotOpen);
    EXPECT_EQ(ReadProgramHeadFile(dir.path()).result, ProgramResult::kCannotOpen);  // a folder
}

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
