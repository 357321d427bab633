#pragma once
// The module's identifier objects.
//
// As a type, `UUID` is the token a battery device carries as its `id`: a new, empty object whose
// only meaning is its own identity (compare the pointers), distinct from the device's serial.
// Its static members are the Bluetooth GATT identifiers that the Low Energy finder reads, each
// made once on first use.
//
// The module's own `UUID` lives in its namespace and is a different type from the platform's
// global `::UUID` (the 128-bit identifier with its text form).
#include <memory>

#include "CoreBluetooth/CBUUID.hpp"

namespace RuduredOro {

class UUID {
public:
    UUID() = default;
    UUID(const UUID&) = delete;
    UUID& operator=(const UUID&) = delete;

    /// Battery Service, 180F.
    static const CBUUID& batteryService();
    /// Device Information Service, 180A.
    static const CBUUID& deviceInformation();
    /// Battery Level, 2A19.
    static const CBUUID& batteryLevel();
    /// Model Number String, 2A24.
    static const CBUUID& modelNumber();
    /// Serial Number String, 2A25.
    static const CBUUID& serialNumber();
    /// Firmware Revision String, 2A26.
    static const CBUUID& firmwareRevision();
    /// Hardware Revision String, 2A27.
    static const CBUUID& hardwareRevision();
    /// Software Revision String, 2A28.
    static const CBUUID& softwareRevision();
    /// Manufacturer Name String, 2A29.
    static const CBUUID& manufacturerName();
};

}  // namespace RuduredOro
