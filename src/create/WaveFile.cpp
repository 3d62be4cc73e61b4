#include "create/WaveFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>
#include <system_error>

#include "core/Bytes.h"
#include "core/Debug.h"
#include "core/File.h"
#include "core/Text.h"

namespace velmorant::create {

namespace {

constexpr std::size_t kSamplerHeadSize = 44;
constexpr std::size_t kLoopRecordSize = 24;

bool TagAt(const core::ByteReader& reader, std::size_t offset, std::string_view tag) {
    const auto text = reader.fixedText(offset, tag.size());
    return text && *text == tag;
}

// Every position from 0 through size - 9 where the tag starts, visited in file order.
// Chunk boundaries are not followed: four matching bytes inside the sound count too.
template <typename Visit>
void ForEachTag(std::span<const std::uint8_t> file, std::string_view tag, Visit visit) {
    if (file.size() < 9) {
        return;
    }
    const std::size_t last = file.size() - 9;
    const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
    for (std::size_t at = text.find(tag); at != std::string_view::npos && at <= last; at = text.find(tag, at + 1)) {
        visit(at);
    }
}

void WriteWordSwapped(core::ByteWriter& writer, std::size_t offset, std::uint32_t value) {
    // The instrument stores these three counts low half first, each half big-endian.
    writer.u16be(offset, static_cast<std::uint16_t>(value & 0xFFFFu));
    writer.u16be(offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::int32_t StatusOf(WaveCheck check) {
    switch (check) {
        case WaveCheck::kOk: return kConvertWritten;
        case WaveCheck::kNotRiff: return kConvertNotRiff;
        case WaveCheck::kNotWave: return kConvertNotWave;
        case WaveCheck::kNotFmt: return kConvertNotFmt;
        case WaveCheck::kNotSixteenBits: return kConvertNotSixteenBits;
        case WaveCheck::kNot44100: return kConvertNot44100;
        case WaveCheck::kTooManyChannels: return kConvertTooManyChannels;
        case WaveCheck::kTooShort: return kConvertTooShort;
        case WaveCheck::kNoChannels: return kConvertNoChannels;
        case WaveCheck::kNoDataChunk: return kConvertNoDataChunk;
        case WaveCheck::kDataPastEnd: return kConvertDataPastEnd;
    }
    return kConvertCannotRead;
}

}  // namespace

namespace {

// Where the WAV bytes come from: a buffer, or a file read piece by piece so that only the
// chunk heads are read when the chunk list is sound.
class WaveSource {
public:
    virtual ~WaveSource() = default;
    virtual std::uint64_t size() const = 0;
    // Up to n bytes from offset; fewer at the end of the file.
    virtual std::vector<std::uint8_t> read(std::uint64_t offset, std::size_t n) = 0;
    // Every byte, for the tag search; shorter than size() when the file cannot be read.
    virtual std::span<const std::uint8_t> whole() = 0;
};

class MemorySource final : public WaveSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    std::vector<std::uint8_t> read(std::uint64_t offset, std::size_t n) override {
        if (offset >= bytes_.size()) {
            return {};
        }
        const auto piece = bytes_.subspan(static_cast<std::size_t>(offset));
        const auto taken = piece.first(std::min(n, piece.size()));
        return {taken.begin(), taken.end()};
    }
    std::span<const std::uint8_t> whole() override { return bytes_; }

private:
    std::span<const std::uint8_t> bytes_;
};

class FileSource final : public WaveSource {
public:
    FileSource(std::FILE* file, std::uint64_t size) : file_(file), size_(size) {}
    std::uint64_t size() const override { return size_; }
    std::vector<std::uint8_t> read(std::uint64_t offset, std::size_t n) override {
        const std::uint64_t left = size_ - std::min(offset, size_);
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min<std::uint64_t>(n, left)));
        if (bytes.empty() || std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) {
            return {};
        }
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file_));
        return bytes;
    }
    std::span<const std::uint8_t> whole() override {
        if (!loaded_) {
            loaded_ = true;
            all_ = read(0, static_cast<std::size_t>(size_));
        }
        return all_;
    }

