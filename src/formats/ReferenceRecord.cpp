#include "formats/ReferenceRecord.h"

#include <algorithm>

#include "core/Text.h"

namespace velmorant::formats {
namespace {

std::int32_t DigitValue(char c) {
    return (c >= '0' && c <= '9') ? c - '0' : 0;
}

// Only the padding blanks go: a tab or CR at the end of a stored name is part of it.
std::string WithoutPadding(std::string_view field) {
    const std::size_t end = field.find_last_not_of(' ');
    return std::string(field.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

}  // namespace

Reference DecodeReference(StoredReference stored, VolumeRule rule, std::int32_t parentVolume) {
    std::array<std::uint8_t, kReferenceSize> swapped{};
    std::copy(stored.begin(), stored.end(), swapped.begin());
    core::PairSwap(swapped);
    std::string text(swapped.begin(), swapped.end());
    for (char& c : text) {
        if (c == '\0') {
            c = ' ';
        }
    }

    Reference decoded;
    if (rule == VolumeRule::kProgram) {
        decoded.volumeNumber = DigitValue(static_cast<char>(stored[kReferenceVolumeDigit]));
    } else {
        const char digit = text[kReferenceVolumeDigit];
        decoded.volumeNumber = digit == ' ' ? parentVolume : DigitValue(digit);
    }
    const std::string_view view(text);
    decoded.location = WithoutPadding(view.substr(kReferenceLocationOffset, kReferenceLocationWidth));
    decoded.folder = WithoutPadding(view.substr(kReferenceFolderOffset, kReferenceFolderWidth));
    decoded.name = WithoutPadding(view.substr(kReferenceNameOffset, kReferenceNameWidth));
    if (core::TrimSpaces(decoded.location).empty()) {
        decoded.volumeNumber = kSameVolume;
    }
    return decoded;
}

std::array<std::uint8_t, kReferenceSize> EncodeReference(std::string_view location, std::string_view folder,
                                                         std::string_view name, char pad) {
    std::array<std::uint8_t, kReferenceSize> stored{};
    core::ByteWriter writer(stored);
    writer.fixedText(kReferenceLocationOffset, location, kReferenceLocationWidth, pad);
    writer.fixedText(kReferenceFolderOffset, folder, kReferenceFolderWidth, pad);
    writer.fixedText(kReferenceNameOffset, name, kReferenceNameWidth, pad);
    core::PairSwap(stored);
    return stored;
}

ReferenceResult RewriteReference(core::ByteWriter& writer, std::size_t recordOffset,
                                 const ReferenceRewrite& rewrite) {
    if (!writer.has(recordOffset, kReferenceSize)) {
        return ReferenceResult::kOutsideFile;
    }
    // Text and zero padding are laid out at full width first, then the pairs exchanged.
    const auto put = [&](std::size_t field, std::size_t width, std::string_view text) {
        writer.pairSwappedText(recordOffset + field, core::CutText(text, width), width, '\0');
    };
    put(kReferenceLocationOffset, kReferenceLocationWidth, {});
    put(kReferenceFolderOffset, kReferenceFolderWidth, rewrite.folder.value_or(std::string()));
    if (rewrite.name) {
        put(kReferenceNameOffset, kReferenceNameWidth, *rewrite.name);
    }
    return ReferenceResult::kDone;
}

void ClearReference(core::ByteWriter& writer, std::size_t recordOffset) {
    if (recordOffset < writer.size()) {
        writer.fixedText(recordOffset, {}, std::min(kReferenceSize, writer.size() - recordOffset), '\0');
    }
}

std::string ReferenceMessage(ReferenceResult result, std::string_view path, std::int64_t recordOffset) {
    switch (result) {
        case ReferenceResult::kDone:
            return {};
        case ReferenceResult::kOutsideFile:
            return core::Format("Reference outside the file %.*s (offset %lld)\n", static_cast<int>(path.size()),
                                path.data(), static_cast<long long>(recordOffset));
    }
    return {};
}

}  // namespace velmorant::formats
