#include "demo/VolumeBuilders.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "core/AtomicWrite.h"
#include "core/Bytes.h"
#include "core/File.h"
#include "formats/MultisampleFile.h"
#include "formats/ProgramFile.h"
#include "formats/ReferenceRecord.h"
#include "formats/SampleFile.h"

namespace velmorant::demo {
namespace {

void PutReference(core::ByteWriter& writer, std::size_t offset, const Reference& reference) {
    const auto stored = formats::EncodeReference(reference.location, reference.folder, reference.name);
    writer.bytes(offset, stored);
}

}  // namespace

std::vector<std::uint8_t> BuildProgramFile(const ProgramLayout& layout) {
    formats::ProgramTag tag{' ', ' ', ' ', ' '};
    std::copy_n(layout.tag.begin(), std::min<std::size_t>(layout.tag.size(), tag.size()), tag.begin());
    const formats::ChunkCounts counts{layout.mods, layout.envelopes, layout.lfos, layout.patterns};
    std::vector<std::uint8_t> bytes = formats::BuildProgramSkeleton(tag, counts);
    core::ByteWriter writer(bytes);
    if (tag == formats::kSampleProgramTag) {
        for (std::size_t n = 0; n < formats::kOscillators; ++n) {
            const Oscillator& osc = layout.oscillators[n];
            const std::size_t block = formats::OscillatorBlockOffset(counts, n);
            writer.u8(block + formats::kOscillatorEnable, osc.enabled ? 1 : 0);
            if (!osc.reference.name.empty()) {
                PutReference(writer, block + formats::kOscillatorReference, osc.reference);
            }
        }
    } else if (tag == formats::kDrumProgramTag) {
        for (const DrumZone& zone : layout.zones) {
            const std::size_t at = formats::DrumZoneOffsetIn(counts, static_cast<std::size_t>(zone.key),
                                                           static_cast<std::size_t>(zone.zone));
            writer.u8(at + formats::kDrumZoneEnabled, zone.enabled ? 1 : 0);
            PutReference(writer, at + formats::kDrumZoneReference, zone.reference);
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
    formats::SampleHeader header;
    header.soundLength = static_cast<std::uint32_t>(frames) * 2;
    header.frames = static_cast<std::uint32_t>(frames);
    core::ByteBuilder builder;
    const auto head = formats::EncodeSampleHeader(header);
    builder.bytes(head);
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
    std::filesystem::create_directories(core::NativePath(path).parent_path(), ec);
    return core::WriteFileAtomically(path, bytes).ok();
}

bool WriteText(const std::string& path, const std::string& text) {
    std::error_code ec;
    std::filesystem::create_directories(core::NativePath(path).parent_path(), ec);
    return core::WriteFileAtomically(path, text).ok();
}

}  // namespace velmorant::demo