private:
    std::FILE* file_;
    std::uint64_t size_;
    bool loaded_ = false;
    std::vector<std::uint8_t> all_;
};

WaveFacts ReadWaveFactsFrom(WaveSource& source) {
    WaveFacts facts;
    // Each fixed test first needs its bytes; a file ending early is refused, never over-read.
    const auto refuse = [&facts](WaveCheck check) {
        facts.check = check;
        return facts;
    };
    const std::vector<std::uint8_t> head = source.read(0, 36);
    const core::ByteReader reader(head);
    if (!reader.has(0, 4)) return refuse(WaveCheck::kTooShort);
    if (!TagAt(reader, 0, "RIFF")) return refuse(WaveCheck::kNotRiff);
    if (!reader.has(8, 4)) return refuse(WaveCheck::kTooShort);
    if (!TagAt(reader, 8, "WAVE")) return refuse(WaveCheck::kNotWave);
    if (!reader.has(12, 3)) return refuse(WaveCheck::kTooShort);
    if (!TagAt(reader, 12, "fmt")) return refuse(WaveCheck::kNotFmt);

    const auto bits = reader.u16le(34);
    const auto rate = reader.u32le(24);
    const auto channels = reader.u16le(22);
    if (!bits || !rate || !channels) return refuse(WaveCheck::kTooShort);
    facts.bitsPerSample = *bits;
    facts.sampleRate = *rate;
    facts.channels = static_cast<std::int16_t>(*channels);
    if (facts.bitsPerSample != 16) return refuse(WaveCheck::kNotSixteenBits);
    if (facts.sampleRate != 44100) return refuse(WaveCheck::kNot44100);
    if (facts.channels > 2) return refuse(WaveCheck::kTooManyChannels);
    if (facts.channels <= 0) return refuse(WaveCheck::kNoChannels);

    // `chunk` holds the bytes of a chunk from its tag on (as many as the file has).
    const auto takeData = [&](std::uint64_t at, const core::ByteReader& chunk) {
        facts.hasData = true;
        facts.dataOffset = static_cast<std::size_t>(at + 8);
        facts.dataLength = chunk.u32le(4).value_or(0);
    };
    const auto takeSampler = [&](const core::ByteReader& chunk) {
        if (!chunk.has(0, kSamplerHeadSize)) {
            return;  // a head cut off by the end of the file is no chunk
        }
        facts.hasSampler = true;
        facts.unityNote = chunk.u32le(20).value_or(0);
        facts.loopCount = static_cast<std::int32_t>(chunk.u32le(36).value_or(0));
        facts.hasLoop = facts.loopCount > 0 && chunk.has(kSamplerHeadSize, kLoopRecordSize);
        facts.loopStart = facts.hasLoop ? chunk.u32le(52).value_or(0) : 0;
        facts.loopEnd = facts.hasLoop ? chunk.u32le(56).value_or(0) : 0;
    };

    // The chunks are followed from the format chunk on, so the bytes "data" or "smpl" inside
    // the sound are sound. Only where the chunk list is broken before a data chunk are the
    // tags searched for at every byte position, the last occurrence winning.
    bool foundData = false;
    for (std::uint64_t at = 12; at + 8 <= source.size();) {
        const std::vector<std::uint8_t> tag = source.read(at, 8);
        const core::ByteReader chunk(tag);
        if (!chunk.has(0, 8)) {
            break;
        }
        const std::uint32_t size = chunk.u32le(4).value_or(0);
        if (!foundData && TagAt(chunk, 0, "data")) {
            takeData(at, chunk);
            foundData = true;
        } else if (TagAt(chunk, 0, "smpl")) {
            const std::vector<std::uint8_t> sampler = source.read(at, kSamplerHeadSize + kLoopRecordSize);
            takeSampler(core::ByteReader(sampler));
        }
        at += 8ull + size + (size & 1u);
    }
    if (!foundData) {
        facts.hasSampler = facts.hasLoop = false;
        facts.loopStart = facts.loopEnd = 0;
        const std::span<const std::uint8_t> file = source.whole();
        if (file.size() != source.size()) return refuse(WaveCheck::kTooShort);  // the file shrank
        ForEachTag(file, "data", [&](std::size_t at) { takeData(at, core::ByteReader(file.subspan(at))); });
        ForEachTag(file, "smpl", [&](std::size_t at) { takeSampler(core::ByteReader(file.subspan(at))); });
    }

    if (!facts.hasData) return refuse(WaveCheck::kNoDataChunk);
    if (facts.dataOffset > source.size() || source.size() - facts.dataOffset < facts.dataLength) {
        return refuse(WaveCheck::kDataPastEnd);
    }
    return facts;
}

}  // namespace

