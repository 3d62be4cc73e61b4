#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/BankCommand.h"
#include "cli/Command.h"
#include "support/CliRun.h"
#include "support/ImportFixtures.h"
#include "support/TempDir.h"

namespace velmorant::cli {
namespace {

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using velmorant::testing::DemoVolumeDir;
using velmorant::testing::ImportVolume;

using BankRun = testing::CliRun;

BankRun Bank(std::vector<std::string> args) {
    args.insert(args.begin(), "bank");
    return testing::RunVelmorantCli(args);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The printed lines of occupied slots only.
std::vector<std::string> Occupied(const std::string& out) {
    std::vector<std::string> occupied;
    for (const std::string& line : Lines(out)) {
        if (line.find(" - ") != std::string::npos) {
            occupied.push_back(line);
        }
    }
    return occupied;
}

struct OrderCase {
    const char* name;
    std::vector<std::string> args;  // "@a" stands for the path of program a
    std::vector<std::string> occupied;
};

void PrintTo(const OrderCase& c, std::ostream* os) { *os << c.name; }

class OperationOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(OperationOrder, OperationsRunInCommandLineOrder) {
    const OrderCase& c = GetParam();
    ImportVolume volume;
    std::vector<std::string> args;
    for (const std::string& arg : c.args) {
        args.push_back(arg.starts_with("@") ? volume.AddProgram("Bank", arg.substr(1)) : arg);
    }
    const BankRun run = Bank(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(Occupied(run.out), ElementsAreArray(c.occupied));
}

INSTANTIATE_TEST_SUITE_P(
    BankCommand, OperationOrder,
    ::testing::Values(
        OrderCase{"StartAppliesToLaterImportsOnly", {"--import", "@a", "--start", "C1", "--import", "@b"},
                  {"A1 - a", "C1 - b"}},
        OrderCase{"StartNoneGoesBackToA1",
                  {"--start", "c1", "--import", "@a", "--start", "none", "--import", "@b"},
                  {"A1 - b", "C1 - a"}},
        OrderCase{"ArrangeAfterImport",
                  {"--import", "@a", "--import", "@b", "--swap", "A1=A2", "--rename", "A2=New/Name:1", "--remove",
                   "A1"},
                  {"A2 - New_Name_1"}},
        OrderCase{"RemoveThenImportRefillsTheSlot",
                  {"--import", "@a", "--remove", "A1", "--import", "@b"},
                  {"A1 - b"}},
        OrderCase{"SwapWithAnEmptySlotMovesTheProgram", {"--import", "@a", "--swap", "A1=P8"}, {"P8 - a"}}),
    [](const auto& row) { return std::string(row.param.name); });

struct StatusCase {
    const char* name;
    std::vector<std::string> args;  // "@a": program a; "@missing": a path that is no file; "@nobank": no bank.txt
    int status;
    std::vector<std::string> occupied;  // of the printed bank; nothing is printed for status 2
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }

class ExitStatus : public ::testing::TestWithParam<StatusCase> {};

TEST_P(ExitStatus, TellsHowTheRunEnded) {
    const StatusCase& c = GetParam();
    ImportVolume volume;
    std::vector<std::string> args;
    for (const std::string& arg : c.args) {
        if (arg == "@missing") {
            args.push_back(volume.ProgramPath("Bank", "Missing"));
        } else if (arg == "@nobank") {
            args.push_back(volume.BankTextPath("Nowhere"));
        } else {
            args.push_back(arg.starts_with("@") ? volume.AddProgram("Bank", arg.substr(1)) : arg);
        }
    }
    const BankRun run = Bank(args);
    EXPECT_EQ(run.status, c.status) << run.err;
    if (c.status == kExitUsage) {
        EXPECT_THAT(run.out, IsEmpty());
        EXPECT_THAT(run.err, ::testing::StartsWith("velmorant-cli"));
    } else {
        EXPECT_EQ(Lines(run.out).size(), 128u);
        EXPECT_THAT(Occupied(run.out), ElementsAreArray(c.occupied));
    }
}

INSTANTIATE_TEST_SUITE_P(
    BankCommand, ExitStatus,
    ::testing::Values(
        StatusCase{"Done", {"--import", "@a"}, 0, {"A1 - a"}},
        StatusCase{"Skipped", {"--import", "@missing", "--import", "@a"}, 1, {"A1 - a"}},
        StatusCase{"NoRoomStopsAndLaterOperationsDoNotRun",
                   {"--start", "P8", "--import", "@a", "--import", "@b", "--remove", "P8"},
                   3,
                   {"P8 - a"}},
        StatusCase{"UnreadableBankTextStops", {"--import", "@a", "--import-bank", "@nobank", "--remove", "A1"}, 3,
                   {"A1 - a"}},
        StatusCase{"NoOperation", {}, 2, {}},
        StatusCase{"BadStartSlot", {"--start", "Q1", "--import", "@a"}, 2, {}},
        StatusCase{"NotACategoryLetter", {"--import", "@a", "--categories", "A1=EQ"}, 2, {}},
        StatusCase{"RenameOfAnEmptySlot", {"--import", "@a", "--rename", "B3=x"}, 2, {}},
        StatusCase{"ExportWithoutDestination", {"--import", "@a", "--export"}, 2, {}},
        StatusCase{"MissingValue", {"--import"}, 2, {}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(BankCommandTest, JsonListsEverySlotWithItsRecord) {
    ImportVolume volume;
    const std::string a = volume.AddProgram("Bank", "a");
    const BankRun run = Bank({"--json", "--import", a, "--categories", "A1=mbe"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    const auto& slots = json.at("slots");
    ASSERT_EQ(slots.size(), 128u);
    EXPECT_EQ(slots[0], nlohmann::json({{"slot", "A1"},
                                        {"defined", true},
                                        {"name", "a"},
                                        {"path", a},
                                        {"type", 3},
                                        {"categories", "MBE"}}));
    EXPECT_EQ(slots[127].at("slot"), "P8");
    EXPECT_EQ(slots[127].at("defined"), false);
    EXPECT_LT(run.out.find("\"path\""), run.out.find("\"categories\""));  // keys in the documented order
}

}  // namespace
}  // namespace velmorant::cli
