#include "platform/workers.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace qv {

namespace {

std::atomic<std::size_t> limit{0};

} // namespace

void LimitWorkers(std::size_t threads) {
    limit = threads;
}

std::size_t WorkerLimit() {
    const std::size_t machine =
        std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), 8);
    return limit > 0 ? std::min<std::size_t>(limit, machine) : machine;
}

void ForEachOnWorkers(std::size_t count, std::size_t perThread,
                      const std::function<void(std::size_t)>& work, std::size_t spare) {
    std::atomic<std::size_t> next{0};
    auto share = [&] {
        for (std::size_t i = next++; i < count; i = next++)
            work(i);
    };
    const std::size_t wanted =
        (count + std::max<std::size_t>(perThread, 1) - 1) / std::max<std::size_t>(perThread, 1);
    const std::size_t most = WorkerLimit();
    const std::size_t threads = std::min(wanted, most > spare ? most - spare : 1);
    std::vector<std::thread> workers;
    try {
        for (std::size_t t = 1; t < threads; ++t)
            workers.emplace_back(share);
    } catch (const std::system_error&) {
        // No more threads to be had: those started and this one share the work.
    }
    share();
    for (std::thread& worker : workers)
        worker.join();
}

} // namespace qv
