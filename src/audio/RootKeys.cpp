#include "audio/RootKeys.h"

#include <array>
#include <cmath>
#include <filesystem>

#include "audio/Pitch.h"
#include "core/Text.h"

namespace velmorant::audio {

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
char Upper(char c) { return IsLower(c) ? static_cast<char>(c - 'a' + 'A') : c; }

int OctaveOffset(MiddleC middleC) { return middleC == MiddleC::kC4 ? 1 : 2; }

// The pitch class of a note letter in the notation, or -1.
int PitchClass(char letter, Notation notation) {
    switch (Upper(letter)) {
        case 'C': return 0;
        case 'D': return 2;
        case 'E': return 4;
        case 'F': return 5;
        case 'G': return 7;
        case 'A': return 9;
        case 'B': return notation == Notation::kGerman ? 10 : 11;
        case 'H': return notation == Notation::kGerman ? 11 : -1;
        default: return -1;
    }
}

struct Match {
    std::size_t start = 0;
    std::size_t end = 0;
    int key = 0;
};

// A letter note starting at `i`: letter, accidental, optional '_', octave (-2..9, one digit).
std::optional<Match> LetterNoteAt(std::string_view s, std::size_t i, Notation notation, MiddleC middleC) {
    const int pc = PitchClass(s[i], notation);
    if (pc < 0) return std::nullopt;
    // Inside a word only at a capital after a small letter ("PianoC4"), never in "soft".
    if (i > 0 && IsLetter(s[i - 1]) && !(IsLower(s[i - 1]) && !IsLower(s[i]))) return std::nullopt;
    std::size_t p = i + 1;
    int shift = 0;
    const auto at = [&](std::size_t k) { return k < s.size() ? s[k] : '\0'; };
    if (at(p) == '#') {
        shift = 1;
        ++p;
    } else if (at(p) == 'b') {
        shift = -1;
        ++p;
    } else if (notation == Notation::kGerman && at(p) == 'i' && at(p + 1) == 's') {
        shift = 1;
        p += 2;
    } else if (notation == Notation::kGerman && at(p) == 'e' && at(p + 1) == 's') {
        shift = -1;
        p += 2;
    } else if (notation == Notation::kGerman && at(p) == 's' && (Upper(s[i]) == 'E' || Upper(s[i]) == 'A')) {
        shift = -1;  // Es, As
        ++p;
    } else if (at(p) == '_') {
        ++p;
    }
    bool negative = false;
    if (at(p) == '-') {
        negative = true;
        ++p;
    }
    if (!IsDigit(at(p)) || IsDigit(at(p + 1))) return std::nullopt;
    const int octave = (negative ? -1 : 1) * (at(p) - '0');
    const int key = (octave + OctaveOffset(middleC)) * 12 + pc + shift;
    if (key < 0 || key > 127) return std::nullopt;
    return Match{i, p + 1, key};
}

std::optional<Match> NumberAt(std::string_view s, std::size_t i) {
    if (!IsDigit(s[i]) || (i > 0 && (IsDigit(s[i - 1]) || IsLetter(s[i - 1])))) return std::nullopt;
    std::size_t p = i;
    int value = 0;
    while (p < s.size() && IsDigit(s[p]) && p - i < 4) value = value * 10 + (s[p++] - '0');
    if (p - i < 2 || p - i > 3 || (p < s.size() && IsDigit(s[p])) || value > 127) return std::nullopt;
    return Match{i, p, value};
}

std::string_view Stem(std::string_view fileName) {
    const auto slash = fileName.find_last_of("/\\");
    if (slash != std::string_view::npos) fileName.remove_prefix(slash + 1);
    const auto dot = fileName.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? fileName : fileName.substr(0, dot);
}

}  // namespace

std::optional<MiddleC> ParseMiddleC(std::string_view text) {
    if (text == "C3" || text == "c3") return MiddleC::kC3;
    if (text == "C4" || text == "c4") return MiddleC::kC4;
    return std::nullopt;
}

