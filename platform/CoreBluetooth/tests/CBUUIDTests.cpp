#include <gtest/gtest.h>

#include <stdexcept>
#include <unordered_set>

#include "CoreBluetooth/CBUUID.hpp"

TEST(CBUUIDTest, ShortFormsStandForTheirFullIdentifier) {
    CBUUID battery("180F");
    EXPECT_EQ(battery, CBUUID("0000180f-0000-1000-8000-00805f9b34fb"));
    EXPECT_EQ(battery, CBUUID("180f"));
    EXPECT_EQ(battery, CBUUID("0000180F"));
    EXPECT_NE(battery, CBUUID("180A"));
    EXPECT_EQ(CBUUID("0000180f-0000-1000-8000-00805f9b34fb").uuidString(), "180F");
    EXPECT_EQ(battery.data(), (Data{0x18, 0x0F}));

    CBUUID wide("1234abcd");
    EXPECT_EQ(wide.uuidString(), "1234ABCD");
    EXPECT_EQ(wide.data().size(), 4u);

    CBUUID full("6e400001-b5a3-f393-e0a9-e50e24dcca9e");
    EXPECT_EQ(full.uuidString(), "6E400001-B5A3-F393-E0A9-E50E24DCCA9E");
    EXPECT_EQ(full.data().size(), 16u);
    EXPECT_EQ(full, CBUUID(full.uuidString()));

    std::unordered_set<CBUUID> set{battery, CBUUID("0000180F-0000-1000-8000-00805F9B34FB"), full};
    EXPECT_EQ(set.size(), 2u);
}

TEST(CBUUIDTest, RejectsTextsThatAreNoIdentifier) {
    for (const char* text : {"", "18F", "180G", "0x180F", "180F0", "0000180f00000-1000-8000-00805f9b34fb",
                             "0000180f-0000-1000-8000-00805f9b34f", "0000180f-0000-1000-8000_00805f9b34fb",
                             " 180F"}) {
        EXPECT_FALSE(CBUUID::fromString(text)) << text;
        EXPECT_THROW(CBUUID{text}, std::invalid_argument) << text;
    }
}
