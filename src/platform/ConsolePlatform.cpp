#include "platform/ConsolePlatform.h"

#include "core/Encoding.h"

#include <algorithm>
#include <ostream>
#include <utility>

namespace velmorant::platform {
namespace {

constexpr std::size_t kBarWidth = 20;
constexpr std::size_t kLineWidth = 79;

using Output = ConsolePlatform::Output;

// Wipes the progress line so the next text starts at the left margin. Holds output.mutex.
void ClearLine(Output& output) {
    if (output.lineLength > 0) {
        output.stream << '\r' << std::string(output.lineLength, ' ') << '\r';
        output.lineLength = 0;
    }
}

class ConsoleProgressView final : public ProgressView {
public:
    ConsoleProgressView(std::shared_ptr<Output> output, const ConsoleOptions& options)
        : output_(std::move(output)), display_(options.progress), observer_(options.progressObserver) {}

    void Show(const ProgressState& state, ProgressMessage cause) override {
        if (observer_) {
            observer_(state, cause);
        }
        // A window that has just opened has nothing of the job's to show yet.
        if (display_ != ProgressDisplay::kLine || cause == PROGRESS_OPEN) {
            return;
        }
        const std::string line = core::TerminalText(FormatProgressLine(state));
        std::lock_guard lock(output_->mutex);
        output_->stream << '\r' << line;
        if (line.size() < output_->lineLength) {
            output_->stream << std::string(output_->lineLength - line.size(), ' ');
        }
        output_->stream << std::flush;
        output_->lineLength = std::max(line.size(), output_->lineLength);
    }

    void Closed(const ProgressState& state) override {
        if (observer_) {
            observer_(state, PROGRESS_CLOSE);
        }
        if (display_ == ProgressDisplay::kLine) {
            std::lock_guard lock(output_->mutex);
            ClearLine(*output_);
            output_->stream << std::flush;
        }
    }

private:
    std::shared_ptr<Output> output_;
    ProgressDisplay display_;
    std::function<void(const ProgressState&, ProgressMessage)> observer_;
};

// A window nobody sees or watches: no thread to hand every message to, which on a busy
// machine cost a scheduling delay per message (two per exported program).
class UnseenProgressWindow final : public ProgressWindow {
public:
    void SetTitle(std::string_view) override {}
    void SetStatus(std::string_view) override {}
    void SetRange(std::uint32_t) override {}
    void SetPosition(std::int32_t) override {}
    void BringToFront() override {}
    void Close() override {}
};

}  // namespace

std::string FormatProgressLine(const ProgressState& state) {
    std::string text = state.title;
    if (!state.status.empty()) {
        text += " - ";
        text += state.status;
    }
    std::size_t filled = 0;
    if (state.rangeHigh > 0 && state.position > 0) {
        filled = static_cast<std::size_t>(state.position) * kBarWidth / state.rangeHigh;
        filled = std::min(filled, kBarWidth);
    }
    std::string bar = " [";
    bar += std::string(filled, '#');
    bar += std::string(kBarWidth - filled, '.');
    bar += "] ";
    bar += std::to_string(state.position);
    bar += '/';
    bar += std::to_string(state.rangeHigh);
    // A line that wrapped could not be redrawn in place with a carriage return.
    if (text.size() + bar.size() > kLineWidth) {
        text.resize(kLineWidth > bar.size() ? kLineWidth - bar.size() : 0);
    }
    std::string line = text + bar;
    // Status texts are the job's own; keep control characters from moving the cursor.
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = ' ';
        }
    }
    return line;
}

ConsolePlatform::ConsolePlatform(std::ostream& err, ConsoleOptions options)
    : output_(new Output{err, {}, 0}), options_(std::move(options)) {}

ConsolePlatform::~ConsolePlatform() = default;

void ConsolePlatform::SetDocumentOpener(std::function<bool(const std::string&)> opener) {
    opener_ = std::move(opener);
}

std::optional<std::vector<std::string>> ConsolePlatform::ChooseOpenFiles(const OpenFileRequest&) {
    return std::nullopt;
}

std::optional<std::string> ConsolePlatform::ChooseSaveFile(const SaveFileRequest&) { return std::nullopt; }

std::optional<std::string> ConsolePlatform::ChooseFolder(std::string_view) { return std::nullopt; }

void ConsolePlatform::PrintBox(std::string_view text, std::string_view title) {
    std::lock_guard lock(output_->mutex);
    ClearLine(*output_);
    // Box texts mix names and paths; each line is shown as the terminal's UTF-8, controls escaped.
    output_->stream << core::TerminalText(title) << ": " << core::TerminalText(text) << '\n' << std::flush;
}

void ConsolePlatform::ShowMessage(std::string_view text, std::string_view title, Icon) { PrintBox(text, title); }

bool ConsolePlatform::Confirm(std::string_view text, std::string_view title, Icon) {
    PrintBox(text, title);
    return options_.assumeYes;
}

bool ConsolePlatform::OpenDocument(const std::string& path) { return opener_ ? opener_(path) : false; }

std::unique_ptr<ProgressWindow> ConsolePlatform::StartProgressWindow(bool cycling) {
    if (options_.progress == ProgressDisplay::kHidden && !options_.progressObserver) {
        return std::make_unique<UnseenProgressWindow>();
    }
    return StartThreadedProgressWindow(std::make_unique<ConsoleProgressView>(output_, options_), cycling,
                                       cycleCounter_);
}

}  // namespace velmorant::platform
