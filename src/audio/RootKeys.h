#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmorant::audio {

// Which octave number key 60 carries in note names: one setting for every front end.
enum class MiddleC { kC3, kC4 };
inline constexpr MiddleC kDefaultMiddleC = MiddleC::kC4;

std::optional<MiddleC> ParseMiddleC(std::string_view text);  // "C3" or "C4"
// "C4", "C#4", "C-1" under C4; the same key is one octave number lower under C3.
std::string NoteName(int key, MiddleC middleC);
// The octave number of a key: 4 for key 60 under C4, 3 under C3.
int OctaveNumber(int key, MiddleC middleC);

// How a file name may spell a note. English: C#3, Db3, C_3. German: H for B, B for B flat,
// Cis and Es. MIDI: a two- or three-digit number from 0 to 127.
enum class Notation { kEnglish, kGerman, kMidiNumber };

struct NameNote {
    int key = 0;
    std::string text;  // as spelt in the name
};

// The right-most note in the name (the longest where several end at the same place), with
// the extension ignored; nullopt when the notation finds none.
std::optional<NameNote> FindNoteInName(std::string_view fileName, Notation notation, MiddleC middleC);

enum class KeyEvidence { kSampler, kInstrument, kFileName, kDefault };
std::string EvidenceText(KeyEvidence evidence);

struct KeyClues {
    std::string fileName;
    std::optional<int> samplerKey;     // "smpl" unity note, fine tune folded in
    std::optional<int> instrumentKey;  // "inst" / "INST"
};

struct RootKey {
    int key = 60;
    KeyEvidence evidence = KeyEvidence::kDefault;
    std::optional<NameNote> nameNote;  // under the notation chosen for the set
    std::vector<std::string> notes;    // disagreements worth a line in the report
};

// The root key of every file of a set: the "smpl" note unless every file carries the same one
// (then it is a tool's default, not a key), then "inst", then a note in the file name in the
// first notation that finds one in every name, then `defaultKey`.
std::vector<RootKey> ChooseRootKeys(std::span<const KeyClues> files, MiddleC middleC, int defaultKey);

// A note for the report when the detected pitch lies an octave or more from the root key.
std::optional<std::string> PitchDisagreement(double hz, int rootKey, MiddleC middleC);

}  // namespace velmorant::audio
