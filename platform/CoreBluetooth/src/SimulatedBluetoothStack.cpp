#include "CoreBluetooth/SimulatedBluetoothStack.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "Foundation/Clock.hpp"
#include "Foundation/DispatchQueue.hpp"
#include "IOKit/HardwareProfile.hpp"

namespace {

using Json = nlohmann::ordered_json;

const CBUUID batteryService("180F");
const CBUUID batteryLevel("2A19");

CBError notConnected() { return CBError{CBError::Code::notConnected, "the peripheral is not connected"}; }
CBError invalidHandle() { return CBError{CBError::Code::invalidHandle, "no such service or characteristic"}; }

// Handles: "<service>" and "<service>/<characteristic>", by position.
std::string serviceHandle(std::size_t service) { return std::to_string(service); }
std::string characteristicHandle(std::size_t service, std::size_t characteristic) {
    return std::to_string(service) + "/" + std::to_string(characteristic);
}

std::optional<std::size_t> index(std::string_view text) {
    std::size_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

bool wanted(const std::optional<std::vector<CBUUID>>& filter, const CBUUID& uuid) {
    return !filter || std::find(filter->begin(), filter->end(), uuid) != filter->end();
}

// Reading the profile.

/// What is wrong with the profile, and where; fromProfile and fromProfileText say which profile.
class ProfileFault : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const std::string& where, const std::string& what) { throw ProfileFault(where + ": " + what); }

double seconds(const Json& object, const char* key, const std::string& where, double fallback) {
    if (!object.contains(key)) return fallback;
    const auto& value = object.at(key);
    if (!value.is_number() || value.get<double>() < 0 || !std::isfinite(value.get<double>()))
        fail(where, std::string("\"") + key + "\" must be a number of seconds, 0 or more");
    return value.get<double>();
}

bool flag(const Json& object, const char* key, const std::string& where, bool fallback) {
    if (!object.contains(key)) return fallback;
    if (!object.at(key).is_boolean()) fail(where, std::string("\"") + key + "\" must be true or false");
    return object.at(key).get<bool>();
}

CBUUID attributeIdentifier(const std::string& text, const std::string& where) {
    auto uuid = CBUUID::fromString(text);
    if (!uuid) fail(where, "\"" + text + "\" is not a Bluetooth identifier");
    return *uuid;
}

Data value(const Json& json, const std::string& where) {
    if (json.is_string()) return dataFromString(json.get<std::string>());
    if (!json.is_array()) fail(where, "a value must be text or an array of bytes");
    Data bytes;
    for (const auto& byte : json) {
        if (!byte.is_number_integer() || byte.get<std::int64_t>() < 0 || byte.get<std::int64_t>() > 255)
            fail(where, "a byte must be a whole number from 0 to 255");
        bytes.push_back(static_cast<std::uint8_t>(byte.get<std::int64_t>()));
    }
    return bytes;
}

SimulatedPeripheral peripheralFrom(const Json& json, const std::string& where) {
    if (!json.is_object()) fail(where, "a peripheral must be an object");
    SimulatedPeripheral peripheral;
    if (!json.contains("identifier") || !json.at("identifier").is_string())
        fail(where, "\"identifier\" must be a UUID text");
    auto identifier = UUID::fromString(json.at("identifier").get<std::string>());
    if (!identifier) fail(where, "\"identifier\" must be a UUID text");
    peripheral.identifier = *identifier;
    if (json.contains("name") && !json.at("name").is_null()) {
        if (!json.at("name").is_string()) fail(where, "\"name\" must be text");
        peripheral.name = json.at("name").get<std::string>();
    }
    peripheral.connected = flag(json, "connected", where, true);
    peripheral.failsToConnect = flag(json, "failsToConnect", where, false);
    peripheral.connectDelay = seconds(json, "connectDelay", where, 0);
    if (json.contains("disconnectAfter")) peripheral.disconnectAfter = seconds(json, "disconnectAfter", where, 0);
    if (json.contains("levelChange")) {
        const auto& change = json.at("levelChange");
        if (!change.is_object() || !change.contains("every") || !change.contains("by") ||
            !change.at("by").is_number_integer())
            fail(where, "\"levelChange\" must be { \"every\": seconds, \"by\": a whole number }");
        double every = seconds(change, "every", where + ", levelChange", 0);
        if (every < SimulatedPeripheral::LevelChange::shortestStep)
            fail(where, "\"levelChange\" needs \"every\" of at least a millisecond");
        auto by = change.at("by").get<std::int64_t>();
        if (by < -100 || by > 100) fail(where, "\"levelChange\" needs \"by\" from -100 to 100");
        peripheral.levelChange = SimulatedPeripheral::LevelChange{every, static_cast<int>(by)};
    }
    if (json.contains("services")) {
        const auto& services = json.at("services");
        if (!services.is_object()) fail(where, "\"services\" must be an object of services");
        for (const auto& [serviceKey, characteristics] : services.items()) {
            auto place = where + ", service " + serviceKey;
            SimulatedService service{attributeIdentifier(serviceKey, place), {}};
            if (!characteristics.is_object()) fail(place, "a service must be an object of characteristics");
            for (const auto& [key, bytes] : characteristics.items()) {
                auto characteristicPlace = place + ", characteristic " + key;
                service.characteristics.push_back({attributeIdentifier(key, characteristicPlace), value(bytes, characteristicPlace)});
            }
            peripheral.services.push_back(std::move(service));
        }
    }
    return peripheral;
}

}  // namespace

