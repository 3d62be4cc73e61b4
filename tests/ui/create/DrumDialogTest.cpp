#include <QAction>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

#include <sndfile.h>

#include "../UiTestSupport.h"
#include "create/DrumKit.h"
#include "platform/ScriptedPlatform.h"
#include "support/AudioFixtures.h"
#include "support/CreateFixtures.h"
#include "support/TempDir.h"
#include "ui/MainWindow.h"
#include "ui/NoteNaming.h"
#include "ui/create/CreateDrumProgramDialog.h"
#include "ui/create/CreateMultisampleDialog.h"
#include "ui/create/EditorOpeners.h"
#include "ui/create/KeyboardWidgets.h"

using namespace velmorant;
using velmorant::testing::Child;

namespace {

// A file of the given size; the editor only needs its size until the build.
QString SizedFile(const testing::TempDir& dir, const std::string& name, std::size_t size) {
    testing::WriteBytes(dir({name}), std::vector<std::uint8_t>(size, 0x55));
    return QString::fromStdString(dir({name}));
}

QStringList RowTexts(QTreeWidget* list, int row) {
    return {list->topLevelItem(row)->text(0), list->topLevelItem(row)->text(1), list->topLevelItem(row)->text(2)};
}

// Where the keyboard widget draws a point given in the keyboard's own coordinates.
QPoint OnWidget(int x, int y) { return {x, y - ui::DrumKeyboardWidget::kShiftUp}; }

}  // namespace

class DrumDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        // The note naming setting goes to a settings file of the test's own.
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
    }

    void mainWindowCommandsOpenTheEditors() {
        platform::ScriptedPlatform platform;
        ui::MainWindow window(platform);
        ui::AttachInstrumentEditors(window);
        window.show();
        testing::ModalHandler modals;
        for (const char* name : {"actionCreateMultisample", "actionCreateDrumProgram"}) {
            window.findChild<QAction*>(QString::fromLatin1(name))->trigger();
        }
        QCOMPARE(modals.seen, QStringList({"CreateMultisampleDialog", "CreateDrumProgramDialog"}));
        QVERIFY(platform.Calls().empty());
    }

    // The Create menu's middle C numbers octaves alike in both editors' key names.
    void middleCMenuNamesKeysAlikeInBothEditors() {
        platform::ScriptedPlatform platform;
        ui::MainWindow window(platform);
        const std::pair<const char*, QStringList> rows[] = {{"actionMiddleC3", {"C 1", "F -2"}},
                                                            {"actionMiddleC4", {"C 2", "F -1"}}};
        for (const auto& [action, notes] : rows) {
            window.findChild<QAction*>(QString::fromLatin1(action))->trigger();
            ui::CreateDrumProgramDialog drums(platform);
            ui::CreateMultisampleDialog multisample(platform);
            auto* keys = Child<QTreeWidget>(drums, "keyList");
            auto* roots = Child<QComboBox>(multisample, "rootCombo");
            // Drum key 31 is note 36, key 0 note 5.
            for (const auto& [key, note] : {std::pair{31, 36}, std::pair{0, 5}}) {
                const QString expected = notes[key == 31 ? 0 : 1];
                QCOMPARE(keys->topLevelItem(key)->text(1), expected);
                QCOMPARE(roots->itemText(note).simplified(), expected);
            }
        }
        ui::SetMiddleCSetting(audio::kDefaultMiddleC);
    }

    void keyboardClicksFollowTheHitTest_data() {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("key");
        // Which key a point is on is the core's hit test; here a click reaches it and the panels follow.
        QTest::newRow("black key") << 29 << 90 << 1;
        QTest::newRow("left of the keyboard") << 17 << 110 << -1;
    }

    void keyboardClicksFollowTheHitTest() {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, key);
        platform::ScriptedPlatform platform;
        ui::CreateDrumProgramDialog dialog(platform);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* keyboard = Child<ui::DrumKeyboardWidget>(dialog, "keyboard");
        const QRect keyboardPlace = keyboard->geometry();
        const QRect createPlace = Child<QPushButton>(dialog, "createButton")->geometry();
        QTest::mouseClick(keyboard, Qt::LeftButton, {}, OnWidget(x, y));
        QCOMPARE(dialog.currentKey(), key);
        auto* keys = Child<QTreeWidget>(dialog, "keyList");
        QCOMPARE(keys->indexOfTopLevelItem(keys->currentItem()), key);
        QCOMPARE(Child<QWidget>(dialog, "keyDetails")->isHidden(), key < 0);
        // The key panel's place is kept while hidden: nothing moves under the mouse.
        QTest::qWait(20);
        QCOMPARE(keyboard->geometry(), keyboardPlace);
        QCOMPARE(Child<QPushButton>(dialog, "createButton")->geometry(), createPlace);
    }

    void closingAsksOnlyWhenTheKitChanged_data() {
        QTest::addColumn<bool>("add");
        QTest::addColumn<int>("answer");  // -1 no question expected, 0 no, 1 yes
        QTest::newRow("empty kit closes") << false << -1;
        QTest::newRow("changed kit kept open") << true << 0;
        QTest::newRow("changed kit dropped") << true << 1;
    }

    void closingAsksOnlyWhenTheKitChanged() {
        QFETCH(bool, add);
        QFETCH(int, answer);
        testing::TempDir dir;
        platform::ScriptedPlatform platform;
        ui::CreateDrumProgramDialog dialog(platform);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        if (add) {
            dialog.addLayerFiles(36, {SizedFile(dir, "kick.wav", 100)});
        }
        if (answer >= 0) {
            platform.AnswerConfirm(answer == 1);
        }
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.isVisible(), answer == 0);
        QVERIFY(platform.Problems().empty());
    }

    void velocityControlsFollowTheLayers() {
        testing::TempDir dir;
        platform::ScriptedPlatform platform;
        platform.AnswerOpenFiles({SizedFile(dir, "soft.wav", 100).toStdString()});
        platform.AnswerOpenFiles({SizedFile(dir, "hard.wav", 100).toStdString()});
        ui::CreateDrumProgramDialog dialog(platform);
        dialog.show();
        dialog.selectKey(31);
        auto* add = Child<QPushButton>(dialog, "addLayerButton");
        auto* layers = Child<QTreeWidget>(dialog, "layerList");
        auto* from = Child<QSpinBox>(dialog, "fromSpin");
        auto* to = Child<QSpinBox>(dialog, "toSpin");
        QTest::mouseClick(add, Qt::LeftButton);
        dialog.selectLayer(0);
        QVERIFY(!from->isEnabled() && !to->isEnabled());
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(RowTexts(layers, 0), QStringList({"soft.wav", "0", "63"}));
        QCOMPARE(RowTexts(layers, 1), QStringList({"hard.wav", "63", "127"}));
        dialog.selectLayer(1);
        QVERIFY(from->isEnabled() && !to->isEnabled());
        // Moving "from" of the second layer moves the first layer's bound.
        from->stepBy(5);
        QCOMPARE(dialog.kit().keys[31].layers[0].upperBound, 68);
        QCOMPARE(RowTexts(layers, 1), QStringList({"hard.wav", "68", "127"}));
        QTest::mouseClick(Child<QToolButton>(dialog, "moveUpButton"), Qt::LeftButton);
        QCOMPARE(layers->topLevelItem(0)->text(0), QStringLiteral("hard.wav"));
        QCOMPARE(dialog.currentLayer(), 0);
        QTest::mouseClick(Child<QPushButton>(dialog, "removeLayerButton"), Qt::LeftButton);
        QCOMPARE(RowTexts(layers, 0), QStringList({"soft.wav", "0", "127"}));
        QVERIFY(platform.Problems().empty());
    }

    // Each layer's Conversion cell and the line over the buttons tell, before the build, what it
    // will do to the kit's files: strict refuses what the exact path refuses.
    void conversionPlanFollowsTheKit_data() {
        QTest::addColumn<bool>("strict");
        QTest::addColumn<QString>("planned");
        QTest::addColumn<QString>("summary");
        QTest::newRow("converting") << false << QStringLiteral("24-bit 48000 Hz \u2192 16-bit 44100 Hz, dithered")
                                    << QStringLiteral("1 of 2 samples will be converted: resampled 48000 \u2192 44100 Hz, dithered");
        QTest::newRow("strict") << true << QStringLiteral("refused: only 16-bit samples are supported")
                                << QStringLiteral("1 of 2 samples will be refused and stop the build");
    }

    void conversionPlanFollowsTheKit() {
        QFETCH(bool, strict);
        QFETCH(QString, planned);
        QFETCH(QString, summary);
        ui::SetStrictAudioSetting(strict);
        testing::TempDir dir;
        testing::WaveLayout layout;
        layout.payload = testing::CountingPayload(400);
        const QString plain = QString::fromStdString(testing::WriteWave(dir({"plain.wav"}), layout));
        const std::string deep = dir({"deep.wav"});
        testing::WriteSound(deep, {SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 1, 4800, testing::Sine(440, 48000, 0.5)});
        platform::ScriptedPlatform platform;
        ui::CreateDrumProgramDialog dialog(platform);
        auto* plan = Child<QLabel>(dialog, "planLabel");
        QCOMPARE(plan->text(), QString());
        dialog.addLayerFiles(36, {plain, QString::fromStdString(deep)});
        auto* layers = Child<QTreeWidget>(dialog, "layerList");
        QCOMPARE(layers->topLevelItem(0)->text(3), QStringLiteral("as is"));
        QCOMPARE(layers->topLevelItem(1)->text(3), planned);
        QCOMPARE(plan->text(), summary);
        dialog.selectLayer(1);
        QTest::mouseClick(Child<QPushButton>(dialog, "removeLayerButton"), Qt::LeftButton);
        QCOMPARE(plan->text(), QStringLiteral("The sample will be built as it is."));
        ui::SetStrictAudioSetting(false);
    }

    void wavesDroppedOnAKeyBecomeItsLayers() {
        testing::TempDir dir;
        platform::ScriptedPlatform platform;
        ui::CreateDrumProgramDialog dialog(platform);
        dialog.show();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(SizedFile(dir, "a.wav", 10)), QUrl::fromLocalFile(SizedFile(dir, "b.txt", 10)),
                      QUrl::fromLocalFile(SizedFile(dir, "c.WAV", 10))});
        // Delivered straight to the widget, as the event loop would at the end of a real drag.
        QObject& keyboard = *Child<ui::DrumKeyboardWidget>(dialog, "keyboard");
        QDropEvent drop(QPointF(OnWidget(24, 110)), Qt::CopyAction, &data, Qt::LeftButton, {});
        keyboard.event(&drop);
        QCOMPARE(dialog.kit().keys[0].layerCount(), 2);
        QDropEvent outside(QPointF(OnWidget(5, 110)), Qt::CopyAction, &data, Qt::LeftButton, {});
        keyboard.event(&outside);
        QCOMPARE(dialog.kit().keys[0].layerCount(), 2);
        auto* keys = Child<QTreeWidget>(dialog, "keyList");
        keys->scrollToItem(keys->topLevelItem(31));
        QObject& filter = dialog;
        QDropEvent onRow(QPointF(keys->visualItemRect(keys->topLevelItem(31)).center()), Qt::CopyAction, &data,
                         Qt::LeftButton, {});
        QVERIFY(filter.eventFilter(keys->viewport(), &onRow));
        QCOMPARE(dialog.kit().keys[31].layerCount(), 2);
    }
};

QTEST_MAIN(DrumDialogTest)
#include "DrumDialogTest.moc"
