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
    // The kit has 6 layers, and the copied key's 2 zones.
    for (const auto& [name, dependencies] : {std::pair{"Synth Keys", 1u}, {"Synth Kit", 8u}}) {
        const bank::AddResult added = bank::AddProgram(bank, -1, volume.program("Created", name));
        ASSERT_TRUE(added.placed()) << name;
        const auto& record = bank.slots[static_cast<std::size_t>(*added.slot)];
        EXPECT_EQ(record.dependencies.size(), dependencies) << name;
        EXPECT_EQ(record.log.find("Cannot find"), std::string::npos) << record.log;
    }
    EXPECT_EQ(bank.slots[0].dependencies[0].samples.size(), 3u);
    EXPECT_TRUE(core::FileExists(volume({"Samples", "Created", "Synth Kit311.afs"})));  // the kick's second layer

    // Running it again keeps the bank listed once.
    ASSERT_TRUE(WriteCreatedDemoContent(volume.root(), error)) << error;
    EXPECT_EQ(testing::ReadText(volume({"Programs", "bank.txt"})),
              "Number of items: 4\r\nBank1\r\nBank2\r\nDrums\r\nCreated\r\n");
}

}  // namespace
}  // namespace velmorant::demo
