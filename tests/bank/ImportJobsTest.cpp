#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "bank/Bank.h"
#include "bank/ImportJobs.h"
#include "bank/ResultMessages.h"
#include "platform/ScriptedPlatform.h"
#include "support/ImportFixtures.h"

namespace velmorant::bank {
namespace {

using platform::Icon;
using platform::PlatformCall;
using platform::ScriptedPlatform;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using velmorant::testing::CallLines;
using velmorant::testing::CallsOf;
using velmorant::testing::ImportVolume;

std::vector<std::string> OccupiedNames(const Bank& bank) {
    std::vector<std::string> names;
    for (int i = 0; i < kSlotCount; ++i) {
        const auto& slot = bank.slots[static_cast<std::size_t>(i)];
        if (slot.defined == 1) {
            names.push_back(SlotLabel(i) + " " + slot.programName);
        }
    }
    return names;
}

// Fills the given slots with programs of a folder "Held" that the job never sees.
void Occupy(ImportVolume& volume, Bank& bank, const std::vector<std::string>& labels) {
    for (const std::string& label : labels) {
        const int slot = SlotFromLabel(label);
        ASSERT_EQ(AddProgram(bank, slot, volume.AddProgram("Held", "Held " + label)), slot);
    }
}

// ---- the result table ----

// Each code shows one box naming the file literally (never read as a format), and its
// answer agrees with the rule the jobs use to go on.
TEST(ResultMessageTest, EveryCodeShowsOneBoxAndAnswersLikeTheRule) {
    for (int code : {-1001, -1002, -1003, -1004, -1005, -1006, -1007, -1008}) {
        ScriptedPlatform platform;
        const int stops = ShowResultMessage(platform, code, "/v/Programs/B/x%s.afp");
        const auto boxes = CallsOf(platform, PlatformCall::Kind::kMessage);
        ASSERT_EQ(boxes.size(), 1u) << code;
        EXPECT_NE(boxes[0].text.find("(/v/Programs/B/x%s.afp)"), std::string::npos) << code;
        EXPECT_EQ(boxes[0].icon, stops != 0 ? Icon::kStop : Icon::kInformation) << code;
        EXPECT_EQ(ResultLetsJobGoOn(code), stops == 0) << code;
    }
}

TEST(ResultMessageTest, CodesOutsideTheTableShowNothingAndStop) {
    ScriptedPlatform platform;
    for (int code : {0, -1, -5, -1000, -1009, -3000, 1006}) {
        EXPECT_EQ(ShowResultMessage(platform, code, "x"), 1) << code;
    }
    EXPECT_THAT(platform.Calls(), IsEmpty());
}

// ---- the start slot holds for the whole job ----

struct PlacementCase {
    const char* name;
    std::vector<std::string> occupied;
    int start;
    int files;
    std::vector<std::string> expectedSlots;  // of the imported programs, in file order
    bool stops;
};
void PrintTo(const PlacementCase& c, std::ostream* os) { *os << c.name; }


class StartSlotPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(StartSlotPlacement, EveryProgramSearchesFromTheSameStart) {
    const PlacementCase& c = GetParam();
    ImportVolume volume;
    Bank bank;
    Occupy(volume, bank, c.occupied);
    std::vector<std::string> paths;
    for (int i = 0; i < c.files; ++i) {
        paths.push_back(volume.AddProgram("New", "N" + std::to_string(i)));
    }
    ScriptedPlatform platform;
    platform.AnswerOpenFiles(paths);
    ImportOutcome outcome;
    EXPECT_EQ(ImportProgramsCommand(platform, bank, c.start, &outcome), 0);

