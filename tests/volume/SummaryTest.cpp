#include <gtest/gtest.h>

#include "volume/Summary.h"

namespace velmorant::volume {
namespace {

DependencyRecord File(std::int64_t size, std::int32_t duplicate = 0) {
    DependencyRecord record;
    record.fileSize = size;
    record.duplicate = duplicate;
    return record;
}

TEST(SummaryTest, EveryFileCountsItsKilobytesPlusOne) {
    ProgramRecord record;
    record.fileSize = 1024;
    EXPECT_EQ(ComputeProgramSizeKb(record), 2);
    record.fileSize = 1023;
    EXPECT_EQ(ComputeProgramSizeKb(record), 1);
    record.fileSize = 0;
    record.dependencies.push_back(File(0));  // a ROM reference counts 1
    EXPECT_EQ(ComputeProgramSizeKb(record), 2);
}

TEST(SummaryTest, SharedMultisampleCountsTwiceAndItsDuplicateSamplesOnce) {
    ProgramRecord record;
    record.type = kTypeSamples;
    record.categories = "not defined";
    record.fileSize = 500;
    for (int osc = 0; osc < 2; ++osc) {
        DependencyRecord multisample = File(10000, osc);
        multisample.samples.push_back(File(5000));
        multisample.samples.push_back(File(5000, 1));  // listed twice in the multisample: not counted
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
