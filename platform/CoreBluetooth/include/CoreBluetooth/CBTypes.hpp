#pragma once
// The states of the central manager and of peripherals, with their raw values; errors handed to
// the callbacks; advertisement data.
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "Foundation/PropertyList.hpp"

enum class CBManagerState : std::int64_t {
    unknown = 0,
    resetting = 1,
    unsupported = 2,
    unauthorized = 3,
    poweredOff = 4,
    poweredOn = 5,
};

constexpr std::int64_t rawValue(CBManagerState state) { return static_cast<std::int64_t>(state); }
std::optional<CBManagerState> managerStateFromRawValue(std::int64_t raw);
/// "poweredOn", "poweredOff"... the names of the cases.
std::string managerStateName(CBManagerState state);
std::optional<CBManagerState> managerStateFromName(const std::string& name);

enum class CBPeripheralState : std::int64_t {
    disconnected = 0,
    connecting = 1,
    connected = 2,
    disconnecting = 3,
};

constexpr std::int64_t rawValue(CBPeripheralState state) { return static_cast<std::int64_t>(state); }
std::optional<CBPeripheralState> peripheralStateFromRawValue(std::int64_t raw);

/// Why a connection, a discovery or a read did not succeed.
struct CBError {
    enum class Code {
        unknown,
        invalidHandle,           // the service or characteristic is not the peripheral's
        notConnected,            // the peripheral is not connected, or Bluetooth is off
        connectionTimeout,
        peripheralDisconnected,  // the link was lost
        connectionFailed,
    };

    Code code = Code::unknown;
    std::string message;
};

/// What a peripheral advertises, by key.
using CBAdvertisementData = std::map<std::string, PropertyListValue>;
/// A number: 1 when the advertising peripheral accepts connections.
inline constexpr const char* CBAdvertisementDataIsConnectable = "CBAdvertisementDataIsConnectable";
/// Data: the maker's bytes, starting with its 16-bit company identifier, least significant byte first.
inline constexpr const char* CBAdvertisementDataManufacturerDataKey = "CBAdvertisementDataManufacturerData";
