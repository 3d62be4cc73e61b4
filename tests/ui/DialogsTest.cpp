#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "UiTestSupport.h"
#include "platform/ScriptedPlatform.h"
#include "ui/ExportDialog.h"
#include "ui/LogDialog.h"
#include "ui/PropertiesDialog.h"
#include "ui/RenameDialog.h"
#include "volume/ProgramRecord.h"

using namespace velmorant;
using velmorant::testing::Child;

namespace {

volume::DependencyRecord Dependency(const char* name, std::int32_t kind, std::int64_t size, const char* folder,
                                    std::int32_t folderGiven, std::uint32_t crc) {
    volume::DependencyRecord d;
    d.foundName = name;
    d.kind = kind;
    d.fileSize = size;
    d.folderName = folder;
    d.folderGiven = folderGiven;
    d.crc = crc;
    d.sourcePath = std::string("/vol/") + name;
    return d;
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exportDialogLocksReferencesForSameAsSource_data() {
        QTest::addColumn<int>("folderOption");
        QTest::addColumn<int>("referenceOption");
        QTest::addColumn<QString>("click");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<int>("mode");
        QTest::newRow("initial options") << 1 << 0 << QString() << false << 1;
        QTest::newRow("same as source chosen") << 1 << 0 << "sameAsSourceRadio" << true << 10;
        QTest::newRow("opened on same as source") << 0 << 0 << QString() << true << 10;
        QTest::newRow("back to a bank folder keeps absolute") << 0 << 1 << "bankFolderRadio" << false << 11;
        QTest::newRow("absolute chosen") << 1 << 0 << "absoluteRadio" << false << 11;
    }

    void exportDialogLocksReferencesForSameAsSource() {
        QFETCH(int, folderOption);
        QFETCH(int, referenceOption);
        QFETCH(QString, click);
        QFETCH(bool, locked);
        QFETCH(int, mode);
        platform::ScriptedPlatform platform;
        exporting::ExportOptions options = exporting::DefaultExportOptions("/dest");
        options.folderOption = folderOption;
        options.referenceOption = referenceOption;
        ui::ExportDialog dialog(options, platform, nullptr);
        dialog.show();
        if (!click.isEmpty()) {
            QTest::mouseClick(Child<QRadioButton>(dialog, click.toLatin1().constData()), Qt::LeftButton);
        }
        auto* relative = Child<QRadioButton>(dialog, "relativeRadio");
        auto* absolute = Child<QRadioButton>(dialog, "absoluteRadio");
        QCOMPARE(relative->isEnabled(), !locked);
        QCOMPARE(absolute->isEnabled(), !locked);
        if (locked) {
            QVERIFY(absolute->isChecked());
        }
        QTest::mouseClick(Child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
        QVERIFY(options.accepted);
        QCOMPARE(exporting::ExportModeOf(options), mode);
        QCOMPARE(options.destinationPath, std::string("/dest"));
    }

    void exportDialogCancelKeepsOptionsAndBrowseFillsPath() {
        platform::ScriptedPlatform platform;
        exporting::ExportOptions options = exporting::DefaultExportOptions("/dest");
        {
            ui::ExportDialog dialog(options, platform, nullptr);
            dialog.show();
            Child<QLineEdit>(dialog, "bankNameEdit")->setText(QStringLiteral("Changed"));
            QTest::mouseClick(Child<QRadioButton>(dialog, "sameAsSourceRadio"), Qt::LeftButton);
            QTest::mouseClick(Child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
        }
        QVERIFY(!options.accepted);
        QCOMPARE(options.bankName, std::string("New_Bank"));
        QCOMPARE(options.folderOption, static_cast<int>(exporting::kBankNamedFolder));

        platform.AnswerFolder("/chosen/volume");
        ui::ExportDialog dialog(options, platform, nullptr);
        dialog.show();
        QVERIFY(Child<QLineEdit>(dialog, "savePathEdit")->isReadOnly());
        QTest::mouseClick(Child<QPushButton>(dialog, "browseButton"), Qt::LeftButton);
        QCOMPARE(platform.Calls().front().text, std::string("Select a destination folder"));
        QTest::mouseClick(Child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
        QCOMPARE(options.destinationPath, std::string("/chosen/volume"));
        QVERIFY(platform.Problems().empty());
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
        if (confirm >= 0) {
            platform.AnswerConfirm(confirm == 1);
        }
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

    void propertiesListsEachDependencyThenItsSamples() {
        volume::ProgramRecord record;
        record.defined = 1;
        record.programName = "Tree";
        volume::DependencyRecord multisample =
            Dependency("Strings", volume::kKindMultisample, 1024, "Bank ", 1, 0x0000beefu);
        multisample.samples.push_back(Dependency("L\xF6w", volume::kKindSample, 1023, " Keys ", 0, 0x12345678u));
        multisample.samples.push_back(Dependency("High", volume::kKindSample, 0, "Keys", 1, 0));
        record.dependencies.push_back(multisample);
        record.dependencies.push_back(Dependency("Rom Piano", volume::kKindRom, 0, "", 0, 0));

        ui::PropertiesDialog dialog(record, nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Program Properties"));
        auto* list = Child<QTreeWidget>(dialog, "dependencyList");
        QCOMPARE(list->columnCount(), 6);
        QCOMPARE(list->headerItem()->text(1), QStringLiteral("Size (Kb)"));
        QCOMPARE(list->topLevelItemCount(), 4);
        const QStringList rows[] = {{"Strings", "2", "Bank ", "/vol/Strings", "0", "beef"},
                                    {QStringLiteral("L\u00F6w"), "1", "Keys (Relative)", QStringLiteral("/vol/L\u00F6w"), "0", "12345678"},
                                    {"High", "1", "Keys", "/vol/High", "0", "0"},
                                    {"Rom Piano", "1", "", "/vol/Rom Piano", "0", "0"}};
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 6; ++column) {
                QCOMPARE(list->topLevelItem(row)->text(column), rows[row][column]);
            }
            QVERIFY(!list->topLevelItem(row)->icon(0).isNull());
        }
        QVERIFY(!record.summary.empty());
        QVERIFY(Child<QPlainTextEdit>(dialog, "infoText")->toPlainText().contains(QStringLiteral("Type")));
    }

    void logShowsEveryLine() {
        volume::ProgramRecord record;
        volume::AppendLog(record, "first line");
        volume::AppendLog(record, "caf\xE9 line");
        ui::LogDialog dialog(record, nullptr);
        auto* text = Child<QPlainTextEdit>(dialog, "logText");
        QVERIFY(text->isReadOnly());
        QCOMPARE(text->toPlainText(), QStringLiteral("first line\ncaf\u00E9 line\n"));
        QCOMPARE(text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
