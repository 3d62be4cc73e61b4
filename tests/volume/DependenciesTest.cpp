#include <gtest/gtest.h>

#include <filesystem>

#include "core/Bytes.h"
#include "core/Checksum.h"
#include "core/Encoding.h"
#include "core/File.h"
#include "core/FileNames.h"
#include "core/Text.h"
#include "demo/VolumeBuilders.h"
#include "support/TempDir.h"
#include "volume/Dependencies.h"
#include "volume/ProgramFile.h"

namespace velmorant::volume {
namespace {

using demo::Reference;
using testing::DemoVolumeDir;
using testing::TempDir;

ProgramRecord Resolve(const std::string& path, std::int32_t type, int* result = nullptr) {
    ProgramRecord record;
    record.sourcePath = path;
    record.type = type;
    const int r = ResolveDependencies(record);
    if (result != nullptr) *result = r;
    return record;
}

// The program of `layout` written at `parts` under dir, resolved.
ProgramRecord ResolveLayout(const TempDir& dir, std::initializer_list<std::string> parts, const demo::ProgramLayout& layout,
                            std::int32_t type, int* result) {
    const std::string path = dir(parts);
    EXPECT_TRUE(demo::WriteFile(path, demo::BuildProgramFile(layout)));
    return Resolve(path, type, result);
}

// The demo volume's programs: a multisample used twice, a sample listed twice, folders left
// blank, a ROM oscillator, drum zones, and files missing at each level.
TEST(ResolveDependenciesTest, DemoProgramsListEachFileTheyPlay) {
    DemoVolumeDir volume;
    int result = 0;
    const ProgramRecord record = Resolve(volume.program("Bank1", "Grand Piano"), kTypeSamples, &result);
    EXPECT_EQ(result, 1);
    ASSERT_EQ(record.dependencies.size(), 2u);
    const DependencyRecord& piano = record.dependencies[0];
    EXPECT_EQ(std::tie(piano.duplicate, record.dependencies[1].duplicate, record.dependencies[1].sourcePath),
              std::make_tuple(false, true, piano.sourcePath));
    EXPECT_EQ(record.dependencies[1].samples.size(), 3u);
    EXPECT_EQ(std::make_tuple(piano.kind, piano.sourcePath, DependencyChecksum(piano), piano.fileSize, piano.folderGiven,
                              piano.volumeNumber),
              std::make_tuple(DependencyKind::kMultisample, volume({"Multisamples", "Keys", "Piano.afi"}),
                              core::FileCrc32(piano.sourcePath), core::FileSize(piano.sourcePath), true, 1));
    EXPECT_EQ(piano.referenceOffset, record.oscillatorOffsets[0] + 4);
    EXPECT_EQ(piano.samples[1].referenceOffset, 120);
    EXPECT_EQ(DependencyChecksum(piano.samples[1]), core::FileCrc32(volume({"Samples", "Keys", "Piano C4.afs"})));
    // Oscillator blocks lie at S, S + 104, S + 228, S + 332 with S = 80 + 2*116 + 3*56 + 44.
    EXPECT_EQ(record.oscillatorOffsets, (std::array<std::int32_t, 4>{524, 628, 752, 856}));
    EXPECT_EQ(record.chunkCounts, (std::array<std::int32_t, 4>{2, 3, 1, 0}));

    const ProgramRecord choir = Resolve(volume.program("Bank1", "Choir Lead"), kTypeSamples);
    ASSERT_EQ(choir.dependencies.size(), 2u);
    const auto& samples = choir.dependencies[0].samples;
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_EQ(std::tie(samples[0].foundName, samples[1].foundName), std::make_tuple("Choir Ah", "Choir Oh"));
    EXPECT_NE(choir.log.find("220 : Found Sample dependence (levl 2) : " + volume({"Samples", "Keys", "Choir Ah.afs"}) +
                             "\r\n-> This multisample already have this dependance\n\r\n"),
              std::string::npos);

    // A blank folder is the referencing file's; a ROM sound is no file.
    const ProgramRecord pad = Resolve(volume.program("Bank1", "Warm Pad"), kTypeSamples, &result);
    EXPECT_EQ(result, 1);
    ASSERT_EQ(pad.dependencies.size(), 2u);
    const DependencyRecord& multisample = pad.dependencies[0];
    EXPECT_EQ(std::tie(multisample.folderGiven, multisample.folderName, multisample.sourcePath),
              std::make_tuple(false, "Bank1", volume({"Multisamples", "Bank1", "Pad.afi"})));
    ASSERT_EQ(multisample.samples.size(), 2u);
    const DependencyRecord& low = multisample.samples[0];  // the multisample's own volume
    EXPECT_EQ(std::tie(low.folderGiven, low.volumeNumber, low.sourcePath),
              std::make_tuple(false, 1, volume({"Samples", "Bank1", "Pad Low.afs"})));
    const DependencyRecord& rom = pad.dependencies[1];
    EXPECT_EQ(std::tie(rom.kind, rom.sourcePath, rom.fileSize, rom.crc),
              std::make_tuple(DependencyKind::kRom, "FUSION ROM / Sine Wave", 0, 0u));
    EXPECT_NE(pad.log.find(": Found ROM dependence : Sine Wave\r\n"), std::string::npos);

    const ProgramRecord kit = Resolve(volume.program("Drums", "Studio Kit"), kTypeDrums, &result);
    EXPECT_EQ(result, 1);
    ASSERT_EQ(kit.dependencies.size(), 6u);  // the disabled zone of key 8 is not read
    const std::int32_t s = 80 + 56;
    EXPECT_EQ(kit.dependencies[1].referenceOffset, s + 96 + 12);
    EXPECT_EQ(kit.dependencies[4].referenceOffset, s + 424 * 6 + 12);
    EXPECT_EQ(std::tie(kit.dependencies[4].duplicate, kit.dependencies[5].duplicate), std::make_tuple(false, true));
    EXPECT_EQ(kit.dependencies[0].kind, DependencyKind::kSample);

    const ProgramRecord lost = Resolve(volume.program("Bank1", "Lost Strings"), kTypeSamples, &result);
    EXPECT_EQ(result, -10);
    EXPECT_NE(lost.log.find("80 : Cannot find dependencies " + volume({"Multisamples", "Strings", "Violins.afi"})),
              std::string::npos);
    // A missing sample of a multisample is logged and listed, and the program still resolves.
    std::filesystem::remove(volume({"Samples", "Keys", "Piano C4.afs"}));
    const ProgramRecord gap = Resolve(volume.program("Bank1", "Grand Piano"), kTypeSamples, &result);
    EXPECT_EQ(result, 1);
    ASSERT_EQ(gap.dependencies[0].samples.size(), 3u);
    EXPECT_EQ(gap.dependencies[0].samples[1].kind, DependencyKind::kSample);
    EXPECT_NE(gap.log.find("120 : Cannot find dependencies (levl 2) "), std::string::npos);
}

// Samples replayed from the memo are what a fresh resolution finds, log included, also when
// the program's log is too full to take them whole.
TEST(MultisampleMemoTest, GivesWhatAFreshResolutionGives) {
    DemoVolumeDir volume;
    const auto line = [](const DependencyRecord& d) {
        return core::Format("|%s %s %s %d %lld %u %d %d %d %d", d.sourcePath.c_str(), d.foundName.c_str(),
                            d.folderName.c_str(), static_cast<int>(d.kind), static_cast<long long>(d.fileSize),
                            d.crc, d.crcPending, d.missing, d.duplicate, d.referenceOffset);
    };
    const auto flat = [&](const ProgramRecord& record) {
        std::string text = record.log;
        for (const DependencyRecord& multisample : record.dependencies) {
            text += line(multisample);
            for (const DependencyRecord& sample : multisample.samples) text += line(sample);
        }
        return text;
    };
    MultisampleMemo memo;
    for (const std::string& filled : {std::string(), std::string(kMaxLogLength - 100, 'x')}) {
        for (const char* name : {"Grand Piano", "Choir Lead", "Warm Pad", "Lost Strings", "Grand Piano"}) {
            ProgramRecord fresh;
            fresh.sourcePath = volume.program("Bank1", name);
            fresh.type = kTypeSamples;
            fresh.log = filled;
            ProgramRecord memoised = fresh;
            const int expected = ResolveDependencies(fresh);
            EXPECT_EQ(ResolveDependencies(memoised, nullptr, core::DiskFiles(), &memo), expected) << name;
            EXPECT_EQ(flat(memoised), flat(fresh)) << name;
        }
    }
}

TEST(ResolveDependenciesTest, FullKitsEmptyNamesAndNamesLeavingTheVolume) {
    TempDir dir;
    demo::ProgramLayout full;
    full.tag = "umdr";
    for (int key = 0; key < 64; ++key) {
        for (int zone = 0; zone < 4; ++zone) {
            full.zones.push_back({key, zone, true, Reference{demo::kRomLocation, "", "Rom" + std::to_string(key)}});
        }
    }
    int result = 0;
    EXPECT_EQ(ResolveLayout(dir, {"Programs", "Kits", "Full.afp"}, full, kTypeDrums, &result).dependencies.size(), 256u);
    EXPECT_EQ(result, 1);

    // An empty name is dropped silently.
    demo::ProgramLayout empty;
    empty.oscillators[0] = {true, Reference{demo::kDiskLocation, "Keys", ""}};
    const ProgramRecord none = ResolveLayout(dir, {"Programs", "Bank1", "Empty.afp"}, empty, kTypeSamples, &result);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(none.dependencies.empty());
    EXPECT_TRUE(none.log.empty());

    // A file that a crafted reference would reach from Multisamples/Keys is never followed.
    ASSERT_TRUE(demo::WriteFile(dir({"secret.afi"}), demo::BuildMultisampleFile({})));
    demo::ProgramLayout evil;
    evil.oscillators[0] = {true, Reference{demo::kDiskLocation, "..", "../secret"}};
    const ProgramRecord escaped = ResolveLayout(dir, {"Volume", "Programs", "Bank1", "Evil.afp"}, evil, kTypeSamples, &result);
    EXPECT_EQ(result, -10);
    ASSERT_EQ(escaped.dependencies.size(), 1u);
    EXPECT_EQ(escaped.dependencies[0].crc, 0u);

    // Nor is one a multisample's sample reference would reach from Samples, "..".
    ASSERT_TRUE(demo::WriteFile(dir({"Volume", "secret.afs"}), demo::BuildSampleFile(440.0, 8)));
    ASSERT_TRUE(demo::WriteFile(dir({"Volume", "Multisamples", "Keys", "Up.afi"}),
                                demo::BuildMultisampleFile({{"", "..", "secret"}})));
    demo::ProgramLayout up;
    up.oscillators[0] = {true, Reference{demo::kDiskLocation, "Keys", "Up"}};
    const ProgramRecord climbed = ResolveLayout(dir, {"Volume", "Programs", "Bank1", "Up.afp"}, up, kTypeSamples, &result);
    ASSERT_EQ(climbed.dependencies.size(), 1u);
    ASSERT_EQ(climbed.dependencies[0].samples.size(), 1u);
    EXPECT_EQ(climbed.dependencies[0].samples[0].crc, 0u);
    EXPECT_NE(climbed.log.find("Cannot find dependencies (levl 2)"), std::string::npos) << climbed.log;
}

TEST(ResolveDependenciesTest, TruncatedAndMalformedFilesYieldWhatTheyHold) {
    TempDir dir;
    demo::ProgramLayout layout;
    layout.oscillators[0] = {true, Reference{demo::kDiskLocation, "Keys", "Piano"}};
    auto bytes = demo::BuildProgramFile(layout);
    const std::string path = dir({"Programs", "Bank1", "P.afp"});

    // Counts that move the voice area past the end: nothing is followed.
    auto past = bytes;
    past[34] = 0xFF;
    past[35] = 0xFF;
    ASSERT_TRUE(demo::WriteFile(path, past));
    int result = 0;
    EXPECT_TRUE(Resolve(path, kTypeSamples, &result).dependencies.empty());
    EXPECT_EQ(result, 1);

    // A header shorter than the counts.
    ASSERT_TRUE(demo::WriteFile(path, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 52)));
    EXPECT_TRUE(Resolve(path, kTypeSamples, &result).dependencies.empty());
    EXPECT_EQ(result, 1);

