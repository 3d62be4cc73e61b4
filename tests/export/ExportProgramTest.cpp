#include <gtest/gtest.h>

#include <filesystem>

#include "support/ExportFixtures.h"
#include "support/TempDir.h"
#include "bank/Bank.h"
#include "core/File.h"
#include "export/ExportProgram.h"

namespace velmorant::exporting {
namespace {

using exporttest::Disk;
using exporttest::ExpectedField;
using exporttest::ReadAll;
using exporttest::SampleBytes;
using exporttest::Slice;
using exporttest::WriteAt;
namespace fs = std::filesystem;

const std::vector<std::uint8_t> kZeros16(16, 0);
const std::vector<std::uint8_t> kZeros64(64, 0);

// Reference records of the fixture files, computed from the layout rather than taken
// from the records, so a wrong offset in either place shows.
constexpr std::size_t kKeysOsc[4] = {200, 304, 428, 532};  // S = 80 + 116 (one Mods chunk), block + 4
constexpr std::size_t kKitKick = 80 + 12;                    // key 0, zone 0
constexpr std::size_t kKitSnare = 80 + 424 * 3 + 96 * 2 + 12;
constexpr std::size_t kKitRom = 80 + 424 * 5 + 96 * 1 + 12;
constexpr std::size_t kPianoEntry[3] = {28, 128, 228};  // sample entry + 8

// A source volume with one sample program and one drum program, both also naming ROM sounds.
class ExportFixture : public ::testing::Test {
protected:
    void SetUp() override {
        source = scratch({"Source"});
        destination = scratch({"Dest"});
        fs::create_directories(destination);
        WriteAt(source, {"Samples", "Keys", "Low.afs"}, SampleBytes(1));
        WriteAt(source, {"Samples", "Keys", "High.afs"}, SampleBytes(2));
        WriteAt(source, {"Samples", "Drums", "Kick.afs"}, SampleBytes(3));
        WriteAt(source, {"Samples", "Drums", "Snare.afs"}, SampleBytes(4));
        WriteAt(source, {"Multisamples", "Keys", "Piano.afi"},
                demo::BuildMultisampleFile({Disk("Keys", "Low"), Disk("Keys", "High"), {"ROM SOUNDS", "", "Sine"}}));

        demo::ProgramSpec keys;
        keys.mods = 1;
        keys.oscillators[0] = {true, Disk("Keys", "Piano")};
        keys.oscillators[1] = {true, {demo::kRomLocation, "", "Strings"}};
        keys.oscillators[2] = {false, Disk("Keys", "Old")};
        WriteAt(source, {"Programs", "Bank1", "Keys.afp"}, demo::BuildProgramFile(keys));

        demo::ProgramSpec kit;
        kit.tag = "umdr";
        kit.zones = {{0, 0, true, Disk("Drums", "Kick")},
                     {3, 2, true, Disk("Drums", "Snare")},
                     {5, 1, true, {demo::kRomLocation, "", "Clap"}}};
        WriteAt(source, {"Programs", "Bank1", "Kit.afp"}, demo::BuildProgramFile(kit));
    }

    std::string Src(std::initializer_list<std::string_view> parts) const { return Join(source, parts); }
    std::string Dst(std::initializer_list<std::string_view> parts) const { return Join(destination, parts); }
    static std::string Join(std::string path, std::initializer_list<std::string_view> parts) {
        for (std::string_view part : parts) {
            path = (fs::path(path) / std::string(part)).string();
        }
        return path;
    }

    volume::ProgramRecord& Load(const char* program) {
        const int slot = bank::AddProgram(bank, -1, Src({"Programs", "Bank1", program}));
        EXPECT_GE(slot, 0) << program;
        return bank.slots[static_cast<std::size_t>(std::max(slot, 0))];
    }

    testing::TempDir scratch;
    std::string source;
    std::string destination;
    bank::Bank bank;
};

// ---------------------------------------------------------------------------------------------
// The rewritten references, byte for byte, for each mode the options can produce.

struct ModeCase {
    int mode;
    const char* keysFolder;   // folder the Keys copies go into
    const char* drumsFolder;  // folder the Drums copies go into
    const char* keysField;    // folder field written for Keys references, nullptr when cleared
    const char* drumsField;
};

class RewriteByMode : public ExportFixture, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(RewriteByMode, ProgramAndMultisampleReferencesNameTheCopies) {
    const ModeCase& c = GetParam();
    volume::ProgramRecord& keys = Load("Keys.afp");
    volume::ProgramRecord& kit = Load("Kit.afp");
    ASSERT_EQ(ExportProgram(keys, "Out", destination, c.mode), kProgramExported) << keys.log;
    ASSERT_EQ(ExportProgram(kit, "Out", destination, c.mode), kProgramExported) << kit.log;

