#include "ui/SlotListWidget.h"

#include "ui/QtPlatform.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

namespace velmorant::ui {

const char* const SlotListWidget::kSlotMimeType = "application/x-velmorant-slot";

SlotListWidget::SlotListWidget(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::MultiSelection);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
    setUniformItemSizes(true);
}

int SlotListWidget::rowAt(const QPoint& pos) const {
    const QModelIndex index = indexAt(pos);
    return index.isValid() ? index.row() : -1;
}

// Selection changes on release, not on press, so that pressing an item to drag it
// leaves the selection as it was.
void SlotListWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pressedRow_ = rowAt(event->position().toPoint());
    pressPos_ = event->position().toPoint();
    dragging_ = false;
    setFocus(Qt::MouseFocusReason);
}

void SlotListWidget::mouseMoveEvent(QMouseEvent* event) {
    if (pressedRow_ < 0 || dragging_ || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    if ((event->position().toPoint() - pressPos_).manhattanLength() < QApplication::startDragDistance()) {
        return;
    }
    dragging_ = true;
    auto* mime = new QMimeData;
    mime->setData(kSlotMimeType, QByteArray::number(slotOfRow(pressedRow_)));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
    pressedRow_ = -1;
}

void SlotListWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const int row = rowAt(event->position().toPoint());
    if (!dragging_ && row >= 0 && row == pressedRow_) {
        QListWidgetItem* it = item(row);
        setCurrentItem(it, QItemSelectionModel::NoUpdate);
        it->setSelected(!it->isSelected());
    }
    pressedRow_ = -1;
    dragging_ = false;
}

void SlotListWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click is two clicks: the second toggles the item back like any click.
    mousePressEvent(event);
}

bool SlotListWidget::acceptable(const QMimeData* mime) {
    if (mime->hasFormat(kSlotMimeType)) {
        return true;
    }
    if (!mime->hasUrls()) {
        return false;
    }
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile()) {
            return false;
        }
    }
    return true;
}

void SlotListWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (acceptable(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void SlotListWidget::dragMoveEvent(QDragMoveEvent* event) {
    if (acceptable(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void SlotListWidget::dropEvent(QDropEvent* event) {
    const QMimeData* mime = event->mimeData();
    if (!acceptable(mime)) {
        event->ignore();
        return;
    }
    int row = rowAt(event->position().toPoint());
    if (row < 0) {
        row = 0;
    }
    event->acceptProposedAction();
    if (mime->hasFormat(kSlotMimeType)) {
        bool ok = false;
        const int from = mime->data(kSlotMimeType).toInt(&ok);
        if (ok && from >= 0 && from < bank::kSlotCount) {
            Q_EMIT slotDropped(from, slotOfRow(row));
        }
        return;
    }
    QStringList paths;
    for (const QUrl& url : mime->urls()) {
        paths << QtPlatform::PathOfUrl(url);
    }
    Q_EMIT filesDropped(paths, slotOfRow(row));
}

}  // namespace velmorant::ui
