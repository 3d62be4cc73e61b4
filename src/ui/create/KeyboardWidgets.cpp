#include "ui/create/KeyboardWidgets.h"

#include "ui/QtPlatform.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include <algorithm>

#include "create/DrumEditor.h"
#include "create/MultisampleEditor.h"

namespace velmorant::ui {

namespace {

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kLightOrange(255, 231, 172);
const QColor kRed(255, 0, 0);
const QColor kCurrentOrange(0xFD, 0xC4, 0x3A);
const QColor kCream(0xFF, 0xE7, 0xAC);

// A rectangle as the keyboards give them (right and bottom exclusive), outlined in black
// one pixel inside its bounds so neighbouring keys share their outline.
void OutlinedRect(QPainter& painter, int left, int top, int right, int bottom, const QColor& fill) {
    painter.setPen(kBlack);
    painter.setBrush(fill);
    painter.drawRect(left, top, std::max(right - left - 1, 0), std::max(bottom - top - 1, 0));
}

QFont RulerFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(10);
    return font;
}

// A label centred between two x positions, as wide as 7 pixels a character.
void RulerLabel(QPainter& painter, int from, int to, int top, const QString& text) {
    const int left = from + (to - from - 7 * static_cast<int>(text.size())) / 2;
    painter.setPen(kBlack);
    painter.drawText(QRect(left, top, 7 * static_cast<int>(text.size()) + 8, 12), Qt::AlignLeft | Qt::AlignTop,
                     text);
}

}  // namespace

MultisampleKeyboardWidget::MultisampleKeyboardWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("multisampleKeyboard"));
    setFixedSize(sizeHint());
}

void MultisampleKeyboardWidget::setEntries(const std::vector<create::SampleEntry>* entries) {
    entries_ = entries;
    update();
}

QSize MultisampleKeyboardWidget::sizeHint() const { return {714, 152}; }

QColor MultisampleKeyboardWidget::CoverColour(int cover, bool black) {
    switch (create::KeyPaintFor(cover)) {
        case create::KeyPaint::kUncovered:
            return black ? kBlack : kWhite;
        case create::KeyPaint::kCoveredOnce:
            return kLightOrange;
        case create::KeyPaint::kOverlapped:
            break;
    }
    return kRed;
}

void MultisampleKeyboardWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    static const std::vector<create::SampleEntry> kNoEntries;
    const auto& entries = entries_ != nullptr ? *entries_ : kNoEntries;
    for (const create::KeyRect& key : create::MultisampleKeyboard()) {
        OutlinedRect(painter, key.left, key.top, key.right, key.bottom,
                     CoverColour(create::KeyCover(entries, key.key), key.black));
    }
    painter.setFont(RulerFont());
    int previous = 18;
    for (int j = 0; j <= 10; ++j) {
        const int x = 81 + 63 * j;
        OutlinedRect(painter, x, 62, x + 1, 74, kBlack);
        OutlinedRect(painter, x - 63, 62, std::min(x, 694), 74, kWhite);
        RulerLabel(painter, previous, x, 62, QString::number(j - 1));
        previous = x;
    }
    OutlinedRect(painter, 18, 80, 693, 150, kWhite);
}

DrumKeyboardWidget::DrumKeyboardWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("drumKeyboard"));
    setAcceptDrops(true);
    setFixedSize(sizeHint());
}

void DrumKeyboardWidget::setKit(const create::DrumKit* kit) {
    kit_ = kit;
    update();
}

void DrumKeyboardWidget::setCurrentKey(int key) {
    currentKey_ = key;
    update();
}

QSize DrumKeyboardWidget::sizeHint() const { return {682, 136 - kShiftUp}; }

QColor DrumKeyboardWidget::KeyColour(bool current, bool used, bool black) {
    if (current) {
        return kCurrentOrange;
    }
    if (used) {
        return kCream;
    }
    return black ? kBlack : kWhite;
}

void DrumKeyboardWidget::paintEvent(QPaintEvent*) {
    constexpr int kLeft = 18;
    constexpr int kTop = 76;
    constexpr int kWhiteWidth = 11;
    constexpr int kWhiteHeight = 46;
    constexpr int kBand = 12;
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.translate(0, -kShiftUp);
    painter.fillRect(QRect(QPoint(kLeft, kTop), QPoint(kLeft + 57 * kWhiteWidth, kTop + kWhiteHeight + kBand)),
                     kWhite);
    for (const create::DrumKeyRect& key : create::DrumKeyboard()) {
        const bool used = kit_ != nullptr && kit_->keys[static_cast<std::size_t>(key.key)].state > create::kKeyNotInUse;
        OutlinedRect(painter, key.left, key.top, key.right, key.bottom,
                     KeyColour(key.key == currentKey_, used, key.black));
    }
    // A tick at the left edge of every C (white keys 4, 11, 18, ...) with the octave between ticks.
    painter.setFont(RulerFont());
    const int bandTop = kTop + kWhiteHeight;
    int previous = kLeft;
    for (int i = 0; i < 9; ++i) {
        const int x = kLeft + kWhiteWidth * (4 + 7 * i);
        painter.fillRect(QRect(x, bandTop, 1, kBand), kBlack);
        RulerLabel(painter, previous, x, bandTop, QString::number(i - 2));
        previous = x;
    }
}

int DrumKeyboardWidget::keyAt(const QPoint& widgetPoint) const {
    return create::DrumKeyAt(widgetPoint.x(), widgetPoint.y() + kShiftUp);
}

void DrumKeyboardWidget::mousePressEvent(QMouseEvent* event) {
    const int key = keyAt(event->position().toPoint());
    if (key >= 0) {
        Q_EMIT keyClicked(key);
    }
}

void DrumKeyboardWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (!WaveFilesIn(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void DrumKeyboardWidget::dragMoveEvent(QDragMoveEvent* event) {
    if (keyAt(event->position().toPoint()) >= 0 && !WaveFilesIn(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void DrumKeyboardWidget::dropEvent(QDropEvent* event) {
    const int key = keyAt(event->position().toPoint());
    const QStringList files = WaveFilesIn(event->mimeData());
    if (key < 0 || files.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    Q_EMIT filesDropped(key, files);
}

QStringList WaveFilesIn(const QMimeData* data) {
    QStringList files;
    if (data == nullptr || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        const QString path = QtPlatform::PathOfUrl(url);
        if (url.isLocalFile() && QFileInfo(path).suffix().compare(QLatin1String("wav"), Qt::CaseInsensitive) == 0) {
            files.push_back(path);
        }
    }
    return files;
}

}  // namespace velmorant::ui
