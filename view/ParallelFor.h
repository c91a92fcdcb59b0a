#pragma once
// The parallel step of the scene renderer, on OpenMP.

#include <functional>

// Calls fn(task, worker) once for every task in [0, nTasks) on up to nThreads threads, the
// caller among them; worker is in [0, nThreads) and no two calls at the same time share one.
// Which worker takes which task is not fixed. Returns when every task is done.
void ParallelFor(int nThreads, int nTasks, const std::function<void(int, int)>& fn);
