#include "support/AudioFixtures.h"

#include <sndfile.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>

#include "core/Bytes.h"
#include "support/TempDir.h"

namespace velmorant::testing {

void WriteSound(const std::string& path, const SoundRecipe& sound) {
    SF_INFO info{};
    info.samplerate = sound.sampleRate;
    info.channels = sound.channels;
    info.format = sound.format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    // Float files keep values beyond full scale; integer files would clip them on write.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_FALSE);
    if (sound.raw) sf_command(file, SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
    std::vector<double> block;
    for (std::size_t f = 0; f < sound.frames; ++f) {
        for (int c = 0; c < sound.channels; ++c) block.push_back(sound.sample ? sound.sample(f, c) : 0.0);
        if (block.size() >= 4096 || f + 1 == sound.frames) {
            sf_writef_double(file, block.data(), static_cast<sf_count_t>(block.size()) / sound.channels);
            block.clear();
        }
    }
    sf_close(file);
}

std::function<double(std::size_t, int)> Sine(double hz, int sampleRate, double amplitude) {
    return [=](std::size_t frame, int) {
        return amplitude * std::sin(2 * std::numbers::pi * hz * static_cast<double>(frame) / sampleRate);
    };
}

void AppendChunk(const std::string& path, const std::string& id, std::span<const std::uint8_t> body) {
    auto bytes = ReadBytes(path);
    ASSERT_GE(bytes.size(), 12u);
    const bool riff = bytes[0] == 'R';
    core::ByteBuilder chunk;
    chunk.text(id);
    riff ? chunk.u32le(static_cast<std::uint32_t>(body.size())) : chunk.u32be(static_cast<std::uint32_t>(body.size()));
    chunk.bytes(body);
    if (body.size() % 2 != 0) chunk.u8(0);
    bytes.insert(bytes.end(), chunk.data().begin(), chunk.data().end());
    core::ByteWriter head(bytes);
    const auto size = static_cast<std::uint32_t>(bytes.size() - 8);
    riff ? head.u32le(4, size) : head.u32be(4, size);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> SamplerBody(std::uint32_t unityNote, std::uint32_t fraction,
                                      std::optional<std::pair<std::uint32_t, std::uint32_t>> loop) {
    core::ByteBuilder b;
    b.zeros(8);
    b.u32le(22675);  // sample period in ns
    b.u32le(unityNote);
    b.u32le(fraction);
    b.zeros(8);
    b.u32le(loop ? 1 : 0);
    b.u32le(0);
    if (loop) {
        b.zeros(8);
        b.u32le(loop->first);
        b.u32le(loop->second);
        b.zeros(8);
    }
    return b.data();
}

}  // namespace velmorant::testing
