#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/Command.h"
#include "support/TempDir.h"

namespace velmorant::cli {
namespace {

using velmorant::testing::DemoVolumeDir;
using velmorant::testing::TempDir;
namespace fs = std::filesystem;

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

// "@piano" and "@kit" stand for the demo programs, "@dest" for the destination folder.
class BankExportTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(destination); }

    CliRun Bank(std::vector<std::string> args) {
        for (std::string& arg : args) {
            if (arg == "@piano") {
                arg = volume.program("Bank1", "Grand Piano");
            } else if (arg == "@kit") {
                arg = volume.program("Drums", "Studio Kit");
            } else if (arg == "@dest") {
                arg = destination;
            }
        }
        args.insert(args.begin(), {"velmorant-cli", "bank"});
        std::ostringstream out;
        std::ostringstream err;
        const int status = RunCli(args, out, err);
        return {status, out.str(), err.str()};
    }

    std::string Dst(std::initializer_list<std::string> parts) const {
        fs::path path(destination);
        for (const std::string& part : parts) {
            path /= part;
        }
        return path.string();
    }

    // The 16 folder characters of Grand Piano's first oscillator reference in the copy, pairs exchanged back.
    std::string PianoFolderField(const std::string& bankName) const {
        std::ifstream in(Dst({"Programs", bankName, "Grand Piano.afp"}), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // Two Mods, three Enveloppes and one LFO chunk: S = 80 + 232 + 168 + 44; record at S + 4.
        const std::size_t field = 80 + 232 + 168 + 44 + 4 + 16;
        if (bytes.size() < field + 16) {
            return "<no program>";
        }
        std::string text;
        for (std::size_t i = 0; i < 16; ++i) {
            text.push_back(bytes[field + (i ^ 1u)]);
        }
        return text;
    }

    DemoVolumeDir volume;
    TempDir scratch;
    std::string destination = scratch({"Dest"});
};

struct ModeRow {
    const char* label;
    std::vector<std::string> flags;
    const char* copyFolder;  // where Piano's samples land
    std::string folderField;
};

class ExportModes : public BankExportTest, public ::testing::WithParamInterface<ModeRow> {};

TEST_P(ExportModes, FlagsChooseFoldersAndReferences) {
    std::vector<std::string> args = {"@piano", "--export", "@dest", "--bank-name", "Out"};
    args.insert(args.begin(), "--import");
    args.insert(args.end(), GetParam().flags.begin(), GetParam().flags.end());

    const CliRun run = Bank(args);

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(fs::exists(Dst({"Samples", GetParam().copyFolder, "Piano C4.afs"})));
    EXPECT_TRUE(fs::exists(Dst({"Programs", "Out", "bank.txt"})));
    EXPECT_EQ(PianoFolderField("Out"), GetParam().folderField);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, ExportModes,
    ::testing::Values(ModeRow{"Defaults", {}, "Out", std::string(16, '\0')},
                      ModeRow{"SourceFolders", {"--folders", "source"}, "Keys", "Keys" + std::string(12, '\0')},
                      ModeRow{"SourceForcesAbsolute", {"--folders", "source", "--refs", "relative"}, "Keys",
                              "Keys" + std::string(12, '\0')},
                      ModeRow{"BankFoldersAbsolute", {"--folders", "bank", "--refs", "absolute"}, "Out",
                              "Out" + std::string(13, '\0')}),
    [](const auto& row) { return std::string(row.param.label); });

struct RefusalRow {
    const char* label;
    std::vector<std::string> args;
    int status;
    const char* err;  // start of standard error
};

class ExportRefusals : public BankExportTest, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(ExportRefusals, NothingIsWritten) {
    const CliRun run = Bank(GetParam().args);
    EXPECT_EQ(run.status, GetParam().status);
    EXPECT_TRUE(run.err.starts_with(GetParam().err)) << run.err;
    EXPECT_TRUE(fs::is_empty(destination));
}

INSTANTIATE_TEST_SUITE_P(
    Input, ExportRefusals,
    ::testing::Values(
        RefusalRow{"EmptyBankName", {"--import", "@piano", "--export", "@dest", "--bank-name", ""}, 1,
                   "Information: You must define a Bank Name to export\n"},
        RefusalRow{"NoBankName", {"--import", "@piano", "--export", "@dest"}, 1,
                   "Information: You must define a Bank Name to export\n"},
        RefusalRow{"MissingDestination", {"--import", "@piano", "--export", "@dest/Nowhere", "--bank-name", "Out"}, 1,
                   "Information: You must define an existing Path to export\n"},
        RefusalRow{"UnknownFolders", {"--import", "@piano", "--export", "@dest", "--bank-name", "Out", "--folders",
                                      "other"}, 2, ""},
        RefusalRow{"NameWithoutExport", {"--import", "@piano", "--bank-name", "Out"}, 2,
                   "velmorant-cli bank: --bank-name, --folders and --refs go with --export\n"},
        RefusalRow{"TwoDestinations", {"--import", "@piano", "--export", "@dest", "--export", "@dest",
                                       "--bank-name", "Out"}, 2, "velmorant-cli bank: --export: give one destination"}),
    [](const auto& row) { return std::string(row.param.label); });

TEST_F(BankExportTest, ExportRunsAfterEveryOperationWhereverItIsGiven) {
    const CliRun run = Bank({"--export", "@dest", "--bank-name", "Out", "--import", "@piano", "--import", "@kit",
                          "--rename", "A1=Concert Grand", "--swap", "A2=B1"});

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists(Dst({"Programs", "Out", "Concert Grand.afp"})));
    EXPECT_TRUE(fs::exists(Dst({"Programs", "Out", "Studio Kit.afp"})));
    std::ifstream in(Dst({"Programs", "Out", "bank.txt"}), std::ios::binary);
    std::string count, first;
    std::getline(in, count);
    std::getline(in, first);
    EXPECT_EQ(count, "Number of items: 2\r");
    EXPECT_EQ(first, "Concert Grand:A\r");
}

TEST_F(BankExportTest, ProgramLeftOutIsReportedWithItsLogAndFailsTheRun) {
    std::ofstream(Dst({"Samples"})) << "a file where a folder must go";

    CliRun run = Bank({"--import", "@piano", "--export", "@dest", "--bank-name", "Out"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Error: Error creation folders\n");

    fs::remove(Dst({"Samples"}));
    fs::create_directories(Dst({"Samples"}));
    std::ofstream(Dst({"Samples", "Keys"})) << "a file where a folder must go";
    run = Bank({"--import", "@piano", "--import", "@kit", "--export", "@dest", "--bank-name", "Out", "--folders",
                "source"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.starts_with("velmorant-cli bank: --export: A1 Grand Piano was not exported:\n"
                                    "Error creation destination directory " +
                                    Dst({"Samples", "Keys"})))
        << run.err;
    EXPECT_FALSE(fs::exists(Dst({"Programs", "Out", "Grand Piano.afp"})));
    EXPECT_TRUE(fs::exists(Dst({"Programs", "Out", "Studio Kit.afp"})));
}

}  // namespace
}  // namespace velmorant::cli
