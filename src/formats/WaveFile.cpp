#include "formats/WaveFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/Bytes.h"
#include "core/File.h"
#include "core/FileHandle.h"
#include "core/Text.h"

namespace velmorant::formats {

namespace {

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

WaveFacts ReadWaveFrom(WaveSource& source) {
    WaveFacts facts;
    // Each fixed test first needs its bytes; a file ending early is refused, never over-read.
    const auto refuse = [&facts](WaveResult result, std::size_t offset) {
        facts.result = result;
        facts.problemOffset = offset;
        return facts;
    };
    const std::vector<std::uint8_t> head = source.read(0, kWaveSubFormat + 2);
    const core::ByteReader reader(head);
    if (!reader.has(kWaveRiffTag, 4)) return refuse(WaveResult::kTooShort, kWaveRiffTag);
    if (!TagAt(reader, kWaveRiffTag, "RIFF")) return refuse(WaveResult::kNotRiff, kWaveRiffTag);
    if (!reader.has(kWaveWaveTag, 4)) return refuse(WaveResult::kTooShort, kWaveWaveTag);
    if (!TagAt(reader, kWaveWaveTag, "WAVE")) return refuse(WaveResult::kNotWave, kWaveWaveTag);
    if (!reader.has(kWaveFmtTag, 3)) return refuse(WaveResult::kTooShort, kWaveFmtTag);
    if (!TagAt(reader, kWaveFmtTag, "fmt")) return refuse(WaveResult::kNotFmt, kWaveFmtTag);

    const auto bits = reader.u16le(kWaveBitsPerSample);
    const auto rate = reader.u32le(kWaveSampleRate);
    const auto channels = reader.u16le(kWaveChannels);
    const auto format = reader.u16le(kWaveFormatTag);
    if (!bits || !rate || !channels || !format) {
        return refuse(WaveResult::kTooShort, std::min(head.size(), kWaveFixedHeadSize));
    }
    facts.bitsPerSample = *bits;
    facts.sampleRate = *rate;
    facts.channels = static_cast<std::int16_t>(*channels);
    // Compressed sound read as 16-bit samples would be noise: only plain PCM is taken.
    facts.format = *format;
    std::size_t formatAt = kWaveFormatTag;
    if (facts.format == kWaveFormatExtensible &&
        reader.u32le(kWaveFmtLength).value_or(0) >= kWaveExtensibleFmtLength) {
        facts.format = reader.u16le(kWaveSubFormat).value_or(kWaveFormatExtensible);
        formatAt = kWaveSubFormat;
    }
    if (facts.format != kWaveFormatPcm) return refuse(WaveResult::kNotPcm, formatAt);
    if (facts.bitsPerSample != 16) return refuse(WaveResult::kNotSixteenBits, kWaveBitsPerSample);
    if (facts.sampleRate != 44100) return refuse(WaveResult::kNot44100, kWaveSampleRate);
    if (facts.channels > 2) return refuse(WaveResult::kTooManyChannels, kWaveChannels);
    if (facts.channels <= 0) return refuse(WaveResult::kNoChannels, kWaveChannels);

    // `chunk` holds the bytes of a chunk from its tag on (as many as the file has).
    const auto takeData = [&](std::uint64_t at, const core::ByteReader& chunk) {
        facts.hasData = true;
        facts.dataOffset = static_cast<std::size_t>(at + kWaveChunkHeadSize);
        facts.dataLength = chunk.u32le(4).value_or(0);
    };
    const auto takeSampler = [&](const core::ByteReader& chunk) {
        if (!chunk.has(0, kSamplerHeadSize)) {
            return;  // a head cut off by the end of the file is no chunk
        }
        facts.hasSampler = true;
        facts.unityNote = chunk.u32le(kSamplerUnityNote).value_or(0);
        facts.loopCount = static_cast<std::int32_t>(chunk.u32le(kSamplerLoopCount).value_or(0));
        facts.hasLoop = facts.loopCount > 0 && chunk.has(kSamplerHeadSize, kLoopRecordSize);
        facts.loopStart = facts.hasLoop ? chunk.u32le(kSamplerLoopStart).value_or(0) : 0;
        facts.loopEnd = facts.hasLoop ? chunk.u32le(kSamplerLoopEnd).value_or(0) : 0;
    };

    // The chunks are followed from the format chunk on, so the bytes "data" or "smpl" inside
    // the sound are sound. Only where the chunk list is broken before a data chunk are the
    // tags searched for at every byte position, the last occurrence winning.
    bool foundData = false;
    for (std::uint64_t at = kWaveFirstChunk; at + kWaveChunkHeadSize <= source.size();) {
        const std::vector<std::uint8_t> tag = source.read(at, kWaveChunkHeadSize);
        const core::ByteReader chunk(tag);
        if (!chunk.has(0, kWaveChunkHeadSize)) {
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
        at += kWaveChunkHeadSize + size + (size & 1u);
    }
    if (!foundData) {
        facts.hasSampler = facts.hasLoop = false;
        facts.loopStart = facts.loopEnd = 0;
        const std::span<const std::uint8_t> file = source.whole();
        if (file.size() != source.size()) return refuse(WaveResult::kTooShort, file.size());  // the file shrank
        ForEachTag(file, "data", [&](std::size_t at) { takeData(at, core::ByteReader(file.subspan(at))); });
        ForEachTag(file, "smpl", [&](std::size_t at) { takeSampler(core::ByteReader(file.subspan(at))); });
    }

    if (!facts.hasData) return refuse(WaveResult::kNoDataChunk, kWaveFirstChunk);
    if (facts.dataOffset > source.size() || source.size() - facts.dataOffset < facts.dataLength) {
        return refuse(WaveResult::kDataPastEnd, facts.dataOffset - 4);
    }
    return facts;
}

}  // namespace

WaveFacts ReadWave(std::span<const std::uint8_t> file) {
    MemorySource source(file);
    return ReadWaveFrom(source);
}

WaveFacts ReadWaveFile(const std::string& path) {
    WaveFacts facts;
    facts.result = WaveResult::kCannotRead;
    std::error_code ec;
    const std::uint64_t size = std::filesystem::file_size(core::NativePath(path), ec);
    if (ec || size > kMaxWaveFileBytes) {
        return facts;
    }
    const core::FilePtr file(core::OpenFile(path, "rb"));
    if (!file) {
        return facts;
    }
    FileSource source(file.get(), size);
    return ReadWaveFrom(source);
}

const char* WaveFormatName(std::uint16_t format) {
    switch (format) {
        case 0x0001: return "PCM";
        case 0x0002: return "Microsoft ADPCM";
        case 0x0003: return "IEEE float";
        case 0x0006: return "A-law";
        case 0x0007: return "mu-law";
        case 0x0011: return "IMA ADPCM";
        case 0x0031: return "GSM 6.10";
        case 0x0055: return "MPEG layer 3";
        case kWaveFormatExtensible: return "extensible";
        default: return "unknown";
    }
}

std::string WaveResultText(WaveResult result) {
    switch (result) {
        case WaveResult::kOk: return "the WAV file is usable";
        case WaveResult::kNotRiff: return "the file is not a RIFF file";
        case WaveResult::kNotWave: return "the file is not a WAVE file";
        case WaveResult::kNotFmt: return "the format chunk is not the first chunk";
        case WaveResult::kNotPcm: return "only uncompressed PCM samples are supported";
        case WaveResult::kNotSixteenBits: return "only 16-bit samples are supported";
        case WaveResult::kNot44100: return "only 44100 Hz samples are supported";
        case WaveResult::kTooManyChannels: return "samples must be mono or stereo (more than 2 channels)";
        case WaveResult::kTooShort: return "the file ends before the WAV header does";
        case WaveResult::kNoChannels: return "the channel count is 0 or below";
        case WaveResult::kNoDataChunk: return "the file has no \"data\" chunk";
        case WaveResult::kDataPastEnd: return "the \"data\" chunk runs past the end of the file";
        case WaveResult::kCannotRead: return "the WAV file cannot be read (or is larger than 2 GiB)";
    }
    return "unknown WAV result";
}

const char* WaveResultField(WaveResult result) {
    switch (result) {
        case WaveResult::kNotRiff: return "RIFF tag";
        case WaveResult::kNotWave: return "WAVE tag";
        case WaveResult::kNotFmt: return "format chunk tag";
        case WaveResult::kNotPcm: return "format tag";
        case WaveResult::kNotSixteenBits: return "bits per sample";
        case WaveResult::kNot44100: return "sample rate";
        case WaveResult::kTooManyChannels:
        case WaveResult::kNoChannels: return "channel count";
        case WaveResult::kTooShort: return "header";
        case WaveResult::kNoDataChunk: return "chunk list";
        case WaveResult::kDataPastEnd: return "data length";
        case WaveResult::kOk:
        case WaveResult::kCannotRead: break;
    }
    return "file";
}

std::string DescribeWaveProblem(const std::string& path, const WaveFacts& facts) {
    if (facts.result == WaveResult::kNotPcm) {
        return core::Format("%s: offset %zu, %s: %s (0x%04X, %s)", path.c_str(), facts.problemOffset,
                            WaveResultField(facts.result), WaveResultText(facts.result).c_str(), facts.format,
                            WaveFormatName(facts.format));
    }
    return core::Format("%s: offset %zu, %s: %s", path.c_str(), facts.problemOffset, WaveResultField(facts.result),
                        WaveResultText(facts.result).c_str());
}

}  // namespace velmorant::formats
