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
    EXPECT_TRUE(record.defined);
    EXPECT_EQ(record.type, kTypeVa);
    EXPECT_EQ(record.fileSize, static_cast<std::int64_t>(bytes.size()));
    EXPECT_EQ(record.chunkCounts, (std::array<std::int32_t, 4>{3, 1, 2, 258}));
    EXPECT_EQ(record.log, "Load Program Program " + path + "\n\r\n");
}

TEST(AppendLogTest, EntriesEndWithCrLfAndTheOldestAreDroppedWhenFull) {
    ProgramRecord record;
    AppendLog(record, "Init OK\n");
    AppendLog(record, "x");
    EXPECT_EQ(record.log, "Init OK\n\r\nx\r\n");

    record.log = std::string(2000, 'o') + std::string(17990, 'a');
    AppendLog(record, std::string(20, 'b'));
    EXPECT_EQ(record.log, std::string(17990, 'a') + std::string(20, 'b') + "\r\n");
    ProgramRecord edge;  // exactly at the limit nothing is dropped
    edge.log = std::string(19997, 'a');
    AppendLog(edge, "");
    EXPECT_EQ(edge.log.size(), 19999u);
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
