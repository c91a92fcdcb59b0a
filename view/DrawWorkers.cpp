#include "view/DrawWorkers.h"

CDrawWorkers::CDrawWorkers(int nThreads) {
    for (int i = 1; i < nThreads; ++i)
        m_threads.emplace_back([this, i] { Loop(i); });
}

CDrawWorkers::~CDrawWorkers() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bQuit = true;
    }
    m_wake.notify_all();
    for (auto& t : m_threads)
        t.join();
}

void CDrawWorkers::Work(int worker) {
    for (;;) {
        int task;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_nNext >= m_nTasks) return;
            task = m_nNext++;
        }
        (*m_pFn)(task, worker);
    }
}

void CDrawWorkers::Loop(int worker) {
    unsigned seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [&] { return m_bQuit || m_nRound != seen; });
            if (m_bQuit) return;
            seen = m_nRound;
        }
        Work(worker);
        std::lock_guard<std::mutex> lock(m_mutex);
        if (--m_nBusy == 0) m_done.notify_one();
    }
}

void CDrawWorkers::Run(int nTasks, const std::function<void(int, int)>& fn) {
    if (m_threads.empty() || nTasks <= 1) {
        for (int t = 0; t < nTasks; ++t)
            fn(t, 0);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pFn = &fn;
        m_nTasks = nTasks;
        m_nNext = 0;
        m_nBusy = static_cast<int>(m_threads.size());
        ++m_nRound;
    }
    m_wake.notify_all();
    Work(0);
    std::unique_lock<std::mutex> lock(m_mutex);
    m_done.wait(lock, [&] { return m_nBusy == 0; });
    m_pFn = nullptr;
}
