#include <gtest/gtest.h>

#include "demo/VolumeBuilders.h"
#include "support/TempDir.h"
#include "volume/ProgramFile.h"

namespace velmorant::volume {
namespace {

using testing::TempDir;

formats::ProgramTag Tag(const char* text) {
    formats::ProgramTag tag{};
    std::copy(text, text + 4, tag.begin());
    return tag;
}

TEST(ProgramTypeTest, TagsAreExactAndCaseSensitive) {
    EXPECT_EQ(ProgramTypeFromTag(Tag("mpsa")), kTypeSamples);
    EXPECT_EQ(ProgramTypeFromTag(Tag("umdr")), kTypeDrums);
    EXPECT_EQ(ProgramTypeFromTag(Tag("  fm")), kTypeFm);
    EXPECT_EQ(ProgramTypeFromTag(Tag("utfl")), kTypeWind);
    EXPECT_EQ(ProgramTypeFromTag(Tag("arcl")), kTypeReed);
    EXPECT_EQ(ProgramTypeFromTag(Tag("ogal")), kTypeVa);
    EXPECT_EQ(ProgramTypeFromTag(Tag("FM  ")), kTypeUnknown);
    EXPECT_EQ(ProgramTypeFromTag(Tag(" fm ")), kTypeUnknown);
    EXPECT_EQ(ProgramTypeFromTag(Tag("MPSA")), kTypeUnknown);
}

TEST(ProbeProgramFileTest, RefusesWhatIsNotAProgramFile) {
    TempDir dir;
    ASSERT_TRUE(demo::WriteText(dir({"magic.afp"}), "S80iXXXXXXXXmpsa"));
    ASSERT_TRUE(demo::WriteText(dir({"ok.afp"}), "S80pXXXXXXXXumdr"));
    ProgramProbe probe{"unchanged", kTypeVa};
    EXPECT_FALSE(ProbeProgramFile(probe, dir({"magic.afp"})));
    EXPECT_EQ(probe.path, "unchanged");
    EXPECT_TRUE(ProbeProgramFile(probe, dir({"ok.afp"})));
    EXPECT_EQ(probe.type, kTypeDrums);
}

TEST(LoadProgramFileTest, FillsTheRecordFromTheFile) {
    TempDir dir;
    demo::ProgramLayout layout;
    layout.tag = "ogal";
    layout.mods = 3;
    layout.envelopes = 1;
    layout.lfos = 2;
    layout.patterns = 258;  // needs both bytes of the field at the odd offset 51
    const std::string name(60, 'n');
    const std::string path = dir({name + ".afp"});
    const auto bytes = demo::BuildProgramFile(layout);
    ASSERT_TRUE(demo::WriteFile(path, bytes));

    ProgramRecord record;
    record.dependencies.resize(3);
    LoadProgramFile(record, path, Tag("ogal"));
    EXPECT_TRUE(record.dependencies.empty());
    EXPECT_EQ(record.programName, std::string(47, 'n'));
    EXPECT_EQ(record.sourcePath, path);
    EXPECT_EQ(record.defined, 1);
    EXPECT_EQ(record.type, kTypeVa);
    EXPECT_EQ(record.fileSize, static_cast<std::int64_t>(bytes.size()));
    EXPECT_EQ(record.chunkCounts, (std::array<std::int32_t, 4>{3, 1, 2, 258}));
    EXPECT_EQ(record.log, "Load Program Program " + path + "\n\r\n");
}

TEST(AppendLogTest, EntriesEndWithCrLf) {
    ProgramRecord record;
    AppendLog(record, "Init OK\n");
    AppendLog(record, "x");
    EXPECT_EQ(record.log, "Init OK\n\r\nx\r\n");
}

TEST(AppendLogTest, DropsTheOldestTwoThousandCharactersWhenFull) {
    ProgramRecord record;
    record.log = std::string(19990, 'a');
    record.log.replace(0, 2000, std::string(2000, 'o'));
    AppendLog(record, std::string(20, 'b'));
    EXPECT_EQ(record.log.size(), 19990u - 2000u + 22u);
    EXPECT_EQ(record.log.find('o'), std::string::npos);
    EXPECT_TRUE(record.log.ends_with(std::string(20, 'b') + "\r\n"));

    // Exactly at the limit nothing is dropped.
    ProgramRecord edge;
    edge.log = std::string(19997, 'a');
    AppendLog(edge, "");
    EXPECT_EQ(edge.log.size(), 19999u);
}

TEST(AppendLogTest, AVeryLongEntryNeverOverflowsTheLog) {
    ProgramRecord record;
    for (int i = 0; i < 30; ++i) {
        AppendLog(record, std::string(4000, 'p'));
        ASSERT_LE(record.log.size(), kMaxLogLength);
    }
    AppendLog(record, std::string(50000, 'q'));
    EXPECT_LE(record.log.size(), kMaxLogLength);
    EXPECT_TRUE(record.log.ends_with("q\r\n"));
}

}  // namespace
}  // namespace velmorant::volume
