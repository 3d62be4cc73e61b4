#pragma once

#include <string>
#include <vector>

#include "audio/RootKeys.h"
#include "create/DrumKit.h"

namespace velmorant::create {

// The General MIDI drum name of a key index ("Bass Drum 1" for 31), in Windows-1252; empty for none.
std::string DrumKeyName(int keyIndex);

// "C 2" for key index 31 (note 36) under middle C = C4: two-character note name and octave.
std::string DrumNoteText(int keyIndex, audio::MiddleC middleC = audio::kDefaultMiddleC);

// One row of the key list.
struct DrumKeyRow {
    std::string number;  // "No": index + 5
    std::string note;
    std::string drumName;
    int stateIcon = 0;  // the key's state 0, 1 or 2
};
DrumKeyRow MakeDrumKeyRow(const DrumKit& kit, int keyIndex, audio::MiddleC middleC = audio::kDefaultMiddleC);

// One row of the layer list: file name, velocity from, velocity to.
struct DrumLayerRow {
    std::string name;
    std::string from;
    std::string to;
};
std::vector<DrumLayerRow> MakeDrumLayerRows(const DrumKey& key);

// The copy chooser: " - Not Set - " (key -1), then every key with its own oscillator and layers.
struct CopyChoice {
    int key = -1;
    std::string text;
};
std::vector<CopyChoice> CopyChoices(const DrumKit& kit, audio::MiddleC middleC = audio::kDefaultMiddleC);
// The position of the key's copy source in the choices (0 when none).
int SelectedCopyChoice(const std::vector<CopyChoice>& choices, const DrumKey& key);

// The "from" and "to" velocity controls of one layer.
struct VelocityControls {
    bool toEnabled = false;
    int to = 127, toMin = 0, toMax = 127;
    bool fromEnabled = false;
    int from = 0, fromMin = 0, fromMax = 127;
};
VelocityControls MakeVelocityControls(const DrumKey& key, int layer);

// "3 Oscillators (5 samples, 1 Ko)", with a warning past 64 oscillators; empty with no samples.
std::string OscillatorCountText(const DrumKit& kit);

// The drawn drum keyboard (98 keys from F) and its hit test, in client pixels.
struct DrumKeyRect {
    int key = 0;
    bool black = false;
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
};
std::vector<DrumKeyRect> DrumKeyboard();
// The key index under a click, or -1.
int DrumKeyAt(int x, int y);

}  // namespace velmorant::create
