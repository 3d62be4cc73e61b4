#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "bank/Bank.h"
#include "bank/BankIndex.h"
#include "bank/SamplesAhead.h"
#include "bank/SlotPanels.h"
#include "core/Checksum.h"
#include "core/File.h"
#include "core/FileSource.h"
#include "core/Path.h"
#include "demo/DemoContent.h"
#include "demo/VolumeBuilders.h"
#include "support/ImportFixtures.h"
#include "support/TempDir.h"
#include "volume/ProgramRecord.h"

namespace velmorant::bank {
namespace {

using testing::DemoVolumeDir;
using testing::ReadText;
using testing::TempDir;

// n playable FM programs, which need no other file.
std::vector<std::string> FmPrograms(testing::ImportVolume& volume, int n) {
    std::vector<std::string> paths;
    for (int i = 0; i < n; ++i) paths.push_back(volume.AddProgram("Bank", "P" + std::to_string(i)));
    return paths;
}

TEST(AddProgramTest, FreeSlotSearchGoesUpFromTheStartOnly) {
    testing::ImportVolume volume;
    const auto paths = FmPrograms(volume, 4);
    Bank bank;
    EXPECT_EQ(AddProgram(bank, -1, paths[0]).slot, 0);
    EXPECT_EQ(AddProgram(bank, -1, paths[1]).slot, 1);
    EXPECT_EQ(AddProgram(bank, 0, paths[2]).slot, 2);    // A1 and A2 taken: A3
    EXPECT_EQ(AddProgram(bank, kSlotCount, paths[3]).slot, 3);  // past P8 starts at A1
    Bank full;
    full.slots[127].defined = true;
    full.slots[127].sourcePath = "elsewhere";
    EXPECT_EQ(AddProgram(full, 127, paths[0]).failure, AddFailure::kNoFreeSlot);  // never wraps below the start

    // The same path in another letter case is another file.
    const std::string upper = volume.Path({"Volume", "Programs", "Bank", "P0.AFP"});
    if (std::filesystem::exists(upper)) {
        GTEST_SKIP() << "the file system ignores letter case: P0.AFP is P0.afp";
    }
    std::filesystem::copy_file(paths[0], upper);
    EXPECT_EQ(AddProgram(bank, -1, upper).slot, 4);
}

TEST(AddProgramTest, FailuresLeaveTheBankAsItWas) {
    testing::ImportVolume volume;
    Bank bank;
    EXPECT_EQ(AddProgram(bank, -1, volume.ProgramPath("Bank", "missing")).failure, AddFailure::kCannotOpen);
    EXPECT_EQ(AddProgram(bank, -1, volume.AddNotAProgram("Bank", "junk")).failure, AddFailure::kNotAProgram);
    EXPECT_EQ(AddProgram(bank, -1, volume.root()).failure, AddFailure::kCannotOpen);
    EXPECT_FALSE(bank.slots[0].defined);

    const auto again = FmPrograms(volume, 1);
    ASSERT_EQ(AddProgram(bank, -1, again[0]).slot, 0);
    EXPECT_EQ(AddProgram(bank, 5, again[0]).failure, AddFailure::kAlreadyInBank);
    EXPECT_TRUE(bank.slots[0].log.ends_with("Try to add again this Program (" + again[0] + ") \n\r\n"));
    EXPECT_FALSE(bank.slots[5].defined);
}

TEST(AddProgramTest, MissingDependencyEmptiesTheSlotButKeepsItsLog) {
    DemoVolumeDir volume;
    Bank bank;
    const std::string lost = volume.program("Bank1", "Lost Strings");
    const AddResult refused = AddProgram(bank, -1, lost);
    EXPECT_EQ(refused.slot, std::nullopt);
    EXPECT_EQ(refused.failure, AddFailure::kMissingDependency);
    EXPECT_EQ(refused.loadedSlot, 0);
    EXPECT_FALSE(bank.slots[0].defined);
    EXPECT_EQ(bank.slots[0].sourcePath, lost);
    EXPECT_TRUE(bank.slots[0].summary.empty());

    // The next program takes the slot; the log keeps the older lines above the new ones.
    const std::string piano = volume.program("Bank1", "Grand Piano");
    EXPECT_EQ(AddProgram(bank, -1, piano).slot, 0);
    const std::string& log = bank.slots[0].log;
    EXPECT_LT(log.find("Load Program Program " + lost), log.find("Load Program Program " + piano));
    EXPECT_EQ(bank.slots[0].dependencies.size(), 2u);
    EXPECT_NE(bank.slots[0].summary.find("Size : "), std::string::npos);
}

TEST(SlotOperationsTest, SwapMovesEverythingButTheLabelsRemoveKeepsCategoriesRenameCleans) {
    testing::ImportVolume volume;
    Bank bank;
    ASSERT_EQ(AddProgram(bank, -1, FmPrograms(volume, 1)[0]).slot, 0);
    bank.slots[0].categories = "EM";
    const int c5 = SlotFromLabel("C5");
    SwapSlots(bank, 0, c5);
    EXPECT_EQ(std::tie(bank.slots[0].defined, bank.slots[0].slotLetter, bank.slots[0].slotNumber), std::make_tuple(false, "A", 1));
    const auto& moved = bank.slots[static_cast<std::size_t>(c5)];
    EXPECT_EQ(std::tie(moved.defined, moved.slotLetter, moved.slotNumber, moved.categories), std::make_tuple(true, "C", 5, "EM"));
    EXPECT_NE(moved.log.find("Load Program Program"), std::string::npos);
    SwapSlots(bank, c5, c5);
    SwapSlots(bank, c5, 128);
    SwapSlots(bank, -1, c5);
    EXPECT_TRUE(moved.defined);

    RemoveProgram(bank, c5);
    RemoveProgram(bank, -3);
    EXPECT_EQ(std::tie(moved.defined, moved.programName, moved.sourcePath, moved.categories), std::make_tuple(false, "", "", "EM"));

    RenameProgram(bank, 3, "Lead/Bass: \"big\" <1>|*?\\");
    EXPECT_EQ(bank.slots[3].programName, "Lead_Bass_ _big_ _1_____");
    RenameProgram(bank, 3, std::string(40, 'x'));
    EXPECT_EQ(bank.slots[3].programName, std::string(32, 'x'));
    EXPECT_EQ(SanitiseProgramName(""), "");
}

TEST(WriteFolderIndexTest, ListsMatchingExtensionsOfLongEnoughNames) {
    TempDir dir;
    for (const char* name : {"Piano.AFP", "bass.afp", "x.afp", "Organ.afi", "a.af", "Kit.afpx"}) {
        ASSERT_TRUE(demo::WriteText(dir({name}), "x"));
    }
    ASSERT_TRUE(WriteFolderIndex(dir.path(), FolderKind::kPrograms));
    const std::string text = ReadText(dir({"bank.txt"}));
    EXPECT_TRUE(text.starts_with("Number of items: 4\r\n")) << text;
    for (const char* name : {"Piano\r\n", "bass\r\n", "x\r\n", "Kit\r\n"}) {
        EXPECT_NE(text.find(name), std::string::npos) << name;
    }
    EXPECT_EQ(text.find("Organ"), std::string::npos);

    ASSERT_TRUE(std::filesystem::create_directory(dir({"empty"})));
    ASSERT_TRUE(WriteFolderIndex(dir({"empty"}), FolderKind::kSamples));
    EXPECT_EQ(ReadText(dir({"empty", "bank.txt"})), "Number of items: 0\r\n");
    EXPECT_FALSE(WriteFolderIndex(dir({"nowhere"}), FolderKind::kSamples));
}

// The first line of the folder's bank.txt with the program's name, letter case counting.
TEST(FindProgramCategoriesTest, FirstMatchingLineOfTheFoldersIndex) {
    TempDir dir;
    volume::ProgramRecord record;
    record.programName = "Lead";
    record.sourcePath = dir({"Bank", "Lead.afp"});
    const std::pair<const char*, std::string> rows[] = {
        {nullptr, "not defined"},
        {"Number of items: 3\r\nlead:B\r\nLead:KM\r\nLead:C\r\n", "KM"},
        {"Number of items: 3\r\nLead:AAAAAAAAAAAAAAAAAAAAAAAAAA\r\n", "not defined"},  // too few names
        {"Number of items: 1\r\nLead:AAAAAAAAAAAAAAAAAAAAAAAAAA\r\n", std::string(19, 'A')}};
    for (const auto& [text, categories] : rows) {
        if (text) {
            ASSERT_TRUE(demo::WriteText(dir({"Bank", "bank.txt"}), text));
        }
        FindProgramCategories(record);
        EXPECT_EQ(record.categories, categories) << (text ? text : "no bank.txt");
    }
}

using Bytes = std::vector<std::uint8_t>;

Bytes Program(const char* tag, std::size_t cut = 0, std::size_t hugeMods = 0) {
    demo::ProgramLayout layout;
    layout.tag = tag;
    if (std::string(tag) == "umdr") {
        layout.zones.push_back({0, 0, true, {demo::kDiskLocation, "Keys", "S"}});
    } else {
        layout.oscillators[0] = {true, {demo::kDiskLocation, "Keys", "M"}};  // its one sample is Keys/S
    }
    Bytes bytes = demo::BuildProgramFile(layout);
    if (cut != 0) bytes.resize(cut);
    if (hugeMods != 0) bytes[34] = bytes[35] = 0xFF;  // the Mods count
    return bytes;
}

const Bytes kSample = demo::BuildSampleFile(440.0, 8);
const Bytes kMultisample = demo::BuildMultisampleFile({{"", "", "S"}});
const Bytes kCountPastEnd = [] { Bytes b = kMultisample; b[17] = 200; return b; }();  // more entries than it holds

// Damaged files of a volume held in memory: what loaded before still loads, with a warning in
// the program's log naming the file and the problem; what cannot be used is refused.
TEST(BankTest, BadInputLoadsWithAWarningOrIsRefused) {
    const struct {
        std::string name;                  // the damaged file
        bool loads;                        // the program still takes a slot
        std::string warning;               // part of the log's warning line
        Bytes program;                     // Programs/Bank/P.afp
        std::optional<Bytes> multisample = {};  // Multisamples/Keys/M.afi
        std::optional<Bytes> sample = {};       // Samples/Keys/S.afs
    } rows[] = {
        {"P.afp", true, "(chunk counts): the file ends", Program("mpsa", 16)},
        {"P.afp", true, "(voice area): the chunk counts (65535, 0, 0, 0)", Program("mpsa", 0, 1)},
        {"P.afp", true, "(voice area)", Program("umdr", 2000), std::nullopt, kSample},
        {"M.afi", true, "(magic): not \"S80i\"", Program("mpsa"), Bytes{}, kSample},
        {"M.afi", true, "(magic): not \"S80i\"", Program("mpsa"), Bytes(300, 0xAB), kSample},
        {"M.afi", true, "(sample entry): the file ends", Program("mpsa"), kCountPastEnd, kSample},
        {"S.afs", true, "offset", Program("mpsa"), kMultisample, Bytes{}},
        {"S.afs", true, "offset", Program("mpsa"), kMultisample, Bytes(100, 'A')},
        {"P.afp", false, "unknown program type \"zzzz\"", Program("zzzz")}};
    // Full native paths, as the loaders make them.
    const std::string root = core::AbsolutePath(std::string(1, core::kNativeSeparator) + "Volume");
    const auto path = [&root](const char* top, const char* folder, const char* file) {
        return core::JoinPath(core::JoinPath(core::JoinPath(root, top), folder), file);
    };
    for (const auto& row : rows) {
        core::MemoryFiles files;
        files.Add(path("Programs", "Bank", "P.afp"), row.program);
        if (row.multisample) files.Add(path("Multisamples", "Keys", "M.afi"), *row.multisample);
        if (row.sample) files.Add(path("Samples", "Keys", "S.afs"), *row.sample);
        Bank bank;
        bank.files = &files;
        const AddResult result = AddProgram(bank, -1, path("Programs", "Bank", "P.afp"));
        EXPECT_EQ(result.placed(), row.loads) << AddResultNumber(result);
        ASSERT_TRUE(result.loadedSlot);
        const std::string& log = bank.slots[static_cast<std::size_t>(*result.loadedSlot)].log;
        const std::size_t at = log.find("Warning: " + root + core::kNativeSeparator);
        ASSERT_NE(at, std::string::npos) << log;
        EXPECT_NE(log.find(row.name + ": ", at), std::string::npos) << log;
        EXPECT_NE(log.find(row.warning, at), std::string::npos) << log;
    }
}

// A program file too large to read is refused with its size, before any of it is read.
TEST(BankTest, ProgramOver256MiBIsRefusedNamingItsSize) {
    testing::TempDir dir;
    const std::string path = dir({"Programs", "Bank", "Huge.afp"});
    demo::ProgramLayout layout;
    ASSERT_TRUE(demo::WriteFile(path, demo::BuildProgramFile(layout)));
    std::filesystem::resize_file(path, (256u << 20) + 1);  // sparse: nothing is written
    Bank bank;
    const AddResult result = AddProgram(bank, -1, path);
    EXPECT_EQ(result.failure, AddFailure::kNotAProgram);
    ASSERT_TRUE(result.loadedSlot);
    EXPECT_NE(bank.slots[static_cast<std::size_t>(*result.loadedSlot)].log.find("Warning: " + path + ": 268435457 bytes"),
              std::string::npos);
}

using Rows = std::array<std::vector<int>, kGroupCount>;

Rows Selected(std::initializer_list<std::pair<int, std::vector<int>>> groups) {
    Rows rows;
    for (const auto& [group, selected] : groups) rows[static_cast<std::size_t>(group)] = selected;
    return rows;
}

// The newly clicked item wins over the one selected before (current), over all sixteen lists.
TEST(SelectionRuleTest, NewlyClickedItemWins) {
    const std::tuple<Rows, int, int> cases[] = {
        {Selected({}), 5, -1},
        {Selected({{2, {4}}}), -1, 20},
        {Selected({{0, {2}}, {2, {4}}}), 2, 20},         // a later list clicked
        {Selected({{0, {0}}, {2, {4}}}), 20, 0},         // an earlier list clicked
        {Selected({{0, {0, 2}}}), 2, 0},                 // the same list, an earlier row
        {Selected({{0, {0, 2}}}), 0, 2},                 // the same list, a later row
        {Selected({{1, {6, 3, 6}}}), 11, 14},            // rows out of order and repeated
        {Selected({{0, {1, 2, 3}}}), 2, 1},              // a third row of a list is ignored
        {Selected({{0, {-1, 8, 3}}}), -1, 3}};           // rows outside the list are ignored
    for (const auto& [rows, current, expected] : cases) {
        EXPECT_EQ(ChooseSelectedSlot(GatherSelectedSlots(rows), current), expected) << current;
    }
}

// Main item and ticked letters -> stored text -> what the panel shows back.
TEST(CategoryPanelTest, StoresAndShowsBack) {
    const std::tuple<int, std::string, std::string, int, std::string> cases[] = {
        {5, "EM", "EM", 5, "M"},
        {0, "BD", "BD", 2, "D"},  // no main: the first ticked becomes main
        {0, "", "", 0, ""},
        {16, "ABCDEFGHIJKLMNOP", "PABCDEFGHIJKLMNO", 16, "ABCDEFGHIJKLMNO"}};
    for (const auto& [mainItem, ticked, stored, shownMain, shownTicked] : cases) {
        CategoryPanel panel;
        panel.mainItem = mainItem;
        for (char letter : ticked) panel.checked[static_cast<std::size_t>(letter - 'A')] = true;
        EXPECT_EQ(CategoriesFromPanel(panel), stored);
        const CategoryPanel shown = CategoryPanelFor(stored);
        std::string letters;
        for (int letter = 0; letter < kGroupCount; ++letter) {
            if (shown.checked[static_cast<std::size_t>(letter)]) letters += static_cast<char>('A' + letter);
        }
        EXPECT_EQ(std::tie(shown.mainItem, letters), std::tie(shownMain, shownTicked)) << stored;
    }
    // Anything but the sixteen letters is ignored; a stray character in front makes no main.
    EXPECT_EQ(CategoryPanelFor("not defined").checked, (std::array<bool, kGroupCount>{}));
    EXPECT_EQ(CategoryPanelFor("xAQz").mainItem, 0);
    EXPECT_TRUE(CategoryPanelFor("xAQz").checked[0]);
}

// Letters typed on the command line are stored as the panel stores them: main first, the
// others once each in letter order.
TEST(CategoryLetters, AreStoredAsThePanelStoresThem) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"EM", "EM"}, {"mbe", "MBE"}, {"EME", "EM"}, {"BDB", "BD"}, {"", ""}, {"PONMLKJIHGFEDCBA", "PABCDEFGHIJKLMNO"},
        {"EQ", std::nullopt}, {"E M", std::nullopt}, {"not defined", std::nullopt}};
    for (const auto& [typed, stored] : cases) {
        EXPECT_EQ(NormaliseCategoryLetters(typed), stored) << typed;
    }
}

