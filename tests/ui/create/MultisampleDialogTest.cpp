#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>

#include <sndfile.h>

#include "support/AudioFixtures.h"
#include "support/CreateFixtures.h"
#include "support/TempDir.h"
#include "create/Multisample.h"
#include "../UiTestSupport.h"
#include "platform/ScriptedPlatform.h"
#include "ui/NoteNaming.h"
#include "ui/create/CreateMultisampleDialog.h"
#include "ui/create/KeyboardWidgets.h"
#include "ui/create/SamplePreview.h"
#include "ui/create/WaveformWidget.h"

using namespace velmorant;
using velmorant::testing::Child;

namespace {

// A playable WAV of the given payload size, optionally naming its root key.
std::string Wave(const testing::TempDir& dir, const std::string& name, std::size_t payload,
                 std::optional<std::uint32_t> unityNote = std::nullopt) {
    testing::WaveLayout layout;
    layout.payload = testing::CountingPayload(payload);
    layout.unityNote = unityNote;
    return testing::WriteWave(dir({name}), layout);
}

QStringList RowTexts(QTreeWidget* list, int row) {
    QStringList texts;
    for (int column = 0; column < list->columnCount(); ++column) {
        texts << list->topLevelItem(row)->text(column);
    }
    return texts;
}

void ClickRow(QTreeWidget* list, int row) {
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

}  // namespace

class MultisampleDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The row texts are the core's (sizes, note names); here each added file shows one, a refused one its box.
    void addedFilesShowTheirRowTextsAndRefusedOnesTheirMessage() {
        testing::TempDir dir;
        const std::string small = Wave(dir, "Small.wav", 978);
        const std::string rooted = Wave(dir, "Rooted.wav", 300, 60);
        const std::string notWave = dir({"Text.wav"});
        testing::WriteTextFile(notWave, "not a wave file at all, but long enough to be read as one");

        platform::ScriptedPlatform platform;
        platform.AnswerOpenFiles({small, notWave, rooted});
        ui::CreateMultisampleDialog dialog(platform);
        QTest::mouseClick(Child<QPushButton>(dialog, "addButton"), Qt::LeftButton);

        auto* list = Child<QTreeWidget>(dialog, "sampleList");
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(RowTexts(list, 0), QStringList({"Small", "1Kb", "C  5 (72)", "C  5 - C  5 (72-72)", "0-127", "as is"}));
        QCOMPARE(RowTexts(list, 1).mid(2, 2), QStringList({"C  4 (60)", "C  4 - C  4 (60-60)"}));
        QCOMPARE(platform.Boxes().size(), std::size_t{1});
        QVERIFY(platform.Problems().empty());
    }

    void applyStoresAZoneAndRefusesLeftAboveRight_data() {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::addColumn<bool>("stored");
        QTest::newRow("one key") << 60 << 60 << true;
        QTest::newRow("an octave") << 48 << 60 << true;
        QTest::newRow("left above right") << 61 << 60 << false;
    }

    void applyStoresAZoneAndRefusesLeftAboveRight() {
        QFETCH(int, left);
        QFETCH(int, right);
        QFETCH(bool, stored);
        testing::TempDir dir;
        platform::ScriptedPlatform platform;
        platform.AnswerOpenFiles({Wave(dir, "A.wav", 200), Wave(dir, "B.wav", 200)});
        ui::CreateMultisampleDialog dialog(platform);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.AddSamples();
        const char* const buttons[] = {"addButton", "removeButton", "okButton", "cancelButton"};
        QVector<QRect> before;
        for (const char* name : buttons) {
            before << Child<QPushButton>(dialog, name)->geometry();
        }
        // Two selections in a row: only the second one's peaks reach the waveform.
        auto* waveform = Child<ui::WaveformWidget>(dialog, "waveform");
        QSignalSpy shown(waveform, &ui::WaveformWidget::peaksShown);
        ClickRow(Child<QTreeWidget>(dialog, "sampleList"), 0);
        ClickRow(Child<QTreeWidget>(dialog, "sampleList"), 1);
        QVERIFY(!Child<QGroupBox>(dialog, "zoneGroup")->isHidden());
        QTRY_VERIFY(waveform->peaks() != nullptr);
        QVERIFY(waveform->file().endsWith("B.wav"));
        QCOMPARE(waveform->peaks()->error, std::string());
        QCOMPARE(waveform->peaks()->low.size(), std::size_t{100});
        QTest::qWait(20);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(Child<QPushButton>(dialog, buttons[i])->geometry(), before[i]);  // nothing moves under the mouse
        }
        QCOMPARE(shown.count(), 1);

