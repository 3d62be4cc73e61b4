#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace velmorant::platform {

// One call a job made, in the order it made them.
struct PlatformCall {
    enum class Kind {
        kChooseOpenFiles,
        kChooseSaveFile,
        kChooseFolder,
        kMessage,
        kConfirm,
        kOpenDocument,
        kProgressStart,
        kProgressTitle,
        kProgressStatus,
        kProgressRange,
        kProgressPosition,
        kProgressToFront,
        kProgressClose,
    };
    Kind kind = Kind::kMessage;
    std::string text;   // box text, chooser title, progress text, document path
    std::string title;  // box title
    Icon icon = Icon::kNone;
    std::int64_t value = 0;  // range, position; 1 for a cycling window; multiple selection
    std::vector<FileFilter> filters;
    std::string suggestedName;
};

// A platform for tests: questions are answered from a queue, in order, and every
// call is recorded. A question the script did not expect, or answers left over,
// are collected as problems so a test can fail on them.
class ScriptedPlatform final : public Platform {
public:
    void AnswerOpenFiles(std::vector<std::string> paths);
    void AnswerSaveFile(std::string path);
    void AnswerFolder(std::string path);
    void AnswerConfirm(bool ok);
    // The next chooser (of any kind) is cancelled.
    void AnswerCancel();
    void SetOpenDocumentResult(bool opened);
    // Progress windows report Cancel from their `ask`-th question on (1: the first), as if
    // pressed just before it.
    void CancelProgressAt(int ask);
    // What a progress window answers when its job asks about Cancel.
    bool ProgressCancelAsked();

    std::optional<std::vector<std::string>> ChooseOpenFiles(const OpenFileRequest& request) override;
    std::optional<std::string> ChooseSaveFile(const SaveFileRequest& request) override;
    std::optional<std::string> ChooseFolder(std::string_view title) override;
    void ShowMessage(std::string_view text, std::string_view title, Icon icon) override;
    bool Confirm(std::string_view text, std::string_view title, Icon icon) override;
    bool OpenDocument(const std::string& path) override;
    std::unique_ptr<ProgressWindow> StartProgressWindow(bool cycling) override;

    std::vector<PlatformCall> Calls() const;
    // Only the message boxes and confirmations, each as "Title: text".
    std::vector<std::string> Boxes() const;
    // Unexpected questions so far plus every answer still queued.
    std::vector<std::string> Problems() const;

    void Record(PlatformCall call);

private:
    enum class AnswerKind { kOpenFiles, kSaveFile, kFolder, kConfirm, kCancel };
    struct Answer {
        AnswerKind kind;
        std::vector<std::string> paths;
        bool ok = false;
    };
    // The next answer when it fits the question; nullopt (and a problem) otherwise.
    std::optional<Answer> TakeAnswer(AnswerKind wanted, std::string_view question);

    mutable std::mutex mutex_;
    std::deque<Answer> answers_;
    std::vector<PlatformCall> calls_;
    std::vector<std::string> problems_;
    bool openDocumentResult_ = true;
    int cancelAt_ = 0;  // 0: never
    int cancelAsks_ = 0;
};

}  // namespace velmorant::platform
