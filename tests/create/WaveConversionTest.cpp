#include <gtest/gtest.h>

#include "core/File.h"
#include "create/SampleEntry.h"
#include "create/WaveFile.h"
#include "platform/ScriptedPlatform.h"
#include "support/CreateFixtures.h"
#include "support/TempDir.h"

namespace velmorant::create {
namespace {

using testing::Hex;
using testing::TempDir;
using testing::WaveLayout;

std::vector<std::uint8_t> Head(const std::vector<unsigned char>& file) {
    return {file.begin(), file.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(48, file.size()))};
}

struct HeaderCase {
    const char* name;
    WaveLayout layout;
    std::optional<std::uint32_t> rootKey;
    const char* header;  // the 48 bytes expected, as written out by hand
};

class SampleHeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(SampleHeaderTest, WritesTheHeaderAndTheSwappedPayload) {
    const HeaderCase& c = GetParam();
    TempDir dir;
    const std::string wav = testing::WriteWave(dir({"in.wav"}), c.layout);
    const std::string afs = dir({"out.afs"});
    ASSERT_EQ(ConvertWaveToSample(wav, afs, c.rootKey), kConvertWritten);

    const auto file = testing::ReadBytes(afs);
    EXPECT_EQ(Head(file), Hex(c.header));
    // Every sample turned big-endian; an odd length also carries the pad byte, paired with the last byte.
    const auto& payload = c.layout.payload;
    const std::size_t written = (payload.size() + 1) & ~std::size_t{1};
    ASSERT_EQ(file.size(), 48 + written);
    for (std::size_t i = 0; i + 1 < payload.size(); i += 2) {
        ASSERT_EQ(file[48 + i], payload[i + 1]) << i;
        ASSERT_EQ(file[48 + i + 1], payload[i]) << i;
    }
    if (payload.size() % 2 != 0) {
        EXPECT_EQ(file[48 + payload.size() - 1], 0xEE);  // the pad byte
        EXPECT_EQ(file[48 + payload.size()], payload.back());
    }
}

WaveLayout Mono(std::size_t bytes) {
    WaveLayout layout;
    layout.payload = testing::CountingPayload(bytes);
    return layout;
}
WaveLayout Stereo(std::size_t bytes) {
    WaveLayout layout = Mono(bytes);
    layout.channels = 2;
    return layout;
}
WaveLayout WithSampler(WaveLayout layout, std::uint32_t note, std::int32_t loops, std::uint32_t start, std::uint32_t end) {
    layout.unityNote = note;
    layout.loops = loops;
    layout.loopStart = start;
    layout.loopEnd = end;
    return layout;
}

// Header bytes: magic | length+40 | 0 | 02 stereo 00 root | AC 44 00 00 | "neno" | 0 | frames | loop start | loop end | 0 0
INSTANTIATE_TEST_SUITE_P(
    Cases, SampleHeaderTest,
    ::testing::Values(
        HeaderCase{"MonoNoSampler", Mono(1000), std::nullopt,
                   "53383073 00000410 00000000 0200003C AC440000 6E656E6F 00000000 01F40000 00000000 00000000 "
                   "00000000 00000000"},
        HeaderCase{"Stereo", Stereo(1000), std::nullopt,
                   "53383073 00000410 00000000 0201003C AC440000 6E656E6F 00000000 00FA0000 00000000 00000000 "
                   "00000000 00000000"},
        HeaderCase{"FramesAbove16Bits", Mono(200000), std::nullopt,
                   "53383073 00030D68 00000000 0200003C AC440000 6E656E6F 00000000 86A00001 00000000 00000000 "
                   "00000000 00000000"},
        HeaderCase{"SamplerWithLoop", WithSampler(Mono(1000), 48, 1, 0x12345, 0x23456), std::nullopt,
                   "53383073 00000410 00000000 02000030 AC440000 6E656E6F 00000000 01F40000 23450001 34560002 "
                   "00000000 00000000"},
        HeaderCase{"SamplerWithoutLoops", WithSampler(Mono(1000), 50, 0, 7, 9), std::nullopt,
                   "53383073 00000410 00000000 02000032 AC440000 6E656E6F 00000000 01F40000 00000000 00000000 "
                   "00000000 00000000"},
        HeaderCase{"CallerKeyZeroIsIgnored", WithSampler(Mono(1000), 48, 0, 0, 0), 0u,
                   "53383073 00000410 00000000 02000030 AC440000 6E656E6F 00000000 01F40000 00000000 00000000 "
                   "00000000 00000000"},
        HeaderCase{"CallerKeyWins", WithSampler(Mono(1000), 48, 0, 0, 0), 60u,
                   "53383073 00000410 00000000 0200003C AC440000 6E656E6F 00000000 01F40000 00000000 00000000 "
                   "00000000 00000000"},
        HeaderCase{"CallerKey128", Mono(1000), 128u,
                   "53383073 00000410 00000000 02000080 AC440000 6E656E6F 00000000 01F40000 00000000 00000000 "
                   "00000000 00000000"},
        HeaderCase{"CallerKey129IsIgnored", WithSampler(Mono(1000), 48, 0, 0, 0), 129u,
                   "53383073 00000410 00000000 02000030 AC440000 6E656E6F 00000000 01F40000 00000000 00000000 "
                   "00000000 00000000"},
        HeaderCase{"OddLength", Mono(1001), std::nullopt,
                   "53383073 00000411 00000000 0200003C AC440000 6E656E6F 00000000 01F40000 00000000 00000000 "
                   "00000000 00000000"}),
    [](const auto& row) { return std::string(row.param.name); });

struct RefusalCase {
    const char* name;
    std::function<std::vector<std::uint8_t>()> file;
    std::int32_t status;
    const char* message;  // shown by InspectWave; "" when it accepts
};

class WaveRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(WaveRefusalTest, ConversionAndInspectionAgree) {
    const RefusalCase& c = GetParam();
    TempDir dir;
    const std::string wav = dir({"in.wav"});
    testing::WriteBytes(wav, c.file());
    const std::string afs = dir({"out.afs"});
    EXPECT_EQ(ConvertWaveToSample(wav, afs), c.status);
    EXPECT_EQ(core::FileExists(afs), c.status == kConvertWritten);

