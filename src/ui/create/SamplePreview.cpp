#include "ui/create/SamplePreview.h"

#include <QBuffer>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <span>

#include "audio/AudioFile.h"
#include "audio/Conversion.h"
#include "core/File.h"
#include "ui/QtPlatform.h"

#ifdef VELMORANT_HAVE_MULTIMEDIA
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioOutput>
#include <QAudioSink>
#include <QMediaDevices>
#include <QMediaPlayer>
#endif

namespace velmorant::ui {

namespace {

// Keeps the converted sound up to a limit, then refuses more, which stops the conversion.
class LimitedSink final : public audio::PcmSink {
public:
    LimitedSink(QByteArray& out, qsizetype limit) : out_(out), limit_(limit) {}
    bool full() const { return full_; }

    bool Write(std::span<const std::int16_t> samples) override {
        const auto bytes = static_cast<qsizetype>(samples.size_bytes());
        const qsizetype room = limit_ - out_.size();
        out_.append(reinterpret_cast<const char*>(samples.data()), std::min(bytes, room));
        full_ = bytes > room;
        return !full_;
    }

private:
    QByteArray& out_;
    qsizetype limit_;
    bool full_ = false;
};

}  // namespace

SamplePreview::SamplePreview(QObject* parent) : QObject(parent) {}

SamplePreview::~SamplePreview() { stop(); }

bool SamplePreview::HasAudioOutput() {
#ifdef VELMORANT_HAVE_MULTIMEDIA
    return !QMediaDevices::audioOutputs().isEmpty();
#else
    return false;
#endif
}

SamplePreview::Sound SamplePreview::Decode(const QString& path) {
    Sound sound;
    auto opened = audio::AudioReader::Open(QtPlatform::ToNativePath(path));
    if (!opened.reader) {
        sound.error = QString::fromStdString(opened.error);
        return sound;
    }
    audio::ConversionOptions options;
    options.downmixToStereo = true;  // heard through two speakers at most anyway
    const audio::ConversionPlan plan = audio::PlanConversion(opened.reader->info(), options);
    sound.channels = plan.outChannels;
    const qsizetype limit = qsizetype{kMaxSeconds} * audio::kTargetRate * plan.outChannels * 2;
    LimitedSink sink(sound.samples, limit);
    const audio::ConversionResult result = audio::Convert(*opened.reader, plan, sink);
    sound.cut = sink.full();
    if (!result.error.empty() && !sound.cut) {
        sound.error = QString::fromStdString(result.error);
    }
    return sound;
}

QString SamplePreview::play(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    if (!core::FileExists(QtPlatform::ToNativePath(path))) {
        return tr("%1 cannot be found.").arg(name);
    }
    if (!HasAudioOutput()) {
        return tr("No audio output: %1 is not played.").arg(name);
    }
#ifdef VELMORANT_HAVE_MULTIMEDIA
    stop();
    if (!audio::HaveDecoder()) {
        if (player_ == nullptr) {
            player_ = new QMediaPlayer(this);
            output_ = new QAudioOutput(QMediaDevices::defaultAudioOutput(), this);
            player_->setAudioOutput(output_);
            connect(player_, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error, const QString& why) {
                Q_EMIT failed(tr("%1 cannot be played: %2").arg(player_->source().fileName(), why));
            });
        }
        player_->setSource(QtPlatform::UrlOfPath(QtPlatform::ToNativePath(path)));
        player_->play();
        return tr("Playing %1").arg(name);
    }
    const Sound sound = Decode(path);
    if (!sound.error.isEmpty()) {
        return tr("%1 cannot be played: %2").arg(name, sound.error);
    }
    QAudioFormat format;
    format.setSampleRate(audio::kTargetRate);
    format.setChannelCount(sound.channels);
    format.setSampleFormat(QAudioFormat::Int16);
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (!device.isFormatSupported(format)) {
        return tr("The audio output cannot play 16-bit 44100 Hz sound: %1 is not played.").arg(name);
    }
    buffer_ = new QBuffer(this);
    buffer_->setData(sound.samples);
    buffer_->open(QIODevice::ReadOnly);
    sink_ = new QAudioSink(device, format, this);
    // An output that fails once playing (unplugged, taken by another program) says so.
    connect(sink_, &QAudioSink::stateChanged, this, [this, name](QAudio::State state) {
        const QAudio::Error error = sink_ != nullptr ? sink_->error() : QAudio::NoError;
        if (state == QAudio::StoppedState && (error == QAudio::IOError || error == QAudio::FatalError)) {
            Q_EMIT failed(tr("The audio output stopped while playing %1.").arg(name));
        }
    });
    sink_->start(buffer_);
    if (sink_->error() != QAudio::NoError) {
        return tr("The audio output refused %1.").arg(name);
    }
    return sound.cut ? tr("Playing the first %1 s of %2").arg(kMaxSeconds).arg(name) : tr("Playing %1").arg(name);
#else
    return tr("No audio output: %1 is not played.").arg(name);
#endif
}

void SamplePreview::stop() {
#ifdef VELMORANT_HAVE_MULTIMEDIA
    if (player_ != nullptr) {
        player_->stop();
    }
    if (sink_ != nullptr) {
        sink_->disconnect(this);  // stopped on purpose: nothing to report
        sink_->stop();
        delete sink_;
        sink_ = nullptr;
    }
#endif
    delete buffer_;
    buffer_ = nullptr;
}

}  // namespace velmorant::ui
