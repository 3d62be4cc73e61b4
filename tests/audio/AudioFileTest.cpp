#include <gtest/gtest.h>
#include <sndfile.h>

#include "audio/Conversion.h"
#include "audio/Peaks.h"
#include "core/Bytes.h"
#include "support/AudioFixtures.h"
#include "support/CreateFixtures.h"
#include "support/TempDir.h"

namespace velmorant::audio {
namespace {

using testing::TempDir;

std::vector<std::uint8_t> InstBody(int note, int fine) {
    return {static_cast<std::uint8_t>(note), static_cast<std::uint8_t>(static_cast<std::int8_t>(fine)), 0, 0, 127, 1, 127};
}

constexpr int kWav = SF_FORMAT_WAV | SF_FORMAT_PCM_16;

// The metadata as read from chunks appended to a file that libsndfile wrote.
TEST(AudioFileTest, ReadsKeysFineTuneAndLoopFromTheChunks) {
    const std::nullopt_t none = std::nullopt;
    const struct {
        std::vector<std::pair<std::string, std::vector<std::uint8_t>>> chunks;
        std::optional<int> samplerKey;
        double samplerCents;
        std::optional<int> instrumentKey;
        std::optional<LoopPoints> loop;
    } rows[] = {
        {{}, none, 0, none, none},
        {{{"smpl", testing::SamplerBody(60, 0, none)}}, 60, 0, none, none},
        {{{"smpl", testing::SamplerBody(59, 0xE6666666u, none)}}, 60, -10, none, none},  // 59 plus 90 cents
        {{{"smpl", testing::SamplerBody(60, 0x40000000u, none)}}, 60, 25, none, none},
        {{{"smpl", testing::SamplerBody(200, 0, none)}}, none, 0, none, none},  // outside the keys
        {{{"smpl", testing::SamplerBody(48, 0, {{100, 1999}})}}, 48, 0, none, LoopPoints{100, 1999}},
        {{{"inst", InstBody(62, -5)}}, none, 0, 62, none},
        {{{"inst", InstBody(62, 0)}, {"smpl", testing::SamplerBody(64, 0, none)}}, 64, 0, 62, none}};
    for (const auto& c : rows) {
        TempDir dir;
        const std::string path = dir({"in.wav"});
        testing::WriteSound(path, {kWav, 44100, 1, 2000, testing::Sine(440, 44100, 0.2)});
        for (const auto& [id, body] : c.chunks) testing::AppendChunk(path, id, body);
        const auto opened = AudioReader::Open(path);
        ASSERT_TRUE(opened.reader) << opened.error;
        const ContainerFacts& facts = opened.reader->info().facts;
        EXPECT_EQ(std::tie(facts.samplerKey, facts.instrumentKey, facts.loop), std::tie(c.samplerKey, c.instrumentKey, c.loop))
            << c.chunks.size();
        EXPECT_NEAR(facts.samplerFineCents, c.samplerCents, 0.01);
    }
}

// Broken files: each refused with a message that names the file, before or while reading.
void PatchLe32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) { core::ByteWriter(b).u32le(at, v); }

TEST(AudioFileTest, BrokenFilesAreRefusedWithTheFileNamed) {
    // Offsets in the canonical 44-byte head libsndfile writes for a plain PCM WAV.
    const std::tuple<const char*, std::function<void(std::vector<std::uint8_t>&)>, const char*> rows[] = {
        {"cut.wav", [](auto& b) { b.resize(b.size() / 2); }, "\"data\" chunk declares 40000 bytes"},
        {"liar.wav", [](auto& b) { PatchLe32(b, 40, 40100); }, "declares 40100 bytes but only 40000"},
        {"huge.wav", [](auto& b) { PatchLe32(b, 40, 0xFFFFFFF0u); }, "declares 4294967280 bytes"},
        {"silent.wav", [](auto& b) { core::ByteWriter(b).u16le(22, 0); }, "declares 0 channels"},
        {"zero.wav", [](auto& b) { PatchLe32(b, 24, 0); }, "a sample rate of 0 Hz"},
        {"text.wav", [](auto& b) { b.assign({'h', 'e', 'l', 'l', 'o', '\n'}); }, "not a WAV, AIFF or FLAC file"},
        {"empty.wav", [](auto& b) { b.clear(); }, "not a WAV, AIFF or FLAC file"},
        {"cut.aiff", [](auto& b) { b.resize(b.size() - 1000); }, "\"SSND\" chunk declares"},
        {"cut.flac", [](auto& b) { b.resize(b.size() / 2); }, "of its 20000 frames"},
        {"six.wav", nullptr, "has 6 channels"}};
    for (const auto& [file, spoil, says] : rows) {
        TempDir dir;
        const std::string path = dir({file});
        const std::string name(file);
        const int format = name.ends_with(".aiff")   ? SF_FORMAT_AIFF | SF_FORMAT_PCM_16
                           : name.ends_with(".flac") ? SF_FORMAT_FLAC | SF_FORMAT_PCM_16 : kWav;
        testing::WriteSound(path, {format, 48000, name.starts_with("six") ? 6 : 1, 20000, testing::Sine(440, 48000, 0.3)});
        auto bytes = testing::ReadBytes(path);
        if (spoil) spoil(bytes);
        testing::WriteBytes(path, bytes);

        std::string error;
        if (auto opened = AudioReader::Open(path); !opened.reader) {
            error = opened.error;
        } else {
            testing::MemorySink sink;
            error = Convert(*opened.reader, PlanConversion(opened.reader->info(), {}), sink).error;
        }
        EXPECT_TRUE(error.starts_with(name + ": ")) << error;
        EXPECT_NE(error.find(says), std::string::npos) << error;
    }
}

// The file source answers from its own buffer: reads across its edge, longer than it, going
// back, and past the end give exactly the bytes a buffer in memory gives.
TEST(FileSourceTest, ReadsWhatMemoryHolds) {
    TempDir dir;
    std::vector<std::uint8_t> bytes(700001);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 2654435761u >> 13);
    testing::WriteBytes(dir({"f"}), bytes);
    auto file = FileSource::Open(dir({"f"}));
    ASSERT_TRUE(file);
    MemorySource memory(bytes);
    const std::pair<std::uint64_t, std::size_t> reads[] = {
        {0, 44}, {44, 8190}, {262100, 200}, {100, 300000}, {5, 10}, {699990, 100}, {700001, 4}, {1u << 30, 4}};
    for (const auto& [offset, length] : reads) {
        std::vector<std::uint8_t> a(length, 1), b(length, 2);
        const std::size_t got = file->read(offset, a);
        ASSERT_EQ(got, memory.read(offset, b)) << offset;
        a.resize(got);
        b.resize(got);
        EXPECT_EQ(a, b) << offset;
    }
}

