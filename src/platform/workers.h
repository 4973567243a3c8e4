// Work shared out over a few threads while the calling thread takes its part.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <thread>
#include <vector>

namespace qv {

// Calls `work(i)` once for every i below `count`, on the calling thread and up to seven more
// (no more than the machine has cores), and returns when all calls have returned. A thread is
// only started for at least `perThread` calls. `work` must be safe to call on several threads
// at once. When a call throws, the calls not yet made may be left out, and the first exception
// thrown is thrown again once every thread has returned.
// `spare` threads of the limit are left to other work that goes on meanwhile (one is used at
// least).
void ForEachOnWorkers(std::size_t count, std::size_t perThread,
                      const std::function<void(std::size_t)>& work, std::size_t spare = 0);

// The most threads ForEachOnWorkers uses from now on (the calling thread counted; 0: as many as
// it would). Benchmarks compare work done on the same number of threads with it.
void LimitWorkers(std::size_t threads);
// The most threads ForEachOnWorkers uses now.
std::size_t WorkerLimit();

// Calls `work(item)` for every item given, in the order given, on one thread of its own while the
// giving thread goes on with other work: the giving thread hands work on, never waiting for it,
// until Finish waits for the last call. With a limit of one thread, or no thread to be had, each
// call is made at once on the giving thread, as are those given beyond the first `most` (after
// the others). Destroying it without Finish waits for the calls as well, but drops what they
// threw.
class OrderedHandOff {
public:
    OrderedHandOff(std::size_t most, std::function<void(std::size_t)> work);
    ~OrderedHandOff();
    OrderedHandOff(const OrderedHandOff&) = delete;
    OrderedHandOff& operator=(const OrderedHandOff&) = delete;

    void Give(std::size_t item);
    // Waits for every call given; rethrows the first exception a call threw (the later calls are
    // then not made).
    void Finish();

private:
    void Run();
    void Close();

    static constexpr std::uint32_t kClosed = 0x80000000u;
    std::function<void(std::size_t)> work_;
    std::vector<std::size_t> items_;
    // How many items were given, with kClosed once no more come.
    std::atomic<std::uint32_t> given_{0};
    std::exception_ptr failed_;
    std::thread thread_;
};

} // namespace qv
