#pragma once

#include <QDialog>

#include <memory>

#include "export/ExportBank.h"
#include "platform/Platform.h"

namespace Ui {
class ExportDialog;
}

namespace velmorant::ui {

// The options of an export. It only maps its widgets to and from the options block,
// which keeps the last accepted values between exports.
class ExportDialog : public QDialog {
    Q_OBJECT

public:
    ExportDialog(exporting::ExportOptions& options, platform::Platform& platform, QWidget* parent);
    ~ExportDialog() override;

    // Refuses a bank name with a character the instrument cannot store.
    void accept() override;

private:
    // The options the widgets show, after the export's folder rule.
    exporting::ExportOptions chosenOptions() const;
    void applyRules();
    void chooseFolder();

    std::unique_ptr<Ui::ExportDialog> ui_;
    exporting::ExportOptions& options_;
    platform::Platform& platform_;
};

}  // namespace velmorant::ui
