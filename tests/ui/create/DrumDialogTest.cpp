#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <filesystem>

#include "support/CreateFixtures.h"
#include "support/TempDir.h"
#include "bank/Bank.h"
#include "create/DrumKit.h"
#include "platform/ScriptedPlatform.h"
#include "ui/create/CreateDrumProgramDialog.h"
#include "ui/MainWindow.h"
#include "ui/create/EditorOpeners.h"
#include "ui/create/KeyboardWidgets.h"
#include "../UiTestSupport.h"

using namespace velmorant;
using velmorant::testing::Child;

namespace {

// A file of the given size; the editor only needs its size until the build.
QString SizedFile(const testing::TempDir& dir, const std::string& name, std::size_t size) {
    const std::string path = dir({name});
    testing::WriteBytes(path, std::vector<std::uint8_t>(size, 0x55));
    return QString::fromStdString(path);
}

QString Wave(const testing::TempDir& dir, const std::string& name) {
    testing::WaveLayout layout;
    layout.payload = testing::TonePayload(2000, 440.0);
    return QString::fromStdString(testing::WriteWave(dir({name}), layout));
}

QStringList RowTexts(QTreeWidget* list, int row, int columns) {
    QStringList texts;
    for (int column = 0; column < columns; ++column) {
        texts << list->topLevelItem(row)->text(column);
    }
    return texts;
}

// Where the keyboard widget draws a point given in the keyboard's own coordinates.
QPoint OnWidget(int x, int y) { return {x, y - ui::DrumKeyboardWidget::kShiftUp}; }

}  // namespace

class DrumDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void mainWindowCommandsOpenTheEditors() {
        platform::ScriptedPlatform platform;
        ui::MainWindow window(platform);
        ui::AttachInstrumentEditors(window);
        window.show();
        testing::ModalHandler modals;
        for (const char* name : {"actionCreateMultisample", "actionCreateDrumProgram"}) {
            QAction* action = window.findChild<QAction*>(QString::fromLatin1(name));
            QVERIFY(action != nullptr);
            action->trigger();
        }
        QCOMPARE(modals.seen, QStringList({"CreateMultisampleDialog", "CreateDrumProgramDialog"}));
        QVERIFY(platform.Calls().empty());
    }

    void keyListShowsNumbersNotesAndDrumNames_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("lowest key") << 0 << QStringList({"5", "F -2", ""});
        QTest::newRow("bass drum") << 31 << QStringList({"36", "C 1", "Bass Drum 1"});
        QTest::newRow("o with circumflex") << 62 << QStringList({"67", "G 3", u"High Agog\u00f4"_qs});
        QTest::newRow("u with diaeresis") << 68 << QStringList({"73", "C#4", u"Short G\u00fciro"_qs});
        QTest::newRow("i with acute") << 74 << QStringList({"79", "G 4", u"Open Cu\u00edca"_qs});
        QTest::newRow("highest key") << 97 << QStringList({"102", "F#6", ""});
    }

    void keyListShowsNumbersNotesAndDrumNames() {
        QFETCH(int, row);
        QFETCH(QStringList, texts);
        platform::ScriptedPlatform platform;
        ui::CreateDrumProgramDialog dialog(platform);
        auto* keys = Child<QTreeWidget>(dialog, "keyList");
        QCOMPARE(keys->topLevelItemCount(), 98);
        QCOMPARE(RowTexts(keys, row, 3), texts);
    }

    void keyboardClicksFollowTheHitTest_data() {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("key");
        QTest::newRow("black key between the first two white keys") << 29 << 90 << 1;
        QTest::newRow("first white key below the black band") << 24 << 110 << 0;
        QTest::newRow("shared outline goes to the right-hand white key") << 29 << 110 << 2;
        QTest::newRow("last white key at the right end") << 645 << 110 << 96;
        QTest::newRow("last black key, drawn whole past the white keys") << 648 << 90 << 97;
        QTest::newRow("left of the keyboard") << 17 << 110 << -1;
        QTest::newRow("below the keys") << 100 << 123 << -1;
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
        QCOMPARE(RowTexts(layers, 0, 3), QStringList({"soft.wav", "0", "127"}));
        QVERIFY(Child<QWidget>(dialog, "velocityControls")->isHidden());
        dialog.selectLayer(0);
        QVERIFY(!Child<QWidget>(dialog, "velocityControls")->isHidden());
        QVERIFY(!from->isEnabled());
        QVERIFY(!to->isEnabled());
        QCOMPARE(from->value(), 0);
        QCOMPARE(to->value(), 127);

        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(RowTexts(layers, 0, 3), QStringList({"soft.wav", "0", "63"}));
        QCOMPARE(RowTexts(layers, 1, 3), QStringList({"hard.wav", "63", "127"}));
        dialog.selectLayer(0);
        QVERIFY(to->isEnabled());
        QVERIFY(!from->isEnabled());
        QCOMPARE(to->value(), 63);
        QCOMPARE(to->minimum(), 0);
        QCOMPARE(to->maximum(), 127);
        dialog.selectLayer(1);
        QVERIFY(from->isEnabled());
        QVERIFY(!to->isEnabled());
        QCOMPARE(from->value(), 63);
        QCOMPARE(from->minimum(), 0);
        QCOMPARE(from->maximum(), 127);

        // Moving "from" of the second layer moves the first layer's bound.
        from->stepBy(5);
        QCOMPARE(dialog.kit().keys[31].layers[0].upperBound, 68);
        QCOMPARE(RowTexts(layers, 1, 3), QStringList({"hard.wav", "68", "127"}));
        QCOMPARE(dialog.currentLayer(), 1);

        // The second layer moved up becomes the first and stays current.
        QTest::mouseClick(Child<QToolButton>(dialog, "moveUpButton"), Qt::LeftButton);
        QCOMPARE(layers->topLevelItem(0)->text(0), QStringLiteral("hard.wav"));
        QCOMPARE(dialog.currentLayer(), 0);
        QTest::mouseClick(Child<QPushButton>(dialog, "removeLayerButton"), Qt::LeftButton);
        QCOMPARE(RowTexts(layers, 0, 3), QStringList({"soft.wav", "0", "127"}));
        QVERIFY(platform.Problems().empty());
    }

    void countTextAddsUpKeysLayersAndSizes() {
        testing::TempDir dir;
        platform::ScriptedPlatform platform;
        ui::CreateDrumProgramDialog dialog(platform);
        auto* info = Child<QLineEdit>(dialog, "infoLine");
        QCOMPARE(info->text(), QString());
        dialog.addLayerFiles(10, {SizedFile(dir, "1.wav", 400), SizedFile(dir, "2.wav", 400)});
        dialog.addLayerFiles(20, {SizedFile(dir, "3.wav", 400), SizedFile(dir, "4.wav", 400)});
        dialog.addLayerFiles(30, {SizedFile(dir, "5.wav", 447)});
        QCOMPARE(info->text(), QStringLiteral("3 Oscillators (5 samples, 1 Ko)"));

        const QString tiny = SizedFile(dir, "tiny.wav", 16);
        for (int key = 31; key < 93; ++key) {
            dialog.addLayerFiles(key, {tiny});
        }
        QCOMPARE(info->text(), QStringLiteral("65 Oscillators (67 samples, 2 Ko) - WARNING - Fusion drums programs are "
                                              "limited to 64 oscillators"));
        QTest::mouseClick(Child<QToolButton>(dialog, "newKitButton"), Qt::LeftButton);
        QCOMPARE(info->text(), QString());
        QCOMPARE(dialog.currentKey(), -1);
        QVERIFY(Child<QWidget>(dialog, "keyDetails")->isHidden());
    }

    void loadAsksFirstOnlyWhenAKeyIsInUse() {
        testing::TempDir dir;
        create::DrumKit saved;
        saved.keys[40].layers.push_back({dir({"ride.wav"}), 127, 0});
        saved.keys[40].state = create::kKeyOwnLayers;
        SizedFile(dir, "ride.wav", 300);
        const std::string kitPath = dir({"ride.fdk"});
        testing::WriteTextFile(kitPath, formats::FormatKitText(saved));

        platform::ScriptedPlatform platform;
        ui::CreateDrumProgramDialog dialog(platform);
        platform.AnswerOpenFiles({kitPath});
        QTest::mouseClick(Child<QToolButton>(dialog, "loadKitButton"), Qt::LeftButton);
        QCOMPARE(dialog.kit().keys[40].layerCount(), 1);
        QVERIFY(platform.Boxes().empty());  // nothing in use: no question
        QCOMPARE(Child<QTreeWidget>(dialog, "keyList")->topLevelItem(40)->text(1), QStringLiteral("A 1"));

        dialog.addLayerFiles(3, {SizedFile(dir, "kick.wav", 10)});
        platform.AnswerConfirm(false);
        QTest::mouseClick(Child<QToolButton>(dialog, "loadKitButton"), Qt::LeftButton);
        QCOMPARE(dialog.kit().keys[3].layerCount(), 1);

        platform.AnswerConfirm(true);
        platform.AnswerOpenFiles({kitPath});
        QTest::mouseClick(Child<QToolButton>(dialog, "loadKitButton"), Qt::LeftButton);
        QCOMPARE(dialog.kit().keys[3].layerCount(), 0);
        QCOMPARE(dialog.kit().keys[40].layerCount(), 1);
        QCOMPARE(platform.Boxes().size(), std::size_t{2});
        QVERIFY(platform.Problems().empty());
    }

    void keyWithoutItsOwnOscillatorShowsTheCopyChooser() {
        testing::TempDir dir;
        create::DrumKit saved;
        saved.keys[33].layers.push_back({SizedFile(dir, "snare.wav", 50).toStdString(), 127, 50});
        saved.keys[33].state = create::kKeyOwnLayers;
        saved.keys[35].defineOscillator = 0;
        saved.keys[35].copySource = 33;
        saved.keys[35].state = create::kKeyCopy;
        const std::string kitPath = dir({"copy.fdk"});
        testing::WriteTextFile(kitPath, formats::FormatKitText(saved));
        platform::ScriptedPlatform platform;
        platform.AnswerOpenFiles({kitPath});
        ui::CreateDrumProgramDialog dialog(platform);
        dialog.show();
        dialog.loadKit();
        QCOMPARE(dialog.kit().keys[35].state, int(create::kKeyCopy));

        dialog.selectKey(35);
        QVERIFY(Child<QWidget>(dialog, "layerControls")->isHidden());
        QVERIFY(!Child<QWidget>(dialog, "copyControls")->isHidden());
        auto* copy = Child<QComboBox>(dialog, "copyCombo");
        QCOMPARE(copy->count(), 2);
        QCOMPARE(copy->itemText(0), QStringLiteral(" - Not Set - "));
        QVERIFY(copy->itemText(1).startsWith(QStringLiteral("33 - ")));
        QVERIFY(copy->itemText(1).endsWith(QStringLiteral(" : Snare Drum 1")));
        QCOMPARE(copy->currentIndex(), 1);

        copy->activated(0);
        QCOMPARE(dialog.kit().keys[35].state, int(create::kKeyNotInUse));
        QCOMPARE(dialog.kit().keys[35].copySource, -1);
        dialog.selectKey(33);
        QVERIFY(!Child<QWidget>(dialog, "layerControls")->isHidden());
        QVERIFY(Child<QWidget>(dialog, "copyControls")->isHidden());
        QVERIFY(platform.Problems().empty());
    }

    void unreadableKitSaysNoFileLoaded() {
        testing::TempDir dir;
        const std::string bad = dir({"bad.fdk"});
        testing::WriteTextFile(bad, "not a kit\r\n");
        platform::ScriptedPlatform platform;
        platform.AnswerOpenFiles({bad});
        ui::CreateDrumProgramDialog dialog(platform);
        dialog.loadKit();
        const auto boxes = platform.Boxes();
        QVERIFY(!boxes.empty());
        QCOMPARE(boxes.back(), std::string("Error: No file loaded"));
    }

    void saveKitRefusedSaysFileNotSaved() {
        testing::TempDir dir;
        const std::string existing = dir({"kit.fdk"});
        testing::WriteTextFile(existing, "taken");
        platform::ScriptedPlatform platform;
        platform.AnswerSaveFile(existing);
        ui::CreateDrumProgramDialog dialog(platform);
        dialog.saveKit();
        const auto boxes = platform.Boxes();
        QVERIFY(!boxes.empty());
        QCOMPARE(boxes.back(), std::string("Error: File not saved"));
    }

    void createBuildsTheProgram() {
        testing::TempDir dir;
        platform::ScriptedPlatform platform;
        ui::CreateDrumProgramDialog dialog(platform);
        dialog.addLayerFiles(31, {Wave(dir, "kick.wav")});
        dialog.addLayerFiles(33, {Wave(dir, "snare.wav"), Wave(dir, "snare2.wav")});
        for (const char* folder : {"Programs", "Samples"}) {
            std::filesystem::create_directories(dir({"Volume", folder, "Bank1"}));
        }
        const std::string program = dir({"Volume", "Programs", "Bank1", "Kit.afp"});
        platform.AnswerSaveFile(program);
        QTest::mouseClick(Child<QPushButton>(dialog, "createButton"), Qt::LeftButton);
        QVERIFY(std::filesystem::exists(program));
        QVERIFY(dialog.statusText().startsWith(QStringLiteral("Built ")));
        QVERIFY(platform.Problems().empty());

        auto bank = std::make_unique<bank::Bank>();
        bank::InitBank(*bank);
        // The samples built beside the program go to the volume's sample folder.
        for (const auto& entry : std::filesystem::directory_iterator(dir({"Volume", "Programs", "Bank1"}))) {
            if (entry.path().extension() == ".afs") {
                std::filesystem::rename(entry.path(), std::filesystem::path(dir({"Volume", "Samples", "Bank1"})) /
                                                          entry.path().filename());
            }
        }
        const int slot = bank::AddProgram(*bank, 0, program, nullptr);
        QVERIFY2(slot == 0, bank->slots[0].log.c_str());
        QCOMPARE(bank->slots[0].dependencies.size(), std::size_t{3});
    }

    void wavesDroppedOnAKeyBecomeItsLayers() {
        testing::TempDir dir;
        platform::ScriptedPlatform platform;
        ui::CreateDrumProgramDialog dialog(platform);
        dialog.show();
        auto* keyboard = Child<ui::DrumKeyboardWidget>(dialog, "keyboard");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(SizedFile(dir, "a.wav", 10)), QUrl::fromLocalFile(SizedFile(dir, "b.txt", 10)),
                      QUrl::fromLocalFile(SizedFile(dir, "c.WAV", 10))});
        // Delivered straight to the widget, as the event loop would at the end of a real drag.
        QObject& target = *keyboard;
        QDropEvent drop(QPointF(OnWidget(24, 110)), Qt::CopyAction, &data, Qt::LeftButton, {});
        target.event(&drop);
        QCOMPARE(dialog.currentKey(), 0);
        QCOMPARE(dialog.kit().keys[0].layerCount(), 2);
        QCOMPARE(Child<QTreeWidget>(dialog, "layerList")->topLevelItem(1)->text(0), QStringLiteral("c.WAV"));

        QDropEvent outside(QPointF(OnWidget(5, 110)), Qt::CopyAction, &data, Qt::LeftButton, {});
        target.event(&outside);
        QCOMPARE(dialog.kit().keys[0].layerCount(), 2);

        // A row of the key list takes them too.
        auto* keys = Child<QTreeWidget>(dialog, "keyList");
        keys->scrollToItem(keys->topLevelItem(31));
        QObject& filter = dialog;
        QDropEvent onRow(QPointF(keys->visualItemRect(keys->topLevelItem(31)).center()), Qt::CopyAction, &data,
                         Qt::LeftButton, {});
        QVERIFY(filter.eventFilter(keys->viewport(), &onRow));
        QCOMPARE(dialog.currentKey(), 31);
        QCOMPARE(dialog.kit().keys[31].layerCount(), 2);
    }

    void spaceBarPreviewsTheCurrentLayer() {
        testing::TempDir dir;
        platform::ScriptedPlatform platform;
        ui::CreateDrumProgramDialog dialog(platform);
        dialog.show();
        dialog.addLayerFiles(31, {Wave(dir, "kick.wav")});
        auto* keys = Child<QTreeWidget>(dialog, "keyList");
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        keys->setFocus();
        QTest::keyClick(keys, Qt::Key_Space);
        // Either it plays or, with no audio output, it says why not.
        const QString status = dialog.statusText();
        QVERIFY2(status == QStringLiteral("Playing kick.wav") ||
                     status == QStringLiteral("No audio output: kick.wav is not played."),
                 qPrintable(status));
    }
};

QTEST_MAIN(DrumDialogTest)
#include "DrumDialogTest.moc"
