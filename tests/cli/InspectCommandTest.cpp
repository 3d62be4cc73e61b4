#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/Command.h"
#include "cli/ProgramReport.h"
#include "core/Checksum.h"
#include "core/Encoding.h"
#include "core/File.h"
#include "support/CliRun.h"
#include "support/ImportFixtures.h"
#include "support/TempDir.h"
#include "volume/DependencyRows.h"

namespace velmorant::cli {
namespace {

using testing::DemoVolumeDir;

using testing::CliRun;
const auto Cli = &testing::RunVelmorantCli;

TEST(InspectCommandTest, JsonDescribesEachProgramInItsSlot) {
    DemoVolumeDir volume;
    const CliRun run = Cli({"inspect", "--json", volume.program("Bank1", "Warm Pad"),
                         volume.program("Bank1", "Lost Strings"), volume.program("Bank2", "VA Bass")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Cannot find one or more dependencies of program - Skip it \n(" +
                           volume.program("Bank1", "Lost Strings") + ")\n");
    const auto json = nlohmann::json::parse(run.out);
    const auto& programs = json.at("programs");
    ASSERT_EQ(programs.size(), 3u);

    const auto& pad = programs[0];
    for (const auto& [key, value] : std::vector<std::pair<const char*, nlohmann::json>>{
             {"result", 0}, {"slot", "A1"}, {"name", "Warm Pad"}, {"typeName", "Samples"}, {"categories", "LF"}}) {
        EXPECT_EQ(pad[key], value) << key;
    }
    EXPECT_NE(pad["summary"].template get<std::string>().find("Categories : LF\r\n"), std::string::npos);
    const auto& multisample = pad["dependencies"][0];
    EXPECT_EQ(multisample["kind"], 2);
    EXPECT_EQ(multisample["folderGiven"], 0);
    EXPECT_EQ(multisample["crc"], core::FileCrc32(volume({"Multisamples", "Bank1", "Pad.afi"})));
    EXPECT_EQ(multisample["samples"].size(), 2u);
    EXPECT_EQ(multisample["samples"][1]["crc"], core::FileCrc32(multisample["samples"][1]["sourcePath"]));
    EXPECT_EQ(pad["dependencies"][1]["sourcePath"], "FUSION ROM / Sine Wave");

    const auto& lost = programs[1];
    EXPECT_EQ(lost["result"], -5);
    EXPECT_TRUE(lost["slot"].is_null());

    const auto& va = programs[2];
    EXPECT_EQ(va["slot"], "A2");  // the refused program's slot is free again
    EXPECT_EQ(va["type"], 6);
    EXPECT_EQ(va["chunks"]["patterns"], 2);
}

// Names keep the bytes of their files; JSON output must be valid UTF-8 whatever they are.
TEST(InspectCommandTest, JsonOfEveryByteInANameParsesAndRoundTrips) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows file names cannot hold control characters, : or < >";
#endif
    testing::ImportVolume volume;
    std::vector<std::string> names(1);
    for (int b = 1; b < 256; ++b) {
        if (b == '/') continue;  // the only byte besides NUL a file name cannot hold
        if (names.back().size() == 40) names.emplace_back();
        names.back() += static_cast<char>(b);
    }
    std::vector<std::string> inspect = {"inspect", "--json"};
    std::vector<std::string> bank = {"bank", "--json"};
    for (const std::string& name : names) {
        const std::string path = volume.AddProgram("Bytes", name);
        inspect.push_back(path);
        bank.insert(bank.end(), {"--import", path});
    }
    const CliRun inspected = Cli(inspect);
    const CliRun banked = Cli(bank);
    ASSERT_EQ(inspected.status, 0) << inspected.err;
    ASSERT_EQ(banked.status, 0) << banked.err;
    const auto programs = nlohmann::json::parse(inspected.out).at("programs");
    const auto slots = nlohmann::json::parse(banked.out).at("slots");
    ASSERT_EQ(programs.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        for (const auto* shown : {&programs[i]["name"], &slots[i]["name"]}) {
            EXPECT_EQ(core::Utf8ToCp1252(shown->get<std::string>()), names[i]) << i;
        }
        EXPECT_EQ(programs[i]["path"], core::PathToUtf8(volume.ProgramPath("Bytes", names[i])));
    }
}

// Paths typed relative to the working folder find the program's volume like full ones.
TEST(InspectCommandTest, RelativePathsFindTheVolumeFromTheWorkingFolder) {
    DemoVolumeDir volume;
    const std::filesystem::path previous = std::filesystem::current_path();
    const std::pair<const char*, std::vector<std::string>> runs[] = {
        {"Programs/Bank1", {"inspect", "Grand Piano.afp"}},
        {"Programs/Bank2", {"inspect", "../Bank1/Grand Piano.afp", "./FM Bells.afp"}},
        {"Programs/Bank2", {"bank", "--import", "../Bank1/Warm Pad.afp"}},
        {"Programs/Drums", {"bank", "--import-bank", "bank.txt"}}};
    for (const auto& [folder, args] : runs) {
        std::filesystem::current_path(std::filesystem::path(volume.root()) / folder);
        const CliRun run = Cli(args);
        std::filesystem::current_path(previous);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out.find("Cannot find"), std::string::npos) << run.out;
    }
}

// Text output is the terminal's UTF-8: a name's code-page bytes are converted and its controls
// escaped, never sent raw (0x9B is a quotation mark in the code page, not a control).
TEST(InspectCommandTest, TextShowsNamesAsUtf8WithControlsEscaped) {
    // Names and folders in the table are code-page bytes, paths the file system's UTF-8: one line
    // holds both, each converted once and the columns aligned by characters.
    volume::DependencyRow row;
    row.name = "Pad\xE9";
    row.sizeKb = "1";
    row.bank = "B\xE4nk";
    row.path = "/v/Multisamples/B\xC3\xA4nk/Pad\xC3\xA9.afi";
    EXPECT_EQ(FormatDependencyTable({row}),
              "Name  Size (Kb)  Bank  Path" + std::string(27, ' ') + "Multiple  CRC\n"
              "Pad\xC3\xA9  1          B\xC3\xA4nk  /v/Multisamples/B\xC3\xA4nk/Pad\xC3\xA9.afi\n");
#ifdef _WIN32
    GTEST_SKIP() << "Windows file names cannot hold control characters";
#endif
    testing::ImportVolume volume;
    const std::string path = volume.AddProgram("Bytes", "Pad\x1b]0;owned\x07\x9b\xE9");
    for (const auto& args : {std::vector<std::string>{"inspect", path}, {"bank", "--import", path}}) {
        const CliRun run = Cli(args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out.find('\x1b'), std::string::npos);
        EXPECT_EQ(run.out.find('\x07'), std::string::npos);
        EXPECT_NE(run.out.find("A1 - Pad\\x1B]0;owned\\x07\xE2\x80\xBA\xC3\xA9\n"), std::string::npos) << run.out;
    }
}

TEST(InspectCommandTest, UsageErrorsExitWithTwoAndAMissingFileWithOne) {
    EXPECT_EQ(std::make_tuple(Cli({"inspect"}).status, Cli({"no-such-command"}).status, Cli({"inspect", "--help"}).status),
              std::make_tuple(2, 2, 0));
    const CliRun missing = Cli({"inspect", "/nowhere/nothing.afp"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Cannot open file - Skip it \n("), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace velmorant::cli
