#include "platform/workers.h"

#include <atomic>
#include <gtest/gtest.h>
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
