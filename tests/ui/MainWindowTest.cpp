#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include <memory>

#include "UiTestSupport.h"
#include "bank/SlotPanels.h"
#include "core/Path.h"
#include "demo/VolumeBuilders.h"
#include "platform/ScriptedPlatform.h"
#include "support/ImportFixtures.h"
#include "support/TempDir.h"
#include "ui/CheckVolumeDialog.h"
#include "ui/ExportDialog.h"
#include "ui/MainWindow.h"
#include "ui/SlotListWidget.h"

using namespace velmorant;
using velmorant::testing::ClickRow;
using velmorant::testing::ItemTexts;
using velmorant::testing::ModalHandler;

namespace {

int Slot(const char* label) { return bank::SlotFromLabel(label); }

int SelectedItemCount(ui::MainWindow& window) {
    int count = 0;
    for (int group = 0; group < 16; ++group) count += static_cast<int>(window.slotList(group)->selectedItems().size());
    return count;
}

// A drag from elsewhere that ends over a point of a list: enter, move, drop.
void DropOn(QWidget* viewport, const QPoint& at, QMimeData* mime, Qt::DropAction action) {
    QDragEnterEvent enter(at, action, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(at, action, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QDropEvent drop(at, action, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testing::ImportVolume> volume_;
    std::unique_ptr<platform::ScriptedPlatform> platform_;
    std::unique_ptr<ui::MainWindow> window_;

    ui::MainWindow& window() { return *window_; }
    void click(const char* label) {
        const int slot = Slot(label);
        ClickRow(window().slotList(slot / 8), slot % 8);
    }
    // A program that always loads, placed straight into a slot.
    void place(const char* label, const std::string& name) {
        const std::string path = volume_->AddProgram("Bank", name);
        QCOMPARE(bank::AddProgram(window().bank(), Slot(label), path).slot.value_or(-1), Slot(label));
        window().FillSlotLists();
    }
    QAction* action(const char* name) { return window().findChild<QAction*>(QString::fromLatin1(name)); }
    QComboBox* mainBox() { return window().findChild<QComboBox*>(QStringLiteral("mainCategoryBox")); }
    QCheckBox* categoryBox(char letter) {
        return window().findChild<QCheckBox*>(QStringLiteral("categoryBox%1").arg(QLatin1Char(letter)));
    }

private Q_SLOTS:
    void initTestCase() {
        // Remembered banks and folders go to a settings file of the test's own.
        QStandardPaths::setTestModeEnabled(true);
    }

    void init() {
        QSettings().clear();
        volume_ = std::make_unique<testing::ImportVolume>();
        platform_ = std::make_unique<platform::ScriptedPlatform>();
        window_ = std::make_unique<ui::MainWindow>(*platform_);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void cleanup() {
        QVERIFY2(platform_->Problems().empty(), platform_->Problems().empty() ? "" : platform_->Problems().front().c_str());
        window_.reset();
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void importBankFillsListsFromSelectedSlot() {
        volume_->AddProgram("Mine", "First");
        volume_->AddProgramMissingDependency("Mine", "Broken");
        volume_->AddProgram("Mine", "Third");
        const std::string index = volume_->WriteBankText("Mine", {"Number of items: 3", "First:AE", "Broken:B", "Third"});
        place("A1", "Already");
        click("A1");
        platform_->AnswerOpenFiles({index});
        action("actionImportBank")->trigger();

        QCOMPARE(ItemTexts(window().slotList(0)).mid(0, 4),
                 (QStringList{"A1 - Already", "A2 - First", "A3 - Third", "A4 -"}));
        QCOMPARE(platform_->Boxes().size(), std::size_t{1});
        QVERIFY(QString::fromStdString(platform_->Boxes().front()).contains(QStringLiteral("Broken.afp")));
        const auto lines = testing::CallLines(*platform_);
        QVERIFY(std::find(lines.begin(), lines.end(), "close") != lines.end());
        // The selection survives the refill and its information is shown again.
        QCOMPARE(window().selectedSlot(), Slot("A1"));
        QVERIFY(window().findChild<QGroupBox*>(QStringLiteral("informationsPanel"))->isEnabled());
        QVERIFY(window().hasUnexportedPrograms());
    }

    // One slot is selected over all sixteen lists (which item wins is the core's rule).
    void selectionKeepsOneSlotOverAllLists() {
        click("A3");
        click("C5");
        QCOMPARE(window().selectedSlot(), Slot("C5"));
        QCOMPARE(SelectedItemCount(window()), 1);
        QVERIFY(window().slotList(2)->item(4)->isSelected());
        click("C5");  // clicking the selected item clears
        QCOMPARE(window().selectedSlot(), -1);
        QCOMPARE(SelectedItemCount(window()), 0);
    }

    void slotCommandsNeedAnOccupiedSelection_data() {
        QTest::addColumn<QString>("selection");
        QTest::newRow("nothing selected") << QString();
        QTest::newRow("empty slot selected") << QStringLiteral("B4");
    }

    void slotCommandsNeedAnOccupiedSelection() {
        QFETCH(QString, selection);
        place("A1", "Kept");
        if (!selection.isEmpty()) click(selection.toLatin1().constData());
        ModalHandler modals;
        for (const char* name : {"actionRename", "actionRemove", "actionProperties", "actionLogs"}) {
            action(name)->trigger();
        }
        QTest::qWait(50);
        QVERIFY2(modals.seen.isEmpty(), qPrintable(modals.seen.join(',')));
        QCOMPARE(window().bank().slots[0].programName, std::string("Kept"));
        QVERIFY(window().bank().slots[0].defined);
        QVERIFY(platform_->Calls().empty());
        action("actionSwitch")->trigger();
        QCOMPARE(window().switchSource() >= 0, !selection.isEmpty());
    }

    void switchMovesProgramAndRestoresCursor() {
        place("B2", "Mover");
        click("B2");
        action("actionSwitch")->trigger();
        QCOMPARE(window().switchSource(), Slot("B2"));
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::PointingHandCursor);

        click("D7");
        QCOMPARE(window().bank().slots[Slot("D7")].programName, std::string("Mover"));
        QVERIFY(!window().bank().slots[Slot("B2")].defined);
        QCOMPARE(window().slotList(3)->item(6)->text(), QStringLiteral("D7 - Mover"));
        QCOMPARE(window().slotList(1)->item(1)->text(), QStringLiteral("B2 -"));
        QCOMPARE(window().statusBar()->currentMessage(), QStringLiteral("Switched B2 and D7."));
        QCOMPARE(SelectedItemCount(window()), 0);
        QCOMPARE(window().switchSource(), -1);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    // The offscreen platform ends a real drag at once, so the drop arrives as the drag would
    // bring it: the slot's own data over another slot of another list.
    void draggingASlotOntoAnotherSwitchesThem() {
        place("A2", "Dragged");
        place("C4", "Target");
        ui::SlotListWidget* to = window().slotList(2);
        QMimeData mime;
        mime.setData(ui::SlotListWidget::kSlotMimeType, QByteArray::number(Slot("A2")));
        DropOn(to->viewport(), to->visualItemRect(to->item(3)).center(), &mime, Qt::MoveAction);
        QCOMPARE(ItemTexts(to).at(3), QStringLiteral("C4 - Dragged"));
        QCOMPARE(ItemTexts(window().slotList(0)).at(1), QStringLiteral("A2 - Target"));
        QCOMPARE(window().selectedSlot(), Slot("C4"));
        QCOMPARE(window().statusBar()->currentMessage(), QStringLiteral("Switched A2 and C4."));
        QVERIFY(window().hasUnexportedPrograms());
    }

    // The panel's rule (main first, alternates after) is the core's; here the boxes reach the record and back.
    void categoryBoxesReachTheRecordAndShowItBack() {
        place("C3", "Sorted");
        place("C4", "Other");
        click("C3");
        QCOMPARE(mainBox()->currentIndex(), 0);  // "not defined" shows nothing
        mainBox()->setCurrentIndex(5);
        Q_EMIT mainBox()->activated(5);
        QTest::mouseClick(categoryBox('M'), Qt::LeftButton);
        QCOMPARE(window().bank().slots[Slot("C3")].categories, std::string("EM"));

        click("C4");
        click("C3");
        QCOMPARE(mainBox()->currentIndex(), 5);
        QVERIFY(categoryBox('M')->isChecked() && categoryBox('E')->isChecked() && !categoryBox('E')->isEnabled());
        // Another main category: the old one's box is free again and not kept as an alternate.
        mainBox()->setCurrentIndex(3);
        Q_EMIT mainBox()->activated(3);
        QVERIFY(categoryBox('C')->isChecked() && !categoryBox('C')->isEnabled());
        QVERIFY(!categoryBox('E')->isChecked() && categoryBox('E')->isEnabled());
        QCOMPARE(window().bank().slots[Slot("C3")].categories, std::string("CM"));
    }

    void droppingFilesImportsFromSlotUnderPoint_data() {
        QTest::addColumn<int>("dropped");  // 0 two program files, 1 a bank.txt, 2 a file named by bytes
        QTest::addColumn<bool>("onWindow");  // beside the lists, with E5 selected
        QTest::newRow("program files") << 0 << false;
        QTest::newRow("a bank.txt") << 1 << false;
        // A name another tool wrote in 8-bit bytes: Qt's own path conversion cannot open it.
        QTest::newRow("a name that is not UTF-8") << 2 << false;
        QTest::newRow("a bank.txt on the window") << 1 << true;
    }

    void droppingFilesImportsFromSlotUnderPoint() {
        QFETCH(int, dropped);
        QFETCH(bool, onWindow);
        const std::string one = volume_->AddProgram("Drop", "One");
        const std::string two = volume_->AddProgram("Drop", "Two");
        const std::string index = volume_->WriteBankText("Drop", {"Number of items: 2", "One:K", "Two"});
        const std::string bytes = volume_->AddProgram("Drop", "Caf\xE9");
        place("E6", "Occupant");
        ui::SlotListWidget* target = window().slotList(4);
        auto* mime = new QMimeData;
        auto url = [](const std::string& path) {
            return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"));
        };
        const std::vector<std::vector<std::string>> files = {{one, two}, {index}, {bytes}};
        QList<QUrl> urls;
        for (const std::string& path : files[static_cast<std::size_t>(dropped)]) urls << url(path);
        mime->setUrls(urls);
        if (onWindow) {
            click("E5");
            DropOn(&window(), QPoint(5, window().height() - 5), mime, Qt::CopyAction);
        } else {
            DropOn(target->viewport(), target->visualItemRect(target->item(4)).center(), mime, Qt::CopyAction);
        }
        const QStringList shown = dropped == 2 ? QStringList{QStringLiteral("E5 - Caf\u00E9"), "E6 - Occupant", "E7 -", "E8 -"}
                                               : QStringList{"E5 - One", "E6 - Occupant", "E7 - Two", "E8 -"};
        QCOMPARE(ItemTexts(target).mid(4, 4), shown);
        QCOMPARE(window().bank().slots[Slot("E5")].categories, std::string(dropped == 2 ? "not defined" : "K"));
        QVERIFY(platform_->Boxes().empty());
        QCOMPARE(window().statusBar()->currentMessage(),
                 dropped == 2 ? QStringLiteral("1 program(s) imported.") : QStringLiteral("2 program(s) imported."));
        // A bank that placed programs is offered again under File > Import Recent Bank.
        auto* recent = window().findChild<QMenu*>(QStringLiteral("menuRecent"));
        QCOMPARE(!recent->actions().isEmpty() && recent->actions().front()->toolTip() ==
                                                     QFileInfo(QString::fromStdString(index)).absoluteFilePath(),
                 dropped == 1);
        delete mime;
    }

    void quitAsksOnlyWhenProgramsWereNeverExported() {
        window().close();  // empty bank: no question
        QVERIFY(!window().isVisible());
        QVERIFY(platform_->Calls().empty());

        window().show();
        place("A1", "Unsaved");
        click("A1");
        QTest::mouseClick(categoryBox('B'), Qt::LeftButton);
        platform_->AnswerConfirm(false);
        action("actionQuit")->trigger();
        QVERIFY(window().isVisible());
        platform_->AnswerConfirm(true);
        action("actionQuit")->trigger();
        QVERIFY(!window().isVisible());
        QCOMPARE(platform_->Boxes().size(), std::size_t{2});
        QVERIFY(QString::fromStdString(platform_->Boxes().front()).startsWith(QStringLiteral("Confirm:")));
    }

    void exportRunsWithDialogOptionsAndForgetsUnsavedState() {
        place("A1", "Exported");
        QTest::mouseClick(categoryBox('A'), Qt::LeftButton);  // no selection: ignored
        click("A1");
        QTest::mouseClick(categoryBox('A'), Qt::LeftButton);
        testing::TempDir destination;
        ModalHandler modals([&](QWidget* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("bankNameEdit"))->setText(QStringLiteral("Live"));
            dialog->findChild<QLineEdit*>(QStringLiteral("savePathEdit"))->setText(QString::fromStdString(destination.path()));
            QTest::mouseClick(dialog->findChild<QWidget*>(QStringLiteral("sameAsSourceRadio")), Qt::LeftButton);
            QTest::mouseClick(dialog->findChild<QWidget*>(QStringLiteral("registerBox")), Qt::LeftButton);
            QTest::mouseClick(dialog->findChild<QWidget*>(QStringLiteral("okButton")), Qt::LeftButton);
        });
        action("actionExportBank")->trigger();
        QCOMPARE(modals.seen, QStringList{"ExportDialog"});
        QCOMPARE(window().exportOptions().bankName, std::string("Live"));
        QCOMPARE(exporting::ExportModeOf(window().exportOptions()), 10);
        QVERIFY(QFile::exists(QString::fromStdString(destination({"Programs", "Live", "bank.txt"}))));
        QVERIFY(QFile::exists(QString::fromStdString(destination({"Programs", "Live", "Exported.afp"}))));
        // Unticked, the bank stays out of the volume's list, and the counts say so.
        QVERIFY(!QFile::exists(QString::fromStdString(destination({"Programs", "bank.txt"}))));
        QCOMPARE(window().statusBar()->currentMessage(),
                 QStringLiteral("Exported 1 of 1 programs: 1 files copied, 0 reused (already there with the same "
                                "content). The bank is not listed in the destination's Programs/bank.txt."));
        QCOMPARE(ui::ExportDialog::StartingDestination(), destination.path());
        const auto lines = testing::CallLines(*platform_);
        QVERIFY(std::find(lines.begin(), lines.end(), "close") != lines.end());
        QVERIFY(!window().hasUnexportedPrograms());
    }

    void checkVolumeShowsProblemsAndSavesEachFormat() {
        volume_->AddProgram("Mine", "Fine");
        volume_->AddProgramMissingDependency("Mine", "Broken");
        volume_->WriteBankText("Mine", {"Number of items: 2", "Fine", "Broken"});
        demo::WriteText(core::JoinPath(volume_->root(), "Programs/bank.txt"), "Number of items: 1\r\nMine\r\n");
        std::vector<std::uint8_t> unused = demo::BuildSampleFile(440, 400);
        std::fill_n(unused.begin() + 4, 4, 0);  // a length below its bias: also malformed
        demo::WriteFile(core::JoinPath(volume_->root(), "Samples/Extra/Unused.afs"), unused);
        platform_->AnswerFolder(volume_->root());
        action("actionCheckVolume")->trigger();
        auto* dialog = window().findChild<ui::CheckVolumeDialog*>();
        QVERIFY(dialog != nullptr && dialog->isVisible());
        auto* tree = dialog->findChild<QTreeWidget*>(QStringLiteral("reportTree"));
        QStringList top;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) top << tree->topLevelItem(i)->text(0);
        QCOMPARE(top, (QStringList{"Mine", "Missing files (1)", "Orphans: files no program uses (1)",
                                   "Malformed files (1)"}));
        // Opened on the first problem: the program an import would refuse, above its missing file.
        const QTreeWidgetItem* broken = tree->currentItem();
        QCOMPARE(broken->text(0), QStringLiteral("Broken"));
        QCOMPARE(broken->text(1), QStringLiteral("a multisample or sample it needs is missing"));
        QCOMPARE(broken->child(0)->text(1), QStringLiteral("multisample missing"));
        QVERIFY(tree->findItems(QStringLiteral("Samples/Extra/Unused.afs"), Qt::MatchRecursive).size() == 2);

        // The writer follows the chosen name's ending; another ending is refused with a box.
        testing::TempDir out;
        const std::pair<const char*, const char*> saves[] = {
            {"report.html", "<!DOCTYPE html>"}, {"report.csv", "severity,kind,"}, {"report.JSON", "{"}, {"report.txt", nullptr}};
        for (const auto& [name, head] : saves) {
            platform_->AnswerSaveFile(out({name}));
            QTest::mouseClick(dialog->findChild<QWidget*>(QStringLiteral("saveButton")), Qt::LeftButton);
            QFile file(QString::fromStdString(out({name})));
            QCOMPARE(file.open(QIODevice::ReadOnly), head != nullptr);
            QVERIFY(head == nullptr || file.read(20).startsWith(head));
        }
        QCOMPARE(platform_->Boxes().size(), std::size_t{1});
    }

    // Each shortcut reaches the selected program; the rename typed in its dialog refills the list.
    void shortcutsReachTheSelectedProgram_data() {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("shown");
        QTest::newRow("rename") << QKeySequence(Qt::Key_F2) << "RenameDialog" << "D2 - New Name";
        QTest::newRow("properties") << QKeySequence(Qt::ALT | Qt::Key_Return) << "PropertiesDialog" << "D2 - Keyed";
        QTest::newRow("shortcuts page") << QKeySequence(QKeySequence::HelpContents) << "ShortcutsDialog" << "D2 - Keyed";
        QTest::newRow("remove") << QKeySequence(QKeySequence::Delete) << "" << "D2 -";
    }

    void shortcutsReachTheSelectedProgram() {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, dialog);
        QFETCH(QString, shown);
        place("D2", "Keyed");
        click("D2");
        QApplication::setActiveWindow(&window());
        QString title;
        ModalHandler modals([&](QWidget* modal) {
            if (auto* edit = modal->findChild<QLineEdit*>(QStringLiteral("nameEdit"))) {
                title = modal->windowTitle();
                edit->setText(QStringLiteral("New Name"));
                QTest::mouseClick(modal->findChild<QWidget*>(QStringLiteral("okButton")), Qt::LeftButton);
            } else {
                modal->close();
            }
        });
        QTest::keySequence(&window(), keys);
        QTest::qWait(30);
        QCOMPARE(modals.seen, dialog.isEmpty() ? QStringList{} : QStringList{dialog});
        QCOMPARE(window().slotList(3)->item(1)->text(), shown);
        QCOMPARE(window().bank().slots[Slot("D2")].defined, !dialog.isEmpty());
        QVERIFY(title.isEmpty() || title == QStringLiteral("Set new program name for Keyed"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
