#include "platform/ScriptedPlatform.h"

#include <utility>

namespace velmorant::platform {
namespace {

using Kind = PlatformCall::Kind;

// Records what the job sends; synchronous by construction, so no thread is needed.
class ScriptedProgressWindow final : public ProgressWindow {
public:
    explicit ScriptedProgressWindow(ScriptedPlatform& platform) : platform_(platform) {}
    ~ScriptedProgressWindow() override { Close(); }

    void SetTitle(std::string_view title) override { Send(Kind::kProgressTitle, title, 0); }
    void SetStatus(std::string_view status) override { Send(Kind::kProgressStatus, status, 0); }
    void SetRange(std::uint32_t high) override { Send(Kind::kProgressRange, {}, high & 0xFFFFu); }
    void SetPosition(std::int32_t position) override { Send(Kind::kProgressPosition, {}, position); }
    void BringToFront() override { Send(Kind::kProgressToFront, {}, 0); }
    bool CancelRequested() override { return !closed_ && platform_.ProgressCancelAsked(); }
    void Close() override {
        if (!closed_) {
            Send(Kind::kProgressClose, {}, 0);
            closed_ = true;
        }
    }

private:
    void Send(Kind kind, std::string_view text, std::int64_t value) {
        if (closed_) {
            return;
        }
        PlatformCall call;
        call.kind = kind;
        call.text.assign(text);
        call.value = value;
        platform_.Record(std::move(call));
    }

