#include <gtest/gtest.h>

#include <filesystem>

#include "bank/Bank.h"
#include "demo/VolumeBuilders.h"
#include "support/ImportFixtures.h"
#include "support/TempDir.h"
#include "bank/BankIndex.h"
#include "volume/ProgramRecord.h"

namespace velmorant::bank {
namespace {

using testing::DemoVolumeDir;
using testing::ReadText;
using testing::TempDir;

// n playable FM programs, which need no other file.
std::vector<std::string> FmPrograms(testing::ImportVolume& volume, int n) {
    std::vector<std::string> paths;
    for (int i = 0; i < n; ++i) paths.push_back(volume.AddProgram("Bank", "P" + std::to_string(i)));
    return paths;
}

TEST(AddProgramTest, FreeSlotSearchGoesUpFromTheStartOnly) {
    testing::ImportVolume volume;
    const auto paths = FmPrograms(volume, 4);
    Bank bank;
    EXPECT_EQ(AddProgram(bank, -1, paths[0]).slot, 0);
    EXPECT_EQ(AddProgram(bank, -1, paths[1]).slot, 1);
    EXPECT_EQ(AddProgram(bank, 0, paths[2]).slot, 2);    // A1 and A2 taken: A3
    EXPECT_EQ(AddProgram(bank, kSlotCount, paths[3]).slot, 3);  // past P8 starts at A1
    Bank full;
    full.slots[127].defined = true;
    full.slots[127].sourcePath = "elsewhere";
    EXPECT_EQ(AddProgram(full, 127, paths[0]).failure, AddFailure::kNoFreeSlot);  // never wraps below the start

    // The same path in another letter case is another file.
    const std::string upper = volume.Path({"Volume", "Programs", "Bank", "P0.AFP"});
    if (std::filesystem::exists(upper)) {
        GTEST_SKIP() << "the file system ignores letter case: P0.AFP is P0.afp";
    }
    std::filesystem::copy_file(paths[0], upper);
    EXPECT_EQ(AddProgram(bank, -1, upper).slot, 4);
}

TEST(AddProgramTest, FailuresLeaveTheBankAsItWas) {
    testing::ImportVolume volume;
    Bank bank;
    EXPECT_EQ(AddProgram(bank, -1, volume.ProgramPath("Bank", "missing")).failure, AddFailure::kCannotOpen);
    EXPECT_EQ(AddProgram(bank, -1, volume.AddNotAProgram("Bank", "junk")).failure, AddFailure::kNotAProgram);
    EXPECT_EQ(AddProgram(bank, -1, volume.root()).failure, AddFailure::kCannotOpen);
    EXPECT_FALSE(bank.slots[0].defined);

    const auto again = FmPrograms(volume, 1);
    ASSERT_EQ(AddProgram(bank, -1, again[0]).slot, 0);
    EXPECT_EQ(AddProgram(bank, 5, again[0]).failure, AddFailure::kAlreadyInBank);
    EXPECT_TRUE(bank.slots[0].log.ends_with("Try to add again this Program (" + again[0] + ") \n\r\n"));
    EXPECT_FALSE(bank.slots[5].defined);
}

TEST(AddProgramTest, MissingDependencyEmptiesTheSlotButKeepsItsLog) {
    DemoVolumeDir volume;
    Bank bank;
    const std::string lost = volume.program("Bank1", "Lost Strings");
    const AddResult refused = AddProgram(bank, -1, lost);
    EXPECT_EQ(refused.slot, std::nullopt);
    EXPECT_EQ(refused.failure, AddFailure::kMissingDependency);
    EXPECT_EQ(refused.loadedSlot, 0);
    EXPECT_FALSE(bank.slots[0].defined);
    EXPECT_EQ(bank.slots[0].sourcePath, lost);
    EXPECT_TRUE(bank.slots[0].summary.empty());

    // The next program takes the slot; the log keeps the older lines above the new ones.
    const std::string piano = volume.program("Bank1", "Grand Piano");
    EXPECT_EQ(AddProgram(bank, -1, piano).slot, 0);
    const std::string& log = bank.slots[0].log;
    EXPECT_LT(log.find("Load Program Program " + lost), log.find("Load Program Program " + piano));
    EXPECT_EQ(bank.slots[0].dependencies.size(), 2u);
    EXPECT_NE(bank.slots[0].summary.find("Size : "), std::string::npos);
}

TEST(SlotOperationsTest, SwapMovesEverythingButTheLabelsRemoveKeepsCategoriesRenameCleans) {
    testing::ImportVolume volume;
    Bank bank;
    ASSERT_EQ(AddProgram(bank, -1, FmPrograms(volume, 1)[0]).slot, 0);
    bank.slots[0].categories = "EM";
    const int c5 = SlotFromLabel("C5");
    SwapSlots(bank, 0, c5);
    EXPECT_EQ(std::tie(bank.slots[0].defined, bank.slots[0].slotLetter, bank.slots[0].slotNumber), std::make_tuple(false, "A", 1));
    const auto& moved = bank.slots[static_cast<std::size_t>(c5)];
    EXPECT_EQ(std::tie(moved.defined, moved.slotLetter, moved.slotNumber, moved.categories), std::make_tuple(true, "C", 5, "EM"));
    EXPECT_NE(moved.log.find("Load Program Program"), std::string::npos);
    SwapSlots(bank, c5, c5);
    SwapSlots(bank, c5, 128);
    SwapSlots(bank, -1, c5);
    EXPECT_TRUE(moved.defined);

    RemoveProgram(bank, c5);
    RemoveProgram(bank, -3);
    EXPECT_EQ(std::tie(moved.defined, moved.programName, moved.sourcePath, moved.categories), std::make_tuple(false, "", "", "EM"));

    RenameProgram(bank, 3, "Lead/Bass: \"big\" <1>|*?\\");
    EXPECT_EQ(bank.slots[3].programName, "Lead_Bass_ _big_ _1_____");
    RenameProgram(bank, 3, std::string(40, 'x'));
    EXPECT_EQ(bank.slots[3].programName, std::string(32, 'x'));
    EXPECT_EQ(SanitiseProgramName(""), "");
}

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

// The first line of the folder's bank.txt with the program's name, letter case counting.
TEST(FindProgramCategoriesTest, FirstMatchingLineOfTheFoldersIndex) {
    TempDir dir;
    volume::ProgramRecord record;
    record.programName = "Lead";
    record.sourcePath = dir({"Bank", "Lead.afp"});
    const std::pair<const char*, std::string> rows[] = {
        {nullptr, "not defined"},
        {"Number of items: 3\r\nlead:B\r\nLead:KM\r\nLead:C\r\n", "KM"},
        {"Number of items: 3\r\nLead:AAAAAAAAAAAAAAAAAAAAAAAAAA\r\n", "not defined"},  // too few names
        {"Number of items: 1\r\nLead:AAAAAAAAAAAAAAAAAAAAAAAAAA\r\n", std::string(19, 'A')}};
    for (const auto& [text, categories] : rows) {
        if (text) ASSERT_TRUE(demo::WriteText(dir({"Bank", "bank.txt"}), text));
        FindProgramCategories(record);
        EXPECT_EQ(record.categories, categories) << (text ? text : "no bank.txt");
    }
}

}  // namespace
}  // namespace velmorant::bank
