#include "ui/create/KeyboardWidgets.h"

#include "ui/NoteNaming.h"
#include "ui/QtPlatform.h"
#include "ui/create/AudioInput.h"

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
const QColor kSelectedBlue(0x8C, 0xB8, 0xF0);
const QColor kSelectedFrame(0x1F, 0x5F, 0xC0);

// Black keys inside a zone keep the zone's hue but stay dark enough to read as black keys.
QColor BlackShade(const QColor& colour) { return colour.darker(250); }

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

MultisampleKeyboardWidget::MultisampleKeyboardWidget(QWidget* parent) : QWidget(parent), middleC_(MiddleCSetting()) {
    setObjectName(QStringLiteral("multisampleKeyboard"));
    setFixedSize(sizeHint());
}

void MultisampleKeyboardWidget::setEntries(const std::vector<create::SampleEntry>* entries) {
    entries_ = entries;
    update();
}

QSize MultisampleKeyboardWidget::sizeHint() const { return {714, 152}; }

void MultisampleKeyboardWidget::setSelected(int index) {
    if (selected_ != index) {
        selected_ = index;
        update();
    }
}

QColor MultisampleKeyboardWidget::CoverColour(int cover, bool black, bool selected) {
    QColor colour;
    switch (create::KeyPaintFor(cover)) {
        case create::KeyPaint::kUncovered:
            return black ? kBlack : kWhite;
        case create::KeyPaint::kCoveredOnce:
            colour = selected ? kSelectedBlue : kLightOrange;
            break;
        case create::KeyPaint::kOverlapped:
            colour = kRed;
            break;
    }
    return black ? BlackShade(colour) : colour;
}

namespace {

constexpr int kKeyboardLeft = 18;
constexpr int kKeyboardRight = 694;  // right edge of the last white key (G 9)
constexpr int kMapTop = 80;
constexpr int kMapBottom = 150;

// The horizontal extent of keys `from` to `to` on the drawn keyboard.
std::pair<int, int> KeySpan(const std::vector<create::KeyRect>& keys, int from, int to) {
    int left = kKeyboardRight;
    int right = kKeyboardLeft;
    for (const create::KeyRect& key : keys) {
        if (key.key >= from && key.key <= to) {
            left = std::min(left, key.left);
            right = std::max(right, key.right - 1);
        }
    }
    return {left, right};
}

int VelocityY(int velocity) {
    const int inside = kMapBottom - kMapTop - 3;
    return kMapBottom - 2 - (std::clamp(velocity, 0, 127) * inside + 63) / 127;
}

QRect ZoneRect(const std::vector<create::KeyRect>& keys, const create::SampleEntry& entry) {
    const auto [left, right] = KeySpan(keys, entry.leftKey, entry.rightKey);
    return QRect(QPoint(left, VelocityY(entry.velocityHigh)), QPoint(right, VelocityY(entry.velocityLow)));
}

}  // namespace

void MultisampleKeyboardWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    static const std::vector<create::SampleEntry> kNoEntries;
    const auto& entries = entries_ != nullptr ? *entries_ : kNoEntries;
    const create::SampleEntry* selected =
        selected_ >= 0 && static_cast<std::size_t>(selected_) < entries.size() ? &entries[static_cast<std::size_t>(selected_)]
                                                                               : nullptr;
    for (const create::KeyRect& key : create::MultisampleKeyboard()) {
        const bool inSelected = selected != nullptr && selected->leftKey <= key.key && key.key <= selected->rightKey;
        OutlinedRect(painter, key.left, key.top, key.right, key.bottom,
                     CoverColour(create::KeyCover(entries, key.key), key.black, inSelected));
    }
    // The ruler: a tick at every C, the octave number between ticks, up to the last key.
    painter.setFont(RulerFont());
    OutlinedRect(painter, kKeyboardLeft, 62, kKeyboardRight, 74, kWhite);
    int previous = kKeyboardLeft;
    for (int j = 0; j <= 10; ++j) {
        const int x = std::min(81 + 63 * j, kKeyboardRight);
        if (x < kKeyboardRight) {
            OutlinedRect(painter, x, 62, x + 1, 74, kBlack);
        }
        RulerLabel(painter, previous, x, 62, QString::number(audio::OctaveNumber(12 * j, middleC_)));
        previous = x;
    }
    paintVelocityMap(painter, entries);
}