    ScriptedPlatform& platform_;
    bool closed_ = false;
};

const char* AnswerName(int kind) {
    static const char* const kNames[] = {"open files", "save file", "folder", "confirmation", "cancel"};
    return kNames[kind];
}

}  // namespace

void ScriptedPlatform::AnswerOpenFiles(std::vector<std::string> paths) {
    std::lock_guard lock(mutex_);
    answers_.push_back({AnswerKind::kOpenFiles, std::move(paths), false});
}

void ScriptedPlatform::AnswerSaveFile(std::string path) {
    std::lock_guard lock(mutex_);
    answers_.push_back({AnswerKind::kSaveFile, {std::move(path)}, false});
}

void ScriptedPlatform::AnswerFolder(std::string path) {
    std::lock_guard lock(mutex_);
    answers_.push_back({AnswerKind::kFolder, {std::move(path)}, false});
}

void ScriptedPlatform::CancelProgressAt(int ask) {
    std::lock_guard lock(mutex_);
    cancelAt_ = ask;
    cancelAsks_ = 0;
}

bool ScriptedPlatform::ProgressCancelAsked() {
    std::lock_guard lock(mutex_);
    return cancelAt_ > 0 && ++cancelAsks_ >= cancelAt_;
}

void ScriptedPlatform::AnswerConfirm(bool ok) {
    std::lock_guard lock(mutex_);
    answers_.push_back({AnswerKind::kConfirm, {}, ok});
}

void ScriptedPlatform::AnswerCancel() {
    std::lock_guard lock(mutex_);
    answers_.push_back({AnswerKind::kCancel, {}, false});
}

void ScriptedPlatform::SetOpenDocumentResult(bool opened) {
    std::lock_guard lock(mutex_);
    openDocumentResult_ = opened;
}

std::optional<ScriptedPlatform::Answer> ScriptedPlatform::TakeAnswer(AnswerKind wanted, std::string_view question) {
    std::lock_guard lock(mutex_);
    if (answers_.empty()) {
        problems_.push_back("unexpected " + std::string(AnswerName(static_cast<int>(wanted))) + " question: " +
                            std::string(question));
        return std::nullopt;
    }
    Answer answer = std::move(answers_.front());
    const bool chooser = wanted != AnswerKind::kConfirm;
    if (answer.kind != wanted && !(chooser && answer.kind == AnswerKind::kCancel)) {
        problems_.push_back("asked for " + std::string(AnswerName(static_cast<int>(wanted))) + " (" +
                            std::string(question) + ") while the script holds " +
                            AnswerName(static_cast<int>(answer.kind)));
        return std::nullopt;
    }
    answers_.pop_front();
    return answer;
}

std::optional<std::vector<std::string>> ScriptedPlatform::ChooseOpenFiles(const OpenFileRequest& request) {
    PlatformCall call;
    call.kind = Kind::kChooseOpenFiles;
    call.text = request.title;
    call.filters = request.filters;
    call.value = request.multiple ? 1 : 0;
    Record(std::move(call));
    auto answer = TakeAnswer(AnswerKind::kOpenFiles, request.title);
    if (!answer || answer->kind == AnswerKind::kCancel) {
        return std::nullopt;
    }
    if (!request.multiple && answer->paths.size() > 1) {
        std::lock_guard lock(mutex_);
        problems_.push_back("several files answered to a single-file chooser: " + request.title);
    }
    return std::move(answer->paths);
}

std::optional<std::string> ScriptedPlatform::ChooseSaveFile(const SaveFileRequest& request) {
    PlatformCall call;
    call.kind = Kind::kChooseSaveFile;
    call.text = request.title;
    call.filters = request.filters;
    call.suggestedName = request.suggestedName;
    Record(std::move(call));
    auto answer = TakeAnswer(AnswerKind::kSaveFile, request.title);
    if (!answer || answer->kind == AnswerKind::kCancel) {
        return std::nullopt;
    }
    return std::move(answer->paths.front());
}

std::optional<std::string> ScriptedPlatform::ChooseFolder(std::string_view title) {
    PlatformCall call;
    call.kind = Kind::kChooseFolder;
    call.text.assign(title);
    Record(std::move(call));
    auto answer = TakeAnswer(AnswerKind::kFolder, title);
    if (!answer || answer->kind == AnswerKind::kCancel) {
        return std::nullopt;
    }
    return std::move(answer->paths.front());
}

void ScriptedPlatform::ShowMessage(std::string_view text, std::string_view title, Icon icon) {
    PlatformCall call;
    call.kind = Kind::kMessage;
    call.text.assign(text);
    call.title.assign(title);
    call.icon = icon;
    Record(std::move(call));
}

bool ScriptedPlatform::Confirm(std::string_view text, std::string_view title, Icon icon) {
    PlatformCall call;
    call.kind = Kind::kConfirm;
    call.text.assign(text);
    call.title.assign(title);
    call.icon = icon;
    Record(std::move(call));
    auto answer = TakeAnswer(AnswerKind::kConfirm, text);
    return answer && answer->ok;
}

bool ScriptedPlatform::OpenDocument(const std::string& path) {
    PlatformCall call;
    call.kind = Kind::kOpenDocument;
    call.text = path;
    Record(std::move(call));
    std::lock_guard lock(mutex_);
    return openDocumentResult_;
}

std::unique_ptr<ProgressWindow> ScriptedPlatform::StartProgressWindow(bool cycling) {
    PlatformCall call;
    call.kind = Kind::kProgressStart;
    call.value = cycling ? 1 : 0;
    Record(std::move(call));
    return std::make_unique<ScriptedProgressWindow>(*this);
}

void ScriptedPlatform::Record(PlatformCall call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
}

std::vector<PlatformCall> ScriptedPlatform::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<std::string> ScriptedPlatform::Boxes() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> boxes;
    for (const PlatformCall& call : calls_) {
        if (call.kind == Kind::kMessage || call.kind == Kind::kConfirm) {
            boxes.push_back(call.title + ": " + call.text);
        }
    }
    return boxes;
}

std::vector<std::string> ScriptedPlatform::Problems() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> problems = problems_;
    for (const Answer& answer : answers_) {
        problems.push_back(std::string("unused ") + AnswerName(static_cast<int>(answer.kind)) + " answer");
    }
    return problems;
}

}  // namespace velmorant::platform
