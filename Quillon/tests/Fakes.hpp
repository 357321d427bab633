#pragma once
// Device finders whose lists the test sets, and devices to put in them.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "RuduredOro/BluetoothFinder.hpp"
#include "RuduredOro/LowEnergyFinder.hpp"
#include "RuduredOro/SingleBatteryDevice.hpp"

inline std::shared_ptr<RuduredOro::BatteryDevice> ioKitDevice(const std::string& name, int level = 50,
                                                              RuduredOro::DeviceType type = RuduredOro::DeviceType::mouse,
                                                              bool charging = false) {
    auto device = RuduredOro::SingleBatteryDevice::testDevice(level, type, name);
    device->setIsCharging(charging);
    return device;
}

inline std::shared_ptr<RuduredOro::LowEnergyDevice> lowEnergyDevice(const std::string& name, std::optional<int> level) {
    RuduredOro::KeyedContainer keyed{{"isCharging", false}, {"type", "Low Energy"}, {"name", name}, {"serial", name + "-serial"}};
    if (level) keyed["batteryLevel"] = *level;
    return std::make_shared<RuduredOro::LowEnergyDevice>(keyed);
}

/// Its next refresh takes `next` as its devices.
class FakeFinder : public RuduredOro::IBluetoothFinder {
public:
    std::vector<std::shared_ptr<RuduredOro::BatteryDevice>> next;
    std::vector<std::shared_ptr<RuduredOro::BatteryDevice>> current;
    int refreshes = 0;
    std::vector<std::shared_ptr<RuduredOro::BatteryDevice>> devices() const override { return current; }
    void refresh() override {
        ++refreshes;
        current = next;
    }
    std::vector<std::shared_ptr<RuduredOro::BatteryDevice>> find() override { return next; }
};

class FakeLowEnergyFinder : public RuduredOro::ILowEnergyFinder {
public:
    bool poweredOn = true;
    int refreshes = 0;
    std::vector<std::shared_ptr<RuduredOro::LowEnergyDevice>> list;
    std::shared_ptr<RuduredOro::LowEnergyDelegate> delegate() const override { return nullptr; }
    void setDelegate(std::weak_ptr<RuduredOro::LowEnergyDelegate>) override {}
    bool isPoweredOn() const override { return poweredOn; }
    std::vector<std::shared_ptr<RuduredOro::LowEnergyDevice>> devices() const override { return list; }
    void refresh() override { ++refreshes; }
    void find() override {}
    void disconnectAll() override {}
    void connect(const std::shared_ptr<RuduredOro::LowEnergyDevice>&) override {}
    void disconnect(const std::shared_ptr<RuduredOro::LowEnergyDevice>&) override {}
};
