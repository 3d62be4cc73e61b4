#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/ScriptedPlatform.h"

namespace velmorant::platform {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(ScriptedPlatformTest, AnswersInOrderAndRecordsEveryCall) {
    ScriptedPlatform platform;
    platform.AnswerOpenFiles({"/v/a.afp"});
    platform.AnswerConfirm(false);
    platform.AnswerSaveFile("/v/out.html");
    EXPECT_EQ(platform.ChooseOpenFiles({"Open", {{"Programs", "*.afp"}}, true}),
              (std::vector<std::string>{"/v/a.afp"}));
    platform.ShowMessage("text", "Information", Icon::kInformation);
    EXPECT_FALSE(platform.Confirm("Sure?", "Confirm", Icon::kQuestion));
    EXPECT_EQ(platform.ChooseSaveFile({"Save", {}, "page.html"}), "/v/out.html");
    {
        auto window = platform.StartProgressWindow(true);
        window->SetRange(70000);
    }  // dropped: closed

    const auto calls = platform.Calls();
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(calls[0].filters[0].pattern, "*.afp");
    EXPECT_EQ(calls[1].icon, Icon::kInformation);
    EXPECT_EQ(calls[3].suggestedName, "page.html");
    EXPECT_EQ(calls[4].value, 1);           // cycling
    EXPECT_EQ(calls[5].value, 70000 - 65536);  // the range as the bar takes it
    EXPECT_EQ(calls[6].kind, PlatformCall::Kind::kProgressClose);
    EXPECT_THAT(platform.Boxes(), ElementsAre("Information: text", "Confirm: Sure?"));
    EXPECT_THAT(platform.Problems(), IsEmpty());
}

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
