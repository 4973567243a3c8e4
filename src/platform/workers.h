// Work shared out over a few threads while the calling thread takes its part.
#pragma once

#include <cstddef>
#include <functional>

namespace qv {

// Calls `work(i)` once for every i below `count`, on the calling thread and up to seven more
// (no more than the machine has cores), and returns when all calls have returned. A thread is
// only started for at least `perThread` calls. `work` must be safe to call on several threads
// at once.
// `spare` threads of the limit are left to other work that goes on meanwhile (one is used at
// least).
void ForEachOnWorkers(std::size_t count, std::size_t perThread,
                      const std::function<void(std::size_t)>& work, std::size_t spare = 0);

// The most threads ForEachOnWorkers uses from now on (the calling thread counted; 0: as many as
// it would). Benchmarks compare work done on the same number of threads with it.
void LimitWorkers(std::size_t threads);
// The most threads ForEachOnWorkers uses now.
std::size_t WorkerLimit();

} // namespace qv
