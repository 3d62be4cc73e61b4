#include <QAbstractButton>
#include <QApplication>
#include <QListWidget>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <set>
#include <thread>

#include "UiTestSupport.h"
#include "platform/ScriptedPlatform.h"
#include "support/ImportFixtures.h"
#include "ui/GuiThread.h"
#include "ui/JobRunner.h"
#include "ui/MainWindow.h"
#include "ui/ProgressDialog.h"
#include "ui/QtPlatform.h"
#include "ui/SlotListWidget.h"

using namespace velmorant;

namespace {

// What the progress windows on screen show, read on the GUI thread.
struct Seen {
    int windows = 0;
    QString title;
    QString status;
    int range = -1;
    int position = -1;
};

Seen LookAtProgress() {
    return ui::RunOnGuiThread([] {
        Seen seen;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<ui::ProgressDialog*>(widget); dialog != nullptr && dialog->isVisible()) {
                ++seen.windows;
                seen.title = dialog->windowTitle();
                seen.status = dialog->status();
                seen.range = dialog->rangeHigh();
                seen.position = dialog->position();
            }
        }
        return seen;
    });
}

}  // namespace

class QtPlatformTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void progressWindowFollowsTheJobFromItsThread() {
        QWidget owner;
        ui::QtPlatform platform(&owner);
        ui::JobRunner runner(&owner);
        std::vector<Seen> seen;
        runner.run(
            [&] {
                auto window = platform.StartProgressWindow(false);
                seen.push_back(LookAtProgress());
                window->SetTitle("Importing Bank.txt");
                window->SetStatus(" 0/3 - Open Program : X");
                window->SetRange(3);
                for (int p = 0; p < 3; ++p) window->SetPosition(p);
                seen.push_back(LookAtProgress());
                window->SetRange(65536 + 70);  // the bar keeps the low 16 bits
                window->SetPosition(100);       // and clamps into its range
                seen.push_back(LookAtProgress());
                window->Close();
                seen.push_back(LookAtProgress());
                window->SetStatus("after close: ignored");
                auto second = platform.StartProgressWindow(false);
                seen.push_back(LookAtProgress());
            },
            [](const QString& failure) { QFAIL(qPrintable(failure)); });
        QCOMPARE(seen.size(), std::size_t{5});
        const auto shown = [&](std::size_t i) { return std::make_tuple(seen[i].windows, seen[i].title, seen[i].range, seen[i].position); };
        QCOMPARE(shown(0), std::make_tuple(1, QStringLiteral("Dialog"), 100, 0));
        QCOMPARE(shown(1), std::make_tuple(1, QStringLiteral("Importing Bank.txt"), 3, 2));
        QCOMPARE(seen[1].status, QStringLiteral(" 0/3 - Open Program : X"));
        QCOMPARE(shown(2), std::make_tuple(1, QStringLiteral("Importing Bank.txt"), 70, 70));
        QCOMPARE(seen[3].windows, 0);
        QCOMPARE(shown(4), std::make_tuple(1, QStringLiteral("Dialog"), 100, 0));
        QCOMPARE(LookAtProgress().windows, 0);  // the second window closed with its job's handle
    }

    void boxesAreShownOnGuiThreadAndAnswered() {
        QWidget owner;
        ui::QtPlatform platform(&owner);
        ui::JobRunner runner(&owner);
        QStringList shown;
        testing::ModalHandler modals([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box != nullptr);
            QVERIFY(box->thread() == QApplication::instance()->thread());
            shown << box->windowTitle() + QStringLiteral(": ") + box->text();
            box->button(QMessageBox::Ok)->click();
        });
        bool confirmed = false;
        runner.run(
            [&] {
                platform.ShowMessage("Error creation folders", "Error", platform::Icon::kStop);
                confirmed = platform.Confirm("Go on?", "Confirm", platform::Icon::kQuestion);
            },
            [](const QString& failure) { QFAIL(qPrintable(failure)); });
        QCOMPARE(shown, (QStringList{"Error: Error creation folders", "Confirm: Go on?"}));
        QVERIFY(confirmed);
    }

    void importShowsEachProgramKeepsItsWindowInSightAndCancels() {
        testing::ImportVolume volume;
        volume.AddProgram("Mine", "First");
        volume.AddProgramMissingDependency("Mine", "Broken");
        volume.AddProgram("Mine", "Third");
        const std::string index =
            volume.WriteBankText("Mine", {"Number of items: 3", "First", "Broken", "Third"});
        ui::QtPlatform platform;
        ui::MainWindow window(platform);
        platform.setOwner(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // Met while the job waits on the box about the broken program.
        QString firstSlot;
        bool progressShown = false;
        bool boxBesideProgress = false;
        testing::ModalHandler modals([&](QWidget* box) {
            firstSlot = window.slotList(0)->item(0)->text();
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* progress = qobject_cast<ui::ProgressDialog*>(widget); progress != nullptr) {
                    progressShown = progress->isVisible();
                    boxBesideProgress = !progress->frameGeometry().intersects(box->frameGeometry());
                    auto* buttons = progress->findChild<QDialogButtonBox*>(QStringLiteral("cancelButtons"));
                    buttons->button(QDialogButtonBox::Cancel)->click();
                }
            }
            static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
        });
        window.importFiles({ui::QtPlatform::FromNativePath(index)}, -1);

        QCOMPARE(modals.seen, QStringList{"messageBox"});
        QCOMPARE(firstSlot, QStringLiteral("A1 - First"));
        QVERIFY(progressShown);
        QVERIFY(boxBesideProgress);
        // Cancel stops before the next program; the one placed stays.
        QCOMPARE(testing::ItemTexts(window.slotList(0)).mid(0, 2), (QStringList{"A1 - First", "A2 -"}));
        QVERIFY(window.statusBar()->currentMessage().contains(QStringLiteral("cancelled")));
    }

    void windowTakesNoInputWhileJobRuns() {
        platform::ScriptedPlatform scripted;
        ui::MainWindow window(scripted);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ui::JobRunner runner(&window);
        bool busySeen = false;
        runner.run(
            [&] {
                ui::RunOnGuiThread([&] {
                    busySeen = runner.busy();
                    testing::ClickRow(window.slotList(0), 0);
                });
            },
            [](const QString& failure) { QFAIL(qPrintable(failure)); });
        QVERIFY(busySeen);
        QCOMPARE(window.selectedSlot(), -1);
        testing::ClickRow(window.slotList(0), 0);
        QCOMPARE(window.selectedSlot(), 0);
    }

    void failingJobIsReported() {
        QWidget owner;
        ui::JobRunner runner(&owner);
        QString reported;
        runner.run([] { throw std::runtime_error("disk gone"); }, [&](const QString& text) { reported = text; });
        QVERIFY(reported.contains(QStringLiteral("disk gone")));
        QVERIFY(!runner.busy());
    }
};

QTEST_MAIN(QtPlatformTest)
#include "QtPlatformTest.moc"