void MultisampleKeyboardWidget::paintVelocityMap(QPainter& painter, const std::vector<create::SampleEntry>& entries) {
    OutlinedRect(painter, kKeyboardLeft, kMapTop, kKeyboardRight, kMapBottom, kWhite);
    const std::vector<create::KeyRect> keys = create::MultisampleKeyboard();
    std::vector<QRect> zones;
    zones.reserve(entries.size());
    for (const create::SampleEntry& entry : entries) {
        zones.push_back(ZoneRect(keys, entry));
    }
    painter.setPen(QColor(0xB0, 0x80, 0x30));
    painter.setBrush(kLightOrange);
    for (const QRect& zone : zones) {
        painter.drawRect(zone);
    }
    // Where two zones answer the same key and velocity, the instrument plays both.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(kRed, Qt::BDiagPattern));
    // Compared by keys and velocities, not pixels: neighbouring zones share an outline.
    for (std::size_t a = 0; a < entries.size(); ++a) {
        for (std::size_t b = a + 1; b < entries.size(); ++b) {
            create::SampleEntry both = entries[a];
            both.leftKey = std::max(entries[a].leftKey, entries[b].leftKey);
            both.rightKey = std::min(entries[a].rightKey, entries[b].rightKey);
            both.velocityLow = std::max(entries[a].velocityLow, entries[b].velocityLow);
            both.velocityHigh = std::min(entries[a].velocityHigh, entries[b].velocityHigh);
            if (both.leftKey <= both.rightKey && both.velocityLow <= both.velocityHigh) {
                const QRect area = ZoneRect(keys, both);
                painter.fillRect(area, QColor(255, 200, 200));
                painter.drawRect(area);
            }
        }
    }
    if (selected_ >= 0 && static_cast<std::size_t>(selected_) < zones.size()) {
        painter.setPen(QPen(kSelectedFrame, 2));
        painter.setBrush(QColor(kSelectedBlue.red(), kSelectedBlue.green(), kSelectedBlue.blue(), 160));
        painter.drawRect(zones[static_cast<std::size_t>(selected_)]);
    }
    painter.setPen(QColor(90, 90, 90));
    painter.setFont(RulerFont());
    painter.drawText(QRect(kKeyboardRight + 2, kMapTop, 20, 12), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("127"));
    painter.drawText(QRect(kKeyboardRight + 2, kMapBottom - 12, 20, 12), Qt::AlignLeft | Qt::AlignBottom,
                     QStringLiteral("0"));
    painter.save();
    painter.translate(10, kMapBottom - 6);
    painter.rotate(-90);
    painter.drawText(QRect(0, -8, kMapBottom - kMapTop - 12, 12), Qt::AlignCenter, QStringLiteral("Velocity"));
    painter.restore();
}

DrumKeyboardWidget::DrumKeyboardWidget(QWidget* parent)
    : QWidget(parent), middleC_(MiddleCSetting()), strict_(EditorAudioIn(middleC_).strict) {
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
        return black ? kCurrentOrange.darker(160) : kCurrentOrange;
    }
    if (used) {
        return black ? BlackShade(kCream) : kCream;
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
    // A tick at the left edge of every C (white keys 4, 11, 18, ...) with the octave between
    // ticks; the last octave ends with the keyboard, not with a tick of its own.
    painter.setFont(RulerFont());
    const int bandTop = kTop + kWhiteHeight;
    const int right = kLeft + 57 * kWhiteWidth;
    int previous = kLeft;
    for (int i = 0; i < 9; ++i) {
        const int x = std::min(kLeft + kWhiteWidth * (4 + 7 * i), right);
        if (x < right) {
            painter.fillRect(QRect(x, bandTop, 1, kBand), kBlack);
        }
        // Key index 0 is note 5, so segment i holds notes of octave 12 * i.
        RulerLabel(painter, previous, x, bandTop, QString::number(audio::OctaveNumber(12 * i, middleC_)));
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
    if (!AudioFilesIn(event->mimeData(), strict_).isEmpty()) {
        event->acceptProposedAction();
    }
}

void DrumKeyboardWidget::dragMoveEvent(QDragMoveEvent* event) {
    if (keyAt(event->position().toPoint()) >= 0 && !AudioFilesIn(event->mimeData(), strict_).isEmpty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void DrumKeyboardWidget::dropEvent(QDropEvent* event) {
    const int key = keyAt(event->position().toPoint());
    const QStringList files = AudioFilesIn(event->mimeData(), strict_);
    if (key < 0 || files.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    Q_EMIT filesDropped(key, files);
}

QStringList AudioFilesIn(const QMimeData* data, bool strict) {
    static const QStringList kAll = {QStringLiteral("wav"), QStringLiteral("aif"), QStringLiteral("aiff"),
                                     QStringLiteral("flac")};
    const QStringList taken = strict ? QStringList{QStringLiteral("wav")} : kAll;
    QStringList files;
    if (data == nullptr || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        const QString path = QtPlatform::PathOfUrl(url);
        if (url.isLocalFile() && taken.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive)) {
            files.push_back(path);
        }
    }
    return files;
}

}  // namespace velmorant::ui
