#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "audio/AudioSet.h"
#include "core/AtomicWrite.h"
#include "core/File.h"

namespace velmorant::audio {

// Writes a header the caller made, then the sound as big-endian 16-bit samples, under a
// temporary name; Finish puts the file in place. A file never finished never appears.
class PcmFileSink final : public FinishingSink {
public:
    PcmFileSink(const std::string& path, std::span<const std::uint8_t> header);
    bool ok() const { return ok_; }
    bool Write(std::span<const std::int16_t> samples) override;
    bool Finish() override;
    std::string FailureReason() const override { return out_.ok() ? std::string() : out_.status().Reason(); }

private:
    core::AtomicFileWriter out_;
    std::vector<std::uint16_t> words_;  // big-endian whatever the machine's order
    bool ok_ = false;
};

}  // namespace velmorant::audio
