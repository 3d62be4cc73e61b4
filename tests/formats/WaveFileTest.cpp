#include <gtest/gtest.h>

#include <functional>

#include "core/File.h"
#include "create/SampleConversion.h"
#include "create/SampleEntry.h"
#include "formats/WaveFile.h"
#include "platform/ScriptedPlatform.h"
#include "support/CreateFixtures.h"
#include "support/TempDir.h"

namespace velmorant::formats {
namespace {

using create::ConversionResult;
using create::ConvertWaveToSample;
using testing::Hex;
using testing::Slice;
using testing::TempDir;
using testing::WaveLayout;

// A chunk whose length runs past the end, put before the data chunk, breaks the chunk list.
std::vector<std::uint8_t> WithBrokenChunkList(std::vector<std::uint8_t> bytes) {
    const auto junk = Hex("4A 55 4E 4B 00 FF FF 7F");
    bytes.insert(bytes.begin() + 36, junk.begin(), junk.end());
    return bytes;
}

struct RefusalCase {
    const char* name;
    std::function<std::vector<std::uint8_t>()> file;
    ConversionResult status;
    std::size_t offset;   // where the reader says the problem lies
    const char* message;  // shown by InspectWave; "" when it accepts
};

class WaveRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(WaveRefusalTest, ReaderConversionAndInspectionAgree) {
    const RefusalCase& c = GetParam();
    TempDir dir;
    const std::string wav = dir({"in.wav"});
    const auto bytes = c.file();
    testing::WriteBytes(wav, bytes);
    const WaveFacts facts = ReadWave(bytes);
    EXPECT_EQ(ReadWaveFile(wav).result, facts.result);
    if (facts.result != WaveResult::kOk) {
        EXPECT_TRUE(DescribeWaveProblem("in.wav", facts)
                        .starts_with("in.wav: offset " + std::to_string(c.offset) + ", " +
                                     WaveResultField(facts.result) + ": " + WaveResultText(facts.result)));
    }
    const std::string afs = dir({"out.afs"});
    EXPECT_EQ(ConvertWaveToSample(wav, afs), c.status);
    EXPECT_EQ(core::FileExists(afs), c.status == ConversionResult::kWritten);
    // The command line tells a refusal in the reader's words.
    EXPECT_EQ(create::ConversionResultText(c.status), c.status == ConversionResult::kWritten
                                                          ? "the sample file was written"
                                                          : WaveResultText(facts.result));