// The demo's created bank: a multisample and a kit built from generated WAV files.
TEST(DemoContent, CreatedProgramsLoadWithEveryFileFound) {
    testing::DemoVolumeDir volume;
    std::string error;
    for (int run = 0; run < 2; ++run) {  // running it again keeps the bank listed once
        ASSERT_TRUE(demo::WriteCreatedDemoContent(volume.root(), error)) << error;
        EXPECT_EQ(ReadText(volume({"Programs", "bank.txt"})), "Number of items: 4\r\nBank1\r\nBank2\r\nDrums\r\nCreated\r\n");
    }
    EXPECT_FALSE(core::DirectoryExists(volume({".created-wav"})));
    EXPECT_EQ(testing::ReadText(volume({"Multisamples", "Created", "bank.txt"})),
              "Number of items: 1\r\nSynth Keys\r\n");

    Bank bank;
    // The kit has 6 layers, and the copied key's 2 zones.
    for (const auto& [name, dependencies] : {std::pair{"Synth Keys", 1u}, {"Synth Kit", 8u}}) {
        const AddResult added = AddProgram(bank, -1, volume.program("Created", name));
        ASSERT_TRUE(added.placed()) << name;
        const auto& record = bank.slots[static_cast<std::size_t>(*added.slot)];
        EXPECT_EQ(record.dependencies.size(), dependencies) << name;
        EXPECT_EQ(record.log.find("Cannot find"), std::string::npos) << record.log;
    }
    EXPECT_EQ(bank.slots[0].dependencies[0].samples.size(), 3u);
    EXPECT_TRUE(core::FileExists(volume({"Samples", "Created", "Synth Kit311.afs"})));  // the kick's second layer
}

