#include "platform/ProgressThread.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string_view>
#include <thread>

namespace velmorant::platform {
namespace {

// The block a job shares with its window thread. The job owns it and keeps it
// until the thread has been joined, so the thread may use it to its very end.
struct ProgressHandshake {
    // 0 until the window thread has set up its window; the only datum the job polls.
    std::atomic<std::uint64_t> window{0};
    bool cycling = false;

    // One message in flight at a time: the sender waits until it is handled,
    // which is what lets the text stay a view into the sender's buffer.
    std::mutex mutex;
    std::condition_variable posted;
    std::condition_variable handled;
    bool full = false;
    ProgressMessage message = PROGRESS_OPEN;
    std::string_view text;
    std::int64_t value = 0;
    std::uint64_t sentCount = 0;
    std::uint64_t handledCount = 0;
    bool closed = false;
};

std::atomic<std::uint64_t> gNextWindowId{1};

std::int32_t ClampToRange(std::int64_t position, std::uint16_t high) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(position, 0, high));
}

// Runs on the window thread: the window's whole life, from publishing itself to close.
void RunProgressWindow(ProgressHandshake& shake, ProgressView& view, CycleCounter& counter) {
    ProgressState state;
    state.window = gNextWindowId.fetch_add(1);
    state.cycling = shake.cycling;
    if (state.cycling) {
        state.rangeHigh = static_cast<std::uint16_t>(kCycleHigh);
    }
    view.Show(state, PROGRESS_OPEN);

    std::unique_lock lock(shake.mutex);
    shake.window.store(state.window, std::memory_order_release);

    auto nextTick = std::chrono::steady_clock::now() + std::chrono::milliseconds(kCyclePeriodMs);
    for (;;) {
        bool hasMessage = false;
        if (state.cycling) {
            hasMessage = shake.posted.wait_until(lock, nextTick, [&] { return shake.full; });
        } else {
            shake.posted.wait(lock, [&] { return shake.full; });
            hasMessage = true;
        }

        if (!hasMessage) {
            std::int32_t step = counter.load(std::memory_order_relaxed);
            if (step > kCycleHigh || step < 0) {
                step = 0;
            }
            state.position = step;
            counter.store(step + 1, std::memory_order_relaxed);
            nextTick += std::chrono::milliseconds(kCyclePeriodMs);
            const auto now = std::chrono::steady_clock::now();
            if (nextTick < now) {
                nextTick = now + std::chrono::milliseconds(kCyclePeriodMs);  // a stalled thread does not catch up
            }
            view.Show(state, PROGRESS_TIMER);
            continue;
        }

        const ProgressMessage message = shake.message;
        switch (message) {
            case PROGRESS_SETTITLE:
                state.title.assign(shake.text);
                break;
            case PROGRESS_SETSTATUS:
                state.status.assign(shake.text);
                break;
            case PROGRESS_SETRANGE:
                // The bar owns range and position of a cycling window.
                if (!state.cycling) {
                    state.rangeHigh = static_cast<std::uint16_t>(static_cast<std::uint64_t>(shake.value) & 0xFFFFu);
                    state.position = ClampToRange(state.position, state.rangeHigh);
                }
                break;
            case PROGRESS_SETPOS:
                if (!state.cycling) {
                    state.position = ClampToRange(shake.value, state.rangeHigh);
                }
                break;
            default:
                break;
        }
        if (message == PROGRESS_CLOSE) {
            view.Closed(state);
            shake.closed = true;
        } else {
            view.Show(state, message);
        }
        shake.full = false;
        shake.text = {};
        shake.handledCount += 1;
        shake.handled.notify_all();
        if (shake.closed) {
            return;
        }
    }
}

class ThreadedProgressWindow final : public ProgressWindow {
public:
    ThreadedProgressWindow(std::unique_ptr<ProgressView> view, bool cycling, CycleCounter& counter)
        : view_(std::move(view)) {
        shake_.cycling = cycling;
        thread_ = std::thread([this, &counter] { RunProgressWindow(shake_, *view_, counter); });
        while (shake_.window.load(std::memory_order_acquire) == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    ~ThreadedProgressWindow() override { Close(); }

    void SetTitle(std::string_view title) override { Send(PROGRESS_SETTITLE, title, 0); }
    void SetStatus(std::string_view status) override { Send(PROGRESS_SETSTATUS, status, 0); }
    void SetRange(std::uint32_t high) override { Send(PROGRESS_SETRANGE, {}, high); }
    void SetPosition(std::int32_t position) override { Send(PROGRESS_SETPOS, {}, position); }
    void BringToFront() override { Send(PROGRESS_TOFRONT, {}, 0); }

    void Close() override {
        if (!thread_.joinable()) {
            return;
        }
        Send(PROGRESS_CLOSE, {}, 0);
        thread_.join();
    }

private:
    void Send(ProgressMessage message, std::string_view text, std::int64_t value) {
        std::unique_lock lock(shake_.mutex);
        shake_.handled.wait(lock, [&] { return !shake_.full || shake_.closed; });
        if (shake_.closed) {
            return;
        }
        shake_.message = message;
        shake_.text = text;
        shake_.value = value;
        shake_.full = true;
        const std::uint64_t ticket = ++shake_.sentCount;
        shake_.posted.notify_one();
        shake_.handled.wait(lock, [&] { return shake_.handledCount >= ticket; });
    }

    std::unique_ptr<ProgressView> view_;
    ProgressHandshake shake_;
    std::thread thread_;
};

}  // namespace

std::unique_ptr<ProgressWindow> StartThreadedProgressWindow(std::unique_ptr<ProgressView> view, bool cycling,
                                                            CycleCounter& counter) {
    return std::make_unique<ThreadedProgressWindow>(std::move(view), cycling, counter);
}

}  // namespace velmorant::platform
