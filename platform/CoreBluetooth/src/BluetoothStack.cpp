#include "CoreBluetooth/BluetoothStack.hpp"

#include <iostream>
#include <mutex>

#include "CoreBluetooth/backends/BluezBluetoothStack.hpp"
#include "CoreBluetooth/SimulatedBluetoothStack.hpp"
#include "IOKit/HardwareProfile.hpp"

namespace {

std::mutex currentMutex;

std::shared_ptr<BluetoothStack>& currentSlot() {
    static auto* slot = new std::shared_ptr<BluetoothStack>();  // lives as long as the process
    return *slot;
}

}  // namespace

std::shared_ptr<BluetoothStack> BluetoothStack::current() {
    std::lock_guard lock(currentMutex);
    auto& slot = currentSlot();
    if (!slot) slot = makeDefault();
    return slot;
}

void BluetoothStack::setCurrent(std::shared_ptr<BluetoothStack> stack) {
    std::lock_guard lock(currentMutex);
    currentSlot() = std::move(stack);
}

std::shared_ptr<BluetoothStack> BluetoothStack::makeDefault() {
    if (auto profile = HardwareProfile::path()) {
        try {
            return SimulatedBluetoothStack::fromProfile(*profile);
        } catch (const BluetoothProfileError& error) {
            // The profile stands in for the machine: the machine's own Bluetooth is not shown instead.
            std::cerr << "Bluetooth: " << error.what() << "; Bluetooth stays off\n";
            return std::make_shared<SimulatedBluetoothStack>(CBManagerState::poweredOff);
        }
    }
    return BluezBluetoothStack::make();
}