// A step per bucket on the left channel, silence on the right: each bucket's range spans the
// step and zero, whatever the container.
TEST(PeaksTest, BucketRangesAndLoopPlaces) {
    for (const int format : {kWav, SF_FORMAT_AIFF | SF_FORMAT_PCM_24, SF_FORMAT_FLAC | SF_FORMAT_PCM_16}) {
        TempDir dir;
        const std::string path = dir({"steps.snd"});
        testing::WriteSound(path, {format, 44100, 2, 1000, [](std::size_t frame, int channel) {
                                       return channel == 0 ? (static_cast<double>(frame / 100) - 5) / 10 : 0.0;
                                   }});
        const bool wav = format == kWav;
        if (wav) testing::AppendChunk(path, "smpl", testing::SamplerBody(60, 0, std::pair{150u, 949u}));
        const Peaks peaks = ComputePeaks(path, 10);
        ASSERT_TRUE(peaks.error.empty()) << peaks.error;
        ASSERT_EQ(peaks.low.size(), 10u);
        for (std::size_t b = 0; b < 10; ++b) {
            const double step = (static_cast<double>(b) - 5) / 10;
            EXPECT_NEAR(peaks.low[b], std::min(step, 0.0), 1e-3) << format << " bucket " << b;
            EXPECT_NEAR(peaks.high[b], std::max(step, 0.0), 1e-3) << format << " bucket " << b;
        }
        if (wav) {
            ASSERT_TRUE(peaks.loop);
            EXPECT_EQ(std::make_pair(peaks.loopStartBucket, peaks.loopEndBucket), std::make_pair(std::size_t{1}, std::size_t{9}));
        }
    }
    // A frame past the end (a loop a file declares beyond its sound) lands in the last bucket.
    EXPECT_EQ(PeakBucket(999, 1000, 10), 9u);
    EXPECT_EQ(PeakBucket(5000, 1000, 10), 9u);
}

}  // namespace
}  // namespace velmorant::audio
