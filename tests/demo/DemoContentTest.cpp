#include <gtest/gtest.h>

#include "bank/Bank.h"
#include "core/File.h"
#include "demo/DemoContent.h"
#include "support/TempDir.h"

namespace velmorant::demo {
namespace {

TEST(DemoContent, CreatedProgramsLoadWithEveryFileFound) {
    testing::DemoVolumeDir volume;
    std::string error;
    ASSERT_TRUE(WriteCreatedDemoContent(volume.root(), error)) << error;
    EXPECT_FALSE(core::DirectoryExists(volume({".created-wav"})));
    EXPECT_EQ(testing::ReadText(volume({"Programs", "bank.txt"})),
              "Number of items: 4\r\nBank1\r\nBank2\r\nDrums\r\nCreated\r\n");
    EXPECT_EQ(testing::ReadText(volume({"Multisamples", "Created", "bank.txt"})),
              "Number of items: 1\r\nSynth Keys\r\n");

    bank::Bank bank;
    const int keys = bank::AddProgram(bank, -1, volume.program("Created", "Synth Keys")).slot.value_or(-1);
    ASSERT_GE(keys, 0);
    const auto& keysRecord = bank.slots[static_cast<std::size_t>(keys)];
    ASSERT_EQ(keysRecord.dependencies.size(), 1u);
    EXPECT_EQ(keysRecord.dependencies[0].samples.size(), 3u);
    EXPECT_EQ(keysRecord.log.find("Cannot find"), std::string::npos) << keysRecord.log;

    const int kit = bank::AddProgram(bank, -1, volume.program("Created", "Synth Kit")).slot.value_or(-1);
    ASSERT_GE(kit, 0);
    const auto& kitRecord = bank.slots[static_cast<std::size_t>(kit)];
    EXPECT_EQ(kitRecord.dependencies.size(), 8u);  // 6 layers, and the copied key's 2 zones
    EXPECT_EQ(kitRecord.log.find("Cannot find"), std::string::npos) << kitRecord.log;

    // Running it again keeps the bank listed once.
    ASSERT_TRUE(WriteCreatedDemoContent(volume.root(), error)) << error;
    EXPECT_EQ(testing::ReadText(volume({"Programs", "bank.txt"})),
              "Number of items: 4\r\nBank1\r\nBank2\r\nDrums\r\nCreated\r\n");
}

}  // namespace
}  // namespace velmorant::demo