SimulatedBluetoothStack::SimulatedBluetoothStack(CBManagerState state, std::vector<SimulatedPeripheral> peripherals)
    : state_(state) {
    for (auto& peripheral : peripherals) addPeripheral(std::move(peripheral));
}

std::shared_ptr<SimulatedBluetoothStack> SimulatedBluetoothStack::fromProfile(const std::filesystem::path& path) {
    std::string text;
    try {
        text = HardwareProfile::readText(path);
    } catch (const HardwareProfileError& error) {
        throw BluetoothProfileError(error.what());
    }
    try {
        return stackOf(text);
    } catch (const ProfileFault& fault) {
        throw BluetoothProfileError("hardware profile " + path.string() + ", " + fault.what());
    }
}

std::shared_ptr<SimulatedBluetoothStack> SimulatedBluetoothStack::fromProfileText(const std::string& text) {
    try {
        return stackOf(text);
    } catch (const ProfileFault& fault) {
        throw BluetoothProfileError(std::string("hardware profile, ") + fault.what());
    }
}

std::shared_ptr<SimulatedBluetoothStack> SimulatedBluetoothStack::stackOf(const std::string& text) {
    Json profile;
    try {
        profile = Json::parse(text);
    } catch (const Json::exception& error) {
        fail("its text", std::string("no JSON: ") + error.what());
    }
    if (!profile.is_object()) fail("top level", "must be an object");
    if (!profile.contains("bluetooth")) return std::make_shared<SimulatedBluetoothStack>(CBManagerState::poweredOff);
    const auto& bluetooth = profile.at("bluetooth");
    if (!bluetooth.is_object()) fail("bluetooth", "must be an object");

    auto state = CBManagerState::poweredOn;
    if (bluetooth.contains("state")) {
        const auto& name = bluetooth.at("state");
        auto parsed = name.is_string() ? managerStateFromName(name.get<std::string>()) : std::nullopt;
        if (!parsed) fail("bluetooth", "\"state\" must be one of unknown, resetting, unsupported, unauthorized, poweredOff, poweredOn");
        state = *parsed;
    }
    std::vector<SimulatedPeripheral> peripherals;
    if (bluetooth.contains("peripherals")) {
        const auto& list = bluetooth.at("peripherals");
        if (!list.is_array()) fail("bluetooth", "\"peripherals\" must be an array");
        for (std::size_t i = 0; i < list.size(); ++i) {
            auto where = "bluetooth peripheral " + std::to_string(i + 1);
            auto peripheral = peripheralFrom(list.at(i), where);
            for (const auto& other : peripherals) {
                if (other.identifier == peripheral.identifier) fail(where, "its identifier is listed twice");
            }
            peripherals.push_back(std::move(peripheral));
        }
    }
    return std::make_shared<SimulatedBluetoothStack>(state, std::move(peripherals));
}

SimulatedPeripheral* SimulatedBluetoothStack::find(const UUID& identifier) {
    auto found = positions_.find(identifier);
    return found == positions_.end() ? nullptr : &peripherals_[found->second];
}

