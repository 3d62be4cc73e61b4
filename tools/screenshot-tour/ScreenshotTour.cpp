// Opens the main window on a volume, imports its banks and saves a picture of the
// main window, of each dialog and of both instrument editors filled with a few samples,
// as the screen shows them.
// Usage: velmorant_screenshot_tour VOLUME_DIR OUTPUT_DIR

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <cstdio>

#include <sndfile.h>

#include "bank/ImportJobs.h"
#include "doctor/VolumeCheck.h"
#include "platform/ScriptedPlatform.h"
#include "support/AudioFixtures.h"
#include "support/CreateFixtures.h"
#include "support/TempDir.h"
#include "ui/AboutDialog.h"
#include "ui/CheckVolumeDialog.h"
#include "ui/ExportDialog.h"
#include "ui/LogDialog.h"
#include "ui/PropertiesDialog.h"
#include "ui/RenameDialog.h"
#include "ui/MainWindow.h"
#include "ui/ProgressDialog.h"
#include "ui/SlotListWidget.h"
#include "ui/create/CreateDrumProgramDialog.h"
#include "ui/create/CreateMultisampleDialog.h"

using namespace velmorant;

namespace {

QString gOutput;

// A left click on a row, as a person does it.
void ClickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(row)).center());
}

void Settle() {
    for (int k = 0; k < 10; ++k) {
        QApplication::processEvents();
        QTest::qWait(30);
    }
}

// A picture of what the screen shows where the window is, frame included.
void Shoot(QWidget* window, const QString& name) {
    Settle();
    QRect area = window->frameGeometry();
    QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    if (picture.isNull()) {
        picture = window->grab();
    }
    const QString path = QDir(gOutput).filePath(name + QStringLiteral(".png"));
    picture.save(path);
    std::printf("%s\n", qPrintable(path));
}

template <typename Dialog>
void ShootDialog(Dialog& dialog, const QString& name) {
    dialog.show();
    dialog.raise();
    Shoot(&dialog, name);
    dialog.hide();
}

// A tone that dies away over its length, as a played note does, looped over its second half
// so the editors' waveforms show a loop.
std::string Wave(const testing::TempDir& dir, const std::string& name, int frames, std::optional<std::uint32_t> root,
                 double hertz = 220.0) {
    testing::WaveLayout layout;
    layout.payload = testing::TonePayload(frames, hertz);
    for (int i = 0; i < frames; ++i) {
        auto* sample = &layout.payload[static_cast<std::size_t>(i) * 2];
        const auto value = static_cast<std::int16_t>(sample[0] | (sample[1] << 8));
        const auto faded = static_cast<std::int16_t>(value * (1.0 - 0.8 * i / frames) * 3);
        sample[0] = static_cast<std::uint8_t>(faded & 0xFF);
        sample[1] = static_cast<std::uint8_t>((faded >> 8) & 0xFF);
    }
    layout.unityNote = root;
    if (root) {
        layout.loops = 1;
        layout.loopStart = static_cast<std::uint32_t>(frames / 2);
        layout.loopEnd = static_cast<std::uint32_t>(frames - 1);
    }
    return testing::WriteWave(dir({name}), layout);
}

// A 24-bit 48 kHz recording, as most material comes, so the editors show a conversion.
std::string DeepWave(const testing::TempDir& dir, const std::string& name, int frames, std::optional<std::uint32_t> root,
                     double hertz) {
    const std::string path = dir({name});
    testing::WriteSound(path, {SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 1, static_cast<std::size_t>(frames),
                               [=](std::size_t i, int) {
                                   return 0.6 * std::sin(2 * M_PI * hertz * static_cast<double>(i) / 48000.0) *
                                          (1.0 - 0.8 * static_cast<double>(i) / frames);
                               }});
    if (root) {
        const auto half = static_cast<std::uint32_t>(frames / 2);
        testing::AppendChunk(path, "smpl", testing::SamplerBody(*root, 0, std::pair{half, static_cast<std::uint32_t>(frames - 1)}));
    }
    return path;
}

