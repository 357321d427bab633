#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "ZuzeDiv/ThreadedDictionary.hpp"
#include "ZuzeDiv/ThreadedObject.hpp"

using namespace ZuzeDiv;

TEST(ThreadedObject, WriteThenReadOnTheSameThreadSeesTheWrite) {
    for (auto type : {ThreadingType::concurrent, ThreadingType::serial}) {
        ThreadedObject<int> value(0, type);
        EXPECT_EQ(value.threadingType(), type);
        for (int i = 1; i <= 100; ++i) {
            value.write([i](int& v) { v = i; });
            EXPECT_EQ(value.read([](const int& v) { return v; }), i);
        }
        EXPECT_EQ(value.writeAndWait([](int& v) { return v += 1; }), 101);
    }
}

TEST(ThreadedObject, LabelsCountUpAcrossAllElementTypes) {
    ThreadedObject<int> first(0);
    ThreadedDictionary<std::string, double> second;
    auto number = [](const std::string& label) {
        const std::string prefix = "com.threading.dispatchqueue_";
        EXPECT_EQ(label.rfind(prefix, 0), 0u) << label;
        return std::stoll(label.substr(prefix.size()));
    };
    EXPECT_EQ(number(second.queue().label()), number(first.queue().label()) + 1);
}

TEST(ThreadedObject, PendingWritesOutliveTheObject) {
    auto shared = std::make_shared<std::vector<int>>();
    {
        ThreadedObject<int> value(0, ThreadingType::serial);
        for (int i = 0; i < 100; ++i) value.write([shared, i](int& v) { v += i; });
    }  // destroyed with writes still queued: they run on the value they keep alive
    SUCCEED();
}

TEST(ThreadedDictionary, SubscriptReadsWritesAndRemovals) {
    ThreadedDictionary<std::string, int> dictionary;
    EXPECT_EQ(dictionary.threadingType(), ThreadingType::concurrent);
    EXPECT_TRUE(dictionary.isEmpty());
    EXPECT_FALSE(dictionary["never"].value());
    dictionary["a"] = 1;
    dictionary["b"] = 2;
    dictionary["c"] = 3;
    EXPECT_EQ(dictionary["a"].value(), 1);
    dictionary["b"] = std::nullopt;  // setting nothing removes the key
    EXPECT_FALSE(dictionary["b"].value());
    EXPECT_EQ(dictionary.count(), 2u);

    int sum = 0, entries = 0;
    for (const auto& [key, value] : dictionary.snapshot()) {
        sum += value;
        ++entries;
    }
    EXPECT_EQ(entries, 2);
    EXPECT_EQ(sum, 4);

    dictionary.removeAll();
    EXPECT_EQ(dictionary.count(), 0u);
    EXPECT_TRUE(dictionary.isEmpty());
    for (const auto& element : dictionary.snapshot()) FAIL() << element.key;
}

TEST(ThreadedDictionary, ConcurrentInPlaceChangesAreNotLost) {
    ThreadedDictionary<std::string, int> counters;
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 500; ++i) counters["hits"].modify([](std::optional<int>& v) { v = v.value_or(0) + 1; });
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(counters["hits"].value(), 4000);
    counters["hits"].modify([](std::optional<int>& v) { v.reset(); });
    EXPECT_FALSE(counters["hits"].value());
}

TEST(ThreadedDictionary, ReadersAndWritersOnManyThreadsStayConsistent) {
    ThreadedDictionary<int, int> table;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 300; ++i) {
                table[t * 1000 + i] = i;
                EXPECT_EQ(table[t * 1000 + i].value(), i);
                (void)table.values();
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(table.count(), 1200u);
}
