#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/File.h"

namespace velmorant::formats {

// A drum kit: what the drum editor holds and the .fdk file stores, key by key.
inline constexpr int kDrumKitKeys = 98;
inline constexpr int kMaxDrumLayers = 4;

struct DrumLayer {
    std::string path;  // Windows-1252 bytes as stored
    std::int32_t upperBound = 127;  // highest velocity that plays this layer
    std::int64_t size = 0;          // of the WAV file, 0 when it cannot be opened (not stored)
};

enum DrumKeyState : std::int32_t {
    kKeyNotInUse = 0,
    kKeyOwnLayers = 1,
    kKeyCopy = 2,
};

struct DrumKey {
    std::vector<DrumLayer> layers;  // lowest velocity first, at most kMaxDrumLayers
    std::int32_t state = kKeyNotInUse;
    std::int32_t copySource = -1;
    std::int32_t defineOscillator = 1;
    std::int32_t preset = 0;  // "Default", "Short perc", "Long perc"

    int layerCount() const { return static_cast<int>(layers.size()); }
};

struct DrumKit {
    std::array<DrumKey, kDrumKitKeys> keys{};
};

// The kit file is text: line 1, then one line per key, each field followed by "|":
// index | layer count | state | copy source | define oscillator | preset | then path | upper
// bound for four layers (an absent layer is an empty path and 0). Written with CR LF;
// CR LF and LF are read.
inline constexpr const char* kKitFileHeader = "##|fdk|3|||||||||||||";
inline constexpr std::string_view kKitFileMagic = "##|fdk|3";
inline constexpr std::size_t kKitKeyFields = 6;
inline constexpr std::size_t kMaxKitLines = 2000;

enum class DrumKitResult {
    kOk,
    kCannotOpen,
    kNotKitFile,       // the first line is not a kit file's
    kBadLine,          // a key line SaveDrumKit could not have written (skipped)
    kPathNotStorable,  // a sample path holds "|" or a line end
    kExists,           // a kit file is never overwritten
    kCannotCreate,
};
// The message for a result. `subject` is the file (or, for kPathNotStorable, the sample path);
// `line` the 1-based line of kBadLine.
std::string DrumKitMessage(DrumKitResult result, std::string_view subject = {}, std::size_t line = 0);

// One key line of a kit file as read; the layers' sizes are left at 0.
struct KitLine {
    std::size_t number = 0;     // 1-based line number
    const char* badField = "";  // for a refused line, the first field found wrong
    int index = -1;             // -1 for a refused line
    DrumKey key;
};
struct KitText {
    DrumKitResult result = DrumKitResult::kOk;
    std::vector<KitLine> lines;  // in file order; blank lines are left out
};
// Reads kit file text: kNotKitFile when the first line does not start with the magic.
KitText ParseKitText(std::string_view text);

// The first layer path that a kit file cannot store, or nullptr.
const std::string* FirstUnstorablePath(const DrumKit& kit);
// The whole file's text; empty when a path cannot be stored.
std::string FormatKitText(const DrumKit& kit);
// Writes the kit file atomically (an existing file is replaced: callers decide whether it may be).
// `status`, when given, receives the system's reason for a failed write.
DrumKitResult WriteKitFile(const std::string& path, const DrumKit& kit, core::FileStatus* status = nullptr);

}  // namespace velmorant::formats