WaveFacts ReadWaveFacts(std::span<const std::uint8_t> file) {
    MemorySource source(file);
    return ReadWaveFactsFrom(source);
}

std::optional<WaveFacts> ReadWaveFactsFromFile(const std::string& path) {
    std::error_code ec;
    const std::uint64_t size = std::filesystem::file_size(std::filesystem::path(path), ec);
    if (ec || size > kMaxWaveFileBytes) {
        return std::nullopt;
    }
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    const std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return std::nullopt;
    }
    FileSource source(file.get(), size);
    return ReadWaveFactsFrom(source);
}

std::array<std::uint8_t, kSampleHeaderSize> MakeSampleHeader(const WaveFacts& facts,
                                                             std::optional<std::uint32_t> rootKey) {
    std::array<std::uint8_t, kSampleHeaderSize> header{};
    core::ByteWriter writer(header);
    writer.fixedText(0, "S80s", 4, '\0');
    writer.u32be(4, facts.dataLength + 40u);
    writer.u8(12, 0x02);
    writer.u8(13, facts.channels == 2 ? 1 : 0);
    writer.u8(15, 60);
    writer.u16be(16, 44100);
    writer.fixedText(20, "neno", 4, '\0');
    const std::uint32_t frameBytes = 2u * static_cast<std::uint32_t>(facts.channels > 0 ? facts.channels : 1);
    WriteWordSwapped(writer, 28, facts.dataLength / frameBytes);
    if (facts.hasSampler) {
        writer.u8(15, static_cast<std::uint8_t>(facts.unityNote & 0xFFu));
        if (facts.hasLoop) {
            WriteWordSwapped(writer, 32, facts.loopStart);
            WriteWordSwapped(writer, 36, facts.loopEnd);
        }
    }
    // The caller's key is applied last so that it wins over the WAV's own.
    if (rootKey && *rootKey >= 1 && *rootKey <= 128) {
        writer.u8(15, static_cast<std::uint8_t>(*rootKey & 0xFFu));
    }
    return header;
}

SampleFileParts PrepareSampleFile(std::span<std::uint8_t> wav, std::optional<std::uint32_t> rootKey) {
    SampleFileParts parts;
    const WaveFacts facts = ReadWaveFacts(wav);
    if (facts.check != WaveCheck::kOk) {
        parts.status = StatusOf(facts.check);
        return parts;
    }
    parts.header = MakeSampleHeader(facts, rootKey);
    // An odd length also writes the byte after the payload (the chunk's pad byte), paired
    // with the last payload byte; a pad byte missing at the end of the file counts as zero.
    const std::size_t length = facts.dataLength;
    const std::size_t even = length & ~std::size_t{1};
    const core::ByteReader reader(wav);
    if (length % 2 != 0) {
        const std::uint8_t last = reader.u8(facts.dataOffset + even).value_or(0);
        const std::uint8_t pad = reader.u8(facts.dataOffset + length).value_or(0);
        parts.tail = {pad, last};
        parts.tailSize = 2;
    }
    // ReadWaveFacts checked that the payload lies inside the file.
    const std::span<std::uint8_t> payload = wav.subspan(facts.dataOffset, even);
    core::PairSwap(payload);
    parts.payload = payload;
    return parts;
}

