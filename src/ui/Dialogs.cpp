#include "ui/Dialogs.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFontDatabase>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QUrl>

#include "core/Debug.h"
#include "ui/QtPlatform.h"
#include "ui_AboutDialog.h"
#include "ui_ExportDialog.h"
#include "ui_LogDialog.h"
#include "ui_PropertiesDialog.h"
#include "ui_RenameDialog.h"
#include "volume/DependencyRows.h"
#include "volume/Summary.h"

#ifndef VELMORANT_PROJECT_PAGE
#define VELMORANT_PROJECT_PAGE ""
#endif

namespace velmorant::ui {
namespace {

QString FromText(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Logs are kept with CR LF line ends; the edit box wants bare line feeds.
QString DisplayText(const std::string& text) {
    QString shown = FromText(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

}  // namespace

// ---------------------------------------------------------------- rename

RenameDialog::RenameDialog(const QString& currentName, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::RenameDialog>()) {
    ui_->setupUi(this);
    setWindowTitle(QStringLiteral("Set new program name for %1").arg(currentName));
    ui_->nameEdit->setText(currentName);
    ui_->nameEdit->selectAll();
    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

RenameDialog::~RenameDialog() = default;

QString RenameDialog::newName() const {
    return ui_->nameEdit->text();
}

// ---------------------------------------------------------------- log

LogDialog::LogDialog(const volume::ProgramRecord& record, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::LogDialog>()) {
    ui_->setupUi(this);
    ui_->logText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ui_->logText->setPlainText(DisplayText(record.log));
}

LogDialog::~LogDialog() = default;

// ---------------------------------------------------------------- properties

QIcon PropertiesDialog::KindIcon(int kind) {
    // Drawn rather than loaded: a grey chip for ROM, a blue wave for a sample,
    // an orange stack for a multisample.
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
        case volume::kKindRom:
            painter.setBrush(QColor(0x70, 0x70, 0x78));
            painter.setPen(Qt::NoPen);
            painter.drawRect(3, 3, 10, 10);
            painter.setPen(QPen(QColor(0x70, 0x70, 0x78), 1));
            for (int x = 4; x <= 12; x += 3) {
                painter.drawLine(x, 0, x, 15);
            }
            break;
        case volume::kKindSample: {
            painter.setPen(QPen(QColor(0x20, 0x60, 0xc0), 2));
            QPainterPath wave;
            wave.moveTo(1, 8);
            wave.cubicTo(4, -2, 6, 18, 8, 8);
            wave.cubicTo(10, -2, 12, 18, 15, 8);
            painter.drawPath(wave);
            break;
        }
        default:
            painter.setPen(QPen(QColor(0x90, 0x40, 0x00), 1));
            painter.setBrush(QColor(0xf2, 0x8c, 0x28));
            for (int k = 2; k >= 0; --k) {
                painter.drawRect(1 + 2 * k, 1 + 3 * (2 - k), 11, 8);
            }
            break;
    }
    return QIcon(pixmap);
}

PropertiesDialog::PropertiesDialog(volume::ProgramRecord& record, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::PropertiesDialog>()) {
    ui_->setupUi(this);
    QTreeWidget* list = ui_->dependencyList;
    const int widths[] = {180, 60, 100, 450, 60, 80};
    for (int column = 0; column < 6; ++column) {
        list->setColumnWidth(column, widths[column]);
    }
    list->header()->setStretchLastSection(true);

    for (const volume::DependencyRow& row : volume::DependencyRows(record)) {
        auto* item = new QTreeWidgetItem(list);
        item->setIcon(0, KindIcon(row.kind));
        item->setText(0, FromText(row.name));
        item->setText(1, FromText(row.sizeKb));
        item->setText(2, FromText(row.bank));
        item->setText(3, FromText(row.path));
        item->setText(4, FromText(row.multiple));
        item->setText(5, FromText(row.crc));
    }

    volume::BuildProgramSummary(record);
    ui_->infoText->setPlainText(DisplayText(record.summary));
}

PropertiesDialog::~PropertiesDialog() = default;

// ---------------------------------------------------------------- about

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

// ---------------------------------------------------------------- export options

ExportDialog::ExportDialog(exporting::ExportOptions& options, platform::Platform& platform, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ExportDialog>()), options_(options), platform_(platform) {
    ui_->setupUi(this);
    ui_->bankNameEdit->setText(FromText(options_.bankName));
    ui_->savePathEdit->setText(QtPlatform::FromNativePath(options_.destinationPath));
    (options_.referenceOption == exporting::kAbsolutePaths ? ui_->absoluteRadio : ui_->relativeRadio)
        ->setChecked(true);
    (options_.folderOption == exporting::kSameAsSource ? ui_->sameAsSourceRadio : ui_->bankFolderRadio)
        ->setChecked(true);
    applyRules();

    connect(ui_->folderGroup, &QButtonGroup::buttonClicked, this, [this] { applyRules(); });
    connect(ui_->referenceGroup, &QButtonGroup::buttonClicked, this, [this] { applyRules(); });
    connect(ui_->browseButton, &QPushButton::clicked, this, &ExportDialog::chooseFolder);
    connect(ui_->okButton, &QPushButton::clicked, this, &ExportDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

ExportDialog::~ExportDialog() = default;

void ExportDialog::applyRules() {
    const bool locked = ui_->sameAsSourceRadio->isChecked();
    if (locked) {
        ui_->absoluteRadio->setChecked(true);
    }
    ui_->relativeRadio->setEnabled(!locked);
    ui_->absoluteRadio->setEnabled(!locked);
}

void ExportDialog::chooseFolder() {
    const std::optional<std::string> folder = platform_.ChooseFolder("Select a destination folder");
    if (folder) {
        core::DebugPrint("On a choisi %s", folder->c_str());
        ui_->savePathEdit->setText(QtPlatform::FromNativePath(*folder));
    }
    applyRules();
}

void ExportDialog::accept() {
    options_.bankName = ui_->bankNameEdit->text().toStdString();
    options_.destinationPath = QtPlatform::ToNativePath(ui_->savePathEdit->text());
    options_.folderOption = ui_->sameAsSourceRadio->isChecked() ? exporting::kSameAsSource : exporting::kBankNamedFolder;
    options_.referenceOption = ui_->absoluteRadio->isChecked() ? exporting::kAbsolutePaths : exporting::kRelativePaths;
    options_.accepted = true;
    QDialog::accept();
}

}  // namespace velmorant::ui
