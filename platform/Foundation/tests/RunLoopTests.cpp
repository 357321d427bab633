#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "Foundation/DispatchQueue.hpp"
#include "Foundation/RunLoop.hpp"
#include "Foundation/Timer.hpp"
#include "Testing/TestEnvironment.hpp"

class RunLoopTest : public VirtualTimeTest {};

TEST_F(RunLoopTest, RepeatingTimerFiresOnItsCadenceAndSkipsMissedFirings) {
    std::vector<double> firings;
    const double start = now();
    auto timer = Timer::scheduledTimer(1.0, true, [&](Timer&) { firings.push_back(now() - start); });

    advance(3.5);
    EXPECT_EQ(firings, (std::vector<double>{1.0, 2.0, 3.0}));

    // The loop was away for 4.2 s: one late firing, then back on the original cadence.
    clock_->advance(4.2);
    runUntilIdle();
    ASSERT_EQ(firings.size(), 4u);
    EXPECT_NEAR(firings.back(), 7.7, 1e-6);
    EXPECT_NEAR(timer->fireDate().timeIntervalSince1970() - start, 8.0, 1e-6);

    timer->invalidate();
    advance(5);
    EXPECT_EQ(firings.size(), 4u);
    EXPECT_EQ(RunLoop::main().timerCount(), 0u);
}

TEST_F(RunLoopTest, OneShotTimerFiresOnceAndFireRunsTheBlockAtOnce) {
    int calls = 0;
    auto once = Timer::scheduledTimer(2.0, false, [&](Timer&) { ++calls; });
    advance(1.9);
    EXPECT_EQ(calls, 0);
    advance(0.2);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(once->isValid());
    advance(10);
    EXPECT_EQ(calls, 1);

    int ticks = 0;
    auto repeating = Timer::scheduledTimer(1.0, true, [&](Timer&) { ++ticks; });
    repeating->fire();  // the refresh controller fires its timer at once
    EXPECT_EQ(ticks, 1);
    EXPECT_TRUE(repeating->isValid());
    advance(1.0);
    EXPECT_EQ(ticks, 2);
}

TEST_F(RunLoopTest, TimersFireInDateOrderAndMayChangeTheTimerList) {
    std::vector<std::string> order;
    std::shared_ptr<Timer> late;
    Timer::scheduledTimer(3, false, [&](Timer&) { order.push_back("c"); });
    Timer::scheduledTimer(1, false, [&](Timer&) {
        order.push_back("a");
        Timer::scheduledTimer(0.5, false, [&](Timer&) { order.push_back("added"); });
        late->invalidate();
    });
    late = Timer::scheduledTimer(2, false, [&](Timer&) { order.push_back("invalidated"); });
    advance(4);
    EXPECT_EQ(order, (std::vector<std::string>{"a", "added", "c"}));
}

TEST_F(RunLoopTest, MainQueueRunsBlocksInOrderAndNeverInsideAnother) {
    std::vector<int> order;
    bool inside = false, nested = false;
    DispatchQueue::main().async([&] {
        inside = true;
        order.push_back(1);
        DispatchQueue::main().async([&] {
            nested = inside;
            order.push_back(3);
        });
        RunLoop::main().runUntilIdle();  // a block that runs the loop does not run the queue again
        inside = false;
    });
    DispatchQueue::main().async([&] { order.push_back(2); });
    EXPECT_TRUE(order.empty());  // never inside the call that posted
    runUntilIdle();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(nested);
}

TEST_F(RunLoopTest, BlocksPostedFromOtherThreadsKeepEachThreadsOrder) {
    constexpr int threads = 4, perThread = 200;
    std::vector<std::vector<int>> seen(threads);
    std::vector<std::thread> posters;
    for (int t = 0; t < threads; ++t) {
        posters.emplace_back([t, &seen] {
            for (int i = 0; i < perThread; ++i) DispatchQueue::main().async([t, i, &seen] { seen[t].push_back(i); });
        });
    }
    for (auto& poster : posters) poster.join();
    runUntilIdle();
    for (int t = 0; t < threads; ++t) {
        ASSERT_EQ(seen[t].size(), static_cast<std::size_t>(perThread));
        EXPECT_TRUE(std::is_sorted(seen[t].begin(), seen[t].end()));
    }
}

TEST_F(RunLoopTest, RunWakesForAPostFromAnotherThreadAndStops) {
    std::thread poster([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        DispatchQueue::main().async([] { RunLoop::main().stop(); });
    });
    RunLoop::main().run();  // returns only because the posted block ran
    poster.join();
    SUCCEED();
}

TEST_F(RunLoopTest, RunEndsAfterTheBlockAtHandAndHearsTheWindowSystemWhileBlocksKeepComing) {
    // A block stops the loop: those queued behind it wait for a later run.
    std::vector<int> ran;
    for (int i = 0; i < 3; ++i) {
        DispatchQueue::main().async([&ran, i] {
            ran.push_back(i);
            if (i == 0) RunLoop::main().stop();
        });
    }
    RunLoop::main().run();
    EXPECT_EQ(ran, std::vector<int>{0});
    runUntilIdle();
    EXPECT_EQ(ran.size(), 3u);

    // The window system tells of a quit (its waiter stops the loop) while every block posts another.
    struct QuittingWaiter : RunLoop::Waiter {
        void wait(std::optional<double>) override { RunLoop::main().stop(); }
        void wake() override {}
    };
    RunLoop::main().setWaiter(std::make_shared<QuittingWaiter>());
    int posted = 0;
    std::function<void()> again = [&] {
        if (++posted < 1000) DispatchQueue::main().async(again);
    };
    DispatchQueue::main().async(again);
    RunLoop::main().run();
    EXPECT_LT(posted, 1000);
    runUntilIdle();
    EXPECT_EQ(posted, 1000);

    // The same quit while a burst of blocks, queued all at once, would take far longer than a pass
    // may: the window system is heard once the pass has had its time.
    int burst = 0;
    for (int i = 0; i < 400; ++i) {
        DispatchQueue::main().async([&burst] {
            ++burst;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
    }
    RunLoop::main().run();
    RunLoop::main().setWaiter(nullptr);
    EXPECT_LT(burst, 400);
    runUntilIdle();
    EXPECT_EQ(burst, 400);
}

TEST_F(RunLoopTest, AsyncAfterOnTheMainQueueWaitsForVirtualTime) {
    bool ran = false;
    DispatchQueue::main().asyncAfter(0.5, [&] { ran = true; });
    advance(0.4);
    EXPECT_FALSE(ran);
    advance(0.2);
    EXPECT_TRUE(ran);
}

TEST_F(RunLoopTest, SyncOnTheMainQueueFromAWorkerRunsOnTheLoop) {
    std::atomic<bool> done = false;
    int value = 0;
    std::thread worker([&] {
        value = DispatchQueue::main().sync([] { return 42; });
        done = true;
    });
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return done.load(); }, 5.0));
    worker.join();
    EXPECT_EQ(value, 42);
}