    platform::ScriptedPlatform platform;
    SampleEntry entry;
    const int accepted = AddSampleFile(platform, wav, entry);
    EXPECT_EQ(accepted, c.status == kConvertWritten ? 1 : 0);
    std::vector<std::string> expected;
    if (*c.message != '\0') {
        expected.push_back(std::string("Information: ") + c.message);
    }
    const auto boxes = platform.Boxes();
    ASSERT_EQ(boxes.size(), expected.size());
    if (!expected.empty()) {
        EXPECT_TRUE(boxes[0].starts_with(expected[0])) << boxes[0];
    }
}

WaveLayout Changed(const std::function<void(WaveLayout&)>& change) {
    WaveLayout layout = Mono(100);
    change(layout);
    return layout;
}
std::function<std::vector<std::uint8_t>()> Built(const std::function<void(WaveLayout&)>& change) {
    return [change] { return testing::BuildWave(Changed(change)); };
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WaveRefusalTest,
    ::testing::Values(
        RefusalCase{"Valid", Built([](WaveLayout&) {}), kConvertWritten, ""},
        RefusalCase{"FmtFourthByteNotExamined", Built([](WaveLayout& s) { s.fmt = "fmtX"; }), kConvertWritten, ""},
        RefusalCase{"NotRiff", Built([](WaveLayout& s) { s.riff = "RIFX"; }), kConvertNotRiff, "Bad Riff Format !"},
        RefusalCase{"NotWave", Built([](WaveLayout& s) { s.wave = "AVI "; }), kConvertNotWave, "Bad Wave Format !"},
        RefusalCase{"NotFmt", Built([](WaveLayout& s) { s.fmt = "LIST"; }), kConvertNotFmt, "Bad fmt Format !"},
        RefusalCase{"BitsTestedBeforeRate", Built([](WaveLayout& s) { s.bitsPerSample = 24; s.sampleRate = 48000; }),
                    kConvertNotSixteenBits, "Only 16 bits samples supported !"},
        RefusalCase{"RateTestedBeforeChannels", Built([](WaveLayout& s) { s.sampleRate = 48000; s.channels = 3; }),
                    kConvertNot44100, "Only 44.1 Khz samples supported !"},
        RefusalCase{"FourChannels", Built([](WaveLayout& s) { s.channels = 4; }), kConvertTooManyChannels,
                    "Samples must be mono or stereo !"},
        RefusalCase{"NoChannels", Built([](WaveLayout& s) { s.channels = 0; }), kConvertNoChannels,
                    "Samples must be mono or stereo !"},
        RefusalCase{"NegativeChannels", Built([](WaveLayout& s) { s.channels = -2; }), kConvertNoChannels,
                    "Samples must be mono or stereo !"},
        RefusalCase{"NoDataChunk", Built([](WaveLayout& s) { s.withData = false; }), kConvertNoDataChunk,
                    "No data chunk in "},
        RefusalCase{"DataPastEnd", Built([](WaveLayout& s) { s.declaredLength = 101; s.padOddPayload = false; }),
                    kConvertDataPastEnd, "The data chunk runs past the end of "},
        RefusalCase{"HugeDataLength", Built([](WaveLayout& s) { s.declaredLength = 0xFFFFFFF0u; }),
                    kConvertDataPastEnd, "The data chunk runs past the end of "},
        RefusalCase{"EndsInsideHeader",
                    [] {
                        auto bytes = testing::BuildWave(Mono(100));
                        bytes.resize(30);
                        return bytes;
                    },
                    kConvertTooShort, "File too short to be a WAV file : "},
        RefusalCase{"BrokenChunkListIsSearched",
                    [] {
                        auto bytes = testing::BuildWave(Mono(100));
                        const auto junk = Hex("4A 55 4E 4B 00 FF FF 7F");
                        bytes.insert(bytes.begin() + 36, junk.begin(), junk.end());
                        return bytes;
                    },
                    kConvertWritten, ""},
        RefusalCase{"EmptyFile", [] { return std::vector<std::uint8_t>{}; }, kConvertTooShort,
                    "File too short to be a WAV file : "}),
    [](const auto& row) { return std::string(row.param.name); });

// The bytes "data" with a plausible length inside the sound, and a sampler chunk's tag too.
const std::vector<std::uint8_t> kTaggedSound =
    Hex("01 02 03 04 64 61 74 61 04 00 00 00 0A 0B 0C 0D 73 6D 70 6C 0E 0F");

TEST(WaveConversion, TagsInsideTheSoundAreSound) {
    testing::WaveLayout layout;
    layout.payload = kTaggedSound;
    TempDir dir;
    const std::string afs = dir({"out.afs"});
    ASSERT_EQ(ConvertWaveToSample(testing::WriteWave(dir({"in.wav"}), layout), afs), kConvertWritten);
    const auto file = testing::ReadBytes(afs);
    ASSERT_EQ(file.size(), 48u + 22);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 48, file.begin() + 52), Hex("02 01 04 03"));
    EXPECT_EQ(file[15], 60);
}

