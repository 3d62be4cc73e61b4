#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>

#include "bank/Bank.h"
#include "bank/BankIndex.h"
#include "core/File.h"
#include "core/Path.h"
#include "demo/VolumeBuilders.h"
#include "doctor/Manifest.h"
#include "export/ExportBank.h"
#include "export/ExportProgram.h"
#include "support/CreateFixtures.h"
#include "support/ImportFixtures.h"
#include "support/TempDir.h"

namespace velmorant::exporting {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using testing::CallLines;
using testing::ListFiles;
using testing::PairSwapped;
using testing::Slice;
using testing::ReadBytes;
using testing::ReadText;

demo::Reference Disk(std::string folder, std::string name) { return {demo::kDiskLocation, folder, name}; }

void Put(const fs::path& path, const Bytes& bytes) {
    fs::create_directories(path.parent_path());
    ASSERT_TRUE(demo::WriteFile(path.string(), bytes)) << path;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string EmptyLines(int n) {
    std::string lines;
    while (n-- > 0) lines += "\r\n";
    return lines;
}

// Reference records of the fixture programs, from the file layout (S = 80 + 116 for Keys' one Mods chunk).
constexpr std::size_t kKeysOsc[4] = {200, 304, 428, 532};
constexpr std::size_t kKitKick = 80 + 12, kKitSnare = 80 + 424 * 3 + 96 * 2 + 12, kKitRom = 80 + 424 * 5 + 96 + 12;
constexpr std::size_t kEntry[3] = {28, 128, 228};  // multisample sample entries + 8

// A sample program (a multisample, a ROM oscillator, an unused oscillator with a stale reference)
// and a drum program (two samples, a ROM zone) on a source volume; an empty destination volume.
class ExportTest : public ::testing::Test {
public:
    void SetUp() override {
        fs::create_directories(dst);
        int seed = 0;
        for (auto [folder, name] : {std::pair{"Keys", "Low"}, {"Keys", "High"}, {"Drums", "Kick"}, {"Drums", "Snare"}}) {
            Put(src / "Samples" / folder / (std::string(name) + ".afs"), demo::BuildSampleFile(100.0 * ++seed, 64));
        }
        Put(src / "Multisamples/Keys/Piano.afi",
            demo::BuildMultisampleFile({Disk("Keys", "Low"), Disk("Keys", "High"), {"ROM SOUNDS", "", "Sine"}}));
        demo::ProgramLayout keys;
        keys.mods = 1;
        keys.oscillators = {{{true, Disk("Keys", "Piano")},
                             {true, {demo::kRomLocation, "", "Strings"}},
                             {false, Disk("Keys", "Old")},
                             {}}};
        Put(src / "Programs/Bank1/Keys.afp", demo::BuildProgramFile(keys));
        demo::ProgramLayout kit;
        kit.tag = "umdr";
        kit.zones = {{0, 0, true, Disk("Drums", "Kick")},
                     {3, 2, true, Disk("Drums", "Snare")},
                     {5, 1, true, {demo::kRomLocation, "", "Clap"}}};
        Put(src / "Programs/Bank1/Kit.afp", demo::BuildProgramFile(kit));
    }

    volume::ProgramRecord& Load(const std::string& program, int slot = -1) {
        const int placed =
            bank::AddProgram(bank, slot, (src / "Programs/Bank1" / (program + ".afp")).string()).slot.value_or(-1);
        EXPECT_GE(placed, 0) << program;
        return bank.slots[static_cast<std::size_t>(std::max(placed, 0))];
    }

    testing::TempDir dir;
    fs::path src = dir({"Source"});
    fs::path dst = dir({"Dest"});
    std::string root = dst.string();
    bank::Bank bank;
};

// ---------------------------------------------------------------------------------------------

struct ModeCase {
    int mode;
    const char* keysCopies;  // folder the copies of Keys files go into
    const char* drumCopies;
    const char* keysField;   // folder field written into Keys references, nullptr when cleared
    const char* drumField;
};

class RewriteByMode : public ExportTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(RewriteByMode, ReferencesNameTheCopiesAndRomReferencesStay) {
    const ModeCase& c = GetParam();
    volume::ProgramRecord& keys = Load("Keys");
    volume::ProgramRecord& kit = Load("Kit");
    ASSERT_EQ(ExportProgram(keys, "Out", root, c.mode), kProgramExported) << keys.log;
    ASSERT_EQ(ExportProgram(kit, "Out", root, c.mode), kProgramExported) << kit.log;
    const auto folder = [](const char* text) { return PairSwapped(text ? text : "", 16); };

    const Bytes keysSource = ReadBytes((src / "Programs/Bank1/Keys.afp").string());
    const Bytes keysCopy = ReadBytes((dst / "Programs/Out/Keys.afp").string());
    Bytes expected = keysSource;
    std::fill_n(expected.begin() + kKeysOsc[2], 64, 0);  // an unused oscillator keeps no stale reference
    const Bytes record = PairSwapped("", 16) + folder(c.keysField) + PairSwapped("Piano", 32);
    std::copy(record.begin(), record.end(), expected.begin() + kKeysOsc[0]);
    EXPECT_EQ(keysCopy, expected);  // the ROM oscillator and everything else unchanged

    const Bytes pianoSource = ReadBytes((src / "Multisamples/Keys/Piano.afi").string());
    const Bytes pianoCopy = ReadBytes((dst / "Multisamples" / c.keysCopies / "Piano.afi").string());
    for (std::size_t entry : {kEntry[0], kEntry[1]}) {
        EXPECT_EQ(Slice(pianoCopy, entry, 32), PairSwapped("", 16) + folder(c.keysField)) << entry;
        EXPECT_EQ(Slice(pianoCopy, entry + 32, 32), Slice(pianoSource, entry + 32, 32)) << "names stay";
    }
    EXPECT_EQ(Slice(pianoCopy, kEntry[2], 64), Slice(pianoSource, kEntry[2], 64)) << "ROM sample";

    const Bytes kitCopy = ReadBytes((dst / "Programs/Out/Kit.afp").string());
    EXPECT_EQ(Slice(kitCopy, kKitKick, 64), PairSwapped("", 16) + folder(c.drumField) + PairSwapped("Kick", 32));
    EXPECT_EQ(Slice(kitCopy, kKitSnare, 64), PairSwapped("", 16) + folder(c.drumField) + PairSwapped("Snare", 32));
    EXPECT_EQ(Slice(kitCopy, kKitRom, 64), Slice(ReadBytes((src / "Programs/Bank1/Kit.afp").string()), kKitRom, 64));

    for (auto [to, from, name] : {std::tuple{c.keysCopies, "Keys", "Low.afs"}, {c.drumCopies, "Drums", "Snare.afs"}}) {
        EXPECT_EQ(ReadBytes((dst / "Samples" / to / name).string()), ReadBytes((src / "Samples" / from / name).string()));
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, RewriteByMode,
                         ::testing::Values(ModeCase{1, "Out", "Out", nullptr, nullptr},
                                           ModeCase{10, "Keys", "Drums", "Keys", "Drums"},
                                           ModeCase{11, "Out", "Out", "Out", "Out"}),
                         [](const auto& row) { return "Mode" + std::to_string(row.param.mode); });

// A multisample may list a sample twice, and may use a ROM sample named like one of its disk
// samples: the repeat names the copy, the ROM entries never turn into disk references.
TEST_F(ExportTest, RepeatedEntriesFollowTheirSampleAndRomEntriesStay) {
    const demo::Reference rom{"ROM SOUNDS", "", "Low"};
    Put(src / "Multisamples/Keys/Layers.afi",
        demo::BuildMultisampleFile({Disk("Keys", "Low"), Disk("Keys", "Low"), rom, rom}));
    demo::ProgramLayout layout;
    layout.oscillators[0] = {true, Disk("Keys", "Layers")};
    Put(src / "Programs/Bank1/Layers.afp", demo::BuildProgramFile(layout));
    volume::ProgramRecord& program = Load("Layers");
    ASSERT_EQ(ExportProgram(program, "Out", root, 11), kProgramExported) << program.log;

    const Bytes source = ReadBytes((src / "Multisamples/Keys/Layers.afi").string());
    const Bytes copy = ReadBytes((dst / "Multisamples/Out/Layers.afi").string());
    for (std::size_t entry : {kEntry[0], kEntry[1]}) {
        EXPECT_EQ(Slice(copy, entry, 32), PairSwapped("", 16) + PairSwapped("Out", 16)) << entry;
    }
    for (std::size_t entry : {kEntry[2], kEntry[2] + 100}) {
        EXPECT_EQ(Slice(copy, entry, 64), Slice(source, entry, 64)) << "ROM entry at " << entry;
    }
}

// ---------------------------------------------------------------------------------------------

enum class Site { kDrumSample, kSampleOfMultisample, kMultisample };

struct ClashCase {
    const char* label;
    Site site;
    std::string name;
    std::vector<std::string> taken;  // names of other files already at the destination
    const char* expected;
};

class ClashNaming : public ExportTest, public ::testing::WithParamInterface<ClashCase> {};

TEST_P(ClashNaming, CopyTakesTheFirstFreeNumberedNameAndIsReferencedByIt) {
    const ClashCase& c = GetParam();
    const bool multisample = c.site == Site::kMultisample;
    const std::string extension = multisample ? ".afi" : ".afs";
    const fs::path copies = dst / (multisample ? "Multisamples" : "Samples") / "Out";
    demo::ProgramLayout layout;
    fs::path referencing = dst / "Programs/Out/Clash.afp";
    std::size_t nameField = 80 + 4 + 32;  // oscillator 0
    if (c.site == Site::kDrumSample) {
        Put(src / "Samples/Drums" / (c.name + extension), demo::BuildSampleFile(50.0, 80));
        layout.tag = "umdr";
        layout.zones = {{1, 0, true, Disk("Drums", c.name)}};
        nameField = 80 + 424 + 12 + 32;
    } else if (c.site == Site::kSampleOfMultisample) {
        Put(src / "Samples/Drums" / (c.name + extension), demo::BuildSampleFile(50.0, 80));
        // The renamed sample first: planning the next one must not lose its new name.
        Put(src / "Multisamples/Keys/Holder.afi", demo::BuildMultisampleFile({Disk("Drums", c.name), Disk("Keys", "Low")}));
        layout.oscillators[0] = {true, Disk("Keys", "Holder")};
        referencing = dst / "Multisamples/Out/Holder.afi";
        nameField = kEntry[0] + 32;
    } else {
        Put(src / "Multisamples/Keys" / (c.name + extension), demo::BuildMultisampleFile({Disk("Keys", "Low")}));
        layout.oscillators[0] = {true, Disk("Keys", c.name)};
    }
    Put(src / "Programs/Bank1/Clash.afp", demo::BuildProgramFile(layout));
    for (const std::string& taken : c.taken) Put(copies / (taken + extension), {1, 2, 3});
    volume::ProgramRecord& program = Load("Clash");

    ASSERT_EQ(ExportProgram(program, "Out", root, 1), kProgramExported) << program.log;

    EXPECT_TRUE(fs::exists(copies / (c.expected + extension))) << program.log;
    for (const std::string& taken : c.taken) {
        EXPECT_EQ(ReadBytes((copies / (taken + extension)).string()), (Bytes{1, 2, 3})) << "overwritten";
    }
    EXPECT_EQ(Slice(ReadBytes(referencing.string()), nameField, 32), PairSwapped(c.expected, 32));
}

const std::string k32 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
const std::string k16 = "ABCDEFGHIJKLMNOP";
// k16 and its numbered names 0..9, each cut to 16 characters.
const std::vector<std::string> kTen = [] {
    std::vector<std::string> taken{k16};
    for (char n = '0'; n <= '9'; ++n) taken.push_back(n + k16.substr(0, 15));
    return taken;
}();

INSTANTIATE_TEST_SUITE_P(
    Names, ClashNaming,
    ::testing::Values(ClashCase{"Sample", Site::kDrumSample, "Kick", {"Kick"}, "0Kick"},
                      ClashCase{"SampleNextNumber", Site::kDrumSample, "Kick", {"Kick", "0Kick", "1Kick"}, "2Kick"},
                      ClashCase{"SampleCutAt32", Site::kDrumSample, k32, {k32}, "0ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"},
                      // Only the letter case differs: one file on the instrument's disk and on Windows.
                      ClashCase{"SampleOtherCase", Site::kDrumSample, "Kick", {"KICK"}, "0Kick"},
                      ClashCase{"SampleNumberOtherCase", Site::kDrumSample, "Kick", {"Kick", "0kick"}, "1Kick"},
                      ClashCase{"SampleOfMultisample", Site::kSampleOfMultisample, "Tom", {"Tom"}, "0Tom"},
                      ClashCase{"MultisampleCutAt16", Site::kMultisample, k16, {k16}, "0ABCDEFGHIJKLMNO"},
                      ClashCase{"MultisampleTenthCutAt16", Site::kMultisample, k16, kTen, "10ABCDEFGHIJKLMN"}),
    [](const auto& row) { return std::string(row.param.label); });

// ---------------------------------------------------------------------------------------------

TEST_F(ExportTest, SecondExportReusesEveryCopyAndKeepsADifferentProgram) {
    demo::ProgramLayout twice;
    twice.mods = 1;
    twice.oscillators[0] = {true, Disk("Keys", "Piano")};
    twice.oscillators[3] = {true, Disk("Keys", "Piano")};
    Put(src / "Programs/Bank1/Twice.afp", demo::BuildProgramFile(twice));
    volume::ProgramRecord& program = Load("Twice");
    ASSERT_TRUE(program.dependencies.at(1).duplicate);
    ASSERT_EQ(ExportProgram(program, "Out", root, 1), kProgramExported) << program.log;
    program.log.clear();

    ASSERT_EQ(ExportProgram(program, "Out", root, 1), kProgramExported) << program.log;

    // Every copy the first export made is what the second would write: all are reused.
    EXPECT_EQ(ListFiles(root), (std::vector<std::string>{"Multisamples/Out/Piano.afi", "Programs/Out/Twice.afp",
                                                    "Samples/Out/High.afs", "Samples/Out/Low.afs"}));
    EXPECT_NE(program.log.find("Copy dependance (" + (src / "Samples/Keys/Low.afs").make_preferred().string() + " to " +
                               (dst / "Samples/Out/Low.afs").make_preferred().string() + ") : destination file already exist\n\r\n"),
              std::string::npos) << program.log;
    const Bytes copy = ReadBytes((dst / "Programs/Out/Twice.afp").string());
    EXPECT_EQ(Slice(copy, kKeysOsc[0] + 32, 32), PairSwapped("Piano", 32));
    EXPECT_EQ(Slice(copy, kKeysOsc[3] + 32, 32), PairSwapped("Piano", 32)) << "the duplicate names the copy";
    // A different program under the name is kept unless replacing is allowed, then backed up.
    Put(dst / "Programs/Out/Twice.afp", {1, 2, 3});
    EXPECT_EQ(ExportProgram(program, "Out", root, 1), kDestinationTaken);
    ASSERT_EQ(ExportProgram(program, "Out", root, 1, nullptr, true), kProgramExported) << program.log;
    EXPECT_EQ(ReadBytes((dst / "Programs/Out/Twice.afp.bak").string()), (Bytes{1, 2, 3}));
}

// Records as a tampered file could yield them: each refused, nothing lands outside the copy folders.
TEST_F(ExportTest, UnsafeNamesAreRefusedAndNothingLandsOutsideTheCopyFolders) {
    const std::tuple<const char*, const char*, int, const char*> rows[] = {  // folder, found name, mode, bank name
        {"..", "Kick", 10, "Out"}, {"..\\..", "Kick", 10, "Out"}, {"   ", "Kick", 10, "Out"}, {"Drums", "../Kick", 1, "Out"},
        {"Drums", "Kick", 1, ".."},
        // Names Windows cannot hold: a device, a trailing dot.
        {"NUL", "Kick", 10, "Out"}, {"Drums", "Kick", 1, "Out."}};
    for (const auto& [folder, name, mode, bankName] : rows) {
        volume::ProgramRecord& kit = Load("Kit");
        kit.dependencies[0].folderName = folder;
        kit.dependencies[0].foundName = name;
        EXPECT_LT(ExportProgram(kit, bankName, root, mode), 0) << folder << " " << name << " " << bankName;
        EXPECT_NE(kit.log.find("unsafe destination name"), std::string::npos) << kit.log;
        for (const std::string& file : ListFiles(dir.path())) {
            EXPECT_TRUE(file.starts_with("Source/") || file.starts_with("Dest/Samples/")) << file;
        }
        bank::RemoveProgram(bank, 0);
    }
}

// A sample already missing on the source volume when the program loaded does not keep the
// program out; one that was there and cannot be copied does, and leaves no partial file.
TEST_F(ExportTest, MissingAtLoadIsReportedAndACopyThatFailsKeepsTheProgramOut) {
    Put(src / "Multisamples/Keys/Gappy.afi", demo::BuildMultisampleFile({Disk("Keys", "Low"), Disk("Keys", "Gone")}));
    demo::ProgramLayout gappy;
    gappy.oscillators[0] = {true, Disk("Keys", "Gappy")};
    Put(src / "Programs/Bank1/Gappy.afp", demo::BuildProgramFile(gappy));
    volume::ProgramRecord& program = Load("Gappy");  // a multisample's missing sample does not stop loading
    volume::ProgramRecord& kit = Load("Kit");
    const std::string gone = (src / "Samples/Keys/Gone.afs").make_preferred().string();

    ASSERT_EQ(ExportProgram(program, "Out", root, 1), kProgramExported) << program.log;
    EXPECT_NE(program.log.find("Skip dependance (" + gone + ") : missing on the source volume, not copied"),
              std::string::npos) << program.log;
    EXPECT_EQ(program.log.find("Copy dependance (" + gone), std::string::npos) << "never reported as copied";
    const Bytes copy = ReadBytes((dst / "Multisamples/Out/Gappy.afi").string());
    EXPECT_EQ(Slice(copy, kEntry[1], 64),
              PairSwapped("", 32) + Slice(ReadBytes((src / "Multisamples/Keys/Gappy.afi").string()), kEntry[1] + 32, 32))
        << "still listed, its folder cleared";

    fs::remove(src / "Samples/Drums/Snare.afs");  // there when the kit loaded
    EXPECT_EQ(ExportProgram(kit, "Out", root, 1), kReadOrWriteFailed);
    const std::string snare = (src / "Samples/Drums/Snare.afs").make_preferred().string();
    EXPECT_NE(kit.log.find("Error copy dependance (" + snare), std::string::npos) << kit.log;
    EXPECT_EQ(kit.log.find("Copy dependance (" + snare), std::string::npos) << "a failure logged as success";
    EXPECT_EQ(ListFiles(root), (std::vector<std::string>{"Multisamples/Out/Gappy.afi", "Programs/Out/Gappy.afp",
                                                    "Samples/Out/Kick.afs", "Samples/Out/Low.afs"}))
        << "no partial or program file";
}

// ---------------------------------------------------------------------------------------------

class ExportBankTest : public ExportTest {
protected:
    int Export() { return ExportBank(platform, bank, options); }
    platform::ScriptedPlatform platform;
    ExportOptions options = [this] {
        ExportOptions o = DefaultExportOptions(root);
        o.bankName = "Out";
        o.accepted = true;
        o.registerBank = false;
        return o;
    }();
};

// Exported again, the bank copies nothing: its copies are reused, a numbered one too, and the
// manifest the first export wrote still verifies.
TEST_F(ExportBankTest, RepeatedExportReusesEveryCopyAndSaysSo) {
    Load("Keys");
    Load("Kit");
    Put(dst / "Samples/Out/Kick.afs", {1, 2, 3});  // the user's own, under the kit sample's name
    ExportOutcome first;
    ASSERT_EQ(ExportBank(platform, bank, options, &first), kExportFinished) << bank.slots[1].log;
    const std::vector<std::string> files = ListFiles(root);
    const std::string manifest = (dst / "Velmorant/Out.export.json").string();
    const std::string manifestText = ReadText(manifest);

    ExportOutcome again;
    ASSERT_EQ(ExportBank(platform, bank, options, &again), kExportFinished);

    EXPECT_EQ(std::tie(first.counts.copied, first.counts.numbered, first.counts.reused), std::make_tuple(7, 1, 0));
    EXPECT_EQ(std::tie(again.counts.exported, again.counts.copied, again.counts.reused), std::make_tuple(2, 0, 7));
    EXPECT_EQ(platform.Boxes().back(), "Information: Exported 2 of 2 programs: nothing copied, every file was already "
                                       "there (7 reused).\nThe bank is not listed in the destination's "
                                       "Programs/bank.txt.");
    EXPECT_EQ(ListFiles(root), files) << "no numbered copy piles up";
    EXPECT_TRUE(fs::exists(dst / "Samples/Out/0Kick.afs"));
    EXPECT_EQ(ReadText(manifest), manifestText);
    EXPECT_FALSE(doctor::VerifyManifest(root, manifest).WouldFailToLoad());
    fs::remove(dst / "Samples/Out/Low.afs");
    Put(dst / "Samples/Out/0Kick.afs", {4, 5, 6});
    EXPECT_EQ(doctor::VerifyManifest(root, manifest).totals.failures, 2);
}

// Without room for what it writes, the export says so with the figures and writes nothing.
TEST_F(ExportBankTest, AnExportThatDoesNotFitIsRefusedUpFront) {
    Load("Keys");
    ExportPlan plan;
    ASSERT_EQ(PreviewExport(platform, bank, options, plan), kExportFinished);
    ASSERT_GT(plan.BytesToWrite(), 1000u);
    for (const PlannedFile& file : plan.files) EXPECT_EQ(file.destination.find("Sine"), std::string::npos) << "a ROM sample";
    plan.freeBytes = 1000;

    EXPECT_EQ(RunExportPlan(platform, bank, options, plan), kExportRefused);

    EXPECT_EQ(CallLines(platform), std::vector<std::string>{"box Information: Not enough free space in " + root +
                                                            ": the export writes " + ByteSize(plan.BytesToWrite()) +
                                                            " and 1000 bytes are free"});
    EXPECT_TRUE(fs::is_empty(dst));
    EXPECT_EQ(ByteSize(std::uint64_t{3} << 50), "3072 TiB");  // the largest unit, however large
}

TEST_F(ExportBankTest, RefusedInputWritesNothingAndOpensNoWindow) {
    Load("Kit");
    const std::vector<std::tuple<std::string, std::string, std::string>> rows = {
        {"", root, "You must define a Bank Name to export"},
        {"  ", root + "/Missing", "You must define a Bank Name to export"},
        {"Out", root + "/Missing", "You must define an existing Path to export"},
        {"../x", root, "The Bank Name cannot be used as a folder name (../x)"},
        {"CON", root, "The Bank Name cannot be used as a folder name (CON)"},
        {"Seventeen chars!!", root, "The Bank Name must have at most 16 characters with absolute paths"},
    };
    for (const auto& [name, path, box] : rows) {
        platform::ScriptedPlatform fresh;
        options.bankName = name;
        options.referenceOption = kAbsolutePaths;
        options.destinationPath = path;
        EXPECT_EQ(ExportBank(fresh, bank, options), kExportRefused);
        EXPECT_EQ(CallLines(fresh), std::vector<std::string>{"box Information: " + box});
    }
    options.accepted = false;
    EXPECT_EQ(Export(), kExportFinished);
    EXPECT_TRUE(fs::is_empty(dst));
}

TEST_F(ExportBankTest, ProgressGoesBySlotAndTheIndexesListWhatWasExported) {
    Load("Keys", 3).categories = "AK";
    Load("Kit", 9).categories = "not defined";
    fs::copy_file(src / "Programs/Bank1/Kit.afp", src / "Programs/Bank1/Other.afp");
    Load("Other", 12).programName = "KIT";  // would replace Kit's file on a disk that ignores case
    ExportOutcome outcome;

    ASSERT_EQ(ExportBank(platform, bank, options, &outcome), kExportIncomplete);

    EXPECT_EQ(CallLines(platform),
              (std::vector<std::string>{"start", "title Exporting bank", "status Prepare export", "range 3",
                                        "status  0/3 - Export Program : Keys", "pos 3",
                                        "status  1/3 - Export Program : Kit", "pos 9",
                                        "status  2/3 - Export Program : KIT", "pos 12", "close",
                                        "box Error: 1 of 3 programs were not exported; their logs say why\n\n"
                                        "Exported 2 of 3 programs: 7 files copied, 0 reused (already there with the "
                                        "same content).\nThe bank is not listed in the destination's "
                                        "Programs/bank.txt."}));
    ASSERT_EQ(outcome.programs.size(), 3u);
    EXPECT_EQ(outcome.programs[2].result, kProgramNameTaken);
    EXPECT_EQ(ListFiles((dst / "Programs").string()), (std::vector<std::string>{"Out/Keys.afp", "Out/Kit.afp", "Out/bank.txt"}));
    // The program left out keeps its slot empty in the index.
    EXPECT_EQ(ReadText((dst / "Programs/Out/bank.txt").string()),
              "Number of items: 2\r\n" + EmptyLines(3) + "Keys:AK\r\n" + EmptyLines(5) + "Kit\r\n" + EmptyLines(118));
    EXPECT_EQ(ReadText((dst / "Multisamples/Out/bank.txt").string()), "Number of items: 1\r\nPiano\r\n");
    EXPECT_EQ(ReadText((dst / "Samples/Out/bank.txt").string()).substr(0, 20), "Number of items: 4\r\n");
}

TEST_F(ExportBankTest, EmptyBankGetsFoldersAndEmptyIndexesAndFolderFailureClosesTheWindowFirst) {
    ASSERT_EQ(Export(), kExportFinished);
    EXPECT_EQ(ReadText((dst / "Programs/Out/bank.txt").string()), "Number of items: 0\r\n" + EmptyLines(128));
    EXPECT_EQ(ReadText((dst / "Multisamples/Out/bank.txt").string()), "Number of items: 0\r\n");
    EXPECT_EQ(ReadText((dst / "Samples/Out/bank.txt").string()), "Number of items: 0\r\n");

    platform::ScriptedPlatform again;
    Put(dst / "Samples/New", {1});
    options.bankName = "New";
    EXPECT_EQ(ExportBank(again, bank, options), kExportFoldersFailed);
    EXPECT_EQ(CallLines(again), (std::vector<std::string>{"start", "title Exporting bank", "status Prepare export",
                                                          "close", "box Error: Error creation folders\n" +
                                                                       (dst / "Samples/New").make_preferred().string() +
                                                                       " : File exists"}));
}

// What lies in the destination before an export that must write nothing: each row plants
// something, and the export is refused with a box naming what stopped it.
struct DestinationCase {
    const char* label;
    std::function<void(ExportTest&, ExportOptions&)> plant;
    std::string box;  // its start; "@" stands for the destination
};

class RefusedDestination : public ExportBankTest, public ::testing::WithParamInterface<DestinationCase> {};

TEST_P(RefusedDestination, WritesNothingAndSaysWhy) {
    Load("Keys");
    Load("Kit");
    GetParam().plant(*this, options);
    const auto before = testing::FileTree(dir.path());
    std::unique_ptr<core::ExclusiveLock> other;
    if (std::string(GetParam().label) == "AnotherExportRuns") {
        other = std::make_unique<core::ExclusiveLock>((dst / kExportLockName).string());
        ASSERT_TRUE(other->held());
    }

    std::string box = GetParam().box;
    if (box.starts_with("Question")) {
        platform.AnswerConfirm(false);  // the dialog's answer; the console says no unless --replace
    }

    EXPECT_EQ(Export(), kExportRefused);

    std::replace(box.begin(), box.end(), '/', core::kNativeSeparator);
    if (const auto at = box.find('@'); at != std::string::npos) box.replace(at, 1, root);
    const std::vector<std::string> boxes = platform.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].starts_with(box)) << boxes[0];
    other.reset();
    EXPECT_EQ(testing::FileTree(dir.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Plants, RefusedDestination,
    ::testing::Values(
        DestinationCase{"AnotherExportRuns", [](ExportTest&, ExportOptions&) {},
                        "Information: Another export is writing into @; try again when it has finished"},
        DestinationCase{"UsersBankIndex",
                        [](ExportTest& test, ExportOptions&) { Put(test.dst / "Programs/Out/bank.txt", {'m', 'i', 'n', 'e'}); },
                        "Question: These files already exist with other contents:\n@/Programs/Out/bank.txt\n"},
        DestinationCase{"LongSourceFolder",
                        [](ExportTest& test, ExportOptions& o) {
                            test.bank.slots[1].dependencies[0].folderName = "KeysWithAVeryLongFolderName";
                            o.folderOption = kSameAsSource;
                        },
                        "Information: The folder KeysWithAVeryLongFolderName (program Kit) is longer than the 16 "
                        "characters a reference holds"}),
    [](const auto& row) { return std::string(row.param.label); });

// Links and files planted in the destination: nothing is written through a link, and a
// file of the user's is replaced only when asked, then kept as a backup.
TEST_F(ExportBankTest, PlantedLinksAreNotFollowedAndReplacedFilesAreKept) {
    if (!testing::CanMakeSymbolicLinks()) {
        GTEST_SKIP() << "no symbolic links here";
    }
    Load("Keys");
    Load("Kit");
    Put(dir({"Outside", "theirs.afp"}), {7});
    fs::create_directories(dst / "Programs/Out");
    fs::create_symlink(dir({"Outside", "theirs.afp"}), dst / "Programs/Out/Keys.afp");
    fs::create_symlink(dir({"Outside", "theirs.afp"}), dst / "Programs/Out/Kit.afp.tmp-velmorant-0");
    Put(dst / "Programs/Out/bank.txt", {'m', 'i', 'n', 'e'});
    options.replaceExisting = true;

    ASSERT_EQ(Export(), kExportFinished) << bank.slots[0].log;

    EXPECT_EQ(ReadBytes(dir({"Outside", "theirs.afp"})), Bytes{7});
    EXPECT_FALSE(core::IsLink((dst / "Programs/Out/Keys.afp").string()));
    EXPECT_TRUE(core::IsLink((dst / "Programs/Out/Keys.afp.bak").string()));
    EXPECT_EQ(ReadText((dst / "Programs/Out/bank.txt.bak").string()), "mine");
    EXPECT_TRUE(ReadText((dst / "Programs/Out/bank.txt").string()).starts_with("Number of items: 2\r\nKeys\r\nKit"));

    // A folder of the destination that is a link is not written into.
    fs::remove_all(dst / "Samples/Out");
    fs::create_directory(dir({"Outside", "Samples"}));
    fs::create_symlink(dir({"Outside", "Samples"}), dst / "Samples/Out");
    EXPECT_EQ(Export(), kExportFoldersFailed);
    EXPECT_TRUE(fs::is_empty(dir({"Outside", "Samples"})));
}

TEST_F(ExportBankTest, AnIndexThatCannotBeWrittenFailsTheExportWithTheReason) {
    Load("Kit");
    fs::create_directories(dst / "Programs/Out/bank.txt");  // a folder where the file must go

    ASSERT_EQ(Export(), kExportIncomplete);

    EXPECT_TRUE(fs::exists(dst / "Programs/Out/Kit.afp"));
    EXPECT_TRUE(CallLines(platform).back().starts_with("box Error: Error writing " +
                                                       (dst / "Programs/Out/bank.txt").make_preferred().string() +
                                                       " : Is a directory\n"));
    EXPECT_NE(bank.bankLog.log.find("can,not open Multisample destination file"), std::string::npos);
}

// Every program exported, then loaded again from the destination through its bank.txt, finds
// every file it plays, with the contents the source files had.
TEST(RoundTrip, ReimportedProgramsResolveEveryDependencyWithTheSameChecksumsInEveryMode) {
    testing::DemoVolumeDir volume;
    for (const int mode : {1, 10, 11}) {
        SCOPED_TRACE(mode);
        testing::TempDir dir;
        platform::ScriptedPlatform platform;
        bank::Bank bank;
        for (auto [folder, name] : {std::pair{"Bank1", "Grand Piano"}, {"Bank1", "Warm Pad"}, {"Bank1", "Choir Lead"},
                                    {"Bank2", "FM Bells"}, {"Drums", "Studio Kit"}}) {
            ASSERT_TRUE(bank::AddProgram(bank, -1, volume.program(folder, name)).placed()) << name;
        }
        ExportOptions options = DefaultExportOptions(dir.path());
        options.bankName = "Out";
        options.folderOption = mode % 10;
        options.referenceOption = mode / 10;
        options.accepted = true;
        ExportOutcome outcome;
        ASSERT_EQ(ExportBank(platform, bank, options, &outcome), kExportFinished);
        ASSERT_EQ(outcome.failures(), 0);

        bank::Bank again;
        bank::BankIndex index;
        ASSERT_EQ(bank::ReadBankIndex(index, dir({"Programs", "Out", "bank.txt"})), formats::BankTxtResult::kValid);
        for (int slot = 0; slot < 5; ++slot) {
            const volume::ProgramRecord& before = bank.slots[static_cast<std::size_t>(slot)];
            ASSERT_EQ(index.entries[static_cast<std::size_t>(slot)].name, before.programName);
            ASSERT_EQ(bank::AddProgram(again, slot, dir({"Programs", "Out", before.programName + ".afp"})).slot, slot);
            const volume::ProgramRecord& after = again.slots[static_cast<std::size_t>(slot)];
            EXPECT_EQ(after.log.find("Cannot find"), std::string::npos) << after.log;
            ASSERT_EQ(after.dependencies.size(), before.dependencies.size());
            for (std::size_t i = 0; i < before.dependencies.size(); ++i) {
                const volume::DependencyRecord& was = before.dependencies[i];
                const volume::DependencyRecord& is = after.dependencies[i];
                SCOPED_TRACE(before.programName + ": " + was.sourcePath);
                EXPECT_EQ(is.kind, was.kind);
                EXPECT_TRUE(was.kind != volume::DependencyKind::kSample ||
                            volume::DependencyChecksum(is) == volume::DependencyChecksum(was));
                ASSERT_EQ(is.samples.size(), was.samples.size());
                for (std::size_t j = 0; j < was.samples.size(); ++j) {
                    EXPECT_EQ(volume::DependencyChecksum(is.samples[j]), volume::DependencyChecksum(was.samples[j]))
                        << is.samples[j].sourcePath;
                }
            }
        }
    }
}

}  // namespace
}  // namespace velmorant::exporting
