#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formats/DrumKitFile.h"
#include "platform/Platform.h"

namespace velmorant::create {

using formats::DrumKey;
using formats::DrumKit;
using formats::DrumLayer;
using formats::kDrumKitKeys;
using formats::kKeyCopy;
using formats::kKeyNotInUse;
using formats::kKeyOwnLayers;
using formats::kMaxDrumLayers;

// Key index k plays note k + 5 in the editor (and key k + 17 in a drum program).
inline constexpr int kDrumEditorNoteOffset = 5;

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

// Saves as `chosenPath` with the extension .fdk; 1 saved, 0 after a message (the file exists,
// cannot be made, or a path cannot be stored).
int SaveDrumKit(platform::Platform& platform, const DrumKit& kit, const std::string& chosenPath);
// 1 loaded; 0 after a message, with the kit unchanged.
int LoadDrumKit(platform::Platform& platform, DrumKit& kit, const std::string& path);
// Reads kit file text (CR LF or LF) into the kit; the chooser is only used to replace
// missing samples. 1 read, 0 when the first line is not a kit file's (kit unchanged).
int ReadKitText(platform::Platform& platform, std::string_view text, const std::string& path, DrumKit& kit);

// The open and save commands: the load or save, then "No file loaded" or "File not saved"
// when it failed. True when done.
bool OpenKitCommand(platform::Platform& platform, DrumKit& kit, const std::string& path);
bool SaveKitCommand(platform::Platform& platform, const DrumKit& kit, const std::string& chosenPath);

}  // namespace velmorant::create