    std::vector<std::string> placed;
    for (int slot : outcome.placed) {
        placed.push_back(SlotLabel(slot));
        EXPECT_EQ(bank.slots[static_cast<std::size_t>(slot)].programName, "N" + std::to_string(placed.size() - 1));
    }
    EXPECT_EQ(placed, c.expectedSlots);
    EXPECT_EQ(outcome.stopped, c.stops);
    EXPECT_EQ(platform.Boxes().size(), c.stops ? 1u : 0u);
    EXPECT_THAT(platform.Problems(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Imports, StartSlotPlacement,
    ::testing::Values(PlacementCase{"NoSelectionFillsFromA1", {}, -1, 2, {"A1", "A2"}, false},
                      PlacementCase{"SelectedA1WithA1A2Taken", {"A1", "A2"}, 0, 3, {"A3", "A4", "A5"}, false},
                      PlacementCase{"HolesAfterTheStartAreFilledInOrder", {"C6", "C8"}, 20, 3, {"C5", "C7", "D1"},
                                    false},
                      PlacementCase{"SlotsBelowTheStartAreNeverUsed", {}, 126, 3, {"P7", "P8"}, true}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ImportBankTest, EveryEntrySearchesFromTheSameStart) {
    ImportVolume volume;
    Bank bank;
    Occupy(volume, bank, {"B2"});
    volume.AddProgram("Bank", "X");
    volume.AddProgram("Bank", "Y");
    ScriptedPlatform platform;
    platform.AnswerOpenFiles({volume.WriteBankText("Bank", {"Number of items: 2", "X", "Y"})});
    EXPECT_EQ(ImportBankCommand(platform, bank, SlotFromLabel("B1"), nullptr), 0);
    EXPECT_THAT(OccupiedNames(bank), ElementsAre("B1 X", "B2 Held B2", "B3 Y"));
}

// ---- codes that skip one program ----

struct SkipCase {
    const char* name;
    int code;
    const char* textStart;
};
void PrintTo(const SkipCase& c, std::ostream* os) { *os << c.name; }


class SkippingCodes : public ::testing::TestWithParam<SkipCase> {};

// The second of three files fails; the others are placed and the window comes back.
TEST_P(SkippingCodes, BoxThenTheJobGoesOn) {
    const SkipCase& c = GetParam();
    ImportVolume volume;
    Bank bank;
    const std::string first = volume.AddProgram("New", "First");
    std::string failing;
    switch (c.code) {
        case kResultAlreadyInBank:
            failing = volume.AddProgram("New", "Twice");
            ASSERT_EQ(AddProgram(bank, -1, failing), 0);
            break;
        case kResultCannotOpen:
            failing = volume.ProgramPath("New", "Absent");
            break;
        case kResultNotAProgram:
            failing = volume.AddNotAProgram("New", "Text");
            break;
        case kResultMissingDependency:
            failing = volume.AddProgramMissingDependency("New", "Lost");
            break;
    }
    const std::string third = volume.AddProgram("New", "Third");
    ScriptedPlatform platform;
    platform.AnswerOpenFiles({first, failing, third});
    ImportOutcome outcome;
    ImportProgramsCommand(platform, bank, -1, &outcome);

    EXPECT_FALSE(outcome.stopped);
    EXPECT_EQ(outcome.skipped, 1);
    EXPECT_EQ(outcome.placed.size(), 2u);
    const auto lines = CallLines(platform);
    const std::string box = "box Information: " + std::string(c.textStart) + " - Skip it \n(" + failing + ")";
    const auto at = std::find(lines.begin(), lines.end(), box);
    ASSERT_NE(at, lines.end()) << ::testing::PrintToString(lines);
    EXPECT_EQ(*(at + 1), "front");
    EXPECT_EQ(*(at + 2), "pos 2");
    EXPECT_EQ(lines.back(), "close");
    EXPECT_EQ(platform.Boxes().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Imports, SkippingCodes,
                         ::testing::Values(SkipCase{"Duplicate", kResultAlreadyInBank, "File already in the bank"},
                                           SkipCase{"Unreadable", kResultCannotOpen, "Cannot open file"},
                                           SkipCase{"NotAProgram", kResultNotAProgram,
                                                    "File is not a valid fusion program"},
                                           SkipCase{"MissingDependency", kResultMissingDependency,
                                                    "Cannot find one or more dependencies of program"}),
                         [](const auto& row) { return std::string(row.param.name); });

// ---- codes that stop the job ----

TEST(ImportProgramsTest, NoRoomStopsAMultipleSelection) {
    ImportVolume volume;
    Bank bank;
    std::vector<std::string> paths;
    for (const char* name : {"One", "Two", "Three", "Four"}) {
        paths.push_back(volume.AddProgram("New", name));
    }
    ScriptedPlatform platform;
    platform.AnswerOpenFiles(paths);
    ImportOutcome outcome;
    EXPECT_EQ(ImportProgramsCommand(platform, bank, SlotFromLabel("P7"), &outcome), 0);

    EXPECT_THAT(OccupiedNames(bank), ElementsAre("P7 One", "P8 Two"));
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(outcome.stopCode, kResultNoRoom);
    EXPECT_THAT(CallLines(platform),
                ElementsAre("choose Import Programs", "start", "title Importing Programs", "range 4",
                            "status Loading One.afp", "pos 1", "status Loading Two.afp", "pos 2",
                            "status Loading Three.afp",
                            "box Error: No more room in the bank for files - Exit ! \n(" + paths[2] + ")", "pos 3",
                            "close"));
}

TEST(ImportBankTest, NoRoomStopsTheBankAndKeepsWhatWasPlaced) {
    ImportVolume volume;
    Bank bank;
    for (const char* name : {"X", "Y", "Z"}) {
        volume.AddProgram("Bank", name);
    }
    ScriptedPlatform platform;
    platform.AnswerOpenFiles({volume.WriteBankText("Bank", {"Number of items: 3", "X", "Y", "Z"})});
    ImportOutcome outcome;
    EXPECT_EQ(ImportBankCommand(platform, bank, SlotFromLabel("P8"), &outcome), -1);
    EXPECT_THAT(OccupiedNames(bank), ElementsAre("P8 X"));
    EXPECT_THAT(platform.Boxes(), ElementsAre("Error: No more room in the bank for files - Exit ! \n(" +
                                              volume.ProgramPath("Bank", "Y") + ")"));
    const auto lines = CallLines(platform);
    EXPECT_EQ(lines.back(), "close");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "front"), 1);  // only after reading the bank.txt
}

// ---- the bank.txt itself ----

struct IndexCase {
    const char* name;
    std::vector<std::string> lines;  // empty: no bank.txt at all
    int result;
    std::string box;                 // "" when none; the path follows in the text
    std::vector<std::string> loaded;
};
void PrintTo(const IndexCase& c, std::ostream* os) { *os << c.name; }


class BankTextProblems : public ::testing::TestWithParam<IndexCase> {};

TEST_P(BankTextProblems, AreReportedAndLoadWhatTheyCan) {
    const IndexCase& c = GetParam();
    ImportVolume volume;
    for (const char* name : {"X", "Y", "Z"}) {
        volume.AddProgram("Bank", name);
    }
    const std::string indexPath =
        c.lines.empty() ? volume.BankTextPath("Bank") : volume.WriteBankText("Bank", c.lines);
    Bank bank;
    ScriptedPlatform platform;
    platform.AnswerOpenFiles({indexPath});
    EXPECT_EQ(ImportBankCommand(platform, bank, -1, nullptr), c.result);
    if (c.box.empty()) {
        EXPECT_THAT(platform.Boxes(), IsEmpty());
    } else {
        EXPECT_THAT(platform.Boxes(), ElementsAre(c.box + indexPath + ")"));
    }
    EXPECT_THAT(OccupiedNames(bank), ElementsAreArray(c.loaded));
    EXPECT_EQ(CallLines(platform).back(), "close");
}

INSTANTIATE_TEST_SUITE_P(
    ImportBank, BankTextProblems,
    ::testing::Values(
        IndexCase{"Valid", {"Number of items: 3", "X:A", "Y", "Z"}, 0, "", {"A1 X", "A2 Y", "A3 Z"}},
        IndexCase{"Missing", {}, -1, "Error: Cannot open file ! \n(", {}},
        IndexCase{"NoCountLine", {"X", "Y", "Z"}, -1, "Error: Unknow bank.txt format\n (", {}},
        IndexCase{"CountLineAfterAnEmptyLine", {"", "Number of items: 3", "X"}, -1,
                  "Error: Unknow bank.txt format\n (", {}},
        IndexCase{"TooFewNamesLoadsTheLoweredCount",
                  {"Number of items: 5", "X", "Y"},
                  0,
                  "Information: Bad number of items in bank.txt \n (",
                  {"A1 X", "A2 Y"}},
        IndexCase{"CountBelowTheNamesLoadsOnlyTheCount", {"Number of items: 1", "X", "Y", "Z"}, 0, "", {"A1 X"}},
        IndexCase{"NegativeCountLoadsNothing", {"Number of items: -4", "X"}, 0, "", {}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ImportBankTest, AMissingProgramIsSkippedAndTheOthersFollowOneAnother) {
    ImportVolume volume;
    volume.AddProgram("Bank", "X");
    volume.AddProgram("Bank", "Z");
    const std::string indexPath = volume.WriteBankText("Bank", {"Number of items: 3", "X:A", "Y:B", "Z:C"});
    Bank bank;
    ScriptedPlatform platform;
    platform.AnswerOpenFiles({indexPath});
    EXPECT_EQ(ImportBankCommand(platform, bank, -1, nullptr), 0);

    EXPECT_THAT(OccupiedNames(bank), ElementsAre("A1 X", "A2 Z"));
    const std::string missing = volume.ProgramPath("Bank", "Y");
    EXPECT_THAT(CallLines(platform),
                ElementsAre("choose Import Bank", "start", "title Importing Bank.txt", "status Loading Bank.txt file",
                            "front", "range 3", "status  0/3 - Open Program : X", "pos 0",
                            "status  1/3 - Open Program : Y", "pos 1",
                            "box Information: Cannot open file - Skip it \n(" + missing + ")", "front",
                            "status  2/3 - Open Program : Z", "pos 2", "close"));
    const auto chooser = CallsOf(platform, PlatformCall::Kind::kChooseOpenFiles);
    ASSERT_EQ(chooser.size(), 1u);
    EXPECT_EQ(chooser[0].value, 0);  // single selection
    ASSERT_EQ(chooser[0].filters.size(), 2u);
    EXPECT_EQ(chooser[0].filters[0].description, "Alesis Bank file (.txt)");
    EXPECT_EQ(chooser[0].filters[0].pattern, "*.txt");
    EXPECT_EQ(chooser[0].filters[1].pattern, "*.*");
}

TEST(ImportBankTest, EmptyLinesAndNamesReachingOutOfTheFolderAreUnopenableEntries) {
    ImportVolume volume;
    volume.AddProgram("Bank", "X");
    volume.AddProgram("Other", "Outside");
    const std::string indexPath =
        volume.WriteBankText("Bank", {"Number of items: 2", "", "../Other/Outside", "X"});
    Bank bank;
    ScriptedPlatform platform;
    platform.AnswerOpenFiles({indexPath});
    EXPECT_EQ(ImportBankCommand(platform, bank, -1, nullptr), 0);
    EXPECT_THAT(OccupiedNames(bank), IsEmpty());  // the count 2 covers the two bad entries only
    const auto boxes = platform.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0].find(".afp)"), std::string::npos);
    EXPECT_NE(boxes[1].find("Cannot open file - Skip it"), std::string::npos);
}

// ---- categories ----

struct CategoryCase {
    const char* name;
    std::vector<std::string> folderIndex;  // empty: no bank.txt in the folder
    std::string expected;
};
void PrintTo(const CategoryCase& c, std::ostream* os) { *os << c.name; }


class CategoriesFromTheFolder : public ::testing::TestWithParam<CategoryCase> {};

TEST_P(CategoriesFromTheFolder, ImportProgramsReadsTheBankTextBesideTheFile) {
    const CategoryCase& c = GetParam();
    ImportVolume volume;
    const std::string path = volume.AddProgram("Bank", "Lead1");
    if (!c.folderIndex.empty()) {
        volume.WriteBankText("Bank", c.folderIndex);
    }
    Bank bank;
    ScriptedPlatform platform;
    platform.AnswerOpenFiles({path});
    ImportProgramsCommand(platform, bank, -1);
    EXPECT_EQ(bank.slots[0].categories, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    ImportPrograms, CategoriesFromTheFolder,
    ::testing::Values(
        CategoryCase{"FirstMatchingLine", {"Number of items: 3", "Pad:L", "Lead1:KB", "Lead1:E"}, "KB"},
        CategoryCase{"NameComparedWithCase", {"Number of items: 1", "lead1:KB"}, "not defined"},
        CategoryCase{"RejectedIndexLeavesNone", {"Number of items: 4", "Lead1:KB", "Pad:L"}, "not defined"},
        CategoryCase{"NoBankText", {}, "not defined"},
        CategoryCase{"CutTo19", {"Number of items: 1", "Lead1:ABCDEFGHIJKLMNOPABCDEFGH"}, "ABCDEFGHIJKLMNOPABC"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ImportBankTest, TakesCategoriesFromItsOwnLinesCutTo19) {
    ImportVolume volume;
    volume.AddProgram("Bank", "X");
    volume.AddProgram("Bank", "Y");
    Bank bank;
    ScriptedPlatform platform;
    platform.AnswerOpenFiles(
        {volume.WriteBankText("Bank", {"Number of items: 2", "X:ABCDEFGHIJKLMNOPABCDEFGH", "Y"})});
    ImportBankCommand(platform, bank, -1, nullptr);
    EXPECT_EQ(bank.slots[0].categories, "ABCDEFGHIJKLMNOPABC");
    EXPECT_EQ(bank.slots[1].categories, "");
}

// ---- the whole conversation of a job ----

TEST(ImportProgramsTest, OneFileConversation) {
    ImportVolume volume;
    const std::string path = volume.AddProgram("Bank", "Solo");
    Bank bank;
    ScriptedPlatform platform;
    platform.AnswerOpenFiles({path});
    ImportProgramsCommand(platform, bank, -1);
    EXPECT_THAT(CallLines(platform), ElementsAre("choose Import Programs", "start", "title Importing Programs",
                                                 "status Loading Solo.afp", "range 1", "pos 1", "close"));
    const auto chooser = CallsOf(platform, PlatformCall::Kind::kChooseOpenFiles);
    EXPECT_EQ(chooser[0].value, 1);  // multiple selection
    ASSERT_EQ(chooser[0].filters.size(), 2u);
    EXPECT_EQ(chooser[0].filters[0].description, "Alesis Fusion Program files (.afp)");
    EXPECT_EQ(chooser[0].filters[0].pattern, "*.afp");
    EXPECT_EQ(chooser[0].filters[1].description, "All files");
    EXPECT_THAT(platform.Problems(), IsEmpty());
}

TEST(ImportJobsTest, CancelledChooserEndsBeforeAnyWindow) {
    Bank bank;
    for (bool wholeBank : {false, true}) {
        ScriptedPlatform platform;
        platform.AnswerCancel();
        ImportOutcome outcome;
        const int result = wholeBank ? ImportBankCommand(platform, bank, -1, &outcome) : ImportProgramsCommand(platform, bank, -1,
                                                                                                  &outcome);
        EXPECT_EQ(result, 0);
        EXPECT_TRUE(outcome.cancelled);
        EXPECT_EQ(platform.Calls().size(), 1u);
        EXPECT_THAT(platform.Problems(), IsEmpty());
    }
}

}  // namespace
}  // namespace velmorant::bank
