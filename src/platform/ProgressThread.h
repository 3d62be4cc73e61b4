#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Platform.h"

namespace velmorant::platform {

// Messages the job sends to its progress window. The first four keep the numbers
// the window has always used; the rest are the close, front and timer events.
enum ProgressMessage : std::uint32_t {
    PROGRESS_OPEN = 0,
    PROGRESS_CLOSE = 0x0010,
    PROGRESS_TIMER = 0x0113,
    PROGRESS_SETSTATUS = 71502,
    PROGRESS_SETRANGE = 71503,
    PROGRESS_SETPOS = 71504,
    PROGRESS_SETTITLE = 71505,
    PROGRESS_TOFRONT = 71508,
};

// Position steps of a cycling window: 0, 1, ..., 10, then 0 again.
inline constexpr std::int32_t kCycleHigh = 10;
inline constexpr int kCyclePeriodMs = 100;

// What the window shows. The bar's position always lies within 0..rangeHigh.
struct ProgressState {
    std::uint64_t window = 0;  // the handle this window published, new for every window
    std::string title = "Dialog";
    std::string status;
    std::uint16_t rangeHigh = 100;
    std::int32_t position = 0;
    bool cycling = false;
};

// Draws a progress window. Called only on the window's own thread, once when the
// window opens, after every message or timer tick, and once when it closes.
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void Show(const ProgressState& state, ProgressMessage cause) = 0;
    virtual void Closed(const ProgressState& state) = 0;
};

// The counter a cycling window steps; shared by successive windows of one platform.
using CycleCounter = std::atomic<std::int32_t>;

// Starts a window on a thread of its own and returns once the thread has published
// it. Messages are synchronous: each call returns after the window thread has
// handled it, texts copied. Close (or destruction) ends and joins the thread.
std::unique_ptr<ProgressWindow> StartThreadedProgressWindow(std::unique_ptr<ProgressView> view, bool cycling,
                                                            CycleCounter& counter);

}  // namespace velmorant::platform
