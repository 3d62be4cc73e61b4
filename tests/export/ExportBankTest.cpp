#include <gtest/gtest.h>

#include <filesystem>

#include "bank/Bank.h"
#include "bank/BankIndex.h"
#include "core/File.h"
#include "export/ExportBank.h"
#include "export/ExportProgram.h"
#include "platform/ScriptedPlatform.h"
#include "support/ExportFixtures.h"
#include "support/TempDir.h"

namespace velmorant::exporting {
namespace {

using exporttest::CallTexts;
using exporttest::ExpectedField;
using exporttest::ReadAll;
using exporttest::Slice;
using testing::DemoVolumeDir;
using testing::ReadText;
using testing::TempDir;
namespace fs = std::filesystem;

// ---------------------------------------------------------------------------------------------
// Options: the initial values and the "Same as source" rule, as the dialog and the CLI see them.

TEST(ExportOptionsTest, InitialOptionsExportToBankFoldersWithRelativeReferences) {
    const ExportOptions options = DefaultExportOptions("/opt/velmorant/bin");
    EXPECT_EQ(options.destinationPath, "/opt/velmorant/bin");
    EXPECT_EQ(options.bankName, "New_Bank");
    EXPECT_FALSE(options.accepted);
    EXPECT_EQ(ExportModeOf(options), 1);
}

struct ModeRow {
    int folderOption;
    int referenceOption;
    int mode;
    bool locked;
};

class ExportModeTable : public ::testing::TestWithParam<ModeRow> {};

TEST_P(ExportModeTable, SameAsSourceForcesAbsoluteReferences) {
    ExportOptions options;
    options.folderOption = GetParam().folderOption;
    options.referenceOption = GetParam().referenceOption;
    EXPECT_EQ(ExportModeOf(options), GetParam().mode);
    EXPECT_EQ(ReferenceOptionLocked(options), GetParam().locked);
    ApplyFolderRule(options);
    EXPECT_EQ(10 * options.referenceOption + options.folderOption, GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(Options, ExportModeTable,
                         ::testing::Values(ModeRow{kBankNamedFolder, kRelativePaths, 1, false},
                                           ModeRow{kBankNamedFolder, kAbsolutePaths, 11, false},
                                           ModeRow{kSameAsSource, kRelativePaths, 10, true},
                                           ModeRow{kSameAsSource, kAbsolutePaths, 10, true}));

// ---------------------------------------------------------------------------------------------
// The job on the demo volume.

class ExportBankFixture : public ::testing::Test {
protected:
    void SetUp() override {
        destination = scratch({"Dest"});
        fs::create_directories(destination);
        options.destinationPath = destination;
        options.bankName = "Out";
        options.accepted = true;
    }

    int Load(int slot, const std::string& bankFolder, const std::string& name) {
        const int placed = bank::AddProgram(bank, slot, volume.program(bankFolder, name));
        EXPECT_EQ(placed, slot) << name;
        return placed;
    }

    std::string Dst(std::initializer_list<std::string> parts) const {
        std::string path = destination;
        for (const std::string& part : parts) {
            path = (fs::path(path) / part).string();
        }
        return path;
    }

    DemoVolumeDir volume;
    TempDir scratch;
    std::string destination;
    bank::Bank bank;
    ExportOptions options;
    platform::ScriptedPlatform platform;
};

struct RefusalRow {
    const char* label;
    const char* bankName;
    bool destinationExists;
    const char* box;
};

class ExportRefusals : public ExportBankFixture, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(ExportRefusals, RefusedBeforeAnythingIsWritten) {
    Load(0, "Bank1", "Grand Piano");
    options.bankName = GetParam().bankName;
    if (!GetParam().destinationExists) {
        options.destinationPath = Dst({"Missing"});
    }

    EXPECT_EQ(ExportBank(platform, bank, options), kExportRefused);

    EXPECT_EQ(CallTexts(platform), std::vector<std::string>{GetParam().box});
    EXPECT_TRUE(fs::is_empty(destination)) << "something was written";
    EXPECT_FALSE(fs::exists(Dst({"Missing"})));
}

INSTANTIATE_TEST_SUITE_P(
    Input, ExportRefusals,
    ::testing::Values(
        RefusalRow{"EmptyName", "", true, "Information: You must define a Bank Name to export"},
        RefusalRow{"BlankName", "   ", true, "Information: You must define a Bank Name to export"},
        RefusalRow{"EmptyNameBeforeMissingPath", "", false, "Information: You must define a Bank Name to export"},
        RefusalRow{"MissingPath", "Out", false, "Information: You must define an existing Path to export"},
        RefusalRow{"ParentName", "..", true, "Information: The Bank Name cannot be used as a folder name (..)"},
        RefusalRow{"NameWithSeparator", "../../x", true,
                   "Information: The Bank Name cannot be used as a folder name (../../x)"}),
    [](const auto& row) { return std::string(row.param.label); });

TEST_F(ExportBankFixture, OptionsNotAcceptedDoNothing) {
    Load(0, "Bank1", "Grand Piano");
    options.accepted = false;
    EXPECT_EQ(ExportBank(platform, bank, options), kExportFinished);
    EXPECT_TRUE(platform.Calls().empty());
    EXPECT_TRUE(fs::is_empty(destination));
}

TEST_F(ExportBankFixture, ProgressFollowsTheSlotsAndTheIndexesListTheBank) {
    Load(3, "Bank1", "Grand Piano");
    Load(9, "Drums", "Studio Kit");
    bank.slots[3].categories = "AK";
    bank.slots[9].categories = "not defined";
    ExportOutcome outcome;

    ASSERT_EQ(ExportBank(platform, bank, options, &outcome), kExportFinished);

    EXPECT_EQ(CallTexts(platform), (std::vector<std::string>{
                                       "progress",
                                       "title: Exporting bank",
                                       "status: Prepare export",
                                       "range: 2",
                                       "status:  0/2 - Export Program : Grand Piano",
                                       "position: 3",
                                       "status:  1/2 - Export Program : Studio Kit",
                                       "position: 9",
                                       "close",
                                   }));
    EXPECT_EQ(outcome.failures(), 0);

    std::string expected = "Number of items: 2\r\n\r\n\r\n\r\nGrand Piano:AK\r\n\r\n\r\n\r\n\r\n\r\nStudio Kit\r\n";
    for (int slot = 10; slot < 128; ++slot) {
        expected += "\r\n";
    }
    EXPECT_EQ(ReadText(Dst({"Programs", "Out", "bank.txt"})), expected);
    EXPECT_EQ(ReadText(Dst({"Multisamples", "Out", "bank.txt"})), "Number of items: 1\r\nPiano\r\n");
    const std::string samples = ReadText(Dst({"Samples", "Out", "bank.txt"}));
    EXPECT_TRUE(samples.starts_with("Number of items: 8\r\n")) << samples;
    for (const char* name : {"Piano C2", "Piano C4", "Piano C6", "Kick", "Kick Hard", "Snare", "Snare Rim",
                             "Hat Closed"}) {
        EXPECT_NE(samples.find(std::string("\r\n") + name + "\r\n"), std::string::npos) << name;
    }
    EXPECT_EQ(options.programFolder, Dst({"Programs", "Out"}));
}

TEST_F(ExportBankFixture, EmptyBankStillCreatesTheFoldersAndEmptyIndexes) {
    ASSERT_EQ(ExportBank(platform, bank, options), kExportFinished);

    for (const char* top : {"Programs", "Multisamples", "Samples"}) {
        EXPECT_TRUE(fs::is_directory(Dst({top, "Out"}))) << top;
    }
    std::string emptySlots;
    for (int slot = 0; slot < 128; ++slot) {
        emptySlots += "\r\n";
    }
    EXPECT_EQ(ReadText(Dst({"Programs", "Out", "bank.txt"})), "Number of items: 0\r\n" + emptySlots);
    EXPECT_EQ(ReadText(Dst({"Multisamples", "Out", "bank.txt"})), "Number of items: 0\r\n");
    EXPECT_EQ(ReadText(Dst({"Samples", "Out", "bank.txt"})), "Number of items: 0\r\n");
    EXPECT_EQ(CallTexts(platform).back(), "close");
}

TEST_F(ExportBankFixture, FolderFailureClosesTheProgressWindowBeforeTheMessage) {
    Load(0, "Bank1", "Grand Piano");
    exporttest::WriteAt(destination, {"Multisamples"}, {1, 2, 3});  // a file where a folder must go

    EXPECT_EQ(ExportBank(platform, bank, options), kExportFoldersFailed);

    EXPECT_EQ(CallTexts(platform),
              (std::vector<std::string>{"progress", "title: Exporting bank", "status: Prepare export", "close",
                                        "Error: Error creation folders"}));
    EXPECT_FALSE(fs::exists(Dst({"Programs", "Out", "Grand Piano.afp"})));
}

TEST_F(ExportBankFixture, SameAsSourceWritesFolderNamesEvenWhenRelativeWasAsked) {
    Load(0, "Bank1", "Grand Piano");
    options.folderOption = kSameAsSource;
    options.referenceOption = kRelativePaths;

    ASSERT_EQ(ExportBank(platform, bank, options), kExportFinished);

    EXPECT_EQ(options.referenceOption, kAbsolutePaths);
    const auto program = ReadAll(Dst({"Programs", "Out", "Grand Piano.afp"}));
    const std::size_t oscillator0 = bank.slots[0].dependencies[0].referenceOffset;
    EXPECT_EQ(Slice(program, oscillator0 + 16, 16), ExpectedField("Keys", 16));
    EXPECT_TRUE(core::FileExists(Dst({"Samples", "Keys", "Piano C4.afs"})));
    EXPECT_TRUE(core::FileExists(Dst({"Multisamples", "Keys", "Piano.afi"})));
}

TEST_F(ExportBankFixture, FailedProgramDoesNotStopTheOthers) {
    Load(0, "Bank1", "Warm Pad");
    Load(1, "Drums", "Studio Kit");
    fs::remove(volume({"Multisamples", "Bank1", "Pad.afi"}));
    ExportOutcome outcome;

    ASSERT_EQ(ExportBank(platform, bank, options, &outcome), kExportFinished);

    ASSERT_EQ(outcome.programs.size(), 2u);
    EXPECT_LT(outcome.programs[0].result, 0);
    EXPECT_EQ(outcome.programs[1].result, kProgramExported);
    EXPECT_EQ(outcome.failures(), 1);
    EXPECT_FALSE(fs::exists(Dst({"Programs", "Out", "Warm Pad.afp"})));
    EXPECT_TRUE(fs::exists(Dst({"Programs", "Out", "Studio Kit.afp"})));
    EXPECT_NE(bank.slots[0].log.find("can,not open Multisample file"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------
// Round trip: every program exported, then imported again from the destination through its
// bank.txt, finds every file it plays, with the contents the source files had.

class RoundTrip : public ExportBankFixture, public ::testing::WithParamInterface<int> {};

TEST_P(RoundTrip, ReimportedProgramsResolveEveryDependencyWithTheSameChecksums) {
    const int mode = GetParam();
    options.folderOption = mode % 10;
    options.referenceOption = mode / 10;
    for (const auto& [folder, name] : std::vector<std::pair<std::string, std::string>>{
             {"Bank1", "Grand Piano"}, {"Bank1", "Warm Pad"}, {"Bank1", "Choir Lead"}, {"Bank2", "FM Bells"},
             {"Bank2", "VA Bass"}, {"Drums", "Studio Kit"}}) {
        ASSERT_GE(bank::AddProgram(bank, -1, volume.program(folder, name)), 0) << name;
    }
    ExportOutcome outcome;
    ASSERT_EQ(ExportBank(platform, bank, options, &outcome), kExportFinished);
    ASSERT_EQ(outcome.failures(), 0);

    bank::BankIndex index;
    ASSERT_EQ(bank::ReadBankIndex(index, Dst({"Programs", "Out", "bank.txt"})), bank::kIndexValid);
    bank::Bank again;
    int compared = 0;
    for (int slot = 0; slot < bank::kSlotCount; ++slot) {
        const volume::ProgramRecord& original = bank.slots[static_cast<std::size_t>(slot)];
        if (original.defined != 1) {
            continue;
        }
        const std::string& name = index.entries[static_cast<std::size_t>(slot)].name;
        ASSERT_EQ(name, original.programName);
        const int placed = bank::AddProgram(again, slot, Dst({"Programs", "Out", name + ".afp"}));
        ASSERT_EQ(placed, slot) << name << " does not load from the destination";
        const volume::ProgramRecord& copy = again.slots[static_cast<std::size_t>(slot)];

        ASSERT_EQ(copy.dependencies.size(), original.dependencies.size()) << name;
        for (std::size_t i = 0; i < copy.dependencies.size(); ++i) {
            const volume::DependencyRecord& before = original.dependencies[i];
            const volume::DependencyRecord& after = copy.dependencies[i];
            SCOPED_TRACE(name + " dependency " + std::to_string(i) + " " + before.sourcePath);
            EXPECT_EQ(after.kind, before.kind);
            EXPECT_EQ(after.foundName, before.currentName);
            if (before.kind == volume::kKindRom) {
                continue;
            }
            EXPECT_EQ(after.sourcePath, before.destinationPath);
            if (before.kind == volume::kKindSample) {
                EXPECT_EQ(after.crc, before.crc);
            }
            ASSERT_EQ(after.samples.size(), before.samples.size());
            for (std::size_t j = 0; j < after.samples.size(); ++j) {
                EXPECT_TRUE(core::FileExists(after.samples[j].sourcePath)) << after.samples[j].sourcePath;
                EXPECT_EQ(after.samples[j].crc, before.samples[j].crc) << before.samples[j].sourcePath;
            }
        }
        // A sample listed twice in a multisample must not leave a reference to the source folder.
        EXPECT_EQ(copy.log.find("Cannot find"), std::string::npos) << copy.log;
        ++compared;
    }
    EXPECT_EQ(compared, 6);
}

INSTANTIATE_TEST_SUITE_P(Modes, RoundTrip, ::testing::Values(1, 10, 11),
                         [](const auto& row) { return "Mode" + std::to_string(row.param); });

}  // namespace
}  // namespace velmorant::exporting