    platform::ScriptedPlatform platform;
    create::SampleEntry entry;
    const int accepted = create::AddSampleFile(platform, wav, entry);
    EXPECT_EQ(accepted, c.status == ConversionResult::kWritten ? 1 : 0);
    const auto boxes = platform.Boxes();
    ASSERT_EQ(boxes.size(), *c.message == '\0' ? 0u : 1u);
    if (!boxes.empty()) {
        EXPECT_TRUE(boxes[0].starts_with(std::string("Information: ") + c.message)) << boxes[0];
    }
}

std::function<std::vector<std::uint8_t>()> Built(const std::function<void(WaveLayout&)>& change) {
    return [change] {
        WaveLayout layout = testing::CountingWave(100);
        change(layout);
        return testing::BuildWave(layout);
    };
}

using C = ConversionResult;
constexpr const char* kPcm = "Only uncompressed PCM samples supported ! ";
constexpr const char* kMonoStereo = "Samples must be mono or stereo !";
constexpr const char* kShort = "File too short to be a WAV file : ";
constexpr const char* kPastEnd = "The data chunk runs past the end of ";

INSTANTIATE_TEST_SUITE_P(
    Cases, WaveRefusalTest,
    ::testing::Values(
        RefusalCase{"Valid", Built([](WaveLayout&) {}), C::kWritten, 0, ""},
        RefusalCase{"FmtFourthByteNotExamined", Built([](WaveLayout& s) { s.fmt = "fmtX"; }), C::kWritten, 0, ""},
        RefusalCase{"NotRiff", Built([](WaveLayout& s) { s.riff = "RIFX"; }), C::kNotRiff, 0, "Bad Riff Format !"},
        RefusalCase{"NotWave", Built([](WaveLayout& s) { s.wave = "AVI "; }), C::kNotWave, 8, "Bad Wave Format !"},
        RefusalCase{"NotFmt", Built([](WaveLayout& s) { s.fmt = "LIST"; }), C::kNotFmt, 12, "Bad fmt Format !"},
        // Compressed or float sound is refused naming its format, whatever its bits say.
        RefusalCase{"ImaAdpcm", Built([](WaveLayout& s) { s.format = 0x11; s.bitsPerSample = 4; }), C::kNotPcm, 20, kPcm},
        RefusalCase{"SixteenBitAdpcm", Built([](WaveLayout& s) { s.format = 0x02; }), C::kNotPcm, 20, kPcm},
        RefusalCase{"ExtensiblePcm", Built([](WaveLayout& s) { s.subFormat = 1; }), C::kWritten, 0, ""},
        RefusalCase{"ExtensibleFloat", Built([](WaveLayout& s) { s.subFormat = 3; }), C::kNotPcm, 44, kPcm},
        RefusalCase{"BitsTestedBeforeRate", Built([](WaveLayout& s) { s.bitsPerSample = 24; s.sampleRate = 48000; }),
                    C::kNotSixteenBits, 34, "Only 16 bits samples supported !"},
        RefusalCase{"RateTestedBeforeChannels", Built([](WaveLayout& s) { s.sampleRate = 48000; s.channels = 3; }),
                    C::kNot44100, 24, "Only 44.1 Khz samples supported !"},
        RefusalCase{"FourChannels", Built([](WaveLayout& s) { s.channels = 4; }), C::kTooManyChannels, 22, kMonoStereo},
        RefusalCase{"NoChannels", Built([](WaveLayout& s) { s.channels = 0; }), C::kNoChannels, 22, kMonoStereo},
        RefusalCase{"NegativeChannels", Built([](WaveLayout& s) { s.channels = -2; }), C::kNoChannels, 22, kMonoStereo},
        RefusalCase{"NoDataChunk", Built([](WaveLayout& s) { s.withData = false; }), C::kNoDataChunk, 12, "No data chunk in "},
        RefusalCase{"DataPastEnd", Built([](WaveLayout& s) { s.declaredLength = 101; s.padOddPayload = false; }),
                    C::kDataPastEnd, 40, kPastEnd},
        RefusalCase{"HugeDataLength", Built([](WaveLayout& s) { s.declaredLength = 0xFFFFFFF0u; }), C::kDataPastEnd, 40,
                    kPastEnd},
        RefusalCase{"EndsInsideHeader", [] { return Slice(testing::BuildWave(testing::CountingWave(100)), 0, 30); },
                    C::kTooShort, 30, kShort},
        RefusalCase{"BrokenChunkListIsSearched",
                    [] { return WithBrokenChunkList(testing::BuildWave(testing::CountingWave(100))); }, C::kWritten, 0, ""},
        RefusalCase{"EmptyFile", [] { return std::vector<std::uint8_t>{}; }, C::kTooShort, 0, kShort}),
    [](const auto& row) { return std::string(row.param.name); });

// The bytes "data" with a plausible length inside the sound, and a sampler chunk's tag too.
const std::vector<std::uint8_t> kTaggedSound =
    Hex("01 02 03 04 64 61 74 61 04 00 00 00 0A 0B 0C 0D 73 6D 70 6C 0E 0F");

struct TagCase {
    const char* name;
    std::function<std::vector<std::uint8_t>()> file;
    std::size_t dataOffset;
    std::uint32_t dataLength;
    bool hasSampler;
};

class WaveTagTest : public ::testing::TestWithParam<TagCase> {};

TEST_P(WaveTagTest, FindsTheChunksFromTheFileAndFromMemoryAlike) {
    const TagCase& c = GetParam();
    const auto bytes = c.file();
    TempDir dir;
    testing::WriteBytes(dir({"in.wav"}), bytes);
    for (const WaveFacts& facts : {ReadWave(bytes), ReadWaveFile(dir({"in.wav"}))}) {
        ASSERT_EQ(facts.result, WaveResult::kOk);
        EXPECT_EQ(facts.dataOffset, c.dataOffset);
        EXPECT_EQ(facts.dataLength, c.dataLength);
        EXPECT_EQ(facts.hasSampler, c.hasSampler);
    }
}

WaveLayout Tagged() {
    WaveLayout layout;
    layout.payload = kTaggedSound;
    return layout;
}

// A sampler chunk after n bytes of sound, the file then cut by `cut` bytes.
std::function<std::vector<std::uint8_t>()> WithSampler(std::size_t n, std::int32_t loops, std::size_t cut) {
    return [=] {
        WaveLayout layout = testing::CountingWave(n);
        layout.unityNote = 48;
        layout.loops = loops;
        auto bytes = testing::BuildWave(layout);
        bytes.resize(bytes.size() - cut);
        return bytes;
    };
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WaveTagTest,
    ::testing::Values(
        // Followed chunk by chunk, tags inside the sound are sound.
        TagCase{"TagsInsideTheSoundAreSound", [] { return testing::BuildWave(Tagged()); }, 44, 22, false},
        // A broken chunk list falls back to the last "data" in the file, the one inside the sound.
        TagCase{"BrokenListTakesTheLastTag", [] { return WithBrokenChunkList(testing::BuildWave(Tagged())); },
                52 + 12, 4, false},
        TagCase{"SamplerAfterTheData", WithSampler(100, 0, 0), 44, 100, true},
        // An odd data chunk is followed by a pad byte before the next chunk.
        TagCase{"SamplerAfterOddDataAndItsPad", WithSampler(101, 0, 0), 44, 101, true},
        // A sampler head cut by the end of the file is no chunk.
        TagCase{"SamplerCutByTheEnd", WithSampler(100, 1, 30), 44, 100, false}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace velmorant::formats
