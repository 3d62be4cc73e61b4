#include <gtest/gtest.h>

#include "core/Path.h"

namespace velmorant::core {
namespace {

struct SplitCase {
    const char* path;
    char separator;
    const char* fileName;
    const char* baseName;
    const char* extension;
    const char* directory;
    const char* fullPath = nullptr;  // the path itself when not given
};

class SplitPathTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitPathTest, SplitsIntoFiveParts) {
    const SplitCase& c = GetParam();
    const PathParts parts = SplitPath(c.path, c.separator);
    EXPECT_EQ(std::tie(parts.fullPath, parts.fileName, parts.baseName, parts.extension, parts.directory),
              std::make_tuple(c.fullPath ? c.fullPath : c.path, c.fileName, c.baseName, c.extension, c.directory));
}

INSTANTIATE_TEST_SUITE_P(
    Backslash, SplitPathTest,
    ::testing::Values(
        SplitCase{R"(D:\Vol\Programs\Bank1\Piano.afp)", '\\', "Piano.afp", "Piano", "afp", R"(D:\Vol\Programs\Bank1)"},
        SplitCase{R"(D:\Vol\Programs\Bank1\)", '\\', "Bank1", "Bank1", "", R"(D:\Vol\Programs)", R"(D:\Vol\Programs\Bank1)"},
        // Only one trailing separator goes, so the final component is empty.
        SplitCase{R"(D:\Vol\Bank1\\)", '\\', "", "", "", R"(D:\Vol\Bank1)", R"(D:\Vol\Bank1\)"},
        SplitCase{"D:", '\\', "", "", "", "D:"},
        SplitCase{R"(D:\Set.1\Piano)", '\\', "Piano", "Piano", "", R"(D:\Set.1)"},
        SplitCase{"Kit.tar.gz", '\\', "Kit.tar.gz", "Kit.tar", "gz", ""},
        SplitCase{".afp", '\\', ".afp", ".afp", "", ""},
        // Windows takes slashes too: Qt's dialogs hand paths over that way.
        SplitCase{"D:/Vol/Bank1/Piano.afp", '\\', "Piano.afp", "Piano", "afp", "D:/Vol/Bank1"},
        SplitCase{R"(D:/Vol\Set.1/Piano)", '\\', "Piano", "Piano", "", R"(D:/Vol\Set.1)"},
        SplitCase{"D:/", '\\', "", "", "", "D:", "D:"}),
    [](const auto& info) { return std::to_string(info.index); });

// On POSIX the separator is '/', and a trailing colon is an ordinary character.
INSTANTIATE_TEST_SUITE_P(
    Slash, SplitPathTest,
    ::testing::Values(SplitCase{"/vol/Programs/Bank1/Piano.afp", '/', "Piano.afp", "Piano", "afp", "/vol/Programs/Bank1"},
                      SplitCase{"/vol/a:", '/', "a:", "a:", "", "/vol"},
                      SplitCase{R"(/vol/D:\x.afp)", '/', R"(D:\x.afp)", R"(D:\x)", "afp", "/vol"},
                      SplitCase{"/Piano", '/', "Piano", "Piano", "", ""}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(PathTest, SafeComponentsRefuseTraversalAndSeparators) {
    EXPECT_TRUE(IsSafePathComponent("Piano C4.afs"));
    EXPECT_TRUE(IsSafePathComponent("..x"));
    for (const char* bad : {"", ".", "..", "a/b", "a\\b", "../x"}) {
        EXPECT_FALSE(IsSafePathComponent(bad)) << bad;
    }
}

// Names about to become files or folders on a volume that may travel to Windows.
TEST(PathTest, PortableNamesRefuseDevicesTrailingDotsAndReservedCharacters) {
    for (const char* good : {"Piano C4.afs", "Piano..afp", "CON1.afp", "COM0.afi", "LPT10.afs", "Console.afp",
                             "AUXILIARY", "x.CON", "Flügel.afp"}) {
        EXPECT_TRUE(IsPortableFileName(good)) << good;
    }
    for (const char* bad : {"", "..", "a/b", "CON", "con.afp", "Nul .afs", "AUX.tar.gz", "com1.afi", "LPT9",
                            "Bank.", "Bank ", "a:b.afp", "Why?.afp", "a*b", "a|b", "\"q\"", "tab\there"}) {
        EXPECT_FALSE(IsPortableFileName(bad)) << bad;
    }
}

}  // namespace
}  // namespace velmorant::core
