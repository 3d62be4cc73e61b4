#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>

#include "UiTestSupport.h"
#include "bank/Bank.h"
#include "platform/ScriptedPlatform.h"
#include "support/ImportFixtures.h"
#include "ui/ExportDialog.h"
#include "ui/PropertiesDialog.h"
#include "ui/RenameDialog.h"
#include "volume/ProgramRecord.h"

using namespace velmorant;
using velmorant::testing::Child;

class DialogsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        // The export dialog remembers its destination in a settings file of the test's own.
        QStandardPaths::setTestModeEnabled(true);
    }

    void exportDialogLocksReferencesForSameAsSource_data() {
        QTest::addColumn<int>("folderOption");
        QTest::addColumn<int>("referenceOption");
        QTest::addColumn<QString>("click");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<int>("mode");
        QTest::newRow("initial options") << 1 << 0 << QString() << false << 1;
        QTest::newRow("same as source chosen") << 1 << 0 << "sameAsSourceRadio" << true << 10;
        QTest::newRow("back to a bank folder keeps absolute") << 0 << 1 << "bankFolderRadio" << false << 11;
        QTest::newRow("bank list left alone") << 1 << 0 << "registerBox" << false << 1;
    }

    void exportDialogLocksReferencesForSameAsSource() {
        QFETCH(int, folderOption);
        QFETCH(int, referenceOption);
        QFETCH(QString, click);
        QFETCH(bool, locked);
        QFETCH(int, mode);
        platform::ScriptedPlatform platform;
        bank::Bank bank;
        exporting::ExportOptions options = exporting::DefaultExportOptions("/dest");
        options.folderOption = folderOption;
        options.referenceOption = referenceOption;
        ui::ExportDialog dialog(options, bank, platform, nullptr);
        dialog.show();
        if (!click.isEmpty()) QTest::mouseClick(Child<QWidget>(dialog, click.toLatin1().constData()), Qt::LeftButton);
        auto* relative = Child<QRadioButton>(dialog, "relativeRadio");
        auto* absolute = Child<QRadioButton>(dialog, "absoluteRadio");
        QCOMPARE(relative->isEnabled(), !locked);
        QCOMPARE(absolute->isEnabled(), !locked);
        QVERIFY(!locked || absolute->isChecked());
        QTest::mouseClick(Child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
        QVERIFY(options.accepted);
        QCOMPARE(exporting::ExportModeOf(options), mode);
        QCOMPARE(options.destinationPath, std::string("/dest"));
        QCOMPARE(options.registerBank, click != "registerBox");
    }

    // The next export starts where the last accepted one went; a cancelled dialog changes nothing.
    void exportDialogRemembersTheAcceptedDestination() {
        QSettings().clear();
        platform::ScriptedPlatform platform;
        bank::Bank bank;
        for (const bool accept : {true, false}) {
            exporting::ExportOptions options = exporting::DefaultExportOptions(ui::ExportDialog::StartingDestination());
            ui::ExportDialog dialog(options, bank, platform, nullptr);
            dialog.show();
            Child<QLineEdit>(dialog, "savePathEdit")->setText(accept ? "/volumes/Gig" : "/volumes/Other");
            QTest::mouseClick(Child<QPushButton>(dialog, accept ? "okButton" : "cancelButton"), Qt::LeftButton);
            QCOMPARE(ui::ExportDialog::StartingDestination(), std::string("/volumes/Gig"));
        }
    }

    // The preview shows the plan of the options on screen and writes nothing.
    void exportPreviewShowsThePlanAndWritesNothing() {
        testing::ImportVolume volume;
        bank::Bank bank;
        bank::InitBank(bank);
        QVERIFY(bank::AddProgram(bank, 0, volume.AddProgram("Mine", "Lead")).slot.has_value());
        testing::TempDir destination;
        platform::ScriptedPlatform platform;
        exporting::ExportOptions options = exporting::DefaultExportOptions(destination.path());
        ui::ExportDialog dialog(options, bank, platform, nullptr);
        dialog.show();
        Child<QLineEdit>(dialog, "bankNameEdit")->setText(QStringLiteral("Live"));
        QString plan;
        testing::ModalHandler modals([&](QWidget* preview) {
            plan = Child<QPlainTextEdit>(*preview, "planText")->toPlainText();
            preview->close();
        });
        QTest::mouseClick(Child<QPushButton>(dialog, "previewButton"), Qt::LeftButton);
        QCOMPARE(modals.seen, QStringList{"PreviewDialog"});
        QVERIFY2(plan.contains(QStringLiteral("A1 Lead\n  write    Programs/Live/Lead.afp")), qPrintable(plan));
        QVERIFY(QDir(QString::fromStdString(destination.path())).isEmpty());
        QVERIFY(!options.accepted);
        QVERIFY(platform.Calls().empty());
    }

    void renameDialogStoresWhatTheInstrumentCanHold_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("confirm");  // the answer to the question; -1 when none is expected
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("plain") << "New" << -1 << true << QByteArray("New");
        QTest::newRow("accented") << QStringLiteral("Caf\u00E9 \u20AC") << -1 << true << QByteArray("Caf\xE9 \x80");
        QTest::newRow("replaced, confirmed") << "a/b:c" << 1 << true << QByteArray("a_b_c");
        QTest::newRow("replaced, declined") << "a/b" << 0 << false << QByteArray();
        QTest::newRow("refused") << QStringLiteral("Rock \u266B") << -1 << false << QByteArray();
    }

    void renameDialogStoresWhatTheInstrumentCanHold() {
        QFETCH(QString, typed);
        QFETCH(int, confirm);
        QFETCH(bool, accepted);
        QFETCH(QByteArray, stored);
        platform::ScriptedPlatform platform;
        if (confirm >= 0) platform.AnswerConfirm(confirm == 1);
        ui::RenameDialog dialog(QStringLiteral("Old Name"), platform, nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Set new program name for Old Name"));
        auto* edit = Child<QLineEdit>(dialog, "nameEdit");
        QCOMPARE(edit->text(), QStringLiteral("Old Name"));
        QCOMPARE(edit->maxLength(), 127);
        edit->setText(typed);
        QTest::mouseClick(Child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
        QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
        QCOMPARE(QByteArray::fromStdString(dialog.newName()), stored);
        if (typed.startsWith(QStringLiteral("Rock"))) {
            QCOMPARE(platform.Boxes().size(), std::size_t{1});
            QVERIFY(QString::fromStdString(platform.Boxes().front()).contains(QStringLiteral("\u266B")));
        } else if (confirm >= 0) {
            QVERIFY(QString::fromStdString(platform.Calls().front().text).contains(QStringLiteral("\"a_b")));
        } else {
            QVERIFY(platform.Calls().empty());
        }
        QVERIFY(platform.Problems().empty());
    }

    // Names are 8-bit bytes in the records and shown decoded.
    void propertiesListsEachDependencyThenItsSamples() {
        volume::ProgramRecord record;
        record.defined = true;
        volume::DependencyRecord multisample{.sourcePath = "/vol/Strings", .foundName = "Strings", .folderName = "Bank ",
                                             .kind = volume::DependencyKind::kMultisample, .fileSize = 1024,
                                             .folderGiven = true, .crc = 0xbeef};
        const char* longPath = "/vol/Samples/A rather long folder name/L\xF6w strings sustain.afs";
        multisample.samples.push_back({.sourcePath = longPath, .foundName = "L\xF6w", .folderName = " Keys ",
                                       .kind = volume::DependencyKind::kSample, .fileSize = 1023, .crc = 0x12345678u});
        record.dependencies.push_back(multisample);
        ui::PropertiesDialog dialog(record, nullptr);
        auto* list = Child<QTreeWidget>(dialog, "dependencyList");
        QCOMPARE(list->topLevelItemCount(), 2);
        const QStringList rows[] = {{"Strings", "2", "Bank ", "/vol/Strings", "0", "beef"},
                                    {u"L\u00F6w"_qs, "1", "Keys (Relative)",
                                     u"/vol/Samples/A rather long folder name/L\u00F6w strings sustain.afs"_qs, "0", "12345678"}};
        for (int row = 0; row < 2; ++row) {
            for (int column = 0; column < 6; ++column) {
                QCOMPARE(list->topLevelItem(row)->text(column), rows[row][column]);
            }
        }

        // At its opening size every column shows whole, the long path too; the panes share a splitter.
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
        QCOMPARE(Child<QSplitter>(dialog, "panels")->count(), 2);
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
