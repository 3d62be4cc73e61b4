#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>

#include <memory>

#include "export/ExportBank.h"
#include "platform/Platform.h"
#include "volume/ProgramRecord.h"

namespace Ui {
class RenameDialog;
class LogDialog;
class PropertiesDialog;
class AboutDialog;
class ExportDialog;
}  // namespace Ui

namespace velmorant::ui {

// Asks for a program's new name; the window title names the program.
class RenameDialog : public QDialog {
    Q_OBJECT

public:
    RenameDialog(const QString& currentName, QWidget* parent);
    ~RenameDialog() override;
    QString newName() const;

private:
    std::unique_ptr<Ui::RenameDialog> ui_;
};

// A program's log as it was written.
class LogDialog : public QDialog {
    Q_OBJECT

public:
    LogDialog(const volume::ProgramRecord& record, QWidget* parent);
    ~LogDialog() override;

private:
    std::unique_ptr<Ui::LogDialog> ui_;
};

// A program's summary and its dependency tree, one row per file, a multisample's
// samples directly after it.
class PropertiesDialog : public QDialog {
    Q_OBJECT

public:
    // Rebuilds the record's summary before showing it.
    PropertiesDialog(volume::ProgramRecord& record, QWidget* parent);
    ~PropertiesDialog() override;

    // The icons of the dependency kinds: ROM, sample, multisample.
    static QIcon KindIcon(int kind);

private:
    std::unique_ptr<Ui::PropertiesDialog> ui_;
};

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent);
    ~AboutDialog() override;

    static QString CreditsText();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::AboutDialog> ui_;
};

// The options of an export. It only maps its widgets to and from the options block,
// which keeps the last accepted values between exports.
class ExportDialog : public QDialog {
    Q_OBJECT

public:
    ExportDialog(exporting::ExportOptions& options, platform::Platform& platform, QWidget* parent);
    ~ExportDialog() override;

    void accept() override;

private:
    // "Same as source" forces absolute references and locks that choice.
    void applyRules();
    void chooseFolder();

    std::unique_ptr<Ui::ExportDialog> ui_;
    exporting::ExportOptions& options_;
    platform::Platform& platform_;
};

}  // namespace velmorant::ui
