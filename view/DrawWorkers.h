#pragma once
// A few threads that stay for the life of a view and take turns at the tasks of one drawing
// step. The calling thread works too; Run returns when every task is done.

#include <condition_variable>
#include <cstddef>
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
    void Work(int worker);

    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_wake, m_done;
    const std::function<void(int, int)>* m_pFn = nullptr;
    int m_nTasks = 0;
    int m_nNext = 0; // next task to hand out
    int m_nBusy = 0; // helpers still working on this round
    unsigned m_nRound = 0;
    bool m_bQuit = false;
};