    const auto folderField = [](const char* text) { return text ? ExpectedField(text, 16) : kZeros16; };

    // The sample program: oscillator 0 rewritten, the ROM oscillator kept, the unused one cleared.
    const auto keysSource = ReadAll(Src({"Programs", "Bank1", "Keys.afp"}));
    const auto keysCopy = ReadAll(Dst({"Programs", "Out", "Keys.afp"}));
    ASSERT_EQ(keysCopy.size(), keysSource.size());
    EXPECT_EQ(Slice(keysCopy, kKeysOsc[0], 16), kZeros16);
    EXPECT_EQ(Slice(keysCopy, kKeysOsc[0] + 16, 16), folderField(c.keysField));
    EXPECT_EQ(Slice(keysCopy, kKeysOsc[0] + 32, 32), ExpectedField("Piano", 32));
    EXPECT_EQ(Slice(keysCopy, kKeysOsc[1], 64), Slice(keysSource, kKeysOsc[1], 64));
    EXPECT_EQ(Slice(keysCopy, kKeysOsc[2], 64), kZeros64);
    // Nothing outside the reference records changes.
    for (std::size_t i = 0; i < keysCopy.size(); ++i) {
        const bool inRecord = (i >= kKeysOsc[0] && i < kKeysOsc[0] + 64) || (i >= kKeysOsc[2] && i < kKeysOsc[2] + 64);
        if (!inRecord && keysCopy[i] != keysSource[i]) {
            ADD_FAILURE() << "byte " << i << " of the program changed";
            break;
        }
    }

    // The multisample copy: its disk samples lose location and, in mode 1, folder; names stay.
    const auto pianoSource = ReadAll(Src({"Multisamples", "Keys", "Piano.afi"}));
    const auto pianoCopy = ReadAll(Dst({"Multisamples", c.keysFolder, "Piano.afi"}));
    ASSERT_EQ(pianoCopy.size(), pianoSource.size());
    for (std::size_t entry : {kPianoEntry[0], kPianoEntry[1]}) {
        EXPECT_EQ(Slice(pianoCopy, entry, 16), kZeros16) << entry;
        EXPECT_EQ(Slice(pianoCopy, entry + 16, 16), folderField(c.keysField)) << entry;
        EXPECT_EQ(Slice(pianoCopy, entry + 32, 32), Slice(pianoSource, entry + 32, 32)) << entry;
    }
    EXPECT_EQ(Slice(pianoCopy, kPianoEntry[2], 64), Slice(pianoSource, kPianoEntry[2], 64)) << "ROM sample";

    // The drum program: both disk zones rewritten, the ROM zone kept.
    const auto kitSource = ReadAll(Src({"Programs", "Bank1", "Kit.afp"}));
    const auto kitCopy = ReadAll(Dst({"Programs", "Out", "Kit.afp"}));
    for (auto [offset, name] : {std::pair{kKitKick, "Kick"}, std::pair{kKitSnare, "Snare"}}) {
        EXPECT_EQ(Slice(kitCopy, offset, 16), kZeros16) << name;
        EXPECT_EQ(Slice(kitCopy, offset + 16, 16), folderField(c.drumsField)) << name;
        EXPECT_EQ(Slice(kitCopy, offset + 32, 32), ExpectedField(name, 32)) << name;
    }
    EXPECT_EQ(Slice(kitCopy, kKitRom, 64), Slice(kitSource, kKitRom, 64));

