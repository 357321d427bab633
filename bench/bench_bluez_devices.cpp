// What BlueZ's Low Energy peripherals cost the main thread, at 100, 1,000 and 10,000 of them: on a
// system bus of its own, python-dbusmock's BlueZ holds that many peripherals connected, either
// mice with BlueZ's battery interface (battery:1) or straps that offer the Device Information
// Service and no battery (battery:0). The burst: from the finder's first search until every mouse
// is connected, told a mouse by the registry, and has its level (the connections and the service
// discoveries and reads they bring), or until every strap is let go and remembered as offering no
// Battery Service. The tick: the application's refresh once that is done (both finders, the merged
// and sorted list) with the discoveries and reads it brings. The registry is the machine's, read
// from an empty sysfs tree and BlueZ; the settings are written to a folder of the benchmark's own.
// Needs dbus-daemon and python3-dbusmock.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "CoreBluetooth/BluetoothStack.hpp"
#include "CoreBluetooth/backends/BluezBluetoothStack.hpp"
#include "Foundation/RunLoop.hpp"
#include "Foundation/UserDefaults.hpp"
#include "Foundation/backends/BluezObjects.hpp"
#include "IOKit/IORegistry.hpp"
#include "IOKit/backends/SysfsRegistryProvider.hpp"
#include "Quillon/BatteryController.hpp"
#include "RuduredOro/LowEnergyPersistency.hpp"
#include "Testing/BluezMock.hpp"
#include "Testing/TestEnvironment.hpp"

namespace {

/// BlueZ with `count` connected mice (or straps without a battery), and the registry and Bluetooth
/// stack that read it.
class ManyPeripherals {
public:
    ManyPeripherals(std::int64_t count, bool battery) : count_(std::size_t(count)), battery_(battery) {
        if (!bus_.unavailable().empty()) return;
        UserDefaults::setDirectory(defaults_.path());
        RuduredOro::LowEnergyPersistency::setNoBatteryServiceDevices({});
        bluez_ = std::make_unique<BluezMock>(bus_);
        bluez_->addAdapter();
        bluez_->addPeripherals("hci0", count, battery);
        IORegistry::setCurrent(std::make_shared<IORegistry>(std::make_shared<SysfsRegistryProvider>(sysfs_.path())));
        BluetoothStack::setCurrent(BluezBluetoothStack::make());
        ready_ = RunLoop::main().runUntil([&] { return BluezObjects::shared().snapshot()->devices.size() == count_; }, 120);
    }
    ~ManyPeripherals() {
        RunLoop::main().runUntilIdle();
        BluetoothStack::setCurrent(nullptr);
        IORegistry::setCurrent(nullptr);
        RuduredOro::LowEnergyPersistency::setNoBatteryServiceDevices({});
        UserDefaults::synchronizeAll(std::chrono::seconds(5));
    }

    /// Why the peripherals are not there; empty when they are.
    std::string missing() const {
        if (!bus_.unavailable().empty()) return bus_.unavailable();
        return ready_ ? "" : "BlueZ's devices did not all reach the process";
    }

    /// One more peripheral, connected, whose "UUIDs" lists that many services, none of those the
    /// finder asks for; true once it reached the process.
    bool addServiceList(std::size_t services) {
        std::vector<std::string> uuids;
        for (std::size_t i = 0; i < services; ++i) {
            char text[40];
            std::snprintf(text, sizeof text, "%08zx-0000-1000-8000-00805f9b34fb", 0x10000 + i);
            uuids.emplace_back(text);
        }
        auto device = bluez_->addDevice("hci0", "0C:00:00:00:00:01", "Hub");
        bluez_->update(device, "org.bluez.Device1", {{"UUIDs", sdbus::Variant(uuids)}});
        bluez_->connect(device);
        return RunLoop::main().runUntil(
            [&] {
                auto snapshot = BluezObjects::shared().snapshot();
                return std::any_of(snapshot->devices.begin(), snapshot->devices.end(), [&](const auto& known) {
                    return known.connected && known.uuids.size() == services;
                });
            },
            120);
    }

