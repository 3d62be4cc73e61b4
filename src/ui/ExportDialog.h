#pragma once

#include <QDialog>

#include <memory>
#include <optional>
#include <string>

#include "export/ExportBank.h"
#include "platform/Platform.h"

namespace Ui {
class ExportDialog;
}

namespace velmorant::bank {
struct Bank;
}

namespace velmorant::ui {

class JobRunner;

// The options of an export. It only maps its widgets to and from the options block,
// which keeps the last accepted values between exports. Preview shows what the export
// would do with the options shown, writing nothing.
class ExportDialog : public QDialog {
    Q_OBJECT

public:
    ExportDialog(exporting::ExportOptions& options, bank::Bank& bank, platform::Platform& platform,
                 QWidget* parent);
    ~ExportDialog() override;

    // The last destination accepted, in this run or an earlier one, else the user's home.
    static std::string StartingDestination();

    // Refuses a bank name with a character the instrument cannot store.
    void accept() override;
    void preview();

private:
    // The options the widgets show, after the export's folder rule.
    exporting::ExportOptions chosenOptions() const;
    // The same with the typed name and destination; nullopt, after a box, for a name the
    // instrument cannot store.
    std::optional<exporting::ExportOptions> typedOptions();
    void applyRules();
    void chooseFolder();

    std::unique_ptr<Ui::ExportDialog> ui_;
    exporting::ExportOptions& options_;
    bank::Bank& bank_;
    platform::Platform& platform_;
    JobRunner* jobs_ = nullptr;
};

}  // namespace velmorant::ui
