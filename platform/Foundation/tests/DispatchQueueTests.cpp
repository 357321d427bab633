#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Foundation/DispatchQueue.hpp"
#include "Foundation/Thread.hpp"

using namespace std::chrono_literals;

namespace {
// Waits until every block queued so far on the queue has run.
void drain(const DispatchQueue& queue) { queue.sync([] {}, DispatchQueue::Flags::barrier); }
}  // namespace

TEST(DispatchQueue, SerialQueueRunsOneBlockAtATimeInOrder) {
    DispatchQueue queue("serial");
    std::vector<int> order;
    std::atomic<int> running = 0, overlap = 0;
    for (int i = 0; i < 100; ++i) {
        queue.async([&, i] {
            if (running.fetch_add(1) != 0) ++overlap;
            order.push_back(i);
            std::this_thread::yield();
            running.fetch_sub(1);
        });
    }
    drain(queue);
    EXPECT_EQ(overlap.load(), 0);
    ASSERT_EQ(order.size(), 100u);
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
}

TEST(DispatchQueue, ConcurrentQueueRunsPlainBlocksSideBySide) {
    DispatchQueue queue("concurrent", DispatchQueue::Attributes::concurrent);
    std::promise<void> bothStarted;
    std::atomic<int> started = 0;
    auto gate = bothStarted.get_future().share();
    for (int i = 0; i < 2; ++i) {
        queue.async([&, gate] {
            if (++started == 2) bothStarted.set_value();
            gate.wait_for(2s);
        });
    }
    EXPECT_EQ(gate.wait_for(2s), std::future_status::ready);  // the second started while the first waited
    drain(queue);
}

TEST(DispatchQueue, ABurstAfterEarlierWorkRunsSideBySide) {
    // Sixteen blocks that each wait until all sixteen have started: they finish only when they
    // run at the same time, also when an idle worker is left over from earlier work.
    DispatchQueue queue("burst", DispatchQueue::Attributes::concurrent);
    queue.async([] {});
    drain(queue);
    std::mutex mutex;
    std::condition_variable allStarted;
    int started = 0, together = 0;
    bool gaveUp = false;
    for (int i = 0; i < 16; ++i) {
        queue.async([&] {
            std::unique_lock lock(mutex);
            ++started;
            allStarted.notify_all();
            if (!gaveUp && allStarted.wait_for(lock, 5s, [&] { return started == 16; })) {
                ++together;
            } else {
                gaveUp = true;  // the others need not wait as well
            }
        });
    }
    drain(queue);
    EXPECT_EQ(together, 16);
}

TEST(DispatchQueue, BarrierExcludesEveryOtherBlockUnderThreads) {
    DispatchQueue queue("barrier", DispatchQueue::Attributes::concurrent);
    std::atomic<int> readers = 0, writers = 0;
    std::atomic<int> violations = 0;
    int guarded = 0;  // written only under the barrier: a race here is a fault the sanitizers see
    std::vector<std::thread> clients;
    for (int t = 0; t < 4; ++t) {
        clients.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                queue.async(
                    [&] {
                        int otherWriters = writers.fetch_add(1);
                        if (readers.load() != 0 || otherWriters != 0) ++violations;
                        ++guarded;
                        writers.fetch_sub(1);
                    },
                    DispatchQueue::Flags::barrier);
                int seen = queue.sync([&] {
                    ++readers;
                    if (writers.load() != 0) ++violations;
                    int value = guarded;
                    --readers;
                    return value;
                });
                (void)seen;
            }
        });
    }
    for (auto& client : clients) client.join();
    drain(queue);
    EXPECT_EQ(violations.load(), 0);
    EXPECT_EQ(queue.sync([&] { return guarded; }), 800);
}

TEST(DispatchQueue, ReadAfterWriteFromTheSameThreadSeesTheWrite) {
    for (auto attributes : {DispatchQueue::Attributes::serial, DispatchQueue::Attributes::concurrent}) {
        DispatchQueue queue("order", attributes);
        int value = 0;
        for (int i = 1; i <= 50; ++i) {
            queue.async([&value, i] { value = i; }, DispatchQueue::Flags::barrier);
            EXPECT_EQ(queue.sync([&] { return value; }), i);
        }
    }
}

