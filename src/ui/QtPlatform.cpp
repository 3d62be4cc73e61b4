#include "ui/QtPlatform.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "ui/GuiThread.h"
#include "ui/ProgressDialog.h"

namespace velmorant::ui {
namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::Icon BoxIcon(platform::Icon icon) {
    switch (icon) {
        case platform::Icon::kInformation:
            return QMessageBox::Information;
        case platform::Icon::kStop:
            return QMessageBox::Critical;
        case platform::Icon::kWarning:
            return QMessageBox::Warning;
        case platform::Icon::kQuestion:
            return QMessageBox::Question;
        case platform::Icon::kNone:
            break;
    }
    return QMessageBox::NoIcon;
}

// The job's view of one progress dialog; the dialog itself is touched only on the GUI thread.
class QtProgressWindow final : public platform::ProgressWindow {
public:
    explicit QtProgressWindow(ProgressDialog* dialog) : dialog_(dialog) {}
    ~QtProgressWindow() override { Close(); }

    void SetTitle(std::string_view title) override {
        const QString text = ToQString(title);
        Send([&](ProgressDialog& d) { d.setWindowTitle(text); });
    }
    void SetStatus(std::string_view status) override {
        const QString text = ToQString(status);
        Send([&](ProgressDialog& d) { d.setStatus(text); });
    }
    void SetRange(std::uint32_t high) override {
        Send([&](ProgressDialog& d) { d.setRangeHigh(high); });
    }
    void SetPosition(std::int32_t position) override {
        Send([&](ProgressDialog& d) { d.setPosition(position); });
    }
    void BringToFront() override {
        Send([](ProgressDialog& d) {
            d.raise();
            d.activateWindow();
        });
    }
    void Close() override {
        if (closed_) {
            return;
        }
        closed_ = true;
        RunOnGuiThread([this] { delete dialog_.data(); });
    }

private:
    template <typename F>
    void Send(F&& f) {
        if (closed_) {
            return;
        }
        RunOnGuiThread([this, &f] {
            if (dialog_ != nullptr) {
                f(*dialog_);
            }
        });
    }

    QPointer<ProgressDialog> dialog_;
    bool closed_ = false;
};

}  // namespace

QtPlatform::QtPlatform(QWidget* owner) : owner_(owner), startFolder_(QDir::currentPath()) {}

void QtPlatform::setOwner(QWidget* owner) {
    owner_ = owner;
}

void QtPlatform::setStartFolder(const QString& folder) {
    startFolder_ = folder;
}

QString QtPlatform::FilterText(const std::vector<platform::FileFilter>& filters) {
    QStringList parts;
    for (const platform::FileFilter& filter : filters) {
        // "*.*" means every file where the name has no extension too.
        const QString pattern = filter.pattern == "*.*" ? QStringLiteral("*") : ToQString(filter.pattern);
        parts << QStringLiteral("%1 (%2)").arg(ToQString(filter.description), pattern);
    }
    return parts.join(QStringLiteral(";;"));
}

std::string QtPlatform::ToNativePath(const QString& path) {
    return QFile::encodeName(QDir::toNativeSeparators(path)).toStdString();
}

QString QtPlatform::FromNativePath(std::string_view path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

void QtPlatform::rememberFolderOf(const QString& path, bool isFolder) {
    startFolder_ = isFolder ? path : QFileInfo(path).absolutePath();
}

std::optional<std::vector<std::string>> QtPlatform::ChooseOpenFiles(const platform::OpenFileRequest& request) {
    return RunOnGuiThread([&]() -> std::optional<std::vector<std::string>> {
        const QString title = ToQString(request.title);
        const QString filter = FilterText(request.filters);
        QStringList chosen;
        if (request.multiple) {
            chosen = QFileDialog::getOpenFileNames(owner_, title, startFolder_, filter);
        } else {
            const QString one = QFileDialog::getOpenFileName(owner_, title, startFolder_, filter);
            if (!one.isEmpty()) {
                chosen << one;
            }
        }
        if (chosen.isEmpty()) {
            return std::nullopt;
        }
        rememberFolderOf(chosen.front(), false);
        std::vector<std::string> paths;
        for (const QString& path : chosen) {
            paths.push_back(ToNativePath(path));
        }
        return paths;
    });
}

std::optional<std::string> QtPlatform::ChooseSaveFile(const platform::SaveFileRequest& request) {
    return RunOnGuiThread([&]() -> std::optional<std::string> {
        QString start = startFolder_;
        if (!request.suggestedName.empty()) {
            start = QDir(startFolder_).filePath(ToQString(request.suggestedName));
        }
        const QString chosen = QFileDialog::getSaveFileName(owner_, ToQString(request.title), start,
                                                            FilterText(request.filters));
        if (chosen.isEmpty()) {
            return std::nullopt;
        }
        rememberFolderOf(chosen, false);
        return ToNativePath(chosen);
    });
}

std::optional<std::string> QtPlatform::ChooseFolder(std::string_view title) {
    const QString caption = ToQString(title);
    return RunOnGuiThread([&]() -> std::optional<std::string> {
        const QString chosen = QFileDialog::getExistingDirectory(owner_, caption, startFolder_);
        if (chosen.isEmpty()) {
            return std::nullopt;
        }
        rememberFolderOf(chosen, true);
        return ToNativePath(chosen);
    });
}

void QtPlatform::ShowMessage(std::string_view text, std::string_view title, platform::Icon icon) {
    const QString body = ToQString(text);
    const QString caption = ToQString(title);
    RunOnGuiThread([&] {
        QMessageBox box(BoxIcon(icon), caption, body, QMessageBox::Ok, owner_);
        box.setObjectName(QStringLiteral("messageBox"));
        box.exec();
    });
}

bool QtPlatform::Confirm(std::string_view text, std::string_view title, platform::Icon icon) {
    const QString body = ToQString(text);
    const QString caption = ToQString(title);
    return RunOnGuiThread([&] {
        QMessageBox box(BoxIcon(icon), caption, body, QMessageBox::Ok | QMessageBox::Cancel, owner_);
        box.setObjectName(QStringLiteral("confirmBox"));
        box.setDefaultButton(QMessageBox::Cancel);
        return box.exec() == QMessageBox::Ok;
    });
}

bool QtPlatform::OpenDocument(const std::string& path) {
    const QUrl url = QUrl::fromLocalFile(FromNativePath(path));
    return RunOnGuiThread([&] { return QDesktopServices::openUrl(url); });
}

std::unique_ptr<platform::ProgressWindow> QtPlatform::StartProgressWindow(bool cycling) {
    ProgressDialog* dialog = RunOnGuiThread([&] {
        auto* created = new ProgressDialog(cycling, cycle_, owner_);
        created->show();
        return created;
    });
    return std::make_unique<QtProgressWindow>(dialog);
}

}  // namespace velmorant::ui
