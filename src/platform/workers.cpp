#include "platform/workers.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace qv {

namespace {

std::atomic<std::size_t> limit{0};

} // namespace

void LimitWorkers(std::size_t threads) {
    limit = threads;
}

std::size_t WorkerLimit() {
    // Asked once: the system answers by reading a file, which a caller that asks for every
    // shape it reads would pay each time.
    static const std::size_t machine =
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

OrderedHandOff::OrderedHandOff(std::size_t most, std::function<void(std::size_t)> work)
    : work_(std::move(work)) {
    if (WorkerLimit() < 2 || most == 0 || most >= kClosed)
        return;
    items_.resize(most);
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        items_.clear(); // each call is made as it is given
    }
}

OrderedHandOff::~OrderedHandOff() {
    Close();
}

void OrderedHandOff::Give(std::size_t item) {
    if (!thread_.joinable()) {
        if (!failed_)
            work_(item);
        return;
    }
    const std::uint32_t given = given_.load(std::memory_order_relaxed) & ~kClosed;
    if (given == items_.size()) {
        // More than was said: the rest is called here, after those given before.
        Close();
        if (!failed_)
            work_(item);
        return;
    }
    items_[given] = item;
    given_.store(given + 1, std::memory_order_release);
    given_.notify_one();
}

void OrderedHandOff::Finish() {
    Close();
    if (failed_)
        std::rethrow_exception(std::exchange(failed_, nullptr));
}

void OrderedHandOff::Close() {
    if (!thread_.joinable())
        return;
    given_.fetch_or(kClosed, std::memory_order_release);
    given_.notify_one();
    thread_.join();
}

void OrderedHandOff::Run() {
    std::uint32_t done = 0;
    for (;;) {
        std::uint32_t given = given_.load(std::memory_order_acquire);
        while ((given & ~kClosed) == done) {
            if (given & kClosed)
                return;
            given_.wait(given, std::memory_order_acquire);
            given = given_.load(std::memory_order_acquire);
        }
        for (; done < (given & ~kClosed); ++done) {
            if (failed_)
                continue; // the rest is dropped: Finish tells what went wrong
            try {
                work_(items_[done]);
            } catch (...) {
                failed_ = std::current_exception();
            }
        }
    }
}

} // namespace qv
