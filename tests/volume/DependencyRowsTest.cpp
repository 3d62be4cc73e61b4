#include <gtest/gtest.h>

#include "volume/DependencyRows.h"

namespace velmorant::volume {
namespace {

DependencyRecord Dependency(const char* name, std::int32_t kind, std::int64_t size, const char* folder,
                            std::int32_t folderGiven, std::uint32_t crc, std::int32_t duplicate = 0) {
    DependencyRecord d;
    d.foundName = name;
    d.kind = kind;
    d.fileSize = size;
    d.folderName = folder;
    d.folderGiven = folderGiven;
    d.crc = crc;
    d.duplicate = duplicate;
    d.sourcePath = std::string("/v/") + name;
    return d;
}

TEST(DependencyRowsTest, MultisampleRowThenItsSamplesTrimmedAndMarked) {
    ProgramRecord record;
    DependencyRecord multisample = Dependency("Strings", kKindMultisample, 1024, " Bank1 ", 0, 0xbeef);
    multisample.samples.push_back(Dependency("Low", kKindSample, 1023, " Keys  ", 0, 0x0000ffffu));
    multisample.samples.push_back(Dependency("Mid", kKindSample, 2048, "Keys", 1, 0xdeadbeefu));
    multisample.samples.push_back(Dependency("High", kKindSample, 0, "  ", 0, 0, 1));
    record.dependencies.push_back(multisample);
    record.dependencies.push_back(Dependency("FUSION ROM", kKindRom, 0, "", 0, 0));

    const std::vector<DependencyRow> rows = DependencyRows(record);
    ASSERT_EQ(rows.size(), 5u);
    // The multisample's own row keeps its folder as stored, never marked.
    EXPECT_EQ(rows[0].bank, " Bank1 ");
    EXPECT_EQ(rows[0].sizeKb, "2");
    EXPECT_EQ(rows[0].crc, "beef");
    EXPECT_EQ(rows[0].kind, kKindMultisample);
    EXPECT_EQ(rows[1].bank, "Keys (Relative)");
    EXPECT_EQ(rows[1].sizeKb, "1");
    EXPECT_EQ(rows[1].crc, "ffff");
    EXPECT_EQ(rows[2].bank, "Keys");
    EXPECT_EQ(rows[2].sizeKb, "3");
    EXPECT_EQ(rows[2].crc, "deadbeef");
    EXPECT_EQ(rows[3].bank, " (Relative)");
    EXPECT_EQ(rows[3].multiple, "1");
    EXPECT_EQ(rows[4].name, "FUSION ROM");
    EXPECT_EQ(rows[4].sizeKb, "1");
    EXPECT_EQ(rows[4].kind, kKindRom);
    EXPECT_EQ(rows[4].path, "/v/FUSION ROM");
}

TEST(DependencyRowsTest, ProgramWithoutDependenciesHasNoRows) {
    EXPECT_TRUE(DependencyRows(ProgramRecord{}).empty());
}

}  // namespace
}  // namespace velmorant::volume
