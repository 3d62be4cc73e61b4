#include <gtest/gtest.h>

#include "volume/DependencyRows.h"
#include "volume/Summary.h"

namespace velmorant::volume {
namespace {

DependencyRecord File(std::int64_t size, const char* folder = "", DependencyKind kind = DependencyKind::kSample,
                      std::uint32_t crc = 0, bool duplicate = false, bool folderGiven = false) {
    return {.sourcePath = "/v/x", .foundName = "x", .folderName = folder, .kind = kind, .fileSize = size,
            .folderGiven = folderGiven, .duplicate = duplicate, .crc = crc};
}

TEST(DependencyRowsTest, MultisampleRowThenItsSamplesTrimmedAndMarked) {
    ProgramRecord record;
    DependencyRecord multisample = File(1024, " Bank1 ", DependencyKind::kMultisample, 0xbeef);
    multisample.samples = {File(1023, " Keys  ", DependencyKind::kSample, 0xffff),
                           File(2048, "Keys", DependencyKind::kSample, 0xdeadbeef, false, true),
                           File(0, "  ", DependencyKind::kSample, 0, true)};
    record.dependencies = {multisample, File(0, "", DependencyKind::kRom)};
    EXPECT_TRUE(DependencyRows(ProgramRecord{}).empty());

    const std::vector<DependencyRow> rows = DependencyRows(record);
    ASSERT_EQ(rows.size(), 5u);
    // bank, size, crc, multiple: the multisample's own row keeps its folder as stored, never marked.
    const std::vector<std::array<std::string, 4>> expected = {{" Bank1 ", "2", "beef", "0"}, {"Keys (Relative)", "1", "ffff", "0"},
                                                              {"Keys", "3", "deadbeef", "0"}, {" (Relative)", "1", "0", "1"},
                                                              {"", "1", "0", "0"}};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ((std::array<std::string, 4>{rows[i].bank, rows[i].sizeKb, rows[i].crc, rows[i].multiple}), expected[i]) << i;
    }
    EXPECT_EQ(rows[4].kind, DependencyKind::kRom);
}

TEST(SummaryTest, SharedMultisampleCountsTwiceAndItsDuplicateSamplesOnce) {
    ProgramRecord record;
    record.type = kTypeSamples;
    record.categories = "not defined";
    record.fileSize = 1023;
    EXPECT_EQ(ComputeProgramSizeKb(record), 1);
    record.fileSize = 500;
    for (int osc = 0; osc < 2; ++osc) {
        DependencyRecord multisample = File(10000, "", DependencyKind::kMultisample, 0, osc == 1);
        multisample.samples = {File(5000), File(5000, "", DependencyKind::kSample, 0, true)};  // listed twice: counted once
        record.dependencies.push_back(multisample);
    }
    record.chunkCounts = {1, 2, 3, 4};
    // 1 (program) + 10 + 10 (the multisample twice) + 5 + 5 (its sample once per list).
    EXPECT_EQ(ComputeProgramSizeKb(record), 31);
    BuildProgramSummary(record);
    EXPECT_EQ(record.summary,
              "Type : Samples\r\nCategories : not defined\r\nSize : 31 Kb\r\nNb Dependencies : 1\r\n"
              "Chunks : 1 Mods, 2 Enveloppes,3 LFO, 4 Patterns\r\n");
}

}  // namespace
}  // namespace velmorant::volume