    /// A finder on them, once Bluetooth counts as on.
    std::shared_ptr<RuduredOro::LowEnergyFinder> finder() const {
        auto made = RuduredOro::LowEnergyFinder::make();
        RunLoop::main().runUntil([&] { return made->isPoweredOn(); }, 10);
        return made;
    }

    /// Runs the main queue until every mouse of the finder is connected with a level, or every strap
    /// is let go and remembered.
    bool listed(const RuduredOro::LowEnergyFinder& finder) const {
        return RunLoop::main().runUntil(
            [&] {
                auto devices = finder.devices();
                if (!battery_)
                    return devices.empty() && RuduredOro::LowEnergyPersistency::noBatteryServiceDevices().size() == count_;
                return devices.size() == count_ && std::all_of(devices.begin(), devices.end(), [](const auto& device) {
                           return device->isConnected() && device->isMouse() && device->batteryLevel();
                       });
            },
            600);
    }

private:
    std::size_t count_;
    bool battery_;
    PrivateSystemBus bus_;
    TemporaryDirectory defaults_;
    std::unique_ptr<BluezMock> bluez_;
    TemporaryDirectory sysfs_;
    bool ready_ = false;
};

void BM_ConnectionBurst(benchmark::State& state) {
    ManyPeripherals peripherals(state.range(0), state.range(1) != 0);
    if (auto missing = peripherals.missing(); !missing.empty()) return state.SkipWithError(missing.c_str());
    for (auto _ : state) {
        state.PauseTiming();
        auto finder = peripherals.finder();
        state.ResumeTiming();
        finder->find();
        if (!peripherals.listed(*finder)) {
            state.SkipWithError("the peripherals were not all listed or let go within 600 s");
            break;
        }
        state.PauseTiming();
        finder.reset();
        RunLoop::main().runUntilIdle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ConnectionBurst)
    ->ArgsProduct({{100, 1000, 10000}, {1, 0}})
    ->ArgNames({"devices", "battery"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_Tick(benchmark::State& state) {
    ManyPeripherals peripherals(state.range(0), state.range(1) != 0);
    if (auto missing = peripherals.missing(); !missing.empty()) return state.SkipWithError(missing.c_str());
    auto finder = peripherals.finder();
    finder->find();
    if (!peripherals.listed(*finder)) return state.SkipWithError("the peripherals were not all listed or let go");
    Quillon::BatteryController controller(std::make_shared<RuduredOro::BluetoothFinder>(), finder);
    std::size_t rows = 0;
    for (auto _ : state) {
        controller.refresh();
        RunLoop::main().runUntilIdle();
        rows = controller.batteries.size();
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_Tick)
    ->ArgsProduct({{100, 1000, 10000}, {1, 0}})
    ->ArgNames({"devices", "battery"})
    ->Unit(benchmark::kMillisecond);

/// The tick with one mouse, beside a peripheral whose list of services is long.
void BM_TickBesideALongServiceList(benchmark::State& state) {
    ManyPeripherals peripherals(1, true);
    if (auto missing = peripherals.missing(); !missing.empty()) return state.SkipWithError(missing.c_str());
    if (!peripherals.addServiceList(std::size_t(state.range(0))))
        return state.SkipWithError("the peripheral with many services did not reach the process");
    auto finder = peripherals.finder();
    finder->find();
    if (!peripherals.listed(*finder)) return state.SkipWithError("the mouse was not listed");
    Quillon::BatteryController controller(std::make_shared<RuduredOro::BluetoothFinder>(), finder);
    for (auto _ : state) {
        controller.refresh();
        RunLoop::main().runUntilIdle();
    }
}
BENCHMARK(BM_TickBesideALongServiceList)->Arg(200000)->ArgName("services")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
