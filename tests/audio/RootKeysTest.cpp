#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "audio/Pitch.h"
#include "audio/RootKeys.h"

namespace velmorant::audio {
namespace {

struct NameCase {
    const char* file;
    Notation notation;
    MiddleC middleC;
    int key;  // -1: no note found
    const char* text;
};

class NoteInNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(NoteInNameTest, FindsTheRightMostLongestNote) {
    const NameCase& c = GetParam();
    const auto found = FindNoteInName(c.file, c.notation, c.middleC);
    if (c.key < 0) {
        EXPECT_FALSE(found) << found->text;
        return;
    }
    ASSERT_TRUE(found);
    EXPECT_EQ(found->key, c.key);
    EXPECT_EQ(found->text, c.text);
}

constexpr auto kEn = Notation::kEnglish;
constexpr auto kDe = Notation::kGerman;
constexpr auto kMidi = Notation::kMidiNumber;
constexpr auto kC3 = MiddleC::kC3;
constexpr auto kC4 = MiddleC::kC4;

INSTANTIATE_TEST_SUITE_P(
    Names, NoteInNameTest,
    ::testing::Values(NameCase{"piano-c4.wav", kEn, kC4, 60, "c4"}, NameCase{"piano-c4.wav", kEn, kC3, 72, "c4"},
                      NameCase{"Piano C#3.aif", kEn, kC4, 49, "C#3"}, NameCase{"Piano Db3.flac", kEn, kC3, 61, "Db3"},
                      NameCase{"Str_C_3.wav", kEn, kC4, 48, "C_3"}, NameCase{"Bass C-1 A2.wav", kEn, kC4, 45, "A2"},
                      NameCase{"Sub C-1.wav", kEn, kC4, 0, "C-1"}, NameCase{"PianoC4.wav", kEn, kC4, 60, "C4"},
                      NameCase{"soft pad.wav", kEn, kC4, -1, ""}, NameCase{"Bb0 G9.wav", kEn, kC4, 127, "G9"},
                      NameCase{"Flute H4.wav", kDe, kC4, 71, "H4"}, NameCase{"Flute B4.wav", kDe, kC4, 70, "B4"},
                      NameCase{"Flute B4.wav", kEn, kC4, 71, "B4"}, NameCase{"Flute H4.wav", kEn, kC4, -1, ""},
                      NameCase{"Horn Fis3.wav", kDe, kC4, 54, "Fis3"}, NameCase{"Horn Es4.wav", kDe, kC4, 63, "Es4"},
                      NameCase{"kick_036.wav", kMidi, kC4, 36, "036"}, NameCase{"snare 38 v127.wav", kMidi, kC4, 38, "38"},
                      NameCase{"take 2019 60.wav", kMidi, kC4, 60, "60"}, NameCase{"hit 128.wav", kMidi, kC4, -1, ""},
                      NameCase{"Piano C4.wav", kMidi, kC4, -1, ""}, NameCase{"10 C4.wav", kEn, kC4, 60, "C4"}));

struct SetCase {
    const char* name;
    std::vector<KeyClues> files;
    std::vector<int> keys;
    std::vector<KeyEvidence> evidence;
    std::size_t notes;  // disagreements reported over the set
};

class RootKeySetTest : public ::testing::TestWithParam<SetCase> {};

TEST_P(RootKeySetTest, TakesTheStrongestEvidence) {
    const SetCase& c = GetParam();
    const auto keys = ChooseRootKeys(c.files, MiddleC::kC4, 72);
    ASSERT_EQ(keys.size(), c.keys.size());
    std::size_t notes = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].key, c.keys[i]) << i;
        EXPECT_EQ(keys[i].evidence, c.evidence[i]) << i;
        notes += keys[i].notes.size();
    }
    EXPECT_EQ(notes, c.notes);
}

constexpr auto kSmpl = KeyEvidence::kSampler;
constexpr auto kInst = KeyEvidence::kInstrument;
constexpr auto kName = KeyEvidence::kFileName;
constexpr auto kDefault = KeyEvidence::kDefault;

