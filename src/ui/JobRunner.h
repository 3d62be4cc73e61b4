#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace velmorant::ui {

// Runs one job on a worker thread while the GUI thread keeps serving the job's
// dialogs and repainting. The window takes no input until the job returns; other
// top-level windows (the choosers, boxes and progress window the job opens) do.
class JobRunner : public QObject {
    Q_OBJECT

public:
    explicit JobRunner(QWidget* window);

    // Returns when the job has returned. A job that throws is reported by the
    // handler with the exception's text on the GUI thread.
    void run(const std::function<void()>& job, const std::function<void(const QString&)>& onFailure);
    bool busy() const { return busy_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool belongsToWindow(QObject* object) const;

    QPointer<QWidget> window_;
    bool busy_ = false;
};

}  // namespace velmorant::ui
