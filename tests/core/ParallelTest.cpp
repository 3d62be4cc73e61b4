#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

#include "core/Parallel.h"

namespace velmorant::core {
namespace {

TEST(ParallelTest, RunsEveryJobOnceAndPassesOnAFailure) {
    std::vector<std::atomic<int>> runs(200);
    RunInParallel(runs.size(), 3, [&](std::size_t i) { ++runs[i]; });
    for (const auto& r : runs) EXPECT_EQ(r.load(), 1);
    EXPECT_THROW(RunInParallel(50, 2, [](std::size_t i) { if (i == 7) throw std::runtime_error("x"); }),
                 std::runtime_error);
}

}  // namespace
}  // namespace velmorant::core
