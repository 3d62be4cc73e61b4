#include "core/Bytes.h"

#include <algorithm>
#include <cstring>

namespace velmorant::core {

std::optional<std::uint8_t> ByteReader::u8(std::size_t offset) const {
    if (!has(offset, 1)) {
        return std::nullopt;
    }
    return data_[offset];
}

std::optional<std::uint16_t> ByteReader::u16be(std::size_t offset) const {
    if (!has(offset, 2)) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>((data_[offset] << 8) | data_[offset + 1]);
}

std::optional<std::uint32_t> ByteReader::u32be(std::size_t offset) const {
    if (!has(offset, 4)) {
        return std::nullopt;
    }
    return (std::uint32_t{data_[offset]} << 24) | (std::uint32_t{data_[offset + 1]} << 16) |
           (std::uint32_t{data_[offset + 2]} << 8) | std::uint32_t{data_[offset + 3]};
}

std::optional<std::uint16_t> ByteReader::u16le(std::size_t offset) const {
    if (!has(offset, 2)) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(data_[offset] | (data_[offset + 1] << 8));
}

std::optional<std::uint32_t> ByteReader::u32le(std::size_t offset) const {
    if (!has(offset, 4)) {
        return std::nullopt;
    }
    return std::uint32_t{data_[offset]} | (std::uint32_t{data_[offset + 1]} << 8) |
           (std::uint32_t{data_[offset + 2]} << 16) | (std::uint32_t{data_[offset + 3]} << 24);
}

std::optional<std::span<const std::uint8_t>> ByteReader::bytes(std::size_t offset, std::size_t n) const {
    if (!has(offset, n)) {
        return std::nullopt;
    }
    return data_.subspan(offset, n);
}

std::optional<std::string> ByteReader::fixedText(std::size_t offset, std::size_t n) const {
    if (!has(offset, n)) {
        return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(data_.data() + offset), n);
}

std::optional<std::string> ByteReader::pairSwappedText(std::size_t offset, std::size_t n) const {
    if (n % 2 != 0 || !has(offset, n)) {
        return std::nullopt;
    }
    std::string text(n, '\0');
    for (std::size_t k = 0; k < n; k += 2) {
        text[k] = static_cast<char>(data_[offset + k + 1]);
        text[k + 1] = static_cast<char>(data_[offset + k]);
    }
    return text;
}

bool ByteWriter::u8(std::size_t offset, std::uint8_t value) {
    if (!has(offset, 1)) {
        return false;
    }
    data_[offset] = value;
    return true;
}

bool ByteWriter::u16be(std::size_t offset, std::uint16_t value) {
    if (!has(offset, 2)) {
        return false;
    }
    data_[offset] = static_cast<std::uint8_t>(value >> 8);
    data_[offset + 1] = static_cast<std::uint8_t>(value);
    return true;
}

bool ByteWriter::u32be(std::size_t offset, std::uint32_t value) {
    if (!has(offset, 4)) {
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        data_[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
    }
    return true;
}

bool ByteWriter::u16le(std::size_t offset, std::uint16_t value) {
    if (!has(offset, 2)) {
        return false;
    }
    data_[offset] = static_cast<std::uint8_t>(value);
    data_[offset + 1] = static_cast<std::uint8_t>(value >> 8);
    return true;
}

bool ByteWriter::u32le(std::size_t offset, std::uint32_t value) {
    if (!has(offset, 4)) {
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        data_[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
    return true;
}

bool ByteWriter::bytes(std::size_t offset, std::span<const std::uint8_t> values) {
    if (!has(offset, values.size())) {
        return false;
    }
    std::copy(values.begin(), values.end(), data_.begin() + static_cast<std::ptrdiff_t>(offset));
    return true;
}

bool ByteWriter::fixedText(std::size_t offset, std::string_view text, std::size_t width, char pad) {
    if (!has(offset, width)) {
        return false;
    }
    for (std::size_t i = 0; i < width; ++i) {
        data_[offset + i] = static_cast<std::uint8_t>(i < text.size() ? text[i] : pad);
    }
    return true;
}

bool ByteWriter::pairSwappedText(std::size_t offset, std::string_view text, std::size_t width, char pad) {
    if (width % 2 != 0 || !fixedText(offset, text, width, pad)) {
        return false;
    }
    PairSwap(data_.subspan(offset, width));
    return true;
}

void ByteBuilder::u16be(std::uint16_t value) {
    data_.push_back(static_cast<std::uint8_t>(value >> 8));
    data_.push_back(static_cast<std::uint8_t>(value));
}

void ByteBuilder::u32be(std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        data_.push_back(static_cast<std::uint8_t>(value >> (24 - 8 * i)));
    }
}

void ByteBuilder::u16le(std::uint16_t value) {
    data_.push_back(static_cast<std::uint8_t>(value));
    data_.push_back(static_cast<std::uint8_t>(value >> 8));
}

void ByteBuilder::u32le(std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        data_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

void ByteBuilder::bytes(std::span<const std::uint8_t> values) {
    data_.insert(data_.end(), values.begin(), values.end());
}

void ByteBuilder::text(std::string_view text) {
    data_.insert(data_.end(), text.begin(), text.end());
}

void PairSwap(std::span<std::uint8_t> data) {
    // Eight bytes at a time: whole sounds go through here on their way into sample files.
    std::size_t k = 0;
    for (; data.size() - k >= 8; k += 8) {
        std::uint64_t word;
        std::memcpy(&word, data.data() + k, 8);
        word = ((word & 0x00FF00FF00FF00FFull) << 8) | ((word >> 8) & 0x00FF00FF00FF00FFull);
        std::memcpy(data.data() + k, &word, 8);
    }
    for (; k + 1 < data.size(); k += 2) {
        std::swap(data[k], data[k + 1]);
    }
}

}  // namespace velmorant::core
