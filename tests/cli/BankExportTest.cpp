#include <gtest/gtest.h>

#include <filesystem>
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
            "velmorant-cli bank: --bank-name, --folders and --refs go with --export\n"},
        Row{"TwoDestinations", With({"--export", "@dest"}), 2, "velmorant-cli bank: --export: give one destination"}),
    [](const auto& row) { return std::string(row.param.label); });

TEST_F(BankExport, RunsAfterEveryOperationAndFailsWhenAProgramIsLeftOut) {
    fs::create_directories(dest / "Samples");
    std::ofstream(dest / "Samples/Keys") << "a file where a folder must go";

    EXPECT_EQ(Run({"--export", "@dest", "--bank-name", "Out", "--folders", "source", "--import", "@kit", "--import",
                   "@piano", "--rename", "A1=Concert Kit"}),
              1);

    EXPECT_TRUE(err.starts_with("velmorant-cli bank: --export: A2 Grand Piano was not exported:\n"
                                "Error creation destination directory " +
                                (dest / "Samples/Keys").string()))
        << err;
    EXPECT_FALSE(fs::exists(dest / "Programs/Out/Grand Piano.afp"));
    EXPECT_TRUE(ReadText((dest / "Programs/Out/bank.txt").string())
                    .starts_with("Number of items: 2\r\nConcert Kit:O\r\nGrand Piano:A\r\n"));
    EXPECT_TRUE(fs::exists(dest / "Programs/Out/Concert Kit.afp"));
}

}  // namespace
}  // namespace velmorant::cli
