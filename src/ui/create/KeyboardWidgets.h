#pragma once

#include <QColor>
#include <QMimeData>
#include <QStringList>
#include <QWidget>

#include <vector>

#include "audio/RootKeys.h"
#include "create/DrumKit.h"
#include "create/SampleEntry.h"

namespace velmorant::ui {

// The multisample editor's keyboard: 128 keys at fixed pixel positions, each covered key
// coloured by how many zones reach it (black keys a darker shade, so they stay keys), the
// selected sample's zone in its own colour, the octave ruler, and below it the velocity x key
// map: one rectangle per zone, where overlapping zones are hatched.
class MultisampleKeyboardWidget : public QWidget {
    Q_OBJECT

public:
    explicit MultisampleKeyboardWidget(QWidget* parent = nullptr);

    // The entries are read at each paint; the owner calls update() after a change.
    void setEntries(const std::vector<create::SampleEntry>* entries);
    // The entry drawn as selected (-1 none).
    void setSelected(int index);
    QSize sizeHint() const override;

    static QColor CoverColour(int cover, bool black, bool selected = false);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintVelocityMap(QPainter& painter, const std::vector<create::SampleEntry>& entries);

    const std::vector<create::SampleEntry>* entries_ = nullptr;
    int selected_ = -1;
    audio::MiddleC middleC_;  // octave numbers on the ruler
};

// The drum editor's keyboard: 98 keys from F, the current one orange and used ones cream.
// It is drawn at the drum keyboard's own coordinates, moved up by kShiftUp pixels so the
// widget has no empty band above the keys.
class DrumKeyboardWidget : public QWidget {
    Q_OBJECT

public:
    static constexpr int kShiftUp = 66;

    explicit DrumKeyboardWidget(QWidget* parent = nullptr);

    void setKit(const create::DrumKit* kit);
    void setCurrentKey(int key);
    int currentKey() const { return currentKey_; }
    QSize sizeHint() const override;

    static QColor KeyColour(bool current, bool used, bool black);

Q_SIGNALS:
    void keyClicked(int key);
    // WAV files dropped onto a key.
    void filesDropped(int key, const QStringList& paths);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int keyAt(const QPoint& widgetPoint) const;

    const create::DrumKit* kit_ = nullptr;
    int currentKey_ = -1;
    audio::MiddleC middleC_;  // octave numbers on the ruler
    bool strict_;             // which dropped files are taken
};

// The local audio files among dropped or pasted data, in the order given: WAV files only when
// strict, also AIFF and FLAC files otherwise.
QStringList AudioFilesIn(const QMimeData* data, bool strict);

}  // namespace velmorant::ui
