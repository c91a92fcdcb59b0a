#pragma once
// A few threads that stay for the life of a view and take turns at the tasks of one drawing
// step. The calling thread works too; Run returns when every task is done.
//
// A round is published as one atomic word (round, task count, next task) that tasks are
// claimed from, so a helper that wakes late can only take tasks of the current round, and the
// caller does not wait for helpers that never showed up: only for the tasks that were taken.
// Helpers spin a little before they sleep, because the rounds of one frame follow each other
// within microseconds.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class CDrawWorkers {
  public:
    // nThreads counts the caller; 1 runs every task on the caller.
    explicit CDrawWorkers(int nThreads);
    ~CDrawWorkers();
    CDrawWorkers(const CDrawWorkers&) = delete;
    CDrawWorkers& operator=(const CDrawWorkers&) = delete;

    int Count() const { return static_cast<int>(m_threads.size()) + 1; }
    // Calls fn(task, worker) once for every task in [0, nTasks); worker is in [0, Count()) and
    // no two calls at the same time share one. Which worker takes which task is not fixed.
    void Run(int nTasks, const std::function<void(int, int)>& fn);

  private:
    void Loop(int worker);
    // Takes and runs tasks of the current round until none is left.
    void Work(int worker);

    std::vector<std::thread> m_threads;
    // round << 40 | task count << 20 | next task; the round wraps, which nobody minds
    std::atomic<std::uint64_t> m_claim{0};
    std::atomic<int> m_nDone{0}; // tasks of the current round finished
    const std::function<void(int, int)>* m_pFn = nullptr;
    std::atomic<bool> m_bQuit{false};

    std::mutex m_mutex;
    std::condition_variable m_wake, m_done;
    int m_nSleeping = 0;         // helpers waiting on m_wake
    bool m_bCallerWaits = false; // the caller waits on m_done
};
