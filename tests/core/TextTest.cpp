#include <gtest/gtest.h>

#include "core/Text.h"

namespace velmorant::core {
namespace {

using Fields = std::vector<std::string>;

TEST(TextTest, SplitTrimUpperCaseAndFormat) {
    EXPECT_EQ(SplitText("a;;b;", ";", true), (Fields{"a", "", "b", ""}));
    EXPECT_EQ(SplitText(";a", ";", true), (Fields{"", "a"}));
    EXPECT_EQ(SplitText(";;a;;b;", ";", false), (Fields{"a", "b"}));
    EXPECT_EQ(SplitText("", ";", false), Fields{});
    EXPECT_EQ(SplitText("a<>b<>", "<>", false), (Fields{"a", "b"}));
    EXPECT_EQ(TrimSpaces(" \t\r\nPiano C4 \v\f"), "Piano C4");
    EXPECT_EQ(TrimSpaces("   "), "");
    EXPECT_EQ(TrimTrailingSpaces("  a  "), "  a");
    std::string text = "afp.Afi-9";
    UpperCaseInPlace(text);
    EXPECT_EQ(text, "AFP.AFI-9");
    EXPECT_EQ(Format("%i/%i - %s", 1, 3, "X"), "1/3 - X");
    EXPECT_EQ(Format("%s", std::string(5000, 'x').c_str()).size(), 5000u);
}

}  // namespace
}  // namespace velmorant::core
