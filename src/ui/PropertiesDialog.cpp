#include "ui/PropertiesDialog.h"

#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "ui/RecordText.h"
#include "ui_PropertiesDialog.h"
#include "volume/DependencyRows.h"
#include "volume/Summary.h"

namespace velmorant::ui {

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
    const int widths[] = {180, 60, 100, 450, 60, 80};
    for (int column = 0; column < 6; ++column) {
        list->setColumnWidth(column, widths[column]);
    }
    list->header()->setStretchLastSection(true);

    for (const volume::DependencyRow& row : volume::DependencyRows(record)) {
        auto* item = new QTreeWidgetItem(list);
        item->setIcon(0, KindIcon(row.kind));
        item->setText(0, FromRecordText(row.name));
        item->setText(1, QString::fromStdString(row.sizeKb));
        item->setText(2, FromRecordText(row.bank));
        item->setText(3, FromPathText(row.path));
        item->setText(4, QString::fromStdString(row.multiple));
        item->setText(5, QString::fromStdString(row.crc));
    }

    volume::BuildProgramSummary(record);
    ui_->infoText->setPlainText(FromRecordLines(record.summary));
}

PropertiesDialog::~PropertiesDialog() = default;

}  // namespace velmorant::ui
