#pragma once

#include <QDialog>

#include <memory>

#include "volume/ProgramRecord.h"

namespace Ui {
class LogDialog;
}

namespace velmorant::ui {

// A program's log as it was written.
class LogDialog : public QDialog {
    Q_OBJECT

public:
    LogDialog(const volume::ProgramRecord& record, QWidget* parent);
    ~LogDialog() override;

private:
    std::unique_ptr<Ui::LogDialog> ui_;
};

}  // namespace velmorant::ui