        Child<QComboBox>(dialog, "rootCombo")->setCurrentIndex(55);
        Child<QComboBox>(dialog, "leftCombo")->setCurrentIndex(left);
        Child<QComboBox>(dialog, "rightCombo")->setCurrentIndex(right);
        Child<QCheckBox>(dialog, "lockedCheck")->setChecked(true);
        QTest::mouseClick(Child<QPushButton>(dialog, "applyButton"), Qt::LeftButton);

        const create::SampleEntry& entry = dialog.entries()[1];
        const std::vector<int> zone{entry.leftKey, entry.rightKey, entry.rootKey, entry.locked};
        QCOMPARE(zone, (stored ? std::vector<int>{left, right, 55, 1} : std::vector<int>{72, 72, 72, 0}));
        QCOMPARE(platform.Boxes(), (stored ? std::vector<std::string>{}
                                           : std::vector<std::string>{"Warning: Left note must be lower than right note"}));
        QCOMPARE(dialog.entries()[0].leftKey, 72);
    }

    void closingAsksOnlyWhenSamplesWereNotBuilt_data() {
        QTest::addColumn<bool>("add");
        QTest::addColumn<bool>("build");
        QTest::addColumn<int>("answer");  // -1 no question expected, 0 no, 1 yes
        QTest::addColumn<int>("how");     // 0 Escape, 1 Cancel, 2 the window's close button
        QTest::newRow("empty list closes") << false << false << -1 << 0;
        QTest::newRow("unbuilt, kept open by Escape") << true << false << 0 << 0;
        QTest::newRow("unbuilt, dropped on Cancel") << true << false << 1 << 1;
        QTest::newRow("unbuilt, kept open by close button") << true << false << 0 << 2;
        QTest::newRow("built closes") << true << true << -1 << 0;
    }

    void closingAsksOnlyWhenSamplesWereNotBuilt() {
        QFETCH(bool, add);
        QFETCH(bool, build);
        QFETCH(int, answer);
        QFETCH(int, how);
        testing::TempDir dir;
        platform::ScriptedPlatform platform;
        ui::CreateMultisampleDialog dialog(platform);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        if (add) {
            platform.AnswerOpenFiles({Wave(dir, "Piano.wav", 400, 60)});
            dialog.AddSamples();
        }
        if (build) {  // OK builds and the editor stays open
            platform.AnswerSaveFile(dir({"Piano.afp"}));
            QTest::mouseClick(Child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
            QVERIFY(dialog.isVisible());
            QVERIFY(std::filesystem::exists(dir({"Piano.afp"})));
            QVERIFY(dialog.statusText().startsWith(QStringLiteral("Built ")));
        }
        if (answer >= 0) {
            platform.AnswerConfirm(answer == 1);
        }
        if (how == 0) {
            QTest::keyClick(&dialog, Qt::Key_Escape);
        } else if (how == 1) {
            QTest::mouseClick(Child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
        } else {
            dialog.close();
        }
        QCOMPARE(dialog.isVisible(), answer == 0);
        QVERIFY(platform.Problems().empty());
    }

    // A preview plays what the library reads, converted as a build would, so AIFF and FLAC play
    // whatever decoders Qt has; a long file plays its beginning, a file that is no audio says why.
    void previewDecodesAnyAudioFile_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("heard");  // frames at 44.1 kHz; -1 cannot be played
        QTest::newRow("AIFF 24-bit 48 kHz") << int{SF_FORMAT_AIFF | SF_FORMAT_PCM_24} << 48000 << 1 << 4800 << 4410;
        QTest::newRow("FLAC stereo") << int{SF_FORMAT_FLAC | SF_FORMAT_PCM_16} << 44100 << 2 << 3000 << 3000;
        QTest::newRow("longer than a preview")
            << int{SF_FORMAT_WAV | SF_FORMAT_PCM_16} << 22050 << 1 << (ui::SamplePreview::kMaxSeconds + 1) * 22050
            << ui::SamplePreview::kMaxSeconds * 44100;
        QTest::newRow("no audio") << 0 << 0 << 0 << 0 << -1;
    }

    void previewDecodesAnyAudioFile() {
        QFETCH(int, format);
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(int, frames);
        QFETCH(int, heard);
        testing::TempDir dir;
        const std::string path = dir({"sound"});
        if (format == 0) {
            testing::WriteTextFile(path, "not a sound, but long enough to be looked at as one");
        } else {
            testing::WriteSound(path, {format, rate, channels, static_cast<std::size_t>(frames), testing::Sine(440, rate, 0.5)});
        }
        const ui::SamplePreview::Sound sound = ui::SamplePreview::Decode(QString::fromStdString(path));
        QCOMPARE(sound.error.isEmpty(), heard >= 0);
        if (heard >= 0) {
            QCOMPARE(sound.channels, channels);
            QCOMPARE(sound.samples.size(), qsizetype{heard} * channels * 2);
            QCOMPARE(sound.cut, frames > ui::SamplePreview::kMaxSeconds * rate);
        }
    }

    // Strict keeps to WAV files; otherwise an AIFF file is taken too, its row telling what the
    // build will do to it in the command line's words.
    void droppedAudioFilesAreAddedAndOthersIgnored_data() {
        QTest::addColumn<bool>("strict");
        QTest::newRow("converting") << false;
        QTest::newRow("strict") << true;
    }

    void droppedAudioFilesAreAddedAndOthersIgnored() {
        QFETCH(bool, strict);
        QStandardPaths::setTestModeEnabled(true);
        ui::SetStrictAudioSetting(strict);
        testing::TempDir dir;
        const std::string wave = Wave(dir, "Dropped.wav", 100);
        const std::string aiff = dir({"Dropped 48k.aiff"});
        testing::WriteSound(aiff, {SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 48000, 1, 4800, testing::Sine(440, 48000, 0.5)});
        const std::string text = dir({"notes.txt"});
        testing::WriteTextFile(text, "text");
        platform::ScriptedPlatform platform;
        ui::CreateMultisampleDialog dialog(platform);
        dialog.show();
        auto* list = Child<QTreeWidget>(dialog, "sampleList");

        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(text)), QUrl::fromLocalFile(QString::fromStdString(wave)),
                      QUrl::fromLocalFile(QString::fromStdString(aiff))});
        // Handed to the list's filter as the event loop would, without a real drag in progress.
        QObject& filter = dialog;
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QVERIFY(filter.eventFilter(list->viewport(), &drop));
        QVERIFY(drop.isAccepted());
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("Dropped"));
        QCOMPARE(list->topLevelItemCount(), strict ? 1 : 2);
        auto* plan = Child<QLabel>(dialog, "planLabel");
        QCOMPARE(list->topLevelItem(0)->text(5), QStringLiteral("as is"));
        if (strict) {
            QCOMPARE(plan->text(), QStringLiteral("The sample will be built as it is."));
        } else {
            QVERIFY2(list->topLevelItem(1)->toolTip(0).contains("AIFF, 24-bit, 48000 Hz"), qPrintable(list->topLevelItem(1)->toolTip(0)));
            QVERIFY(list->topLevelItem(1)->toolTip(0).contains("conversion: "));
            // Before the build, the plan; after it, the report line the command line prints.
            QCOMPARE(list->topLevelItem(1)->text(5), QStringLiteral("24-bit 48000 Hz \u2192 16-bit 44100 Hz, dithered"));
            QCOMPARE(plan->text(),
                     QStringLiteral("1 of 2 samples will be converted: resampled 48000 \u2192 44100 Hz, dithered"));
            platform.AnswerSaveFile(dir({"Piano.afp"}));
            dialog.build();
            QVERIFY2(list->topLevelItem(1)->toolTip(0).contains("24-bit 48000 Hz \u2192 16-bit 44100 Hz"),
                     qPrintable(list->topLevelItem(1)->toolTip(0)));
            QVERIFY(list->topLevelItem(1)->text(5).startsWith("24-bit 48000 Hz \u2192 16-bit 44100 Hz, dithered"));
            QCOMPARE(plan->text(), QStringLiteral("Built: 1 of 2 samples converted: resampled 48000 \u2192 44100 Hz, dithered."));
        }

        QMimeData none;
        none.setUrls({QUrl::fromLocalFile(QString::fromStdString(text))});
        QDropEvent ignored(QPointF(10, 10), Qt::CopyAction, &none, Qt::LeftButton, {});
        QVERIFY(!filter.eventFilter(list->viewport(), &ignored));
        QCOMPARE(list->topLevelItemCount(), strict ? 1 : 2);
        ui::SetStrictAudioSetting(false);
    }
};

QTEST_MAIN(MultisampleDialogTest)
#include "MultisampleDialogTest.moc"