const SimulatedPeripheral* SimulatedBluetoothStack::find(const UUID& identifier) const {
    return const_cast<SimulatedBluetoothStack*>(this)->find(identifier);
}

template <class Action>
void SimulatedBluetoothStack::forEachObserver(Action action) {
    std::erase_if(observers_, [](const auto& observer) { return observer.expired(); });
    auto observers = observers_;
    for (const auto& weak : observers) {
        if (auto observer = weak.lock()) action(*observer);
    }
}

void SimulatedBluetoothStack::addObserver(std::weak_ptr<BluetoothStackObserver> observer) {
    if (auto strong = observer.lock()) {
        observers_.push_back(observer);
        strong->stackDidUpdateState(state_);
    }
}

std::vector<BluetoothPeripheralInfo> SimulatedBluetoothStack::connectedPeripherals(const std::vector<CBUUID>& services) {
    std::vector<BluetoothPeripheralInfo> found;
    if (state_ != CBManagerState::poweredOn) return found;
    for (const auto& peripheral : peripherals_) {
        if (!peripheral.connected) continue;
        bool offers = std::any_of(peripheral.services.begin(), peripheral.services.end(), [&](const auto& service) {
            return std::find(services.begin(), services.end(), service.uuid) != services.end();
        });
        if (offers) found.push_back({peripheral.identifier, peripheral.name});
    }
    return found;
}

void SimulatedBluetoothStack::connect(const UUID& identifier, ConnectCompletion completion) {
    ++connectRequests_[identifier];
    auto* peripheral = find(identifier);
    if (!peripheral || state_ != CBManagerState::poweredOn) return completion(notConnected());
    if (peripheral->connectDelay <= 0) return finishConnecting(identifier, completion);
    DispatchQueue::main().asyncAfter(peripheral->connectDelay, [weak = weak_from_this(), identifier, completion] {
        if (auto self = weak.lock()) self->finishConnecting(identifier, completion);
    });
}

void SimulatedBluetoothStack::finishConnecting(const UUID& identifier, const ConnectCompletion& completion) {
    auto* peripheral = find(identifier);
    if (!peripheral || state_ != CBManagerState::poweredOn) return completion(notConnected());
    if (peripheral->failsToConnect)
        return completion(CBError{CBError::Code::connectionFailed, "the peripheral did not answer"});
    if (!peripheral->connected) {
        peripheral->connected = true;
        ++links_[identifier];
    }
    if (peripheral->disconnectAfter) {
        auto link = links_[identifier];
        DispatchQueue::main().asyncAfter(*peripheral->disconnectAfter, [weak = weak_from_this(), identifier, link] {
            auto self = weak.lock();
            if (self && self->links_[identifier] == link) self->setConnected(identifier, false);
        });
    }
    completion(std::nullopt);
}

void SimulatedBluetoothStack::cancelConnection(const UUID& identifier) { ++cancelRequests_[identifier]; }

void SimulatedBluetoothStack::discoverServices(const UUID& identifier, const std::optional<std::vector<CBUUID>>& filter,
                                               AttributesCompletion completion) {
    auto* peripheral = find(identifier);
    if (!peripheral || !peripheral->connected || state_ != CBManagerState::poweredOn) return completion(notConnected());
    std::vector<BluetoothAttributeInfo> found;
    for (std::size_t i = 0; i < peripheral->services.size(); ++i) {
        if (wanted(filter, peripheral->services[i].uuid)) found.push_back({serviceHandle(i), peripheral->services[i].uuid});
    }
    completion(std::move(found));
}

void SimulatedBluetoothStack::discoverCharacteristics(const UUID& identifier, const std::string& service,
                                                      const std::optional<std::vector<CBUUID>>& filter,
                                                      AttributesCompletion completion) {
    auto* peripheral = find(identifier);
    if (!peripheral || !peripheral->connected || state_ != CBManagerState::poweredOn) return completion(notConnected());
    auto s = index(service);
    if (!s || *s >= peripheral->services.size()) return completion(invalidHandle());
    std::vector<BluetoothAttributeInfo> found;
    const auto& characteristics = peripheral->services[*s].characteristics;
    for (std::size_t c = 0; c < characteristics.size(); ++c) {
        if (wanted(filter, characteristics[c].uuid)) found.push_back({characteristicHandle(*s, c), characteristics[c].uuid});
    }
    completion(std::move(found));
}

