#include "platform/workers.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <pthread.h>
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

namespace {

// One call's share of the work and how many of the helpers given it are still at it.
struct Job {
    const std::function<void()>* share = nullptr;
    std::mutex mutex;
    std::condition_variable finished;
    std::size_t left = 0;      // guarded by mutex
    std::exception_ptr failed; // the first a share threw; guarded by mutex
};

// A thread kept for the calls to come once its share of one is done: a rebuild makes dozens of
// calls, and starting seven threads for each (and their ending) cost more than many calls' work.
class Helper {
public:
    void Give(Job* job) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            job_ = job;
        }
        given_.notify_one();
    }

    // Runs the shares given, telling each job when its share is done and then making itself
    // available again through `idle`.
    template <typename Idle> [[noreturn]] void Run(Idle idle) {
        for (;;) {
            Job* job = nullptr;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                given_.wait(lock, [this] { return job_ != nullptr; });
                job = std::exchange(job_, nullptr);
            }
            std::exception_ptr failed;
            try {
                (*job->share)();
            } catch (...) {
                failed = std::current_exception();
            }
            // Available before the job is told, so that the caller's next call finds it; the
            // job is not touched after it is told.
            idle(this);
            const std::lock_guard<std::mutex> lock(job->mutex);
            if (failed && !job->failed)
                job->failed = failed;
            if (--job->left == 0)
                job->finished.notify_one();
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable given_;
    Job* job_ = nullptr; // guarded by mutex_
};

// The helpers kept, created as calls need them (several calls may run at once, on threads of
// their own), and never ended: they wait for work until the program ends.
class Helpers {
public:
    // Up to `wanted` helpers for one call, started when too few are waiting; fewer when no more
    // threads are to be had.
    std::vector<Helper*> Take(std::size_t wanted) {
        std::vector<Helper*> taken;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            while (taken.size() < wanted && !idle_.empty()) {
                taken.push_back(idle_.back());
                idle_.pop_back();
            }
        }
        while (taken.size() < wanted) {
            Helper* helper = nullptr;
            try {
                helper = new Helper;
                std::thread([this, helper] {
                    helper->Run([this](Helper* done) { Put(done); });
                }).detach();
            } catch (...) {
                // No more threads (or memory) to be had: those taken share the work.
                delete helper;
                break;
            }
            taken.push_back(helper);
        }
        return taken;
    }

private:
    void Put(Helper* helper) {
        const std::lock_guard<std::mutex> lock(mutex_);
        idle_.push_back(helper);
    }

    std::mutex mutex_;
    std::vector<Helper*> idle_; // guarded by mutex_
};

Helpers*& HelpersSlot() {
    // Never destroyed: its threads outlive every static object. A process forked from this one
    // has none of them (and perhaps a lock held by one): it starts helpers of its own.
    static Helpers* helpers = [] {
        pthread_atfork(nullptr, nullptr, [] { HelpersSlot() = new Helpers; });
        return new Helpers;
    }();
    return helpers;
}

Helpers& TheHelpers() {
    return *HelpersSlot();
}

} // namespace

void ForEachOnWorkers(std::size_t count, std::size_t perThread,
                      const std::function<void(std::size_t)>& work, std::size_t spare) {
    std::atomic<std::size_t> next{0};
    const std::function<void()> share = [&] {
        for (std::size_t i = next++; i < count; i = next++)
            work(i);
    };
    const std::size_t wanted =
        (count + std::max<std::size_t>(perThread, 1) - 1) / std::max<std::size_t>(perThread, 1);
    const std::size_t most = WorkerLimit();
    const std::size_t threads = std::min(wanted, most > spare ? most - spare : 1);
    if (threads < 2) {
        share();
        return;
    }
    // Those given a share and this thread share the work.
    const std::vector<Helper*> helpers = TheHelpers().Take(threads - 1);
    Job job;
    job.share = &share;
    job.left = helpers.size();
    for (Helper* helper : helpers)
        helper->Give(&job);
    // The helpers use what this call holds: they are waited for whatever a share throws.
    std::exception_ptr failed;
    try {
        share();
    } catch (...) {
        failed = std::current_exception();
    }
    std::unique_lock<std::mutex> lock(job.mutex);
    job.finished.wait(lock, [&] { return job.left == 0; });
    if (!failed)
        failed = job.failed;
    if (failed)
        std::rethrow_exception(failed);
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
