#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace velmorant::create {

inline constexpr int kDrumKitKeys = 98;
inline constexpr int kMaxDrumLayers = 4;
// Key index k plays note k + 5 in the editor and is key k + 17 in a drum program.
inline constexpr int kDrumEditorNoteOffset = 5;
inline constexpr int kDrumProgramKeyOffset = 17;

struct DrumLayer {
    std::string path;
    std::int32_t upperBound = 127;  // highest velocity that plays this layer
    std::int64_t size = 0;          // of the WAV file, 0 when it cannot be opened
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

// Editing operations of the drum editor. Out-of-range keys and layers are ignored.
// Adds a layer with default upper bounds; false (after a message) when the key has four.
bool AddLayer(platform::Platform& platform, DrumKit& kit, int key, const std::string& path);
void RemoveLayer(DrumKit& kit, int key, int layer);
void MoveLayerDown(DrumKit& kit, int key, int layer);
void MoveLayerUp(DrumKit& kit, int key, int layer);
// The bound is kept within 0..127.
void SetUpperBound(DrumKit& kit, int key, int layer, int bound);
void SetDefineOscillator(DrumKit& kit, int key, bool on);
// sourceKey -1 is the chooser's " - Not Set - ".
void SetCopySource(DrumKit& kit, int key, int sourceKey);
void SetPreset(DrumKit& kit, int key, int preset);
void ResetKit(DrumKit& kit);

// The velocities a layer plays: from the previous layer's bound (0 for the first) to its
// own, or to 127 for the last layer whatever it stores.
struct VelocityRange {
    int from = 0;
    int to = 127;
};
VelocityRange LayerVelocityRange(const DrumKey& key, int layer);

// The kit file: line 1 then one line per key, each field followed by "|".
inline constexpr const char* kKitFileHeader = "##|fdk|3|||||||||||||";
// The whole file's text, with CR LF line ends; empty when a path holds "|" or a line end.
std::string FormatKitFile(const DrumKit& kit);

// 1 saved or cancelled; 0 after a message (the file exists, cannot be made, or a path cannot be stored).
int SaveDrumKit(platform::Platform& platform, const DrumKit& kit);
// 1 loaded or cancelled; 0 after a message, with the kit unchanged.
int LoadDrumKit(platform::Platform& platform, DrumKit& kit);
// Reads kit file text (CR LF or LF) into the kit; the chooser is only used to replace
// missing samples. 1 read, 0 when the first line is not a kit file's (kit unchanged).
int ReadKitText(platform::Platform& platform, std::string_view text, const std::string& path, DrumKit& kit);

}  // namespace velmorant::create
