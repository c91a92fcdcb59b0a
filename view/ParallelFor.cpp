#include "view/ParallelFor.h"

#include <algorithm>

#if defined(__SANITIZE_THREAD__)
#include <atomic>
#include <thread>
#include <vector>
#else
#include <omp.h>
#endif

void ParallelFor(int nThreads, int nTasks, const std::function<void(int, int)>& fn) {
    nThreads = std::min(nThreads, nTasks);
    if (nThreads <= 1) {
        for (int t = 0; t < nTasks; ++t)
            fn(t, 0);
        return;
    }
#if defined(__SANITIZE_THREAD__)
    // ThreadSanitizer cannot see libgomp's barriers and would report every hand-over as a
    // race; threads it can see share the tasks instead, so the drawing still runs in parallel.
    std::atomic<int> next{0};
    auto work = [&](int worker) {
        for (int t; (t = next.fetch_add(1, std::memory_order_relaxed)) < nTasks;)
            fn(t, worker);
    };
    std::vector<std::thread> helpers;
    for (int w = 1; w < nThreads; ++w)
        helpers.emplace_back(work, w);
    work(0);
    for (std::thread& h : helpers)
        h.join();
#else
#pragma omp parallel for num_threads(nThreads) schedule(dynamic, 1)
    for (int t = 0; t < nTasks; ++t)
        fn(t, omp_get_thread_num());
#endif
}
