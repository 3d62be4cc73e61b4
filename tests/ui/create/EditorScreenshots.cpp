// Not a test: fills both instrument editors with a few samples and keys and saves
// pictures of them, for a person to look at (run it under a virtual display).
// Usage: velmorant_editor_screenshots OUTPUT_DIR
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>

#include "platform/ScriptedPlatform.h"
#include "support/CreateFixtures.h"
#include "support/TempDir.h"
#include "ui/create/CreateDrumProgramDialog.h"
#include "ui/create/CreateMultisampleDialog.h"

using namespace velmorant;

namespace {

std::string Wave(const testing::TempDir& dir, const std::string& name, int frames, std::optional<std::uint32_t> root) {
    testing::WaveLayout layout;
    layout.payload = testing::TonePayload(frames, 220.0);
    layout.unityNote = root;
    return testing::WriteWave(dir({name}), layout);
}

void Save(QWidget& widget, const QString& path) {
    widget.show();
    widget.raise();
    QTest::qWait(300);
    widget.grab().save(path);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(out);
    testing::TempDir dir;

    platform::ScriptedPlatform platform;
    platform.AnswerOpenFiles({Wave(dir, "Piano C2.wav", 30000, 36), Wave(dir, "Piano C3.wav", 20000, 48),
                              Wave(dir, "Piano C4.wav", 12000, 60), Wave(dir, "Piano C5.wav", 8000, 72)});
    ui::CreateMultisampleDialog multisample(platform);
    multisample.AddSamples();
    platform.AnswerConfirm(true);
    multisample.autoMap();
    // A second sample on C4 overlaps the mapped zones there: that key shows red.
    platform.AnswerOpenFiles({Wave(dir, "Piano C4 soft.wav", 9000, 60)});
    multisample.AddSamples();
    multisample.FillSampleList(2);
    Save(multisample, out + QStringLiteral("/editor-multisample.png"));

    ui::CreateDrumProgramDialog drums(platform);
    drums.addLayerFiles(31, {QString::fromStdString(Wave(dir, "Kick soft.wav", 4000, std::nullopt)),
                             QString::fromStdString(Wave(dir, "Kick hard.wav", 4000, std::nullopt))});
    drums.addLayerFiles(33, {QString::fromStdString(Wave(dir, "Snare.wav", 6000, std::nullopt))});
    drums.addLayerFiles(37, {QString::fromStdString(Wave(dir, "Hat.wav", 2000, std::nullopt))});
    drums.addLayerFiles(62, {QString::fromStdString(Wave(dir, "Agogo.wav", 2000, std::nullopt))});
    drums.selectKey(31);
    drums.selectLayer(1);
    Save(drums, out + QStringLiteral("/editor-drums.png"));
    return 0;
}
