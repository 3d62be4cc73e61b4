#include "ui/create/SamplePreview.h"

#include "core/File.h"
#include "ui/QtPlatform.h"

#include <QFileInfo>
#include <QUrl>

#ifdef VELMORANT_HAVE_MULTIMEDIA
#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#endif

namespace velmorant::ui {

SamplePreview::SamplePreview(QObject* parent) : QObject(parent) {}

SamplePreview::~SamplePreview() { stop(); }

bool SamplePreview::HasAudioOutput() {
#ifdef VELMORANT_HAVE_MULTIMEDIA
    return !QMediaDevices::audioOutputs().isEmpty();
#else
    return false;
#endif
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
    if (player_ == nullptr) {
        player_ = new QMediaPlayer(this);
        output_ = new QAudioOutput(QMediaDevices::defaultAudioOutput(), this);
        player_->setAudioOutput(output_);
    }
    player_->stop();
    player_->setSource(QtPlatform::UrlOfPath(QtPlatform::ToNativePath(path)));
    player_->play();
    return tr("Playing %1").arg(name);
#else
    return tr("No audio output: %1 is not played.").arg(name);
#endif
}

void SamplePreview::stop() {
#ifdef VELMORANT_HAVE_MULTIMEDIA
    if (player_ != nullptr) {
        player_->stop();
    }
#endif
}

}  // namespace velmorant::ui
