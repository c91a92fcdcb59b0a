#pragma once
// Calls fn(task, worker) once for every task in [0, nTasks) on up to nThreads threads, the
// caller among them; worker is in [0, nThreads) and no two calls at the same time share one.
// Returns when every task is done.

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#if !defined(__SANITIZE_THREAD__)
#include <omp.h>
#endif

template <class F> void ParallelFor(int nThreads, int nTasks, const F& fn) {
    nThreads = std::min(nThreads, nTasks);
    if (nThreads <= 1) {
        for (int t = 0; t < nTasks; ++t)
            fn(t, 0);
        return;
    }
#if defined(__SANITIZE_THREAD__)
    // ThreadSanitizer cannot see libgomp's barriers and would report every hand-over as a
    // race; threads it sees share the tasks instead, so the drawing still runs in parallel.
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
