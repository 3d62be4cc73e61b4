#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmorant::platform {

enum class Icon {
    kNone,
    kInformation,
    kStop,  // the "Error" boxes
    kWarning,
    kQuestion,
};

struct FileFilter {
    std::string description;  // "Alesis Fusion Program files (.afp)"
    std::string pattern;      // "*.afp"
};

struct OpenFileRequest {
    std::string title;
    std::vector<FileFilter> filters;  // the first one is selected
    bool multiple = false;
};

struct SaveFileRequest {
    std::string title;
    std::vector<FileFilter> filters;
    std::string suggestedName;
};

// The window of one job. Every call is synchronous: when it returns the window has
// taken its copy of the text, so the job may reuse its buffers at once.
class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;
    virtual void SetTitle(std::string_view title) = 0;    // PROGRESS_SETTITLE
    virtual void SetStatus(std::string_view status) = 0;  // PROGRESS_SETSTATUS
    virtual void SetRange(std::uint32_t high) = 0;        // PROGRESS_SETRANGE, cut to its low 16 bits
    virtual void SetPosition(std::int32_t position) = 0;  // PROGRESS_SETPOS
    virtual void BringToFront() = 0;
    // A job that can stop cleanly between its steps offers a Cancel button, then asks
    // between steps whether it was pressed. Windows without a button never report one.
    virtual void OfferCancel() {}
    virtual bool CancelRequested() { return false; }
    // Closes the window; once it returns the window is gone. Further calls do nothing.
    virtual void Close() = 0;
};

// What a job may ask of the person in front of it. Jobs call only this, never
// print or prompt, so the CLI, the tests and the GUI can each answer their way.
// A GUI implementation may be called from a worker thread and must marshal to its own.
class Platform {
public:
    virtual ~Platform() = default;

    // Chosen full paths, or nullopt when cancelled.
    virtual std::optional<std::vector<std::string>> ChooseOpenFiles(const OpenFileRequest& request) = 0;
    virtual std::optional<std::string> ChooseSaveFile(const SaveFileRequest& request) = 0;
    virtual std::optional<std::string> ChooseFolder(std::string_view title) = 0;

    // A box with a single OK button.
    virtual void ShowMessage(std::string_view text, std::string_view title, Icon icon) = 0;
    // OK/Cancel; true for OK.
    virtual bool Confirm(std::string_view text, std::string_view title, Icon icon) = 0;

    // Opens a document (a catalogue page) in the default viewer; false when it could not.
    virtual bool OpenDocument(const std::string& path) = 0;

    // Starts a progress window and returns once it exists. A cycling window steps its
    // own position 0..10 every 100 ms until closed, whatever the job sends.
    virtual std::unique_ptr<ProgressWindow> StartProgressWindow(bool cycling) = 0;
};

}  // namespace velmorant::platform
