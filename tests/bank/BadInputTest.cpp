#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "bank/Bank.h"
#include "core/FileSource.h"
#include "demo/VolumeBuilders.h"
#include "support/TempDir.h"

namespace velmorant::bank {
namespace {

// Damaged files of a volume held in memory: what loaded before still loads, with a warning in
// the program's log naming the file and the problem; what cannot be used is refused.
struct BadInput {
    std::string name;      // the damaged file, named after its fault
    bool loads;            // the program still takes a slot
    std::string warning;   // part of the log's warning line
    std::function<void(core::MemoryFiles&, const std::string& root)> build;
};

std::vector<std::uint8_t> Bytes(std::size_t n, std::uint8_t value) {
    return std::vector<std::uint8_t>(n, value);
}

// A sample program playing Keys/M, whose one sample is Keys/S.
void ProgramWithMultisample(core::MemoryFiles& files, const std::string& root, std::vector<std::uint8_t> multisample,
                            std::vector<std::uint8_t> sample) {
    demo::ProgramLayout layout;
    layout.oscillators[0] = {true, {demo::kDiskLocation, "Keys", "M"}};
    files.Add(root + "/Programs/Bank/P.afp", demo::BuildProgramFile(layout));
    files.Add(root + "/Multisamples/Keys/M.afi", multisample);
    files.Add(root + "/Samples/Keys/S.afs", sample);
}

std::vector<std::uint8_t> GoodMultisample() {
    return demo::BuildMultisampleFile({{"", "", "S"}});
}

class BadInputs : public ::testing::TestWithParam<BadInput> {};

TEST_P(BadInputs, LoadWithAWarningOrAreRefused) {
    const BadInput& row = GetParam();
    core::MemoryFiles files;
    const std::string root = "/Volume";
    row.build(files, root);
    Bank bank;
    bank.files = &files;
    const AddResult result = AddProgram(bank, -1, root + "/Programs/Bank/P.afp");
    EXPECT_EQ(result.placed(), row.loads) << AddResultNumber(result);
    ASSERT_TRUE(result.loadedSlot);
    const std::string& log = bank.slots[static_cast<std::size_t>(*result.loadedSlot)].log;
    const std::size_t at = log.find("Warning: " + root + "/");
    ASSERT_NE(at, std::string::npos) << log;
    EXPECT_NE(log.find(row.name + ": ", at), std::string::npos) << log;
    EXPECT_NE(log.find(row.warning, at), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(
    BankTest, BadInputs,
    ::testing::Values(
        BadInput{"P.afp", true, "(chunk counts): the file ends",
                 [](core::MemoryFiles& files, const std::string& root) {  // SixteenBytes.afp
                     auto program = demo::BuildProgramFile({});
                     program.resize(16);
                     files.Add(root + "/Programs/Bank/P.afp", program);
                 }},
        BadInput{"P.afp", true, "(voice area): the chunk counts (65535, 0, 0, 0)",
                 [](core::MemoryFiles& files, const std::string& root) {  // HugeChunkCounts.afp
                     auto program = demo::BuildProgramFile({});
                     program[34] = program[35] = 0xFF;  // the Mods count
                     files.Add(root + "/Programs/Bank/P.afp", program);
                 }},
        BadInput{"P.afp", true, "(voice area)",
                 [](core::MemoryFiles& files, const std::string& root) {  // TruncatedDrums.afp
                     demo::ProgramLayout layout;
                     layout.tag = "umdr";
                     layout.zones.push_back({0, 0, true, {demo::kDiskLocation, "Keys", "S"}});
                     auto program = demo::BuildProgramFile(layout);
                     program.resize(2000);
                     files.Add(root + "/Programs/Bank/P.afp", program);
                     files.Add(root + "/Samples/Keys/S.afs", demo::BuildSampleFile(440.0, 8));
                 }},
        BadInput{"M.afi", true, "(magic): not \"S80i\"",
                 [](core::MemoryFiles& files, const std::string& root) {  // EmptyMultisample.afi
                     ProgramWithMultisample(files, root, {}, demo::BuildSampleFile(440.0, 8));
                 }},
        BadInput{"M.afi", true, "offset",
                 [](core::MemoryFiles& files, const std::string& root) {  // GarbageMultisample.afi
                     ProgramWithMultisample(files, root, Bytes(300, 0xAB), demo::BuildSampleFile(440.0, 8));
                 }},
        BadInput{"S.afs", true, "offset",
                 [](core::MemoryFiles& files, const std::string& root) {  // EmptySample.afs
                     ProgramWithMultisample(files, root, GoodMultisample(), {});
                 }},
        BadInput{"S.afs", true, "offset",
                 [](core::MemoryFiles& files, const std::string& root) {  // GarbageSample.afs
                     ProgramWithMultisample(files, root, GoodMultisample(), Bytes(100, 'A'));
                 }},
        BadInput{"P.afp", false, "unknown program type \"zzzz\"",
                 [](core::MemoryFiles& files, const std::string& root) {  // UnknownType.afp
                     demo::ProgramLayout layout;
                     layout.tag = "zzzz";
                     files.Add(root + "/Programs/Bank/P.afp", demo::BuildProgramFile(layout));
                 }}));

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
