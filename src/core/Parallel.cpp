#include "core/Parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace velmorant::core {

void RunInParallel(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& job) {
    if (threads == 0) {
        threads = std::max(1u, std::thread::hardware_concurrency());
    }
    const auto workers = static_cast<std::size_t>(std::min<std::size_t>(threads, count));
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureMutex;
    const auto work = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            try {
                job(i);
            } catch (...) {
                const std::lock_guard lock(failureMutex);
                if (!failure) failure = std::current_exception();
                next = count;  // no new job starts after a failure
            }
        }
    };
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < workers; ++t) {
        try {
            pool.emplace_back(work);
        } catch (const std::system_error&) {
            break;
        }
    }
    work();
    for (std::thread& t : pool) t.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

}  // namespace velmorant::core