std::int32_t ConvertWaveToSample(const std::string& source, const std::string& destination,
                                 std::optional<std::uint32_t> rootKey) {
    core::DebugPrint("Converting file : %s to %s\n", source.c_str(), destination.c_str());
    if (!core::FileExists(source)) {
        return kConvertNoSource;
    }
    const std::optional<WaveFacts> facts = ReadWaveFactsFromFile(source);
    if (!facts) {
        return kConvertCannotRead;
    }
    if (facts->check != WaveCheck::kOk) {
        return StatusOf(facts->check);
    }
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    const std::unique_ptr<std::FILE, Closer> file(std::fopen(source.c_str(), "rb"));
    if (!file || std::fseek(file.get(), static_cast<long>(facts->dataOffset), SEEK_SET) != 0) {
        return kConvertCannotRead;
    }
    std::setvbuf(file.get(), nullptr, _IONBF, 0);

    core::AtomicFileWriter out(destination);
    const auto header = MakeSampleHeader(*facts, rootKey);
    if (!out.ok() || !out.Write(header)) {
        return kConvertCannotCreate;
    }
    // The sound streams through one buffer small enough to stay in the cache while it is swapped.
    constexpr std::size_t kBlock = 1 << 20;
    static thread_local std::vector<std::uint8_t> block(kBlock);
    const std::size_t length = facts->dataLength;
    const std::size_t even = length & ~std::size_t{1};
    std::size_t done = 0;
    while (done < even) {
        const std::size_t want = std::min(kBlock, even - done);
        // The file may have shrunk since its chunks were read: never write a short sound.
        if (std::fread(block.data(), 1, want, file.get()) != want) {
            return kConvertCannotRead;
        }
        const std::span<std::uint8_t> piece(block.data(), want);
        core::PairSwap(piece);
        if (!out.Write(piece)) {
            return kConvertCannotCreate;
        }
        done += want;
    }
    // An odd length also writes the byte after the payload (the chunk's pad byte), paired
    // with the last payload byte; a pad byte missing at the end of the file counts as zero.
    if (length % 2 != 0) {
        std::array<std::uint8_t, 2> last{0, 0};
        const std::size_t got = std::fread(last.data(), 1, 2, file.get());
        if (got == 0) {
            return kConvertCannotRead;
        }
        const std::array<std::uint8_t, 2> tail{last[1], last[0]};
        if (!out.Write(tail)) {
            return kConvertCannotCreate;
        }
    }
    if (!out.Commit()) {
        return kConvertCannotCreate;
    }
    return kConvertWritten;
}

std::string ConversionStatusText(std::int32_t status) {
    switch (status) {
        case kConvertWritten: return "the sample file was written";
        case kConvertNoSource: return "the WAV file does not exist";
        case kConvertNotRiff: return "the file is not a RIFF file";
        case kConvertNotWave: return "the file is not a WAVE file";
        case kConvertNotFmt: return "the format chunk is not the first chunk";
        case kConvertNotSixteenBits: return "only 16-bit samples are supported";
        case kConvertNot44100: return "only 44100 Hz samples are supported";
        case kConvertTooManyChannels: return "samples must be mono or stereo (more than 2 channels)";
        case kConvertCannotRead: return "the WAV file cannot be read (or is larger than 2 GiB)";
        case kConvertTooShort: return "the file ends before the WAV header does";
        case kConvertNoChannels: return "the channel count is 0 or below";
        case kConvertNoDataChunk: return "the file has no \"data\" chunk";
        case kConvertDataPastEnd: return "the \"data\" chunk runs past the end of the file";
        case kConvertCannotCreate: return "the sample file cannot be created";
        default: return core::Format("unknown status %i", status);
    }
}

}  // namespace velmorant::create
