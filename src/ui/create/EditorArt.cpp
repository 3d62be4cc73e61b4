#include "ui/create/EditorArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace velmorant::ui {

namespace {

QPixmap Canvas() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

}  // namespace

QIcon LockIcon(bool locked) {
    QPixmap pixmap = Canvas();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(70, 70, 70), 1.6));
    painter.setBrush(Qt::NoBrush);
    // The shackle: closed over the body when locked, swung open to the right otherwise.
    painter.drawArc(QRectF(locked ? 4.5 : 8.5, 1.5, 7, 9), 0, 180 * 16);
    painter.drawLine(QPointF(locked ? 4.5 : 8.5, 6), QPointF(locked ? 4.5 : 8.5, 8));
    painter.drawLine(QPointF(locked ? 11.5 : 15.5, 6), QPointF(locked ? 11.5 : 15.5, locked ? 8 : 6));
    painter.setPen(Qt::NoPen);
    painter.setBrush(locked ? QColor(200, 140, 20) : QColor(150, 150, 150));
    painter.drawRoundedRect(QRectF(2.5, 7.5, 11, 8), 1.5, 1.5);
    return QIcon(pixmap);
}

QIcon KeyStateIcon(int state) {
    QPixmap pixmap = Canvas();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 60, 60), 1));
    switch (state) {
        case 1:
            painter.setBrush(QColor(60, 170, 60));
            painter.drawEllipse(QRectF(2.5, 2.5, 11, 11));
            break;
        case 2:
            painter.setBrush(QColor(70, 120, 220));
            painter.drawRect(QRectF(2.5, 4.5, 7, 7));
            painter.drawRect(QRectF(6.5, 1.5, 7, 7));
            break;
        default:
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(QColor(170, 170, 170), 1));
            painter.drawEllipse(QRectF(3.5, 3.5, 9, 9));
            break;
    }
    return QIcon(pixmap);
}

QIcon AutoMapIcon() {
    QPixmap pixmap = Canvas();
    QPainter painter(&pixmap);
    // Three zones side by side over a strip of keys.
    const std::array<QColor, 3> colours{QColor(255, 200, 120), QColor(255, 231, 172), QColor(255, 170, 90)};
    for (int i = 0; i < 3; ++i) {
        painter.fillRect(QRect(1 + 5 * i, 2, 4, 6), colours[static_cast<std::size_t>(i)]);
    }
    painter.setPen(QColor(40, 40, 40));
    painter.drawRect(0, 9, 15, 6);
    for (int x = 3; x < 15; x += 3) {
        painter.drawLine(x, 9, x, 15);
    }
    return QIcon(pixmap);
}

QIcon PlayIcon() {
    QPixmap pixmap = Canvas();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 120, 40));
    QPainterPath triangle;
    triangle.moveTo(4, 2);
    triangle.lineTo(14, 8);
    triangle.lineTo(4, 14);
    triangle.closeSubpath();
    painter.drawPath(triangle);
    return QIcon(pixmap);
}

}  // namespace velmorant::ui
