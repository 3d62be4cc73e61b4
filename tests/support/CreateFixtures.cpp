#include "support/CreateFixtures.h"

#include <cmath>
#include <fstream>

#include "core/Bytes.h"

namespace velmorant::testing {

std::vector<std::uint8_t> BuildWave(const WaveSpec& spec) {
    core::ByteBuilder body;
    body.text(spec.wave);
    body.text(spec.fmt);
    body.u32le(16);
    body.u16le(1);
    body.u16le(static_cast<std::uint16_t>(spec.channels));
    body.u32le(spec.sampleRate);
    body.u32le(spec.sampleRate * 2u * static_cast<std::uint32_t>(spec.channels > 0 ? spec.channels : 1));
    body.u16le(static_cast<std::uint16_t>(2 * spec.channels));
    body.u16le(spec.bitsPerSample);
    if (spec.withData) {
        body.text("data");
        body.u32le(spec.declaredLength.value_or(static_cast<std::uint32_t>(spec.payload.size())));
        body.bytes(spec.payload);
        if (spec.payload.size() % 2 != 0 && spec.padOddPayload) {
            body.u8(0xEE);
        }
    }
    if (spec.unityNote) {
        body.text("smpl");
        body.u32le(36 + 24);
        body.u32le(0);                // manufacturer
        body.u32le(0);                // product
        body.u32le(22676);            // sample period
        body.u32le(*spec.unityNote);  // at chunk offset 20
        body.u32le(0);
        body.u32le(0);
        body.u32le(0);
        body.u32le(static_cast<std::uint32_t>(spec.loops));  // at chunk offset 36
        body.u32le(0);
        body.u32le(0);  // loop record at chunk offset 44: id, type
        body.u32le(0);
        body.u32le(spec.loopStart);
        body.u32le(spec.loopEnd);
        body.u32le(0);
        body.u32le(0);
    }
    core::ByteBuilder file;
    file.text(spec.riff);
    file.u32le(static_cast<std::uint32_t>(body.size()));
    file.bytes(body.data());
    return file.data();
}

std::vector<std::uint8_t> CountingPayload(std::size_t n) {
    std::vector<std::uint8_t> payload(n);
    for (std::size_t i = 0; i < n; ++i) {
        payload[i] = static_cast<std::uint8_t>(i % 250 + 1);
    }
    return payload;
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
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteTextFile(const std::string& path, std::string_view text) {
    std::ofstream out(path, std::ios::binary);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string WriteWave(const std::string& path, const WaveSpec& spec) {
    WriteBytes(path, BuildWave(spec));
    return path;
}

std::vector<std::uint8_t> Hex(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (char c : text) {
        int v = -1;
        if (c >= '0' && c <= '9') v = c - '0';
        if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
        if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
        if (v < 0) continue;
        if (high < 0) {
            high = v;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + v));
            high = -1;
        }
    }
    return bytes;
}

}  // namespace velmorant::testing
