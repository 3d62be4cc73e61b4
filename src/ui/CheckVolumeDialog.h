#pragma once

#include <QDialog>

#include <memory>

#include "doctor/Report.h"
#include "platform/Platform.h"

class QTreeWidgetItem;

namespace Ui {
class CheckVolumeDialog;
}

namespace velmorant::ui {

// A volume check's report as a tree, bank -> program -> file, with the problems marked, and
// the findings that belong to no program under nodes of their own. Saves the report as an
// HTML page, a CSV table or a JSON document, by the chosen file's extension.
class CheckVolumeDialog : public QDialog {
    Q_OBJECT

public:
    CheckVolumeDialog(doctor::Report report, platform::Platform& platform, QWidget* parent);
    ~CheckVolumeDialog() override;

    void saveReport();

private:
    void fillTree();

    std::unique_ptr<Ui::CheckVolumeDialog> ui_;
    doctor::Report report_;
    platform::Platform& platform_;
};

}  // namespace velmorant::ui