    // Every copy is the source byte for byte.
    for (auto [folder, from, name] : {std::tuple{c.keysFolder, "Keys", "Low.afs"},
                                      std::tuple{c.keysFolder, "Keys", "High.afs"},
                                      std::tuple{c.drumsFolder, "Drums", "Kick.afs"},
                                      std::tuple{c.drumsFolder, "Drums", "Snare.afs"}}) {
        EXPECT_EQ(ReadAll(Dst({"Samples", folder, name})), ReadAll(Src({"Samples", from, name}))) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, RewriteByMode,
                         ::testing::Values(ModeCase{1, "Out", "Out", nullptr, nullptr},
                                           ModeCase{10, "Keys", "Drums", "Keys", "Drums"},
                                           ModeCase{11, "Out", "Out", "Out", "Out"}),
                         [](const auto& row) { return "Mode" + std::to_string(row.param.mode); });

// ---------------------------------------------------------------------------------------------
// A different file already holding the name: numbered names, cut to the instrument's lengths.

enum class Site { kDrumSample, kMultisampleSample, kMultisample };

struct ClashCase {
    const char* label;
    Site site;
    const char* name;
    std::vector<std::string> taken;  // base names already at the destination, with other contents
    const char* expected;
};

class ClashNaming : public ExportFixture, public ::testing::WithParamInterface<ClashCase> {};

TEST_P(ClashNaming, CopyGetsTheFirstFreeNumberedNameAndIsReferencedByIt) {
    const ClashCase& c = GetParam();
    const bool multisample = c.site == Site::kMultisample;
    const char* extension = multisample ? ".afi" : ".afs";
    const std::string file = std::string(c.name) + extension;

    demo::ProgramSpec spec;
    std::size_t reference = 0;  // where the new name must appear
    std::string referencing;
    if (c.site == Site::kDrumSample) {
        WriteAt(source, {"Samples", "Drums", file}, SampleBytes(7));
        spec.tag = "umdr";
        spec.zones = {{1, 0, true, Disk("Drums", c.name)}};
        reference = 80 + 424 + 12 + 32;
        referencing = Dst({"Programs", "Out", "Clash.afp"});
    } else {
        if (c.site == Site::kMultisampleSample) {
            WriteAt(source, {"Samples", "Drums", file}, SampleBytes(7));
            WriteAt(source, {"Multisamples", "Keys", "Holder.afi"},
                    demo::BuildMultisampleFile({Disk("Keys", "Low"), Disk("Drums", c.name)}));
            reference = kPianoEntry[1] + 32;
            referencing = Dst({"Multisamples", "Out", "Holder.afi"});
        } else {
            WriteAt(source, {"Multisamples", "Keys", file},
                    demo::BuildMultisampleFile({Disk("Keys", "Low")}));
            reference = 80 + 4 + 32;
            referencing = Dst({"Programs", "Out", "Clash.afp"});
        }
        spec.oscillators[0] = {true, Disk("Keys", multisample ? c.name : "Holder")};
    }
    WriteAt(source, {"Programs", "Bank1", "Clash.afp"}, demo::BuildProgramFile(spec));
    for (const std::string& taken : c.taken) {
        WriteAt(destination, {multisample ? "Multisamples" : "Samples", "Out", taken + extension}, SampleBytes(99));
    }

    volume::ProgramRecord& program = Load("Clash.afp");
    ASSERT_EQ(ExportProgram(program, "Out", destination, 1), kProgramExported) << program.log;

    const std::string copy = Dst({multisample ? "Multisamples" : "Samples", "Out", std::string(c.expected) + extension});
    ASSERT_TRUE(core::FileExists(copy)) << copy << "\n" << program.log;
    if (!multisample) {
        EXPECT_EQ(ReadAll(copy), ReadAll(Src({"Samples", "Drums", file})));
    }
    for (const std::string& taken : c.taken) {
        EXPECT_EQ(ReadAll(Dst({multisample ? "Multisamples" : "Samples", "Out", taken + extension})), SampleBytes(99))
            << "an existing file was overwritten";
    }
    EXPECT_EQ(Slice(ReadAll(referencing), reference, 32), ExpectedField(c.expected, 32));
}

INSTANTIATE_TEST_SUITE_P(
    Names, ClashNaming,
    ::testing::Values(
        ClashCase{"SampleOfDrum", Site::kDrumSample, "Kick", {"Kick"}, "0Kick"},
        ClashCase{"SampleNextNumber", Site::kDrumSample, "Kick", {"Kick", "0Kick", "1Kick"}, "2Kick"},
        ClashCase{"SampleCutAt32", Site::kDrumSample, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345",
                  {"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"}, "0ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"},
        ClashCase{"SampleInMultisample", Site::kMultisampleSample, "Tom", {"Tom"}, "0Tom"},
        ClashCase{"Multisample", Site::kMultisample, "Strings", {"Strings"}, "0Strings"},
        ClashCase{"MultisampleCutAt16", Site::kMultisample, "ABCDEFGHIJKLMNOP", {"ABCDEFGHIJKLMNOP"},
                  "0ABCDEFGHIJKLMNO"},
        ClashCase{"MultisampleTwoDigitsCutAt16", Site::kMultisample, "ABCDEFGHIJKLMNOP",
                  {"ABCDEFGHIJKLMNOP", "0ABCDEFGHIJKLMNO", "1ABCDEFGHIJKLMNO", "2ABCDEFGHIJKLMNO",
                   "3ABCDEFGHIJKLMNO", "4ABCDEFGHIJKLMNO", "5ABCDEFGHIJKLMNO", "6ABCDEFGHIJKLMNO",
                   "7ABCDEFGHIJKLMNO", "8ABCDEFGHIJKLMNO", "9ABCDEFGHIJKLMNO"},
                  "10ABCDEFGHIJKLMN"}),
    [](const auto& row) { return std::string(row.param.label); });

// ---------------------------------------------------------------------------------------------
// Exporting again into the same volume, and a dependency listed twice.

TEST_F(ExportFixture, SecondExportReusesSamplesButNumbersRewrittenMultisamples) {
    volume::ProgramRecord& keys = Load("Keys.afp");
    ASSERT_EQ(ExportProgram(keys, "Out", destination, 1), kProgramExported) << keys.log;
    const auto first = exporttest::ListFilesBelow(destination);
    keys.log.clear();

    ASSERT_EQ(ExportProgram(keys, "Out", destination, 1), kProgramExported) << keys.log;

    // The copy of Piano differs from its source (its references were rewritten), so the
    // second export writes it again under a numbered name; the samples are reused.
    auto expected = first;
    expected.push_back("Multisamples/Out/0Piano.afi");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(exporttest::ListFilesBelow(destination), expected);
    EXPECT_NE(keys.log.find("Copy dependance (" + Src({"Samples", "Keys", "Low.afs"}) + " to " +
                            Dst({"Samples", "Out", "Low.afs"}) + ") : destination file already exist\n"),
              std::string::npos)
        << keys.log;
    EXPECT_EQ(Slice(ReadAll(Dst({"Programs", "Out", "Keys.afp"})), kKeysOsc[0] + 32, 32), ExpectedField("0Piano", 32));
    // The records start from the found names again at every export.
    EXPECT_EQ(keys.dependencies[0].currentName, "0Piano");
    ASSERT_EQ(ExportProgram(keys, "Other", destination, 1), kProgramExported) << keys.log;
    EXPECT_EQ(keys.dependencies[0].currentName, "Piano");
    EXPECT_EQ(keys.dependencies[0].newName, 0);
}

TEST_F(ExportFixture, DependencyListedTwiceIsCopiedOnceAndBothReferencesNameTheCopy) {
    demo::ProgramSpec twice;
    twice.mods = 1;
    twice.oscillators[0] = {true, Disk("Keys", "Piano")};
    twice.oscillators[3] = {true, Disk("Keys", "Piano")};
    WriteAt(source, {"Programs", "Bank1", "Twice.afp"}, demo::BuildProgramFile(twice));
    WriteAt(destination, {"Multisamples", "Out", "Piano.afi"}, SampleBytes(42));

    volume::ProgramRecord& program = Load("Twice.afp");
    ASSERT_EQ(program.dependencies.size(), 2u);
    ASSERT_EQ(program.dependencies[1].duplicate, 1);
    ASSERT_EQ(ExportProgram(program, "Out", destination, 1), kProgramExported) << program.log;

    EXPECT_TRUE(core::FileExists(Dst({"Multisamples", "Out", "0Piano.afi"})));
    EXPECT_FALSE(core::FileExists(Dst({"Multisamples", "Out", "1Piano.afi"})));
    const auto copy = ReadAll(Dst({"Programs", "Out", "Twice.afp"}));
    EXPECT_EQ(Slice(copy, kKeysOsc[0] + 32, 32), ExpectedField("0Piano", 32));
    EXPECT_EQ(Slice(copy, kKeysOsc[3] + 32, 32), ExpectedField("0Piano", 32));
    EXPECT_EQ(Slice(copy, kKeysOsc[3], 16), kZeros16);
}

// ---------------------------------------------------------------------------------------------
// Names that would leave the destination folders, and copies that fail.

struct UnsafeCase {
    const char* label;
    const char* folder;      // the dependency's folder name
    const char* name;        // its found name
    int mode;
    const char* bankName;
};

class UnsafeNames : public ExportFixture, public ::testing::WithParamInterface<UnsafeCase> {};

TEST_P(UnsafeNames, DependencyIsRefusedAndNothingLandsOutsideTheVolume) {
    const UnsafeCase& c = GetParam();
    // Records as a tampered file could yield them; the source itself lies inside the volume.
    volume::ProgramRecord& program = Load("Kit.afp");
    volume::DependencyRecord& kick = program.dependencies[0];
    kick.folderName = c.folder;
    kick.foundName = c.name;

    const int result = ExportProgram(program, c.bankName, destination, c.mode);

    EXPECT_LT(result, 0);
    EXPECT_NE(program.log.find("unsafe destination name"), std::string::npos) << program.log;
    EXPECT_FALSE(core::FileExists(Dst({"Programs", c.bankName, "Kit.afp"})));
    std::vector<std::string> outside = exporttest::ListFilesBelow(scratch.path());
    std::erase_if(outside, [](const std::string& f) { return f.starts_with("Source/") || f.starts_with("Dest/"); });
    EXPECT_TRUE(outside.empty()) << outside.front();
    for (const std::string& f : exporttest::ListFilesBelow(destination)) {
        EXPECT_TRUE(f.starts_with("Samples/") || f.starts_with("Multisamples/")) << f;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, UnsafeNames,
    ::testing::Values(UnsafeCase{"ParentFolder", "..", "Kick", 10, "Out"},
                      UnsafeCase{"FolderWithSeparator", "../../Escaped", "Kick", 10, "Out"},
                      UnsafeCase{"BlankFolder", "   ", "Kick", 10, "Out"},
                      UnsafeCase{"BackslashFolder", "..\\..", "Kick", 10, "Out"},
                      UnsafeCase{"NameWithSeparator", "Drums", "../Kick", 1, "Out"},
                      UnsafeCase{"BankParent", "Drums", "Kick", 1, ".."},
                      UnsafeCase{"BankWithSeparator", "Drums", "Kick", 11, "a/b"}),
    [](const auto& row) { return std::string(row.param.label); });

TEST_F(ExportFixture, UnreadableSampleFailsTheProgramWithoutLeavingAFile) {
    WriteAt(source, {"Multisamples", "Keys", "Gappy.afi"},
            demo::BuildMultisampleFile({Disk("Keys", "Low"), Disk("Keys", "Gone")}));
    demo::ProgramSpec spec;
    spec.oscillators[0] = {true, Disk("Keys", "Gappy")};
    WriteAt(source, {"Programs", "Bank1", "Gappy.afp"}, demo::BuildProgramFile(spec));
    volume::ProgramRecord& program = Load("Gappy.afp");  // a missing sample of a multisample loads

    EXPECT_LT(ExportProgram(program, "Out", destination, 1), 0);

    const std::string gone = Src({"Samples", "Keys", "Gone.afs"});
    EXPECT_NE(program.log.find("Error copy dependance (" + gone), std::string::npos) << program.log;
    EXPECT_EQ(program.log.find("Copy dependance (" + gone), std::string::npos) << "failure logged as success";
    EXPECT_FALSE(core::FileExists(Dst({"Programs", "Out", "Gappy.afp"})));
    EXPECT_FALSE(core::FileExists(Dst({"Multisamples", "Out", "Gappy.afi"})));
    EXPECT_EQ(exporttest::ListFilesBelow(destination), std::vector<std::string>{"Samples/Out/Low.afs"});
}

TEST_F(ExportFixture, FilesGoneSinceLoadingFailTheProgram) {
    volume::ProgramRecord& keys = Load("Keys.afp");
    volume::ProgramRecord& kit = Load("Kit.afp");
    fs::remove(Src({"Multisamples", "Keys", "Piano.afi"}));
    fs::remove(Src({"Programs", "Bank1", "Kit.afp"}));

    EXPECT_EQ(CopyMultisampleDependency(keys.dependencies[0], keys, "Out", destination, 1), kReadOrWriteFailed);
    EXPECT_NE(keys.log.find("can,not open Multisample file (" + Src({"Multisamples", "Keys", "Piano.afi"}) + ")\n"),
              std::string::npos);
    EXPECT_EQ(ExportProgram(kit, "Out", destination, 1), kReadOrWriteFailed);
    EXPECT_NE(kit.log.find("cannot open Multisample file (" + Src({"Programs", "Bank1", "Kit.afp"}) + ")\n"),
              std::string::npos);
    EXPECT_FALSE(core::FileExists(Dst({"Programs", "Out", "Kit.afp"})));
}

TEST_F(ExportFixture, FolderThatCannotBeCreatedStopsTheProgram) {
    WriteAt(destination, {"Samples", "Out"}, SampleBytes(5));  // a file where the folder must go
    volume::ProgramRecord& kit = Load("Kit.afp");

    EXPECT_EQ(ExportProgram(kit, "Out", destination, 1), kFolderNotCreated);
    EXPECT_NE(kit.log.find("Error creation destination directory " + Dst({"Samples", "Out"}) + "\n"),
              std::string::npos)
        << kit.log;
    EXPECT_FALSE(core::FileExists(Dst({"Programs", "Out", "Kit.afp"})));
}

}  // namespace
}  // namespace velmorant::exporting
