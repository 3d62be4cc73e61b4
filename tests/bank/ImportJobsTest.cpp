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
using ::testing::IsEmpty;
using velmorant::testing::CallLines;
using velmorant::testing::CallsOf;
using velmorant::testing::ImportVolume;
using Names = std::vector<std::string>;

Names OccupiedNames(const Bank& bank) {
    Names names;
    for (int i = 0; i < kSlotCount; ++i) {
        if (bank.slots[static_cast<std::size_t>(i)].defined) {
            names.push_back(SlotLabel(i) + " " + bank.slots[static_cast<std::size_t>(i)].programName);
        }
    }
    return names;
}

// Each code shows one box naming the file literally (never read as a format), and its
// answer agrees with the rule the jobs use to go on.
TEST(ResultMessageTest, EveryCodeShowsOneBoxAndAnswersLikeTheRule) {
    for (int number = -1001; number >= -1008; --number) {
        const auto code = static_cast<ResultBox>(number);
        ScriptedPlatform platform;
        const bool stops = ShowResultMessage(platform, code, "/v/Programs/B/x%s.afp");
        const auto boxes = CallsOf(platform, PlatformCall::Kind::kMessage);
        ASSERT_EQ(boxes.size(), 1u) << number;
        EXPECT_NE(boxes[0].text.find("(/v/Programs/B/x%s.afp)"), std::string::npos) << number;
        EXPECT_EQ(boxes[0].icon, stops ? Icon::kStop : Icon::kInformation) << number;
        EXPECT_EQ(ResultLetsJobGoOn(code), !stops) << number;
    }
}

// The start slot holds for the whole job: every program searches upwards from it, never below.
TEST(ImportProgramsTest, EveryProgramSearchesFromTheSameStart) {
    struct Row {
        Names occupied;
        const char* start;  // "" for none
        int files;
        Names placed;
    };
    const Row rows[] = {{{}, "", 2, {"A1 N0", "A2 N1"}},
                        {{"A1", "A2"}, "A1", 3, {"A1 A1", "A2 A2", "A3 N0", "A4 N1", "A5 N2"}},
                        {{"C6", "C8"}, "C5", 3, {"C5 N0", "C6 C6", "C7 N1", "C8 C8", "D1 N2"}}};
    for (const Row& row : rows) {
        ImportVolume volume;
        Bank bank;
        for (const std::string& label : row.occupied) {
            ASSERT_TRUE(AddProgram(bank, SlotFromLabel(label), volume.AddProgram("Held", label)).placed());
        }
        Names paths;
        for (int i = 0; i < row.files; ++i) paths.push_back(volume.AddProgram("New", "N" + std::to_string(i)));
        ScriptedPlatform platform;
        platform.AnswerOpenFiles(paths);
        EXPECT_EQ(ImportProgramsCommand(platform, bank, *row.start ? SlotFromLabel(row.start) : -1), 0);
        EXPECT_EQ(OccupiedNames(bank), row.placed) << row.start;
        EXPECT_TRUE(platform.Boxes().empty());
    }

    ImportVolume volume;
    Bank bank;
    volume.AddProgram("Bank", "X");
    volume.AddProgram("Bank", "Y");
    ASSERT_TRUE(AddProgram(bank, SlotFromLabel("B2"), volume.AddProgram("Held", "Held")).placed());
    ScriptedPlatform platform;
    platform.AnswerOpenFiles({volume.WriteBankText("Bank", {"Number of items: 2", "X", "Y"})});
    EXPECT_EQ(ImportBankCommand(platform, bank, SlotFromLabel("B1"), nullptr), 0);
    EXPECT_THAT(OccupiedNames(bank), ElementsAre("B1 X", "B2 Held", "B3 Y"));
}

