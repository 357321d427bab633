// Reading an internal battery's values from the power sources and the smart battery's registry entry.
#include <limits>

#include "IOKit/IOPowerSources.hpp"
#include "RuduredOro/IOKitHelper.hpp"
#include "RuduredOro/InternalBattery.hpp"

namespace RuduredOro {

namespace {

constexpr const char* kInternalBatteryType = "InternalBattery";

std::optional<std::string> text(const CFDictionary& description, const char* key) {
    auto value = description.find(key);
    return value ? value->stringValue() : std::nullopt;
}

std::optional<int> integer(const CFDictionary& description, const char* key) {
    auto value = description.find(key);
    auto number = value ? value->intValue() : std::nullopt;
    if (!number || *number < std::numeric_limits<int>::min() || *number > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(*number);
}

/// A flag is set when it reads as the whole number 1 (as true does).
bool flag(const CFDictionary& description, const char* key) { return integer(description, key) == 1; }

/// Volts from millivolts.
std::optional<double> volts(io_service_t service) {
    auto millivolts = IOKitHelper::doubleProperty(service, "Voltage");
    if (!millivolts) return std::nullopt;
    return *millivolts / 1000.0;
}

}  // namespace

InternalBatteryBase::PowerSourceReading InternalBatteryBase::internalPowerSources() {
    auto blob = IOPSCopyPowerSourcesInfo();
    if (!blob) return {};
    auto list = IOPSCopyPowerSourcesList(blob);
    const CFArray* sources = list ? list->arrayValue() : nullptr;
    if (!sources) return {};
    // The sources that say they are the internal battery; when none says so, those that name no
    // type stand in for it. A source of any other type (an uninterruptible supply) never does.
    std::vector<CFDictionaryRef> typed, untyped;
    for (const auto& source : *sources) {
        auto description = IOPSGetPowerSourceDescription(blob, source);
        if (!description || !description->hasOnlyTextKeys()) continue;
        auto type = description->find("Type");
        if (!type) untyped.push_back(std::move(description));
        else if (type->stringValue() == kInternalBatteryType) typed.push_back(std::move(description));
    }
    return {true, typed.empty() ? std::move(untyped) : std::move(typed)};
}

void InternalBatteryBase::readPowerSource(const CFDictionary& description) {
    setName(text(description, "Name"));
    setTimeToEmpty(integer(description, "Time to Empty"));
    setTimeToFull(integer(description, "Time to Full Charge"));
    setAcPowered(text(description, "Power Source State") == "AC Power");
    setIsCharging(flag(description, "Is Charging"));
    setIsCharged(flag(description, "Is Charged"));
    if (auto health = text(description, "BatteryHealth")) {
        if (*health == "Good") setCondition(BatteryCondition::good);
        else if (*health == "Fair") setCondition(BatteryCondition::fair);
        else if (*health == "Poor") setCondition(BatteryCondition::poor);
    }
}

void InternalBatteryBase::updateWatts() {
    auto current = amperage();
    auto potential = voltage();
    auto charging = isCharging();
    if (!current || !potential || !charging) return;
    double watts = *potential * static_cast<double>(*current) / 1000.0;
    setWatts(*charging ? watts : -watts);
}

AppleInternalBattery::AppleInternalBattery(io_service_t service) { update(service); }

void AppleInternalBattery::update(io_service_t service) {
    if (service == 0) return;
    auto reading = internalPowerSources();
    if (!reading.available) return;
    for (const auto& source : reading.descriptions) {
        readPowerSource(*source);
        setCurrentCapacity(integer(*source, "Current Capacity"));
        setMaxCapacity(integer(*source, "Max Capacity"));
    }
    setDesignCapacity(IOKitHelper::intProperty(service, "AppleRawMaxCapacity"));
    setCycleCount(IOKitHelper::intProperty(service, "CycleCount"));
    setDesignCycleCount(IOKitHelper::intProperty(service, "DesignCycleCount9C"));
    setAmperage(IOKitHelper::intProperty(service, "Amperage"));
    setVoltage(volts(service));
    setTemperature(IOKitHelper::temperature(service));
    if (!designCapacity()) setDesignCapacity(IOKitHelper::intProperty(service, "DesignCapacity"));
    setManufacturer(IOKitHelper::stringProperty(service, "Manufacturer"));
    setManufactureDate(IOKitHelper::manufactureDate(service));
    updateWatts();
}

LegacyInternalBattery::LegacyInternalBattery(io_service_t service) { update(service); }

void LegacyInternalBattery::update(io_service_t service) {
    if (service == 0) return;
    auto reading = internalPowerSources();
    if (!reading.available) return;
    for (const auto& source : reading.descriptions) {
        readPowerSource(*source);
        setInternalCharge(integer(*source, "Current Capacity"));
    }
    setDesignCapacity(IOKitHelper::intProperty(service, "DesignCapacity"));
    if (auto current = IOKitHelper::intProperty(service, "CurrentCapacity")) setCurrentCapacity(current);
    else if (auto raw = IOKitHelper::intProperty(service, "AppleRawCurrentCapacity")) setCurrentCapacity(raw);
    if (auto max = IOKitHelper::intProperty(service, "MaxCapacity")) setMaxCapacity(max);
    else if (auto raw = IOKitHelper::intProperty(service, "AppleRawMaxCapacity")) setMaxCapacity(raw);
    setCycleCount(IOKitHelper::intProperty(service, "CycleCount"));
    setDesignCycleCount(IOKitHelper::intProperty(service, "DesignCycleCount9C"));
    setAmperage(IOKitHelper::intProperty(service, "Amperage"));
    setVoltage(volts(service));
    setTemperature(IOKitHelper::temperature(service));
    setManufacturer(IOKitHelper::stringProperty(service, "Manufacturer"));
    setManufactureDate(IOKitHelper::manufactureDate(service));
    updateWatts();
}

}  // namespace RuduredOro
