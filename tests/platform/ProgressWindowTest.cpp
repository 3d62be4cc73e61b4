#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <mutex>
#include <sstream>

#include "platform/ConsolePlatform.h"
#include "platform/ScriptedPlatform.h"

namespace velmorant::platform {
namespace {

using ::testing::ElementsAre;

struct Seen {
    ProgressState state;
    ProgressMessage cause;
};

// Watches the console window through its test hook.
struct Watcher {
    ConsoleOptions Options() {
        ConsoleOptions options;
        options.progress = ProgressDisplay::kHidden;
        options.progressObserver = [this](const ProgressState& state, ProgressMessage cause) {
            std::lock_guard lock(mutex);
            seen.push_back({state, cause});
        };
        return options;
    }
    Seen Last() {
        std::lock_guard lock(mutex);
        return seen.back();
    }
    std::mutex mutex;
    std::vector<Seen> seen;
};

TEST(ProgressWindowTest, TheBarAndTextsStayWhereTheJobPutThem) {
    std::ostringstream err;
    Watcher watcher;
    ConsolePlatform platform(err, watcher.Options());
    auto window = platform.StartProgressWindow(false);
    std::string buffer = "Importing Programs";
    window->SetTitle(buffer);
    buffer.assign(buffer.size(), 'x');  // the job reuses its buffer at once
    window->SetRange(3);
    for (int p = 0; p < 3; ++p) window->SetPosition(p);
    window->Close();  // waits for the window's thread: what it saw is all there
    std::vector<ProgressMessage> causes;
    for (const Seen& s : watcher.seen) causes.push_back(s.cause);
    EXPECT_THAT(causes, ElementsAre(PROGRESS_OPEN, PROGRESS_SETTITLE, PROGRESS_SETRANGE, PROGRESS_SETPOS, PROGRESS_SETPOS,
                                    PROGRESS_SETPOS, PROGRESS_CLOSE));
    EXPECT_EQ(watcher.Last().state.title, "Importing Programs");
    EXPECT_EQ(watcher.Last().state.position, 2);
    EXPECT_TRUE(err.str().empty());  // no terminal, no line

    // range, position -> kept range (its low 16 bits), position on the bar
    const std::vector<std::array<std::int64_t, 4>> rows = {{65535, 65535, 65535, 65535}, {65536 + 5, 3, 5, 3},
                                                           {0x12345678, 0x5000, 0x5678, 0x5000}, {65536, 1, 0, 0},
                                                           {10, 50, 10, 10}, {10, -3, 10, 0}};
    for (const auto& [range, position, kept, shown] : rows) {
        Watcher cut;
        ConsolePlatform other(err, cut.Options());
        auto bar = other.StartProgressWindow(false);
        bar->SetRange(static_cast<std::uint32_t>(range));
        bar->SetPosition(static_cast<std::int32_t>(position));
        bar->Close();
        EXPECT_EQ(std::make_tuple(cut.Last().state.rangeHigh, cut.Last().state.position), std::make_tuple(kept, shown))
            << range << "/" << position;
    }
}

TEST(ConsolePlatformTest, ProgressLineIsRedrawnInPlaceAndWipedForBoxesAndAtClose) {
    std::ostringstream err;
    ConsoleOptions options;
    options.progress = ProgressDisplay::kLine;
    ConsolePlatform platform(err, options);
    auto window = platform.StartProgressWindow(false);
    window->SetTitle("Importing Programs");
    window->SetRange(2);
    window->SetStatus("Loading a\tb.afp");
    window->SetPosition(1);
    const std::string line = "Importing Programs - Loading a b.afp [##########..........] 1/2";
    EXPECT_TRUE(err.str().ends_with("\r" + line)) << err.str();

    platform.ShowMessage("File already in the bank - Skip it \n(x.afp)", "Information", Icon::kInformation);
    const std::string wipe = "\r" + std::string(line.size(), ' ') + "\r";
    EXPECT_TRUE(err.str().ends_with(wipe + "Information: File already in the bank - Skip it \n(x.afp)\n")) << err.str();
    window->SetPosition(2);
    window->Close();
    EXPECT_TRUE(err.str().ends_with("\r")) << err.str();
    EXPECT_EQ(FormatProgressLine(ProgressState{}), "Dialog [....................] 0/100");
    ProgressState longStatus;
    longStatus.status = std::string(200, 'n');
    EXPECT_EQ(FormatProgressLine(longStatus).size(), 79u);
    EXPECT_TRUE(FormatProgressLine(longStatus).ends_with("nn [....................] 0/100"));
}

TEST(ConsolePlatformTest, ChoosersAreCancelledAndBoxesGoToTheErrorStream) {
    std::ostringstream err;
    ConsolePlatform platform(err);
    EXPECT_EQ(platform.ChooseOpenFiles(OpenFileRequest{"Replace sample", {}, false}), std::nullopt);
    EXPECT_EQ(platform.ChooseSaveFile(SaveFileRequest{}), std::nullopt);
    EXPECT_EQ(platform.ChooseFolder("Destination"), std::nullopt);

    EXPECT_FALSE(platform.Confirm("Overwrite?", "Confirm", Icon::kQuestion));
    ConsoleOptions yes;
    yes.assumeYes = true;
    ConsolePlatform agreeing(err, yes);
    EXPECT_TRUE(agreeing.Confirm("Overwrite?", "Confirm", Icon::kQuestion));
    platform.ShowMessage("Unknow bank.txt format\n (/v/bank.txt)", "Error", Icon::kStop);
    EXPECT_EQ(err.str(), "Confirm: Overwrite?\nConfirm: Overwrite?\nError: Unknow bank.txt format\n (/v/bank.txt)\n");
    EXPECT_FALSE(platform.OpenDocument("/v/page.html"));
}

TEST(ScriptedPlatformTest, UnexpectedQuestionsAndLeftoverAnswersAreProblems) {
    ScriptedPlatform platform;
    EXPECT_EQ(platform.ChooseFolder("Destination"), std::nullopt);
    platform.AnswerConfirm(true);
    EXPECT_EQ(platform.ChooseOpenFiles({"Open", {}, false}), std::nullopt);  // a confirmation was queued
    platform.AnswerFolder("/out");
    platform.AnswerCancel();

    EXPECT_EQ(platform.Problems(),
              (std::vector<std::string>{"unexpected folder question: Destination",
                                        "asked for open files (Open) while the script holds confirmation",
                                        "unused confirmation answer", "unused folder answer", "unused cancel answer"}));
}

}  // namespace
}  // namespace velmorant::platform