void ShootEditors(QWidget* owner) {
    testing::TempDir dir;
    platform::ScriptedPlatform platform;
    platform.AnswerOpenFiles({Wave(dir, "Piano C2.wav", 30000, 36, 65.4), Wave(dir, "Piano C3.wav", 20000, 48, 130.8),
                              Wave(dir, "Piano C4.wav", 12000, 60, 261.6), Wave(dir, "Piano C5.wav", 8000, 72, 523.3)});
    velmorant::ui::CreateMultisampleDialog multisample(platform, owner);
    multisample.move(40, 40);
    multisample.AddSamples();
    platform.AnswerConfirm(true);
    multisample.autoMap();
    // A second sample on C4 overlaps the mapped zones there: that key shows red.
    platform.AnswerOpenFiles({DeepWave(dir, "Piano C4 soft.wav", 9800, 60, 261.6)});
    multisample.AddSamples();
    multisample.FillSampleList(2);
    ShootDialog(multisample, QStringLiteral("20-editor-multisample"));

    velmorant::ui::CreateDrumProgramDialog drums(platform, owner);
    drums.move(40, 40);
    drums.addLayerFiles(31, {QString::fromStdString(Wave(dir, "Kick soft.wav", 4000, std::nullopt, 60.0)),
                             QString::fromStdString(DeepWave(dir, "Kick hard.wav", 4400, std::nullopt, 60.0))});
    drums.addLayerFiles(33, {QString::fromStdString(Wave(dir, "Snare.wav", 6000, std::nullopt, 180.0))});
    drums.addLayerFiles(37, {QString::fromStdString(Wave(dir, "Hat.wav", 2000, std::nullopt, 900.0))});
    drums.addLayerFiles(97, {QString::fromStdString(Wave(dir, "Agogo.wav", 2000, std::nullopt, 700.0))});
    drums.selectKey(31);
    drums.selectLayer(1);
    ShootDialog(drums, QStringLiteral("21-editor-drums"));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: velmorant_screenshot_tour VOLUME_DIR OUTPUT_DIR\n");
        return 2;
    }
    const QString volume = QString::fromLocal8Bit(argv[1]);
    gOutput = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(gOutput);

    platform::ScriptedPlatform scripted;
    ui::MainWindow window(scripted);
    window.resize(960, 860);
    window.move(20, 20);
    window.show();
    Shoot(&window, QStringLiteral("01-main-window-empty"));

    // The three banks of the volume, each from its own group.
    const std::pair<const char*, int> banks[] = {{"Bank1", 0}, {"Bank2", 8}, {"Drums", 16}};
    for (const auto& [name, start] : banks) {
        window.importFiles({QDir(volume).filePath(QStringLiteral("Programs/%1/bank.txt").arg(name))}, start);
    }
    for (const std::string& box : scripted.Boxes()) {
        std::printf("box: %s\n", box.c_str());
    }
    ClickRow(window.slotList(0), 0);
    Shoot(&window, QStringLiteral("02-main-window-bank-imported"));

    ClickRow(window.slotList(0), 2);
    Shoot(&window, QStringLiteral("03-main-window-a3-selected"));

    ui::SlotListWidget* listA = window.slotList(0);
    const QPoint over = listA->viewport()->mapToGlobal(listA->visualItemRect(listA->item(2)).center());
    window.showEditMenuAt(over);
    Settle();
    QRect menuArea = window.editMenu()->frameGeometry().united(listA->frameGeometry().translated(
        listA->parentWidget()->mapToGlobal(QPoint(0, 0))));
    QPixmap menuPicture = QGuiApplication::primaryScreen()->grabWindow(0, menuArea.x(), menuArea.y(),
                                                                        menuArea.width(), menuArea.height());
    menuPicture.save(QDir(gOutput).filePath(QStringLiteral("04-edit-menu.png")));
    window.editMenu()->hide();

    volume::ProgramRecord& piano = window.bank().slots[0];
    {
        ui::PropertiesDialog dialog(piano, &window);
        ShootDialog(dialog, QStringLiteral("05-properties"));
    }
    {
        ui::LogDialog dialog(piano, &window);
        ShootDialog(dialog, QStringLiteral("06-log"));
    }
    {
        ui::RenameDialog dialog(QString::fromStdString(piano.programName), scripted, &window);
        ShootDialog(dialog, QStringLiteral("07-rename"));
    }
    {
        ui::AboutDialog dialog(&window);
        ShootDialog(dialog, QStringLiteral("08-about"));
    }
    {
        exporting::ExportOptions options = exporting::DefaultExportOptions(volume.toStdString());
        ui::ExportDialog dialog(options, window.bank(), scripted, &window);
        ShootDialog(dialog, QStringLiteral("09-export-options"));
        options.folderOption = exporting::kSameAsSource;
        ui::ExportDialog locked(options, window.bank(), scripted, &window);
        ShootDialog(locked, QStringLiteral("10-export-options-same-as-source"));

        // The preview is modal: pictured and closed once it is up.
        testing::TempDir destination;
        options = exporting::DefaultExportOptions(destination.path());
        options.bankName = "Live";
        ui::ExportDialog previewing(options, window.bank(), scripted, &window);
        previewing.show();
        QTimer::singleShot(500, &window, [] {
            if (QWidget* preview = QApplication::activeModalWidget()) {
                Shoot(preview, QStringLiteral("15-export-preview"));
                preview->close();
            }
        });
        previewing.preview();
        previewing.hide();
    }
    {
        doctor::CheckOptions options;
        options.volume = volume.toStdString();
        ui::CheckVolumeDialog dialog(doctor::CheckVolume(options), scripted, &window);
        dialog.move(40, 40);
        ShootDialog(dialog, QStringLiteral("14-check-volume"));
    }
    {
        platform::CycleCounter counter{0};
        ui::ProgressDialog progress(false, counter, &window);
        progress.setWindowTitle(QStringLiteral("Importing Bank.txt"));
        progress.setStatus(QStringLiteral(" 1/4 - Open Program : Warm Pad"));
        progress.setRangeHigh(4);
        progress.setPosition(1);
        ShootDialog(progress, QStringLiteral("11-progress"));
    }
    {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Information"),
                        QStringLiteral("Cannot find one or more dependencies of program - Skip it \n(%1)")
                            .arg(QDir(volume).filePath(QStringLiteral("Programs/Bank1/Lost Strings.afp"))),
                        QMessageBox::Ok, &window);
        ShootDialog(box, QStringLiteral("12-message-box"));
    }
    {
        window.resize(window.minimumSizeHint());
        Shoot(&window, QStringLiteral("13-main-window-smallest"));
        window.resize(960, 860);
    }
    {
        // A1 dragged onto B3: the drop as a drag brings it.
        ui::SlotListWidget* target = window.slotList(1);
        QMimeData mime;
        mime.setData(ui::SlotListWidget::kSlotMimeType, "0");
        const QPoint at = target->visualItemRect(target->item(2)).center();
        QDragEnterEvent enter(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target->viewport(), &enter);
        QDropEvent drop(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target->viewport(), &drop);
        Shoot(&window, QStringLiteral("16-main-window-slot-switched"));
    }
    {
        platform::CycleCounter counter{0};
        ui::ProgressDialog progress(true, counter, &window);
        progress.setWindowTitle(QStringLiteral("Export Catalogue"));
        progress.setStatus(QStringLiteral("Please Wait while analysing directory..."));
        progress.offerCancel();
        ShootDialog(progress, QStringLiteral("17-progress-catalogue"));
    }
    ShootEditors(&window);
    return 0;
}
