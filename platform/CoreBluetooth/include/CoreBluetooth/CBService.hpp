#pragma once
// A peripheral's services and their characteristics, as discovered. Objects are kept across
// discoveries: discovering again hands out the same objects for the same attributes, so a
// characteristic keeps its last value until a new one is read.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CoreBluetooth/CBUUID.hpp"
#include "Foundation/Data.hpp"

class CBPeripheral;
class CBService;

class CBCharacteristic {
public:
    CBCharacteristic(std::string handle, CBUUID uuid, std::weak_ptr<CBService> service)
        : handle_(std::move(handle)), uuid_(uuid), service_(std::move(service)) {}

    const CBUUID& uuid() const { return uuid_; }
    /// The last value read; absent until one was read. It may be empty.
    const std::optional<Data>& value() const { return value_; }
    std::shared_ptr<CBService> service() const { return service_.lock(); }

    /// The stack's handle of the characteristic.
    const std::string& handle() const { return handle_; }

private:
    friend class CBPeripheral;

    std::string handle_;
    CBUUID uuid_;
    std::weak_ptr<CBService> service_;
    std::optional<Data> value_;
};

class CBService {
public:
    CBService(std::string handle, CBUUID uuid, std::weak_ptr<CBPeripheral> peripheral)
        : handle_(std::move(handle)), uuid_(uuid), peripheral_(std::move(peripheral)) {}

    const CBUUID& uuid() const { return uuid_; }
    /// The characteristics discovered; absent until a discovery succeeded.
    const std::optional<std::vector<std::shared_ptr<CBCharacteristic>>>& characteristics() const { return characteristics_; }
    std::shared_ptr<CBPeripheral> peripheral() const { return peripheral_.lock(); }

    /// The stack's handle of the service.
    const std::string& handle() const { return handle_; }

private:
    friend class CBPeripheral;

    std::string handle_;
    CBUUID uuid_;
    std::weak_ptr<CBPeripheral> peripheral_;
    std::optional<std::vector<std::shared_ptr<CBCharacteristic>>> characteristics_;
};
