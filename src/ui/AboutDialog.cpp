#include "ui/AboutDialog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QUrl>

#include "ui_AboutDialog.h"

#ifndef VELMORANT_PROJECT_PAGE
#define VELMORANT_PROJECT_PAGE ""
#endif

namespace velmorant::ui {

QString AboutDialog::CreditsText() {
    return QStringLiteral(
               "Velmorant %1\n"
               "\n"
               "Assembles banks of synthesizer programs from a disk volume, checks every "
               "multisample and sample they play, exports them with copies of those files, "
               "writes HTML catalogues of a volume and builds new programs from WAV files.\n"
               "\n"
               "Credits:\n"
               "- The dynamic catalogue page carries the open-source script "
               "HTML Table Filter Generator, which sorts and filters its table in the browser.\n"
               "- Built with Qt %2.\n"
               "\n"
               "Click the picture to open the project's page.")
        .arg(QStringLiteral(VELMORANT_VERSION), QString::fromLatin1(qVersion()));
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::AboutDialog>()) {
    ui_->setupUi(this);
    ui_->pictureLabel->setPixmap(
        QPixmap(QStringLiteral(":/velmorant/velmorant.png")).scaled(160, 160, Qt::KeepAspectRatio,
                                                                   Qt::SmoothTransformation));
    ui_->pictureLabel->installEventFilter(this);
    ui_->creditsText->setPlainText(CreditsText());
}

AboutDialog::~AboutDialog() = default;

bool AboutDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->pictureLabel && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        QString page = QStringLiteral(VELMORANT_PROJECT_PAGE);
        if (page.isEmpty()) {
            page = QDir(QCoreApplication::applicationDirPath())
                       .absoluteFilePath(QStringLiteral("../share/doc/velmorant/README.md"));
        }
        const QUrl url = page.contains(QStringLiteral("://")) ? QUrl(page) : QUrl::fromLocalFile(page);
        QDesktopServices::openUrl(url);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace velmorant::ui
