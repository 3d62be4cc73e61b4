#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/Command.h"
#include "support/CliRun.h"
#include "support/ImportFixtures.h"

namespace velmorant::cli {
namespace {

using ::testing::ElementsAreArray;
using velmorant::testing::ImportVolume;

struct RunCase {
    const char* name;
    // "@a": program a; "@missing": a path that is no file; "@nobank": a bank.txt that is not there
    std::vector<std::string> args;
    int status;
    std::vector<std::string> occupied;  // the printed lines of occupied slots; nothing is printed for status 2
};

class BankCommand : public ::testing::TestWithParam<RunCase> {};

// Operations run in command-line order; the status tells how the run ended.
TEST_P(BankCommand, RunsTheOperationsInOrderAndTellsHowTheRunEnded) {
    const RunCase& c = GetParam();
    ImportVolume volume;
    std::vector<std::string> args{"bank"};
    for (const std::string& arg : c.args) {
        args.push_back(arg == "@missing" ? volume.ProgramPath("Bank", "Missing")
                       : arg == "@nobank" ? volume.BankTextPath("Nowhere")
                       : arg.starts_with("@") ? volume.AddProgram("Bank", arg.substr(1))
                                              : arg);
    }
    const testing::CliRun run = testing::RunVelmorantCli(args);
    EXPECT_EQ(run.status, c.status) << run.err;
    if (c.status == kExitUsage) {
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(run.err.starts_with("velmorant-cli")) << run.err;
        return;
    }
    std::vector<std::string> lines, occupied;
    std::istringstream in(run.out);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
        if (line.find(" - ") != std::string::npos) occupied.push_back(line);
    }
    EXPECT_EQ(lines.size(), 128u);
    EXPECT_THAT(occupied, ElementsAreArray(c.occupied));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, BankCommand,
    ::testing::Values(
        RunCase{"StartAppliesToLaterImportsOnly", {"--import", "@a", "--start", "C1", "--import", "@b"}, 0,
                {"A1 - a", "C1 - b"}},
        RunCase{"StartNoneGoesBackToA1", {"--start", "c1", "--import", "@a", "--start", "none", "--import", "@b"}, 0,
                {"A1 - b", "C1 - a"}},
        RunCase{"ArrangeAfterImport",
                {"--import", "@a", "--import", "@b", "--swap", "A1=A2", "--rename", "A2=New/Name:1", "--remove", "A1"},
                0, {"A2 - New_Name_1"}},
        RunCase{"RemoveThenImportRefillsTheSlot", {"--import", "@a", "--remove", "A1", "--import", "@b"}, 0, {"A1 - b"}},
        RunCase{"SwapWithAnEmptySlotMovesTheProgram", {"--import", "@a", "--swap", "A1=P8"}, 0, {"P8 - a"}},
        RunCase{"Skipped", {"--import", "@missing", "--import", "@a"}, 1, {"A1 - a"}},
        RunCase{"NoRoomStopsAndLaterOperationsDoNotRun",
                {"--start", "P8", "--import", "@a", "--import", "@b", "--remove", "P8"}, 3, {"P8 - a"}},
        RunCase{"UnreadableBankTextStops", {"--import", "@a", "--import-bank", "@nobank", "--remove", "A1"}, 3,
                {"A1 - a"}},
        RunCase{"NoOperation", {}, 2, {}},
        RunCase{"BadStartSlot", {"--start", "Q1", "--import", "@a"}, 2, {}},
        RunCase{"NotACategoryLetter", {"--import", "@a", "--categories", "A1=EQ"}, 2, {}},
        RunCase{"RenameOfAnEmptySlot", {"--import", "@a", "--rename", "B3=x"}, 2, {}},
        RunCase{"ExportWithoutDestination", {"--import", "@a", "--export"}, 2, {}},
        RunCase{"MissingValue", {"--import"}, 2, {}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(BankCommandTest, JsonListsEverySlotWithItsRecord) {
    ImportVolume volume;
    const std::string a = volume.AddProgram("Bank", "a");
    const testing::CliRun run = testing::RunVelmorantCli({"bank", "--json", "--import", a, "--categories", "A1=mbe"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto slots = nlohmann::json::parse(run.out).at("slots");
    ASSERT_EQ(slots.size(), 128u);
    EXPECT_EQ(slots[0], nlohmann::json({{"slot", "A1"},
                                        {"defined", true},
                                        {"name", "a"},
                                        {"path", a},
                                        {"type", 3},
                                        {"categories", "MBE"}}));
    EXPECT_EQ(slots[127].at("defined"), false);
    EXPECT_LT(run.out.find("\"path\""), run.out.find("\"categories\""));  // keys in the documented order
}

}  // namespace
}  // namespace velmorant::cli
