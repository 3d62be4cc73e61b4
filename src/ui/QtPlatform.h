#pragma once

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>

#include "platform/Platform.h"
#include "platform/ProgressThread.h"

class QMessageBox;

namespace velmorant::ui {

class ProgressDialog;

// The platform boundary with real dialogs. Jobs run on a worker thread while every
// widget lives on the GUI thread, so each call is handed to the GUI thread and the
// job waits for the answer, as it would for a synchronous window message.
class QtPlatform final : public platform::Platform {
public:
    explicit QtPlatform(QWidget* owner = nullptr);

    // The window that owns the boxes and choosers.
    void setOwner(QWidget* owner);
    // The folder the choosers start in; afterwards they start where the last one ended.
    void setStartFolder(const QString& folder);

    std::optional<std::vector<std::string>> ChooseOpenFiles(const platform::OpenFileRequest& request) override;
    std::optional<std::string> ChooseSaveFile(const platform::SaveFileRequest& request) override;
    std::optional<std::string> ChooseFolder(std::string_view title) override;
    void ShowMessage(std::string_view text, std::string_view title, platform::Icon icon) override;
    bool Confirm(std::string_view text, std::string_view title, platform::Icon icon) override;
    bool OpenDocument(const std::string& path) override;
    std::unique_ptr<platform::ProgressWindow> StartProgressWindow(bool cycling) override;

    // Qt's filter text: "Description (*.afp);;All files (*)".
    static QString FilterText(const std::vector<platform::FileFilter>& filters);
    // File names are bytes that need not be UTF-8 (a volume written by another tool), and
    // Qt's own conversion would replace such a byte. A byte that is not part of a UTF-8
    // sequence becomes the lone code unit U+DC80..U+DCFF and back, so every name opens.
    static std::string ToNativePath(const QString& path);
    static QString FromNativePath(std::string_view path);
    // The same for file URLs (drops, the viewer), through their percent-encoded bytes.
    static QString PathOfUrl(const QUrl& url);
    static QUrl UrlOfPath(std::string_view path);

private:
    void rememberFolderOf(const QString& path, bool isFolder);
    void keepProgressInSight(QMessageBox& box) const;

    QPointer<QWidget> owner_;
    QPointer<ProgressDialog> progress_;  // the job's window, while it is open
    QString startFolder_;
    platform::CycleCounter cycle_{0};
};

}  // namespace velmorant::ui
