#include "demo/VolumeBuilders.h"

#include <cmath>
#include <filesystem>

#include "core/Bytes.h"
#include "core/File.h"
#include "formats/MultisampleFile.h"
#include "formats/ReferenceRecord.h"
#include "volume/ProgramFile.h"

namespace velmorant::demo {
namespace {

constexpr std::size_t kOscillatorBlockSize = 104;

void PutReference(core::ByteWriter& writer, std::size_t offset, const Reference& reference) {
    const auto stored = formats::EncodeReference(reference.location, reference.folder, reference.name);
    writer.bytes(offset, stored);
}

}  // namespace

std::vector<std::uint8_t> BuildProgramFile(const ProgramLayout& layout) {
    const std::size_t chunkArea = 116u * layout.mods + 56u * layout.envelopes + 44u * layout.lfos + 140u * layout.patterns;
    const std::size_t s = volume::kHeaderChunkArea + chunkArea;
    std::size_t voiceArea = 0;
    if (layout.tag == "mpsa") {
        voiceArea = volume::kOscillatorBlockOffsets[3] + kOscillatorBlockSize;
    } else if (layout.tag == "umdr") {
        voiceArea = volume::kDrumKeys * volume::kDrumKeyEntrySize;
    }
    std::vector<std::uint8_t> bytes(s + voiceArea, 0);
    core::ByteWriter writer(bytes);
    writer.fixedText(0, "S80p", 4, ' ');
    writer.u32be(4, static_cast<std::uint32_t>(bytes.size() - 8));
    writer.fixedText(12, layout.tag, 4, ' ');
    writer.u16be(34, layout.mods);
    writer.u16be(36, layout.envelopes);
    writer.u16be(38, layout.lfos);
    writer.u16be(51, layout.patterns);

    if (layout.tag == "mpsa") {
        for (std::size_t n = 0; n < 4; ++n) {
            const Oscillator& osc = layout.oscillators[n];
            const std::size_t block = s + volume::kOscillatorBlockOffsets[n];
            writer.u8(block + 1, osc.enabled ? 1 : 0);
            if (!osc.reference.name.empty()) {
                PutReference(writer, block + 4, osc.reference);
            }
        }
    } else if (layout.tag == "umdr") {
        for (const DrumZone& zone : layout.zones) {
            const std::size_t at = s + volume::kDrumKeyEntrySize * static_cast<std::size_t>(zone.key) +
                                   volume::kDrumZoneSize * static_cast<std::size_t>(zone.zone);
            writer.u8(at + 9, zone.enabled ? 1 : 0);
            PutReference(writer, at + 12, zone.reference);
        }
    }
    return bytes;
}

std::vector<std::uint8_t> BuildMultisampleFile(const std::vector<Reference>& samples) {
    const std::size_t n = std::min(samples.size(), formats::kMultisampleMaxEntries);
    std::vector<formats::MultisampleZoneEntry> zones(n);
    for (std::size_t i = 0; i < n; ++i) {
        // Spread the samples over the keyboard.
        zones[i].leftKey = static_cast<std::uint8_t>(i * 127 / n);
        zones[i].rightKey = static_cast<std::uint8_t>((i + 1) * 127 / n);
        zones[i].reference = formats::EncodeReference(samples[i].location, samples[i].folder, samples[i].name);
    }
    std::vector<std::uint8_t> bytes;
    formats::BuildMultisample(zones, bytes);
    return bytes;
}

std::vector<std::uint8_t> BuildSampleFile(double frequencyHz, int frames) {
    core::ByteBuilder builder;
    builder.text("S80s");
    builder.zeros(44);
    const double rate = 44100.0;
    for (int i = 0; i < frames; ++i) {
        const double fade = 1.0 - static_cast<double>(i) / frames;
        const double value = std::sin(2.0 * 3.14159265358979 * frequencyHz * i / rate) * fade * 12000.0;
        builder.u16be(static_cast<std::uint16_t>(static_cast<std::int16_t>(value)));
    }
    return builder.data();
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    return core::WriteFileAtomically(path, bytes);
}

bool WriteText(const std::string& path, const std::string& text) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    return core::WriteFileAtomically(path, text);
}

}  // namespace velmorant::demo
