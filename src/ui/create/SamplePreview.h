#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QAudioOutput;
class QAudioSink;
class QBuffer;
class QMediaPlayer;

namespace velmorant::ui {

// Plays an audio file through the default audio output so a sample can be heard before it is
// built. The library reads the file (WAV, AIFF, FLAC alike, whatever Qt's own decoders know) and
// converts it as the build will, so what is heard is what the instrument gets. Qt's player is
// left only to a build without the audio library. Outputs are made on first use.
class SamplePreview : public QObject {
    Q_OBJECT

public:
    explicit SamplePreview(QObject* parent = nullptr);
    ~SamplePreview() override;

    static constexpr int kMaxSeconds = 30;

    // The sound a preview plays: interleaved 16-bit 44.1 kHz samples in the machine's byte order.
    struct Sound {
        QByteArray samples;
        int channels = 0;
        bool cut = false;  // only the first kMaxSeconds are kept
        QString error;     // why the file cannot be played; empty when it can
    };
    static Sound Decode(const QString& path);

    // Starts playing the file (stopping what played before); returns the status text to show.
    QString play(const QString& path);
    void stop();

    static bool HasAudioOutput();

Q_SIGNALS:
    // Playing failed after play() had returned.
    void failed(const QString& text);

private:
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* output_ = nullptr;
    QAudioSink* sink_ = nullptr;
    QBuffer* buffer_ = nullptr;
};

}  // namespace velmorant::ui
