#include <gtest/gtest.h>

#include "core/Encoding.h"
#include "core/Path.h"

namespace velmorant::core {
namespace {

// Paths split into their five parts; the full path is given only where it differs.
TEST(PathTest, SplitsIntoFiveParts) {
    const struct {
        const char* path;
        char separator;
        const char* fileName;
        const char* baseName;
        const char* extension;
        const char* directory;
        const char* fullPath = nullptr;
    } rows[] = {
        {R"(D:\Vol\Programs\Bank1\Piano.afp)", '\\', "Piano.afp", "Piano", "afp", R"(D:\Vol\Programs\Bank1)"},
        {R"(D:\Vol\Programs\Bank1\)", '\\', "Bank1", "Bank1", "", R"(D:\Vol\Programs)", R"(D:\Vol\Programs\Bank1)"},
        // Only one trailing separator goes, so the final component is empty.
        {R"(D:\Vol\Bank1\\)", '\\', "", "", "", R"(D:\Vol\Bank1)", R"(D:\Vol\Bank1\)"},
        {"D:", '\\', "", "", "", "D:"},
        {R"(D:\Set.1\Piano)", '\\', "Piano", "Piano", "", R"(D:\Set.1)"},
        {"Kit.tar.gz", '\\', "Kit.tar.gz", "Kit.tar", "gz", ""},
        {".afp", '\\', ".afp", ".afp", "", ""},
        // Windows takes slashes too: Qt's dialogs hand paths over that way.
        {"D:/Vol/Bank1/Piano.afp", '\\', "Piano.afp", "Piano", "afp", "D:/Vol/Bank1"},
        {R"(D:/Vol\Set.1/Piano)", '\\', "Piano", "Piano", "", R"(D:/Vol\Set.1)"},
        {"D:/", '\\', "", "", "", "D:", "D:"},
        // On POSIX the separator is '/', and a trailing colon is an ordinary character.
        {"/vol/Programs/Bank1/Piano.afp", '/', "Piano.afp", "Piano", "afp", "/vol/Programs/Bank1"},
        {"/vol/a:", '/', "a:", "a:", "", "/vol"},
        {R"(/vol/D:\x.afp)", '/', R"(D:\x.afp)", R"(D:\x)", "afp", "/vol"},
        {"/Piano", '/', "Piano", "Piano", "", ""}};
    for (const auto& c : rows) {
        const PathParts parts = SplitPath(c.path, c.separator);
        EXPECT_EQ(std::tie(parts.fullPath, parts.fileName, parts.baseName, parts.extension, parts.directory),
                  std::make_tuple(c.fullPath ? c.fullPath : c.path, c.fileName, c.baseName, c.extension, c.directory));
    }
}

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

TEST(Encoding, EveryByteSurvivesTheRoundTripAndKnownCharactersConvert) {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(bytes)), std::optional<std::string>(bytes));

    EXPECT_EQ(Cp1252ToUtf8("Caf\xE9"), "Caf\u00E9");
    EXPECT_EQ(Cp1252ToUtf8("\x80\x9F\xFF"), "\u20AC\u0178\u00FF");
    // The five bytes the code page leaves undefined are their C1 code points.
    EXPECT_EQ(Cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
    EXPECT_EQ(Utf8ToCp1252("\u2014 \u00E9"), std::optional<std::string>("\x97 \xE9"));
    // A path is UTF-8 unless its bytes say otherwise.
    EXPECT_EQ(PathToUtf8("/home/Jos\u00E9/a.afp"), "/home/Jos\u00E9/a.afp");
    EXPECT_EQ(PathToUtf8("/v/Caf\xE9.afp"), "/v/Caf\u00E9.afp");
}

TEST(Encoding, RefusesWhatTheCodePageCannotHold) {
    std::string refused;
    EXPECT_FALSE(Utf8ToCp1252("Piano \u266B", &refused));
    EXPECT_EQ(refused, "\u266B");
    EXPECT_FALSE(Utf8ToCp1252("\xC3", &refused));      // cut sequence
    EXPECT_FALSE(Utf8ToCp1252("\xC0\xAF", &refused));  // overlong '/'
    EXPECT_EQ(refused, "\\xC0");
    EXPECT_FALSE(Utf8ToCp1252("\xED\xA0\x80"));         // surrogate
    EXPECT_FALSE(Utf8ToCp1252("\u0080"));               // C1 with no byte of its own
}

}  // namespace
}  // namespace velmorant::core
