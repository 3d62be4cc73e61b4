#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/ScriptedPlatform.h"

namespace velmorant::platform {
namespace {

using ::testing::IsEmpty;

TEST(ScriptedPlatformTest, UnexpectedQuestionsAndLeftoverAnswersAreProblems) {
    ScriptedPlatform platform;
    EXPECT_EQ(platform.ChooseFolder("Destination"), std::nullopt);
    platform.AnswerConfirm(true);
    EXPECT_EQ(platform.ChooseOpenFiles({"Open", {}, false}), std::nullopt);  // a confirmation was queued
    platform.AnswerFolder("/out");
    platform.AnswerCancel();

    const auto problems = platform.Problems();
    ASSERT_EQ(problems.size(), 5u);
    EXPECT_EQ(problems[0], "unexpected folder question: Destination");
    EXPECT_EQ(problems[1], "asked for open files (Open) while the script holds confirmation");
    EXPECT_EQ(problems[2], "unused confirmation answer");
    EXPECT_EQ(problems[3], "unused folder answer");
    EXPECT_EQ(problems[4], "unused cancel answer");
}

}  // namespace
}  // namespace velmorant::platform
