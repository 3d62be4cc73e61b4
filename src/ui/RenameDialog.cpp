#include "ui/RenameDialog.h"

#include "bank/TypedName.h"
#include "ui_RenameDialog.h"

namespace velmorant::ui {

RenameDialog::RenameDialog(const QString& currentName, platform::Platform& platform, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::RenameDialog>()), platform_(platform) {
    ui_->setupUi(this);
    setWindowTitle(QStringLiteral("Set new program name for %1").arg(currentName));
    ui_->nameEdit->setText(currentName);
    ui_->nameEdit->selectAll();
    connect(ui_->okButton, &QPushButton::clicked, this, &RenameDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

RenameDialog::~RenameDialog() = default;

void RenameDialog::accept() {
    const QByteArray typed = ui_->nameEdit->text().toUtf8();
    bank::RenameCheck check = bank::CheckRename(std::string_view(typed.constData(), static_cast<std::size_t>(typed.size())));
    if (!check.name) {
        platform_.ShowMessage(check.refusal, "Rename", platform::Icon::kWarning);
        return;
    }
    if (!check.changes.empty() &&
        !platform_.Confirm(check.changes + "\nRename with this name?", "Rename", platform::Icon::kQuestion)) {
        return;
    }
    name_ = std::move(*check.name);
    QDialog::accept();
}

}  // namespace velmorant::ui
