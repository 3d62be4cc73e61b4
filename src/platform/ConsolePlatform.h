#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/ProgressThread.h"

namespace velmorant::platform {

enum class ProgressDisplay {
    kHidden,  // no progress line (standard error is not a terminal)
    kLine,    // a progress line redrawn in place on the error stream
};

struct ConsoleOptions {
    // Answer confirmations with OK; otherwise every confirmation is refused.
    bool assumeYes = false;
    ProgressDisplay progress = ProgressDisplay::kHidden;
    // Called on the progress thread with the window's state after every change;
    // lets a test watch the window without a terminal.
    std::function<void(const ProgressState&, ProgressMessage)> progressObserver;
};

// The platform of the command-line tool: its commands take their paths as arguments, so
// every chooser is cancelled; message boxes are printed on the error stream as
// "Title: text", confirmations follow assumeYes. The platform must outlive every
// progress window it started.
class ConsolePlatform final : public Platform {
public:
    explicit ConsolePlatform(std::ostream& err, ConsoleOptions options = {});
    ~ConsolePlatform() override;

    // Where OpenDocument reports the document instead of launching a viewer.
    void SetDocumentOpener(std::function<bool(const std::string&)> opener);

    std::optional<std::vector<std::string>> ChooseOpenFiles(const OpenFileRequest& request) override;
    std::optional<std::string> ChooseSaveFile(const SaveFileRequest& request) override;
    std::optional<std::string> ChooseFolder(std::string_view title) override;
    void ShowMessage(std::string_view text, std::string_view title, Icon icon) override;
    bool Confirm(std::string_view text, std::string_view title, Icon icon) override;
    bool OpenDocument(const std::string& path) override;
    std::unique_ptr<ProgressWindow> StartProgressWindow(bool cycling) override;

    // The error stream is shared with the progress thread; this is its lock.
    struct Output {
        std::ostream& stream;
        std::mutex mutex;
        std::size_t lineLength = 0;  // characters of the progress line now drawn
    };

private:
    void PrintBox(std::string_view text, std::string_view title);

    std::shared_ptr<Output> output_;
    ConsoleOptions options_;
    std::function<bool(const std::string&)> opener_;
    CycleCounter cycleCounter_{0};
};

// The progress line as drawn: "Title - status [#####.....] 2/3".
std::string FormatProgressLine(const ProgressState& state);

}  // namespace velmorant::platform
