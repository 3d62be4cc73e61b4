#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "audio/Pitch.h"
#include "audio/RootKeys.h"

namespace velmorant::audio {
namespace {

constexpr auto kEn = Notation::kEnglish;
constexpr auto kDe = Notation::kGerman;
constexpr auto kMidi = Notation::kMidiNumber;
constexpr auto kC3 = MiddleC::kC3;
constexpr auto kC4 = MiddleC::kC4;

// The right-most, longest note in a name; key -1 when there is none.
TEST(RootKeysTest, NoteInNameIsTheRightMostLongestNote) {
    const struct {
        const char* file;
        Notation notation;
        MiddleC middleC;
        int key;
        const char* text;
    } rows[] = {{"piano-c4.wav", kEn, kC4, 60, "c4"}, {"piano-c4.wav", kEn, kC3, 72, "c4"},
                {"Piano C#3.aif", kEn, kC4, 49, "C#3"}, {"Piano Db3.flac", kEn, kC3, 61, "Db3"},
                {"Str_C_3.wav", kEn, kC4, 48, "C_3"}, {"Bass C-1 A2.wav", kEn, kC4, 45, "A2"},
                {"Sub C-1.wav", kEn, kC4, 0, "C-1"}, {"PianoC4.wav", kEn, kC4, 60, "C4"},
                {"soft pad.wav", kEn, kC4, -1, ""}, {"Bb0 G9.wav", kEn, kC4, 127, "G9"},
                {"Flute H4.wav", kDe, kC4, 71, "H4"}, {"Flute B4.wav", kDe, kC4, 70, "B4"},
                {"Flute B4.wav", kEn, kC4, 71, "B4"}, {"Flute H4.wav", kEn, kC4, -1, ""},
                {"Horn Fis3.wav", kDe, kC4, 54, "Fis3"}, {"Horn Es4.wav", kDe, kC4, 63, "Es4"},
                {"kick_036.wav", kMidi, kC4, 36, "036"}, {"snare 38 v127.wav", kMidi, kC4, 38, "38"},
                {"take 2019 60.wav", kMidi, kC4, 60, "60"}, {"hit 128.wav", kMidi, kC4, -1, ""},
                {"Piano C4.wav", kMidi, kC4, -1, ""}, {"10 C4.wav", kEn, kC4, 60, "C4"}};
    for (const auto& c : rows) {
        const auto found = FindNoteInName(c.file, c.notation, c.middleC);
        EXPECT_EQ(found ? found->key : -1, c.key) << c.file;
        EXPECT_EQ(found ? found->text : "", c.text) << c.file;
    }
    // A name made by NoteName reads back as its key under either convention (the rows above
    // pin where the octaves start).
    for (const MiddleC m : {kC3, kC4}) {
        for (int key = 0; key < 128; ++key) {
            const auto found = FindNoteInName("x " + NoteName(key, m) + ".wav", kEn, m);
            ASSERT_TRUE(found && found->key == key) << key;
        }
    }
}

constexpr auto kSmpl = KeyEvidence::kSampler;
constexpr auto kInst = KeyEvidence::kInstrument;
constexpr auto kName = KeyEvidence::kFileName;
constexpr auto kDefault = KeyEvidence::kDefault;

TEST(RootKeysTest, ASetTakesTheStrongestEvidence) {
    const struct {
        std::vector<KeyClues> files;
        std::vector<int> keys;
        std::vector<KeyEvidence> evidence;
        std::size_t notes;  // disagreements reported over the set
    } sets[] = {
        // Every file saying 60 is a tool's default: the names decide.
        {{{"p c2.wav", 60, {}}, {"p c4.wav", 60, {}}, {"p c6.wav", 60, {}}}, {36, 60, 84}, {kName, kName, kName}, 0},
        {{{"p c2.wav", 48, {}}, {"p c4.wav", 60, {}}}, {48, 60}, {kSmpl, kSmpl}, 1},
        {{{"piano a3.wav", 60, {}}}, {60}, {kSmpl}, 1},  // a lone smpl is trusted
        {{{"x c2.wav", {}, 50}, {"x c4.wav", {}, {}}}, {50, 60}, {kInst, kName}, 0},
        // No notation fits every name: the default for all.
        {{{"x C3.wav", {}, {}}, {"y 60.wav", {}, {}}}, {72, 72}, {kDefault, kDefault}, 0},
        {{{"Fl H3.wav", {}, {}}, {"Fl B3.wav", {}, {}}}, {59, 58}, {kName, kName}, 0},  // German when it alone fits
        {{{"Fl B3.wav", {}, {}}, {"Fl C4.wav", {}, {}}}, {59, 60}, {kName, kName}, 0},  // English first
        {{{"kit_036.wav", {}, {}}, {"kit_038.wav", {}, {}}}, {36, 38}, {kName, kName}, 0},
        {{{"bang.wav", {}, {}}}, {72}, {kDefault}, 0}};
    for (const auto& c : sets) {
        const auto keys = ChooseRootKeys(c.files, kC4, 72);
        ASSERT_EQ(keys.size(), c.keys.size());
        std::size_t notes = 0;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            EXPECT_EQ(std::tie(keys[i].key, keys[i].evidence), std::tie(c.keys[i], c.evidence[i])) << c.files[i].fileName;
            notes += keys[i].notes.size();
        }
        EXPECT_EQ(notes, c.notes) << c.files[0].fileName;
    }
}

// YIN on generated tones: within a tenth of a semitone, and nothing for noise or silence (0 Hz).
TEST(PitchTest, DetectsTheFundamentalAndFlagsAnOctaveOrMore) {
    const std::tuple<double, bool, bool> tones[] = {
        {55.0, false, false}, {440.0, false, false}, {2093.0, false, false}, {220.0, true, false}, {0, false, true}, {0, false, false}};
    for (const auto& [toneHz, saw, noise] : tones) {
        std::vector<float> sound(44100);
        std::mt19937 random(7);
        std::uniform_real_distribution<float> uniform(-0.5f, 0.5f);
        for (std::size_t i = 0; i < sound.size(); ++i) {
            const double phase = toneHz * static_cast<double>(i) / 44100.0;
            sound[i] = noise ? uniform(random)
                       : saw ? static_cast<float>(0.5 * (phase - std::floor(phase)) - 0.25)
                             : static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * phase));
        }
        const auto hz = DetectPitch(sound, 44100);
        ASSERT_EQ(hz.has_value(), toneHz != 0) << toneHz << " " << noise;
        EXPECT_LT(hz ? std::abs(KeyOfFrequency(*hz) - KeyOfFrequency(toneHz)) : 0.0, 0.1) << toneHz;
    }
    EXPECT_TRUE(PitchDisagreement(130.81, 60, kC4));  // C3 against C4
    EXPECT_TRUE(PitchDisagreement(523.25, 60, kC4));
    EXPECT_FALSE(PitchDisagreement(261.63, 60, kC4));
    EXPECT_FALSE(PitchDisagreement(185.0, 60, kC4));  // F#3: a tritone is no octave
}

}  // namespace
}  // namespace velmorant::audio
