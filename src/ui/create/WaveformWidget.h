#pragma once

#include <QString>
#include <QWidget>

#include <atomic>
#include <memory>

#include "audio/Peaks.h"

namespace velmorant::ui {

// The selected sample's waveform with its sustain loop. The peaks are read on a worker
// thread; a result for a file selected before the current one is dropped.
class WaveformWidget : public QWidget {
    Q_OBJECT

public:
    static constexpr std::size_t kBuckets = 1024;

    explicit WaveformWidget(QWidget* parent = nullptr);
    ~WaveformWidget() override;

    // Starts reading the file's peaks; an empty path clears the view.
    void showFile(const QString& path);
    const QString& file() const { return path_; }
    // The peaks drawn, once the worker is done (null before).
    const audio::Peaks* peaks() const { return peaks_.get(); }
    bool loading() const { return loading_; }
    QSize sizeHint() const override;

Q_SIGNALS:
    void peaksShown();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString path_;
    std::shared_ptr<const audio::Peaks> peaks_;
    std::shared_ptr<std::atomic<bool>> cancel_;  // the running worker's, set when superseded
    unsigned generation_ = 0;
    bool loading_ = false;
};

}  // namespace velmorant::ui
