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

using Bytes = std::vector<std::uint8_t>;

// A counting mono WAV with one field changed.
Bytes Built(const std::function<void(WaveLayout&)>& change) {
    WaveLayout layout = testing::CountingWave(100);
    change(layout);
    return testing::BuildWave(layout);
}

using C = ConversionResult;
constexpr const char* kPcm = "Only uncompressed PCM samples supported ! ";
constexpr const char* kMonoStereo = "Samples must be mono or stereo !";
constexpr const char* kShort = "File too short to be a WAV file : ";
constexpr const char* kPastEnd = "The data chunk runs past the end of ";

// The reader, the conversion and the editor's inspection agree on every refusal.
TEST(WaveFileTest, ReaderConversionAndInspectionAgree) {
    const struct {
        const char* name;
        Bytes file;
        ConversionResult status;
        std::size_t offset;   // where the reader says the problem lies
        const char* message;  // shown by InspectWave; "" when it accepts
    } rows[] = {
        {"Valid", Built([](WaveLayout&) {}), C::kWritten, 0, ""},
        {"FmtFourthByteNotExamined", Built([](WaveLayout& s) { s.fmt = "fmtX"; }), C::kWritten, 0, ""},
        {"NotRiff", Built([](WaveLayout& s) { s.riff = "RIFX"; }), C::kNotRiff, 0, "Bad Riff Format !"},
        {"NotWave", Built([](WaveLayout& s) { s.wave = "AVI "; }), C::kNotWave, 8, "Bad Wave Format !"},
        {"NotFmt", Built([](WaveLayout& s) { s.fmt = "LIST"; }), C::kNotFmt, 12, "Bad fmt Format !"},
        // Compressed or float sound is refused naming its format, whatever its bits say.
        {"ImaAdpcm", Built([](WaveLayout& s) { s.format = 0x11; s.bitsPerSample = 4; }), C::kNotPcm, 20, kPcm},
        {"SixteenBitAdpcm", Built([](WaveLayout& s) { s.format = 0x02; }), C::kNotPcm, 20, kPcm},
        {"ExtensiblePcm", Built([](WaveLayout& s) { s.subFormat = 1; }), C::kWritten, 0, ""},
        {"ExtensibleFloat", Built([](WaveLayout& s) { s.subFormat = 3; }), C::kNotPcm, 44, kPcm},
        // A format chunk too short for the extension: its sub-format is not read.
        {"ExtensibleFmtOf39Bytes", [] { auto b = Built([](WaveLayout& s) { s.subFormat = 1; }); b[16] = 39; return b; }(),
         C::kNotPcm, 20, kPcm},
        {"BitsTestedBeforeRate", Built([](WaveLayout& s) { s.bitsPerSample = 24; s.sampleRate = 48000; }),
         C::kNotSixteenBits, 34, "Only 16 bits samples supported !"},
        {"RateTestedBeforeChannels", Built([](WaveLayout& s) { s.sampleRate = 48000; s.channels = 3; }), C::kNot44100,
         24, "Only 44.1 Khz samples supported !"},
        {"FourChannels", Built([](WaveLayout& s) { s.channels = 4; }), C::kTooManyChannels, 22, kMonoStereo},
        {"NoChannels", Built([](WaveLayout& s) { s.channels = 0; }), C::kNoChannels, 22, kMonoStereo},
        {"NegativeChannels", Built([](WaveLayout& s) { s.channels = -2; }), C::kNoChannels, 22, kMonoStereo},
        {"NoDataChunk", Built([](WaveLayout& s) { s.withData = false; }), C::kNoDataChunk, 12, "No data chunk in "},
        {"DataPastEnd", Built([](WaveLayout& s) { s.declaredLength = 101; s.padOddPayload = false; }), C::kDataPastEnd,
         40, kPastEnd},
        {"HugeDataLength", Built([](WaveLayout& s) { s.declaredLength = 0xFFFFFFF0u; }), C::kDataPastEnd, 40, kPastEnd},
        {"EndsInsideHeader", Slice(Built([](WaveLayout&) {}), 0, 30), C::kTooShort, 30, kShort},
        {"BrokenChunkListIsSearched", WithBrokenChunkList(Built([](WaveLayout&) {})), C::kWritten, 0, ""},
        {"EmptyFile", {}, C::kTooShort, 0, kShort}};
    for (const auto& c : rows) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string wav = dir({"in.wav"});
        testing::WriteBytes(wav, c.file);
        const WaveFacts facts = ReadWave(c.file);
        EXPECT_EQ(ReadWaveFile(wav).result, facts.result);
        if (facts.result != WaveResult::kOk) {
            EXPECT_TRUE(DescribeWaveProblem("in.wav", facts)
                            .starts_with("in.wav: offset " + std::to_string(c.offset) + ", " +
                                         WaveResultField(facts.result) + ": " + WaveResultText(facts.result)));
        }
        const std::string afs = dir({"out.afs"});
        const bool written = c.status == ConversionResult::kWritten;
        EXPECT_EQ(ConvertWaveToSample(wav, afs), c.status);
        EXPECT_EQ(core::FileExists(afs), written);
        // The command line tells a refusal in the reader's words.
        EXPECT_EQ(create::ConversionResultText(c.status), written ? "the sample file was written" : WaveResultText(facts.result));

        platform::ScriptedPlatform platform;
        create::SampleEntry entry;
        EXPECT_EQ(create::AddSampleFile(platform, wav, entry), written ? 1 : 0);
        const auto boxes = platform.Boxes();
        ASSERT_EQ(boxes.size(), *c.message == '\0' ? 0u : 1u);
        EXPECT_TRUE(boxes.empty() || boxes[0].starts_with(std::string("Information: ") + c.message)) << ::testing::PrintToString(boxes);
    }
}

