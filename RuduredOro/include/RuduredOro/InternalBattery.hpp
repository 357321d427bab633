#pragma once
// The machine's own battery: the values a host may show of it, whichever controller hosts it.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/Date.hpp"
#include "IOKit/CFValue.hpp"
#include "IOKit/IOKitLib.hpp"

namespace RuduredOro {

/// The operating system's verdict on the battery's health.
enum class BatteryCondition { good, fair, poor };

class InternalBattery {
public:
    virtual ~InternalBattery() = default;

    virtual std::optional<std::string> name() const = 0;
    /// Minutes until full, and until empty.
    virtual std::optional<int> timeToFull() const = 0;
    virtual std::optional<int> timeToEmpty() const = 0;
    virtual std::optional<std::string> manufacturer() const = 0;
    virtual std::optional<Date> manufactureDate() const = 0;
    virtual std::optional<int> designCapacity() const = 0;
    virtual std::optional<int> maxCapacity() const = 0;
    virtual std::optional<int> currentCapacity() const = 0;
    /// The capacities as texts with their unit; "-" when unknown.
    virtual std::string designCapacityText() const = 0;
    virtual std::string maxCapacityText() const = 0;
    virtual std::string currentCapacityText() const = 0;
    virtual std::optional<int> cycleCount() const = 0;
    virtual std::optional<int> designCycleCount() const = 0;
    virtual std::optional<bool> acPowered() const = 0;
    virtual std::optional<bool> isCharging() const = 0;
    virtual std::optional<bool> isCharged() const = 0;
    /// Milliamperes, signed as the battery reports them.
    virtual std::optional<int> amperage() const = 0;
    virtual std::optional<double> voltage() const = 0;
    virtual std::optional<double> watts() const = 0;
    /// Percent of the capacity the battery was designed for.
    virtual std::optional<double> health() const = 0;
    /// Degrees Celsius.
    virtual std::optional<double> temperature() const = 0;
    /// Percent charged.
    virtual std::optional<int> charge() const = 0;
    virtual std::optional<BatteryCondition> condition() const = 0;
    /// "hh:mm" until full while charging, until empty otherwise; "-" when unknown or under a minute.
    virtual std::string timeRemainingText() const = 0;
    /// Minutes until full while charging, until empty otherwise.
    virtual std::optional<int> timeRemaining() const = 0;
};

/// The stored values that both kinds of internal battery keep, all absent until set, and what
/// they derive alike.
class InternalBatteryBase : public InternalBattery {
public:
    std::optional<std::string> name() const override { return name_; }
    void setName(std::optional<std::string> value) { name_ = std::move(value); }
    std::optional<int> timeToFull() const override { return timeToFull_; }
    void setTimeToFull(std::optional<int> value) { timeToFull_ = value; }
    std::optional<int> timeToEmpty() const override { return timeToEmpty_; }
    void setTimeToEmpty(std::optional<int> value) { timeToEmpty_ = value; }
    std::optional<std::string> manufacturer() const override { return manufacturer_; }
    void setManufacturer(std::optional<std::string> value) { manufacturer_ = std::move(value); }
    std::optional<Date> manufactureDate() const override { return manufactureDate_; }
    void setManufactureDate(std::optional<Date> value) { manufactureDate_ = value; }
    std::optional<int> currentCapacity() const override { return currentCapacity_; }
    void setCurrentCapacity(std::optional<int> value) { currentCapacity_ = value; }
    std::optional<int> maxCapacity() const override { return maxCapacity_; }
    void setMaxCapacity(std::optional<int> value) { maxCapacity_ = value; }
    std::optional<int> designCapacity() const override { return designCapacity_; }
    void setDesignCapacity(std::optional<int> value) { designCapacity_ = value; }
    std::optional<int> cycleCount() const override { return cycleCount_; }
    void setCycleCount(std::optional<int> value) { cycleCount_ = value; }
    std::optional<int> designCycleCount() const override { return designCycleCount_; }
    void setDesignCycleCount(std::optional<int> value) { designCycleCount_ = value; }
    std::optional<bool> acPowered() const override { return acPowered_; }
    void setAcPowered(std::optional<bool> value) { acPowered_ = value; }
    std::optional<bool> isCharging() const override { return isCharging_; }
    void setIsCharging(std::optional<bool> value) { isCharging_ = value; }
    std::optional<bool> isCharged() const override { return isCharged_; }
    void setIsCharged(std::optional<bool> value) { isCharged_ = value; }
    std::optional<int> amperage() const override { return amperage_; }
    void setAmperage(std::optional<int> value) { amperage_ = value; }
    std::optional<double> voltage() const override { return voltage_; }
    void setVoltage(std::optional<double> value) { voltage_ = value; }
    std::optional<double> watts() const override { return watts_; }
    void setWatts(std::optional<double> value) { watts_ = value; }
    std::optional<double> temperature() const override { return temperature_; }
    void setTemperature(std::optional<double> value) { temperature_ = value; }
    std::optional<BatteryCondition> condition() const override { return condition_; }
    void setCondition(std::optional<BatteryCondition> value) { condition_ = value; }

