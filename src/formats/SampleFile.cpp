#include "formats/SampleFile.h"

#include <algorithm>
#include <vector>

#include "core/AtomicWrite.h"
#include "core/Bytes.h"
#include "core/File.h"
#include "core/Text.h"

namespace velmorant::formats {

namespace {

// The instrument stores the frame and loop counts low half first, each half big-endian.
void WriteWordSwapped(core::ByteWriter& writer, std::size_t offset, std::uint32_t value) {
    writer.u16be(offset, static_cast<std::uint16_t>(value & 0xFFFFu));
    writer.u16be(offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::uint32_t ReadWordSwapped(const core::ByteReader& reader, std::size_t offset) {
    const std::uint32_t low = reader.u16be(offset).value_or(0);
    const std::uint32_t high = reader.u16be(offset + 2).value_or(0);
    return low | (high << 16);
}

}  // namespace

std::array<std::uint8_t, kSampleHeaderSize> EncodeSampleHeader(const SampleHeader& header) {
    std::array<std::uint8_t, kSampleHeaderSize> bytes{};
    core::ByteWriter writer(bytes);
    writer.fixedText(0, kSampleMagic, 4, '\0');
    writer.u32be(kSampleLength, header.soundLength + kSampleLengthBias);
    writer.u8(12, 0x02);
    writer.u8(kSampleStereo, header.stereo ? 1 : 0);
    writer.u8(kSampleRootKey, header.rootKey);
    writer.u16be(kSampleRate, header.sampleRate);
    writer.fixedText(20, "neno", 4, '\0');
    WriteWordSwapped(writer, kSampleFrames, header.frames);
    WriteWordSwapped(writer, kSampleLoopStart, header.loopStart);
    WriteWordSwapped(writer, kSampleLoopEnd, header.loopEnd);
    return bytes;
}

SampleRead ReadSampleHeader(std::span<const std::uint8_t> file) {
    SampleRead read;
    const auto refuse = [&read](SampleResult result, std::size_t offset, const char* field) {
        read.result = result;
        read.problemOffset = offset;
        read.field = field;
        return read;
    };
    const core::ByteReader reader(file);
    if (!reader.has(0, kSampleHeaderSize)) {
        return refuse(SampleResult::kTooShort, file.size(), "header");
    }
    if (reader.fixedText(0, 4) != kSampleMagic) {
        return refuse(SampleResult::kNotSample, 0, "magic");
    }
    const std::uint32_t length = reader.u32be(kSampleLength).value_or(0);
    if (length < kSampleLengthBias) {
        return refuse(SampleResult::kBadLength, kSampleLength, "length");
    }
    SampleHeader& header = read.header;
    header.soundLength = length - kSampleLengthBias;
    if (file.size() - kSampleHeaderSize < StoredSoundBytes(header.soundLength)) {
        return refuse(SampleResult::kSoundPastEnd, kSampleLength, "length");
    }
    header.stereo = reader.u8(kSampleStereo).value_or(0) != 0;
    header.rootKey = reader.u8(kSampleRootKey).value_or(0);
    header.sampleRate = reader.u16be(kSampleRate).value_or(0);
    header.frames = ReadWordSwapped(reader, kSampleFrames);
    header.loopStart = ReadWordSwapped(reader, kSampleLoopStart);
    header.loopEnd = ReadWordSwapped(reader, kSampleLoopEnd);
    return read;
}

SampleRead ReadSampleFile(const std::string& path) {
    const auto bytes = core::ReadWholeFile(path, std::uint64_t{kSampleHeaderSize} + 0xFFFFFFFFu);
    if (!bytes) {
        SampleRead read;
        read.result = SampleResult::kCannotOpen;
        read.field = "file";
        return read;
    }
    return ReadSampleHeader(*bytes);
}

std::string SampleResultText(SampleResult result) {
    switch (result) {
        case SampleResult::kOk: return "the sample file is sound";
        case SampleResult::kCannotOpen: return "the sample file cannot be opened";
        case SampleResult::kTooShort: return "the file ends inside the sample header";
        case SampleResult::kNotSample: return "the file is not a sample file (no \"S80s\")";
        case SampleResult::kBadLength: return "the length is below the header's 40 bytes";
        case SampleResult::kSoundPastEnd: return "the sound runs past the end of the file";
        case SampleResult::kCannotRead: return "the sound to store cannot be read";
        case SampleResult::kCannotCreate: return "the sample file cannot be created";
    }
    return "unknown sample file result";
}

std::string DescribeSampleProblem(const std::string& path, const SampleRead& read) {
    return core::Format("%s: offset %zu, %s: %s", path.c_str(), read.problemOffset, read.field,
                        SampleResultText(read.result).c_str());
}

SampleResult StreamSampleFile(const SampleHeader& header, const SoundReader& read, const SampleWriter& write) {
    if (!write(EncodeSampleHeader(header))) {
        return SampleResult::kCannotCreate;
    }
    // The sound streams through one buffer small enough to stay in the cache while it is swapped.
    constexpr std::size_t kBlock = 1 << 20;
    static thread_local std::vector<std::uint8_t> block(kBlock);
    const std::size_t length = header.soundLength;
    const std::size_t even = length & ~std::size_t{1};
    for (std::size_t done = 0; done < even;) {
        const std::span<std::uint8_t> piece(block.data(), std::min(kBlock, even - done));
        // The source may have shrunk since it was examined: never store a short sound.
        if (read(piece) != piece.size()) {
            return SampleResult::kCannotRead;
        }
        core::PairSwap(piece);
        if (!write(piece)) {
            return SampleResult::kCannotCreate;
        }
        done += piece.size();
    }
    if (length % 2 != 0) {
        std::array<std::uint8_t, 2> last{0, 0};
        if (read(last) == 0) {
            return SampleResult::kCannotRead;
        }
        const std::array<std::uint8_t, 2> tail{last[1], last[0]};
        if (!write(tail)) {
            return SampleResult::kCannotCreate;
        }
    }
    return SampleResult::kOk;
}

SampleResult WriteSampleFile(const std::string& path, const SampleHeader& header, std::FILE* sound,
                             core::FileStatus* status) {
    core::AtomicFileWriter out(path);
    SampleResult result = StreamSampleFile(
        header, [sound](std::span<std::uint8_t> into) { return std::fread(into.data(), 1, into.size(), sound); },
        [&out](std::span<const std::uint8_t> piece) { return out.Write(piece); });
    if (result == SampleResult::kOk && !out.Commit()) {
        result = SampleResult::kCannotCreate;
    }
    if (status != nullptr) {
        *status = out.status();
    }
    return result;
}

}  // namespace velmorant::formats
