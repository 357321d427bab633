#pragma once
// The heart of the application: once a second it asks both device finders for their devices,
// merges them into one list sorted by name, and tells its observers.
#include <map>
#include <memory>
#include <vector>

#include "Foundation/Timer.hpp"
#include "Quillon/Observer.hpp"
#include "RuduredOro/BatteryDevice.hpp"
#include "RuduredOro/BluetoothFinder.hpp"
#include "RuduredOro/LowEnergyFinder.hpp"

namespace Quillon {

class BatteryController {
public:
    /// An IOKit finder and a Low Energy finder of their own, no observers, an empty list.
    BatteryController();
    /// The same with the finders given (tests, benchmarks).
    BatteryController(std::shared_ptr<RuduredOro::IBluetoothFinder> finder,
                      std::shared_ptr<RuduredOro::ILowEnergyFinder> lowEnergyFinder);

    /// The repeating timer that drives the refresh; installed once by the device list view.
    std::shared_ptr<Timer> timer;
    std::shared_ptr<RuduredOro::IBluetoothFinder> finder;
    const std::shared_ptr<RuduredOro::ILowEnergyFinder> lowEnergyFinder;
    /// The list of the last refresh, sorted by name.
    std::vector<std::shared_ptr<RuduredOro::BatteryDevice>> batteries;

    /// Registers the observer under its id (read now), replacing one registered under the same
    /// id. Observers are held weakly: the view that owns this controller is its observer.
    void addObserver(const std::shared_ptr<Observer>& observer);
    const std::map<int, std::weak_ptr<Observer>>& observers() const { return observers_; }

    /// One refresh: the Low Energy finder (when Bluetooth is on), then the IOKit finder, the merged
    /// list sorted by name, then every observer.
    void refresh();
    /// The timer's action: refreshes at once.
    void refreshAsync() { refresh(); }

private:
    std::map<int, std::weak_ptr<Observer>> observers_;
};

}  // namespace Quillon
