#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "bank/Bank.h"
#include "core/FileSource.h"
#include "core/Path.h"
#include "demo/VolumeBuilders.h"
#include "support/TempDir.h"

namespace velmorant::bank {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Damaged files of a volume held in memory: what loaded before still loads, with a warning in
// the program's log naming the file and the problem; what cannot be used is refused.
struct BadInput {
    std::string name;      // the damaged file
    bool loads;            // the program still takes a slot
    std::string warning;   // part of the log's warning line
    Bytes program;         // Programs/Bank/P.afp
    std::optional<Bytes> multisample;  // Multisamples/Keys/M.afi
    std::optional<Bytes> sample;       // Samples/Keys/S.afs
};

Bytes Program(const char* tag, std::size_t cut = 0, std::size_t hugeMods = 0) {
    demo::ProgramLayout layout;
    layout.tag = tag;
    if (std::string(tag) == "umdr") {
        layout.zones.push_back({0, 0, true, {demo::kDiskLocation, "Keys", "S"}});
    } else {
        layout.oscillators[0] = {true, {demo::kDiskLocation, "Keys", "M"}};  // its one sample is Keys/S
    }
    Bytes bytes = demo::BuildProgramFile(layout);
    if (cut != 0) bytes.resize(cut);
    if (hugeMods != 0) bytes[34] = bytes[35] = 0xFF;  // the Mods count
    return bytes;
}

const Bytes kSample = demo::BuildSampleFile(440.0, 8);
const Bytes kMultisample = demo::BuildMultisampleFile({{"", "", "S"}});
const Bytes kCountPastEnd = [] { Bytes b = kMultisample; b[17] = 200; return b; }();  // more entries than it holds

class BadInputs : public ::testing::TestWithParam<BadInput> {};

TEST_P(BadInputs, LoadWithAWarningOrAreRefused) {
    const BadInput& row = GetParam();
    core::MemoryFiles files;
    // Full native paths, as the loaders make them.
    const std::string root = core::AbsolutePath(std::string(1, core::kNativeSeparator) + "Volume");
    const auto path = [&root](const char* top, const char* folder, const char* file) {
        return core::JoinPath(core::JoinPath(core::JoinPath(root, top), folder), file);
    };
    files.Add(path("Programs", "Bank", "P.afp"), row.program);
    if (row.multisample) files.Add(path("Multisamples", "Keys", "M.afi"), *row.multisample);
    if (row.sample) files.Add(path("Samples", "Keys", "S.afs"), *row.sample);
    Bank bank;
    bank.files = &files;
    const AddResult result = AddProgram(bank, -1, path("Programs", "Bank", "P.afp"));
    EXPECT_EQ(result.placed(), row.loads) << AddResultNumber(result);
    ASSERT_TRUE(result.loadedSlot);
    const std::string& log = bank.slots[static_cast<std::size_t>(*result.loadedSlot)].log;
    const std::size_t at = log.find("Warning: " + root + core::kNativeSeparator);
    ASSERT_NE(at, std::string::npos) << log;
    EXPECT_NE(log.find(row.name + ": ", at), std::string::npos) << log;
    EXPECT_NE(log.find(row.warning, at), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(
    BankTest, BadInputs,
    ::testing::Values(BadInput{"P.afp", true, "(chunk counts): the file ends", Program("mpsa", 16)},
                      BadInput{"P.afp", true, "(voice area): the chunk counts (65535, 0, 0, 0)", Program("mpsa", 0, 1)},
                      BadInput{"P.afp", true, "(voice area)", Program("umdr", 2000), std::nullopt, kSample},
                      BadInput{"M.afi", true, "(magic): not \"S80i\"", Program("mpsa"), Bytes{}, kSample},
                      BadInput{"M.afi", true, "(magic): not \"S80i\"", Program("mpsa"), Bytes(300, 0xAB), kSample},
                      BadInput{"M.afi", true, "(sample entry): the file ends", Program("mpsa"), kCountPastEnd, kSample},
                      BadInput{"S.afs", true, "offset", Program("mpsa"), kMultisample, Bytes{}},
                      BadInput{"S.afs", true, "offset", Program("mpsa"), kMultisample, Bytes(100, 'A')},
                      BadInput{"P.afp", false, "unknown program type \"zzzz\"", Program("zzzz")}));

// A program file too large to read is refused with its size, before any of it is read.
TEST(BankTest, ProgramOver256MiBIsRefusedNamingItsSize) {
    testing::TempDir dir;
    const std::string path = dir({"Programs", "Bank", "Huge.afp"});
    demo::ProgramLayout layout;
    ASSERT_TRUE(demo::WriteFile(path, demo::BuildProgramFile(layout)));
    std::filesystem::resize_file(path, (256u << 20) + 1);  // sparse: nothing is written
    Bank bank;
    const AddResult result = AddProgram(bank, -1, path);
    EXPECT_EQ(result.failure, AddFailure::kNotAProgram);
    ASSERT_TRUE(result.loadedSlot);
    EXPECT_NE(bank.slots[static_cast<std::size_t>(*result.loadedSlot)].log.find("Warning: " + path + ": 268435457 bytes"),
              std::string::npos);
}

}  // namespace
}  // namespace velmorant::bank
