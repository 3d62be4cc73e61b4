#include "ui/LogDialog.h"

#include <QFontDatabase>

#include "ui/RecordText.h"
#include "ui_LogDialog.h"

namespace velmorant::ui {

LogDialog::LogDialog(const volume::ProgramRecord& record, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::LogDialog>()) {
    ui_->setupUi(this);
    ui_->logText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ui_->logText->setPlainText(FromRecordLines(record.log));
}

LogDialog::~LogDialog() = default;

}  // namespace velmorant::ui
