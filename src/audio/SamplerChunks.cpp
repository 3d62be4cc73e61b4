#include "audio/SamplerChunks.h"

#include <array>
#include <map>
#include <string_view>
#include <vector>

#include "core/Bytes.h"
#include "core/Text.h"

namespace velmorant::audio {

namespace {

// A file of only 8-byte chunk heads would otherwise be walked for ever on a large disk.
constexpr int kMaxChunks = 4096;
constexpr std::size_t kMaxMetadataChunk = 64 * 1024;

std::vector<std::uint8_t> ReadAt(ByteSource& source, std::uint64_t offset, std::size_t n) {
    std::vector<std::uint8_t> bytes(n);
    bytes.resize(source.read(offset, bytes));
    return bytes;
}

bool TagIs(const core::ByteReader& reader, std::size_t offset, std::string_view tag) {
    const auto text = reader.fixedText(offset, tag.size());
    return text && *text == tag;
}

// An 80-bit IEEE extended sample rate, as AIFF stores it; 0 for anything unusable.
double ExtendedToDouble(const core::ByteReader& r, std::size_t offset) {
    const auto exponentWord = r.u16be(offset);
    const auto hi = r.u32be(offset + 2);
    const auto lo = r.u32be(offset + 6);
    if (!exponentWord || !hi || !lo || (*exponentWord & 0x8000u) != 0) {
        return 0;
    }
    const int exponent = static_cast<int>(*exponentWord & 0x7FFFu) - 16383 - 63;
    const double mantissa = static_cast<double>(*hi) * 4294967296.0 + static_cast<double>(*lo);
    if (exponent > 64 || exponent < -200) {
        return 0;
    }
    double value = mantissa;
    for (int i = 0; i < exponent; ++i) value *= 2;
    for (int i = 0; i > exponent; --i) value /= 2;
    return value;
}

struct Chunk {
    std::string id;
    std::uint32_t length = 0;
    std::uint64_t body = 0;  // offset of the first byte after the head
    std::uint64_t left = 0;  // bytes from there to the end of the file
};

// Walks the chunk list after the 12-byte file head in file order, until `visit` answers false,
// the heads run out, or a chunk runs past the end of the file (that one is still visited).
template <typename Visit>
void ForEachChunk(ByteSource& source, bool bigEndian, Visit visit) {
    const std::uint64_t size = source.size();
    std::uint64_t at = 12;
    for (int n = 0; n < kMaxChunks && at <= size && size - at >= 8; ++n) {
        const auto head = ReadAt(source, at, 8);
        const core::ByteReader h(head);
        if (!h.has(0, 8)) return;
        const Chunk chunk{*h.fixedText(0, 4), bigEndian ? *h.u32be(4) : *h.u32le(4), at + 8, size - at - 8};
        if (!visit(chunk) || chunk.length > chunk.left) return;
        at += 8ull + chunk.length + (chunk.length & 1u);
    }
}

void ReadWav(ByteSource& source, ContainerFacts& facts) {
    std::optional<std::uint32_t> frameBytes;
    std::optional<std::uint64_t> dataBytes;
    ForEachChunk(source, false, [&](const Chunk& chunk) {
        if (chunk.id == "fmt ") {
            const auto fmt = ReadAt(source, chunk.body, 16);
            const core::ByteReader f(fmt);
            if (f.u16le(2) == 0) {
                facts.problem = "the format chunk declares 0 channels";
                return false;
            }
            if (f.u32le(4) == 0u) {
                facts.problem = "the format chunk declares a sample rate of 0 Hz";
                return false;
            }
            if (const auto align = f.u16le(12)) frameBytes = *align;
        } else if (chunk.id == "data") {
            if (chunk.length > chunk.left) {
                facts.problem = core::Format("the \"data\" chunk declares %u bytes but only %llu follow it",
                                             chunk.length, static_cast<unsigned long long>(chunk.left));
                return false;
            }
            dataBytes = chunk.length;
        } else if (chunk.id == "smpl" && chunk.length >= 36) {
            const auto body = ReadAt(source, chunk.body, 60);
            const core::ByteReader s(body);
            if (s.has(0, 36)) {
                facts.hasSampler = true;
                facts.samplerUnityNote = *s.u32le(12);
                const FoldedNote folded = FoldSamplerNote(facts.samplerUnityNote, *s.u32le(16));
                facts.samplerKey = folded.key >= 0 && folded.key <= 127
                                       ? std::optional<int>(static_cast<int>(folded.key))
                                       : std::nullopt;
                facts.samplerFineCents = folded.cents;
                const std::uint32_t loops = *s.u32le(28);
                if (loops > 0 && chunk.length >= 60 && s.has(36, 24)) {
                    facts.loop = LoopPoints{*s.u32le(44), *s.u32le(48)};
                }
            }
        } else if (chunk.id == "inst" && chunk.length >= 7) {
            const auto body = ReadAt(source, chunk.body, 7);
            const core::ByteReader i(body);
            if (i.has(0, 7) && *i.u8(0) <= 127) {
                facts.instrumentKey = *i.u8(0);
                facts.instrumentFineCents = static_cast<std::int8_t>(*i.u8(1));
            }
        }
        return true;
    });
    if (!facts.problem.empty()) return;
    if (!dataBytes) {
        facts.problem = "the file has no complete \"data\" chunk";
        return;
    }
    if (frameBytes && *frameBytes > 0) {
        facts.declaredFrames = *dataBytes / *frameBytes;
    }
}

// AIFF markers sit between frames: a loop from marker A to marker B plays frames A..B-1.
void ReadAiff(ByteSource& source, ContainerFacts& facts) {
    std::optional<std::uint64_t> soundBytes;
    std::optional<std::uint32_t> frames;
    std::uint64_t frameBytes = 0;
    std::map<std::int16_t, std::uint32_t> markers;
    std::optional<std::pair<std::int16_t, std::int16_t>> sustain;
    ForEachChunk(source, true, [&](const Chunk& chunk) {
        if (chunk.id == "COMM") {
            const auto body = ReadAt(source, chunk.body, 22);
            const core::ByteReader c(body);
            if (c.has(0, 18)) {
                const std::uint16_t channels = *c.u16be(0);
                const std::uint16_t bits = *c.u16be(6);
                frames = *c.u32be(2);
                std::uint64_t width = (bits + 7u) / 8u;
                const std::string compression = c.fixedText(18, 4).value_or("NONE");
                if (chunk.length >= 22) {
                    if (compression == "fl32" || compression == "FL32") width = 4;
                    else if (compression == "fl64" || compression == "FL64") width = 8;
                    else if (compression != "NONE" && compression != "twos" && compression != "sowt" &&
                             compression != "raw ") width = 0;  // packed codecs: left to the decoder
                }
                frameBytes = width * channels;
                if (channels == 0) {
                    facts.problem = "the \"COMM\" chunk declares 0 channels";
                    return false;
                }
                if (ExtendedToDouble(c, 8) <= 0) {
                    facts.problem = "the \"COMM\" chunk gives no usable sample rate";
                    return false;
                }
            }
        } else if (chunk.id == "SSND") {
            if (chunk.length > chunk.left) {
                facts.problem = core::Format("the \"SSND\" chunk declares %u bytes but only %llu follow it",
                                             chunk.length, static_cast<unsigned long long>(chunk.left));
                return false;
            }
            const auto body = ReadAt(source, chunk.body, 8);
            const core::ByteReader s(body);
            const std::uint32_t offset = s.u32be(0).value_or(0);
            soundBytes = chunk.length >= 8 && chunk.length - 8 >= offset ? chunk.length - 8u - offset : 0u;
        } else if (chunk.id == "INST" && chunk.length >= 20) {
            const auto body = ReadAt(source, chunk.body, 20);
            const core::ByteReader i(body);
            if (i.has(0, 20)) {
                const auto base = static_cast<std::int8_t>(*i.u8(0));
                if (base >= 0) {
                    facts.instrumentKey = base;
                    facts.instrumentFineCents = static_cast<std::int8_t>(*i.u8(1));
                }
                if (*i.u16be(8) != 0) {
                    sustain = std::make_pair(static_cast<std::int16_t>(*i.u16be(10)),
                                             static_cast<std::int16_t>(*i.u16be(12)));
                }
            }
        } else if (chunk.id == "MARK" && chunk.length >= 2) {
            const auto body = ReadAt(source, chunk.body, std::min<std::size_t>(chunk.length, kMaxMetadataChunk));
            const core::ByteReader m(body);
            const std::uint16_t count = m.u16be(0).value_or(0);
            std::size_t p = 2;
            for (std::uint16_t k = 0; k < count && m.has(p, 7); ++k) {
                const auto id = static_cast<std::int16_t>(*m.u16be(p));
                markers[id] = *m.u32be(p + 2);
                const std::size_t nameBytes = 1u + *m.u8(p + 6);
                p += 6 + nameBytes + (nameBytes & 1u);
            }
        }
        return true;
    });
    if (!facts.problem.empty()) return;
    if (!soundBytes || !frames) {
        facts.problem = "the file has no complete \"COMM\" and \"SSND\" chunks";
        return;
    }
    if (frameBytes > 0 && *frames > *soundBytes / frameBytes) {
        facts.problem = core::Format("the \"COMM\" chunk declares %u frames but the \"SSND\" chunk holds %llu",
                                     *frames, static_cast<unsigned long long>(*soundBytes / frameBytes));
        return;
    }
    facts.declaredFrames = *frames;
    if (sustain) {
        const auto begin = markers.find(sustain->first);
        const auto end = markers.find(sustain->second);
        if (begin != markers.end() && end != markers.end() && end->second > begin->second) {
            facts.loop = LoopPoints{begin->second, end->second - 1u};
        }
    }
}

}  // namespace

FoldedNote FoldSamplerNote(std::uint32_t unityNote, std::uint32_t pitchFraction) {
    // The fraction is an unsigned part of a semitone upwards from the unity note.
    const double cents = static_cast<double>(pitchFraction) / 4294967296.0 * 100.0;
    if (cents > 50.0) {
        return {static_cast<std::int64_t>(unityNote) + 1, cents - 100.0};
    }
    return {static_cast<std::int64_t>(unityNote), cents};
}

ContainerFacts ReadContainerFacts(ByteSource& source) {
    ContainerFacts facts;
    const auto head = ReadAt(source, 0, 12);
    const core::ByteReader h(head);
    if (TagIs(h, 0, "RIFF") && TagIs(h, 8, "WAVE")) {
        facts.container = Container::kWav;
        ReadWav(source, facts);
    } else if (TagIs(h, 0, "FORM") && (TagIs(h, 8, "AIFF") || TagIs(h, 8, "AIFC"))) {
        facts.container = Container::kAiff;
        ReadAiff(source, facts);
    } else if (TagIs(h, 0, "fLaC")) {
        facts.container = Container::kFlac;
    }
    return facts;
}

}  // namespace velmorant::audio
