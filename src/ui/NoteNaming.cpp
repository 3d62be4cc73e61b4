#include "ui/NoteNaming.h"

#include <QSettings>

namespace velmorant::ui {
namespace {

const QString kKey = QStringLiteral("noteNames/middleC");
const QString kStrictKey = QStringLiteral("audio/strict");

}  // namespace

audio::MiddleC MiddleCSetting() {
    const QByteArray stored = QSettings().value(kKey).toString().toLatin1();
    return audio::ParseMiddleC(std::string_view(stored.constData(), static_cast<std::size_t>(stored.size())))
        .value_or(audio::kDefaultMiddleC);
}

void SetMiddleCSetting(audio::MiddleC middleC) {
    QSettings().setValue(kKey, middleC == audio::MiddleC::kC3 ? QStringLiteral("C3") : QStringLiteral("C4"));
}

bool StrictAudioSetting() { return QSettings().value(kStrictKey, false).toBool(); }

void SetStrictAudioSetting(bool strict) { QSettings().setValue(kStrictKey, strict); }

}  // namespace velmorant::ui
