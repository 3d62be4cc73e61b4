#include "ui/QtPlatform.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QSettings>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "core/Encoding.h"
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
    void OfferCancel() override {
        Send([](ProgressDialog& d) { d.offerCancel(); });
    }
    bool CancelRequested() override {
        return !closed_ && RunOnGuiThread([this] { return dialog_ != nullptr && dialog_->cancelRequested(); });
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

// Choosers open where the last one left off, in this run or an earlier one.
QtPlatform::QtPlatform(QWidget* owner)
    : owner_(owner), startFolder_(QSettings().value(QStringLiteral("lastFolder"), QDir::currentPath()).toString()) {}

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

#ifdef Q_OS_WIN
std::string QtPlatform::ToNativePath(const QString& path) {
    return QFile::encodeName(QDir::toNativeSeparators(path)).toStdString();
}

QString QtPlatform::FromNativePath(std::string_view path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}
#else
std::string QtPlatform::ToNativePath(const QString& path) {
    std::string bytes;
    qsizetype run = 0;  // start of the text not yet converted
    auto flush = [&](qsizetype end) {
        const QByteArray utf8 = QStringView(path).mid(run, end - run).toUtf8();
        bytes.append(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    };
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t unit = path[i].unicode();
        const bool escaped = unit >= 0xDC80 && unit <= 0xDCFF && (i == 0 || !path[i - 1].isHighSurrogate());
        if (escaped) {
            flush(i);
            bytes += static_cast<char>(unit - 0xDC00);
            run = i + 1;
        }
    }
    flush(path.size());
    return bytes;
}

QString QtPlatform::FromNativePath(std::string_view path) {
    QString text;
    text.reserve(static_cast<qsizetype>(path.size()));
    for (std::size_t pos = 0; pos < path.size();) {
        if (const auto cp = core::NextUtf8CodePoint(path, pos)) {
            const char32_t one = *cp;
            text += QString::fromUcs4(&one, 1);
        } else {
            text += QChar(static_cast<char16_t>(0xDC00 + static_cast<std::uint8_t>(path[pos])));
            ++pos;
        }
    }
    return text;
}
#endif

QString QtPlatform::PathOfUrl(const QUrl& url) {
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return QDir::fromNativeSeparators(FromNativePath(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
}

QUrl QtPlatform::UrlOfPath(std::string_view path) {
    const QString native = FromNativePath(path);
    const std::string bytes = ToNativePath(QDir::fromNativeSeparators(native));
    QByteArray encoded = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())).toPercentEncoding("/");
    if (!encoded.startsWith('/')) {
        encoded.prepend('/');  // a drive letter on Windows
    }
    return QUrl::fromEncoded("file://" + encoded);
}

void QtPlatform::rememberFolderOf(const QString& path, bool isFolder) {
    startFolder_ = isFolder ? path : QFileInfo(path).absolutePath();
    QSettings().setValue(QStringLiteral("lastFolder"), startFolder_);
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

void QtPlatform::keepProgressInSight(QMessageBox& box) const {
    // A box would cover the job's window, centred over the same owner: the box goes just
    // below it instead, so the person sees both what happened and how far the job got.
    if (progress_ == nullptr || !progress_->isVisible()) {
        return;
    }
    progress_->raise();
    const QRect above = progress_->frameGeometry();
    box.ensurePolished();
    const QSize size = box.sizeHint();
    box.move(above.center().x() - size.width() / 2, above.bottom() + 8);
}

void QtPlatform::ShowMessage(std::string_view text, std::string_view title, platform::Icon icon) {
    const QString body = ToQString(text);
    const QString caption = ToQString(title);
    RunOnGuiThread([&] {
        QMessageBox box(BoxIcon(icon), caption, body, QMessageBox::Ok, owner_);
        box.setObjectName(QStringLiteral("messageBox"));
        keepProgressInSight(box);
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
        keepProgressInSight(box);
        return box.exec() == QMessageBox::Ok;
    });
}

bool QtPlatform::OpenDocument(const std::string& path) {
    const QUrl url = UrlOfPath(path);
    return RunOnGuiThread([&] { return QDesktopServices::openUrl(url); });
}

std::unique_ptr<platform::ProgressWindow> QtPlatform::StartProgressWindow(bool cycling) {
    ProgressDialog* dialog = RunOnGuiThread([&] {
        auto* created = new ProgressDialog(cycling, cycle_, owner_);
        created->show();
        progress_ = created;
        return created;
    });
    return std::make_unique<QtProgressWindow>(dialog);
}

}  // namespace velmorant::ui
