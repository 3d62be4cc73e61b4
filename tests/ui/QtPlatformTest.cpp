#include <QAbstractButton>
#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>

#include <set>
#include <thread>

#include "UiTestSupport.h"
#include "platform/ScriptedPlatform.h"
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
    void filtersUseQtSyntax() {
        QCOMPARE(ui::QtPlatform::FilterText({{"Alesis Fusion Program files (.afp)", "*.afp"}, {"All files", "*.*"}}),
                 QStringLiteral("Alesis Fusion Program files (.afp) (*.afp);;All files (*)"));
    }

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
                for (int p = 0; p < 3; ++p) {
                    window->SetPosition(p);
                }
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
        QCOMPARE(seen[0].windows, 1);
        QCOMPARE(seen[0].title, QStringLiteral("Dialog"));
        QCOMPARE(seen[1].title, QStringLiteral("Importing Bank.txt"));
        QCOMPARE(seen[1].status, QStringLiteral(" 0/3 - Open Program : X"));
        QCOMPARE(seen[1].range, 3);
        QCOMPARE(seen[1].position, 2);
        QCOMPARE(seen[2].range, 70);
        QCOMPARE(seen[2].position, 70);
        QCOMPARE(seen[3].windows, 0);
        QCOMPARE(seen[4].windows, 1);
        QCOMPARE(seen[4].title, QStringLiteral("Dialog"));
        QCOMPARE(LookAtProgress().windows, 0);  // the second window closed with its job's handle
    }

    void cyclingWindowStepsItsOwnBar() {
        QWidget owner;
        ui::QtPlatform platform(&owner);
        ui::JobRunner runner(&owner);
        std::set<int> positions;
        Seen first;
        runner.run(
            [&] {
                auto window = platform.StartProgressWindow(true);
                window->SetRange(500);
                window->SetPosition(400);
                first = LookAtProgress();
                for (int k = 0; k < 40 && positions.size() < 3; ++k) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                    positions.insert(LookAtProgress().position);
                }
            },
            [](const QString& failure) { QFAIL(qPrintable(failure)); });
        QCOMPARE(first.range, 10);
        QVERIFY(positions.size() >= 3);
        QVERIFY(*positions.rbegin() <= 10);
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
