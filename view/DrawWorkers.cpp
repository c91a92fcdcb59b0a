#include "view/DrawWorkers.h"

#include <chrono>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define CURVIST_PAUSE() _mm_pause()
#else
#define CURVIST_PAUSE() std::this_thread::yield()
#endif

namespace {

constexpr int kTaskBits = 20;
constexpr std::uint64_t kTaskMask = (std::uint64_t(1) << kTaskBits) - 1;
// About the gap between two rounds of one frame: longer would burn a core between frames.
constexpr auto kSpin = std::chrono::microseconds(50);

std::uint32_t RoundOf(std::uint64_t claim) {
    return static_cast<std::uint32_t>(claim >> (2 * kTaskBits));
}

// Calls `ready` until it is true, pausing; false if kSpin passed first.
template <class F> bool SpinFor(F ready) {
    const auto until = std::chrono::steady_clock::now() + kSpin;
    for (;;) {
        for (int i = 0; i < 32; ++i) {
            if (ready()) return true;
            CURVIST_PAUSE();
        }
        if (std::chrono::steady_clock::now() > until) return ready();
    }
}

} // namespace

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
    std::uint64_t claim = m_claim.load(std::memory_order_acquire);
    for (;;) {
        // The claim names the round: a task taken is one of the round published last.
        const int next = static_cast<int>(claim & kTaskMask);
        const int nTasks = static_cast<int>((claim >> kTaskBits) & kTaskMask);
        if (next >= nTasks) return;
        if (!m_claim.compare_exchange_weak(claim, claim + 1, std::memory_order_acq_rel,
                                           std::memory_order_acquire))
            continue;
        (*m_pFn)(next, worker);
        if (m_nDone.fetch_add(1, std::memory_order_acq_rel) + 1 == nTasks) {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_bCallerWaits) m_done.notify_one();
        }
        claim = m_claim.load(std::memory_order_acquire);
    }
}

void CDrawWorkers::Loop(int worker) {
    std::uint32_t seen = 0;
    for (;;) {
        auto news = [&] {
            return m_bQuit.load(std::memory_order_acquire) ||
                   RoundOf(m_claim.load(std::memory_order_acquire)) != seen;
        };
        if (!SpinFor(news)) {
            std::unique_lock<std::mutex> lock(m_mutex);
            ++m_nSleeping;
            m_wake.wait(lock, news);
            --m_nSleeping;
        }
        if (m_bQuit.load(std::memory_order_acquire)) return;
        seen = RoundOf(m_claim.load(std::memory_order_acquire));
        Work(worker);
    }
}

void CDrawWorkers::Run(int nTasks, const std::function<void(int, int)>& fn) {
    // More tasks than a claim can count run in order on the caller, which any caller allows.
    if (m_threads.empty() || nTasks <= 1 || static_cast<std::uint64_t>(nTasks) > kTaskMask) {
        for (int t = 0; t < nTasks; ++t)
            fn(t, 0);
        return;
    }
    const std::uint64_t round = RoundOf(m_claim.load(std::memory_order_relaxed)) + 1;
    m_pFn = &fn;
    m_nDone.store(0, std::memory_order_relaxed);
    {
        // Under the lock, so that a helper about to sleep sees the round or is woken.
        std::lock_guard<std::mutex> lock(m_mutex);
        m_claim.store(std::uint64_t(round) << (2 * kTaskBits) | std::uint64_t(nTasks) << kTaskBits,
                      std::memory_order_release);
        if (m_nSleeping) m_wake.notify_all();
    }
    Work(0);
    auto done = [&] { return m_nDone.load(std::memory_order_acquire) == nTasks; };
    if (!SpinFor(done)) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_bCallerWaits = true;
        m_done.wait(lock, done);
        m_bCallerWaits = false;
    }
    m_pFn = nullptr;
}
