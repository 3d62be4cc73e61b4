#include "ui/ExportDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSettings>
#include <QVBoxLayout>

#include "bank/Bank.h"
#include "bank/TypedName.h"
#include "core/Debug.h"
#include "export/ExportPlan.h"
#include "ui/JobRunner.h"
#include "ui/QtPlatform.h"
#include "ui/RecordText.h"
#include "ui_ExportDialog.h"

namespace velmorant::ui {
namespace {

const QString kDestinationKey = QStringLiteral("exportDestination");

// The plan in a read-only window; the refusal, when the export would be refused, stands above it.
void ShowPlan(QWidget* parent, const exporting::ExportPlan& plan) {
    QDialog window(parent);
    window.setObjectName(QStringLiteral("PreviewDialog"));
    window.setWindowTitle(QStringLiteral("Export preview"));
    auto* layout = new QVBoxLayout(&window);
    const std::string problem = plan.SpaceProblem();
    auto* verdict = new QLabel(problem.empty() ? QStringLiteral("Nothing has been written. OK in the export window "
                                                                "writes what this plan lists.")
                                               : QStringLiteral("This export would be refused: %1")
                                                     .arg(QtPlatform::FromNativePath(problem)),
                               &window);
    verdict->setObjectName(QStringLiteral("verdictLabel"));
    verdict->setWordWrap(true);
    if (!problem.empty()) {
        verdict->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
    }
    auto* text = new QPlainTextEdit(QString::fromStdString(exporting::PlanText(plan)), &window);
    text->setObjectName(QStringLiteral("planText"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &window);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    layout->addWidget(verdict);
    layout->addWidget(text, 1);
    layout->addWidget(buttons);
    window.resize(900, 520);
    window.exec();
}

}  // namespace

ExportDialog::ExportDialog(exporting::ExportOptions& options, bank::Bank& bank, platform::Platform& platform,
                           QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::ExportDialog>()),
      options_(options),
      bank_(bank),
      platform_(platform),
      jobs_(new JobRunner(this)) {
    ui_->setupUi(this);
    ui_->bankNameEdit->setText(FromRecordText(options_.bankName));
    ui_->savePathEdit->setText(QtPlatform::FromNativePath(options_.destinationPath));
    (options_.referenceOption == exporting::kAbsolutePaths ? ui_->absoluteRadio : ui_->relativeRadio)
        ->setChecked(true);
    (options_.folderOption == exporting::kSameAsSource ? ui_->sameAsSourceRadio : ui_->bankFolderRadio)
        ->setChecked(true);
    ui_->registerBox->setChecked(options_.registerBank);
    applyRules();

    connect(ui_->folderGroup, &QButtonGroup::buttonClicked, this, [this] { applyRules(); });
    connect(ui_->referenceGroup, &QButtonGroup::buttonClicked, this, [this] { applyRules(); });
    connect(ui_->browseButton, &QPushButton::clicked, this, &ExportDialog::chooseFolder);
    connect(ui_->previewButton, &QPushButton::clicked, this, &ExportDialog::preview);
    connect(ui_->okButton, &QPushButton::clicked, this, &ExportDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

ExportDialog::~ExportDialog() = default;

std::string ExportDialog::StartingDestination() {
    const QString last = QSettings().value(kDestinationKey).toString();
    return QtPlatform::ToNativePath(last.isEmpty() ? QDir::homePath() : last);
}

exporting::ExportOptions ExportDialog::chosenOptions() const {
    exporting::ExportOptions chosen = options_;
    chosen.folderOption = ui_->sameAsSourceRadio->isChecked() ? exporting::kSameAsSource : exporting::kBankNamedFolder;
    chosen.referenceOption = ui_->absoluteRadio->isChecked() ? exporting::kAbsolutePaths : exporting::kRelativePaths;
    exporting::ApplyFolderRule(chosen);
    return chosen;
}

std::optional<exporting::ExportOptions> ExportDialog::typedOptions() {
    const QByteArray typed = ui_->bankNameEdit->text().toUtf8();
    std::string refusal;
    std::optional<std::string> bankName =
        bank::TypedText(std::string_view(typed.constData(), static_cast<std::size_t>(typed.size())), refusal);
    if (!bankName) {
        platform_.ShowMessage(refusal, "Export bank", platform::Icon::kWarning);
        return std::nullopt;
    }
    exporting::ExportOptions chosen = chosenOptions();
    chosen.bankName = std::move(*bankName);
    chosen.destinationPath = QtPlatform::ToNativePath(ui_->savePathEdit->text());
    chosen.registerBank = ui_->registerBox->isChecked();
    chosen.accepted = true;
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

void ExportDialog::preview() {
    std::optional<exporting::ExportOptions> chosen = typedOptions();
    if (!chosen) {
        return;
    }
    // Planning reads every source and compares with what the destination holds: a worker's job.
    std::optional<exporting::ExportPlan> plan;
    jobs_->run(
        [&] {
            exporting::ExportPlan planned;
            if (exporting::PreviewExport(platform_, bank_, *chosen, planned) == exporting::kExportFinished) {
                plan = std::move(planned);
            }
        },
        [this](const QString& text) { platform_.ShowMessage(text.toStdString(), "Error", platform::Icon::kStop); });
    if (plan) {
        ShowPlan(this, *plan);
    }
}

void ExportDialog::accept() {
    std::optional<exporting::ExportOptions> chosen = typedOptions();
    if (!chosen) {
        return;
    }
    options_.bankName = std::move(chosen->bankName);
    options_.destinationPath = std::move(chosen->destinationPath);
    options_.folderOption = chosen->folderOption;
    options_.referenceOption = chosen->referenceOption;
    options_.registerBank = chosen->registerBank;
    options_.accepted = true;
    QSettings().setValue(kDestinationKey, QtPlatform::FromNativePath(options_.destinationPath));
    QDialog::accept();
}

}  // namespace velmorant::ui
