#include <gtest/gtest.h>

#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "cli/Command.h"
#include "support/TempDir.h"

namespace velmorant::cli {
namespace {

using velmorant::testing::DemoVolumeDir;
using velmorant::testing::ReadBytes;
using velmorant::testing::ReadText;
using velmorant::testing::TempDir;
namespace fs = std::filesystem;

struct Row {
    const char* label;
    std::vector<std::string> args;  // "@piano", "@kit": demo programs; "@dest": the destination volume
    int status;
    std::string err;                // start of standard error
    const char* copies = "";        // folder of Piano's sample copies
    std::string folderField = {};   // Grand Piano's first reference in the copy, folder characters
};

class BankExport : public ::testing::TestWithParam<Row> {
protected:
    int Run(std::vector<std::string> args) {
        for (std::string& arg : args) {
            if (arg == "@piano" || arg == "@kit") {
                arg = arg == "@piano" ? volume.program("Bank1", "Grand Piano") : volume.program("Drums", "Studio Kit");
            } else if (arg.starts_with("@dest")) {
                arg = dest.string() + arg.substr(5);
            }
        }
        args.insert(args.begin(), {"velmorant-cli", "bank"});
        std::ostringstream out;
        std::ostringstream errStream;
        const int status = RunCli(args, out, errStream);
        err = errStream.str();
        return status;
    }

    DemoVolumeDir volume;
    TempDir scratch;
    fs::path dest = scratch({"Dest"});
    std::string err;
};

TEST_P(BankExport, OptionsAndRefusals) {
    const Row& row = GetParam();
    fs::create_directories(dest);
    EXPECT_EQ(Run(row.args), row.status) << err;
    EXPECT_TRUE(err.starts_with(row.err)) << err;
    if (row.status != 0) {
        EXPECT_TRUE(fs::is_empty(dest));
        return;
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

const std::vector<std::string> kBase = {"--import", "@piano", "--export", "@dest", "--bank-name", "Out"};

std::vector<std::string> With(std::vector<std::string> extra) {
    std::vector<std::string> args = kBase;
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, BankExport,
    ::testing::Values(
        Row{"Defaults", kBase, 0, "", "Out", std::string(16, '\0')},
        Row{"SourceFolders", With({"--folders", "source"}), 0, "", "Keys", "Keys" + std::string(12, '\0')},
        Row{"SourceForcesAbsolute", With({"--folders", "source", "--refs", "relative"}), 0, "", "Keys",
            "Keys" + std::string(12, '\0')},
        Row{"BankFoldersAbsolute", With({"--refs", "absolute"}), 0, "", "Out", "Out" + std::string(13, '\0')},
        Row{"NoBankName", {"--import", "@piano", "--export", "@dest"}, 1,
            "Information: You must define a Bank Name to export\n"},
        Row{"MissingDestination", {"--import", "@piano", "--export", "@dest/Nowhere", "--bank-name", "Out"}, 1,
            "Information: You must define an existing Path to export\n"},
        Row{"UnknownFolders", With({"--folders", "other"}), 2, "velmorant-cli"},
        Row{"NameWithoutExport", {"--import", "@piano", "--bank-name", "Out"}, 2,
            "velmorant-cli bank: --bank-name, --folders, --refs and --replace go with --export\n"},
        Row{"TwoDestinations", With({"--export", "@dest"}), 2, "velmorant-cli bank: --export: give one destination"}),
    [](const auto& row) { return std::string(row.param.label); });

TEST_F(BankExport, RunsAfterEveryOperationAndFailsWhenAProgramIsLeftOut) {
    fs::create_directories(dest / "Samples");
    std::ofstream(dest / "Samples/Keys") << "a file where a folder must go";

    EXPECT_EQ(Run({"--export", "@dest", "--bank-name", "Out", "--folders", "source", "--import", "@kit", "--import",
                   "@piano", "--rename", "A1=Concert Kit"}),
              1);

    EXPECT_TRUE(err.starts_with("Error: 1 of 2 programs were not exported; their logs say why\n\n"
                                "velmorant-cli bank: --export: A2 Grand Piano was not exported:\n"
                                "Error creation destination directory " +
                                (dest / "Samples/Keys").make_preferred().string()))
        << err;
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
                                (dest / "Programs/Out/Grand Piano.afp").string() + "\n"))
        << err;
    EXPECT_EQ(ReadText((dest / "Programs/Out/Grand Piano.afp").string()), "the user's own");
    EXPECT_FALSE(fs::exists(dest / "Samples"));

    EXPECT_EQ(Run(With({"--replace"})), 0) << err;
    EXPECT_EQ(ReadText((dest / "Programs/Out/Grand Piano.afp.bak").string()), "the user's own");
    EXPECT_EQ(ReadBytes((dest / "Programs/Out/Grand Piano.afp").string()).size(),
              ReadBytes(volume.program("Bank1", "Grand Piano")).size());
    EXPECT_EQ(Run(kBase), 0) << "the same export again replaces nothing: " << err;
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
}
#endif

}  // namespace
}  // namespace velmorant::cli