// The second of three files fails: one box, the window comes back and the job goes on.
TEST(ImportProgramsTest, ASkippedProgramShowsItsBoxThenTheJobGoesOn) {
    const std::pair<ResultBox, std::string> codes[] = {
        {ResultBox::kAlreadyInBank, "File already in the bank"},
        {ResultBox::kCannotOpen, "Cannot open file"},
        {ResultBox::kNotAProgram, "File is not a valid fusion program"},
        {ResultBox::kMissingDependency, "Cannot find one or more dependencies of program"}};
    for (const auto& [code, text] : codes) {
        ImportVolume volume;
        Bank bank;
        const std::string first = volume.AddProgram("New", "First");
        const std::string failing = code == ResultBox::kAlreadyInBank ? volume.AddProgram("New", "Twice")
                                    : code == ResultBox::kCannotOpen  ? volume.ProgramPath("New", "Absent")
                                    : code == ResultBox::kNotAProgram ? volume.AddNotAProgram("New", "Text")
                                                                      : volume.AddProgramMissingDependency("New", "Lost");
        if (code == ResultBox::kAlreadyInBank) {
            ASSERT_EQ(AddProgram(bank, -1, failing).slot, 0);
        }
        ScriptedPlatform platform;
        platform.AnswerOpenFiles({first, failing, volume.AddProgram("New", "Third")});
        ImportOutcome outcome;
        ImportProgramsCommand(platform, bank, -1, &outcome);
        EXPECT_EQ(std::make_tuple(outcome.stopped, outcome.skipped, outcome.placed.size()), std::make_tuple(false, 1, 2u));
        const auto lines = CallLines(platform);
        const auto at = std::find(lines.begin(), lines.end(), "box Information: " + text + " - Skip it \n(" + failing + ")");
        ASSERT_NE(at, lines.end()) << ::testing::PrintToString(lines);
        EXPECT_EQ(std::make_tuple(*(at + 1), *(at + 2), lines.back()), std::make_tuple("front", "pos 2", "close"));
        EXPECT_EQ(platform.Boxes().size(), 1u);
    }
}

TEST(ImportProgramsTest, NoRoomStopsTheJobAndKeepsWhatWasPlaced) {
    ImportVolume volume;
    Bank bank;
    Names paths;
    for (const char* name : {"One", "Two", "Three", "Four"}) paths.push_back(volume.AddProgram("New", name));
    ScriptedPlatform platform;
    platform.AnswerOpenFiles(paths);
    ImportOutcome outcome;
    EXPECT_EQ(ImportProgramsCommand(platform, bank, SlotFromLabel("P7"), &outcome), 0);
    EXPECT_THAT(OccupiedNames(bank), ElementsAre("P7 One", "P8 Two"));
    EXPECT_EQ(outcome.stopCode, ResultBox::kNoRoom);
    EXPECT_THAT(CallLines(platform),
                ElementsAre("choose Import Programs", "start", "title Importing Programs", "range 4",
                            "status Loading One.afp", "pos 1", "status Loading Two.afp", "pos 2",
                            "status Loading Three.afp",
                            "box Error: No more room in the bank for files - Exit ! \n(" + paths[2] + ")", "pos 3",
                            "close"));

    Bank full;
    ScriptedPlatform again;
    again.AnswerOpenFiles({volume.WriteBankText("New", {"Number of items: 3", "One", "Two", "Three"})});
    EXPECT_EQ(ImportBankCommand(again, full, SlotFromLabel("P8"), &outcome), -1);
    EXPECT_THAT(OccupiedNames(full), ElementsAre("P8 One"));
    EXPECT_THAT(again.Boxes(), ElementsAre("Error: No more room in the bank for files - Exit ! \n(" + paths[1] + ")"));
    const auto lines = CallLines(again);
    EXPECT_EQ(lines.back(), "close");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "front"), 1);  // only after reading the bank.txt
}

