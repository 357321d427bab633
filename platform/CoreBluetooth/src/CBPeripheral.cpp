#include "CoreBluetooth/CBPeripheral.hpp"

#include "Foundation/DispatchQueue.hpp"

namespace {

using Attributes = std::vector<BluetoothAttributeInfo>;

// The object already made for an attribute when it is discovered again, else a new one.
template <class Attribute, class Owner>
std::shared_ptr<Attribute> reuse(const std::optional<std::vector<std::shared_ptr<Attribute>>>& known,
                                 const BluetoothAttributeInfo& info, const Owner& owner) {
    if (known) {
        for (const auto& attribute : *known) {
            if (attribute->handle() == info.handle && attribute->uuid() == info.uuid) return attribute;
        }
    }
    return std::make_shared<Attribute>(info.handle, info.uuid, owner);
}

template <class T>
std::optional<CBError> errorOf(const BluetoothResult<T>& result) {
    if (const auto* error = std::get_if<CBError>(&result)) return *error;
    return std::nullopt;
}

}  // namespace

CBPeripheral::CBPeripheral(std::shared_ptr<BluetoothStack> stack, UUID identifier, std::optional<std::string> name)
    : stack_(std::move(stack)), identifier_(identifier), name_(std::move(name)) {}

void CBPeripheral::setState(CBPeripheralState state) {
    if (state == state_) return;
    state_ = state;
    ++connection_;
}

template <class Result, class Handler>
std::function<void(Result)> CBPeripheral::onMain(Handler handler) {
    return [weak = weak_from_this(), connection = connection_, handler = std::move(handler)](Result result) {
        DispatchQueue::main().async([weak, connection, handler, result = std::move(result)] {
            auto self = weak.lock();
            if (!self || self->connection_ != connection || self->state_ != CBPeripheralState::connected) return;
            handler(self, result);
        });
    };
}

void CBPeripheral::discoverServices(const std::optional<std::vector<CBUUID>>& serviceUUIDs) {
    if (state_ != CBPeripheralState::connected) return;
    stack_->discoverServices(identifier_, serviceUUIDs,
        onMain<BluetoothResult<Attributes>>([](const std::shared_ptr<CBPeripheral>& self,
                                               const BluetoothResult<Attributes>& result) {
            if (const auto* found = std::get_if<Attributes>(&result)) {
                std::weak_ptr<CBPeripheral> owner = self;
                std::vector<std::shared_ptr<CBService>> services;
                for (const auto& info : *found) services.push_back(reuse(self->services_, info, owner));
                self->services_ = std::move(services);
            }
            if (auto delegate = self->delegate()) delegate->peripheralDidDiscoverServices(self, errorOf(result));
        }));
}

void CBPeripheral::discoverCharacteristics(const std::optional<std::vector<CBUUID>>& characteristicUUIDs,
                                           const std::shared_ptr<CBService>& service) {
    if (state_ != CBPeripheralState::connected || !service || service->peripheral().get() != this) return;
    stack_->discoverCharacteristics(identifier_, service->handle(), characteristicUUIDs,
        onMain<BluetoothResult<Attributes>>([service](const std::shared_ptr<CBPeripheral>& self,
                                                      const BluetoothResult<Attributes>& result) {
            if (const auto* found = std::get_if<Attributes>(&result)) {
                std::weak_ptr<CBService> owner = service;
                std::vector<std::shared_ptr<CBCharacteristic>> characteristics;
                for (const auto& info : *found) characteristics.push_back(reuse(service->characteristics_, info, owner));
                service->characteristics_ = std::move(characteristics);
            }
            if (auto delegate = self->delegate())
                delegate->peripheralDidDiscoverCharacteristicsFor(self, service, errorOf(result));
        }));
}

void CBPeripheral::readValue(const std::shared_ptr<CBCharacteristic>& characteristic) {
    if (state_ != CBPeripheralState::connected || !characteristic) return;
    auto service = characteristic->service();
    if (!service || service->peripheral().get() != this) return;
    stack_->readValue(identifier_, characteristic->handle(),
        onMain<BluetoothResult<Data>>([characteristic](const std::shared_ptr<CBPeripheral>& self,
                                                       const BluetoothResult<Data>& result) {
            if (const auto* value = std::get_if<Data>(&result)) characteristic->value_ = *value;
            if (auto delegate = self->delegate())
                delegate->peripheralDidUpdateValueFor(self, characteristic, errorOf(result));
        }));
}
