#include <gtest/gtest.h>

#include <filesystem>

#include "bank/BankIndex.h"
#include "volume/ProgramRecord.h"
#include "demo/VolumeBuilders.h"
#include "support/TempDir.h"

namespace velmorant::bank {
namespace {

using testing::ReadText;
using testing::TempDir;

TEST(WriteFolderIndexTest, ListsMatchingExtensionsOfLongEnoughNames) {
    TempDir dir;
    for (const char* name : {"Piano.AFP", "bass.afp", "x.afp", "Organ.afi", "a.af", "Kit.afpx"}) {
        ASSERT_TRUE(demo::WriteText(dir({name}), "x"));
    }
    ASSERT_TRUE(WriteFolderIndex(dir.path(), FolderKind::kPrograms));
    const std::string text = ReadText(dir({"bank.txt"}));
    EXPECT_TRUE(text.starts_with("Number of items: 4\r\n")) << text;
    for (const char* name : {"Piano\r\n", "bass\r\n", "x\r\n", "Kit\r\n"}) {
        EXPECT_NE(text.find(name), std::string::npos) << name;
    }
    EXPECT_EQ(text.find("Organ"), std::string::npos);

    ASSERT_TRUE(std::filesystem::create_directory(dir({"empty"})));
    ASSERT_TRUE(WriteFolderIndex(dir({"empty"}), FolderKind::kSamples));
    EXPECT_EQ(ReadText(dir({"empty", "bank.txt"})), "Number of items: 0\r\n");
    EXPECT_FALSE(WriteFolderIndex(dir({"nowhere"}), FolderKind::kSamples));
}

TEST(FindProgramCategoriesTest, FirstMatchingLineOfTheFoldersIndex) {
    TempDir dir;
    volume::ProgramRecord record;
    record.programName = "Lead";
    record.sourcePath = dir({"Bank", "Lead.afp"});

    FindProgramCategories(record);
    EXPECT_EQ(record.categories, "not defined");  // no bank.txt

    ASSERT_TRUE(demo::WriteText(dir({"Bank", "bank.txt"}),
                                "Number of items: 3\r\nlead:B\r\nLead:KM\r\nLead:C\r\n"));
    FindProgramCategories(record);
    EXPECT_EQ(record.categories, "KM");

    ASSERT_TRUE(demo::WriteText(dir({"Bank", "bank.txt"}), "Number of items: 3\r\nLead:" + std::string(30, 'A') + "\r\n"));
    FindProgramCategories(record);  // rejected index (too few names)
    EXPECT_EQ(record.categories, "not defined");

    ASSERT_TRUE(demo::WriteText(dir({"Bank", "bank.txt"}), "Number of items: 1\r\nLead:" + std::string(30, 'A') + "\r\n"));
    FindProgramCategories(record);
    EXPECT_EQ(record.categories, std::string(19, 'A'));
}

}  // namespace
}  // namespace velmorant::bank
