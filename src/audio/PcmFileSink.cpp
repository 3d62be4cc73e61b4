#include "audio/PcmFileSink.h"

#include <bit>
#include <cstring>

namespace velmorant::audio {

PcmFileSink::PcmFileSink(const std::string& path, std::span<const std::uint8_t> header) : out_(path) {
    ok_ = out_.ok() && out_.Write(header);
}

namespace {

// Big-endian bytes of a few samples; a loop of known length, so it becomes vector code.
template <std::size_t N>
void Swap(const std::int16_t* in, std::uint16_t* out) {
    std::uint16_t words[N];
    for (std::size_t i = 0; i < N; ++i) {
        const auto v = static_cast<std::uint16_t>(in[i]);
        words[i] = std::endian::native == std::endian::big ? v : static_cast<std::uint16_t>((v >> 8) | (v << 8));
    }
    std::memcpy(out, words, sizeof words);
}

}  // namespace

bool PcmFileSink::Write(std::span<const std::int16_t> samples) {
    constexpr std::size_t kChunk = 64;
    words_.resize(samples.size());
    std::size_t i = 0;
    for (; i + kChunk <= samples.size(); i += kChunk) Swap<kChunk>(samples.data() + i, words_.data() + i);
    for (; i < samples.size(); ++i) Swap<1>(samples.data() + i, words_.data() + i);
    ok_ = ok_ && out_.Write({reinterpret_cast<const std::uint8_t*>(words_.data()), words_.size() * 2});
    return ok_;
}

bool PcmFileSink::Finish() { return ok_ && out_.Commit(); }

}  // namespace velmorant::audio