int OctaveNumber(int key, MiddleC middleC) {
    const int pc = ((key % 12) + 12) % 12;
    return (key - pc) / 12 - OctaveOffset(middleC);
}

std::string NoteName(int key, MiddleC middleC) {
    static constexpr std::array<const char*, 12> kNames{"C", "C#", "D", "D#", "E", "F",
                                                        "F#", "G", "G#", "A", "A#", "B"};
    const int pc = ((key % 12) + 12) % 12;
    return core::Format("%s%d", kNames[static_cast<std::size_t>(pc)], OctaveNumber(key, middleC));
}

std::optional<NameNote> FindNoteInName(std::string_view fileName, Notation notation, MiddleC middleC) {
    const std::string_view s = Stem(fileName);
    std::optional<Match> best;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto found = notation == Notation::kMidiNumber ? NumberAt(s, i) : LetterNoteAt(s, i, notation, middleC);
        if (found && (!best || found->end > best->end ||
                      (found->end == best->end && found->end - found->start > best->end - best->start))) {
            best = found;
        }
    }
    if (!best) return std::nullopt;
    return NameNote{best->key, std::string(s.substr(best->start, best->end - best->start))};
}

std::string EvidenceText(KeyEvidence evidence) {
    switch (evidence) {
        case KeyEvidence::kSampler: return "smpl chunk";
        case KeyEvidence::kInstrument: return "inst chunk";
        case KeyEvidence::kFileName: return "file name";
        case KeyEvidence::kDefault: return "default";
    }
    return "?";
}

std::vector<RootKey> ChooseRootKeys(std::span<const KeyClues> files, MiddleC middleC, int defaultKey) {
    bool samplerIsDefault = files.size() > 1;
    for (const KeyClues& f : files) {
        if (!f.samplerKey || f.samplerKey != files.front().samplerKey) samplerIsDefault = false;
    }
    std::optional<Notation> notation;
    for (const Notation n : {Notation::kEnglish, Notation::kGerman, Notation::kMidiNumber}) {
        bool fitsAll = !files.empty();
        for (const KeyClues& f : files) fitsAll = fitsAll && FindNoteInName(f.fileName, n, middleC).has_value();
        if (fitsAll) {
            notation = n;
            break;
        }
    }

    std::vector<RootKey> keys;
    for (const KeyClues& f : files) {
        RootKey root;
        root.key = defaultKey;
        if (notation) root.nameNote = FindNoteInName(f.fileName, *notation, middleC);
        if (f.samplerKey && !samplerIsDefault) {
            root.key = *f.samplerKey;
            root.evidence = KeyEvidence::kSampler;
            if (root.nameNote && root.nameNote->key != root.key) {
                root.notes.push_back(core::Format("the file name says %s (%d) but the smpl chunk %s (%d)",
                                                  root.nameNote->text.c_str(), root.nameNote->key,
                                                  NoteName(root.key, middleC).c_str(), root.key));
            }
        } else if (f.instrumentKey) {
            root.key = *f.instrumentKey;
            root.evidence = KeyEvidence::kInstrument;
        } else if (root.nameNote) {
            root.key = root.nameNote->key;
            root.evidence = KeyEvidence::kFileName;
        }
        keys.push_back(std::move(root));
    }
    return keys;
}

std::optional<std::string> PitchDisagreement(double hz, int rootKey, MiddleC middleC) {
    const double detected = KeyOfFrequency(hz);
    if (std::abs(detected - rootKey) < 11.5) {
        return std::nullopt;
    }
    const int nearest = static_cast<int>(std::lround(detected));
    return core::Format("the pitch heard, %.1f Hz (%s), lies an octave or more from the root key %s (%d)", hz,
                        NoteName(nearest, middleC).c_str(), NoteName(rootKey, middleC).c_str(), rootKey);
}

}  // namespace velmorant::audio
