#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/RootKeys.h"
#include "create/SampleEntry.h"
#include "platform/Platform.h"

namespace velmorant::create {

// "C  4" for key 60, "C#4" for 61 under middle C = C4: natural notes take two blanks
// before the octave.
std::string NoteName(int key, audio::MiddleC middleC = audio::kDefaultMiddleC);

// The texts of one row of the multisample editor's list.
struct SampleRow {
    std::string name;      // the WAV file's name without extension
    int image = 0;         // 1 when locked
    std::string size;      // "2Kb"
    std::string root;      // "C  4 (60)"
    std::string notes;     // "C  4 - C  5 (60-72)"
    std::string velocity;  // "0-127"
};
SampleRow MakeSampleRow(const SampleEntry& entry, audio::MiddleC middleC = audio::kDefaultMiddleC);

// The editor's "Apply": stores the zone unless left is above right (then warns, stores nothing).
struct ZoneChoice {
    int rootKey = 0;
    int leftKey = 0;
    int rightKey = 0;
    bool locked = false;
};
inline constexpr const char* kLeftAboveRightWarning = "Left note must be lower than right note";
bool ZoneIsValid(const ZoneChoice& zone);
int ApplyZone(platform::Platform& platform, SampleEntry& entry, const ZoneChoice& zone);

// Takes the entry out, keeping the order of the others; an index outside the table does nothing.
void RemoveSample(std::vector<SampleEntry>& entries, int index);

// How many zones cover the key, and how the keyboard paints it.
int KeyCover(const std::vector<SampleEntry>& entries, int key);
enum class KeyPaint { kUncovered, kCoveredOnce, kOverlapped };
KeyPaint KeyPaintFor(int cover);

// The drawn keyboard: a rectangle per key in client pixels (right and bottom exclusive).
struct KeyRect {
    int key = 0;
    bool black = false;
    int left = 0, top = 0, right = 0, bottom = 0;
};
// The 75 white keys first, then the 53 black ones (drawn over them).
std::vector<KeyRect> MultisampleKeyboard();

}  // namespace velmorant::create
