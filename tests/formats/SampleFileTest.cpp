#include <gtest/gtest.h>

#include "core/File.h"
#include "create/SampleConversion.h"
#include "formats/SampleFile.h"
#include "support/CreateFixtures.h"
#include "support/TempDir.h"

namespace velmorant::formats {
namespace {

using create::ConversionResult;
using create::ConvertWaveToSample;
using testing::Hex;
using testing::TempDir;
using testing::WaveLayout;

WaveLayout WithSampler(WaveLayout layout, std::uint32_t note, std::int32_t loops, std::uint32_t start, std::uint32_t end) {
    layout.unityNote = note;
    layout.loops = loops;
    layout.loopStart = start;
    layout.loopEnd = end;
    return layout;
}

struct HeaderCase {
    const char* name;
    WaveLayout layout;
    const char* header;  // the 48 bytes expected, as written out by hand
};

class SampleHeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(SampleHeaderTest, WritesTheHeaderAndTheSwappedSoundAndReadsThemBack) {
    const HeaderCase& c = GetParam();
    TempDir dir;
    const std::string wav = testing::WriteWave(dir({"in.wav"}), c.layout);
    const std::string afs = dir({"out.afs"});
    ASSERT_EQ(ConvertWaveToSample(wav, afs), ConversionResult::kWritten);

    const auto file = testing::ReadBytes(afs);
    ASSERT_GE(file.size(), kSampleHeaderSize);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.begin() + kSampleHeaderSize), Hex(c.header));
    // Every sample turned big-endian; an odd length also carries the pad byte, paired with the last byte.
    const auto& payload = c.layout.payload;
    ASSERT_EQ(file.size(), kSampleHeaderSize + StoredSoundBytes(static_cast<std::uint32_t>(payload.size())));
    for (std::size_t i = 0; i + 1 < payload.size(); i += 2) {
        ASSERT_EQ(file[48 + i], payload[i + 1]) << i;
        ASSERT_EQ(file[48 + i + 1], payload[i]) << i;
    }
    if (payload.size() % 2 != 0) {
        EXPECT_EQ(file[48 + payload.size() - 1], 0xEE);  // the pad byte
        EXPECT_EQ(file[48 + payload.size()], payload.back());
    }

    // The reader gives back the fields, and writing them again gives the same bytes.
    const SampleRead read = ReadSampleFile(afs);
    ASSERT_EQ(read.result, SampleResult::kOk) << DescribeSampleProblem(afs, read);
    EXPECT_EQ(read.header.soundLength, payload.size());
    EXPECT_EQ(read.header.stereo, c.layout.channels == 2);
    EXPECT_EQ(read.header.frames, payload.size() / (2u * static_cast<unsigned>(c.layout.channels)));
    const auto again = EncodeSampleHeader(read.header);
    EXPECT_TRUE(std::equal(again.begin(), again.end(), file.begin()));
}

// Header bytes: magic | length+40 | 0 | 02 stereo 00 root | AC 44 00 00 | "neno" | 0 | frames | loop start | loop end | 0 0
INSTANTIATE_TEST_SUITE_P(
    Cases, SampleHeaderTest,
    ::testing::Values(
        HeaderCase{"MonoNoSampler", testing::CountingWave(1000),
                   "53383073 00000410 00000000 0200003C AC440000 6E656E6F 00000000 01F40000 00000000 00000000 "
                   "00000000 00000000"},
        HeaderCase{"Stereo", testing::CountingWave(1000, 2),
                   "53383073 00000410 00000000 0201003C AC440000 6E656E6F 00000000 00FA0000 00000000 00000000 "
                   "00000000 00000000"},
        HeaderCase{"FramesAbove16Bits", testing::CountingWave(200000),
                   "53383073 00030D68 00000000 0200003C AC440000 6E656E6F 00000000 86A00001 00000000 00000000 "
                   "00000000 00000000"},
        HeaderCase{"SamplerWithLoop", WithSampler(testing::CountingWave(1000), 48, 1, 0x12345, 0x23456),
                   "53383073 00000410 00000000 02000030 AC440000 6E656E6F 00000000 01F40000 23450001 34560002 "
                   "00000000 00000000"},
        HeaderCase{"SamplerWithoutLoops", WithSampler(testing::CountingWave(1000), 50, 0, 7, 9),
                   "53383073 00000410 00000000 02000032 AC440000 6E656E6F 00000000 01F40000 00000000 00000000 "
                   "00000000 00000000"},
        HeaderCase{"OddLength", testing::CountingWave(1001),
                   "53383073 00000411 00000000 0200003C AC440000 6E656E6F 00000000 01F40000 00000000 00000000 "
                   "00000000 00000000"}),
    [](const auto& row) { return std::string(row.param.name); });

