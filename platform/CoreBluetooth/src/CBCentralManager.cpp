#include "CoreBluetooth/CBCentralManager.hpp"

#include "Foundation/DispatchQueue.hpp"

// Takes the stack's events, from whatever thread, to the manager on the main queue.
class CBCentralManager::Observer final : public BluetoothStackObserver {
public:
    explicit Observer(std::weak_ptr<CBCentralManager> manager) : manager_(std::move(manager)) {}

    void stackDidUpdateState(CBManagerState state) override {
        post([state](CBCentralManager& manager) { manager.updateState(state); });
    }
    void stackDidLoseConnection(const UUID& peripheral, const CBError& error) override {
        post([peripheral, error](CBCentralManager& manager) { manager.connectionLost(peripheral, error); });
    }
    void stackDidDiscover(const BluetoothPeripheralInfo& peripheral, const CBAdvertisementData& advertisement,
                          int rssi) override {
        post([peripheral, advertisement, rssi](CBCentralManager& manager) {
            manager.discovered(peripheral, advertisement, rssi);
        });
    }

private:
    template <class Action>
    void post(Action action) {
        DispatchQueue::main().async([manager = manager_, action = std::move(action)] {
            if (auto strong = manager.lock()) action(*strong);
        });
    }

    std::weak_ptr<CBCentralManager> manager_;
};

std::shared_ptr<CBCentralManager> CBCentralManager::make() { return make(BluetoothStack::current()); }

std::shared_ptr<CBCentralManager> CBCentralManager::make(std::shared_ptr<BluetoothStack> stack) {
    if (!stack) stack = BluetoothStack::current();
    std::shared_ptr<CBCentralManager> manager(new CBCentralManager(std::move(stack)));
    manager->observer_ = std::make_shared<Observer>(manager);
    manager->stack_->addObserver(manager->observer_);
    return manager;
}

CBCentralManager::CBCentralManager(std::shared_ptr<BluetoothStack> stack) : stack_(std::move(stack)) {}

CBCentralManager::~CBCentralManager() = default;

std::shared_ptr<CBPeripheral> CBCentralManager::peripheral(const BluetoothPeripheralInfo& info) {
    auto& slot = peripherals_[info.identifier];
    if (!slot) {
        slot = std::make_shared<CBPeripheral>(stack_, info.identifier, info.name);
    } else if (info.name) {
        slot->name_ = info.name;
    }
    return slot;
}

std::shared_ptr<CBPeripheral> CBCentralManager::knownPeripheral(const UUID& identifier) const {
    auto it = peripherals_.find(identifier);
    return it == peripherals_.end() ? nullptr : it->second;
}

bool CBCentralManager::owns(const std::shared_ptr<CBPeripheral>& peripheral) const {
    return peripheral && knownPeripheral(peripheral->identifier()) == peripheral;
}

std::vector<std::shared_ptr<CBPeripheral>> CBCentralManager::retrieveConnectedPeripherals(
    const std::vector<CBUUID>& serviceUUIDs) {
    std::vector<std::shared_ptr<CBPeripheral>> found;
    for (const auto& info : stack_->connectedPeripherals(serviceUUIDs)) found.push_back(peripheral(info));
    return found;
}

void CBCentralManager::connect(const std::shared_ptr<CBPeripheral>& peripheral) {
    if (!owns(peripheral) || state_ != CBManagerState::poweredOn) return;
    if (peripheral->state_ == CBPeripheralState::connecting) return;
    std::weak_ptr<CBCentralManager> weak = weak_from_this();
    if (peripheral->state_ == CBPeripheralState::connected) {
        const auto connection = peripheral->connection_;
        DispatchQueue::main().async([weak, peripheral, connection] {
            auto manager = weak.lock();
            if (!manager || peripheral->connection_ != connection) return;
            if (auto delegate = manager->delegate()) delegate->centralManagerDidConnect(*manager, peripheral);
        });
        return;
    }
    peripheral->setState(CBPeripheralState::connecting);
    const auto attempt = peripheral->connection_;
    std::weak_ptr<CBPeripheral> weakPeripheral = peripheral;
    stack_->connect(peripheral->identifier(), [weak, weakPeripheral, attempt](std::optional<CBError> error) {
        DispatchQueue::main().async([weak, weakPeripheral, attempt, error] {
            auto manager = weak.lock();
            auto peripheral = weakPeripheral.lock();
            if (manager && peripheral) manager->connectionEnded(peripheral, attempt, error);
        });
    });
}

void CBCentralManager::connectionEnded(const std::shared_ptr<CBPeripheral>& peripheral, std::uint64_t attempt,
                                       const std::optional<CBError>& error) {
    // An attempt that was cancelled, or overtaken by a change of state, has no say any more.
    if (peripheral->connection_ != attempt || peripheral->state_ != CBPeripheralState::connecting) return;
    peripheral->setState(error ? CBPeripheralState::disconnected : CBPeripheralState::connected);
    auto delegate = this->delegate();
    if (!delegate) return;
    if (error) {
        delegate->centralManagerDidFailToConnect(*this, peripheral, error);
    } else {
        delegate->centralManagerDidConnect(*this, peripheral);
    }
}

void CBCentralManager::cancelPeripheralConnection(const std::shared_ptr<CBPeripheral>& peripheral) {
    if (!owns(peripheral) || peripheral->state_ == CBPeripheralState::disconnected) return;
    peripheral->setState(CBPeripheralState::disconnected);
    stack_->cancelConnection(peripheral->identifier());
    DispatchQueue::main().async([weak = weak_from_this(), peripheral] {
        auto manager = weak.lock();
        if (!manager) return;
        if (auto delegate = manager->delegate())
            delegate->centralManagerDidDisconnectPeripheral(*manager, peripheral, std::nullopt);
    });
}

void CBCentralManager::updateState(CBManagerState state) {
    if (state == state_) return;
    state_ = state;
    if (state != CBManagerState::poweredOn) {
        for (auto& [identifier, peripheral] : peripherals_) peripheral->setState(CBPeripheralState::disconnected);
    }
    if (auto delegate = this->delegate()) delegate->centralManagerDidUpdateState(*this);
}

void CBCentralManager::connectionLost(const UUID& identifier, const CBError& error) {
    auto peripheral = knownPeripheral(identifier);
    if (!peripheral) return;
    const auto before = peripheral->state_;
    if (before == CBPeripheralState::disconnected) return;
    peripheral->setState(CBPeripheralState::disconnected);
    auto delegate = this->delegate();
    if (!delegate) return;
    if (before == CBPeripheralState::connecting) {
        delegate->centralManagerDidFailToConnect(*this, peripheral, error);
    } else {
        delegate->centralManagerDidDisconnectPeripheral(*this, peripheral, error);
    }
}

void CBCentralManager::discovered(const BluetoothPeripheralInfo& info, const CBAdvertisementData& advertisement,
                                  int rssi) {
    auto found = peripheral(info);
    if (auto delegate = this->delegate()) delegate->centralManagerDidDiscover(*this, found, advertisement, rssi);
}
