// The worker pool: every task of a round runs once, on a worker that no other task of the
// round holds at the same time, for rounds in quick succession and after helpers fell asleep.

#include "view/DrawWorkers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

TEST(DrawWorkersTest, EveryTaskOnceOnAWorkerOfItsOwn) {
    for (int nThreads : {1, 2, 3, 8}) {
        CDrawWorkers workers(nThreads);
        ASSERT_EQ(workers.Count(), nThreads);
        for (int round = 0; round < 3000; ++round) {
            // Round sizes from none to more than the threads; now and then a first task long
            // enough for the others to run beside it and for the caller to sleep, and a pause
            // for the helpers to.
            const int nTasks = round % 41;
            const bool slow = round % 500 == 7;
            auto runs = std::make_unique<std::atomic<int>[]>(static_cast<std::size_t>(nTasks) + 1);
            std::vector<std::atomic<bool>> busy(static_cast<std::size_t>(nThreads));
            std::atomic<int> bad{0};
            workers.Run(nTasks, [&](int t, int w) {
                if (t < 0 || t >= nTasks || w < 0 || w >= nThreads) {
                    ++bad;
                    return;
                }
                if (busy[static_cast<std::size_t>(w)].exchange(true)) ++bad;
                ++runs[static_cast<std::size_t>(t)];
                if (slow && t == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
                busy[static_cast<std::size_t>(w)] = false;
            });
            ASSERT_EQ(bad.load(), 0) << nThreads << " threads, round " << round;
            for (int t = 0; t < nTasks; ++t)
                ASSERT_EQ(runs[static_cast<std::size_t>(t)].load(), 1)
                    << nThreads << " threads, round " << round << ", task " << t;
            if (slow) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
}

} // namespace