// A good 1001-byte sample file cut to `keep` bytes, or with one byte changed: refused naming the offset.
TEST(SampleFile, ABrokenHeaderIsRefusedNamingTheOffset) {
    TempDir dir;
    ASSERT_EQ(ConvertWaveToSample(testing::WriteWave(dir({"in.wav"}), testing::CountingWave(1001)), dir({"good.afs"})),
              ConversionResult::kWritten);
    const auto good = testing::ReadBytes(dir({"good.afs"}));
    const std::tuple<std::size_t, std::size_t, std::uint8_t, SampleResult, std::size_t> rows[] = {  // keep, at, value
        {1050, 0, 0, SampleResult::kOk, 0},          {1049, 0, 0, SampleResult::kSoundPastEnd, 4},  // no pad byte
        {47, 0, 0, SampleResult::kTooShort, 47},     {1050, 3, 'i', SampleResult::kNotSample, 0},
        {1050, 6, 0, SampleResult::kBadLength, 4},  // below the length's bias
        {1050, 5, 0x10, SampleResult::kSoundPastEnd, 4}};
    for (const auto& [keep, at, value, result, offset] : rows) {
        std::vector<std::uint8_t> bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(std::min(good.size(), keep)));
        if (at != 0) bytes[at] = value;
        const SampleRead read = ReadSampleHeader(bytes);
        EXPECT_EQ(read.result, result) << keep << " " << at;
        EXPECT_EQ(read.problemOffset, offset) << keep << " " << at;
        if (result != SampleResult::kOk) {
            EXPECT_EQ(DescribeSampleProblem("x.afs", read),
                      "x.afs: offset " + std::to_string(offset) + ", " + read.field + ": " + SampleResultText(result));
        }
    }
}

// A root key the caller gives wins over the sampler chunk's when it is a key (0 is no key).
TEST(SampleFile, CallerRootKeyFrom1To128WinsOverTheSamplerChunk) {
    TempDir dir;
    const std::string wav = testing::WriteWave(dir({"in.wav"}), WithSampler(testing::CountingWave(10), 48, 0, 0, 0));
    for (const auto& [given, stored] : {std::pair{0u, 48}, {1u, 1}, {60u, 60}, {128u, 128}, {129u, 48}}) {
        ASSERT_EQ(ConvertWaveToSample(wav, dir({"out.afs"}), given), ConversionResult::kWritten);
        EXPECT_EQ(testing::ReadBytes(dir({"out.afs"}))[15], stored) << given;
    }
}

TEST(SampleFile, ReplacesTheDestinationWithIdenticalBytesAndReportsAnUncreatableOne) {
    TempDir dir;
    const std::string wav = testing::WriteWave(dir({"in.wav"}), testing::CountingWave(400, 2));
    const std::string afs = dir({"out.afs"});
    testing::WriteTextFile(afs, "an older, longer file that must disappear entirely ...........");
    ASSERT_EQ(ConvertWaveToSample(wav, afs), ConversionResult::kWritten);
    const auto first = testing::ReadBytes(afs);
    ASSERT_EQ(ConvertWaveToSample(wav, afs), ConversionResult::kWritten);
    EXPECT_EQ(testing::ReadBytes(afs), first);
    EXPECT_EQ(first.size(), 448u);

    EXPECT_EQ(ConvertWaveToSample(wav, dir({"missing", "out.afs"})), ConversionResult::kCannotCreate);
    EXPECT_EQ(ConvertWaveToSample(dir({"none.wav"}), afs), ConversionResult::kNoSource);
    EXPECT_EQ(ReadSampleFile(dir({"none.afs"})).result, SampleResult::kCannotOpen);
}

TEST(SampleFile, OddSoundAtTheEndOfTheFileIsPaddedWithZero) {
    WaveLayout layout = testing::CountingWave(3);
    layout.padOddPayload = false;
    TempDir dir;
    const std::string afs = dir({"out.afs"});
    ASSERT_EQ(ConvertWaveToSample(testing::WriteWave(dir({"in.wav"}), layout), afs), ConversionResult::kWritten);
    const auto file = testing::ReadBytes(afs);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 48, file.end()), Hex("02 01 00 03"));
}

}  // namespace
}  // namespace velmorant::formats