INSTANTIATE_TEST_SUITE_P(
    Sets, RootKeySetTest,
    ::testing::Values(
        // Every file saying 60 is a tool's default: the names decide.
        SetCase{"SharedSmplIsADefault", {{"p c2.wav", 60, {}}, {"p c4.wav", 60, {}}, {"p c6.wav", 60, {}}},
                {36, 60, 84}, {kName, kName, kName}, 0},
        SetCase{"DifferentSmplWins", {{"p c2.wav", 48, {}}, {"p c4.wav", 60, {}}}, {48, 60}, {kSmpl, kSmpl}, 1},
        SetCase{"LoneSmplIsTrusted", {{"piano a3.wav", 60, {}}}, {60}, {kSmpl}, 1},
        SetCase{"InstBeforeName", {{"x c2.wav", {}, 50}, {"x c4.wav", {}, {}}}, {50, 60}, {kInst, kName}, 0},
        // No notation fits every name: the default for all.
        SetCase{"MixedNotations", {{"x C3.wav", {}, {}}, {"y 60.wav", {}, {}}}, {72, 72}, {kDefault, kDefault}, 0},
        SetCase{"GermanWhenItAloneFits", {{"Fl H3.wav", {}, {}}, {"Fl B3.wav", {}, {}}}, {59, 58}, {kName, kName}, 0},
        SetCase{"EnglishFirst", {{"Fl B3.wav", {}, {}}, {"Fl C4.wav", {}, {}}}, {59, 60}, {kName, kName}, 0},
        SetCase{"MidiNumbers", {{"kit_036.wav", {}, {}}, {"kit_038.wav", {}, {}}}, {36, 38}, {kName, kName}, 0},
        SetCase{"Nothing", {{"bang.wav", {}, {}}}, {72}, {kDefault}, 0}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(NoteNameTest, OneOctaveConventionForEveryName) {
    EXPECT_EQ(NoteName(60, MiddleC::kC4), "C4");
    EXPECT_EQ(NoteName(60, MiddleC::kC3), "C3");
    EXPECT_EQ(NoteName(0, MiddleC::kC4), "C-1");
    EXPECT_EQ(NoteName(0, MiddleC::kC3), "C-2");
    EXPECT_EQ(NoteName(127, MiddleC::kC4), "G9");
    // A name read back gives the key it was made from, under either convention.
    for (const MiddleC m : {MiddleC::kC3, MiddleC::kC4}) {
        for (int key = 0; key < 128; ++key) {
            const auto found = FindNoteInName("x " + NoteName(key, m) + ".wav", Notation::kEnglish, m);
            ASSERT_TRUE(found) << key;
            EXPECT_EQ(found->key, key);
        }
    }
}

// YIN on generated tones: within a tenth of a semitone, and nothing for noise or silence.
struct PitchCase {
    const char* name;
    double hz;
    bool saw;
    bool noise;
};

class PitchTest : public ::testing::TestWithParam<PitchCase> {};

TEST_P(PitchTest, DetectsTheFundamental) {
    const PitchCase& c = GetParam();
    std::vector<float> sound(44100);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> uniform(-0.5f, 0.5f);
    for (std::size_t i = 0; i < sound.size(); ++i) {
        const double phase = c.hz * static_cast<double>(i) / 44100.0;
        sound[i] = c.noise ? uniform(random)
                   : c.saw ? static_cast<float>(0.5 * (phase - std::floor(phase)) - 0.25)
                           : static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * phase));
    }
    const auto hz = DetectPitch(sound, 44100);
    if (c.hz == 0) {
        EXPECT_FALSE(hz) << *hz;
        return;
    }
    ASSERT_TRUE(hz);
    EXPECT_LT(std::abs(KeyOfFrequency(*hz) - KeyOfFrequency(c.hz)), 0.1) << *hz;
}

INSTANTIATE_TEST_SUITE_P(Tones, PitchTest,
                         ::testing::Values(PitchCase{"Low", 55.0, false, false}, PitchCase{"A4", 440.0, false, false},
                                           PitchCase{"High", 2093.0, false, false}, PitchCase{"Saw", 220.0, true, false},
                                           PitchCase{"Noise", 0, false, true}, PitchCase{"Silence", 0, false, false}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(PitchDisagreementTest, FlagsAnOctaveOrMore) {
    EXPECT_TRUE(PitchDisagreement(130.81, 60, MiddleC::kC4));  // C3 against C4
    EXPECT_TRUE(PitchDisagreement(523.25, 60, MiddleC::kC4));
    EXPECT_FALSE(PitchDisagreement(261.63, 60, MiddleC::kC4));
    EXPECT_FALSE(PitchDisagreement(185.0, 60, MiddleC::kC4));  // F#3: a tritone is no octave
}

}  // namespace
}  // namespace velmorant::audio
