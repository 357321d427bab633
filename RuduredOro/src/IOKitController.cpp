#include "RuduredOro/IOKitController.hpp"

#include <functional>

#include "IOKit/IOKitLib.hpp"

namespace RuduredOro {

namespace {

/// Visits the services of a class in enumeration order until `visit` answers; releases every
/// handle taken. A failed enumeration visits nothing. With `properties`, only the services that
/// hold those values are visited, so that a question about one device costs the same however
/// many devices the registry has.
template <class Answer>
std::optional<Answer> firstAnswer(const std::string& className, const std::function<std::optional<Answer>(io_service_t)>& visit,
                                  const CFDictionary& properties = {}) {
    auto matching = IOServiceMatching(className.c_str());
    if (!properties.empty()) matching->set(CFValue(kIOPropertyMatchKey), CFValue(properties));
    io_iterator_t iterator = 0;
    if (IOServiceGetMatchingServices(kIOMasterPortDefault, matching, &iterator) != KERN_SUCCESS) return std::nullopt;
    std::optional<Answer> answer;
    while (io_service_t service = IOIteratorNext(iterator)) {
        answer = visit(service);
        IOObjectRelease(service);
        if (answer) break;
    }
    IOObjectRelease(iterator);
    return answer;
}

CFTypeRef property(io_service_t service, const std::string& key) {
    return IORegistryEntryCreateCFProperty(service, key, kCFAllocatorDefault, 0);
}

/// The value as a non-empty dictionary keyed by texts only.
const CFDictionary* textKeyedDictionary(const CFValue* value) {
    auto dictionary = value ? value->dictionaryValue() : nullptr;
    if (!dictionary || dictionary->empty() || !dictionary->hasOnlyTextKeys()) return nullptr;
    return dictionary;
}

}  // namespace

std::optional<std::string> IOKitController::manufacturer(const std::string& address) {
    if (auto cached = manufacturers_.find(address); cached != manufacturers_.end()) return cached->second;
    auto answer = firstAnswer<std::string>(appleBluetoothDevice, [&](io_service_t service) -> std::optional<std::string> {
        auto serviceAddress = property(service, deviceAddress);
        if (!serviceAddress || serviceAddress->stringValue() != address) return std::nullopt;
        auto all = property(service, descriptors);
        auto descriptorDictionary = textKeyedDictionary(all.get());
        auto device = descriptorDictionary ? textKeyedDictionary(descriptorDictionary->find(deviceDescriptor)) : nullptr;
        auto name = device ? device->find(manufacturerString) : nullptr;
        return name ? name->stringValue() : std::nullopt;
    });
    if (answer) manufacturers_[address] = *answer;
    return answer;
}

std::optional<DeviceProperties> IOKitController::deviceProperties(const std::string& identifier) {
    if (auto cached = deviceProperties_.find(identifier); cached != deviceProperties_.end()) return cached->second;
    auto answer = firstAnswer<DeviceProperties>(serviceName, [&](io_service_t service) -> std::optional<DeviceProperties> {
        auto uniqueId = property(service, physicalUniqueId);
        auto usage = property(service, primaryUsageKey);
        auto maker = property(service, manufacturerKey);
        auto idText = uniqueId ? uniqueId->stringValue() : std::nullopt;
        auto usageNumber = usage ? usage->intValue() : std::nullopt;
        auto makerText = maker ? maker->stringValue() : std::nullopt;
        if (!idText || !usageNumber || !makerText || *idText != identifier) return std::nullopt;
        return DeviceProperties{*usageNumber, *makerText};
    }, CFDictionary{{physicalUniqueId, identifier}});
    if (answer) deviceProperties_[identifier] = *answer;
    return answer;
}

}  // namespace RuduredOro
