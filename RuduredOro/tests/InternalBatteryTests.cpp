#include <gtest/gtest.h>

#include <limits>

#include "RuduredOro/InternalBattery.hpp"

using namespace RuduredOro;

TEST(InternalBattery, AnUnreadBatteryShowsNothing) {
    AppleInternalBattery apple;
    LegacyInternalBattery legacy;
    for (const InternalBattery* battery : {static_cast<const InternalBattery*>(&apple),
                                          static_cast<const InternalBattery*>(&legacy)}) {
        EXPECT_EQ(battery->designCapacityText(), "-");
        EXPECT_EQ(battery->maxCapacityText(), "-");
        EXPECT_EQ(battery->currentCapacityText(), "-");
        EXPECT_EQ(battery->timeRemainingText(), "-");
        EXPECT_EQ(battery->health(), std::nullopt);
        EXPECT_EQ(battery->charge(), std::nullopt);
        EXPECT_EQ(battery->timeRemaining(), std::nullopt);
        EXPECT_EQ(battery->condition(), std::nullopt);
    }
}

TEST(InternalBattery, TimeRemainingFollowsTheChargingState) {
    LegacyInternalBattery battery;
    battery.setTimeToFull(125);
    battery.setTimeToEmpty(59);
    EXPECT_EQ(battery.timeRemaining(), std::nullopt);  // charging state unknown
    EXPECT_EQ(battery.timeRemainingText(), "-");

    battery.setIsCharging(false);
    EXPECT_EQ(battery.timeRemaining(), 59);
    EXPECT_EQ(battery.timeRemainingText(), "00:59");
    battery.setTimeToEmpty(60);
    EXPECT_EQ(battery.timeRemainingText(), "01:00");
    battery.setTimeToEmpty(6000);
    EXPECT_EQ(battery.timeRemainingText(), "100:00");

    battery.setIsCharging(true);
    EXPECT_EQ(battery.timeRemainingText(), "02:05");
    for (int stillComputing : {0, -1}) {
        battery.setTimeToFull(stillComputing);
        EXPECT_EQ(battery.timeRemaining(), stillComputing);
        EXPECT_EQ(battery.timeRemainingText(), "-");
    }
    battery.setTimeToFull(std::nullopt);
    EXPECT_EQ(battery.timeRemainingText(), "-");
}

TEST(LegacyInternalBattery, ChargeComesFromTheFirstSourceThatKnowsIt) {
    LegacyInternalBattery battery;
    battery.setCurrentCapacity(5069);
    battery.setMaxCapacity(6053);
    EXPECT_EQ(battery.charge(), 84);  // 83.74 rounded
    battery.setInternalCharge(80);
    EXPECT_EQ(battery.charge(), 80);
    battery.setIsCharged(true);
    EXPECT_EQ(battery.charge(), 100);

    LegacyInternalBattery half;
    half.setCurrentCapacity(1);
    half.setMaxCapacity(8);
    EXPECT_EQ(half.charge(), 13);  // 12.5: halves round away from zero
    half.setCurrentCapacity(3);
    EXPECT_EQ(half.charge(), 38);  // 37.5
}

TEST(LegacyInternalBattery, ZeroOrAbsurdCapacitiesGiveNoPercentage) {
    LegacyInternalBattery battery;
    battery.setCurrentCapacity(5069);
    battery.setMaxCapacity(0);
    battery.setDesignCapacity(0);
    EXPECT_EQ(battery.charge(), std::nullopt);
    EXPECT_EQ(battery.health(), std::nullopt);
    EXPECT_EQ(battery.maxCapacityText(), "0 mAh");

    battery.setCurrentCapacity(std::numeric_limits<int>::max());
    battery.setMaxCapacity(1);
    EXPECT_EQ(battery.charge(), std::nullopt);
}

TEST(InternalBattery, SampleBatteries) {
    auto legacy = LegacyInternalBattery::chargingSample();
    ASSERT_TRUE(legacy->health().has_value());
    EXPECT_NEAR(*legacy->health(), 84.6573, 1e-4);
    EXPECT_EQ(legacy->charge(), 84);
    EXPECT_EQ(legacy->designCapacityText(), "7150 mAh");
    EXPECT_EQ(legacy->currentCapacityText(), "5069 mAh");
    EXPECT_EQ(legacy->timeRemainingText(), "01:40");
    EXPECT_EQ(legacy->acPowered(), true);
    EXPECT_EQ(legacy->isCharged(), false);
    EXPECT_EQ(legacy->internalCharge(), std::nullopt);
    EXPECT_EQ(LegacyInternalBattery::chargedSample()->charge(), 100);

    auto apple = AppleInternalBattery::chargedSample();
    EXPECT_EQ(apple->maxCapacityText(), "100 %");
    EXPECT_EQ(apple->currentCapacityText(), "100 %");
    EXPECT_EQ(apple->designCapacityText(), "100 mAh");
    EXPECT_EQ(apple->health(), 100.0);
    EXPECT_EQ(apple->charge(), 100);
    EXPECT_EQ(apple->isCharging(), false);
    EXPECT_EQ(apple->isCharged(), true);
    EXPECT_EQ(apple->name(), std::nullopt);
    EXPECT_EQ(apple->condition(), BatteryCondition::fair);
    EXPECT_EQ(apple->manufacturer(), "SMP");
    ASSERT_TRUE(apple->manufactureDate().has_value());
    EXPECT_EQ(apple->manufactureDate()->timeIntervalSince1970(), 1533124800.0);
    // Each request makes a battery of its own.
    EXPECT_NE(AppleInternalBattery::chargingSample(), AppleInternalBattery::chargingSample());
}
