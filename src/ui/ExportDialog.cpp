#include "ui/ExportDialog.h"

#include "bank/TypedName.h"
#include "core/Debug.h"
#include "ui/QtPlatform.h"
#include "ui/RecordText.h"
#include "ui_ExportDialog.h"

namespace velmorant::ui {

ExportDialog::ExportDialog(exporting::ExportOptions& options, platform::Platform& platform, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ExportDialog>()), options_(options), platform_(platform) {
    ui_->setupUi(this);
    ui_->bankNameEdit->setText(FromRecordText(options_.bankName));
    ui_->savePathEdit->setText(QtPlatform::FromNativePath(options_.destinationPath));
    (options_.referenceOption == exporting::kAbsolutePaths ? ui_->absoluteRadio : ui_->relativeRadio)
        ->setChecked(true);
    (options_.folderOption == exporting::kSameAsSource ? ui_->sameAsSourceRadio : ui_->bankFolderRadio)
        ->setChecked(true);
    applyRules();

    connect(ui_->folderGroup, &QButtonGroup::buttonClicked, this, [this] { applyRules(); });
    connect(ui_->referenceGroup, &QButtonGroup::buttonClicked, this, [this] { applyRules(); });
    connect(ui_->browseButton, &QPushButton::clicked, this, &ExportDialog::chooseFolder);
    connect(ui_->okButton, &QPushButton::clicked, this, &ExportDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

ExportDialog::~ExportDialog() = default;

exporting::ExportOptions ExportDialog::chosenOptions() const {
    exporting::ExportOptions chosen = options_;
    chosen.folderOption = ui_->sameAsSourceRadio->isChecked() ? exporting::kSameAsSource : exporting::kBankNamedFolder;
    chosen.referenceOption = ui_->absoluteRadio->isChecked() ? exporting::kAbsolutePaths : exporting::kRelativePaths;
    exporting::ApplyFolderRule(chosen);
    return chosen;
}

void ExportDialog::applyRules() {
    const exporting::ExportOptions chosen = chosenOptions();
    const bool locked = exporting::ReferenceOptionLocked(chosen);
    (chosen.referenceOption == exporting::kAbsolutePaths ? ui_->absoluteRadio : ui_->relativeRadio)->setChecked(true);
    ui_->relativeRadio->setEnabled(!locked);
    ui_->absoluteRadio->setEnabled(!locked);
}

void ExportDialog::chooseFolder() {
    const std::optional<std::string> folder = platform_.ChooseFolder("Select a destination folder");
    if (folder) {
        core::DebugPrint("Chose %s", folder->c_str());
        ui_->savePathEdit->setText(QtPlatform::FromNativePath(*folder));
    }
    applyRules();
}

void ExportDialog::accept() {
    const QByteArray typed = ui_->bankNameEdit->text().toUtf8();
    std::string refusal;
    std::optional<std::string> bankName =
        bank::TypedText(std::string_view(typed.constData(), static_cast<std::size_t>(typed.size())), refusal);
    if (!bankName) {
        platform_.ShowMessage(refusal, "Export bank", platform::Icon::kWarning);
        return;
    }
    const exporting::ExportOptions chosen = chosenOptions();
    options_.bankName = std::move(*bankName);
    options_.destinationPath = QtPlatform::ToNativePath(ui_->savePathEdit->text());
    options_.folderOption = chosen.folderOption;
    options_.referenceOption = chosen.referenceOption;
    options_.accepted = true;
    QDialog::accept();
}

}  // namespace velmorant::ui
