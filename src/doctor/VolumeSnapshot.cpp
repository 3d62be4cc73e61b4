#include "doctor/VolumeSnapshot.h"

#include <algorithm>

namespace velmorant::doctor {
namespace {

// Program and multisample files are a few KiB; a larger file is read as its callers ask.
constexpr std::uint64_t kHoldLimit = 64 * 1024;
// Multisamples kept by one walk: bounded, so a huge volume costs reads rather than memory.
constexpr std::uint64_t kKeepLimit = 64ull << 20;

template <typename Map, typename Look>
typename Map::mapped_type& Remembered(Map& map, const std::string& key, Look look) {
    auto it = map.find(key);
    if (it == map.end()) {
        it = map.emplace(key, look()).first;
    }
    return it->second;
}

}  // namespace

std::optional<core::FileStamp> VolumeSnapshot::Stat(const std::string& path) {
    if (const auto it = inventory_.find(path); it != inventory_.end()) {
        return it->second.stamp;
    }
    return Remembered(stats_, path, [&] { return disk_.Stat(path); });
}

bool VolumeSnapshot::IsDirectory(const std::string& path) {
    return Remembered(directories_, path, [&] { return disk_.IsDirectory(path); });
}

bool VolumeSnapshot::Exists(const std::string& path) {
    // A regular file's stat is wanted next anyway; anything else is asked as such.
    return Stat(path).has_value() || Remembered(exists_, path, [&] { return disk_.Exists(path); });
}

std::optional<std::vector<std::string>> VolumeSnapshot::List(const std::string& folder) {
    return Remembered(lists_, folder, [&] { return disk_.List(folder); });
}

bool VolumeSnapshot::IsReadable(const std::string& path) {
    if (const auto it = inventory_.find(path); it != inventory_.end() && it->second.keep) {
        if (const auto held = Held(path)) {
            return *held != nullptr;
        }
    }
    return Remembered(readable_, path, [&] { return disk_.IsReadable(path); });
}

std::optional<VolumeSnapshot::Bytes> VolumeSnapshot::Held(const std::string& path) {
    if (const auto it = kept_.find(path); it != kept_.end()) {
        return it->second;
    }
    if (path == recentPath_) {
        return recent_;
    }
    const auto stamp = Stat(path);
    if (!stamp) {
        return Bytes{};
    }
    if (static_cast<std::uint64_t>(stamp->size) > kHoldLimit) {
        return std::nullopt;
    }
    auto read = disk_.ReadWhole(path, kHoldLimit);
    if (!read) {
        return std::nullopt;  // unreadable, or grown since: the caller asks the disk itself
    }
    const auto size = read->size();
    Bytes bytes = std::make_shared<const std::vector<std::uint8_t>>(std::move(*read));
    const auto it = inventory_.find(path);
    if (it != inventory_.end() && it->second.keep && keptBytes_ + size <= kKeepLimit) {
        kept_.emplace(path, bytes);
        keptBytes_ += size;
    } else {
        recentPath_ = path;
        recent_ = bytes;
    }
    return bytes;
}

std::optional<std::vector<std::uint8_t>> VolumeSnapshot::ReadHead(const std::string& path, std::size_t n) {
    if (const auto held = Held(path)) {
        if (!*held) {
            return std::nullopt;
        }
        const auto& bytes = **held;
        return std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(n, bytes.size())));
    }
    return disk_.ReadHead(path, n);
}

std::optional<std::vector<std::uint8_t>> VolumeSnapshot::ReadWhole(const std::string& path, std::uint64_t maxBytes) {
    if (const auto held = Held(path)) {
        if (!*held || (*held)->size() > maxBytes) {
            return std::nullopt;
        }
        return **held;
    }
    return disk_.ReadWhole(path, maxBytes);
}

}  // namespace velmorant::doctor
