#include "audio/PcmFileSink.h"

namespace velmorant::audio {

PcmFileSink::PcmFileSink(const std::string& path, std::span<const std::uint8_t> header) : out_(path) {
    ok_ = out_.ok() && out_.Write(header);
}

bool PcmFileSink::Write(std::span<const std::int16_t> samples) {
    bytes_.resize(samples.size() * 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto v = static_cast<std::uint16_t>(samples[i]);
        bytes_[2 * i] = static_cast<std::uint8_t>(v >> 8);
        bytes_[2 * i + 1] = static_cast<std::uint8_t>(v & 0xFFu);
    }
    ok_ = ok_ && out_.Write(bytes_);
    return ok_;
}

bool PcmFileSink::Finish() { return ok_ && out_.Commit(); }

}  // namespace velmorant::audio
