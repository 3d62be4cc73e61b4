#include "ui/PropertiesDialog.h"

#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>

#include "ui/RecordText.h"
#include "ui_PropertiesDialog.h"
#include "volume/DependencyRows.h"
#include "volume/Summary.h"

namespace velmorant::ui {
namespace {

constexpr int kPathColumn = 3;

}  // namespace

QIcon PropertiesDialog::KindIcon(volume::DependencyKind kind) {
    // Drawn rather than loaded: a grey chip for ROM, a blue wave for a sample,
    // an orange stack for a multisample.
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
        case volume::DependencyKind::kRom:
            painter.setBrush(QColor(0x70, 0x70, 0x78));
            painter.setPen(Qt::NoPen);
            painter.drawRect(3, 3, 10, 10);
            painter.setPen(QPen(QColor(0x70, 0x70, 0x78), 1));
            for (int x = 4; x <= 12; x += 3) {
                painter.drawLine(x, 0, x, 15);
            }
            break;
        case volume::DependencyKind::kSample: {
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
    list->header()->setStretchLastSection(false);
    list->setTextElideMode(Qt::ElideMiddle);

    for (const volume::DependencyRow& row : volume::DependencyRows(record)) {
        auto* item = new QTreeWidgetItem(list);
        item->setIcon(0, KindIcon(row.kind));
        item->setText(0, FromRecordText(row.name));
        item->setText(1, QString::fromStdString(row.sizeKb));
        item->setText(2, FromRecordText(row.bank));
        item->setText(3, FromPathText(row.path));
        item->setToolTip(3, item->text(3));
        item->setText(4, QString::fromStdString(row.multiple));
        item->setText(5, QString::fromStdString(row.crc));
    }

    volume::BuildProgramSummary(record);
    ui_->infoText->setPlainText(FromRecordLines(record.summary));
    fitColumns();
}

void PropertiesDialog::fitColumns() {
    // Every column as wide as its longest text, so Path, Multiple and CRC show without
    // scrolling sideways; the window grows to hold them, as far as the screen allows.
    QTreeWidget* list = ui_->dependencyList;
    int listWidth = 2 * list->frameWidth() + list->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < list->columnCount(); ++column) {
        list->resizeColumnToContents(column);
        const int width = list->columnWidth(column) + 12;
        list->setColumnWidth(column, width);
        listWidth += width;
    }
    // The information pane as wide as its longest summary line, so nothing there scrolls either.
    QPlainTextEdit* info = ui_->infoText;
    const QMargins infoMargins =
        ui_->informationsBox->contentsMargins() + ui_->informationsBox->layout()->contentsMargins();
    int infoWidth = 0;
    for (const QString& line : info->toPlainText().split(QLatin1Char('\n'))) {
        infoWidth = std::max(infoWidth, info->fontMetrics().horizontalAdvance(line));
    }
    infoWidth = std::max(info->minimumWidth() + 20,
                         infoWidth + 2 * (info->frameWidth() + static_cast<int>(info->document()->documentMargin())) +
                             infoMargins.left() + infoMargins.right() + 12);
    const QMargins margins = layout()->contentsMargins();
    const int chrome = margins.left() + margins.right() + ui_->panels->handleWidth() + 60;
    int wanted = std::max(minimumWidth(), infoWidth + listWidth + chrome);
    if (const QScreen* screen = this->screen()) {
        wanted = std::min(wanted, screen->availableGeometry().width() - 40);
    }
    // Short of room, the information pane gives way first: it wraps nothing and scrolls.
    infoWidth = std::clamp(wanted - listWidth - chrome, info->minimumWidth() + 20, infoWidth);
    resize(wanted, height());
    // The sizes add up to the splitter's own width, so neither pane is scaled to fit.
    const int panelsWidth = wanted - margins.left() - margins.right() - ui_->panels->handleWidth();
    ui_->panels->setSizes({infoWidth, panelsWidth - infoWidth});
    // On a narrow screen the path gives way, shortened in its middle, never the columns after it.
    list->header()->setSectionResizeMode(kPathColumn, QHeaderView::Stretch);
}

PropertiesDialog::~PropertiesDialog() = default;

}  // namespace velmorant::ui
