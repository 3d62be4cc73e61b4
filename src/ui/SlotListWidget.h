#pragma once

#include <QListWidget>
#include <QPoint>
#include <QStringList>

#include "bank/Bank.h"

namespace velmorant::ui {

// The list of one group's eight slots. A click toggles the item under the pointer
// (the window then keeps one slot selected over all lists); dragging a slot onto
// another switches them; dropping files from a file manager imports them there.
class SlotListWidget : public QListWidget {
    Q_OBJECT

public:
    explicit SlotListWidget(QWidget* parent = nullptr);

    void setGroup(int group) { group_ = group; }
    int group() const { return group_; }
    // The slot of a row of this list.
    int slotOfRow(int row) const { return group_ * bank::kSlotsPerGroup + row; }

    static const char* const kSlotMimeType;

Q_SIGNALS:
    void slotDropped(int fromSlot, int toSlot);
    void filesDropped(const QStringList& paths, int toSlot);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int rowAt(const QPoint& pos) const;
    static bool acceptable(const QMimeData* mime);

    int group_ = 0;
    int pressedRow_ = -1;
    QPoint pressPos_;
    bool dragging_ = false;
};

}  // namespace velmorant::ui
