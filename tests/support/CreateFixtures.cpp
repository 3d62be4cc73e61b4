#include "support/CreateFixtures.h"

#include <cctype>
#include <cmath>
#include <fstream>

#include "core/Bytes.h"

namespace velmorant::testing {

std::vector<std::uint8_t> BuildWave(const WaveLayout& layout) {
    core::ByteBuilder body;
    body.text(layout.wave);
    body.text(layout.fmt);
    body.u32le(layout.subFormat ? 40 : 16);
    body.u16le(layout.subFormat ? 0xFFFE : layout.format);
    body.u16le(static_cast<std::uint16_t>(layout.channels));
    body.u32le(layout.sampleRate);
    body.u32le(layout.sampleRate * 2u * static_cast<std::uint32_t>(layout.channels > 0 ? layout.channels : 1));
    body.u16le(static_cast<std::uint16_t>(2 * layout.channels));
    body.u16le(layout.bitsPerSample);
    if (layout.subFormat) {
        body.u16le(22);  // the extension: valid bits, channel mask, then the sub-format GUID
        body.u16le(layout.bitsPerSample);
        body.u32le(0);
        body.u16le(*layout.subFormat);
        body.bytes(Hex("0000 0000 1000 8000 00AA 0038 9B71"));
    }
    if (layout.withData) {
        body.text("data");
        body.u32le(layout.declaredLength.value_or(static_cast<std::uint32_t>(layout.payload.size())));
        body.bytes(layout.payload);
        if (layout.payload.size() % 2 != 0 && layout.padOddPayload) body.u8(0xEE);
    }
    if (layout.unityNote) {
        body.text("smpl");
        body.u32le(36 + 24);
        body.zeros(8);                  // manufacturer, product
        body.u32le(22676);              // sample period
        body.u32le(*layout.unityNote);  // at chunk offset 20
        body.zeros(12);
        body.u32le(static_cast<std::uint32_t>(layout.loops));  // at chunk offset 36
        body.zeros(12);  // sampler data, then the first loop's id and type
        body.u32le(layout.loopStart);
        body.u32le(layout.loopEnd);
        body.zeros(8);
    }
    core::ByteBuilder file;
    file.text(layout.riff);
    file.u32le(static_cast<std::uint32_t>(body.size()));
    file.bytes(body.data());
    return file.data();
}

std::vector<std::uint8_t> CountingPayload(std::size_t n) {
    std::vector<std::uint8_t> payload(n);
    for (std::size_t i = 0; i < n; ++i) payload[i] = static_cast<std::uint8_t>(i % 250 + 1);
    return payload;
}

WaveLayout CountingWave(std::size_t n, std::int16_t channels) {
    WaveLayout layout;
    layout.payload = CountingPayload(n);
    layout.channels = channels;
    return layout;
}

std::vector<std::string> LayerPaths(const formats::DrumKit& kit, int key) {
    std::vector<std::string> paths;
    for (const auto& layer : kit.keys[static_cast<std::size_t>(key)].layers) paths.push_back(layer.path);
    return paths;
}

std::vector<int> LayerBounds(const formats::DrumKit& kit, int key) {
    std::vector<int> bounds;
    for (const auto& layer : kit.keys[static_cast<std::size_t>(key)].layers) bounds.push_back(layer.upperBound);
    return bounds;
}

std::vector<std::uint8_t> TonePayload(int frames, double hz) {
    core::ByteBuilder payload;
    for (int i = 0; i < frames; ++i) {
        const double value = 8000.0 * std::sin(2.0 * 3.14159265358979 * hz * i / 44100.0);
        payload.u16le(static_cast<std::uint16_t>(static_cast<std::int16_t>(value)));
    }
    return payload.data();
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    WriteTextFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void WriteTextFile(const std::string& path, std::string_view text) {
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string WriteWave(const std::string& path, const WaveLayout& layout) {
    WriteBytes(path, BuildWave(layout));
    return path;
}

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& bytes, std::size_t offset, std::size_t n) {
    if (offset > bytes.size() || bytes.size() - offset < n) return {};
    return {bytes.begin() + static_cast<std::ptrdiff_t>(offset), bytes.begin() + static_cast<std::ptrdiff_t>(offset + n)};
}

std::vector<std::uint8_t> PairSwapped(std::string_view text, std::size_t width) {
    std::vector<std::uint8_t> bytes(width, 0);
    for (std::size_t i = 0; i < width && i < text.size(); ++i) bytes[i ^ 1u] = static_cast<std::uint8_t>(text[i]);
    return bytes;
}

std::vector<std::uint8_t> Hex(std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

}  // namespace velmorant::testing
