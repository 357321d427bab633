// How soon a BlueZ peripheral is offered again after the system bus was away a while (12 and 30
// seconds, long enough for the bus to be looked for only now and then), its BlueZ coming back
// half a second after the bus: the time from BlueZ listing the connected device to the BlueZ stack
// offering it. Needs dbus-daemon and python3-dbusmock.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <thread>

#include "CoreBluetooth/backends/BluezBluetoothStack.hpp"
#include "Testing/BluezMock.hpp"

namespace {

using namespace std::chrono_literals;

void BM_PeripheralBackAfterTheSystemBusWasAway(benchmark::State& state) {
    PrivateSystemBus bus;
    if (!bus.unavailable().empty()) return state.SkipWithError(bus.unavailable().c_str());
    auto mock = std::make_unique<BluezMock>(bus);
    mock->addAdapter();
    auto stack = BluezBluetoothStack::make();
    const std::vector<CBUUID> battery{CBUUID("180F")};
    for (auto _ : state) {
        bus.stop();
        std::this_thread::sleep_for(std::chrono::seconds(state.range(0)));
        bus.start();
        std::this_thread::sleep_for(500ms);
        mock = std::make_unique<BluezMock>(bus);
        mock->addAdapter();
        auto device = mock->addDevice("hci0", "A4:83:E7:1C:2D:3E", "Pen");
        mock->update(device, "org.bluez.Device1",
                     {{"UUIDs", sdbus::Variant(std::vector<std::string>{"0000180f-0000-1000-8000-00805f9b34fb"})}});
        mock->connect(device);
        const auto listed = std::chrono::steady_clock::now();
        while (stack->connectedPeripherals(battery).empty() && std::chrono::steady_clock::now() - listed < 60s) {
            std::this_thread::sleep_for(5ms);
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - listed).count());
    }
}
BENCHMARK(BM_PeripheralBackAfterTheSystemBusWasAway)
    ->Arg(12)->Arg(30)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
