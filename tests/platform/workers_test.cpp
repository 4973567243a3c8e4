#include "platform/workers.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

using namespace qv;

TEST(ForEachOnWorkers, CallsEveryIndexOnceWhateverTheShareOfEachThread) {
    for (const std::size_t count :
         {std::size_t(0), std::size_t(1), std::size_t(7), std::size_t(5000)}) {
        for (const std::size_t perThread : {std::size_t(0), std::size_t(1), std::size_t(64)}) {
            std::vector<std::atomic<int>> calls(count);
            ForEachOnWorkers(count, perThread, [&](std::size_t i) { ++calls[i]; });
            for (std::size_t i = 0; i < count; ++i)
                ASSERT_EQ(calls[i].load(), 1) << i << " of " << count << ", " << perThread;
        }
    }
}

TEST(ForEachOnWorkers, ALimitOfOneKeepsEveryCallOnTheCallingThread) {
    LimitWorkers(1);
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<int> elsewhere{0};
    ForEachOnWorkers(1000, 1, [&](std::size_t) {
        if (std::this_thread::get_id() != caller)
            ++elsewhere;
    });
    EXPECT_EQ(WorkerLimit(), 1u);
    LimitWorkers(0);
    EXPECT_EQ(elsewhere.load(), 0);
    EXPECT_GE(WorkerLimit(), 1u);
}

TEST(ForEachOnWorkers, ThreadsLeftSpareAreNotUsedButOneAlwaysIs) {
    struct Case {
        std::size_t limit, spare;
    };
    for (const Case c : {Case{4, 0}, Case{4, 1}, Case{4, 3}, Case{2, 5}, Case{1, 1}}) {
        LimitWorkers(c.limit);
        const std::size_t most =
            std::max<std::size_t>(WorkerLimit() > c.spare ? WorkerLimit() - c.spare : 1, 1);
        std::mutex lock;
        std::set<std::thread::id> threads;
        std::vector<std::atomic<int>> calls(200);
        ForEachOnWorkers(
            calls.size(), 1,
            [&](std::size_t i) {
                ++calls[i];
                // Long enough for every thread started to take some.
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                const std::lock_guard<std::mutex> guard(lock);
                threads.insert(std::this_thread::get_id());
            },
            c.spare);
        LimitWorkers(0);
        EXPECT_LE(threads.size(), most) << c.limit << " less " << c.spare;
        EXPECT_GE(threads.size(), 1u);
        for (std::size_t i = 0; i < calls.size(); ++i)
            ASSERT_EQ(calls[i].load(), 1) << i;
    }
}