    std::string timeRemainingText() const override;
    std::optional<int> timeRemaining() const override;

    /// Reads the values again: from the description of the machine's internal battery among the
    /// power sources, then from the smart battery's registry entry `service`. Does nothing for
    /// the entry 0, nor when the power sources cannot be had. The sources of the internal battery
    /// (those of type "InternalBattery", else those that name no type) are read in the order they
    /// are listed, each over the values of the one before, so that the last one wins (a condition
    /// stays when it tells no known health); a source of any other type, such as an
    /// uninterruptible supply, is passed over.
    virtual void update(io_service_t service) = 0;

protected:
    InternalBatteryBase() = default;
    /// The values the sample batteries of both kinds share.
    void fillSample(bool charging);

    /// What the power sources tell of the internal battery.
    struct PowerSourceReading {
        /// False when the power sources cannot be had.
        bool available = false;
        /// The descriptions of the sources of the internal battery, in list order; none when no
        /// source is the internal battery.
        std::vector<CFDictionaryRef> descriptions;
    };
    static PowerSourceReading internalPowerSources();
    /// Reads the description's keys that both kinds read alike.
    void readPowerSource(const CFDictionary& description);
    /// The power in watts, volts times milliamperes over 1000, its sign turned over while not
    /// charging (so a discharge current reported as negative gives a positive power); kept when
    /// the current, the voltage or the charging state is unknown.
    void updateWatts();

private:
    std::optional<std::string> name_;
    std::optional<int> timeToFull_;
    std::optional<int> timeToEmpty_;
    std::optional<std::string> manufacturer_;
    std::optional<Date> manufactureDate_;
    std::optional<int> currentCapacity_;
    std::optional<int> maxCapacity_;
    std::optional<int> designCapacity_;
    std::optional<int> cycleCount_;
    std::optional<int> designCycleCount_;
    std::optional<bool> acPowered_;
    std::optional<bool> isCharging_;
    std::optional<bool> isCharged_;
    std::optional<int> amperage_;
    std::optional<double> voltage_;
    std::optional<double> watts_;
    std::optional<double> temperature_;
    std::optional<BatteryCondition> condition_;
};

/// A battery hosted by the system management controller: its capacities are percentages of the
/// design capacity (mAh).
class AppleInternalBattery : public InternalBatteryBase {
public:
    /// A battery whose values are all absent.
    AppleInternalBattery() = default;
    /// A battery read once from the smart battery's registry entry (0: nothing is read).
    explicit AppleInternalBattery(io_service_t service);

    static std::shared_ptr<AppleInternalBattery> chargingSample();
    static std::shared_ptr<AppleInternalBattery> chargedSample();

    /// "%d mAh".
    std::string designCapacityText() const override;
    /// "%d %%".
    std::string maxCapacityText() const override;
    std::string currentCapacityText() const override;
    /// The maximum capacity, which is already a percentage.
    std::optional<double> health() const override;
    /// The current capacity, which is already a percentage.
    std::optional<int> charge() const override;

    /// Percentages from the power source; design capacity (mAh), cycles, current, voltage,
    /// temperature and maker from the registry.
    void update(io_service_t service) override;

private:
    static std::shared_ptr<AppleInternalBattery> sample(bool charging);
};

/// A battery hosted by an SMBus controller: its capacities are mAh, and the power source reports
/// the charge in percent separately.
class LegacyInternalBattery : public InternalBatteryBase {
public:
    /// A battery whose values are all absent.
    LegacyInternalBattery() = default;
    /// A battery read once from the smart battery's registry entry (0: nothing is read).
    explicit LegacyInternalBattery(io_service_t service);

    static std::shared_ptr<LegacyInternalBattery> chargingSample();
    static std::shared_ptr<LegacyInternalBattery> chargedSample();

    std::optional<int> internalCharge() const { return internalCharge_; }
    void setInternalCharge(std::optional<int> value) { internalCharge_ = value; }

    /// "%d mAh", all three.
    std::string designCapacityText() const override;
    std::string maxCapacityText() const override;
    std::string currentCapacityText() const override;
    /// Maximum over design capacity in percent; absent when either is unknown or the design
    /// capacity is 0.
    std::optional<double> health() const override;
    /// 100 when charged, else the reported charge, else current over maximum capacity rounded to
    /// a whole percent (absent when the maximum is 0).
    std::optional<int> charge() const override;

    /// The charge in percent from the power source; capacities (mAh), cycles, current, voltage,
    /// temperature and maker from the registry. A current or maximum capacity the registry does
    /// not tell keeps its value.
    void update(io_service_t service) override;

private:
    static std::shared_ptr<LegacyInternalBattery> sample(bool charging);

    std::optional<int> internalCharge_;
};

}  // namespace RuduredOro
