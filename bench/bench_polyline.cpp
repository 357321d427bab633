// Ramer-Douglas-Peucker simplification of a million points, and of a pathological zigzag whose
// sections nest as deep as the line is long.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "ZuzeDiv/RamerDouglasPeucker.hpp"

using ZuzeDiv::Point;
using ZuzeDiv::RamerDouglasPeucker;

namespace {
// A noisy measurement series: a slow wave with random jitter, one sample per unit of x.
std::vector<Point> noisySeries(std::size_t count) {
    std::mt19937 generator(7);
    std::normal_distribution<double> noise(0.0, 0.6);
    std::vector<Point> points;
    points.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double x = static_cast<double>(i);
        points.push_back({x, 50 * std::sin(x / 5000.0) + 10 * std::sin(x / 300.0) + noise(generator)});
    }
    return points;
}

// A random walk: rough at every scale.
std::vector<Point> randomWalk(std::size_t count) {
    std::mt19937 generator(11);
    std::normal_distribution<double> step(0.0, 1.0);
    std::vector<Point> points;
    points.reserve(count);
    double y = 0;
    for (std::size_t i = 0; i < count; ++i) {
        y += step(generator);
        points.push_back({static_cast<double>(i), y});
    }
    return points;
}

void simplifyMillion(benchmark::State& state, std::vector<Point> (*make)(std::size_t)) {
    const auto points = make(1'000'000);
    std::size_t kept = 0;
    for (auto _ : state) {
        auto result = RamerDouglasPeucker::simplify(points, static_cast<double>(state.range(0)));
        kept = result.size();
        benchmark::DoNotOptimize(result.data());
    }
    state.counters["points"] = 1e6;
    state.counters["kept"] = static_cast<double>(kept);
}

void noisyMillion(benchmark::State& state) { simplifyMillion(state, noisySeries); }
void randomWalkMillion(benchmark::State& state) { simplifyMillion(state, randomWalk); }

// Every section splits off a single point: as many nested sections as points. The work grows
// with the square of the length; what matters is that it finishes without exhausting the stack.
void zigzag(benchmark::State& state) {
    std::vector<Point> points;
    for (std::int64_t i = 0; i < state.range(0); ++i) points.push_back({static_cast<double>(i), i % 2 ? 1.0 : -1.0});
    std::size_t kept = 0;
    for (auto _ : state) {
        auto result = RamerDouglasPeucker::simplify(points, 0.5);
        kept = result.size();
        benchmark::DoNotOptimize(result.data());
    }
    state.counters["kept"] = static_cast<double>(kept);
}
}  // namespace

BENCHMARK(noisyMillion)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(randomWalkMillion)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(zigzag)->Arg(100'000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