// A sampler chunk after n bytes of sound, the file then cut by `cut` bytes.
Bytes WithSampler(std::size_t n, std::int32_t loops, std::size_t cut) {
    WaveLayout layout = testing::CountingWave(n);
    layout.unityNote = 48;
    layout.loops = loops;
    auto bytes = testing::BuildWave(layout);
    bytes.resize(bytes.size() - cut);
    return bytes;
}

TEST(WaveFileTest, FindsTheChunksFromTheFileAndFromMemoryAlike) {
    WaveLayout tagged;
    // The bytes "data" with a plausible length inside the sound, and a sampler chunk's tag too.
    tagged.payload = Hex("01 02 03 04 64 61 74 61 04 00 00 00 0A 0B 0C 0D 73 6D 70 6C 0E 0F");
    const std::tuple<Bytes, std::size_t, std::uint32_t, bool> rows[] = {  // file, data offset and length, sampler
        // Followed chunk by chunk, tags inside the sound are sound.
        {testing::BuildWave(tagged), 44, 22, false},
        // A broken chunk list falls back to the last "data" in the file, the one inside the sound.
        {WithBrokenChunkList(testing::BuildWave(tagged)), 52 + 12, 4, false},
        {WithSampler(100, 0, 0), 44, 100, true},
        {WithSampler(101, 0, 0), 44, 101, true},  // an odd data chunk is followed by a pad byte
        {WithSampler(100, 1, 30), 44, 100, false}};  // a sampler head cut by the end is no chunk
    for (const auto& [bytes, offset, length, sampler] : rows) {
        TempDir dir;
        testing::WriteBytes(dir({"in.wav"}), bytes);
        for (const WaveFacts& facts : {ReadWave(bytes), ReadWaveFile(dir({"in.wav"}))}) {
            ASSERT_EQ(facts.result, WaveResult::kOk);
            EXPECT_EQ(std::tie(facts.dataOffset, facts.dataLength, facts.hasSampler), std::tie(offset, length, sampler)) << offset;
        }
    }
}

}  // namespace
}  // namespace velmorant::formats