TEST(DispatchQueue, LabelsAndTheCurrentQueue) {
    DispatchQueue queue("com.example.worker");
    EXPECT_EQ(queue.label(), "com.example.worker");
    EXPECT_EQ(DispatchQueue::currentLabel(), "");
    EXPECT_EQ(queue.sync([] { return DispatchQueue::currentLabel(); }), "com.example.worker");
    std::promise<std::pair<std::string, std::thread::id>> where;
    queue.async([&] { where.set_value({DispatchQueue::currentLabel(), std::this_thread::get_id()}); });
    auto [label, thread] = where.get_future().get();
    EXPECT_EQ(label, "com.example.worker");
    EXPECT_NE(thread, std::this_thread::get_id());
}

TEST(DispatchQueue, DelayedBlocksRunOnTheirQueueInTheOrderOfTheirDeadlines) {
    DispatchQueue queue("delayed");
    std::mutex mutex;
    std::vector<std::string> ran;
    std::promise<void> last;
    auto note = [&](std::string what) {
        std::lock_guard lock(mutex);
        ran.push_back(what + " on " + DispatchQueue::currentLabel());
    };
    queue.asyncAfter(0.3, [&] {
        note("later");
        last.set_value();
    });
    queue.asyncAfter(0.1, [&] { note("sooner"); });
    queue.async([&] { note("now"); });
    ASSERT_EQ(last.get_future().wait_for(10s), std::future_status::ready);
    EXPECT_EQ(ran, (std::vector<std::string>{"now on delayed", "sooner on delayed", "later on delayed"}));
}

TEST(DispatchQueue, GlobalQueueRunsWorkOffTheCallingThread) {
    std::promise<std::thread::id> ran;
    DispatchQueue::global().async([&] { ran.set_value(std::this_thread::get_id()); });
    auto future = ran.get_future();
    ASSERT_EQ(future.wait_for(5s), std::future_status::ready);
    EXPECT_NE(future.get(), std::this_thread::get_id());
}

// Blocks queued while no thread can be started (at the process's limit of threads) wait, and run
// once one can, with the next block queued or while a caller waits for its turn: a serial queue's
// in order, a concurrent queue's each once, and a delayed one too.
TEST(DispatchQueue, BlocksQueuedWhileNoThreadCanStartRunOnceOneCan) {
    DispatchQueue serial("starved.serial");
    DispatchQueue concurrent("starved.concurrent", DispatchQueue::Attributes::concurrent);
    std::mutex mutex;
    std::vector<std::string> ran;
    auto note = [&](std::string what) {
        return [&, what] {
            std::lock_guard lock(mutex);
            ran.push_back(what);
        };
    };
    Thread::setStartsFail(true);
    serial.async(note("first"));
    serial.async(note("second"));
    serial.asyncAfter(0.01, note("delayed"));
    for (int i = 0; i < 3; ++i) concurrent.async(note("concurrent"));
    std::this_thread::sleep_for(50ms);
    auto waiting = std::async(std::launch::async, [&] { serial.sync(note("third")); });
    std::this_thread::sleep_for(50ms);
    Thread::setStartsFail(false);
    concurrent.async(note("concurrent"));
    for (int i = 0; i < 1000 && [&] { std::lock_guard lock(mutex); return ran.size() < 8; }(); ++i)
        std::this_thread::sleep_for(10ms);
    ASSERT_EQ(waiting.wait_for(10s), std::future_status::ready);
    drain(serial);
    drain(concurrent);
    std::lock_guard lock(mutex);
    EXPECT_EQ(std::count(ran.begin(), ran.end(), "concurrent"), 4);
    EXPECT_EQ(std::count(ran.begin(), ran.end(), "delayed"), 1);
    std::erase_if(ran, [](const std::string& what) { return what == "concurrent" || what == "delayed"; });
    EXPECT_EQ(ran, (std::vector<std::string>{"first", "second", "third"}));
}

TEST(DispatchQueueDeathTest, SyncFromABlockOfTheSameQueueStops) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    DispatchQueue queue("self");
    EXPECT_DEATH(queue.sync([&] { queue.sync([] {}); }), "dispatch sync on queue \"self\"");
}