TEST(ImportBankTest, BankTextProblemsAreReportedAndWhatCanBeLoadedIs) {
    struct Row {
        Names lines;  // empty: no bank.txt at all
        int result;
        std::string box;  // "" when none; the path follows in the text
        Names loaded;
    };
    const std::string format = "Error: Unknow bank.txt format\n (";
    const Row rows[] = {{{"Number of items: 3", "X:A", "Y", "Z"}, 0, "", {"A1 X", "A2 Y", "A3 Z"}},
                        {{}, -1, "Error: Cannot open file ! \n(", {}},
                        {{"X", "Y", "Z"}, -1, format, {}},
                        {{"", "Number of items: 3", "X"}, -1, format, {}},
                        {{"Number of items: 5", "X", "Y"}, 0, "Information: Bad number of items in bank.txt \n (", {"A1 X", "A2 Y"}},
                        {{"Number of items: 1", "X", "Y", "Z"}, 0, "", {"A1 X"}},
                        {{"Number of items: -4", "X"}, 0, "Information: Bad number of items in bank.txt \n (", {}}};
    for (const Row& row : rows) {
        ImportVolume volume;
        for (const char* name : {"X", "Y", "Z"}) volume.AddProgram("Bank", name);
        const std::string path = row.lines.empty() ? volume.BankTextPath("Bank") : volume.WriteBankText("Bank", row.lines);
        Bank bank;
        ScriptedPlatform platform;
        platform.AnswerOpenFiles({path});
        EXPECT_EQ(ImportBankCommand(platform, bank, -1, nullptr), row.result) << row.box;
        EXPECT_EQ(platform.Boxes(), row.box.empty() ? Names{} : Names{row.box + path + ")"});
        EXPECT_EQ(OccupiedNames(bank), row.loaded);
        EXPECT_EQ(CallLines(platform).back(), "close");
    }
}

TEST(ImportBankTest, AMissingProgramIsSkippedAndTheOthersFollowOneAnother) {
    ImportVolume volume;
    volume.AddProgram("Bank", "X");
    volume.AddProgram("Bank", "Z");
    Bank bank;
    ScriptedPlatform platform;
    platform.AnswerOpenFiles({volume.WriteBankText("Bank", {"Number of items: 3", "X:ABCDEFGHIJKLMNOPABCDEFGH", "Y:B", "Z"})});
    EXPECT_EQ(ImportBankCommand(platform, bank, -1, nullptr), 0);
    EXPECT_THAT(OccupiedNames(bank), ElementsAre("A1 X", "A2 Z"));
    EXPECT_THAT(CallLines(platform),
                ElementsAre("choose Import Bank", "start", "title Importing Bank.txt", "status Loading Bank.txt file",
                            "front", "range 3", "status  0/3 - Open Program : X", "pos 0",
                            "status  1/3 - Open Program : Y", "pos 1",
                            "box Information: Cannot open file - Skip it \n(" + volume.ProgramPath("Bank", "Y") + ")",
                            "front", "status  2/3 - Open Program : Z", "pos 2", "close"));
    EXPECT_EQ(bank.slots[0].categories, "ABCDEFGHIJKLMNOPABC");  // cut to 19
    EXPECT_EQ(bank.slots[1].categories, "");

    // Empty lines and names reaching out of the folder are entries that cannot be opened.
    volume.AddProgram("Other", "Outside");
    Bank other;
    ScriptedPlatform outside;
    outside.AnswerOpenFiles({volume.WriteBankText("Bank", {"Number of items: 2", "", "../Other/Outside", "X"})});
    EXPECT_EQ(ImportBankCommand(outside, other, -1, nullptr), 0);
    EXPECT_THAT(OccupiedNames(other), IsEmpty());
    ASSERT_EQ(outside.Boxes().size(), 2u);
    EXPECT_NE(outside.Boxes()[1].find("Cannot open file - Skip it"), std::string::npos);
}

TEST(ImportJobsTest, CancelledChooserEndsBeforeAnyWindow) {
    Bank bank;
    for (bool wholeBank : {false, true}) {
        ScriptedPlatform platform;
        platform.AnswerCancel();
        ImportOutcome outcome;
        EXPECT_EQ(wholeBank ? ImportBankCommand(platform, bank, -1, &outcome) : ImportProgramsCommand(platform, bank, -1, &outcome), 0);
        EXPECT_TRUE(outcome.cancelled);
        EXPECT_EQ(platform.Calls().size(), 1u);
    }
}

}  // namespace
}  // namespace velmorant::bank
