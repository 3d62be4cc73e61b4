#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/Command.h"
#include "core/Encoding.h"
#include "core/File.h"
#include "support/CliRun.h"
#include "support/ImportFixtures.h"
#include "support/TempDir.h"

namespace velmorant::cli {
namespace {

using velmorant::testing::DemoVolumeDir;
using velmorant::testing::ReadBytes;
using velmorant::testing::ReadText;
using velmorant::testing::TempDir;
using ::testing::ElementsAreArray;
using velmorant::testing::ImportVolume;
namespace fs = std::filesystem;

class BankExport : public ::testing::Test {
protected:
    // "@piano", "@kit": demo programs; "@dest": the destination volume.
    int Run(std::vector<std::string> args) {
        for (std::string& arg : args) {
            if (arg == "@piano" || arg == "@kit") {
                arg = arg == "@piano" ? volume.program("Bank1", "Grand Piano") : volume.program("Drums", "Studio Kit");
            } else if (arg.starts_with("@dest")) {
                arg = dest.string() + arg.substr(5);
            }
        }
        args.insert(args.begin(), "bank");
        const testing::CliRun run = testing::RunVelmorantCli(args);
        err = run.err;
        out = run.out;
        return run.status;
    }

    DemoVolumeDir volume;
    TempDir scratch;
    fs::path dest = scratch({"Dest"});
    std::string err;
    std::string out;
};

const std::vector<std::string> kBase = {"--import", "@piano", "--export", "@dest", "--bank-name", "Out"};

std::vector<std::string> With(std::vector<std::string> extra) {
    std::vector<std::string> args = kBase;
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

TEST_F(BankExport, OptionsAndRefusals) {
    const struct {
        const char* label;
        std::vector<std::string> args;
        int status;
        std::string err;               // start of standard error
        const char* copies = "";       // folder of Piano's sample copies
        std::string folderField = {};  // Grand Piano's first reference in the copy, folder characters
    } rows[] = {
        {"Defaults", kBase, 0, "", "Out", std::string(16, '\0')},
        {"SourceFolders", With({"--folders", "source"}), 0, "", "Keys", "Keys" + std::string(12, '\0')},
        {"SourceForcesAbsolute", With({"--folders", "source", "--refs", "relative"}), 0, "", "Keys", "Keys" + std::string(12, '\0')},
        {"BankFoldersAbsolute", With({"--refs", "absolute"}), 0, "", "Out", "Out" + std::string(13, '\0')},
        {"NoBankName", {"--import", "@piano", "--export", "@dest"}, 1, "Information: You must define a Bank Name to export\n"},
        {"MissingDestination", {"--import", "@piano", "--export", "@dest/Nowhere", "--bank-name", "Out"}, 1,
         "Information: You must define an existing Path to export\n"},
        {"UnknownFolders", With({"--folders", "other"}), 2, "velmorant-cli"},
        {"NameWithoutExport", {"--import", "@piano", "--bank-name", "Out"}, 2,
         "velmorant-cli bank: --bank-name, --folders, --refs, --replace, --register and --dry-run go with --export\n"},
        {"TwoDestinations", With({"--export", "@dest"}), 2, "velmorant-cli bank: --export: give one destination"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        dest = scratch({row.label});
        fs::create_directories(dest);
        EXPECT_EQ(Run(row.args), row.status) << err;
        EXPECT_TRUE(err.starts_with(row.err)) << err;
        if (row.status != 0) {
            EXPECT_TRUE(fs::is_empty(dest));
            continue;
        }
        EXPECT_TRUE(fs::exists(dest / "Samples" / row.copies / "Piano C4.afs"));
        // Two Mods, three Enveloppes and one LFO chunk: S = 80 + 232 + 168 + 44; folder field at S + 4 + 16.
        const auto program = ReadBytes((dest / "Programs/Out/Grand Piano.afp").string());
        std::string field;
        for (std::size_t i = 0; i < 16 && program.size() >= 544; ++i) {
            field.push_back(static_cast<char>(program[524 + 4 + 16 + (i ^ 1u)]));
        }
        EXPECT_EQ(field, row.folderField);
    }
}

TEST_F(BankExport, RunsAfterEveryOperationAndFailsWhenAProgramIsLeftOut) {
    fs::create_directories(dest / "Samples");
    std::ofstream(dest / "Samples/Keys") << "a file where a folder must go";

    EXPECT_EQ(Run({"--export", "@dest", "--bank-name", "Out", "--folders", "source", "--import", "@kit", "--import",
                   "@piano", "--rename", "A1=Concert Kit"}),
              1);

    EXPECT_TRUE(err.starts_with("Error: 1 of 2 programs were not exported; their logs say why\n\nExported 1 of 2"))
        << err;
    EXPECT_NE(err.find("velmorant-cli bank: --export: A2 Grand Piano was not exported:\n"
                       "Error creation destination directory " +
                       (dest / "Samples/Keys").make_preferred().string()),
              std::string::npos) << err;
    EXPECT_FALSE(fs::exists(dest / "Programs/Out/Grand Piano.afp"));
    // The index names only what was written; the program left out keeps its slot empty.
    EXPECT_TRUE(ReadText((dest / "Programs/Out/bank.txt").string())
                    .starts_with("Number of items: 1\r\nConcert Kit:O\r\n\r\n"));
    EXPECT_TRUE(fs::exists(dest / "Programs/Out/Concert Kit.afp"));
}

TEST_F(BankExport, UsersFilesAreReplacedOnlyWithReplaceAndKeptAsBackups) {
    fs::create_directories(dest / "Programs/Out");
    std::ofstream(dest / "Programs/Out/Grand Piano.afp") << "the user's own";

    EXPECT_EQ(Run(kBase), 1);
    EXPECT_TRUE(err.starts_with("Question: These files already exist with other contents:\n" +
                                (dest / "Programs/Out/Grand Piano.afp").make_preferred().string() + "\n")) << err;
    EXPECT_EQ(ReadText((dest / "Programs/Out/Grand Piano.afp").string()), "the user's own");
    EXPECT_FALSE(fs::exists(dest / "Samples"));

    EXPECT_EQ(Run(With({"--replace"})), 0) << err;
    EXPECT_EQ(ReadText((dest / "Programs/Out/Grand Piano.afp.bak").string()), "the user's own");
    EXPECT_EQ(ReadBytes((dest / "Programs/Out/Grand Piano.afp").string()).size(),
              ReadBytes(volume.program("Bank1", "Grand Piano")).size());
    EXPECT_EQ(Run(kBase), 0) << "the same export again replaces nothing: " << err;
}

// The dry run writes nothing and names exactly the files the export then writes: copies, a
// numbered one, rewritten files, indexes, the manifest, the registered bank list and its backup.
TEST_F(BankExport, DryRunListsExactlyTheFilesTheExportWrites) {
    fs::create_directories(dest / "Programs");
    std::ofstream(dest / "Programs/bank.txt", std::ios::binary) << "Number of items: 1\r\nLive\r\n";
    fs::create_directories(dest / "Samples/Out");
    std::ofstream(dest / "Samples/Out/Piano C4.afs") << "another sample under the name";
    const std::vector<std::string> args = {"--import", "@piano", "--import", "@kit", "--export", "@dest",
                                           "--bank-name", "Out", "--register"};
    const auto before = testing::FileTree(dest.string());
    std::vector<std::string> dryRun = args;
    dryRun.insert(dryRun.end(), {"--dry-run", "--json"});
    ASSERT_EQ(Run(dryRun), 0) << err;
    EXPECT_EQ(testing::FileTree(dest.string()), before);

    std::set<std::string> planned;
    const nlohmann::json plan = nlohmann::json::parse(out);
    for (const auto& file : plan["files"]) {
        const std::string action = file["action"];
        if (action == "copy" || action == "write" || action == "replace") {
            planned.insert(file["path"].get<std::string>());
        }
        if (file["replaces"].get<bool>()) planned.insert(file["path"].get<std::string>() + ".bak");
        EXPECT_TRUE(file["path"] != "Samples/Out/Piano C4.afs" || file["numbered"].is_string()) << file;
        EXPECT_TRUE(file["path"] != "Programs/Out/Grand Piano.afp" || file["program"] == "A1") << file;
    }
    ASSERT_EQ(Run(args), 0) << err;
    std::set<std::string> written;
    for (const auto& [path, bytes] : testing::FileTree(dest.string())) {
        if (!before.count(path) || before.at(path) != bytes) written.insert(path);
    }
    EXPECT_EQ(written, planned);
    EXPECT_TRUE(written.count("Samples/Out/0Piano C4.afs"));
    EXPECT_EQ(ReadText((dest / "Programs/bank.txt").string()), "Number of items: 2\r\nLive\r\nOut\r\n");
    EXPECT_EQ(testing::RunVelmorantCli({"check", dest.string(), "--manifest",
                                        (dest / "Velmorant/Out.export.json").string()})
                  .status,
              0);
}

#ifndef _WIN32
// A file-size limit on a child stands in for a full disk: the writes past it fail as they
// would there, and the export must say so rather than exit 0.
TEST_F(BankExport, AWriteThatFailsFailsTheExportNamingTheFileAndTheReason) {
    fs::create_directories(dest);
    const fs::path errors = scratch({"err.txt"});
    const fs::path status = scratch({"status.txt"});
    const std::string command = std::string("trap '' XFSZ; prlimit --fsize=2048 '") + VELMORANT_CLI_PATH +
                                "' bank --import '" +
                                volume.program("Bank1", "Grand Piano") + "' --export '" + dest.string() +
                                "' --bank-name Out >/dev/null 2>'" + errors.string() + "'; echo $? >'" +
                                status.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);

    EXPECT_EQ(ReadText(status.string()), "1\n");
    const std::string printed = ReadText(errors.string());
    EXPECT_NE(printed.find("Error: 1 of 1 programs were not exported"), std::string::npos) << printed;
    EXPECT_NE(printed.find((dest / "Samples/Out").string() + "/Piano"), std::string::npos) << printed;
    EXPECT_NE(printed.find(" : File too large\n"), std::string::npos) << printed;
    EXPECT_FALSE(fs::exists(dest / "Programs/Out/Grand Piano.afp"));
    // The record tells what was written, not what was planned: the indexes lost their entries.
    EXPECT_EQ(testing::RunVelmorantCli({"check", dest.string(), "--manifest",
                                        (dest / "Velmorant/Out.export.json").string()})
                  .status,
              0);
}
#endif

// Names are Windows-1252 bytes in bank.txt and UTF-8 in file and folder names. A bank imported,
// renamed, exported and imported again from the copy keeps every name byte for byte, and both
// catalogues of the copy show them as the same characters. (< > " are refused on export, as
// names Windows cannot hold.)
TEST(BankRoundTrip, NamesKeepTheirBytesThroughImportRenameExportAndCatalogue) {
    std::vector<std::string> names = {"Caf\xE9 cr\xE8me", "M\xFCller & Sons 'L\xE4nd'", "Plain"};
    for (int from = 0x80; from < 0x100; from += 16) {
        names.push_back("x");
        for (int b = from; b < from + 16; ++b) names.back() += static_cast<char>(b);
    }
    const auto bankText = [](std::vector<std::string> lines) {
        for (std::string& name : lines) name += ":A";
        lines.insert(lines.begin(), "Number of items: " + std::to_string(lines.size()));
        return lines;
    };
    testing::ImportVolume volume;  // the source bank and the export land on the same volume
    for (const std::string& name : names) volume.AddProgram("Src", core::Cp1252ToUtf8(name));
    volume.WriteBankList("", 1, {"B\xE4nk"});

    const auto first = testing::RunVelmorantCli({"bank", "--import-bank", volume.WriteBankText("Src", bankText(names)),
                                                 "--rename", "A3=Caf\xC3\xA9 Noir", "--export", volume.root(),
                                                 "--bank-name", "B\xC3\xA4nk"});
    ASSERT_EQ(first.status, 0) << first.err;
    names[2] = "Caf\xE9 Noir";
    const std::string copy = volume.BankTextPath("B\xC3\xA4nk");
    std::string expected;
    for (const std::string& line : bankText(names)) expected += line + "\r\n";
    EXPECT_TRUE(ReadText(copy).starts_with(expected)) << ReadText(copy);
    for (const std::string& name : names) {
        EXPECT_TRUE(fs::exists(core::NativePath(volume.ProgramPath("B\xC3\xA4nk", core::Cp1252ToUtf8(name))))) << name;
    }

    const auto again = testing::RunVelmorantCli({"bank", "--json", "--import-bank", copy});
    ASSERT_EQ(again.status, 0) << again.err;
    const auto slots = nlohmann::json::parse(again.out)["slots"];
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(core::Utf8ToCp1252(slots[i]["name"].get<std::string>()), names[i]) << i;
    }

    for (const bool dynamic : {false, true}) {
        const std::string page = volume.Path({dynamic ? "dynamic.htm" : "static.htm"});
        const auto written = testing::RunVelmorantCli(dynamic ? std::vector<std::string>{"catalogue", "--dynamic", volume.root(), page}
                                                              : std::vector<std::string>{"catalogue", volume.root(), page});
        ASSERT_EQ(written.status, 0) << written.err;
        const std::string html = ReadText(page);
        for (const char* shown : {"Caf\xC3\xA9 Noir", "M\xC3\xBCller &amp; Sons", "x\xE2\x82\xAC", "\xC3\xBE\xC3\xBF"}) {
            EXPECT_NE(html.find(shown), std::string::npos) << page << ": " << shown;
        }
    }
}

// Operations run in command-line order; the status tells how the run ended.
TEST(BankCommandTest, RunsTheOperationsInOrderAndTellsHowTheRunEnded) {
    const struct {
        const char* name;
        // "@a": program a; "@missing": a path that is no file; "@nobank": a bank.txt that is not there
        std::vector<std::string> args;
        int status;
        std::vector<std::string> occupied;  // the printed lines of occupied slots; nothing is printed for status 2
    } rows[] = {
        {"StartAppliesToLaterImportsOnly", {"--import", "@a", "--start", "C1", "--import", "@b"}, 0, {"A1 - a", "C1 - b"}},
        {"StartNoneGoesBackToA1", {"--start", "c1", "--import", "@a", "--start", "none", "--import", "@b"}, 0, {"A1 - b", "C1 - a"}},
        {"ArrangeAfterImport", {"--import", "@a", "--import", "@b", "--swap", "A1=A2", "--rename", "A2=New/Name:1", "--remove", "A1"},
         0, {"A2 - New_Name_1"}},
        {"RemoveThenImportRefillsTheSlot", {"--import", "@a", "--remove", "A1", "--import", "@b"}, 0, {"A1 - b"}},
        {"SwapWithAnEmptySlotMovesTheProgram", {"--import", "@a", "--swap", "A1=P8"}, 0, {"P8 - a"}},
        {"Skipped", {"--import", "@missing", "--import", "@a"}, 1, {"A1 - a"}},
        {"NoRoomStopsAndLaterOperationsDoNotRun", {"--start", "P8", "--import", "@a", "--import", "@b", "--remove", "P8"}, 3, {"P8 - a"}},
        {"UnreadableBankTextStops", {"--import", "@a", "--import-bank", "@nobank", "--remove", "A1"}, 3, {"A1 - a"}},
        {"NoOperation", {}, 2, {}},
        {"BadStartSlot", {"--start", "Q1", "--import", "@a"}, 2, {}},
        {"NotACategoryLetter", {"--import", "@a", "--categories", "A1=EQ"}, 2, {}},
        {"RenameOfAnEmptySlot", {"--import", "@a", "--rename", "B3=x"}, 2, {}},
        {"ExportWithoutDestination", {"--import", "@a", "--export"}, 2, {}},
        {"MissingValue", {"--import"}, 2, {}}};
    for (const auto& c : rows) {
        SCOPED_TRACE(c.name);
        ImportVolume volume;
        std::vector<std::string> args{"bank"};
        for (const std::string& arg : c.args) {
            args.push_back(arg == "@missing" ? volume.ProgramPath("Bank", "Missing")
                           : arg == "@nobank" ? volume.BankTextPath("Nowhere")
                           : arg.starts_with("@") ? volume.AddProgram("Bank", arg.substr(1)) : arg);
        }
        const testing::CliRun run = testing::RunVelmorantCli(args);
        EXPECT_EQ(run.status, c.status) << run.err;
        if (c.status == kExitUsage) {
            EXPECT_EQ(run.out, "");
            EXPECT_TRUE(run.err.starts_with("velmorant-cli")) << run.err;
            continue;
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
}

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