// A sample read ahead is taken by the load only while the file is as it was read: one rewritten
// in between is read again, and every checksum shown is the file's own.
TEST(SamplesAhead, TheLoadShowsEachFilesOwnChecksumAndHeadWarning) {
    DemoVolumeDir volume;
    const std::string program = volume.program("Bank1", "Grand Piano");
    Bank bank;
    bank.checksums.ChecksumAtLoad(true);
    ReadSamplesAhead(bank, std::vector<std::string>{program});
    const std::string changed = volume({"Samples", "Keys", "Piano C4.afs"});
    ASSERT_TRUE(demo::WriteText(changed, "not a sample any more"));

    const AddResult added = AddProgram(bank, -1, program);
    ASSERT_TRUE(added.placed());
    const volume::ProgramRecord& record = bank.slots[static_cast<std::size_t>(*added.slot)];
    std::size_t samples = 0;
    for (const auto& multisample : record.dependencies) {
        for (const auto& sample : multisample.samples) {
            ++samples;
            EXPECT_FALSE(sample.crcPending) << sample.sourcePath;
            EXPECT_EQ(sample.crc, core::FileCrc32(sample.sourcePath)) << sample.sourcePath;
        }
    }
    EXPECT_GE(samples, 3u);
    EXPECT_NE(record.log.find("Warning: " + changed), std::string::npos) << record.log;
}

}  // namespace
}  // namespace velmorant::bank
