#pragma once

#include <QObject>
#include <QString>

class QAudioOutput;
class QMediaPlayer;

namespace velmorant::ui {

// Plays a WAV file through the default audio output so a sample can be heard before it
// is built. The player is made on first use, and only where an audio output exists.
class SamplePreview : public QObject {
    Q_OBJECT

public:
    explicit SamplePreview(QObject* parent = nullptr);
    ~SamplePreview() override;

    // Starts playing the file (stopping what played before); returns the status text to show.
    QString play(const QString& path);
    void stop();

    static bool HasAudioOutput();

private:
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* output_ = nullptr;
};

}  // namespace velmorant::ui