    // A multisample announcing more entries than it holds.
    ASSERT_TRUE(demo::WriteFile(path, bytes));
    auto multisample = demo::BuildMultisampleFile({Reference{"", "", "One"}});
    multisample[17] = 200;
    multisample.resize(60);  // the only entry is cut short too
    ASSERT_TRUE(demo::WriteFile(dir({"Multisamples", "Keys", "Piano.afi"}), multisample));
    const ProgramRecord record = Resolve(path, kTypeSamples, &result);
    EXPECT_EQ(result, 1);
    ASSERT_EQ(record.dependencies.size(), 1u);
    EXPECT_TRUE(record.dependencies[0].samples.empty());
    EXPECT_NE(record.log.find("Found 200 samples dependances\n"), std::string::npos);

    // Types other than 1 and 2 are not resolved.
    EXPECT_EQ(Resolve(path, kTypeFm, &result).dependencies.size(), 0u);
    EXPECT_EQ(result, -1);
}

// A name holding 0xE9 is found whether the volume names its files in UTF-8 or in the raw byte,
// or in other letter case (a volume copied from a disk that ignores case).
class AccentedNameTest : public ::testing::TestWithParam<const char*> {};

TEST_P(AccentedNameTest, ResolvesTheFileNameEitherWay) {
    TempDir dir;
    const std::string onDisk = GetParam();
#ifdef _WIN32
    if (onDisk != "Caf\xC3\xA9") {
        GTEST_SKIP() << "Windows names files in Unicode and ignores letter case: a raw byte name is its "
                        "UTF-8 name there, and CAF\xC3\x89 is found as spelt in the reference";
    }
#endif
    demo::ProgramLayout layout;
    layout.oscillators[0] = {true, Reference{demo::kDiskLocation, "Caf\xE9", "Caf\xE9"}};
    ASSERT_TRUE(demo::WriteFile(dir({"Multisamples", onDisk, onDisk + ".afi"}),
                                demo::BuildMultisampleFile({Reference{"", "", "Caf\xE9"}})));
    ASSERT_TRUE(demo::WriteText(dir({"Samples", onDisk, onDisk + ".afs"}), "S80s"));
    int result = 0;
    const ProgramRecord record = ResolveLayout(dir, {"Programs", "Bank1", "P.afp"}, layout, kTypeSamples, &result);
    EXPECT_EQ(result, 1) << record.log;
    ASSERT_EQ(record.dependencies.size(), 1u);
    EXPECT_EQ(record.dependencies[0].sourcePath, dir({"Multisamples", onDisk, onDisk + ".afi"}));
    ASSERT_EQ(record.dependencies[0].samples.size(), 1u);
    // The folder left blank is the multisample's own, as a name of the instrument's code page.
    EXPECT_EQ(record.dependencies[0].samples[0].folderName, core::NameFromFileName(onDisk));
    EXPECT_EQ(record.dependencies[0].samples[0].sourcePath, dir({"Samples", onDisk, onDisk + ".afs"}));
}

INSTANTIATE_TEST_SUITE_P(FileNames, AccentedNameTest, ::testing::Values("Caf\xC3\xA9", "Caf\xE9", "CAF\xC3\x89"));

TEST(ChecksumCacheTest, NoticesAFileThatChanged) {
    TempDir dir;
    ChecksumCache cache;
    ASSERT_TRUE(demo::WriteText(dir({"s.afs"}), "one"));
    const std::uint32_t first = cache.FileCrc32(dir({"s.afs"}));
    EXPECT_EQ(first, core::FileCrc32(dir({"s.afs"})));
    ASSERT_TRUE(demo::WriteText(dir({"s.afs"}), "other size"));
    EXPECT_EQ(cache.FileCrc32(dir({"s.afs"})), core::FileCrc32(dir({"s.afs"})));
    EXPECT_EQ(cache.FileCrc32(dir({"missing"})), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace velmorant::volume
