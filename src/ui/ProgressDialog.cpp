#include "ui/ProgressDialog.h"

#include <QCloseEvent>
#include <QPushButton>

#include <algorithm>

#include "ui_ProgressDialog.h"

namespace velmorant::ui {

ProgressDialog::ProgressDialog(bool cycling, platform::CycleCounter& counter, QWidget* centreOver)
    : QDialog(centreOver, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui_(std::make_unique<Ui::ProgressDialog>()),
      cycling_(cycling),
      counter_(counter) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose, false);
    if (centreOver != nullptr) {
        adjustSize();
        const QRect area = centreOver->frameGeometry();
        move(area.center() - rect().center());
    }
    if (cycling_) {
        ui_->progressBar->setRange(0, platform::kCycleHigh);
        connect(&timer_, &QTimer::timeout, this, &ProgressDialog::tick);
        timer_.start(platform::kCyclePeriodMs);
    }
    connect(ui_->cancelButtons, &QDialogButtonBox::rejected, this, &ProgressDialog::requestCancel);
}

ProgressDialog::~ProgressDialog() = default;

void ProgressDialog::setStatus(const QString& status) {
    ui_->statusLine->setText(status);
    ui_->statusLine->setCursorPosition(0);
}

void ProgressDialog::setRangeHigh(std::uint32_t high) {
    if (cycling_) {
        return;
    }
    // The bar's range is a 16-bit quantity; larger counts keep their low bits.
    ui_->progressBar->setRange(0, static_cast<int>(high & 0xFFFFu));
}

void ProgressDialog::setPosition(std::int32_t position) {
    if (cycling_) {
        return;
    }
    ui_->progressBar->setValue(std::clamp(position, 0, ui_->progressBar->maximum()));
}

QString ProgressDialog::status() const {
    return ui_->statusLine->text();
}

int ProgressDialog::rangeHigh() const {
    return ui_->progressBar->maximum();
}

int ProgressDialog::position() const {
    return ui_->progressBar->value();
}

void ProgressDialog::offerCancel() {
    cancelOffered_ = true;
    ui_->cancelButtons->show();
    adjustSize();
}

void ProgressDialog::requestCancel() {
    if (!cancelOffered_ || cancelRequested_) {
        return;
    }
    cancelRequested_ = true;
    ui_->cancelButtons->button(QDialogButtonBox::Cancel)->setEnabled(false);
    setStatus(QStringLiteral("Cancelling after the current step..."));
}

void ProgressDialog::reject() {
    // Escape never closes the window of a running job; where the job allows it, it
    // asks the job to stop.
    requestCancel();
}

void ProgressDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void ProgressDialog::tick() {
    std::int32_t step = counter_.load(std::memory_order_relaxed);
    if (step > platform::kCycleHigh || step < 0) {
        step = 0;
    }
    ui_->progressBar->setValue(step);
    counter_.store(step + 1, std::memory_order_relaxed);
}

}  // namespace velmorant::ui
