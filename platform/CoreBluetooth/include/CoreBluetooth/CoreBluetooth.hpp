#pragma once
// The whole CoreBluetooth stand-in.
#include "CoreBluetooth/BluetoothStack.hpp"
#include "CoreBluetooth/backends/BluezBluetoothStack.hpp"
#include "CoreBluetooth/CBCentralManager.hpp"
#include "CoreBluetooth/CBPeripheral.hpp"
#include "CoreBluetooth/CBService.hpp"
#include "CoreBluetooth/CBTypes.hpp"
#include "CoreBluetooth/CBUUID.hpp"
#include "CoreBluetooth/SimulatedBluetoothStack.hpp"