TEST(WaveConversion, ABrokenChunkListFallsBackToTheLastTagInTheFile) {
    testing::WaveLayout layout;
    layout.payload = kTaggedSound;
    auto bytes = testing::BuildWave(layout);
    // A chunk whose length runs past the end, before the data chunk, breaks the list.
    const auto junk = Hex("4A 55 4E 4B 00 FF FF 7F");
    bytes.insert(bytes.begin() + 36, junk.begin(), junk.end());
    TempDir dir;
    const std::string wav = dir({"in.wav"});
    testing::WriteBytes(wav, bytes);
    const std::string afs = dir({"out.afs"});
    ASSERT_EQ(ConvertWaveToSample(wav, afs), kConvertWritten);
    const auto file = testing::ReadBytes(afs);
    ASSERT_EQ(file.size(), 52u);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 48, file.end()), Hex("0B 0A 0D 0C"));
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 4, file.begin() + 8), Hex("00 00 00 2C"));
}

TEST(WaveConversion, OddPayloadAtTheEndOfTheFileIsPaddedWithZero) {
    WaveLayout layout = Mono(3);
    layout.padOddPayload = false;
    TempDir dir;
    const std::string afs = dir({"out.afs"});
    ASSERT_EQ(ConvertWaveToSample(testing::WriteWave(dir({"in.wav"}), layout), afs), kConvertWritten);
    const auto file = testing::ReadBytes(afs);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 48, file.end()), Hex("02 01 00 03"));
}

