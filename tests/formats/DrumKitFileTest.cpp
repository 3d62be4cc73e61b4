#include <gtest/gtest.h>

#include "core/File.h"
#include "create/DrumKit.h"
#include "formats/DrumKitFile.h"
#include "platform/ScriptedPlatform.h"
#include "support/CreateFixtures.h"
#include "support/TempDir.h"

namespace velmorant::formats {
namespace {

using create::AddLayer;
using create::LoadDrumKit;
using create::SaveDrumKit;
using create::SetCopySource;
using create::SetDefineOscillator;
using create::SetPreset;
using create::SetUpperBound;
using testing::TempDir;

class KitFileTest : public ::testing::Test {
protected:
    std::string Wave(const std::string& name) { return testing::WriteWave(dir({name}), testing::CountingWave(100)); }
    DrumKit Load(const std::string& text) {
        testing::WriteTextFile(dir({"in.fdk"}), text);
        DrumKit kit;
        AddLayer(platform, kit, 40, "kept.wav");
        result = LoadDrumKit(platform, kit, dir({"in.fdk"}));
        return kit;
    }

    TempDir dir;
    platform::ScriptedPlatform platform;
    int result = -1;
};

TEST_F(KitFileTest, AnEmptyKitIsTheHeaderAnd98EmptyLines) {
    ASSERT_EQ(SaveDrumKit(platform, DrumKit{}, dir({"kit.txt"})), 1);
    const std::string text = testing::ReadText(dir({"kit.fdk"}));
    std::string expected = "##|fdk|3|||||||||||||\r\n";
    for (int k = 0; k < 98; ++k) expected += std::to_string(k) + "|0|0|-1|1|0||0||0||0||0|\r\n";
    EXPECT_EQ(text, expected);
    EXPECT_FALSE(core::FileExists(dir({"kit.txt"})));
}

TEST_F(KitFileTest, SaveThenLoadGivesTheSameKitAndAnExistingFileIsKept) {
    DrumKit kit;
    const std::string a = Wave("a.wav"), b = Wave("b.wav"), c = Wave("c.wav");
    AddLayer(platform, kit, 31, a);
    AddLayer(platform, kit, 31, b);
    for (const auto& path : {a, b, c}) AddLayer(platform, kit, 97, path);
    SetUpperBound(kit, 97, 0, 20);
    SetPreset(kit, 97, 1);
    SetDefineOscillator(kit, 3, false);
    SetCopySource(kit, 3, 31);
    ASSERT_EQ(SaveDrumKit(platform, kit, dir({"kit.fdk"})), 1);
    const std::string text = testing::ReadText(dir({"kit.fdk"}));
    EXPECT_NE(text.find("\r\n31|2|1|-1|1|0|" + a + "|63|" + b + "|127||0||0|\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n97|3|1|-1|1|1|" + a + "|20|" + b + "|96|" + c + "|127||0|\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n3|0|2|31|0|0||0||0||0||0|\r\n"), std::string::npos);

    DrumKit loaded;
    ASSERT_EQ(LoadDrumKit(platform, loaded, dir({"kit.fdk"})), 1);
    for (int k = 0; k < kDrumKitKeys; ++k) {
        const DrumKey& x = kit.keys[static_cast<std::size_t>(k)];
        const DrumKey& y = loaded.keys[static_cast<std::size_t>(k)];
        EXPECT_EQ(std::tie(x.state, x.copySource, x.defineOscillator, x.preset),
                  std::tie(y.state, y.copySource, y.defineOscillator, y.preset)) << k;
        EXPECT_EQ(testing::LayerPaths(kit, k), testing::LayerPaths(loaded, k)) << k;
        EXPECT_EQ(testing::LayerBounds(kit, k), testing::LayerBounds(loaded, k)) << k;
    }
    EXPECT_EQ(loaded.keys[31].layers[0].size, static_cast<std::int64_t>(core::FileSize(a)));

    EXPECT_FALSE(create::SaveKitCommand(platform, DrumKit{}, dir({"kit.fdk"})));
    EXPECT_EQ(testing::ReadText(dir({"kit.fdk"})), text);
    EXPECT_EQ(platform.Boxes(),
              (std::vector<std::string>{"Information: File already Exist !", "Error: File not saved"}));
    EXPECT_TRUE(platform.Problems().empty());
}

TEST_F(KitFileTest, APathThatTheFormatCannotHoldIsRefusedAndNothingWritten) {
    DrumKit kit;
    AddLayer(platform, kit, 1, "odd|name.wav");
    EXPECT_EQ(SaveDrumKit(platform, kit, dir({"kit.fdk"})), 0);
    EXPECT_FALSE(core::FileExists(dir({"kit.fdk"})));
    ASSERT_EQ(platform.Boxes().size(), 1u);
    EXPECT_TRUE(platform.Boxes()[0].starts_with("Error: The sample path odd|name.wav")) << platform.Boxes()[0];
    // A zero byte would cut the path short in the file.
    DrumKit zero;
    AddLayer(platform, zero, 1, std::string("odd\0name.wav", 12));
    EXPECT_TRUE(FormatKitText(zero).empty());
    EXPECT_EQ(WriteKitFile(dir({"kit.fdk"}), zero), DrumKitResult::kPathNotStorable);
    EXPECT_FALSE(core::FileExists(dir({"kit.fdk"})));

    EXPECT_EQ(SaveDrumKit(platform, DrumKit{}, dir({"missing", "kit.fdk"})), 0);
    EXPECT_EQ(platform.Boxes().back(),
              "Error: Cannot create the file " + dir({"missing", "kit.fdk"}) + ": No such file or directory");
}

// A line-feed file loads over the kit, leaving the keys it does not mention; another format
// version is refused with the kit unchanged.
TEST_F(KitFileTest, LoadsLineFeedFilesAndRefusesOtherFormats) {
    const std::string a = Wave("a.wav");
    DrumKit kit = Load("##|fdk|3 and anything\n12|1|1|-1|1|2|" + a + "|127||0||0||0|\n");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(testing::LayerPaths(kit, 12), std::vector<std::string>{a});
    EXPECT_EQ(kit.keys[12].preset, 2);
    EXPECT_EQ(testing::LayerPaths(kit, 40), std::vector<std::string>{"kept.wav"});

    kit = Load("##|fdk|2|||\r\n1|0|0|-1|1|0||0||0||0||0|\r\n");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(testing::LayerPaths(kit, 40), std::vector<std::string>{"kept.wav"});
    EXPECT_EQ(platform.Boxes(), std::vector<std::string>{"Information: Sorry, cannot open this file format."});
    EXPECT_FALSE(create::OpenKitCommand(platform, kit, dir({"nowhere.fdk"})));
    EXPECT_EQ(platform.Boxes(), (std::vector<std::string>{"Information: Sorry, cannot open this file format.",
                                                          "Information: Cannot open file !", "Error: No file loaded"}));
}

TEST_F(KitFileTest, AMissingSampleIsReplacedOrEmptiesItsKey) {
    const std::string a = Wave("a.wav");
    const std::string line = "##|fdk|3\r\n20|2|1|-1|1|1|" + a + "|63|" + dir({"gone.wav"}) + "|127||0||0|\r\n";
    testing::WriteTextFile(dir({"in.fdk"}), line);

    platform.AnswerOpenFiles({a});
    DrumKit replaced;
    ASSERT_EQ(LoadDrumKit(platform, replaced, dir({"in.fdk"})), 1);
    EXPECT_EQ(testing::LayerPaths(replaced, 20), (std::vector<std::string>{a, a}));

    platform.AnswerCancel();
    DrumKit emptied;
    AddLayer(platform, emptied, 20, "before.wav");
    ASSERT_EQ(LoadDrumKit(platform, emptied, dir({"in.fdk"})), 1);
    EXPECT_EQ(emptied.keys[20].layerCount(), 0);
    EXPECT_EQ(emptied.keys[20].state, 0);
    EXPECT_EQ(emptied.keys[20].preset, 0);
    EXPECT_EQ(platform.Boxes().back(),
              "Information: Cannot open sample " + dir({"gone.wav"}) + ".\nPlease select a file to replace.");
    EXPECT_TRUE(platform.Problems().empty());
}

// A kit file is read up to its 2000th line; what follows is ignored.
TEST(KitTextTest, LinesPastTheLimitAreIgnored) {
    std::string text = "##|fdk|3\r\n" + std::string(1998, '\n');
    text += "5|0|0|-1|1|0||0||0||0||0|\r\n6|0|0|-1|1|0||0||0||0||0|\r\n";
    const KitText read = ParseKitText(text);
    ASSERT_EQ(read.lines.size(), 1u);
    EXPECT_EQ(read.lines[0].index, 5);
    EXPECT_EQ(read.lines[0].number, 2000u);
}

// A line and the first field found wrong in it.
class MalformedKitLineTest : public KitFileTest, public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(MalformedKitLineTest, IsSkippedWithOneMessageNamingTheLine) {
    const auto [line, field] = GetParam();
    const std::string text = std::string("##|fdk|3\r\n\r\n") + line + "\r\n";
    const KitText read = ParseKitText(text);
    ASSERT_EQ(read.lines.size(), 1u);
    EXPECT_EQ(read.lines[0].index, -1);
    EXPECT_STREQ(read.lines[0].badField, field);

