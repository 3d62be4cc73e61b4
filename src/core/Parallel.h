#pragma once

#include <cstddef>
#include <functional>

namespace velmorant::core {

// Runs job(0) .. job(count - 1), each once, on at most `threads` threads (0: one per core),
// the calling thread among them; a thread the system will not start leaves its share to the
// others. The first exception a job throws is thrown again once every job has stopped, and
// no job starts after it.
void RunInParallel(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& job);

}  // namespace velmorant::core
