#include "platform/workers.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <set>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
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

// The threads are kept from call to call: calls made at once from several threads, and calls
// made from within a call, each still have every index called once before they return.
TEST(ForEachOnWorkers, CallsAtOnceAndWithinCallsEachCallEveryIndexOnce) {
    constexpr std::size_t kOuter = 40, kInner = 300;
    auto nested = [&](std::vector<std::atomic<int>>& calls) {
        ForEachOnWorkers(kOuter, 1, [&](std::size_t i) {
            ForEachOnWorkers(kInner, 16, [&](std::size_t j) { ++calls[i * kInner + j]; });
        });
    };
    for (int round = 0; round < 3; ++round) {
        std::vector<std::vector<std::atomic<int>>> calls;
        for (int t = 0; t < 4; ++t)
            calls.emplace_back(kOuter * kInner);
        std::vector<std::thread> callers;
        for (int t = 1; t < 4; ++t)
            callers.emplace_back([&, t] { nested(calls[std::size_t(t)]); });
        nested(calls[0]);
        for (std::thread& caller : callers)
            caller.join();
        for (const auto& one : calls)
            for (std::size_t k = 0; k < one.size(); ++k)
                ASSERT_EQ(one[k].load(), 1) << "round " << round << ", index " << k;
    }
}

// A call that throws, on this thread or another, is thrown again once every thread has returned;
// the threads are then still there for the next call.
TEST(ForEachOnWorkers, WhatACallThrowsIsThrownAgainAfterAllReturned) {
    for (const std::size_t thrower : {std::size_t(0), std::size_t(17), std::size_t(499)}) {
        std::atomic<int> running{0};
        try {
            ForEachOnWorkers(500, 1, [&](std::size_t i) {
                ++running;
                std::this_thread::sleep_for(std::chrono::microseconds(50));
                --running;
                if (i == thrower)
                    throw std::runtime_error("call " + std::to_string(i));
            });
            ADD_FAILURE() << "nothing thrown for call " << thrower;
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(error.what(), "call " + std::to_string(thrower));
            EXPECT_EQ(running.load(), 0) << "a call still running after the throw, " << thrower;
        }
        std::vector<std::atomic<int>> calls(100);
        ForEachOnWorkers(calls.size(), 1, [&](std::size_t i) { ++calls[i]; });
        for (const auto& call : calls)
            ASSERT_EQ(call.load(), 1);
    }
}

// A process forked from one whose threads are kept has none of them: its calls still end.
TEST(ForEachOnWorkers, AProcessForkedAfterCallsHasItsOwnCallsMade) {
    ForEachOnWorkers(64, 1, [](std::size_t) {}); // threads kept in this process
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::vector<std::atomic<int>> calls(500);
        ForEachOnWorkers(calls.size(), 1, [&](std::size_t i) { ++calls[i]; });
        for (const auto& call : calls)
            if (call.load() != 1)
                _exit(1);
        _exit(0);
    }
    int status = -1;
    for (int waited = 0; waited < 1000 && waitpid(child, &status, WNOHANG) == 0; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!WIFEXITED(status) && !WIFSIGNALED(status)) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        FAIL() << "the forked process's call never ended";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
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
        const std::size_t most = WorkerLimit() > c.spare ? WorkerLimit() - c.spare : 1;
        // Each call notes its thread in a place of its own; they are counted once all returned.
        std::vector<std::thread::id> ranOn(200);
        std::vector<std::atomic<int>> calls(ranOn.size());
        ForEachOnWorkers(
            ranOn.size(), 1,
            [&](std::size_t i) {
                ++calls[i];
                ranOn[i] = std::this_thread::get_id();
                // Long enough for every thread started to take some.
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            },
            c.spare);
        LimitWorkers(0);
        const std::set<std::thread::id> threads(ranOn.cbegin(), ranOn.cend());
        EXPECT_LE(threads.size(), most) << c.limit << " less " << c.spare;
        EXPECT_GE(threads.size(), 1u);
        for (std::size_t i = 0; i < calls.size(); ++i)
            ASSERT_EQ(calls[i].load(), 1) << i;
    }
}

TEST(OrderedHandOff, CallsEveryItemGivenOnceInTheOrderGiven) {
    struct Case {
        std::size_t limit, most, given;
    };
    // On a thread of its own, on the giving thread (a limit of one: each call made before Give
    // returns), with none given, and with more given than said.
    for (const Case c : {Case{4, 1000, 1000}, Case{4, 1000, 10}, Case{1, 1000, 1000}, Case{4, 5, 0},
                         Case{4, 3, 50}, Case{4, 0, 20}}) {
        LimitWorkers(c.limit);
        const std::thread::id giver = std::this_thread::get_id();
        std::vector<std::size_t> seen;
        std::vector<std::thread::id> threads;
        {
            OrderedHandOff handOff(c.most, [&](std::size_t item) {
                seen.push_back(item);
                threads.push_back(std::this_thread::get_id());
            });
            for (std::size_t i = 0; i < c.given; ++i) {
                handOff.Give(c.given - i); // an order that is not the items' own
                if (c.limit == 1) {
                    ASSERT_EQ(seen.size(), i + 1) << "made at once";
                }
            }
            handOff.Finish();
        }
        LimitWorkers(0);
        ASSERT_EQ(seen.size(), c.given) << c.limit << ", " << c.most;
        for (std::size_t i = 0; i < c.given; ++i) {
            ASSERT_EQ(seen[i], c.given - i) << i << " of " << c.given << ", most " << c.most;
            if (c.limit == 1) {
                ASSERT_EQ(threads[i], giver) << i;
            }
        }
    }
}

TEST(OrderedHandOff, FinishTellsWhatACallThrewAndTheLaterOnesAreNotMade) {
    for (const std::size_t limit : {std::size_t(1), std::size_t(4)}) {
        LimitWorkers(limit);
        std::vector<std::size_t> seen;
        OrderedHandOff handOff(100, [&](std::size_t item) {
            if (item == 3)
                throw std::runtime_error("bad folder");
            seen.push_back(item);
        });
        bool thrown = false;
        try {
            for (std::size_t i = 0; i < 6; ++i)
                handOff.Give(i);
            handOff.Finish();
        } catch (const std::runtime_error& error) {
            thrown = std::string(error.what()) == "bad folder";
        }
        LimitWorkers(0);
        EXPECT_TRUE(thrown) << limit;
        EXPECT_EQ(seen, (std::vector<std::size_t>{0, 1, 2})) << limit;
    }
}

TEST(OrderedHandOff, GoingWithoutFinishWaitsForTheCallsGiven) {
    std::atomic<int> calls{0};
    {
        OrderedHandOff handOff(100, [&](std::size_t) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            ++calls;
        });
        for (std::size_t i = 0; i < 20; ++i)
            handOff.Give(i);
    }
    EXPECT_EQ(calls.load(), 20);
}
