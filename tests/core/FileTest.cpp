#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "core/AtomicWrite.h"
#include "core/Checksum.h"
#include "core/File.h"
#include "core/Path.h"
#include "demo/VolumeBuilders.h"
#include "support/TempDir.h"

namespace velmorant::core {
namespace {

using testing::TempDir;

// The standard check value, in chained blocks, and over a file larger than one read block.
TEST(FileTest, Crc32SizesAndContentsOfFilesAndOfWhatIsNoFile) {
    const std::string check = "123456789";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(check.data());
    EXPECT_EQ(Crc32Update(Crc32Update(0, std::span(bytes, 4)), std::span(bytes + 4, 5)), 0xCBF43926u);
    TempDir dir;
    std::vector<std::uint8_t> big(1'000'003);
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 31 + 7);
    ASSERT_TRUE(demo::WriteFile(dir({"big.bin"}), big));
    EXPECT_EQ(FileCrc32(dir({"big.bin"})), Crc32Update(0, big));
    EXPECT_EQ(FileSize(dir({"big.bin"})), 1'000'003);
#ifdef __linux__
    // A file whose size the system gives as 0 is still read to its end.
    EXPECT_EQ(ReadWholeFile("/proc/self/cmdline")->size(), testing::ReadBytes("/proc/self/cmdline").size());
#endif
#ifndef _WIN32
    EXPECT_TRUE(RunProgram("true", "x"));
    EXPECT_FALSE(RunProgram("false", "x"));
#endif
    // Missing files and folders, and contents compared.
    EXPECT_FALSE(FileExists(dir({"missing"})));
    EXPECT_EQ(FileSize(dir({"missing"})), 0);
    EXPECT_EQ(FileCrc32(dir({"missing"})), 0xFFFFFFFFu);
    EXPECT_EQ(FilesEqual(dir({"missing"}), dir({"other"})), 1);
    // A directory is not a file, though the C library would open it.
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_EQ(FileCrc32(dir.path()), 0xFFFFFFFFu);
    EXPECT_FALSE(ReadWholeFile(dir.path()).has_value());
    for (const auto& [name, text] : {std::pair{"a", "same"}, {"b", "same"}, {"c", "diff"}, {"d", "longer"}}) {
        ASSERT_TRUE(demo::WriteText(dir({name}), text));
    }
    EXPECT_EQ(FilesEqual(dir({"a"}), dir({"b"})), 1);
    EXPECT_EQ(FilesEqual(dir({"a"}), dir({"c"})), 0);
    EXPECT_EQ(FilesEqual(dir({"a"}), dir({"d"})), 0);
    // Folders are made one level at a time.
    EXPECT_TRUE(MakeDirectory(dir({"e"})));
    EXPECT_FALSE(MakeDirectory(dir({"e"})));
    EXPECT_FALSE(MakeDirectory(dir({"x", "y"})));
}

// Each way of writing a file, over a link planted at the final name and the old predictable
// temporary names: the link's target outside is never written, the file lands in the folder.
TEST(FileTest, WritesNeverGoThroughALink) {
    if (!testing::CanMakeSymbolicLinks()) {
        GTEST_SKIP() << "no symbolic links here";
    }
    const std::vector<std::function<bool(const std::string&)>> writers = {
        [](const std::string& path) { return WriteFileAtomically(path, std::string("new")).ok(); },
        [](const std::string& path) {
            AtomicFileWriter writer(path);
            return writer.Write(std::vector<std::uint8_t>{'n', 'e', 'w'}) && writer.Commit();
        },
        [](const std::string& path) {
            return demo::WriteText(path + ".src", "new") && CopyFileContents(path + ".src", path).ok();
        },
    };
    for (std::size_t i = 0; i < writers.size(); ++i) {
        TempDir dir;
        std::filesystem::create_directory(dir({"Dest"}));
        ASSERT_TRUE(demo::WriteText(dir({"outside"}), "theirs"));
        const std::string target = dir({"Dest", "f.afs"});
        for (const std::string& planted : {target, target + ".tmp-velmorant-0", target + ".tmp-velmorant-1"}) {
            std::filesystem::create_symlink(dir({"outside"}), planted);
        }
        ASSERT_TRUE(writers[i](target)) << i;
        EXPECT_EQ(testing::ReadText(dir({"outside"})), "theirs") << i;
        EXPECT_FALSE(IsLink(target)) << i;
        EXPECT_EQ(testing::ReadText(target), "new") << i;
    }
}

// A write lands whole under its name or not at all, and leaves no temporary file behind.
TEST(FileTest, AtomicWritesAppearOnlyWhenCommitted) {
    TempDir dir;
    ASSERT_TRUE(WriteFileAtomically(dir({"f.txt"}), std::string("first")));
    ASSERT_TRUE(WriteFileAtomically(dir({"f.txt"}), std::string("second")));
    EXPECT_EQ(testing::ReadText(dir({"f.txt"})), "second");
    EXPECT_FALSE(WriteFileAtomically(dir({"missing", "f.txt"}), std::string("x")));
    const std::vector<std::uint8_t> piece = {1, 2, 3};
    {
        AtomicFileWriter abandoned(dir({"a.afs"}));
        ASSERT_TRUE(abandoned.Write(piece));
    }
    EXPECT_EQ(*ListDirectory(dir.path()), std::vector<std::string>{"f.txt"});

    AtomicFileWriter writer(dir({"a.afs"}));
    ASSERT_TRUE(writer.Write(piece));
    ASSERT_TRUE(writer.Write(piece));
    EXPECT_FALSE(FileExists(dir({"a.afs"})));
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(testing::ReadBytes(dir({"a.afs"})), (std::vector<unsigned char>{1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(ListDirectory(dir.path())->size(), 2u);
    AtomicFileWriter nowhere(dir({"missing", "a.afs"}));
    EXPECT_FALSE(nowhere.ok());
    EXPECT_FALSE(nowhere.Commit());
}

// Names outside ASCII reach the system as they are (on Windows through wide paths, where the
// ANSI code page would turn them into other names or refuse them).
TEST(FileTest, NamesOutsideAsciiSurviveEveryFileCall) {
    TempDir dir;
    const std::string folder = dir({"Bänke"});
    ASSERT_TRUE(MakeDirectory(folder));
    ASSERT_TRUE(DirectoryExists(folder));
    for (const std::string name : {"Flügel.afs", "Ω ☃ 鍵盤.afp"}) {
        const std::string path = JoinPath(folder, name);
        ASSERT_TRUE(WriteFileAtomically(path, name)) << name;
        EXPECT_TRUE(FileExists(path) && StatFile(path).has_value()) << name;
        EXPECT_EQ(FileSize(path), static_cast<std::int64_t>(name.size()));
        EXPECT_EQ(FileCrc32(path), Crc32Update(0, std::span(reinterpret_cast<const std::uint8_t*>(name.data()), name.size())));
        ASSERT_TRUE(CopyFileContents(path, path + ".copy").ok()) << name;
        EXPECT_EQ(FilesEqual(path, path + ".copy"), 1);
        EXPECT_EQ(ReadWholeFile(path + ".copy"), std::vector<std::uint8_t>(name.begin(), name.end())) << name;
    }
    auto listed = ListDirectory(folder);
    ASSERT_TRUE(listed.has_value());
    std::sort(listed->begin(), listed->end());
    EXPECT_EQ(*listed, (std::vector<std::string>{"Flügel.afs", "Flügel.afs.copy", "Ω ☃ 鍵盤.afp", "Ω ☃ 鍵盤.afp.copy"}));
    // Bytes that are not UTF-8 (the instrument's Windows-1252 text) still name one file.
    const std::string cp1252 = JoinPath(folder, "Caf\xe9.afs");
    ASSERT_TRUE(WriteFileAtomically(cp1252, std::string("x")));
    EXPECT_EQ(ReadWholeFile(cp1252), (std::vector<std::uint8_t>{'x'}));
}

}  // namespace
}  // namespace velmorant::core
