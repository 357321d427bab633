#pragma once
// How the Linux platform names a Bluetooth device: by an identifier derived from its address, the
// same on every machine and in every run. The Bluetooth stack gives its peripherals these
// identifiers, and the registry's HID user devices carry the same ones, so that one can be
// looked up by the other.
#include <string>

#include "Foundation/UUID.hpp"

/// A name-based (version 5, SHA-1) UUID of the address written in upper case with ':' between
/// its bytes, in the namespace 4A05E6AF-5761-4316-82A4-46FFB6405BA1: the same identifier
/// whatever the address's letter case and whether ':' or '-' separates its bytes.
UUID bluetoothPeripheralIdentifier(const std::string& address);

/// The address in upper case with ':' between its bytes, as BlueZ writes it.
std::string canonicalBluetoothAddress(const std::string& address);
