#pragma once
// Battery levels of connected Bluetooth devices from the profiler's Bluetooth report: earphones
// with a left and a right level (and their charging case as a device of its own), and devices
// with one level (headphones, headsets, keyboards, mice).
#include <memory>
#include <vector>

#include "RuduredOro/BatteryDevice.hpp"
#include "ZuzaduduRez/OutputNode.hpp"
#include "ZuzaduduRez/ProfilerController.hpp"

namespace RuduredOro {

/// Holds nothing: the report's keys are read where they are used.
class ShellKeys {
public:
    ShellKeys() = delete;
};

class IShellController {
public:
    virtual ~IShellController() = default;
    /// The devices of the last refresh.
    virtual const std::vector<std::shared_ptr<BatteryDevice>>& devices() const = 0;
    /// Appends the devices found in the nodes and all their descendants, in report order.
    virtual void parse(const std::vector<std::shared_ptr<ZuzaduduRez::OutputNode>>& nodes) = 0;
    /// Rebuilds the devices from a new report.
    virtual void refresh() = 0;
};

class ShellController : public IShellController {
public:
    /// No devices; the profiler asks for the Bluetooth report.
    ShellController();

    const std::shared_ptr<ZuzaduduRez::IProfilerController>& controller() const { return controller_; }
    void setController(std::shared_ptr<ZuzaduduRez::IProfilerController> controller) { controller_ = std::move(controller); }
    const std::vector<std::shared_ptr<BatteryDevice>>& devices() const override { return devices_; }
    void setDevices(std::vector<std::shared_ptr<BatteryDevice>> devices) { devices_ = std::move(devices); }

    /// Empties the devices, runs the profiler (blocking until it has ended), reads its tree and
    /// then unlinks the tree.
    void refresh() override;
    /// Each node is tried, before its children, as a device with one "Battery Level", as a
    /// charging case with a "Case Battery Level" and as a pair with a "Left Battery Level" or a
    /// "Right Battery Level"; one node can give all three.
    void parse(const std::vector<std::shared_ptr<ZuzaduduRez::OutputNode>>& nodes) override;

    /// Each appends at most one device. A node counts only when it is connected: it has a
    /// "Connected" text of its own other than "No", or, without one, it sits under a heading whose
    /// name begins with "Connected". A level is a percentage from 0 to 100; anything above is no
    /// level.
    virtual void addCaseDevice(const ZuzaduduRez::OutputNode& node);
    virtual void addSingleDevice(const ZuzaduduRez::OutputNode& node);
    virtual void addDoubleDevice(const ZuzaduduRez::OutputNode& node);

private:
    std::shared_ptr<ZuzaduduRez::IProfilerController> controller_;
    std::vector<std::shared_ptr<BatteryDevice>> devices_;
};

}  // namespace RuduredOro
