#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmorant::core {

// Bounds-checked reads at absolute offsets. Every accessor answers nullopt
// (or false) instead of reading past the end, so no caller indexes a buffer.
class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::size_t size() const { return data_.size(); }
    // True when n bytes starting at offset lie inside the data; written so it cannot overflow.
    bool has(std::size_t offset, std::size_t n) const {
        return offset <= data_.size() && data_.size() - offset >= n;
    }

    std::optional<std::uint8_t> u8(std::size_t offset) const;
    std::optional<std::uint16_t> u16be(std::size_t offset) const;
    std::optional<std::uint32_t> u32be(std::size_t offset) const;
    std::optional<std::uint16_t> u16le(std::size_t offset) const;
    std::optional<std::uint32_t> u32le(std::size_t offset) const;
    std::optional<std::span<const std::uint8_t>> bytes(std::size_t offset, std::size_t n) const;
    // n raw bytes as characters (zero bytes kept).
    std::optional<std::string> fixedText(std::size_t offset, std::size_t n) const;
    // n bytes with the two bytes of each 16-bit unit exchanged back; n must be even.
    std::optional<std::string> pairSwappedText(std::size_t offset, std::size_t n) const;

private:
    std::span<const std::uint8_t> data_;
};

// Writes at absolute offsets into a buffer of fixed size; the mirror of ByteReader.
// Every write checks its bounds and answers false when it would not fit.
class ByteWriter {
public:
    explicit ByteWriter(std::span<std::uint8_t> data) : data_(data) {}

    std::size_t size() const { return data_.size(); }
    bool has(std::size_t offset, std::size_t n) const {
        return offset <= data_.size() && data_.size() - offset >= n;
    }

    bool u8(std::size_t offset, std::uint8_t value);
    bool u16be(std::size_t offset, std::uint16_t value);
    bool u32be(std::size_t offset, std::uint32_t value);
    bool u16le(std::size_t offset, std::uint16_t value);
    bool u32le(std::size_t offset, std::uint32_t value);
    bool bytes(std::size_t offset, std::span<const std::uint8_t> values);
    // The text cut or padded with `pad` to exactly `width` bytes.
    bool fixedText(std::size_t offset, std::string_view text, std::size_t width, char pad);
    // As fixedText, then each 16-bit unit's two bytes exchanged; width must be even.
    bool pairSwappedText(std::size_t offset, std::string_view text, std::size_t width, char pad);

private:
    std::span<std::uint8_t> data_;
};

// Appends to a growing buffer (used where a file is built from front to back).
class ByteBuilder {
public:
    std::vector<std::uint8_t>& data() { return data_; }
    const std::vector<std::uint8_t>& data() const { return data_; }
    std::size_t size() const { return data_.size(); }

    void u8(std::uint8_t value) { data_.push_back(value); }
    void u16be(std::uint16_t value);
    void u32be(std::uint32_t value);
    void u16le(std::uint16_t value);
    void u32le(std::uint32_t value);
    void bytes(std::span<const std::uint8_t> values);
    void text(std::string_view text);
    void zeros(std::size_t n) { data_.insert(data_.end(), n, 0); }

private:
    std::vector<std::uint8_t> data_;
};

// Exchanges the two bytes of every 16-bit unit in place (a trailing odd byte is kept).
void PairSwap(std::span<std::uint8_t> data);

}  // namespace velmorant::core
