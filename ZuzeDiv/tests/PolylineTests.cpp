#include <gtest/gtest.h>
#include <pthread.h>

#include <cmath>
#include <limits>

#include "ZuzeDiv/RamerDouglasPeucker.hpp"
#include "ZuzeDiv/Stack.hpp"

using namespace ZuzeDiv;

namespace {
std::vector<Point> simplify(std::vector<Point> points, double epsilon) { return RamerDouglasPeucker::simplify(points, epsilon); }
}  // namespace

TEST(RamerDouglasPeucker, TrivialInputsAndTolerances) {
    EXPECT_TRUE(simplify({}, 1).empty());
    EXPECT_TRUE(simplify({{0, 0}, {1, 5}, {2, 0}}, -0.1).empty());
    EXPECT_TRUE(simplify({{0, 0}, {1, 5}, {2, 0}}, std::nan("")).empty());
    EXPECT_EQ(simplify({{3, 4}}, 1), (std::vector<Point>{{3, 4}}));
    EXPECT_EQ(simplify({{0, 0}, {9, 9}}, 100), (std::vector<Point>{{0, 0}, {9, 9}}));
    EXPECT_EQ(simplify({{0, 0}, {1, 1}, {2, 2}, {3, 3}}, 0), (std::vector<Point>{{0, 0}, {3, 3}}));
}

TEST(RamerDouglasPeucker, ToleranceIsStrict) {
    const std::vector<Point> tent{{0, 0}, {1, 1}, {2, 0}};
    EXPECT_EQ(simplify(tent, 0.5), tent);
    EXPECT_EQ(simplify(tent, 1.0), (std::vector<Point>{{0, 0}, {2, 0}}));  // exactly at the tolerance: dropped
}

TEST(RamerDouglasPeucker, KeepsInputOrderAcrossNestedSections) {
    // Both halves split again: the kept points must come out left to right, each once.
    const std::vector<Point> line{{0, 0}, {1, 4}, {2, 0}, {3, 0}, {4, -4}, {5, 0}, {6, 0}};
    EXPECT_EQ(simplify(line, 0.5), (std::vector<Point>{{0, 0}, {1, 4}, {4, -4}, {5, 0}, {6, 0}}));
    EXPECT_EQ(simplify(line, 0.45), line);  // (2, 0) and (3, 0) lie 0.468 from the line (1, 4)-(4, -4)
    EXPECT_EQ(simplify(line, 3.0), (std::vector<Point>{{0, 0}, {1, 4}, {4, -4}, {6, 0}}));
}

TEST(RamerDouglasPeucker, CoincidentEndsKeepOnlyTheEnd) {
    // A closed loop: the distance to a "line" of one point is 0/0, which never counts as far.
    EXPECT_EQ(simplify({{0, 0}, {5, 5}, {9, 1}, {0, 0}}, 0.1), (std::vector<Point>{{0, 0}, {0, 0}}));
}

namespace {
// Runs the simplification of a zigzag whose every section splits off one point, so that the
// sections nest as deep as the line is long, on a thread with a small stack.
void* simplifyZigzag(void* result) {
    std::vector<Point> zigzag;
    for (int i = 0; i < 20000; ++i) zigzag.push_back({static_cast<double>(i), i % 2 ? 1.0 : -1.0});
    *static_cast<std::size_t*>(result) = RamerDouglasPeucker::simplify(zigzag, 0.5).size();
    return nullptr;
}
}  // namespace

TEST(RamerDouglasPeucker, DeeplyNestedSectionsDoNotExhaustTheStack) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 256 * 1024);
    std::size_t kept = 0;
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, simplifyZigzag, &kept), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    EXPECT_EQ(kept, 20000u);
}

TEST(Point, ShortestRoundTripText) {
    EXPECT_EQ((Point{1, 2.5}).description(), "(1.0, 2.5)");
    EXPECT_EQ((Point{-0.1, 1e21}).description(), "(-0.1, 1e+21)");
    EXPECT_EQ((Point{0.1 + 0.2, 0}).description(), "(0.30000000000000004, 0.0)");
    // Round numbers below 2^53 and small ones down to 0.0001 stay plain decimals.
    EXPECT_EQ((Point{100000, 0.0001}).description(), "(100000.0, 0.0001)");
    EXPECT_EQ((Point{9007199254740992.0, -1e15}).description(), "(9007199254740992.0, -1000000000000000.0)");
    EXPECT_EQ((Point{1e16, 0.00001}).description(), "(1e+16, 1e-05)");
    EXPECT_EQ((Point{-0.0, 1.5e300}).description(), "(-0.0, 1.5e+300)");
}

TEST(Stack, LastInFirstOut) {
    Stack<int> stack;
    EXPECT_FALSE(stack.pop());
    EXPECT_FALSE(stack.peek());
    for (int i : {1, 2, 3}) stack.push(i);
    EXPECT_EQ(stack.count(), 3u);
    EXPECT_EQ(stack.pop(), 3);
    EXPECT_EQ(stack.peek(), 2);
    EXPECT_EQ(stack.count(), 2u);
    stack.removeAll();
    EXPECT_TRUE(stack.isEmpty());
}
