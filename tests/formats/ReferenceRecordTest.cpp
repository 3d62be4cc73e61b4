#include <gtest/gtest.h>

#include "core/Bytes.h"
#include "formats/ReferenceRecord.h"

namespace velmorant::formats {
namespace {

constexpr auto kProgram = VolumeRule::kProgram;
constexpr auto kMultisample = VolumeRule::kMultisample;

// The volume number follows the rule of the file that holds the record; the rest is kept as stored.
TEST(ReferenceRecordTest, DecodesTheVolumeByItsRule) {
    const std::tuple<const char*, char, VolumeRule, std::int32_t, std::int32_t> rows[] = {  // location, pad, rule, parent, volume
        {"Local 1", ' ', kProgram, 9, 1}, {"Local 1", '\0', kProgram, 9, 1},  // zero padding reads as blanks
        {"ROM", ' ', kProgram, 9, 0}, {"Disk  X", ' ', kProgram, 9, 0},        // no digit, a letter: ROM
        {"", ' ', kProgram, 9, 3},                                              // blank: the same volume
        {"Local 1", ' ', kMultisample, 5, 5}, {"Local 1", '\0', kMultisample, 5, 5},  // a sample takes its parent's
        {"Local 12", ' ', kMultisample, 5, 2}, {"Local 1x", ' ', kMultisample, 5, 0}, {"", ' ', kMultisample, 0, 3}};
    const std::string name = "Caf\xE9 \x80\xFF";
    for (const auto& [location, pad, rule, parent, volume] : rows) {
        const Reference decoded = DecodeReference(EncodeReference(location, "Keys", name, pad), rule, parent);
        EXPECT_EQ(decoded.volumeNumber, volume) << location << "/" << parent;
        EXPECT_EQ(std::tie(decoded.location, decoded.folder, decoded.name), std::tie(location, "Keys", name));
    }
}

// The location is cleared, folder and name set as asked (cut to their fields), zero padded, and
// nothing around the record touched.
TEST(ReferenceRecordTest, RewriteSetsTheFieldsAndTouchesNothingElse) {
    const std::tuple<std::optional<std::string>, std::optional<std::string>, std::string, std::string> rows[] = {
        {std::nullopt, std::nullopt, "", "Old Name"},
        {"Bank", "0New", "Bank", "0New"},
        {std::string(20, 'F'), std::string(40, 'N'), std::string(16, 'F'), std::string(32, 'N')}};
    for (const auto& [folder, name, expectedFolder, expectedName] : rows) {
        std::vector<std::uint8_t> file(4, 0xAA);
        const auto original = EncodeReference("Local 1", "Old Folder", "Old Name");
        file.insert(file.end(), original.begin(), original.end());
        file.push_back(0xBB);
        core::ByteWriter writer(file);
        ASSERT_EQ(RewriteReference(writer, 4, ReferenceRewrite{folder, name}), ReferenceResult::kDone);
        const Reference decoded = DecodeReference(StoredReference(file.data() + 4, kReferenceSize), kProgram, 0);
        EXPECT_EQ(std::tie(decoded.location, decoded.volumeNumber, decoded.folder, decoded.name),
                  std::make_tuple("", kSameVolume, expectedFolder, expectedName));
        EXPECT_EQ(file[4 + kReferenceLocationWidth - 1], 0);
        EXPECT_EQ(std::make_pair(file[3], file.back()), std::make_pair(std::uint8_t{0xAA}, std::uint8_t{0xBB}));
    }
}

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
