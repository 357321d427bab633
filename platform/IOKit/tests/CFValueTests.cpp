#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "IOKit/CFValue.hpp"

TEST(CFValue, BridgedReadsFollowThePlatformRules) {
    EXPECT_EQ(CFValue("USB").stringValue(), "USB");
    EXPECT_FALSE(CFValue(5).stringValue());
    // A Boolean is a number (the integer 0 or 1); a text is none.
    EXPECT_TRUE(CFValue(true).numberValue());
    EXPECT_EQ(CFValue(true).intValue(), 1);
    EXPECT_FALSE(CFValue("5").numberValue());
    // Integers: whole numbers and floating-point values without fraction; 2.5 is none.
    EXPECT_EQ(CFValue(2.0).intValue(), 2);
    EXPECT_FALSE(CFValue(2.5).intValue());
    EXPECT_FALSE(CFValue(std::nan("")).intValue());
    EXPECT_FALSE(CFValue(1e300).intValue());
    EXPECT_FALSE(CFValue(std::numeric_limits<std::int64_t>::max() - 1).doubleValue());  // not exact
    EXPECT_EQ(CFValue(1).boolValue(), true);
    EXPECT_FALSE(CFValue(2).boolValue());
}

TEST(CFNumber, ReadsWithoutUndefinedConversions) {
    EXPECT_TRUE(CFNumber(0.53).isFloatType());
    EXPECT_FALSE(CFNumber::boolean(true).isFloatType());
    EXPECT_EQ(CFNumber(0.53).floatValue(), 0.53f);
    EXPECT_EQ(CFNumber(-50.7).integerValue(), -50);
    EXPECT_EQ(CFNumber(std::nan("")).integerValue(), 0);
    EXPECT_EQ(CFNumber(1e300).integerValue(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(CFNumber(-1e300).integerValue(), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(CFNumber(std::int64_t{0x1046D}).uint16Value(), 0x046D);
    EXPECT_EQ(CFNumber(2), CFNumber(2.0));
    EXPECT_FALSE(CFNumber(1) == CFNumber::boolean(true));
}
