#include "platform/workers.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace qv {

void ForEachOnWorkers(std::size_t count, std::size_t perThread,
                      const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> next{0};
    auto share = [&] {
        for (std::size_t i = next++; i < count; i = next++)
            work(i);
    };
    const std::size_t wanted =
        (count + std::max<std::size_t>(perThread, 1) - 1) / std::max<std::size_t>(perThread, 1);
    const std::size_t threads =
        std::min<std::size_t>({wanted, std::max(1u, std::thread::hardware_concurrency()), 8});
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
