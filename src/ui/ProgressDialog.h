#pragma once

#include <QDialog>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/ProgressThread.h"

namespace Ui {
class ProgressDialog;
}

namespace velmorant::ui {

// The window a job shows while it works: a status line over a bar. It has no close
// box and ignores Escape, since only the job knows when it is finished.
class ProgressDialog : public QDialog {
    Q_OBJECT

public:
    // A cycling window steps its bar 0..10 every 100 ms with the shared counter,
    // whatever the job sends.
    ProgressDialog(bool cycling, platform::CycleCounter& counter, QWidget* centreOver);
    ~ProgressDialog() override;

    void setStatus(const QString& status);
    void setRangeHigh(std::uint32_t high);
    void setPosition(std::int32_t position);
    QString status() const;
    int rangeHigh() const;
    int position() const;
    bool cycling() const { return cycling_; }
    // Shows the Cancel button; pressing it (or Escape) only records the wish, the job
    // stops at its next step.
    void offerCancel();
    bool cancelRequested() const { return cancelRequested_; }

public Q_SLOTS:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void tick();

    std::unique_ptr<Ui::ProgressDialog> ui_;
    void requestCancel();

    bool cycling_ = false;
    bool cancelOffered_ = false;
    bool cancelRequested_ = false;
    platform::CycleCounter& counter_;
    QTimer timer_;
};

}  // namespace velmorant::ui
