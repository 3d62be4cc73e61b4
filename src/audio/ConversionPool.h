#pragma once

#include <cstddef>
#include <functional>

namespace velmorant::audio {

// Runs job(0) .. job(count - 1), each once, on at most `threads` threads (0: one per core).
// Independent files convert side by side; each job streams its file through fixed blocks,
// so memory grows with the thread count, never with the files' sizes. The first exception
// a job throws is thrown again once every job has stopped.
void RunInParallel(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& job);

}  // namespace velmorant::audio
