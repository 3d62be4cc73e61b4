#include "ui/create/WaveformWidget.h"

#include <QFileInfo>
#include <QPainter>
#include <QThread>

#include <algorithm>

#include "ui/QtPlatform.h"

namespace velmorant::ui {

WaveformWidget::WaveformWidget(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(60);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

WaveformWidget::~WaveformWidget() {
    if (cancel_) {
        cancel_->store(true);
    }
}

QSize WaveformWidget::sizeHint() const { return {400, 90}; }

void WaveformWidget::showFile(const QString& path) {
    if (cancel_) {
        cancel_->store(true);
    }
    cancel_.reset();
    const unsigned generation = ++generation_;
    path_ = path;
    peaks_.reset();
    loading_ = !path.isEmpty();
    update();
    if (path.isEmpty()) {
        return;
    }
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    auto result = std::make_shared<audio::Peaks>();
    cancel_ = cancel;
    // The thread owns nothing of the widget: it may outlive it, and then only deletes itself.
    QThread* worker = QThread::create([native = QtPlatform::ToNativePath(path), cancel, result] {
        *result = audio::ComputePeaks(native, kBuckets, cancel.get());
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &QThread::finished, this, [this, generation, cancel, result] {
        if (generation != generation_ || cancel->load()) {
            return;  // a later selection owns the view
        }
        loading_ = false;
        peaks_ = result;
        update();
        Q_EMIT peaksShown();
    });
    worker->start(QThread::LowPriority);
}

void WaveformWidget::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect area = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(area, QColor(24, 28, 34));
    painter.setPen(QColor(70, 78, 90));
    painter.drawRect(area);
    const int middle = area.center().y();
    painter.drawLine(area.left(), middle, area.right(), middle);

    auto caption = [&](const QString& text) {
        painter.setPen(QColor(170, 178, 190));
        painter.drawText(area.adjusted(6, 0, -6, 0), Qt::AlignCenter, text);
    };
    if (path_.isEmpty()) {
        caption(tr("Select a sample to see its waveform"));
        return;
    }
    if (loading_ || !peaks_) {
        caption(tr("Reading %1…").arg(QFileInfo(path_).fileName()));
        return;
    }
    if (!peaks_->error.empty() || peaks_->low.empty()) {
        caption(peaks_->error.empty() ? tr("No sound in %1").arg(QFileInfo(path_).fileName())
                                      : QString::fromStdString(peaks_->error));
        return;
    }

    const std::size_t buckets = peaks_->low.size();
    const double half = (area.height() - 4) / 2.0;
    const int width = std::max(area.width() - 1, 1);
    auto xOf = [&](std::size_t bucket) {
        return area.left() + 1 + static_cast<int>(static_cast<double>(bucket) * width / static_cast<double>(buckets));
    };
    // Shade the loop under the wave so its ends read as a span, not two stray lines.
    if (peaks_->loop) {
        const int start = xOf(peaks_->loopStartBucket);
        const int end = xOf(peaks_->loopEndBucket + 1);
        painter.fillRect(QRect(QPoint(start, area.top() + 1), QPoint(end, area.bottom() - 1)), QColor(60, 90, 60));
    }
    painter.setPen(QColor(120, 200, 255));
    for (int x = 0; x < width; ++x) {
        // One column per pixel: the widest range of the buckets it covers.
        const auto first = static_cast<std::size_t>(static_cast<double>(x) * buckets / width);
        const auto last = std::max(first + 1, static_cast<std::size_t>(static_cast<double>(x + 1) * buckets / width));
        float low = peaks_->low[first];
        float high = peaks_->high[first];
        for (std::size_t b = first + 1; b < std::min(last, buckets); ++b) {
            low = std::min(low, peaks_->low[b]);
            high = std::max(high, peaks_->high[b]);
        }
        const int top = middle - static_cast<int>(std::clamp(high, -1.0F, 1.0F) * half);
        const int bottom = middle - static_cast<int>(std::clamp(low, -1.0F, 1.0F) * half);
        painter.drawLine(area.left() + 1 + x, top, area.left() + 1 + x, bottom);
    }
    if (peaks_->loop) {
        painter.setPen(QPen(QColor(120, 230, 120), 1));
        const int start = xOf(peaks_->loopStartBucket);
        const int end = xOf(peaks_->loopEndBucket + 1);
        painter.drawLine(start, area.top() + 1, start, area.bottom() - 1);
        painter.drawLine(end, area.top() + 1, end, area.bottom() - 1);
        painter.drawText(start + 3, area.top() + 12, tr("Loop"));
    }
}

}  // namespace velmorant::ui