    const DrumKit kit = Load(text);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(testing::LayerPaths(kit, 40), std::vector<std::string>{"kept.wav"});
    for (const DrumKey& key : kit.keys) {
        EXPECT_LE(key.layerCount(), 4);
    }
    EXPECT_EQ(platform.Boxes(),
              std::vector<std::string>{"Information: Line 3 of " + dir({"in.fdk"}) +
                                       " is not a valid key line; it was skipped."});
}

INSTANTIATE_TEST_SUITE_P(Lines, MalformedKitLineTest,
                         ::testing::Values(std::pair{"98|0|0|-1|1|0||0||0||0||0|", "key index"},
                                           std::pair{"-1|0|0|-1|1|0||0||0||0||0|", "key index"},
                                           std::pair{"40|5|1|-1|1|0|a|1|b|2|c|3|d|4|e|5|", "layer count"},
                                           std::pair{"40|-1|1|-1|1|0||0|", "layer count"},
                                           std::pair{"40|2|1|-1|1|0|a.wav|63|", "field count"},
                                           std::pair{"40|1|1|-1|1|0||127||0||0||0|", "layer path"},
                                           std::pair{"40|0|7|-1|1|0||0||0||0||0|", "state"},
                                           std::pair{"40|0|0|98|1|0||0||0||0||0|", "copy source"},
                                           std::pair{"40|0|0|-1|2|0||0||0||0||0|", "define oscillator"},
                                           std::pair{"40|0|0|-1|1|9||0||0||0||0|", "preset"},
                                           std::pair{"40|1|1", "field count"}));

}  // namespace
}  // namespace velmorant::formats
