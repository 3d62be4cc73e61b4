#include <gtest/gtest.h>
#include <sndfile.h>

#include <fstream>

#include "support/AudioFixtures.h"
#include "audio/Conversion.h"
#include "core/Bytes.h"
#include "support/TempDir.h"

namespace velmorant::audio {
namespace {

using testing::TempDir;

std::vector<std::uint8_t> InstBody(int note, int fine) {
    return {static_cast<std::uint8_t>(note), static_cast<std::uint8_t>(static_cast<std::int8_t>(fine)), 0, 0, 127, 1, 127};
}

// The metadata as read from chunks appended to a file that libsndfile wrote.
struct MetadataCase {
    const char* name;
    int format;
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> chunks;
    std::optional<int> samplerKey;
    double samplerCents;
    std::optional<int> instrumentKey;
    std::optional<LoopPoints> loop;
};

class MetadataTest : public ::testing::TestWithParam<MetadataCase> {};

TEST_P(MetadataTest, ReadsKeysFineTuneAndLoop) {
    const MetadataCase& c = GetParam();
    TempDir dir;
    const std::string path = dir({std::string(c.name) + ((c.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_AIFF ? ".aiff" : ".wav")});
    testing::WriteSound(path, {c.format, 44100, 1, 2000, testing::Sine(440, 44100, 0.2)});
    for (const auto& [id, body] : c.chunks) testing::AppendChunk(path, id, body);
    const auto opened = AudioReader::Open(path);
    ASSERT_TRUE(opened.reader) << opened.error;
    const ContainerFacts& facts = opened.reader->info().facts;
    EXPECT_EQ(facts.samplerKey, c.samplerKey);
    EXPECT_NEAR(facts.samplerFineCents, c.samplerCents, 0.01);
    EXPECT_EQ(facts.instrumentKey, c.instrumentKey);
    EXPECT_EQ(facts.loop, c.loop);
}

constexpr int kWav = SF_FORMAT_WAV | SF_FORMAT_PCM_16;

INSTANTIATE_TEST_SUITE_P(
    Chunks, MetadataTest,
    ::testing::Values(
        MetadataCase{"none", kWav, {}, std::nullopt, 0, std::nullopt, std::nullopt},
        MetadataCase{"unity", kWav, {{"smpl", testing::SamplerBody(60, 0, std::nullopt)}}, 60, 0, std::nullopt, std::nullopt},
        // -10 cents on 60 is stored as 59 plus 90 cents.
        MetadataCase{"flat", kWav, {{"smpl", testing::SamplerBody(59, 0xE6666666u, std::nullopt)}}, 60, -10, std::nullopt,
                     std::nullopt},
        MetadataCase{"sharp", kWav, {{"smpl", testing::SamplerBody(60, 0x40000000u, std::nullopt)}}, 60, 25, std::nullopt,
                     std::nullopt},
        MetadataCase{"outside", kWav, {{"smpl", testing::SamplerBody(200, 0, std::nullopt)}}, std::nullopt, 0,
                     std::nullopt, std::nullopt},
        MetadataCase{"loop", kWav, {{"smpl", testing::SamplerBody(48, 0, {{100, 1999}})}}, 48, 0, std::nullopt,
                     LoopPoints{100, 1999}},
        MetadataCase{"inst", kWav, {{"inst", InstBody(62, -5)}}, std::nullopt, 0, 62, std::nullopt},
        MetadataCase{"both", kWav, {{"inst", InstBody(62, 0)}, {"smpl", testing::SamplerBody(64, 0, std::nullopt)}}, 64, 0,
                     62, std::nullopt}),
    [](const auto& row) { return std::string(row.param.name); });

// Broken files: each refused with a message that names the file, before or while reading.
struct BadCase {
    const char* file;
    std::function<void(std::vector<std::uint8_t>&)> spoil;  // applied to a sound 16-bit mono WAV
    const char* says;
};

// Offsets in the canonical 44-byte head libsndfile writes for a plain PCM WAV.
void PatchLe32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) { core::ByteWriter(b).u32le(at, v); }
void PatchLe16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) { core::ByteWriter(b).u16le(at, v); }

class BadInputTest : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadInputTest, RefusesWithTheFileNamed) {
    const BadCase& c = GetParam();
    TempDir dir;
    const std::string path = dir({c.file});
    const std::string name(c.file);
    const bool aiff = name.ends_with(".aiff");
    const bool flac = name.ends_with(".flac");
    const int format = aiff ? SF_FORMAT_AIFF | SF_FORMAT_PCM_16 : flac ? SF_FORMAT_FLAC | SF_FORMAT_PCM_16 : kWav;
    testing::WriteSound(path, {format, 48000, name.starts_with("six") ? 6 : 1, 20000, testing::Sine(440, 48000, 0.3)});
    auto bytes = testing::ReadBytes(path);
    std::vector<std::uint8_t> spoilt(bytes.begin(), bytes.end());
    if (c.spoil) c.spoil(spoilt);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(spoilt.data()), static_cast<std::streamsize>(spoilt.size()));

    std::string error;
    if (auto opened = AudioReader::Open(path); !opened.reader) {
        error = opened.error;
    } else {
        testing::MemorySink sink;
        error = Convert(*opened.reader, PlanConversion(opened.reader->info(), {}), sink).error;
    }
    EXPECT_TRUE(error.starts_with(name + ": ")) << error;
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadInputTest,
    ::testing::Values(
        BadCase{"cut.wav", [](auto& b) { b.resize(b.size() / 2); }, "\"data\" chunk declares 40000 bytes"},
        BadCase{"liar.wav", [](auto& b) { PatchLe32(b, 40, 40100); }, "declares 40100 bytes but only 40000"},
        BadCase{"huge.wav", [](auto& b) { PatchLe32(b, 40, 0xFFFFFFF0u); }, "declares 4294967280 bytes"},
        BadCase{"silent.wav", [](auto& b) { PatchLe16(b, 22, 0); }, "declares 0 channels"},
        BadCase{"zero.wav", [](auto& b) { PatchLe32(b, 24, 0); }, "a sample rate of 0 Hz"},
        BadCase{"text.wav", [](auto& b) { b.assign({'h', 'e', 'l', 'l', 'o', '\n'}); }, "not a WAV, AIFF or FLAC file"},
        BadCase{"empty.wav", [](auto& b) { b.clear(); }, "not a WAV, AIFF or FLAC file"},
        BadCase{"cut.aiff", [](auto& b) { b.resize(b.size() - 1000); }, "\"SSND\" chunk declares"},
        BadCase{"cut.flac", [](auto& b) { b.resize(b.size() / 2); }, "of its 20000 frames"},
        BadCase{"six.wav", nullptr, "has 6 channels"}),
    [](const auto& row) { return std::string(row.param.file).replace(std::string(row.param.file).find('.'), 1, "_"); });

// The file source answers from its own buffer: reads across its edge, longer than it, going
// back, and past the end give exactly the bytes a buffer in memory gives.
TEST(FileSourceTest, ReadsWhatMemoryHolds) {
    TempDir dir;
    std::vector<std::uint8_t> bytes(700001);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 2654435761u >> 13);
    std::ofstream(dir({"f"}), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 700001);
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

}  // namespace
}  // namespace velmorant::audio