TEST(WaveConversion, SamplerChunkCutByTheEndOfTheFileIsIgnored) {
    auto bytes = testing::BuildWave(WithSampler(Mono(100), 48, 1, 5, 9));
    bytes.resize(bytes.size() - 30);  // keeps the head's unity note but not the whole 44-byte head
    TempDir dir;
    const std::string wav = dir({"in.wav"});
    testing::WriteBytes(wav, bytes);
    const std::string afs = dir({"out.afs"});
    ASSERT_EQ(ConvertWaveToSample(wav, afs), kConvertWritten);
    EXPECT_EQ(testing::ReadBytes(afs)[15], 60);
}

TEST(WaveConversion, ReplacesTheDestinationWithIdenticalBytesAndReportsAnUncreatableOne) {
    TempDir dir;
    const std::string wav = testing::WriteWave(dir({"in.wav"}), Stereo(400));
    const std::string afs = dir({"out.afs"});
    testing::WriteTextFile(afs, "an older, longer file that must disappear entirely ...........");
    ASSERT_EQ(ConvertWaveToSample(wav, afs), kConvertWritten);
    const auto first = testing::ReadBytes(afs);
    ASSERT_EQ(ConvertWaveToSample(wav, afs), kConvertWritten);
    EXPECT_EQ(testing::ReadBytes(afs), first);
    EXPECT_EQ(first.size(), 448u);

    EXPECT_EQ(ConvertWaveToSample(wav, dir({"missing", "out.afs"})), kConvertCannotCreate);
    EXPECT_EQ(ConvertWaveToSample(dir({"none.wav"}), afs), kConvertNoSource);
}

struct InspectCase {
    std::optional<std::uint32_t> unityNote;
    std::int32_t key;
};

class InspectKeyTest : public ::testing::TestWithParam<InspectCase> {};

TEST_P(InspectKeyTest, RootAndZoneComeFromTheSamplerChunkWithinTheKeyboard) {
    WaveLayout layout = Mono(1000);
    layout.unityNote = GetParam().unityNote;
    TempDir dir;
    const std::string wav = testing::WriteWave(dir({"in.wav"}), layout);
    platform::ScriptedPlatform platform;
    SampleEntry entry;
    entry.locked = 1;
    ASSERT_EQ(AddSampleFile(platform, wav, entry), 1);
    EXPECT_EQ(entry.rootKey, GetParam().key);
    EXPECT_EQ(entry.leftKey, GetParam().key);
    EXPECT_EQ(entry.rightKey, GetParam().key);
    EXPECT_EQ(entry.velocityLow, 0);
    EXPECT_EQ(entry.velocityHigh, 127);
    EXPECT_EQ(entry.locked, 0);
    EXPECT_EQ(entry.path, wav);
    EXPECT_EQ(entry.fileSize, static_cast<std::int64_t>(testing::BuildWave(layout).size()));
    EXPECT_TRUE(platform.Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, InspectKeyTest,
                         ::testing::Values(InspectCase{std::nullopt, 72}, InspectCase{60u, 60}, InspectCase{0u, 0},
                                           InspectCase{200u, 127}, InspectCase{0xFFFFFFFFu, 0}));

TEST(AddSampleFiles, SkipsRefusedAndMissingFilesKeepingTheOrder) {
    TempDir dir;
    const std::string a = testing::WriteWave(dir({"a.wav"}), Mono(10));
    WaveLayout bad = Mono(10);
    bad.sampleRate = 22050;
    const std::string b = testing::WriteWave(dir({"b.wav"}), bad);
    const std::string c = testing::WriteWave(dir({"c.wav"}), Stereo(12));
    platform::ScriptedPlatform platform;
    std::vector<SampleEntry> entries;
    EXPECT_EQ(AddSampleFiles(platform, {a, dir({"gone.wav"}), b, c}, entries), 2);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].path, a);
    EXPECT_EQ(entries[1].path, c);
    EXPECT_EQ(platform.Boxes(), std::vector<std::string>{"Information: Only 44.1 Khz samples supported !"});
}

}  // namespace
}  // namespace velmorant::create
