#include <gtest/gtest.h>

#include "core/Bytes.h"
#include "formats/ReferenceRecord.h"

namespace velmorant::formats {
namespace {

struct DecodeCase {
    const char* label;
    std::string location;
    char pad;
    VolumeRule rule;
    std::int32_t parentVolume;
    std::int32_t expectedVolume;
};

class DecodeReferenceTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeReferenceTest, VolumeNumberFollowsTheRule) {
    const DecodeCase& c = GetParam();
    const std::string name = "Caf\xE9 \x80\xFF";
    const auto stored = EncodeReference(c.location, "Keys", name, c.pad);
    const Reference decoded = DecodeReference(stored, c.rule, c.parentVolume);
    EXPECT_EQ(decoded.volumeNumber, c.expectedVolume);
    EXPECT_EQ(decoded.location, c.location);
    EXPECT_EQ(decoded.folder, "Keys");
    EXPECT_EQ(decoded.name, name);  // bytes of the code page kept as they are
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DecodeReferenceTest,
    ::testing::Values(DecodeCase{"ProgramDigit", "Local 1", ' ', VolumeRule::kProgram, 9, 1},
                      DecodeCase{"ZeroPaddingReadsAsBlanks", "Local 1", '\0', VolumeRule::kProgram, 9, 1},
                      DecodeCase{"ProgramNoDigitIsRom", "ROM", ' ', VolumeRule::kProgram, 9, 0},
                      DecodeCase{"ProgramLetterIsRom", "Disk  X", ' ', VolumeRule::kProgram, 9, 0},
                      DecodeCase{"ProgramBlankIsSameVolume", "", ' ', VolumeRule::kProgram, 9, 3},
                      DecodeCase{"SampleSpaceTakesParent", "Local 1", ' ', VolumeRule::kMultisample, 5, 5},
                      DecodeCase{"SampleZeroTakesParent", "Local 1", '\0', VolumeRule::kMultisample, 5, 5},
                      DecodeCase{"SampleDigit", "Local 12", ' ', VolumeRule::kMultisample, 5, 2},
                      DecodeCase{"SampleLetter", "Local 1x", ' ', VolumeRule::kMultisample, 5, 0},
                      DecodeCase{"SampleBlankIsSameVolume", "", ' ', VolumeRule::kMultisample, 0, 3}),
    [](const auto& info) { return info.param.label; });

struct RewriteCase {
    const char* label;
    std::optional<std::string> folder;
    std::optional<std::string> name;
    std::string expectedFolder;
    std::string expectedName;
};

class RewriteReferenceTest : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(RewriteReferenceTest, LocationClearedFolderAndNameAsAsked) {
    const RewriteCase& c = GetParam();
    std::vector<std::uint8_t> file(4, 0xAA);
    const auto original = EncodeReference("Local 1", "Old Folder", "Old Name");
    file.insert(file.end(), original.begin(), original.end());
    file.push_back(0xBB);
    core::ByteWriter writer(file);
    ASSERT_EQ(RewriteReference(writer, 4, ReferenceRewrite{c.folder, c.name}), ReferenceResult::kDone);

    const Reference decoded = DecodeReference(StoredReference(file.data() + 4, kReferenceSize), VolumeRule::kProgram, 0);
    EXPECT_EQ(decoded.location, "");
    EXPECT_EQ(decoded.volumeNumber, kSameVolume);
    EXPECT_EQ(decoded.folder, c.expectedFolder);
    EXPECT_EQ(decoded.name, c.expectedName);
    // Padding is zero bytes, and nothing around the record is touched.
    EXPECT_EQ(file[4 + kReferenceLocationWidth - 1], 0);
    EXPECT_EQ(file[3], 0xAA);
    EXPECT_EQ(file.back(), 0xBB);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, RewriteReferenceTest,
    ::testing::Values(RewriteCase{"FolderClearedNameKept", std::nullopt, std::nullopt, "", "Old Name"},
                      RewriteCase{"FolderAndName", "Bank", "0New", "Bank", "0New"},
                      RewriteCase{"LongTextsCut", std::string(20, 'F'), std::string(40, 'N'), std::string(16, 'F'),
                                  std::string(32, 'N')}),
    [](const auto& info) { return info.param.label; });

TEST(RewriteReferenceTest, RecordPastTheEndIsRefusedAndNamed) {
    std::vector<std::uint8_t> file(kReferenceSize + 3, 0x11);
    core::ByteWriter writer(file);
    EXPECT_EQ(RewriteReference(writer, 4, {std::nullopt, "X"}), ReferenceResult::kOutsideFile);
    EXPECT_EQ(file, std::vector<std::uint8_t>(kReferenceSize + 3, 0x11));
    EXPECT_EQ(ReferenceMessage(ReferenceResult::kOutsideFile, "/v/P.afp", 4),
              "Reference outside the file /v/P.afp (offset 4)\n");
    ClearReference(writer, 40);  // only the part inside the file
    EXPECT_EQ(file[39], 0x11);
    EXPECT_EQ(file.back(), 0);
}

}  // namespace
}  // namespace velmorant::formats