void SimulatedBluetoothStack::readValue(const UUID& identifier, const std::string& characteristic,
                                        ValueCompletion completion) {
    auto* peripheral = find(identifier);
    if (!peripheral || !peripheral->connected || state_ != CBManagerState::poweredOn) return completion(notConnected());
    auto slash = characteristic.find('/');
    if (slash == std::string::npos) return completion(invalidHandle());
    auto s = index(std::string_view(characteristic).substr(0, slash));
    auto c = index(std::string_view(characteristic).substr(slash + 1));
    if (!s || !c || *s >= peripheral->services.size() || *c >= peripheral->services[*s].characteristics.size())
        return completion(invalidHandle());
    completion(currentValue(*peripheral, *s, *c));
}

Data SimulatedBluetoothStack::currentValue(const SimulatedPeripheral& peripheral, std::size_t service,
                                           std::size_t characteristic) const {
    const auto& stored = peripheral.services[service].characteristics[characteristic];
    Data value = stored.value;
    if (!peripheral.levelChange || value.empty() || peripheral.services[service].uuid != batteryService ||
        stored.uuid != batteryLevel)
        return value;
    auto since = levelSince_.find(peripheral.identifier);
    double elapsed = Clock::current()->now() - (since == levelSince_.end() ? 0 : since->second);
    // Past 100 steps the level has reached one end whatever it started from.
    auto steps = static_cast<std::int64_t>(std::min(std::floor(std::max(elapsed, 0.0) / peripheral.levelChange->every), 100.0));
    if (steps == 0) return value;
    auto level = std::clamp<std::int64_t>(value[0] + steps * peripheral.levelChange->by, 0, 100);
    value[0] = static_cast<std::uint8_t>(level);
    return value;
}

void SimulatedBluetoothStack::setState(CBManagerState state) {
    if (state == state_) return;
    state_ = state;
    forEachObserver([state](BluetoothStackObserver& observer) { observer.stackDidUpdateState(state); });
}

void SimulatedBluetoothStack::addPeripheral(SimulatedPeripheral peripheral) {
    levelSince_[peripheral.identifier] = Clock::current()->now();
    if (auto* known = find(peripheral.identifier)) {
        *known = std::move(peripheral);
    } else {
        positions_.emplace(peripheral.identifier, peripherals_.size());
        peripherals_.push_back(std::move(peripheral));
    }
}

void SimulatedBluetoothStack::setConnected(const UUID& identifier, bool connected) {
    auto* peripheral = find(identifier);
    if (!peripheral || peripheral->connected == connected) return;
    peripheral->connected = connected;
    ++links_[identifier];
    if (connected) return;
    CBError error{CBError::Code::peripheralDisconnected, "the peripheral disconnected"};
    forEachObserver([&](BluetoothStackObserver& observer) { observer.stackDidLoseConnection(identifier, error); });
}

void SimulatedBluetoothStack::setValue(const UUID& identifier, const CBUUID& service, const CBUUID& characteristic,
                                       Data value) {
    auto* peripheral = find(identifier);
    if (!peripheral) return;
    for (auto& s : peripheral->services) {
        if (s.uuid != service) continue;
        for (auto& c : s.characteristics) {
            if (c.uuid == characteristic) c.value = value;
        }
    }
    levelSince_[identifier] = Clock::current()->now();
}

void SimulatedBluetoothStack::advertise(const BluetoothPeripheralInfo& peripheral,
                                        const CBAdvertisementData& advertisement, int rssi) {
    forEachObserver([&](BluetoothStackObserver& observer) { observer.stackDidDiscover(peripheral, advertisement, rssi); });
}

int SimulatedBluetoothStack::connectRequests(const UUID& identifier) const {
    auto it = connectRequests_.find(identifier);
    return it == connectRequests_.end() ? 0 : it->second;
}

int SimulatedBluetoothStack::cancelRequests(const UUID& identifier) const {
    auto it = cancelRequests_.find(identifier);
    return it == cancelRequests_.end() ? 0 : it->second;
}
