#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "IOKit/CFValue.hpp"

TEST(CFValue, BridgedReadsFollowThePlatformRules) {
    // Texts read only as texts.
    EXPECT_EQ(CFValue("USB").stringValue(), "USB");
    EXPECT_FALSE(CFValue(5).stringValue());

    // A Boolean is a number (and an integer 0 or 1); a text is not.
    EXPECT_TRUE(CFValue(true).numberValue());
    EXPECT_EQ(CFValue(true).intValue(), 1);
    EXPECT_EQ(CFValue(false).intValue(), 0);
    EXPECT_FALSE(CFValue("5").numberValue());
    EXPECT_FALSE(CFValue("5").intValue());

    // Integers: whole numbers and floating-point values without fraction; 2.5 is none.
    EXPECT_EQ(CFValue(std::int64_t{-7}).intValue(), -7);
    EXPECT_EQ(CFValue(2.0).intValue(), 2);
    EXPECT_FALSE(CFValue(2.5).intValue());
    EXPECT_FALSE(CFValue(std::nan("")).intValue());
    EXPECT_FALSE(CFValue(1e300).intValue());

    // Doubles: any number it holds exactly.
    EXPECT_EQ(CFValue(3).doubleValue(), 3.0);
    EXPECT_EQ(CFValue(true).doubleValue(), 1.0);
    EXPECT_FALSE(CFValue(std::numeric_limits<std::int64_t>::max() - 1).doubleValue());

    // Booleans: a Boolean, or the numbers 0 and 1 only.
    EXPECT_EQ(CFValue(1).boolValue(), true);
    EXPECT_EQ(CFValue(0.0).boolValue(), false);
    EXPECT_FALSE(CFValue(2).boolValue());

    EXPECT_TRUE(CFValue(Data{1, 2}).dataValue());
    EXPECT_FALSE(CFValue(Data{}).dictionaryValue());
    EXPECT_TRUE(CFValue(CFArray{1, "a"}).arrayValue());
}

TEST(CFNumber, ReadsInEveryWidthWithoutUndefinedConversions) {
    CFNumber fraction(0.53);
    EXPECT_TRUE(fraction.isFloatType());
    EXPECT_FALSE(CFNumber(1).isFloatType());
    EXPECT_FALSE(CFNumber::boolean(true).isFloatType());
    EXPECT_EQ(fraction.floatValue(), 0.53f);

    EXPECT_EQ(CFNumber(50.7).integerValue(), 50);
    EXPECT_EQ(CFNumber(-50.7).integerValue(), -50);
    EXPECT_EQ(CFNumber(std::nan("")).integerValue(), 0);
    EXPECT_EQ(CFNumber(1e300).integerValue(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(CFNumber(-1e300).integerValue(), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(CFNumber(std::int64_t{0x1046D}).uint16Value(), 0x046D);
    EXPECT_EQ(CFNumber(-1).uint16Value(), 0xFFFF);

    EXPECT_EQ(CFNumber(2), CFNumber(2.0));
    EXPECT_FALSE(CFNumber(2) == CFNumber(2.5));
    EXPECT_FALSE(CFNumber(1) == CFNumber::boolean(true));
}

TEST(CFDictionary, KeepsInsertionOrderAndTellsTextKeysFromOthers) {
    CFDictionary dictionary{{"b", 1}, {"a", 2}};
    dictionary.set(CFValue("b"), CFValue(3));  // replaced in place
    dictionary.set(CFValue(7), CFValue("seven"));
    ASSERT_EQ(dictionary.count(), 3u);
    std::vector<CFValue> keys;
    for (const auto& [key, value] : dictionary) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<CFValue>{"b", "a", 7}));
    EXPECT_EQ(dictionary.find("b")->intValue(), 3);
    EXPECT_EQ(dictionary.find(CFValue(7))->stringValue(), "seven");
    EXPECT_EQ(dictionary.find("7"), nullptr);  // the text "7" is not the number 7
    EXPECT_FALSE(dictionary.hasOnlyTextKeys());
    dictionary.remove(CFValue(7));
    EXPECT_TRUE(dictionary.hasOnlyTextKeys());

    // Equality ignores order.
    EXPECT_EQ((CFDictionary{{"x", 1}, {"y", 2}}), (CFDictionary{{"y", 2}, {"x", 1}}));
    EXPECT_FALSE((CFDictionary{{"x", 1}}) == (CFDictionary{{"x", 2}}));
}
