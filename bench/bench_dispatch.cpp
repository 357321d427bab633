// Latency of a burst of 16 blocks that each wait 2 ms (as blocks waiting on a device or the
// network do), posted to a concurrent queue that has done earlier work and has one idle worker
// left, against the same blocks on 16 plain threads. Run side by side, the burst takes about
// the time of one block.
#include <benchmark/benchmark.h>

#include <chrono>
#include <latch>
#include <memory>
#include <thread>
#include <vector>

#include "Foundation/DispatchQueue.hpp"

namespace {
constexpr int burst = 16;

void waitingBlock(std::latch& done) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    done.count_down();
}

void BM_ConcurrentQueueBurstAfterEarlierWork(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto queue = std::make_unique<DispatchQueue>("bench.burst", DispatchQueue::Attributes::concurrent);
        queue->async([] {});
        queue->sync([] {}, DispatchQueue::Flags::barrier);
        state.ResumeTiming();

        std::latch done(burst);
        for (int i = 0; i < burst; ++i) queue->async([&done] { waitingBlock(done); });
        done.wait();
    }
}
// Each round leaves a fresh queue's workers to end on their own: a few rounds only.
BENCHMARK(BM_ConcurrentQueueBurstAfterEarlierWork)->Iterations(40)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_PlainThreadsBurst(benchmark::State& state) {
    for (auto _ : state) {
        std::latch done(burst);
        std::vector<std::thread> threads;
        for (int i = 0; i < burst; ++i) threads.emplace_back([&done] { waitingBlock(done); });
        done.wait();
        state.PauseTiming();
        for (auto& thread : threads) thread.join();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PlainThreadsBurst)->Iterations(40)->UseRealTime()->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
