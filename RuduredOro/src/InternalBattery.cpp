#include "RuduredOro/InternalBattery.hpp"

#include <cmath>
#include <cstdio>
#include <limits>

namespace RuduredOro {

namespace {

constexpr const char* kMissing = "-";

std::string capacityText(const std::optional<int>& value, const char* unit) {
    if (!value) return kMissing;
    return std::to_string(*value) + unit;
}

/// 1 August 2018, 12:00 UTC.
constexpr double kSampleManufactureDate = 1533124800.0;

}  // namespace

std::optional<int> InternalBatteryBase::timeRemaining() const {
    if (!isCharging_) return std::nullopt;
    return *isCharging_ ? timeToFull_ : timeToEmpty_;
}

std::string InternalBatteryBase::timeRemainingText() const {
    auto minutes = timeRemaining();
    if (!minutes || *minutes < 1) return kMissing;
    char text[32];
    std::snprintf(text, sizeof text, "%.2d:%.2d", *minutes / 60, *minutes % 60);
    return text;
}

void InternalBatteryBase::fillSample(bool charging) {
    acPowered_ = charging;
    isCharging_ = charging;
    isCharged_ = !charging;
    timeToFull_ = 100;
    timeToEmpty_ = 100;
    condition_ = BatteryCondition::fair;
    designCycleCount_ = 1000;
    manufactureDate_ = Date(kSampleManufactureDate);
}

// Batteries hosted by the system management controller.

std::shared_ptr<AppleInternalBattery> AppleInternalBattery::sample(bool charging) {
    auto battery = std::make_shared<AppleInternalBattery>(0);
    battery->fillSample(charging);
    battery->setDesignCapacity(100);
    battery->setMaxCapacity(100);
    battery->setCurrentCapacity(100);
    battery->setTemperature(45.0);
    battery->setAmperage(2000);
    battery->setVoltage(24.0);
    battery->setWatts(48.0);
    battery->setManufacturer("SMP");
    battery->setCycleCount(965);
    return battery;
}

std::shared_ptr<AppleInternalBattery> AppleInternalBattery::chargingSample() { return sample(true); }
std::shared_ptr<AppleInternalBattery> AppleInternalBattery::chargedSample() { return sample(false); }

std::string AppleInternalBattery::designCapacityText() const { return capacityText(designCapacity(), " mAh"); }
std::string AppleInternalBattery::maxCapacityText() const { return capacityText(maxCapacity(), " %"); }
std::string AppleInternalBattery::currentCapacityText() const { return capacityText(currentCapacity(), " %"); }

std::optional<double> AppleInternalBattery::health() const {
    if (auto max = maxCapacity()) return static_cast<double>(*max);
    return std::nullopt;
}

std::optional<int> AppleInternalBattery::charge() const { return currentCapacity(); }

// Batteries hosted by an SMBus controller.

std::shared_ptr<LegacyInternalBattery> LegacyInternalBattery::sample(bool charging) {
    auto battery = std::make_shared<LegacyInternalBattery>(0);
    battery->fillSample(charging);
    battery->setDesignCapacity(7150);
    battery->setMaxCapacity(6053);
    battery->setCurrentCapacity(5069);
    battery->setTemperature(29.2);
    battery->setAmperage(924);
    battery->setVoltage(8.01);
    battery->setWatts(7.4);
    battery->setManufacturer("DP");
    battery->setCycleCount(256);
    return battery;
}

std::shared_ptr<LegacyInternalBattery> LegacyInternalBattery::chargingSample() { return sample(true); }
std::shared_ptr<LegacyInternalBattery> LegacyInternalBattery::chargedSample() { return sample(false); }

std::string LegacyInternalBattery::designCapacityText() const { return capacityText(designCapacity(), " mAh"); }
std::string LegacyInternalBattery::maxCapacityText() const { return capacityText(maxCapacity(), " mAh"); }
std::string LegacyInternalBattery::currentCapacityText() const { return capacityText(currentCapacity(), " mAh"); }

std::optional<double> LegacyInternalBattery::health() const {
    auto max = maxCapacity(), design = designCapacity();
    // A design capacity of 0 gives no percentage rather than an infinite one.
    if (!max || !design || *design == 0) return std::nullopt;
    return static_cast<double>(*max) / static_cast<double>(*design) * 100.0;
}

std::optional<int> LegacyInternalBattery::charge() const {
    if (isCharged() == true) return 100;
    if (internalCharge_) return internalCharge_;
    auto current = currentCapacity(), max = maxCapacity();
    // A maximum of 0 gives no charge; so does a ratio too large for a percentage (a corrupt
    // reading), rather than a division by zero or an overflowing conversion.
    if (!current || !max || *max == 0) return std::nullopt;
    double percent = std::round(static_cast<double>(*current) / static_cast<double>(*max) * 100.0);
    if (!(percent >= std::numeric_limits<int>::min() && percent <= std::numeric_limits<int>::max())) {
        return std::nullopt;
    }
    return static_cast<int>(percent);
}

}  // namespace RuduredOro
