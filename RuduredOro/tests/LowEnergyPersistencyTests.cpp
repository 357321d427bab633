#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Foundation/UserDefaults.hpp"
#include "RuduredOro/LowEnergyPersistency.hpp"
#include "RuduredOro/PropertyKey.hpp"
#include "Testing/TestEnvironment.hpp"

using namespace RuduredOro;

namespace {

using List = std::vector<std::string>;

// Each test runs with its own defaults folder; the in-memory copies live for the process, so every
// test starts by writing both lists through the class.
class LowEnergyPersistencyTest : public VirtualTimeTest {
protected:
    void SetUp() override {
        VirtualTimeTest::SetUp();
        LowEnergyPersistency::setNoBatteryServiceDevices({});
        LowEnergyPersistency::setMonitoredDevices({});
    }

    static std::optional<PropertyListValue> stored(const std::string& key) { return UserDefaults::standard().object(key); }
};

}  // namespace

TEST_F(LowEnergyPersistencyTest, AddingKeepsOneEntryAndAlwaysWrites) {
    LowEnergyPersistency::addNoBatteryServiceDevice("A");
    LowEnergyPersistency::addNoBatteryServiceDevice("B");
    LowEnergyPersistency::addNoBatteryServiceDevice("A");
    EXPECT_EQ(LowEnergyPersistency::noBatteryServiceDevices(), (List{"A", "B"}));
    EXPECT_EQ(stored("NoBatteryServiceDevices"), PropertyListValue(List{"A", "B"}));

    // An add reads the stored list afresh (entries stored elsewhere survive) and replaces the
    // copy even when it appends nothing.
    UserDefaults::standard().set(PropertyListValue(List{"A", "C"}), "NoBatteryServiceDevices");
    EXPECT_EQ(LowEnergyPersistency::noBatteryServiceDevices(), (List{"A", "B"}));
    LowEnergyPersistency::addNoBatteryServiceDevice("A");
    EXPECT_EQ(LowEnergyPersistency::noBatteryServiceDevices(), (List{"A", "C"}));
}

TEST_F(LowEnergyPersistencyTest, AStoredValueOfAnotherTypeReadsAsEmpty) {
    UserDefaults::standard().set(PropertyListValue(42), "NoBatteryServiceDevices");
    LowEnergyPersistency::addNoBatteryServiceDevice("A");
    EXPECT_EQ(stored("NoBatteryServiceDevices"), PropertyListValue(List{"A"}));
}

TEST_F(LowEnergyPersistencyTest, MonitoredDevicesAreAddedRemovedAndAsked) {
    LowEnergyPersistency::setMonitoredDevices({"A", "B", "A", "C"});
    LowEnergyPersistency::removeMonitoredDevice("A");
    EXPECT_EQ(LowEnergyPersistency::monitoredDevices(), (List{"B", "C"}));
    EXPECT_EQ(stored("MonitoredDevicesKey"), PropertyListValue(List{"B", "C"}));
    LowEnergyPersistency::removeMonitoredDevice("Z");
    EXPECT_EQ(stored("MonitoredDevicesKey"), PropertyListValue(List{"B", "C"}));

    EXPECT_TRUE(LowEnergyPersistency::isMonitored(std::string("B")));
    EXPECT_FALSE(LowEnergyPersistency::isMonitored(std::string("b")));
    EXPECT_FALSE(LowEnergyPersistency::isMonitored(std::nullopt));
    LowEnergyPersistency::addMonitoredDevice("D");
    EXPECT_TRUE(LowEnergyPersistency::isMonitored(std::string("D")));
}

TEST_F(LowEnergyPersistencyTest, AnotherProcessAddingToTheSameListKeepsItsEntry) {
    LowEnergyPersistency::addMonitoredDevice("A");
    ASSERT_TRUE(UserDefaults::standard().synchronize());
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        LowEnergyPersistency::addMonitoredDevice("B");
        _exit(UserDefaults::standard().synchronize() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    LowEnergyPersistency::addMonitoredDevice("C");
    EXPECT_EQ(stored("MonitoredDevicesKey"), PropertyListValue(List{"A", "B", "C"}));
    EXPECT_EQ(LowEnergyPersistency::monitoredDevices(), (List{"A", "B", "C"}));
}

TEST(PropertyKey, RawTextsAndBack) {
    EXPECT_EQ(PropertyKey::from("firmware"), PropertyKey::firmware);
    EXPECT_FALSE(PropertyKey::from("firmwareRevision"));
    EXPECT_FALSE(PropertyKey::from("SerialNumber"));
    EXPECT_EQ(PropertyKey::from("bluetoothSerial"), PropertyKey::bluetoothSerial);
}
