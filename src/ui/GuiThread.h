#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <optional>
#include <type_traits>
#include <utility>

namespace velmorant::ui {

// Runs f on the GUI thread and returns its result. From a worker this is a blocking
// queued call, so the worker waits until the GUI thread has handled it, exactly like
// a synchronous window message; on the GUI thread it is a plain call.
template <typename F>
auto RunOnGuiThread(F&& f) -> std::invoke_result_t<F> {
    using Result = std::invoke_result_t<F>;
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) {
        return f();
    }
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(app, std::forward<F>(f), Qt::BlockingQueuedConnection);
    } else {
        std::optional<Result> result;
        QMetaObject::invokeMethod(
            app, [&result, &f] { result.emplace(f()); }, Qt::BlockingQueuedConnection);
        return std::move(*result);
    }
}

}  // namespace velmorant::ui
