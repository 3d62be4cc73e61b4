#include "core/Encoding.h"

#include <gtest/gtest.h>

namespace velmorant::core {
namespace {

std::string AllBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) {
        bytes += static_cast<char>(b);
    }
    return bytes;
}

TEST(Encoding, EveryByteSurvivesTheRoundTrip) {
    const std::string bytes = AllBytes();
    const std::string utf8 = Cp1252ToUtf8(bytes);
    const auto back = Utf8ToCp1252(utf8);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, bytes);
}

TEST(Encoding, KnownCharacters) {
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
