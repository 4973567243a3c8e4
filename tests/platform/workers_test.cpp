#include "platform/workers.h"

#include <atomic>
#include <gtest/gtest.h>
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
