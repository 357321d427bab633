// What BlueZ's Low Energy peripherals cost the main thread, at 100, 1,000 and 10,000 of them: on a
// system bus of its own, python-dbusmock's BlueZ holds that many mice connected, each with BlueZ's
// battery interface. The burst: from the finder's first search until every peripheral is
// connected, told a mouse by the registry, and has its level (the connections and the service
// discoveries and reads they bring). The tick: the application's refresh once all are listed
// (both finders, the merged and sorted list) with the discoveries and reads it brings. The
// registry is the machine's, read from an empty sysfs tree and BlueZ. Needs dbus-daemon and
// python3-dbusmock.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <string>

#include "CoreBluetooth/BluetoothStack.hpp"
#include "CoreBluetooth/backends/BluezBluetoothStack.hpp"
#include "Foundation/RunLoop.hpp"
#include "Foundation/backends/BluezObjects.hpp"
#include "IOKit/IORegistry.hpp"
#include "IOKit/backends/SysfsRegistryProvider.hpp"
#include "Quillon/BatteryController.hpp"
#include "Testing/BluezMock.hpp"
#include "Testing/TestEnvironment.hpp"

namespace {

/// BlueZ with `count` connected mice, and the registry and Bluetooth stack that read it.
class ManyPeripherals {
public:
    explicit ManyPeripherals(std::int64_t count) : count_(std::size_t(count)) {
        if (!bus_.unavailable().empty()) return;
        bluez_ = std::make_unique<BluezMock>(bus_);
        bluez_->addAdapter();
        std::map<std::string, sdbus::Variant> parameters{{"adapter", sdbus::Variant(std::string("hci0"))},
                                                         {"count", sdbus::Variant(count)}};
        bus_.proxy("org.bluez", "/")
            ->callMethod("AddTemplate")
            .onInterface("org.freedesktop.DBus.Mock")
            .withTimeout(std::chrono::minutes(5))
            .withArguments(std::string(QUILLON_SOURCE_DIR "/testing/dbusmock/bluez_devices.py"), parameters);
        IORegistry::setCurrent(std::make_shared<IORegistry>(std::make_shared<SysfsRegistryProvider>(sysfs_.path())));
        BluetoothStack::setCurrent(BluezBluetoothStack::make());
        ready_ = RunLoop::main().runUntil([&] { return BluezObjects::shared().snapshot()->devices.size() == count_; }, 120);
    }
    ~ManyPeripherals() {
        RunLoop::main().runUntilIdle();
        BluetoothStack::setCurrent(nullptr);
        IORegistry::setCurrent(nullptr);
    }

    /// Why the peripherals are not there; empty when they are.
    std::string missing() const {
        if (!bus_.unavailable().empty()) return bus_.unavailable();
        return ready_ ? "" : "BlueZ's devices did not all reach the process";
    }

    /// A finder on them, once Bluetooth counts as on.
    std::shared_ptr<RuduredOro::LowEnergyFinder> finder() const {
        auto made = RuduredOro::LowEnergyFinder::make();
        RunLoop::main().runUntil([&] { return made->isPoweredOn(); }, 10);
        return made;
    }

    /// Runs the main queue until every peripheral of the finder is a connected mouse with a level.
    bool listed(const RuduredOro::LowEnergyFinder& finder) const {
        return RunLoop::main().runUntil(
            [&] {
                auto devices = finder.devices();
                return devices.size() == count_ && std::all_of(devices.begin(), devices.end(), [](const auto& device) {
                           return device->isConnected() && device->isMouse() && device->batteryLevel();
                       });
            },
            600);
    }

private:
    std::size_t count_;
    PrivateSystemBus bus_;
    std::unique_ptr<BluezMock> bluez_;
    TemporaryDirectory sysfs_;
    bool ready_ = false;
};

void BM_ConnectionBurst(benchmark::State& state) {
    ManyPeripherals peripherals(state.range(0));
    if (auto missing = peripherals.missing(); !missing.empty()) return state.SkipWithError(missing.c_str());
    for (auto _ : state) {
        state.PauseTiming();
        auto finder = peripherals.finder();
        state.ResumeTiming();
        finder->find();
        if (!peripherals.listed(*finder)) {
            state.SkipWithError("the peripherals were not all listed within 600 s");
            break;
        }
        state.PauseTiming();
        finder.reset();
        RunLoop::main().runUntilIdle();
        state.ResumeTiming();
    }
    state.counters["devices"] = double(state.range(0));
}
BENCHMARK(BM_ConnectionBurst)->Arg(100)->Arg(1000)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Tick(benchmark::State& state) {
    ManyPeripherals peripherals(state.range(0));
    if (auto missing = peripherals.missing(); !missing.empty()) return state.SkipWithError(missing.c_str());
    auto finder = peripherals.finder();
    finder->find();
    if (!peripherals.listed(*finder)) return state.SkipWithError("the peripherals were not all listed");
    Quillon::BatteryController controller(std::make_shared<RuduredOro::BluetoothFinder>(), finder);
    std::size_t rows = 0;
    for (auto _ : state) {
        controller.refresh();
        RunLoop::main().runUntilIdle();
        rows = controller.batteries.size();
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_Tick)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
